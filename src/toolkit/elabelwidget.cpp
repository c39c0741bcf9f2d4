// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "elabelwidget.h"

#include "estatictext.h"
#include "toolkitstyle.h"

#include <QPainter>

struct ELabelWidgetPrivate
{
    EStaticText text;
    QColor colorText = EStyle::color(EStyle::kInk);
    QColor colorBackground = Qt::transparent;
    QPen pen = QPen(EStyle::color(EStyle::kInk));
    QBrush background = QBrush(Qt::transparent);
    bool wordWrap = false;
};

ELabelWidget::ELabelWidget(QGraphicsItem *parent)
    : EGraphicsWidget(parent), d(std::make_unique<ELabelWidgetPrivate>())
{
    setFont(EStyle::font(EStyle::kFontPx));
    d->text.setFont(font());
    d->text.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setAcceptedMouseButtons(Qt::NoButton);
}

ELabelWidget::ELabelWidget(const QString &text, QGraphicsItem *parent) : ELabelWidget(parent)
{
    setLabelT(text);
}

ELabelWidget::~ELabelWidget() = default;

QColor ELabelWidget::colortext() const
{
    return d->colorText;
}

void ELabelWidget::setColortext(const QColor &color)
{
    if (color == d->colorText)
        return;
    d->colorText = color;
    d->pen.setColor(color);
    update();
}

QColor ELabelWidget::colorbackground() const
{
    return d->colorBackground;
}

void ELabelWidget::setColorbackground(const QColor &color)
{
    if (color == d->colorBackground)
        return;
    d->colorBackground = color;
    d->background = QBrush(color);
    update();
}

QString ELabelWidget::labelT() const
{
    return d->text.text();
}

void ELabelWidget::setLabelT(const QString &text)
{
    if (text == d->text.text())
        return;
    d->text.setText(text);
    updateGeometry();
    update();
}

Qt::Alignment ELabelWidget::alignment() const
{
    return d->text.alignment();
}

void ELabelWidget::setAlignment(Qt::Alignment alignment)
{
    // Without a vertical part a label centres vertically, the way captions are expected to sit.
    if (!(alignment & Qt::AlignVertical_Mask))
        alignment |= Qt::AlignVCenter;
    d->text.setAlignment(alignment);
    update();
}

bool ELabelWidget::wordWrap() const
{
    return d->wordWrap;
}

void ELabelWidget::setWordWrap(bool wrap)
{
    d->wordWrap = wrap;
    d->text.setWordWrap(wrap);
    update();
}

void ELabelWidget::adjustToContents()
{
    const QSizeF s = d->text.naturalSize();
    resize(s.width() + marginsLeft() + marginsRight() + 2,
           s.height() + marginsTop() + marginsBottom());
}

void ELabelWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (d->colorBackground.alpha() > 0) {
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setPen(Qt::NoPen);
        painter->setBrush(d->background);
        painter->drawRoundedRect(rect(), EStyle::kRadiusSmall, EStyle::kRadiusSmall);
    }
    painter->setPen(d->pen);
    d->text.draw(painter);
}

void ELabelWidget::geometryUpdated()
{
    d->text.setRect(innerRect());
}

void ELabelWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        d->text.setFont(font());
        updateGeometry();
        update();
    }
    EGraphicsWidget::changeEvent(event);
}

QSizeF ELabelWidget::sizeHint(Qt::SizeHint which, const QSizeF &constraint) const
{
    if (which == Qt::PreferredSize) {
        const QSizeF s = d->text.naturalSize();
        return QSizeF(s.width() + marginsLeft() + marginsRight() + 2,
                      s.height() + marginsTop() + marginsBottom());
    }
    if (which == Qt::MinimumSize)
        return QSizeF(0, 0);
    return EGraphicsWidget::sizeHint(which, constraint);
}
