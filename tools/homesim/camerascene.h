// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QImage>
#include <QMutex>
#include <QRectF>
#include <QSize>
#include <QString>

// One simulated pan/tilt/zoom camera: a generated panorama larger than the picture, a view that
// PTZ commands move and zoom over it, and frames rendered from the view with the camera's name, a
// running clock and a moving object. Safe to use from several server threads at once.
class CameraScene
{
public:
    struct View
    {
        double centerX = 0; // panorama pixels
        double centerY = 0;
        double zoom = 1;
        int moves = 0; // PTZ commands applied
    };

    CameraScene(const QString &name, int seed, const QSize &frameSize);

    QString name() const { return m_name; }
    QSize frameSize() const { return m_frameSize; }
    QSize panoramaSize() const { return m_panorama.size(); }

    // Applies "left", "right", "up", "down", "home", "in" or "out"; false for anything else.
    bool command(const QString &what);
    View view() const;
    // The part of the panorama the picture shows.
    QRectF viewRect() const;

    QImage renderFrame(qint64 frameNumber) const;
    QByteArray renderJpeg(qint64 frameNumber, int quality = 80) const;

private:
    static QRectF rectFor(const View &view, const QSize &panorama, const QSize &frame);
    void clampView();

    QString m_name;
    QSize m_frameSize;
    QImage m_panorama;
    mutable QMutex m_mutex;
    View m_view;
};
