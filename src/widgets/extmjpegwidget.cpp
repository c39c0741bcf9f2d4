// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "extmjpegwidget.h"

#include "extwidgetkinds.h"
#include "ipcamcontrolv1.h"
#include "mjpegdata.h"

ExtMjpegWidget::ExtMjpegWidget(CameraControlV1 *record, QGraphicsItem *parent)
    : ExtCameraWidget(record, parent), m_stream(new MjpegData(this))
{
    connect(m_stream, &MjpegData::newImageGrabbed, this, &ExtMjpegWidget::updateImage);
    connect(m_stream, &MjpegData::errorHappend, this, &ExtCameraWidget::errorImage);
    connect(m_stream, &MjpegData::finishGrabing, this, &ExtCameraWidget::errorImage);
    // The base places the picture on the same signal, connected first, so its size is current.
    connect(this, &EGraphicsWidget::onGeometryChanged, this, &ExtMjpegWidget::updateDecodeSize);
    applyRecord(record);
    updateDecodeSize();
    updateOnScreen();
}

ExtMjpegWidget::~ExtMjpegWidget()
{
    // Stop before the picture widgets go away, so no late frame lands on them.
    m_stream->disconnect(this);
    m_stream->stop();
}

void ExtMjpegWidget::applyRecord(CameraControlV1 *record)
{
    ExtCameraWidget::applyRecord(record);
    if (!record || !m_stream)
        return;
    m_stream->setAddress(record->ipaddress());
    m_stream->setPort(record->port());
    m_stream->setPath(record->initial());
    m_stream->setLogin(record->login());
    m_stream->setPassword(record->password());
}

void ExtMjpegWidget::updateDecodeSize()
{
    // Frames only need to cover the picture area; the image widget scales the rest of the way.
    m_stream->setDecodeSize(pictureArea().toSize());
}

void ExtMjpegWidget::updateImage(QImage image)
{
    setPicture(image);
}

void ExtMjpegWidget::onScreenChanged(bool onScreen)
{
    if (!m_stream)
        return;
    if (onScreen) {
        m_stream->start();
    } else {
        m_stream->stop();
        errorImage();
    }
}

QVector<ExtWidgetKind> ExtMjpegWidget::widgetKinds()
{
    using W = ExtMjpegWidget;
    using R = IpCamControlV1;
    return {ExtWidgetKind::of<W, R>(
        ControlConstants::KindIpCam, ExtClickAction::None,
        [](R *r, QGraphicsItem *plan) { return new W(r, plan); },
        [](W *w, R *r) { w->applyRecord(r); })};
}
