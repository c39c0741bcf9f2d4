// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "extbytecontrol.h"

#include "bytecontrolv1.h"
#include "egridlayout.h"
#include "elabelwidget.h"
#include "enumericwidget.h"
#include "etextedit.h"
#include "exttoolwidget.h"
#include "extwidgetfactory.h"
#include "extwidgetkinds.h"

#include <QPainter>
#include <QPixmap>

namespace {
constexpr qreal kEditColumn = 50;
constexpr qreal kCaptionRow = 20;
} // namespace

struct ExtByteControlPrivate
{
    EGridLayout *grid = nullptr;
    ENumericWidget *field = nullptr;
    ETextEdit *entry = nullptr;
    ExtToolWidget *edit = nullptr;
    ELabelWidget *caption = nullptr;
    double minimum = 0;
    double maximum = 255;
    double scale = 255;
    int typeD = 0;
    int mode = ExtByteControl::StepsOnly;
    bool frame = true;
    QColor valueColor = Qt::black;
    QString imageName;
    QImage image;
    QPixmap background;
};

ExtByteControl::ExtByteControl(QGraphicsItem *parent)
    : EBaseWidget(parent), d(std::make_unique<ExtByteControlPrivate>())
{
    d->field = new ENumericWidget;
    d->field->setRange(d->minimum, d->maximum);
    // The entry field takes the number field's place while open, outside the grid.
    d->entry = new ETextEdit(this);
    d->entry->setSingleLine(true);
    d->entry->hide();
    d->edit = new ExtToolWidget(QStringLiteral("ic_action_edit.png"), QString());
    d->edit->setCheckable(true);
    d->caption = new ELabelWidget;
    d->caption->setAlignment(Qt::AlignCenter);
    d->caption->hide();

    d->grid = new EGridLayout;
    d->grid->setMargins(3, 3, 3, 3);
    d->grid->setRowSizes({0, 1});
    d->grid->setColumnSizes({0, kEditColumn});
    d->grid->addWidget(d->field, 0, 0);
    d->grid->addWidget(d->edit, 0, 1);
    d->grid->addWidget(d->caption, 1, 0, 1, 2);
    setLayout(d->grid);

    connect(d->field, &ENumericWidget::valueChanged, this, &ExtByteControl::plusminusClick);
    connect(d->edit, &EBaseWidget::clicked, this, &ExtByteControl::editChanged);
    // Enter in the open entry commits it, as the edit button's second press does.
    connect(d->entry, &ETextEdit::returnPressed, this, [this] {
        if (d->entry->isVisible())
            editChanged();
    });
    setEditMode(StepsOnly);
}

ExtByteControl::~ExtByteControl() = default;

void ExtByteControl::setCaption(const QString &caption)
{
    d->caption->setLabelT(caption);
    d->caption->setVisible(!caption.isEmpty());
    d->grid->setRowFixedHeight(1, caption.isEmpty() ? 1 : kCaptionRow);
}

QString ExtByteControl::caption() const
{
    return d->caption->labelT();
}

void ExtByteControl::setCaptionColor(const QColor &color)
{
    if (color.isValid())
        d->caption->setColortext(color);
}

void ExtByteControl::setValueColor(const QColor &color)
{
    if (!color.isValid())
        return;
    d->valueColor = color;
    applyValueColor();
}

void ExtByteControl::applyValueColor()
{
    // The record's value colour holds in every edit mode: a project that draws its values in a
    // colour of its own expects them so whether or not they can be changed.
    d->field->setColortext(d->valueColor);
}

void ExtByteControl::setValueFont(const QFont &font)
{
    d->field->setFont(font);
    d->entry->setFont(font);
}

void ExtByteControl::setImageName(const QString &name)
{
    if (name == d->imageName && !d->image.isNull())
        return;
    d->imageName = name;
    d->image = name.isEmpty() ? QImage() : ExtWidgetFactory::imageForName(name);
    d->background = QPixmap();
    update();
}

void ExtByteControl::setFrame(bool on)
{
    if (on == d->frame)
        return;
    d->frame = on;
    update();
}

void ExtByteControl::setPrecision(int decimals)
{
    d->field->setDecimals(qBound(0, decimals, 6));
}

void ExtByteControl::setRange(double minimum, double maximum)
{
    d->minimum = minimum;
    d->maximum = maximum;
    d->field->setRange(qMin(minimum, maximum), qMax(minimum, maximum));
}

double ExtByteControl::minimum() const
{
    return d->minimum;
}

double ExtByteControl::maximum() const
{
    return d->maximum;
}

void ExtByteControl::setStep(double step)
{
    if (step > 0)
        d->field->setStep(step);
}

void ExtByteControl::setScale(double scale)
{
    d->scale = scale;
}

double ExtByteControl::scale() const
{
    return d->scale;
}

void ExtByteControl::setDataType(int typeD)
{
    d->typeD = typeD;
}

void ExtByteControl::setEditMode(int mode)
{
    d->mode = (mode == ReadOnly || mode == Editable) ? mode : StepsOnly;
    applyValueColor();
    const bool editable = d->mode == Editable;
    d->edit->setVisible(editable);
    d->grid->setColumnFixedWidth(1, editable ? kEditColumn : 1);
    // Step buttons whenever the value may change, typing on the value only in mode 2 (mode 1 has
    // its own entry button), and a plain display when the control is read-only.
    switch (d->mode) {
    case Editable:
        d->field->setModes(true, false, false);
        break;
    case StepsOnly:
        d->field->setModes(true, true, false);
        break;
    default:
        d->field->setModes(false, false, true);
        break;
    }
}

int ExtByteControl::editMode() const
{
    return d->mode;
}

void ExtByteControl::setRawValue(double raw)
{
    d->field->setValue(toDisplay(raw, d->maximum, d->minimum, d->scale));
}

double ExtByteControl::value() const
{
    return d->field->value();
}

QString ExtByteControl::displayText() const
{
    return d->field->displayText();
}

bool ExtByteControl::isEntryOpen() const
{
    return d->entry->isVisible();
}

ENumericWidget *ExtByteControl::field() const
{
    return d->field;
}

ETextEdit *ExtByteControl::entry() const
{
    return d->entry;
}

ExtToolWidget *ExtByteControl::editButton() const
{
    return d->edit;
}

void ExtByteControl::sendValue(double display)
{
    if (d->mode == ReadOnly)
        return;
    qint64 raw = 0;
    if (!toRaw(display, d->maximum, d->minimum, d->scale, &raw))
        return;
    // DWORD values travel as the 32 bits of an int.
    emit ValueChange(int(quint32(clampToType(raw, d->typeD))));
}

void ExtByteControl::plusminusClick(double val)
{
    sendValue(val);
}

void ExtByteControl::editChanged()
{
    if (d->mode != Editable)
        return;
    if (!d->entry->isVisible()) {
        d->edit->setChecked(true);
        d->entry->setText(QString::number(d->field->value(), 'f', 0));
        d->entry->setGeometry(d->field->geometry());
        d->field->hide();
        d->entry->show();
        d->entry->setEditFocus();
        return;
    }
    d->edit->setChecked(false);
    bool ok = false;
    const double typed =
        d->entry->text().trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (ok) {
        const double v = qBound(qMin(d->minimum, d->maximum), typed, qMax(d->minimum, d->maximum));
        d->field->setValue(v);
        sendValue(v);
    }
    d->entry->closeSoftwareInputPanel();
    d->entry->hide();
    d->field->show();
}

void ExtByteControl::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    if (!d->image.isNull()) {
        if (d->background.size() != size().toSize())
            d->background = QPixmap::fromImage(
                d->image.scaled(size().toSize().expandedTo(QSize(1, 1)), Qt::IgnoreAspectRatio,
                                Qt::SmoothTransformation));
        painter->drawPixmap(0, 0, d->background);
    }
    if (d->frame) {
        // A dark glass panel: plans are dark and the records' text colours are chosen for it.
        painter->setPen(QColor(255, 255, 255, 60));
        painter->setBrush(QColor(0, 0, 0, 150));
        painter->drawRoundedRect(rect().adjusted(1, 1, -1, -1), 8, 8);
    }
}

QVector<ExtWidgetKind> ExtByteControl::widgetKinds()
{
    using W = ExtByteControl;
    using R = ByteControlV1;
    return {
        ExtWidgetKind::of<W, R>(
            ControlConstants::KindByte, ExtClickAction::None,
            [](R *, QGraphicsItem *plan) { return new W(plan); },
            [](W *w, R *r) {
                w->setCaption(r->textB());
                w->setCaptionColor(ExtWidgetFactory::colorOf(r->titleColor(), Qt::black));
                w->setValueColor(ExtWidgetFactory::colorOf(r->fontColor(), Qt::black));
                w->setValueFont(ExtWidgetFactory::buttonFont(r->fontSize()));
                w->setImageName(r->image() == QLatin1String("none") ? QString() : r->image());
                w->setFrame(r->showRound());
                w->setPrecision(r->precisionView());
                w->setRange(r->minimum(), r->maximum());
                w->setStep(r->step());
                w->setScale(r->maxval());
                w->setDataType(r->typeD());
                w->setEditMode(r->isReadOnly() ? ReadOnly : r->isEditable() ? Editable : StepsOnly);
                w->resize(ExtWidgetFactory::sizeOf(r->width(), r->height()));
                w->show();
            },
            [](W *w, const R *r) {
                // Neither a pending write nor an open entry field is overwritten by a poll.
                if (!r->isChanged() && !w->isEntryOpen())
                    w->setRawValue(r->value());
            })
            .withValue(ExtValueAction::Value, &W::ValueChange)};
}
