// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "galleryicons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace GalleryIcons {

namespace {
QImage canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}
} // namespace

QImage lamp(int s, bool on)
{
    QImage img = canvas(s, s);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(s / 2.0, s * 0.42);
    const qreal r = s * 0.28;
    if (on) {
        QRadialGradient glow(c, s * 0.5);
        glow.setColorAt(0, QColor(255, 214, 90, 170));
        glow.setColorAt(1, QColor(255, 214, 90, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(c, s * 0.5, s * 0.5);
    }
    QRadialGradient bulb(c - QPointF(r * 0.3, r * 0.3), r * 1.3);
    bulb.setColorAt(0, on ? QColor(255, 250, 215) : QColor(245, 247, 250));
    bulb.setColorAt(1, on ? QColor(255, 196, 40) : QColor(160, 170, 184));
    p.setBrush(bulb);
    p.setPen(QPen(QColor(60, 70, 85, 160), s * 0.025));
    p.drawEllipse(c, r, r);
    p.setBrush(QColor(90, 100, 116));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(s * 0.39, s * 0.68, s * 0.22, s * 0.16), s * 0.03, s * 0.03);
    return img;
}

QImage house(int s)
{
    QImage img = canvas(s, s);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath roof;
    roof.moveTo(s * 0.12, s * 0.48);
    roof.lineTo(s * 0.5, s * 0.14);
    roof.lineTo(s * 0.88, s * 0.48);
    QLinearGradient g(0, 0, 0, s);
    g.setColorAt(0, QColor(120, 200, 255));
    g.setColorAt(1, QColor(40, 120, 220));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(s * 0.22, s * 0.42, s * 0.56, s * 0.44), s * 0.05, s * 0.05);
    p.setPen(QPen(QColor(255, 255, 255), s * 0.08, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(roof);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawRoundedRect(QRectF(s * 0.43, s * 0.6, s * 0.14, s * 0.26), s * 0.03, s * 0.03);
    return img;
}

QImage thermometer(int s)
{
    QImage img = canvas(s, s);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255), s * 0.05));
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawRoundedRect(QRectF(s * 0.42, s * 0.12, s * 0.16, s * 0.56), s * 0.08, s * 0.08);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 98, 80));
    p.drawEllipse(QPointF(s * 0.5, s * 0.74), s * 0.14, s * 0.14);
    p.drawRoundedRect(QRectF(s * 0.46, s * 0.36, s * 0.08, s * 0.38), s * 0.04, s * 0.04);
    return img;
}

QImage fan(int s)
{
    QImage img = canvas(s, s);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(s / 2.0, s / 2.0);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        p.setBrush(QColor(90, 220, 190));
        p.drawEllipse(QRectF(-s * 0.1, -s * 0.42, s * 0.2, s * 0.36));
        p.rotate(120);
    }
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(QPointF(0, 0), s * 0.08, s * 0.08);
    return img;
}

QImage dot(int s, QRgb color)
{
    QImage img = canvas(s, s);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgba(color));
    p.drawEllipse(QRectF(s * 0.18, s * 0.18, s * 0.64, s * 0.64));
    return img;
}

QImage tile(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, QColor(255, 186, 120));
    g.setColorAt(1, QColor(230, 90, 130));
    p.fillRect(img.rect(), g);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawEllipse(QPointF(w * 0.3, h * 0.35), w * 0.18, h * 0.18);
    p.setBrush(QColor(60, 30, 90, 120));
    p.drawRect(QRectF(0, h * 0.75, w, h * 0.25));
    return img;
}

} // namespace GalleryIcons
