// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "iconcanvas.h"
#include "iconentries.h"

#include <QtMath>

using namespace IconPalette;

namespace {

// Top-bar icons sit beside their captions in a 60-pixel bar; 40 pixels leaves the bar's margins.
constexpr int kBarIcon = 40;
constexpr int kButtonIcon = 32;
constexpr int kTableIcon = 24;

enum class Link { Connecting, Ok, BadTime };

QPainterPath arrowLeft(double cx, double cy, double len, double head)
{
    QPainterPath p;
    p.moveTo(cx + len / 2, cy);
    p.lineTo(cx - len / 2, cy);
    p.moveTo(cx - len / 2 + head, cy - head);
    p.lineTo(cx - len / 2, cy);
    p.lineTo(cx - len / 2 + head, cy + head);
    return p;
}

QImage back2(const QSize &size)
{
    IconCanvas c(size.width(), size.height());
    QPainter &p = c.p();
    p.setPen(IconCanvas::stroke(kBackBlue, 7));
    p.drawEllipse(QPointF(50, 50), 40, 40);
    p.drawPath(arrowLeft(50, 50, 42, 16));
    return c.take();
}

QImage home(const QSize &size)
{
    IconCanvas c(size.width(), size.height());
    QPainter &p = c.p();
    p.setPen(IconCanvas::stroke(kPaper, 7));
    QPainterPath house;
    house.moveTo(8, 48);
    house.lineTo(50, 10);
    house.lineTo(92, 48);
    p.drawPath(house);
    QPainterPath body;
    body.moveTo(20, 40);
    body.lineTo(20, 88);
    body.lineTo(80, 88);
    body.lineTo(80, 40);
    p.drawPath(body);
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(41, 60, 18, 28), 3, 3);
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(70, 16), QPointF(70, 28));
    return c.take();
}

// The link to the controller: the controller box above, the line down to the house's devices.
// Not connected: grey and hollow, the line broken. Connected: green and solid. Controller clock
// wrong: amber with a clock face in the box. The badge names the controller address in use.
QImage connection(const QSize &size, Link state, QChar address)
{
    IconCanvas c(size.width(), size.height());
    QPainter &p = c.p();
    const QColor col = state == Link::Ok ? kOkBright : state == Link::BadTime ? kAmber : kIdle;
    const bool solid = state == Link::Ok;
    p.setPen(IconCanvas::stroke(col, 7));
    const QRectF box(16, 6, 48, 34);
    p.setBrush(solid ? QBrush(col) : QBrush(Qt::NoBrush));
    p.drawRoundedRect(box, 7, 7);
    p.setBrush(Qt::NoBrush);
    if (state == Link::BadTime) {
        p.setPen(IconCanvas::stroke(col, 6));
        p.drawLine(QPointF(40, 23), QPointF(40, 14));
        p.drawLine(QPointF(40, 23), QPointF(49, 28));
        p.setPen(IconCanvas::stroke(col, 7));
    }
    if (state == Link::Connecting) {
        p.drawLine(QPointF(40, 40), QPointF(40, 44));
        p.drawLine(QPointF(33, 54), QPointF(47, 48));
        p.drawLine(QPointF(40, 58), QPointF(40, 62));
    } else {
        p.drawLine(QPointF(40, 40), QPointF(40, 62));
    }
    p.drawLine(QPointF(12, 62), QPointF(62, 62));
    p.drawLine(QPointF(12, 62), QPointF(12, 74));
    p.drawLine(QPointF(40, 62), QPointF(40, 74));
    p.setBrush(solid ? QBrush(col) : QBrush(Qt::NoBrush));
    p.drawRoundedRect(QRectF(4, 76, 16, 16), 3, 3);
    p.drawRoundedRect(QRectF(32, 76, 16, 16), 3, 3);
    p.setBrush(Qt::NoBrush);
    c.badge(QPointF(78, 76), 20, state == Link::Connecting ? kSlate : col, address,
            state == Link::Connecting ? kPaper : kBar);
    return c.take();
}

QPainterPath triangle()
{
    QPainterPath t;
    t.moveTo(50, 10);
    t.lineTo(92, 86);
    t.lineTo(8, 86);
    t.closeSubpath();
    return t;
}

QImage alertTriangle(const QSize &size, const QColor &fill, const QColor &ink)
{
    IconCanvas c(size.width(), size.height());
    QPainter &p = c.p();
    p.setPen(IconCanvas::stroke(fill, 10));
    p.setBrush(fill);
    p.drawPath(triangle());
    p.setBrush(Qt::NoBrush);
    p.setPen(IconCanvas::stroke(ink, 10));
    p.drawLine(QPointF(50, 38), QPointF(50, 58));
    p.drawLine(QPointF(50, 74), QPointF(50, 74.01));
    return c.take();
}

// No alarm: a quiet bell outline.
QImage alertQuiet(const QSize &size)
{
    IconCanvas c(size.width(), size.height());
    QPainter &p = c.p();
    p.setPen(IconCanvas::stroke(kIdle, 7));
    QPainterPath b;
    b.moveTo(16, 74);
    b.cubicTo(26, 64, 26, 52, 27, 40);
    b.cubicTo(28, 22, 40, 14, 50, 14);
    b.cubicTo(60, 14, 72, 22, 73, 40);
    b.cubicTo(74, 52, 74, 64, 84, 74);
    b.closeSubpath();
    p.drawPath(b);
    p.drawArc(QRectF(40, 72, 20, 18), 180 * 16, 180 * 16);
    p.drawLine(QPointF(50, 6), QPointF(50, 13));
    return c.take();
}

// A window with its title strip and an arrow along its middle from `from` to `to` (heights).
QImage windowWithArrow(const QSize &size, double from, double to)
{
    IconCanvas c(size.width(), size.height());
    QPainter &p = c.p();
    p.setPen(IconCanvas::stroke(kPaper, 7));
    p.drawRoundedRect(QRectF(10, 12, 80, 76), 8, 8);
    p.setBrush(kPaper);
    p.drawRect(QRectF(10, 12, 80, 14));
    p.setBrush(Qt::NoBrush);
    const double barb = to < from ? to + 14 : to - 14;
    p.drawLine(QPointF(50, from), QPointF(50, to));
    p.drawLine(QPointF(36, barb), QPointF(50, to));
    p.drawLine(QPointF(64, barb), QPointF(50, to));
    return c.take();
}

// Collapse the window to the bar: a window whose content folds up into its title strip.
QImage minimize(const QSize &size)
{
    return windowWithArrow(size, 74, 40);
}

// Bring the collapsed window back: a title strip whose content unfolds downwards.
QImage expand(const QSize &size)
{
    return windowWithArrow(size, 40, 74);
}

// Four corner marks at `a` and `b` on both axes of a 100 x 100 icon; each arm is `arm` long and
// runs towards the middle, or away from it when `arm` is negative.
void cornerMarks(QPainter &p, double a, double b, double arm)
{
    for (const QPointF &corner : {QPointF(a, a), QPointF(b, a), QPointF(a, b), QPointF(b, b)}) {
        const double dx = corner.x() < 50 ? arm : -arm;
        const double dy = corner.y() < 50 ? arm : -arm;
        QPainterPath path;
        path.moveTo(corner.x() + dx, corner.y());
        path.lineTo(corner);
        path.lineTo(corner.x(), corner.y() + dy);
        p.drawPath(path);
    }
}

// Leave full screen: the four corners point inwards, towards a smaller window.
QImage fullscreenExit(const QSize &size)
{
    IconCanvas c(size.width(), size.height());
    QPainter &p = c.p();
    p.setPen(IconCanvas::stroke(kPaper, 7));
    cornerMarks(p, 34, 66, -22);
    return c.take();
}

QImage fullscreen(const QSize &size)
{
    IconCanvas c(size.width(), size.height());
    QPainter &p = c.p();
    p.setPen(IconCanvas::stroke(kPaper, 7));
    cornerMarks(p, 12, 88, 24);
    p.drawRoundedRect(QRectF(34, 34, 32, 32), 4, 4);
    return c.take();
}

QPainterPath tick()
{
    QPainterPath t;
    t.moveTo(27, 52);
    t.lineTo(43, 68);
    t.lineTo(74, 35);
    return t;
}

QPainterPath cross(double inset)
{
    QPainterPath x;
    x.moveTo(inset, inset);
    x.lineTo(100 - inset, 100 - inset);
    x.moveTo(100 - inset, inset);
    x.lineTo(inset, 100 - inset);
    return x;
}

QImage disc(const QSize &size, const QColor &accent, const QPainterPath &glyph, double width)
{
    IconCanvas c(size.width(), size.height());
    c.roundTile(accent);
    QPainter &p = c.p();
    p.setPen(IconCanvas::stroke(QColor(0, 0, 0, 80), width));
    p.drawPath(glyph.translated(0, 2));
    p.setPen(IconCanvas::stroke(kPaper, width));
    p.drawPath(glyph);
    return c.take();
}

// The keypad's back key: erase the last digit.
QImage backspace(const QSize &size)
{
    IconCanvas c(size.width(), size.height());
    QPainter &p = c.p();
    QPainterPath key;
    key.moveTo(34, 22);
    key.lineTo(88, 22);
    key.lineTo(88, 78);
    key.lineTo(34, 78);
    key.lineTo(8, 50);
    key.closeSubpath();
    p.setPen(IconCanvas::stroke(kPaper, 7));
    p.drawPath(key);
    p.drawLine(QPointF(46, 38), QPointF(70, 62));
    p.drawLine(QPointF(70, 38), QPointF(46, 62));
    return c.take();
}

QImage message(const QSize &size)
{
    IconCanvas c(size.width(), size.height());
    c.roundTile(kBlue);
    QPainter &p = c.p();
    p.setPen(IconCanvas::stroke(kPaper, 8));
    p.drawRoundedRect(QRectF(24, 32, 52, 38), 4, 4);
    QPainterPath flap;
    flap.moveTo(24, 34);
    flap.lineTo(50, 54);
    flap.lineTo(76, 34);
    p.drawPath(flap);
    return c.take();
}

} // namespace

QList<IconEntry> statusIcons()
{
    const QSize bar(kBarIcon, kBarIcon);
    const QSize button(kButtonIcon, kButtonIcon);
    const QSize table(kTableIcon, kTableIcon);
    const QString top = QStringLiteral("top bar");
    const QString dlg = QStringLiteral("buttons");
    const QString alerts = QStringLiteral("alert table");
    return {
        {QStringLiteral("back2.png"), bar, top, back2},
        {QStringLiteral("home.png"), bar, top, home},
        {QStringLiteral("connecting_ip1.png"), bar, top,
         [](const QSize &s) { return connection(s, Link::Connecting, QLatin1Char('1')); }},
        {QStringLiteral("connecting_ip2.png"), bar, top,
         [](const QSize &s) { return connection(s, Link::Connecting, QLatin1Char('2')); }},
        {QStringLiteral("connected_ip1-ok.png"), bar, top,
         [](const QSize &s) { return connection(s, Link::Ok, QLatin1Char('1')); }},
        {QStringLiteral("connected_ip2-ok.png"), bar, top,
         [](const QSize &s) { return connection(s, Link::Ok, QLatin1Char('2')); }},
        {QStringLiteral("connected_ip1-badtime.png"), bar, top,
         [](const QSize &s) { return connection(s, Link::BadTime, QLatin1Char('1')); }},
        {QStringLiteral("connected_ip2-badtime.png"), bar, top,
         [](const QSize &s) { return connection(s, Link::BadTime, QLatin1Char('2')); }},
        {QStringLiteral("alert.png"), bar, top, alertQuiet},
        {QStringLiteral("alert_yellow.png"), bar, top,
         [](const QSize &s) { return alertTriangle(s, kYellow, kBar); }},
        {QStringLiteral("alert_red.png"), bar, top,
         [](const QSize &s) { return alertTriangle(s, kRed, kPaper); }},
        {QStringLiteral("minimize.png"), bar, top, minimize},
        {QStringLiteral("fullscreenicon.png"), bar, top, fullscreen},
        {QStringLiteral("expand.png"), bar, top, expand},
        {QStringLiteral("fullscreenexit.png"), bar, top, fullscreenExit},
        {QStringLiteral("check.png"), button, dlg,
         [](const QSize &s) { return disc(s, kOk, tick(), 10); }},
        {QStringLiteral("no.png"), button, dlg,
         [](const QSize &s) { return disc(s, kRed, cross(33), 10); }},
        {QStringLiteral("close.png"), button, dlg,
         [](const QSize &s) { return disc(s, kSlate, cross(34), 9); }},
        {QStringLiteral("back.png"), bar, dlg, backspace},
        {QStringLiteral("onebit_message.png"), table, alerts, message},
        {QStringLiteral("onebit_accepted.png"), table, alerts,
         [](const QSize &s) { return disc(s, kOk, tick(), 11); }},
        {QStringLiteral("onebit_decline.png"), table, alerts,
         [](const QSize &s) { return disc(s, kIdle.darker(130), cross(34), 11); }},
    };
}
