// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "extsensorwidget.h"

#include "extwidgetfactory.h"
#include "extwidgetkinds.h"
#include "sensorcontrolv1.h"

QVector<ExtWidgetKind> ExtSensorWidget::widgetKinds()
{
    using W = ExtSensorWidget;
    using R = SensorControlV1;
    return {ExtWidgetKind::of<W, R>(
        ControlConstants::KindSensor, ExtClickAction::Sensor,
        [](R *, QGraphicsItem *plan) { return new W(plan); },
        [](W *w, R *r) { ExtWidgetFactory::applyIconButton(w, r, r->imageDis()); },
        [](W *w, const R *r) {
            // 0: the lamp naming the sensor is on, 1: off, anything else: no lamp named it.
            const int state = r->sensorState();
            w->setImageName(state == 0 ? r->imageOn() : state == 1 ? r->imageOff() : r->imageDis());
        })};
}
