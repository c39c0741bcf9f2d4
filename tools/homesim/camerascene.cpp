// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "camerascene.h"

#include <QBuffer>
#include <QDateTime>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

#include <cmath>

namespace {

// The panorama is three pictures wide and two high at zoom 1, so every direction has room to pan.
constexpr int kPanoramaFactorX = 3;
constexpr int kPanoramaFactorY = 2;
constexpr double kMaxZoom = 4.0;
constexpr double kZoomStep = 1.25;
// A pan or tilt moves the view by this share of its own size.
constexpr double kMoveShare = 0.25;
// Home looks at the houses and the road rather than the empty middle of the sky.
constexpr double kHomeY = 0.68;

QImage makePanorama(const QSize &size, int seed)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(quint32(seed) * 2654435761u + 17);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const int w = size.width();
    const int h = size.height();
    const int horizon = h * 55 / 100;

    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor::fromHsv((200 + seed * 23) % 360, 160, 200));
    sky.setColorAt(1, QColor(225, 235, 245));
    p.fillRect(0, 0, w, horizon, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 120));
    p.drawEllipse(QPointF(w * 0.8, h * 0.15), h * 0.06, h * 0.06);

    // Hills in three layers, darker towards the front.
    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath hills;
        hills.moveTo(0, h);
        const double base = horizon - h * 0.12 + layer * h * 0.07;
        const double phase = random.bounded(1000) / 100.0;
        for (int x = 0; x <= w; x += 8)
            hills.lineTo(x, base + std::sin(x / (90.0 + layer * 40) + phase) * h * 0.04);
        hills.lineTo(w, h);
        p.setBrush(QColor::fromHsv(100 + layer * 10, 120 + layer * 30, 170 - layer * 35));
        p.drawPath(hills);
    }
    p.fillRect(0, horizon + h / 10, w, h, QColor(90, 120, 70));
    // A road along the bottom for the moving car.
    p.fillRect(0, h * 86 / 100, w, h * 6 / 100, QColor(70, 70, 75));

    // Houses with lit windows and numbered posts every picture width, so a view tells where it is.
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(h / 18);
    font.setBold(true);
    p.setFont(font);
    for (int i = 0; i < 14; ++i) {
        const double x = (i + 0.3) * w / 14.0 + random.bounded(40);
        const double hw = h * (0.08 + random.bounded(40) / 1000.0);
        const double y = h * 0.86 - hw;
        p.setBrush(QColor::fromHsv(random.bounded(360), 60, 200));
        p.setPen(QPen(QColor(60, 50, 40), 2));
        p.drawRect(QRectF(x, y, hw * 1.3, hw));
        QPolygonF roof;
        roof << QPointF(x - hw * 0.1, y) << QPointF(x + hw * 0.65, y - hw * 0.5)
             << QPointF(x + hw * 1.4, y);
        p.setBrush(QColor(150, 60, 50));
        p.drawPolygon(roof);
        p.setBrush(QColor(255, 220, 120));
        p.drawRect(QRectF(x + hw * 0.2, y + hw * 0.25, hw * 0.3, hw * 0.3));
        p.drawRect(QRectF(x + hw * 0.8, y + hw * 0.25, hw * 0.3, hw * 0.3));
    }
    for (int i = 0; i <= 12; ++i) {
        const double x = i * w / 12.0;
        p.setPen(QPen(Qt::white, 3));
        p.drawLine(QPointF(x, h * 0.93), QPointF(x, h * 0.99));
        p.drawText(QPointF(x + 6, h * 0.985), QString::number(i));
    }
    return image;
}

} // namespace

CameraScene::CameraScene(const QString &name, int seed, const QSize &frameSize)
    : m_name(name), m_frameSize(frameSize.isValid() ? frameSize : QSize(640, 480))
{
    m_panorama = makePanorama(
        QSize(m_frameSize.width() * kPanoramaFactorX, m_frameSize.height() * kPanoramaFactorY),
        seed);
    m_view.centerX = m_panorama.width() / 2.0;
    m_view.centerY = m_panorama.height() * kHomeY;
    clampView();
}

bool CameraScene::command(const QString &what)
{
    QMutexLocker lock(&m_mutex);
    const QRectF r = rectFor(m_view, m_panorama.size(), m_frameSize);
    if (what == QLatin1String("left"))
        m_view.centerX -= r.width() * kMoveShare;
    else if (what == QLatin1String("right"))
        m_view.centerX += r.width() * kMoveShare;
    else if (what == QLatin1String("up"))
        m_view.centerY -= r.height() * kMoveShare;
    else if (what == QLatin1String("down"))
        m_view.centerY += r.height() * kMoveShare;
    else if (what == QLatin1String("in"))
        m_view.zoom = qMin(kMaxZoom, m_view.zoom * kZoomStep);
    else if (what == QLatin1String("out"))
        m_view.zoom = qMax(1.0, m_view.zoom / kZoomStep);
    else if (what == QLatin1String("home"))
        m_view = View{m_panorama.width() / 2.0, m_panorama.height() * kHomeY, 1.0, m_view.moves};
    else
        return false;
    ++m_view.moves;
    clampView();
    return true;
}

void CameraScene::clampView()
{
    const QRectF r = rectFor(m_view, m_panorama.size(), m_frameSize);
    m_view.centerX = qBound(r.width() / 2, m_view.centerX, m_panorama.width() - r.width() / 2);
    m_view.centerY = qBound(r.height() / 2, m_view.centerY, m_panorama.height() - r.height() / 2);
}

CameraScene::View CameraScene::view() const
{
    QMutexLocker lock(&m_mutex);
    return m_view;
}

QRectF CameraScene::viewRect() const
{
    QMutexLocker lock(&m_mutex);
    return rectFor(m_view, m_panorama.size(), m_frameSize);
}

QRectF CameraScene::rectFor(const View &view, const QSize &, const QSize &frame)
{
    const double w = frame.width() / view.zoom;
    const double h = frame.height() / view.zoom;
    return QRectF(view.centerX - w / 2, view.centerY - h / 2, w, h);
}

QImage CameraScene::renderFrame(qint64 frameNumber) const
{
    const QRectF source = viewRect();
    QImage frame(m_frameSize, QImage::Format_RGB32);
    QPainter p(&frame);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(QPointF(0, 0), QSizeF(m_frameSize)), m_panorama, source);

    // A car drives along the road of the panorama, so the picture moves even when the clock is
    // hidden by a zoom.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const double scale = m_frameSize.width() / source.width();
    const double carX = double(now % 20000) / 20000.0 * m_panorama.width();
    const QRectF car((carX - source.x()) * scale,
                     (m_panorama.height() * 0.875 - source.y()) * scale,
                     m_frameSize.height() * 0.12 * scale, m_frameSize.height() * 0.04 * scale);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 30, 30));
    p.drawRoundedRect(car, 4, 4);

    const int bar = qMax(16, m_frameSize.height() / 12);
    p.fillRect(0, 0, m_frameSize.width(), bar, QColor(0, 0, 0, 140));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(bar * 2 / 3);
    p.setFont(font);
    p.setPen(Qt::white);
    const QString clock =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    p.drawText(QRect(6, 0, m_frameSize.width() - 12, bar), Qt::AlignVCenter | Qt::AlignLeft,
               m_name);
    p.drawText(QRect(6, 0, m_frameSize.width() - 12, bar), Qt::AlignVCenter | Qt::AlignRight,
               clock + QStringLiteral("  #") + QString::number(frameNumber));
    return frame;
}

QByteArray CameraScene::renderJpeg(qint64 frameNumber, int quality) const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    renderFrame(frameNumber).save(&buffer, "JPG", quality);
    return bytes;
}
