// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "extmjpegwidget.h"

#include <QVector>

struct ExtWidgetKind;

class AVCamControlV1;

// An audio/video camera on a room plan: the camera frame, caption and PTZ buttons, and its
// picture, which such cameras serve as an MJPEG stream beside their audio. Like the MJPEG camera
// it streams only while its page is on screen.
class ExtAVWidget : public ExtMjpegWidget
{
    Q_OBJECT
public:
    explicit ExtAVWidget(AVCamControlV1 *record, QGraphicsItem *parent = nullptr);
    // The control kinds this widget shows (ExtWidgetKinds).
    static QVector<ExtWidgetKind> widgetKinds();

public slots:
    // Kept for the camera widgets' common interface: frames arrive through updateImage().
    void imageReady();
};
