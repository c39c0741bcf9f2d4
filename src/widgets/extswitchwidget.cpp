// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "extswitchwidget.h"

#include "extwidgetfactory.h"
#include "extwidgetkinds.h"
#include "switchcontrolv1.h"

QVector<ExtWidgetKind> ExtSwitchWidget::widgetKinds()
{
    using W = ExtSwitchWidget;
    using R = SwitchControlV1;
    return {ExtWidgetKind::of<W, R>(
        ControlConstants::KindSwitch, ExtClickAction::WallSwitch,
        [](R *, QGraphicsItem *plan) { return new W(plan); },
        [](W *w, R *r) { ExtWidgetFactory::applyIconButton(w, r, r->imageOn()); },
        [](W *w, const R *r) {
            // A switch the controller uses as a scene switch shows its scene picture.
            w->setImageName(r->switchMode() == 1 ? r->imageScene() : r->imageOn());
        })};
}
