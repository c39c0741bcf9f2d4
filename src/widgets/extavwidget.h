// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "extcamerawidget.h"

#include <QVector>

struct ExtWidgetKind;

class AVCamControlV1;

// An audio/video camera on a room plan: the camera frame, caption and PTZ buttons. The panel has
// no picture source for this kind, so the picture stays the placeholder.
class ExtAVWidget : public ExtCameraWidget
{
    Q_OBJECT
public:
    explicit ExtAVWidget(AVCamControlV1 *record, QGraphicsItem *parent = nullptr);
    // The control kinds this widget shows (ExtWidgetKinds).
    static QVector<ExtWidgetKind> widgetKinds();

public slots:
    // Kept for the camera widgets' common interface: there is no picture to take.
    void imageReady();
};
