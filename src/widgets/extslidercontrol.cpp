// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "extslidercontrol.h"

#include "egridlayout.h"
#include "esliderwidget.h"
#include "extwidgetfactory.h"
#include "extwidgetkinds.h"
#include "hslidercontrolv1.h"
#include "vslidercontrolv1.h"

#include <QPainter>

struct ExtSliderControlPrivate
{
    ESliderWidget *slider = nullptr;
    int orientation = ExtSliderControl::Horizontal;
    double minimum = 0;
    double maximum = 255;
    double scale = 255;
    int typeD = 0;
    bool frame = false;
};

ExtSliderControl::ExtSliderControl(int orientation, QGraphicsItem *parent)
    : EBaseWidget(parent), d(std::make_unique<ExtSliderControlPrivate>())
{
    d->orientation = orientation == Vertical ? Vertical : Horizontal;
    d->slider = new ESliderWidget(d->orientation == Vertical ? Qt::Vertical : Qt::Horizontal);
    d->slider->setRange(d->minimum, d->maximum);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(24);
    setFont(f);
    auto *grid = new EGridLayout;
    grid->setMargins(3, 3, 3, 3);
    grid->addWidget(d->slider, 0, 0);
    setLayout(grid);
    connect(d->slider, &ESliderWidget::valueChanged, this, &ExtSliderControl::valueChangedSlot);
}

ExtSliderControl::~ExtSliderControl() = default;

int ExtSliderControl::orientation() const
{
    return d->orientation;
}

void ExtSliderControl::setRange(double minimum, double maximum)
{
    d->minimum = minimum;
    d->maximum = maximum;
    d->slider->setRange(qMin(minimum, maximum), qMax(minimum, maximum));
}

double ExtSliderControl::minimum() const
{
    return d->minimum;
}

double ExtSliderControl::maximum() const
{
    return d->maximum;
}

void ExtSliderControl::setStep(double step)
{
    d->slider->setStep(step > 0 ? step : 0);
}

void ExtSliderControl::setColor(const QColor &color)
{
    if (color.isValid())
        d->slider->setColor(color);
}

void ExtSliderControl::setScale(double scale)
{
    d->scale = scale;
}

double ExtSliderControl::scale() const
{
    return d->scale;
}

void ExtSliderControl::setDataType(int typeD)
{
    d->typeD = typeD;
}

void ExtSliderControl::setFrame(bool on)
{
    if (on == d->frame)
        return;
    d->frame = on;
    update();
}

void ExtSliderControl::setRawValue(double raw)
{
    if (d->slider->isSliderDown())
        return;
    d->slider->setValue(toDisplay(raw, d->maximum, d->minimum, d->scale));
}

double ExtSliderControl::value() const
{
    return d->slider->value();
}

ESliderWidget *ExtSliderControl::slider() const
{
    return d->slider;
}

void ExtSliderControl::valueChangedSlot(double val)
{
    qint64 raw = 0;
    if (!toRaw(val, d->maximum, d->minimum, d->scale, &raw))
        return;
    emit valueChanged(int(quint32(clampToType(raw, d->typeD))));
}

void ExtSliderControl::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!d->frame)
        return;
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(QColor(255, 255, 255, 60));
    painter->setBrush(QColor(0, 0, 0, 150));
    painter->drawRoundedRect(rect().adjusted(1, 1, -1, -1), 8, 8);
}

namespace {

ExtWidgetKind sliderKind(int kind, int orientation)
{
    using W = ExtSliderControl;
    using R = SliderControlV1;
    return ExtWidgetKind::of<W, R>(
               kind, ExtClickAction::None,
               [orientation](R *, QGraphicsItem *plan) { return new W(orientation, plan); },
               [](W *w, R *r) {
                   w->setRange(r->minimum(), r->maximum());
                   w->setStep(r->step());
                   w->setColor(
                       ExtWidgetFactory::colorOf(r->sliderColor(), QColor(0x01, 0x7a, 0xfd)));
                   w->setScale(r->maxval() > 0 ? r->maxval() : 255);
                   w->setDataType(r->typeD());
                   w->setFrame(r->showRound());
                   w->resize(ExtWidgetFactory::sizeOf(r->width(), r->height()));
                   w->show();
               },
               [](W *w, const R *r) {
                   if (!r->isChanged())
                       w->setRawValue(r->value());
               })
        .withValue(ExtValueAction::Value, &W::valueChanged);
}

} // namespace

QVector<ExtWidgetKind> ExtSliderControl::widgetKinds()
{
    return {sliderKind(ControlConstants::KindHSlider, Horizontal),
            sliderKind(ControlConstants::KindVSlider, Vertical)};
}
