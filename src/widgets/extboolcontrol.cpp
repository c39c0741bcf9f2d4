// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "extboolcontrol.h"

#include "boolcontrolv1.h"
#include "extwidgetfactory.h"
#include "extwidgetkinds.h"

QVector<ExtWidgetKind> ExtBoolControl::widgetKinds()
{
    using W = ExtBoolControl;
    using R = BoolControlV1;
    return {ExtWidgetKind::of<W, R>(
        ControlConstants::KindBool, ExtClickAction::ToggleBit,
        [](R *, QGraphicsItem *plan) { return new W(plan); },
        [](W *w, R *r) { ExtWidgetFactory::applyIconButton(w, r, r->imageOff()); },
        [](W *w, const R *r) {
            // While a click's write is pending the picture keeps what the person asked for.
            if (r->isChanged())
                return;
            w->setImageName(r->bitValue() ? r->imageOn() : r->imageOff());
            w->show();
        })};
}
