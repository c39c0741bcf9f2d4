// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "iconpainter.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <functional>

namespace {

// Glyphs draw in a 100 x 100 box with the pen and brush prepared by paintGlyph: pen = the glyph
// colour with round caps, brush = none. A glyph that wants a solid part sets the brush itself.
using Glyph = std::function<void(QPainter &, const QColor &)>;

void solid(QPainter &p, const QColor &c)
{
    p.setBrush(c);
}
void hollow(QPainter &p)
{
    p.setBrush(Qt::NoBrush);
}

QPainterPath starPath(const QPointF &c, double outer, double inner, int points = 5)
{
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        const double r = (i % 2) ? inner : outer;
        const double a = -M_PI / 2 + i * M_PI / points;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

void bulb(QPainter &p, const QColor &c, bool lit)
{
    QPainterPath glass;
    glass.moveTo(38, 66);
    glass.cubicTo(38, 56, 24, 50, 24, 36);
    glass.cubicTo(24, 21, 36, 12, 50, 12);
    glass.cubicTo(64, 12, 76, 21, 76, 36);
    glass.cubicTo(76, 50, 62, 56, 62, 66);
    glass.closeSubpath();
    if (lit) {
        p.setBrush(c);
        p.drawPath(glass);
        hollow(p);
        for (int i = 0; i < 5; ++i) {
            const double a = M_PI + i * M_PI / 4;
            p.drawLine(QPointF(50 + 36 * std::cos(a), 36 + 36 * std::sin(a)),
                       QPointF(50 + 46 * std::cos(a), 36 + 46 * std::sin(a)));
        }
    } else {
        p.drawPath(glass);
        p.drawLine(QPointF(44, 50), QPointF(50, 40));
        p.drawLine(QPointF(50, 40), QPointF(56, 50));
    }
    p.drawLine(QPointF(40, 74), QPointF(60, 74));
    p.drawLine(QPointF(42, 82), QPointF(58, 82));
    p.drawLine(QPointF(46, 90), QPointF(54, 90));
}

void fan(QPainter &p, const QColor &c)
{
    solid(p, c);
    p.drawEllipse(QPointF(50, 50), 7, 7);
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(50, 50);
        p.rotate(i * 120);
        QPainterPath blade;
        blade.moveTo(0, -10);
        blade.cubicTo(-18, -22, -12, -44, 6, -42);
        blade.cubicTo(18, -40, 16, -22, 6, -10);
        blade.closeSubpath();
        p.drawPath(blade);
        p.restore();
    }
    hollow(p);
}

const QHash<QString, Glyph> &glyphs()
{
    static const QHash<QString, Glyph> table = [] {
        QHash<QString, Glyph> g;
        g.insert(QStringLiteral("bulb"), [](QPainter &p, const QColor &c) { bulb(p, c, false); });
        g.insert(QStringLiteral("bulb_lit"),
                 [](QPainter &p, const QColor &c) { bulb(p, c, true); });
        g.insert(QStringLiteral("switch"), [](QPainter &p, const QColor &c) {
            p.drawRoundedRect(QRectF(22, 14, 56, 72), 10, 10);
            solid(p, c);
            p.drawRoundedRect(QRectF(38, 30, 24, 40), 5, 5);
            hollow(p);
        });
        g.insert(QStringLiteral("switch_scene"), [](QPainter &p, const QColor &c) {
            p.drawRoundedRect(QRectF(22, 14, 56, 72), 10, 10);
            solid(p, c);
            p.drawPath(starPath(QPointF(50, 50), 20, 9));
            hollow(p);
        });
        g.insert(QStringLiteral("motion"), [](QPainter &p, const QColor &c) {
            solid(p, c);
            p.drawChord(QRectF(30, 12, 40, 40), 0, 180 * 16);
            hollow(p);
            p.drawLine(QPointF(28, 32), QPointF(72, 32));
            for (int i = 0; i < 3; ++i) {
                const double r = 24 + i * 12;
                p.drawArc(QRectF(50 - r, 34 - r, 2 * r, 2 * r), -135 * 16, 90 * 16);
            }
        });
        g.insert(QStringLiteral("fan"), [](QPainter &p, const QColor &c) { fan(p, c); });
        g.insert(QStringLiteral("sun"), [](QPainter &p, const QColor &c) {
            solid(p, c);
            p.drawEllipse(QPointF(50, 50), 17, 17);
            hollow(p);
            for (int i = 0; i < 8; ++i) {
                const double a = i * M_PI / 4;
                p.drawLine(QPointF(50 + 27 * std::cos(a), 50 + 27 * std::sin(a)),
                           QPointF(50 + 40 * std::cos(a), 50 + 40 * std::sin(a)));
            }
        });
        g.insert(QStringLiteral("snow"), [](QPainter &p, const QColor &) {
            for (int i = 0; i < 6; ++i) {
                p.save();
                p.translate(50, 50);
                p.rotate(i * 60);
                p.drawLine(QPointF(0, 0), QPointF(0, -40));
                p.drawLine(QPointF(0, -24), QPointF(-10, -34));
                p.drawLine(QPointF(0, -24), QPointF(10, -34));
                p.restore();
            }
        });
        g.insert(QStringLiteral("flame"), [](QPainter &p, const QColor &c) {
            QPainterPath f;
            f.moveTo(50, 10);
            f.cubicTo(62, 30, 80, 44, 78, 64);
            f.cubicTo(76, 82, 62, 90, 50, 90);
            f.cubicTo(36, 90, 22, 80, 22, 62);
            f.cubicTo(22, 48, 32, 42, 36, 30);
            f.cubicTo(42, 40, 44, 46, 46, 50);
            f.cubicTo(50, 38, 52, 24, 50, 10);
            solid(p, c);
            p.drawPath(f);
            hollow(p);
        });
        g.insert(QStringLiteral("drop"), [](QPainter &p, const QColor &c) {
            QPainterPath d;
            d.moveTo(50, 10);
            d.cubicTo(60, 30, 76, 46, 76, 62);
            d.cubicTo(76, 78, 64, 90, 50, 90);
            d.cubicTo(36, 90, 24, 78, 24, 62);
            d.cubicTo(24, 46, 40, 30, 50, 10);
            solid(p, c);
            p.drawPath(d);
            hollow(p);
        });
        g.insert(QStringLiteral("drop_outline"), [](QPainter &p, const QColor &) {
            QPainterPath d;
            d.moveTo(50, 10);
            d.cubicTo(60, 30, 76, 46, 76, 62);
            d.cubicTo(76, 78, 64, 90, 50, 90);
            d.cubicTo(36, 90, 24, 78, 24, 62);
            d.cubicTo(24, 46, 40, 30, 50, 10);
            p.drawPath(d);
            p.drawArc(QRectF(34, 52, 24, 24), 180 * 16, 90 * 16);
        });
        g.insert(QStringLiteral("smoke"), [](QPainter &p, const QColor &c) {
            // A ceiling detector with smoke curling up towards it.
            solid(p, c);
            p.drawRoundedRect(QRectF(22, 10, 56, 14), 6, 6);
            hollow(p);
            p.drawLine(QPointF(40, 30), QPointF(60, 30));
            for (int i = 0; i < 3; ++i) {
                const double x = 30 + i * 20;
                QPainterPath wisp;
                wisp.moveTo(x, 92);
                wisp.cubicTo(x - 12, 80, x + 12, 68, x, 56);
                wisp.cubicTo(x - 8, 48, x + 6, 44, x, 40);
                p.drawPath(wisp);
            }
        });
        g.insert(QStringLiteral("valve"), [](QPainter &p, const QColor &c) {
            QPainterPath v;
            v.moveTo(16, 42);
            v.lineTo(50, 62);
            v.lineTo(84, 42);
            v.lineTo(84, 82);
            v.lineTo(50, 62);
            v.lineTo(16, 82);
            v.closeSubpath();
            solid(p, c);
            p.drawPath(v);
            hollow(p);
            p.drawLine(QPointF(50, 62), QPointF(50, 26));
            p.drawLine(QPointF(34, 22), QPointF(66, 22));
        });
        g.insert(QStringLiteral("valve_closed"), [](QPainter &p, const QColor &c) {
            QPainterPath v;
            v.moveTo(16, 42);
            v.lineTo(50, 62);
            v.lineTo(84, 42);
            v.lineTo(84, 82);
            v.lineTo(50, 62);
            v.lineTo(16, 82);
            v.closeSubpath();
            p.drawPath(v);
            p.drawLine(QPointF(50, 62), QPointF(50, 26));
            solid(p, c);
            p.drawRect(QRectF(34, 18, 32, 8));
            hollow(p);
        });
        g.insert(QStringLiteral("pump"), [](QPainter &p, const QColor &c) {
            p.drawEllipse(QPointF(50, 50), 34, 34);
            QPainterPath t;
            t.moveTo(36, 30);
            t.lineTo(70, 50);
            t.lineTo(36, 70);
            t.closeSubpath();
            solid(p, c);
            p.drawPath(t);
            hollow(p);
        });
        g.insert(QStringLiteral("gate"), [](QPainter &p, const QColor &) {
            for (int i = 0; i < 5; ++i) {
                const double x = 18 + i * 16;
                p.drawLine(QPointF(x, 82), QPointF(x, 30));
                p.drawLine(QPointF(x, 30), QPointF(x + 4, 22));
            }
            p.drawLine(QPointF(12, 44), QPointF(88, 44));
            p.drawLine(QPointF(12, 70), QPointF(88, 70));
        });
        g.insert(QStringLiteral("gate_open"), [](QPainter &p, const QColor &) {
            for (int i = 0; i < 2; ++i) {
                const double x = 14 + i * 10;
                p.drawLine(QPointF(x, 82), QPointF(x, 30));
            }
            for (int i = 0; i < 2; ++i) {
                const double x = 76 + i * 10;
                p.drawLine(QPointF(x, 82), QPointF(x, 30));
            }
            p.drawLine(QPointF(10, 44), QPointF(28, 44));
            p.drawLine(QPointF(72, 44), QPointF(90, 44));
            p.drawLine(QPointF(10, 70), QPointF(28, 70));
            p.drawLine(QPointF(72, 70), QPointF(90, 70));
            p.drawLine(QPointF(38, 60), QPointF(62, 60));
            p.drawLine(QPointF(54, 52), QPointF(62, 60));
            p.drawLine(QPointF(54, 68), QPointF(62, 60));
        });
        g.insert(QStringLiteral("door"), [](QPainter &p, const QColor &c) {
            p.drawRect(QRectF(28, 12, 44, 78));
            solid(p, c);
            p.drawEllipse(QPointF(62, 54), 4, 4);
            hollow(p);
        });
        g.insert(QStringLiteral("door_open"), [](QPainter &p, const QColor &c) {
            p.drawRect(QRectF(28, 12, 44, 78));
            QPainterPath leaf;
            leaf.moveTo(28, 12);
            leaf.lineTo(52, 20);
            leaf.lineTo(52, 96);
            leaf.lineTo(28, 90);
            leaf.closeSubpath();
            solid(p, c);
            p.drawPath(leaf);
            hollow(p);
        });
        g.insert(QStringLiteral("window"), [](QPainter &p, const QColor &) {
            p.drawRect(QRectF(20, 16, 60, 68));
            p.drawLine(QPointF(50, 16), QPointF(50, 84));
            p.drawLine(QPointF(20, 50), QPointF(80, 50));
        });
        g.insert(QStringLiteral("window_open"), [](QPainter &p, const QColor &c) {
            p.drawRect(QRectF(20, 16, 60, 68));
            QPainterPath sash;
            sash.moveTo(50, 16);
            sash.lineTo(70, 24);
            sash.lineTo(70, 92);
            sash.lineTo(50, 84);
            sash.closeSubpath();
            solid(p, c);
            p.drawPath(sash);
            hollow(p);
            p.drawLine(QPointF(20, 50), QPointF(50, 50));
        });
        g.insert(QStringLiteral("plug"), [](QPainter &p, const QColor &c) {
            p.drawLine(QPointF(40, 12), QPointF(40, 30));
            p.drawLine(QPointF(60, 12), QPointF(60, 30));
            solid(p, c);
            p.drawRoundedRect(QRectF(28, 30, 44, 28), 6, 6);
            hollow(p);
            p.drawLine(QPointF(50, 58), QPointF(50, 72));
            p.drawArc(QRectF(50, 60, 30, 30), 180 * 16, 90 * 16);
        });
        g.insert(QStringLiteral("bolt"), [](QPainter &p, const QColor &c) {
            QPainterPath b;
            b.moveTo(58, 8);
            b.lineTo(26, 56);
            b.lineTo(48, 56);
            b.lineTo(40, 92);
            b.lineTo(76, 40);
            b.lineTo(54, 40);
            b.closeSubpath();
            solid(p, c);
            p.drawPath(b);
            hollow(p);
        });
        g.insert(QStringLiteral("shield"), [](QPainter &p, const QColor &c) {
            QPainterPath s;
            s.moveTo(50, 10);
            s.lineTo(82, 22);
            s.cubicTo(82, 56, 70, 78, 50, 90);
            s.cubicTo(30, 78, 18, 56, 18, 22);
            s.closeSubpath();
            p.drawPath(s);
            solid(p, c);
            p.drawEllipse(QPointF(50, 44), 8, 8);
            p.drawRect(QRectF(46, 48, 8, 18));
            hollow(p);
        });
        g.insert(QStringLiteral("bell"), [](QPainter &p, const QColor &c) {
            QPainterPath b;
            b.moveTo(20, 72);
            b.cubicTo(30, 62, 28, 50, 30, 38);
            b.cubicTo(32, 22, 42, 16, 50, 16);
            b.cubicTo(58, 16, 68, 22, 70, 38);
            b.cubicTo(72, 50, 70, 62, 80, 72);
            b.closeSubpath();
            solid(p, c);
            p.drawPath(b);
            p.drawEllipse(QPointF(50, 80), 8, 8);
            hollow(p);
            p.drawLine(QPointF(50, 8), QPointF(50, 16));
        });
        g.insert(QStringLiteral("gear"), [](QPainter &p, const QColor &) {
            QPainterPath g2;
            const int teeth = 8;
            for (int i = 0; i < teeth * 4; ++i) {
                const double a = i * 2 * M_PI / (teeth * 4);
                const double r = ((i / 2) % 2) ? 30 : 40;
                const QPointF pt(50 + r * std::cos(a), 50 + r * std::sin(a));
                if (i == 0)
                    g2.moveTo(pt);
                else
                    g2.lineTo(pt);
            }
            g2.closeSubpath();
            p.drawPath(g2);
            p.drawEllipse(QPointF(50, 50), 12, 12);
        });
        g.insert(QStringLiteral("info"), [](QPainter &p, const QColor &c) {
            p.drawEllipse(QPointF(50, 50), 38, 38);
            solid(p, c);
            p.drawEllipse(QPointF(50, 30), 5, 5);
            hollow(p);
            p.drawLine(QPointF(50, 44), QPointF(50, 72));
        });
        g.insert(QStringLiteral("exit"), [](QPainter &p, const QColor &) {
            p.drawLine(QPointF(44, 14), QPointF(20, 14));
            p.drawLine(QPointF(20, 14), QPointF(20, 86));
            p.drawLine(QPointF(20, 86), QPointF(44, 86));
            p.drawLine(QPointF(38, 50), QPointF(84, 50));
            p.drawLine(QPointF(68, 34), QPointF(84, 50));
            p.drawLine(QPointF(68, 66), QPointF(84, 50));
        });
        g.insert(QStringLiteral("link"), [](QPainter &p, const QColor &c) {
            p.drawRoundedRect(QRectF(30, 12, 40, 28), 4, 4);
            p.drawLine(QPointF(50, 40), QPointF(50, 58));
            p.drawLine(QPointF(20, 58), QPointF(80, 58));
            p.drawLine(QPointF(20, 58), QPointF(20, 70));
            p.drawLine(QPointF(80, 58), QPointF(80, 70));
            solid(p, c);
            p.drawRect(QRectF(10, 70, 20, 16));
            p.drawRect(QRectF(70, 70, 20, 16));
            p.drawRect(QRectF(40, 70, 20, 16));
            hollow(p);
            p.drawLine(QPointF(50, 58), QPointF(50, 70));
        });
        g.insert(QStringLiteral("scenes"), [](QPainter &p, const QColor &c) {
            solid(p, c);
            p.drawPath(starPath(QPointF(38, 58), 28, 12));
            hollow(p);
            p.drawPath(starPath(QPointF(72, 28), 16, 7));
        });
        g.insert(QStringLiteral("star"), [](QPainter &p, const QColor &c) {
            solid(p, c);
            p.drawPath(starPath(QPointF(50, 54), 38, 16));
            hollow(p);
        });
        g.insert(QStringLiteral("alert"), [](QPainter &p, const QColor &c) {
            QPainterPath t;
            t.moveTo(50, 12);
            t.lineTo(90, 84);
            t.lineTo(10, 84);
            t.closeSubpath();
            p.drawPath(t);
            p.drawLine(QPointF(50, 38), QPointF(50, 60));
            solid(p, c);
            p.drawEllipse(QPointF(50, 72), 4, 4);
            hollow(p);
        });
        g.insert(QStringLiteral("thermometer"), [](QPainter &p, const QColor &c) {
            p.drawRoundedRect(QRectF(40, 10, 20, 60), 10, 10);
            solid(p, c);
            p.drawEllipse(QPointF(50, 76), 14, 14);
            p.drawRect(QRectF(46, 36, 8, 34));
            hollow(p);
        });
        g.insert(QStringLiteral("camera"), [](QPainter &p, const QColor &c) {
            p.drawRoundedRect(QRectF(12, 30, 56, 40), 6, 6);
            QPainterPath lens;
            lens.moveTo(68, 42);
            lens.lineTo(88, 30);
            lens.lineTo(88, 70);
            lens.lineTo(68, 58);
            solid(p, c);
            p.drawPath(lens);
            p.drawEllipse(QPointF(26, 42), 4, 4);
            hollow(p);
        });
        g.insert(QStringLiteral("tree"), [](QPainter &p, const QColor &c) {
            solid(p, c);
            p.drawEllipse(QRectF(22, 10, 56, 56));
            hollow(p);
            p.drawLine(QPointF(50, 60), QPointF(50, 90));
            p.drawLine(QPointF(50, 74), QPointF(38, 64));
        });
        g.insert(QStringLiteral("sprinkler"), [](QPainter &p, const QColor &c) {
            p.drawLine(QPointF(50, 90), QPointF(50, 60));
            solid(p, c);
            p.drawRect(QRectF(40, 54, 20, 8));
            hollow(p);
            for (int i = -2; i <= 2; ++i) {
                p.drawArc(QRectF(20, 20, 60, 60), (90 + i * 25) * 16, 8 * 16);
                p.drawArc(QRectF(6, 6, 88, 88), (90 + i * 25 + 10) * 16, 8 * 16);
            }
        });
        g.insert(QStringLiteral("cloud_sun"), [](QPainter &p, const QColor &c) {
            p.drawEllipse(QPointF(36, 36), 16, 16);
            for (int i = 0; i < 5; ++i) {
                const double a = M_PI * (0.75 + i * 0.25);
                p.drawLine(QPointF(36 + 22 * std::cos(a), 36 + 22 * std::sin(a)),
                           QPointF(36 + 30 * std::cos(a), 36 + 30 * std::sin(a)));
            }
            QPainterPath cl;
            cl.moveTo(30, 84);
            cl.cubicTo(14, 84, 14, 62, 30, 62);
            cl.cubicTo(32, 46, 58, 42, 64, 56);
            cl.cubicTo(80, 52, 90, 70, 80, 84);
            cl.closeSubpath();
            solid(p, c);
            p.drawPath(cl);
            hollow(p);
        });
        g.insert(QStringLiteral("music"), [](QPainter &p, const QColor &c) {
            solid(p, c);
            p.drawEllipse(QPointF(30, 76), 12, 9);
            p.drawEllipse(QPointF(72, 68), 12, 9);
            hollow(p);
            p.drawLine(QPointF(41, 76), QPointF(41, 20));
            p.drawLine(QPointF(83, 68), QPointF(83, 12));
            p.drawLine(QPointF(41, 20), QPointF(83, 12));
            p.drawLine(QPointF(41, 32), QPointF(83, 24));
        });
        g.insert(QStringLiteral("radio"), [](QPainter &p, const QColor &c) {
            p.drawRoundedRect(QRectF(12, 34, 76, 50), 8, 8);
            p.drawLine(QPointF(26, 34), QPointF(70, 12));
            solid(p, c);
            p.drawEllipse(QPointF(34, 59), 12, 12);
            hollow(p);
            p.drawLine(QPointF(56, 50), QPointF(78, 50));
            p.drawLine(QPointF(56, 62), QPointF(78, 62));
            p.drawLine(QPointF(56, 74), QPointF(78, 74));
        });
        g.insert(QStringLiteral("tv"), [](QPainter &p, const QColor &c) {
            p.drawRoundedRect(QRectF(10, 18, 80, 54), 6, 6);
            p.drawLine(QPointF(36, 86), QPointF(64, 86));
            p.drawLine(QPointF(50, 72), QPointF(50, 86));
            QPainterPath play;
            play.moveTo(42, 32);
            play.lineTo(62, 45);
            play.lineTo(42, 58);
            play.closeSubpath();
            solid(p, c);
            p.drawPath(play);
            hollow(p);
        });
        g.insert(QStringLiteral("film"), [](QPainter &p, const QColor &c) {
            p.drawRect(QRectF(16, 14, 68, 72));
            p.drawLine(QPointF(30, 14), QPointF(30, 86));
            p.drawLine(QPointF(70, 14), QPointF(70, 86));
            solid(p, c);
            for (int i = 0; i < 4; ++i) {
                p.drawRect(QRectF(19, 20 + i * 17, 7, 8));
                p.drawRect(QRectF(74, 20 + i * 17, 7, 8));
            }
            hollow(p);
            p.drawLine(QPointF(30, 50), QPointF(70, 50));
        });
        g.insert(QStringLiteral("house"), [](QPainter &p, const QColor &) {
            p.drawLine(QPointF(10, 50), QPointF(50, 14));
            p.drawLine(QPointF(50, 14), QPointF(90, 50));
            p.drawRect(QRectF(22, 46, 56, 42));
            p.drawRect(QRectF(42, 62, 16, 26));
        });
        g.insert(QStringLiteral("house_lower"), [](QPainter &p, const QColor &c) {
            p.drawLine(QPointF(10, 40), QPointF(50, 8));
            p.drawLine(QPointF(50, 8), QPointF(90, 40));
            p.drawRect(QRectF(20, 36, 60, 54));
            p.drawLine(QPointF(20, 62), QPointF(80, 62));
            solid(p, c);
            p.drawRect(QRectF(26, 68, 48, 16));
            hollow(p);
        });
        g.insert(QStringLiteral("house_upper"), [](QPainter &p, const QColor &c) {
            p.drawLine(QPointF(10, 40), QPointF(50, 8));
            p.drawLine(QPointF(50, 8), QPointF(90, 40));
            p.drawRect(QRectF(20, 36, 60, 54));
            p.drawLine(QPointF(20, 62), QPointF(80, 62));
            solid(p, c);
            p.drawRect(QRectF(26, 42, 48, 14));
            hollow(p);
        });
        g.insert(QStringLiteral("moon"), [](QPainter &p, const QColor &c) {
            QPainterPath m;
            m.addEllipse(QPointF(50, 50), 34, 34);
            QPainterPath cut;
            cut.addEllipse(QPointF(66, 38), 30, 30);
            solid(p, c);
            p.drawPath(m.subtracted(cut));
            hollow(p);
        });
        g.insert(QStringLiteral("suitcase"), [](QPainter &p, const QColor &) {
            p.drawRoundedRect(QRectF(14, 32, 72, 50), 6, 6);
            p.drawRoundedRect(QRectF(38, 18, 24, 14), 4, 4);
            p.drawLine(QPointF(14, 54), QPointF(86, 54));
        });
        g.insert(QStringLiteral("arrow_up"), [](QPainter &p, const QColor &) {
            p.drawLine(QPointF(50, 84), QPointF(50, 18));
            p.drawLine(QPointF(26, 42), QPointF(50, 18));
            p.drawLine(QPointF(74, 42), QPointF(50, 18));
        });
        g.insert(QStringLiteral("arrow_down"), [](QPainter &p, const QColor &) {
            p.drawLine(QPointF(50, 16), QPointF(50, 82));
            p.drawLine(QPointF(26, 58), QPointF(50, 82));
            p.drawLine(QPointF(74, 58), QPointF(50, 82));
        });
        g.insert(QStringLiteral("stop"), [](QPainter &p, const QColor &c) {
            solid(p, c);
            p.drawRoundedRect(QRectF(26, 26, 48, 48), 6, 6);
            hollow(p);
        });
        g.insert(QStringLiteral("power"), [](QPainter &p, const QColor &) {
            p.drawArc(QRectF(18, 20, 64, 64), 120 * 16, 300 * 16);
            p.drawLine(QPointF(50, 12), QPointF(50, 50));
        });
        g.insert(QStringLiteral("sofa"), [](QPainter &p, const QColor &c) {
            p.drawRoundedRect(QRectF(12, 40, 16, 36), 6, 6);
            p.drawRoundedRect(QRectF(72, 40, 16, 36), 6, 6);
            p.drawRoundedRect(QRectF(24, 28, 52, 30), 6, 6);
            solid(p, c);
            p.drawRect(QRectF(28, 58, 44, 16));
            hollow(p);
            p.drawLine(QPointF(20, 76), QPointF(20, 86));
            p.drawLine(QPointF(80, 76), QPointF(80, 86));
        });
        g.insert(QStringLiteral("pot"), [](QPainter &p, const QColor &c) {
            solid(p, c);
            p.drawRoundedRect(QRectF(20, 44, 60, 38), 8, 8);
            hollow(p);
            p.drawLine(QPointF(12, 52), QPointF(20, 52));
            p.drawLine(QPointF(80, 52), QPointF(88, 52));
            p.drawLine(QPointF(16, 38), QPointF(84, 38));
            p.drawArc(QRectF(40, 24, 20, 16), 0, 180 * 16);
            p.drawArc(QRectF(34, 4, 10, 18), 90 * 16, 180 * 16);
            p.drawArc(QRectF(54, 4, 10, 18), 90 * 16, 180 * 16);
        });
        g.insert(QStringLiteral("bed"), [](QPainter &p, const QColor &c) {
            p.drawLine(QPointF(12, 26), QPointF(12, 84));
            p.drawLine(QPointF(12, 70), QPointF(88, 70));
            p.drawLine(QPointF(88, 56), QPointF(88, 84));
            solid(p, c);
            p.drawRoundedRect(QRectF(18, 44, 20, 16), 5, 5);
            p.drawRoundedRect(QRectF(42, 44, 46, 22), 5, 5);
            hollow(p);
        });
        g.insert(QStringLiteral("desk"), [](QPainter &p, const QColor &c) {
            p.drawLine(QPointF(10, 56), QPointF(90, 56));
            p.drawLine(QPointF(18, 56), QPointF(18, 88));
            p.drawLine(QPointF(82, 56), QPointF(82, 88));
            solid(p, c);
            p.drawRect(QRectF(34, 20, 36, 26));
            hollow(p);
            p.drawLine(QPointF(52, 46), QPointF(52, 56));
        });
        g.insert(QStringLiteral("stairs"), [](QPainter &p, const QColor &) {
            QPainterPath s;
            s.moveTo(12, 86);
            s.lineTo(12, 70);
            s.lineTo(32, 70);
            s.lineTo(32, 52);
            s.lineTo(52, 52);
            s.lineTo(52, 34);
            s.lineTo(72, 34);
            s.lineTo(72, 16);
            s.lineTo(88, 16);
            s.lineTo(88, 86);
            s.closeSubpath();
            p.drawPath(s);
        });
        g.insert(QStringLiteral("bath"), [](QPainter &p, const QColor &c) {
            p.drawLine(QPointF(8, 50), QPointF(92, 50));
            QPainterPath tub;
            tub.moveTo(14, 50);
            tub.lineTo(18, 72);
            tub.cubicTo(20, 80, 26, 82, 32, 82);
            tub.lineTo(68, 82);
            tub.cubicTo(74, 82, 80, 80, 82, 72);
            tub.lineTo(86, 50);
            solid(p, c);
            p.drawPath(tub);
            hollow(p);
            p.drawLine(QPointF(20, 50), QPointF(20, 20));
            p.drawLine(QPointF(20, 20), QPointF(34, 20));
            p.drawLine(QPointF(28, 82), QPointF(24, 92));
            p.drawLine(QPointF(72, 82), QPointF(76, 92));
        });
        g.insert(QStringLiteral("boiler"), [](QPainter &p, const QColor &c) {
            p.drawRoundedRect(QRectF(24, 10, 52, 80), 8, 8);
            QPainterPath f;
            f.moveTo(50, 36);
            f.cubicTo(58, 46, 64, 52, 62, 62);
            f.cubicTo(60, 72, 40, 72, 38, 62);
            f.cubicTo(36, 54, 44, 48, 50, 36);
            solid(p, c);
            p.drawPath(f);
            hollow(p);
            p.drawLine(QPointF(34, 22), QPointF(66, 22));
        });
        g.insert(QStringLiteral("teddy"), [](QPainter &p, const QColor &c) {
            solid(p, c);
            p.drawEllipse(QPointF(30, 24), 9, 9);
            p.drawEllipse(QPointF(70, 24), 9, 9);
            hollow(p);
            p.drawEllipse(QPointF(50, 40), 22, 20);
            p.drawEllipse(QRectF(30, 58, 40, 34));
            solid(p, c);
            p.drawEllipse(QPointF(50, 46), 5, 4);
            hollow(p);
        });
        g.insert(QStringLiteral("airflow"), [](QPainter &p, const QColor &) {
            for (int i = 0; i < 3; ++i) {
                const double y = 28 + i * 22;
                QPainterPath w;
                w.moveTo(10, y);
                w.cubicTo(30, y - 10, 50, y + 10, 70, y);
                p.drawPath(w);
                p.drawArc(QRectF(64, y - 14, 16, 14), -90 * 16, 180 * 16);
            }
        });
        g.insert(QStringLiteral("leaf"), [](QPainter &p, const QColor &c) {
            QPainterPath l;
            l.moveTo(18, 84);
            l.cubicTo(14, 40, 44, 16, 86, 14);
            l.cubicTo(86, 56, 62, 86, 18, 84);
            solid(p, c);
            p.drawPath(l);
            hollow(p);
            p.drawLine(QPointF(12, 90), QPointF(60, 40));
        });
        g.insert(QStringLiteral("speaker"), [](QPainter &p, const QColor &c) {
            QPainterPath s;
            s.moveTo(14, 38);
            s.lineTo(32, 38);
            s.lineTo(54, 18);
            s.lineTo(54, 82);
            s.lineTo(32, 62);
            s.lineTo(14, 62);
            s.closeSubpath();
            solid(p, c);
            p.drawPath(s);
            hollow(p);
            p.drawArc(QRectF(50, 32, 24, 36), -60 * 16, 120 * 16);
            p.drawArc(QRectF(50, 18, 40, 64), -60 * 16, 120 * 16);
        });
        g.insert(QStringLiteral("chart"), [](QPainter &p, const QColor &c) {
            // Axes, a line over time with a marked peak.
            p.drawLine(QPointF(18, 16), QPointF(18, 82));
            p.drawLine(QPointF(18, 82), QPointF(86, 82));
            QPainterPath line;
            line.moveTo(24, 66);
            line.lineTo(38, 52);
            line.lineTo(50, 60);
            line.lineTo(64, 30);
            line.lineTo(80, 42);
            p.drawPath(line);
            solid(p, c);
            p.drawEllipse(QPointF(64, 30), 6, 6);
            hollow(p);
        });
        g.insert(QStringLiteral("meter"), [](QPainter &p, const QColor &c) {
            p.drawArc(QRectF(12, 22, 76, 76), 0, 180 * 16);
            p.drawLine(QPointF(12, 60), QPointF(88, 60));
            for (int i = 0; i <= 4; ++i) {
                const double a = M_PI + i * M_PI / 4;
                p.drawLine(QPointF(50 + 30 * std::cos(a), 60 + 30 * std::sin(a)),
                           QPointF(50 + 38 * std::cos(a), 60 + 38 * std::sin(a)));
            }
            p.drawLine(QPointF(50, 60), QPointF(70, 36));
            solid(p, c);
            p.drawEllipse(QPointF(50, 60), 6, 6);
            hollow(p);
        });
        g.insert(QStringLiteral("play"), [](QPainter &p, const QColor &c) {
            QPainterPath t;
            t.moveTo(16, 18);
            t.lineTo(52, 50);
            t.lineTo(16, 82);
            t.closeSubpath();
            solid(p, c);
            p.drawPath(t);
            p.drawRect(QRectF(62, 20, 8, 60));
            p.drawRect(QRectF(78, 20, 8, 60));
            hollow(p);
        });
        g.insert(QStringLiteral("next"), [](QPainter &p, const QColor &c) {
            QPainterPath t;
            t.moveTo(14, 20);
            t.lineTo(44, 50);
            t.lineTo(14, 80);
            t.closeSubpath();
            t.moveTo(44, 20);
            t.lineTo(74, 50);
            t.lineTo(44, 80);
            t.closeSubpath();
            solid(p, c);
            p.drawPath(t);
            p.drawRect(QRectF(78, 20, 8, 60));
            hollow(p);
        });
        g.insert(QStringLiteral("record"), [](QPainter &p, const QColor &c) {
            p.drawEllipse(QPointF(50, 50), 38, 38);
            solid(p, c);
            p.drawEllipse(QPointF(50, 50), 22, 22);
            hollow(p);
        });
        return g;
    }();
    return table;
}

} // namespace

bool IconPainter::hasGlyph(const QString &glyph)
{
    return glyphs().contains(glyph);
}

void IconPainter::paintGlyph(QPainter *painter, const QString &glyph, const QRectF &box,
                             const QColor &color, double strokeWidth)
{
    Q_ASSERT(painter);
    const auto it = glyphs().constFind(glyph);
    Q_ASSERT(it != glyphs().constEnd());
    if (!painter || it == glyphs().constEnd())
        return;
    painter->save();
    painter->translate(box.topLeft());
    painter->scale(box.width() / 100.0, box.height() / 100.0);
    QPen pen(color, strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    (*it)(*painter, color);
    painter->restore();
}

QImage IconPainter::tileIcon(int size, Tile tile, const QColor &accent, const QString &glyph,
                             const QColor &glyphColor, const QString &badge)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    const double s = size;
    const QRectF frame(s * 0.04, s * 0.04, s * 0.92, s * 0.92);
    switch (tile) {
    case Tile::None:
        break;
    case Tile::Round: {
        QRadialGradient g(frame.center() - QPointF(0, s * 0.15), s * 0.6);
        g.setColorAt(0, accent.lighter(135));
        g.setColorAt(1, accent.darker(140));
        p.setPen(QPen(QColor(255, 255, 255, 90), s / 40.0));
        p.setBrush(g);
        p.drawEllipse(frame);
        break;
    }
    case Tile::Rounded:
    case Tile::RoundedLit:
    case Tile::RoundedDim: {
        QLinearGradient g(frame.topLeft(), frame.bottomLeft());
        QColor top = accent;
        QColor bottom = accent.darker(170);
        if (tile == Tile::RoundedDim) {
            top = QColor(0x3a, 0x42, 0x4e);
            bottom = QColor(0x22, 0x28, 0x31);
        }
        g.setColorAt(0, top);
        g.setColorAt(1, bottom);
        if (tile == Tile::RoundedLit) {
            // A soft halo tells "active" apart from "idle" even at a glance on a busy plan.
            QRadialGradient halo(frame.center(), s * 0.55);
            QColor h = accent.lighter(150);
            h.setAlpha(150);
            halo.setColorAt(0.7, h);
            h.setAlpha(0);
            halo.setColorAt(1.0, h);
            p.setPen(Qt::NoPen);
            p.setBrush(halo);
            p.drawRect(QRectF(0, 0, s, s));
        }
        const QRectF body = frame.adjusted(s * 0.06, s * 0.06, -s * 0.06, -s * 0.06);
        p.setPen(
            QPen(tile == Tile::RoundedDim ? QColor(255, 255, 255, 60) : QColor(255, 255, 255, 120),
                 s / 48.0));
        p.setBrush(g);
        p.drawRoundedRect(body, s * 0.18, s * 0.18);
        break;
    }
    }

    const double inset = tile == Tile::None ? 0.06 : 0.24;
    const QRectF glyphBox(s * inset, s * inset, s * (1 - 2 * inset), s * (1 - 2 * inset));
    const double stroke = tile == Tile::None ? 7.0 : 8.0;
    if (tile != Tile::None) {
        // A dark copy offset by a pixel keeps light glyphs legible on light tiles.
        p.save();
        p.translate(0, s / 64.0);
        paintGlyph(&p, glyph, glyphBox, QColor(0, 0, 0, 90), stroke);
        p.restore();
    }
    paintGlyph(&p, glyph, glyphBox, glyphColor, stroke);

    // A badge is a row of dots (speed steps, levels); icons carry no text so that they look the
    // same whatever fonts a machine has.
    const int dots = badge.toInt();
    if (dots > 0) {
        const double r = s * 0.045;
        const double gap = r * 3;
        const double x0 = s / 2 - (dots - 1) * gap / 2;
        p.setPen(Qt::NoPen);
        p.setBrush(glyphColor);
        for (int i = 0; i < dots; ++i)
            p.drawEllipse(QPointF(x0 + i * gap, s * 0.80), r, r);
    }
    p.end();
    return image;
}
