// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "extavwidget.h"

#include "avcamcontrolv1.h"
#include "extwidgetkinds.h"

ExtAVWidget::ExtAVWidget(AVCamControlV1 *record, QGraphicsItem *parent)
    : ExtMjpegWidget(record, parent)
{
}

void ExtAVWidget::imageReady() {}

QVector<ExtWidgetKind> ExtAVWidget::widgetKinds()
{
    using W = ExtAVWidget;
    using R = AVCamControlV1;
    return {ExtWidgetKind::of<W, R>(
        ControlConstants::KindAVCam, ExtClickAction::None,
        [](R *r, QGraphicsItem *plan) { return new W(r, plan); },
        [](W *w, R *r) { w->applyRecord(r); })};
}
