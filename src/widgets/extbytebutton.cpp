// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "extbytebutton.h"

#include "extwidgetfactory.h"
#include "extwidgetkinds.h"
#include "resbtcontrolv1.h"

QVector<ExtWidgetKind> ExtByteButton::widgetKinds()
{
    using W = ExtByteButton;
    using R = ResbtControlV1;
    return {ExtWidgetKind::of<W, R>(
        ControlConstants::KindResbt, ExtClickAction::WriteByte,
        [](R *, QGraphicsItem *plan) { return new W(plan); },
        [](W *w, R *r) { ExtWidgetFactory::applyIconButton(w, r, r->imageOff()); },
        [](W *w, const R *r) {
            w->setImageName(int(r->byteValue()) == r->val() ? r->imageOn() : r->imageOff());
        })};
}
