// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "extcamerawidget.h"

#include <QVector>

struct ExtWidgetKind;

class MjpegData;

// The picture of an MJPEG camera on a room plan. It streams only while it is on screen: showing
// its page starts the stream, hiding it stops the stream and blanks the picture.
class ExtMjpegWidget : public ExtCameraWidget
{
    Q_OBJECT
public:
    explicit ExtMjpegWidget(CameraControlV1 *record, QGraphicsItem *parent = nullptr);
    // The control kinds this widget shows (ExtWidgetKinds).
    static QVector<ExtWidgetKind> widgetKinds();
    ~ExtMjpegWidget() override;

    void applyRecord(CameraControlV1 *record) override;
    MjpegData *stream() const { return m_stream; }

public slots:
    void updateImage(QImage image);

protected:
    void onScreenChanged(bool onScreen) override;

private:
    void updateDecodeSize();

    MjpegData *m_stream = nullptr;
};
