// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "extavwidget.h"

#include "avcamcontrolv1.h"

ExtAVWidget::ExtAVWidget(AVCamControlV1 *record, QGraphicsItem *parent)
    : ExtCameraWidget(record, parent)
{
}

void ExtAVWidget::imageReady() {}
