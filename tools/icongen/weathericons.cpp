// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "iconcanvas.h"
#include "iconentries.h"

#include <QtMath>

using namespace IconPalette;

namespace {

// The condition picture sits in a 60-pixel row of the weather tile, beside a 48-pixel temperature.
constexpr int kWeatherIcon = 64;
// The refresh button has a 16-pixel cell; drawn at twice that it stays sharp on scaled-up views.
constexpr int kRefreshIcon = 32;

enum class Sky { None, Sun, Moon };
enum class Fall { None, Rain, Snow, Thunder };

// A cloud of three puffs on a flat base, in a box 76 wide and 52 high whose top left is `at`,
// scaled by `k`.
QPainterPath cloud(const QPointF &at, double k)
{
    // Each piece is its own path: overlaps inside one path would cancel out as holes.
    const auto circle = [](double x, double y, double r) {
        QPainterPath c;
        c.addEllipse(QPointF(x, y), r, r);
        return c;
    };
    QPainterPath base;
    base.addRoundedRect(QRectF(0, 30, 76, 22), 11, 11);
    const QPainterPath shape =
        circle(16, 32, 16).united(circle(38, 22, 22)).united(circle(60, 34, 15)).united(base);
    QTransform t;
    t.translate(at.x(), at.y());
    t.scale(k, k);
    return t.map(shape);
}

void drawCloud(QPainter &p, const QPainterPath &shape, bool dark)
{
    // A light top fading down gives the flat cloud a little volume.
    const QRectF r = shape.boundingRect();
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    const QColor base = dark ? kStorm : kCloud;
    g.setColorAt(0, dark ? base.lighter(118) : QColor(255, 255, 255));
    g.setColorAt(1, base);
    p.setPen(IconCanvas::stroke(dark ? kStorm.darker(135) : kCloudDark, 3.2));
    p.setBrush(g);
    p.drawPath(shape);
    p.setBrush(Qt::NoBrush);
}

void drawSun(QPainter &p, const QPointF &c, double r)
{
    p.setPen(IconCanvas::stroke(kSun, r * 0.36));
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4;
        p.drawLine(QPointF(c.x() + r * 1.45 * std::cos(a), c.y() + r * 1.45 * std::sin(a)),
                   QPointF(c.x() + r * 1.95 * std::cos(a), c.y() + r * 1.95 * std::sin(a)));
    }
    QRadialGradient g(c - QPointF(r * 0.3, r * 0.3), r * 1.3);
    g.setColorAt(0, kSun.lighter(125));
    g.setColorAt(1, kSun);
    p.setPen(QPen(kSun.darker(115), r * 0.08));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    p.setBrush(Qt::NoBrush);
}

void drawMoon(QPainter &p, const QPointF &c, double r)
{
    QPainterPath disc;
    disc.addEllipse(c, r, r);
    QPainterPath bite;
    bite.addEllipse(c + QPointF(r * 0.55, -r * 0.4), r * 0.85, r * 0.85);
    p.setPen(QPen(kMoon.darker(140), r * 0.1));
    p.setBrush(kMoon);
    p.drawPath(disc.subtracted(bite));
    p.setBrush(Qt::NoBrush);
}

void drawRain(QPainter &p, double top)
{
    p.setPen(IconCanvas::stroke(kSky, 6));
    for (int i = 0; i < 3; ++i) {
        const double x = 34 + i * 16;
        const double y = top + (i % 2) * 6;
        p.drawLine(QPointF(x, y), QPointF(x - 5, y + 16));
    }
}

void flake(QPainter &p, const QPointF &c, double r)
{
    for (int i = 0; i < 3; ++i) {
        const double a = M_PI / 2 + i * M_PI / 3;
        p.drawLine(c + QPointF(r * std::cos(a), r * std::sin(a)),
                   c - QPointF(r * std::cos(a), r * std::sin(a)));
    }
}

void drawSnow(QPainter &p, double top)
{
    p.setPen(IconCanvas::stroke(QColor(0x4a, 0x9c, 0xf0), 3.8));
    flake(p, QPointF(34, top + 9), 8);
    flake(p, QPointF(54, top + 16), 8);
    flake(p, QPointF(74, top + 7), 8);
}

void drawBolt(QPainter &p, double top)
{
    QPainterPath b;
    b.moveTo(56, top);
    b.lineTo(36, top + 22);
    b.lineTo(50, top + 22);
    b.lineTo(42, top + 40);
    b.lineTo(68, top + 14);
    b.lineTo(54, top + 14);
    b.lineTo(62, top);
    b.closeSubpath();
    p.setPen(QPen(kAmber.darker(130), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kYellow);
    p.drawPath(b);
    p.setBrush(Qt::NoBrush);
}

QImage weather(const QSize &size, Sky sky, Fall fall, bool overcast)
{
    IconCanvas c(size.width(), size.height());
    QPainter &p = c.p();
    if (fall == Fall::None) {
        if (!overcast) {
            if (sky == Sky::Sun)
                drawSun(p, QPointF(50, 50), 20);
            else
                drawMoon(p, QPointF(50, 50), 30);
            return c.take();
        }
        // Clouds with the sun or the moon behind them.
        if (sky == Sky::Sun)
            drawSun(p, QPointF(38, 36), 15);
        else
            drawMoon(p, QPointF(36, 32), 26);
        drawCloud(p, cloud(QPointF(18, 40), 1.0), false);
        return c.take();
    }
    // Precipitation: the cloud moves up and the sun or moon peeks out above its left end.
    if (sky == Sky::Sun)
        drawSun(p, QPointF(30, 28), 12);
    else if (sky == Sky::Moon)
        drawMoon(p, QPointF(28, 26), 20);
    const bool dark = overcast || fall == Fall::Thunder;
    const QPainterPath shape = cloud(QPointF(sky == Sky::None ? 12 : 18, 14), 1.0);
    drawCloud(p, shape, dark);
    switch (fall) {
    case Fall::Rain:
        drawRain(p, 72);
        break;
    case Fall::Snow:
        drawSnow(p, 70);
        break;
    case Fall::Thunder:
        drawBolt(p, 56);
        break;
    case Fall::None:
        break;
    }
    return c.take();
}

// No forecast: a pale cloud with a question mark.
QImage notAvailable(const QSize &size)
{
    IconCanvas c(size.width(), size.height());
    QPainter &p = c.p();
    p.setOpacity(0.8);
    drawCloud(p, cloud(QPointF(12, 22), 1.0), false);
    p.setOpacity(1);
    p.setPen(IconCanvas::stroke(kSlate, 6));
    p.drawPath(StrokeFont::text(QStringLiteral("?"), QPointF(42, 40), 30, 0));
    return c.take();
}

// Refresh: two arrows chasing each other round a circle, on a round button like the dialogs'.
QImage refresh(const QSize &size)
{
    IconCanvas c(size.width(), size.height());
    c.roundTile(kBlue);
    QPainter &p = c.p();
    const double r = 24;
    const double start = 30;
    const double sweep = 110;
    for (int i = 0; i < 2; ++i) {
        p.save();
        p.translate(50, 50);
        p.rotate(i * 180);
        p.setPen(IconCanvas::stroke(kPaper, 8));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(-r, -r, 2 * r, 2 * r), int(start * 16), int(sweep * 16));
        // The head points along the arc where it ends, the way the arc turns.
        const double a = qDegreesToRadians(start + sweep);
        const QPointF end(r * std::cos(a), -r * std::sin(a));
        const QPointF along(-std::sin(a), -std::cos(a));
        const QPointF across(-along.y(), along.x());
        QPainterPath head;
        head.moveTo(end + along * 11);
        head.lineTo(end + across * 10);
        head.lineTo(end - across * 10);
        head.closeSubpath();
        p.setPen(QPen(kPaper, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(kPaper);
        p.drawPath(head);
        p.restore();
    }
    return c.take();
}

} // namespace

QList<IconEntry> weatherIcons()
{
    const QSize w(kWeatherIcon, kWeatherIcon);
    const QString g = QStringLiteral("weather");
    auto make = [](Sky sky, Fall fall, bool overcast) {
        return [=](const QSize &s) { return weather(s, sky, fall, overcast); };
    };
    return {
        {QStringLiteral("sun.png"), w, g, make(Sky::Sun, Fall::None, false)},
        {QStringLiteral("moon.png"), w, g, make(Sky::Moon, Fall::None, false)},
        {QStringLiteral("sun_clouds.png"), w, g, make(Sky::Sun, Fall::None, true)},
        {QStringLiteral("moon_cloud.png"), w, g, make(Sky::Moon, Fall::None, true)},
        {QStringLiteral("sun_rain.png"), w, g, make(Sky::Sun, Fall::Rain, false)},
        {QStringLiteral("moon_rain.png"), w, g, make(Sky::Moon, Fall::Rain, false)},
        {QStringLiteral("raind.png"), w, g, make(Sky::None, Fall::Rain, true)},
        {QStringLiteral("sun_snow.png"), w, g, make(Sky::Sun, Fall::Snow, false)},
        {QStringLiteral("moon_snow.png"), w, g, make(Sky::Moon, Fall::Snow, false)},
        {QStringLiteral("snow.png"), w, g, make(Sky::None, Fall::Snow, true)},
        {QStringLiteral("sun_thunder.png"), w, g, make(Sky::Sun, Fall::Thunder, false)},
        {QStringLiteral("moon_thunder.png"), w, g, make(Sky::Moon, Fall::Thunder, false)},
        {QStringLiteral("thunder.png"), w, g, make(Sky::None, Fall::Thunder, true)},
        {QStringLiteral("na.png"), w, g, notAvailable},
        {QStringLiteral("circle_double.png"), QSize(kRefreshIcon, kRefreshIcon), g, refresh},
    };
}
