// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "exttextwriterwidget.h"

#include "controllertext.h"
#include "eflickabletextedit.h"
#include "egridlayout.h"
#include "elabelwidget.h"
#include "exttoolwidget.h"
#include "extwidgetfactory.h"
#include "extwidgetkinds.h"
#include "textwritecontrolv1.h"

#include <QLinearGradient>
#include <QPainter>

struct ExtTextWriterWidgetPrivate
{
    EGridLayout *grid = nullptr;
    EFlickableTextEdit *editor = nullptr;
    ExtToolWidget *send = nullptr;
    ELabelWidget *caption = nullptr;
    // Bytes used and bytes the window takes, e.g. "12/16", while typing.
    ELabelWidget *counter = nullptr;
    int maxBytes = ControlConstants::kMaxTextWriteBytes;
    bool trimming = false;
};

ExtTextWriterWidget::ExtTextWriterWidget(QGraphicsItem *parent)
    : EBaseWidget(parent), d(std::make_unique<ExtTextWriterWidgetPrivate>())
{
    d->editor = new EFlickableTextEdit;
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(24);
    d->editor->setFont(f);
    d->send = new ExtToolWidget(QStringLiteral("ic_action_save.png"), QString());
    d->caption = new ELabelWidget;
    d->caption->setColortext(Qt::black);
    d->caption->setAlignment(Qt::AlignCenter);
    d->caption->hide();
    d->counter = new ELabelWidget;
    d->counter->setObjectName(QStringLiteral("byteCounter"));
    d->counter->setColortext(QColor(60, 60, 60));
    d->counter->setAlignment(Qt::AlignCenter);
    QFont small(QStringLiteral("Arial"));
    small.setPixelSize(11);
    d->counter->setFont(small);
    d->grid = new EGridLayout;
    d->grid->setMargins(3, 3, 3, 3);
    d->grid->setColumnSizes({0, 40});
    d->grid->setRowSizes({0, 16});
    d->grid->addWidget(d->editor, 0, 0);
    d->grid->addWidget(d->send, 0, 1);
    d->grid->addWidget(d->caption, 1, 0);
    d->grid->addWidget(d->counter, 1, 1);
    setLayout(d->grid);
    connect(d->send, &EBaseWidget::clicked, this, &ExtTextWriterWidget::editChanged);
    connect(d->editor, &EFlickableTextEdit::onTextChanged, this,
            &ExtTextWriterWidget::enforceByteLimit);
    updateCounter();
}

ExtTextWriterWidget::~ExtTextWriterWidget() = default;

void ExtTextWriterWidget::setCaption(const QString &caption)
{
    d->caption->setLabelT(caption);
    d->caption->setVisible(!caption.isEmpty());
    d->grid->setRowFixedHeight(1, caption.isEmpty() ? 16 : 20);
}

QString ExtTextWriterWidget::caption() const
{
    return d->caption->labelT();
}

void ExtTextWriterWidget::setCaptionColor(const QColor &color)
{
    if (color.isValid())
        d->caption->setColortext(color);
}

void ExtTextWriterWidget::setTextColor(const QColor &color)
{
    if (color.isValid())
        d->editor->setColortext(color);
}

void ExtTextWriterWidget::setTextFont(const QFont &font)
{
    d->editor->setFont(font);
}

void ExtTextWriterWidget::setMaxLength(int length)
{
    d->maxBytes = qMax(1, length);
    // Every character takes at least one byte: the editor can stop at that many characters
    // itself; the byte count is checked as the text changes.
    d->editor->setMaxLength(d->maxBytes);
    enforceByteLimit();
}

int ExtTextWriterWidget::maxLength() const
{
    return d->maxBytes;
}

QString ExtTextWriterWidget::counterText() const
{
    return d->counter->labelT();
}

void ExtTextWriterWidget::enforceByteLimit()
{
    if (d->trimming)
        return;
    const QString text = d->editor->text();
    if (ControllerText::byteLength(text) > d->maxBytes) {
        // Cut between characters, never inside one: the controller shows what fits.
        d->trimming = true;
        d->editor->setText(ControllerText::fitted(text, d->maxBytes));
        d->trimming = false;
    }
    updateCounter();
}

void ExtTextWriterWidget::updateCounter()
{
    d->counter->setLabelT(QStringLiteral("%1/%2")
                              .arg(ControllerText::byteLength(d->editor->text()))
                              .arg(d->maxBytes));
}

QString ExtTextWriterWidget::currentText() const
{
    return d->editor->text();
}

void ExtTextWriterWidget::setCurrentText(const QString &text)
{
    d->editor->setText(text);
    enforceByteLimit();
}

EFlickableTextEdit *ExtTextWriterWidget::editor() const
{
    return d->editor;
}

ExtToolWidget *ExtTextWriterWidget::sendButton() const
{
    return d->send;
}

void ExtTextWriterWidget::editChanged()
{
    d->editor->closeSoftwareInputPanel();
    emit textChanged();
}

void ExtTextWriterWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    const QRectF r = rect().adjusted(1, 1, -1, -1);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(255, 255, 255, 200));
    g.setColorAt(1, QColor(150, 150, 150, 200));
    painter->setPen(QColor(0, 0, 0, 100));
    painter->setBrush(g);
    painter->drawRoundedRect(r, 10, 10);
}

QVector<ExtWidgetKind> ExtTextWriterWidget::widgetKinds()
{
    using W = ExtTextWriterWidget;
    using R = TextWriteControlV1;
    return {ExtWidgetKind::of<W, R>(
                ControlConstants::KindTextWrite, ExtClickAction::None,
                [](R *, QGraphicsItem *plan) { return new W(plan); },
                [](W *w, R *r) {
                    w->setCaption(r->textB());
                    w->setTextColor(ExtWidgetFactory::colorOf(r->fontColor(), Qt::black));
                    w->setTextFont(ExtWidgetFactory::buttonFont(r->fontSize()));
                    // One write carries at most this many bytes.
                    w->setMaxLength(qBound(1, r->maximum(), ControlConstants::kMaxTextWriteBytes));
                    w->resize(ExtWidgetFactory::sizeOf(r->width(), r->height()));
                    w->show();
                })
                .withValue(ExtValueAction::Text, &W::textChanged)};
}
