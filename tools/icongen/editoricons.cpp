// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "iconcanvas.h"
#include "iconentries.h"

#include <QtMath>

using namespace IconPalette;

namespace {

// Palette buttons are 85 x 87 cells with a caption under the picture.
constexpr int kPaletteIcon = 48;
constexpr int kToolIcon = 32;
// Camera buttons fill 50-pixel cells of the camera grid, less its spacing.
constexpr int kCameraIcon = 40;
// The default pictures of image buttons and room links: the size of the demo's control icons.
constexpr int kControlIcon = 64;

const QRectF kGlyphBox(24, 24, 52, 52); // the glyph area on a tile, as on the demo tiles

using Draw = std::function<void(QPainter &)>;

// A palette tile: the demo's rounded tile, a glyph in white and its shadow.
QImage tile(const QSize &size, const QColor &accent, const Draw &glyph)
{
    IconCanvas c(size.width(), size.height());
    c.roundedTile(accent);
    QPainter &p = c.p();
    p.save();
    p.translate(0, 1.6);
    p.setPen(IconCanvas::stroke(QColor(0, 0, 0, 90), 4.2));
    p.setBrush(Qt::NoBrush);
    glyph(p);
    p.restore();
    p.setPen(IconCanvas::stroke(kPaper, 4.2));
    p.setBrush(Qt::NoBrush);
    glyph(p);
    return c.take();
}

QImage demoTile(const QSize &size, const QColor &accent, const QString &glyph)
{
    IconCanvas c(size.width(), size.height());
    c.roundedTile(accent);
    c.demoGlyph(glyph, kGlyphBox, kPaper);
    return c.take();
}

// Brush helpers for glyphs that have solid parts: the current pen's colour.
void fill(QPainter &p)
{
    p.setBrush(p.pen().color());
}
void hollow(QPainter &p)
{
    p.setBrush(Qt::NoBrush);
}

void systemGlyph(QPainter &p)
{
    // Four panels: one subsystem among others.
    for (int i = 0; i < 4; ++i) {
        const QRectF r(28 + (i % 2) * 24, 28 + (i / 2) * 24, 18, 18);
        if (i == 3)
            fill(p);
        p.drawRoundedRect(r, 4, 4);
        hollow(p);
    }
}

// A seven-segment digit in the box: a value read from the controller. Segments a to g are bits
// 0 to 6 of `mask`, in the usual order (top, upper right, lower right, bottom, lower left, upper
// left, middle).
void segmentDigit(QPainter &p, const QRectF &box, int mask)
{
    const double g = box.width() * 0.14; // gap at the joints
    const double l = box.left(), r = box.right(), t = box.top(), b = box.bottom();
    const double m = box.center().y();
    const QLineF segments[7] = {{l + g, t, r - g, t}, {r, t + g, r, m - g}, {r, m + g, r, b - g},
                                {l + g, b, r - g, b}, {l, m + g, l, b - g}, {l, t + g, l, m - g},
                                {l + g, m, r - g, m}};
    for (int i = 0; i < 7; ++i) {
        if (mask & (1 << i))
            p.drawLine(segments[i]);
    }
}

constexpr int kDigit2 = 0x5b; // segments a, b, d, e, g
constexpr int kDigit5 = 0x6d; // segments a, c, d, f, g
constexpr int kDigit7 = 0x07; // segments a, b, c

void buttonOutline(QPainter &p)
{
    p.drawRoundedRect(QRectF(22, 30, 56, 40), 8, 8);
}

void textT(QPainter &p, double cx, double top, double h)
{
    p.drawLine(QPointF(cx - h * 0.38, top), QPointF(cx + h * 0.38, top));
    p.drawLine(QPointF(cx, top), QPointF(cx, top + h));
}

void pencil(QPainter &p)
{
    p.drawLine(QPointF(26, 70), QPointF(60, 70));
    p.drawLine(QPointF(26, 58), QPointF(44, 58));
    QPainterPath pen;
    pen.moveTo(50, 56);
    pen.lineTo(70, 28);
    pen.lineTo(78, 34);
    pen.lineTo(58, 62);
    pen.lineTo(48, 66);
    pen.closeSubpath();
    p.drawPath(pen);
}

void slider(QPainter &p, bool horizontal)
{
    const QPointF a = horizontal ? QPointF(24, 50) : QPointF(50, 76);
    const QPointF b = horizontal ? QPointF(76, 50) : QPointF(50, 24);
    const QPointF knob = horizontal ? QPointF(58, 50) : QPointF(50, 42);
    p.drawLine(a, b);
    const QPen thin = p.pen();
    QPen thick = thin;
    thick.setWidthF(thin.widthF() * 2.2);
    p.setPen(thick);
    p.drawLine(a, knob);
    p.setPen(thin);
    fill(p);
    p.drawEllipse(knob, 7, 7);
    hollow(p);
}

void gear(QPainter &p, const QPointF &c, double r)
{
    QPainterPath g;
    const int teeth = 8;
    for (int i = 0; i < teeth * 4; ++i) {
        const double a = i * 2 * M_PI / (teeth * 4);
        const double rr = ((i / 2) % 2) ? r * 0.74 : r;
        const QPointF pt(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a));
        if (i == 0)
            g.moveTo(pt);
        else
            g.lineTo(pt);
    }
    g.closeSubpath();
    p.drawPath(g);
    p.drawEllipse(c, r * 0.3, r * 0.3);
}

void trash(QPainter &p)
{
    p.drawLine(QPointF(28, 34), QPointF(72, 34));
    p.drawLine(QPointF(42, 34), QPointF(44, 26));
    p.drawLine(QPointF(44, 26), QPointF(56, 26));
    p.drawLine(QPointF(56, 26), QPointF(58, 34));
    QPainterPath can;
    can.moveTo(33, 40);
    can.lineTo(36, 76);
    can.lineTo(64, 76);
    can.lineTo(67, 40);
    p.drawPath(can);
    p.drawLine(QPointF(45, 46), QPointF(45, 68));
    p.drawLine(QPointF(55, 46), QPointF(55, 68));
}

void floppy(QPainter &p)
{
    QPainterPath body;
    body.moveTo(26, 24);
    body.lineTo(66, 24);
    body.lineTo(76, 34);
    body.lineTo(76, 76);
    body.lineTo(24, 76);
    body.lineTo(24, 26);
    body.closeSubpath();
    p.drawPath(body);
    p.drawRect(QRectF(36, 24, 24, 14));
    p.drawRoundedRect(QRectF(34, 52, 32, 24), 2, 2);
}

void picture(QPainter &p)
{
    p.drawRoundedRect(QRectF(22, 28, 56, 44), 5, 5);
    QPainterPath hills;
    hills.moveTo(26, 66);
    hills.lineTo(42, 48);
    hills.lineTo(54, 60);
    hills.lineTo(62, 52);
    hills.lineTo(74, 66);
    p.drawPath(hills);
    fill(p);
    p.drawEllipse(QPointF(63, 39), 4.5, 4.5);
    hollow(p);
}

// Camera buttons lie over the picture: a dark glass disc with a light rim reads on any frame.
QImage cameraButton(const QSize &size, const Draw &glyph)
{
    IconCanvas c(size.width(), size.height());
    QPainter &p = c.p();
    p.setPen(QPen(QColor(255, 255, 255, 150), 3));
    p.setBrush(QColor(20, 24, 30, 150));
    p.drawEllipse(QPointF(50, 50), 46, 46);
    p.setPen(IconCanvas::stroke(kPaper, 8));
    p.setBrush(Qt::NoBrush);
    glyph(p);
    return c.take();
}

void chevron(QPainter &p, double angleDeg)
{
    p.save();
    p.translate(50, 50);
    p.rotate(angleDeg);
    QPainterPath v;
    v.moveTo(-8, -18);
    v.lineTo(10, 0);
    v.lineTo(-8, 18);
    p.drawPath(v);
    p.restore();
}

void magnifier(QPainter &p, bool plus)
{
    p.drawEllipse(QPointF(44, 44), 18, 18);
    p.drawLine(QPointF(57, 57), QPointF(72, 72));
    p.drawLine(QPointF(36, 44), QPointF(52, 44));
    if (plus)
        p.drawLine(QPointF(44, 36), QPointF(44, 52));
}

void homeDot(QPainter &p)
{
    p.drawEllipse(QPointF(50, 50), 20, 20);
    fill(p);
    p.drawEllipse(QPointF(50, 50), 6, 6);
    hollow(p);
}

void moveCross(QPainter &p)
{
    p.drawLine(QPointF(50, 24), QPointF(50, 76));
    p.drawLine(QPointF(24, 50), QPointF(76, 50));
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(50, 50);
        p.rotate(i * 90);
        QPainterPath head;
        head.moveTo(-7, -19);
        head.lineTo(0, -26);
        head.lineTo(7, -19);
        p.drawPath(head);
        p.restore();
    }
}

QImage roundTool(const QSize &size, const QColor &accent, const Draw &glyph)
{
    IconCanvas c(size.width(), size.height());
    c.roundTile(accent);
    QPainter &p = c.p();
    p.save();
    p.translate(0, 1.6);
    p.setPen(IconCanvas::stroke(QColor(0, 0, 0, 80), 7));
    glyph(p);
    p.restore();
    p.setPen(IconCanvas::stroke(kPaper, 7));
    glyph(p);
    return c.take();
}

} // namespace

QList<IconEntry> editorIcons()
{
    const QSize pal(kPaletteIcon, kPaletteIcon);
    const QSize tool(kToolIcon, kToolIcon);
    const QSize cam(kCameraIcon, kCameraIcon);
    const QSize ctl(kControlIcon, kControlIcon);
    const QString palette = QStringLiteral("palette");
    const QString toolbox = QStringLiteral("toolbox");
    const QString camera = QStringLiteral("camera");
    const QString controls = QStringLiteral("controls");
    auto t = [](const QColor &accent, Draw glyph) {
        return [accent, glyph](const QSize &s) { return tile(s, accent, glyph); };
    };
    auto dt = [](const QColor &accent, const char *glyph) {
        const QString g = QString::fromLatin1(glyph);
        return [accent, g](const QSize &s) { return demoTile(s, accent, g); };
    };
    auto cb = [](Draw glyph) { return [glyph](const QSize &s) { return cameraButton(s, glyph); }; };
    auto rt = [](const QColor &accent, Draw glyph) {
        return [accent, glyph](const QSize &s) { return roundTool(s, accent, glyph); };
    };
    return {
        {QStringLiteral("system.png"), pal, palette, t(kTeal, systemGlyph)},
        {QStringLiteral("level.png"), pal, palette, dt(kPurple, "stairs")},
        {QStringLiteral("ktipoff.png"), pal, palette, dt(kAmber, "bulb")},
        {QStringLiteral("options.png"), pal, palette, dt(kBlue, "switch")},
        {QStringLiteral("brisolt_al.png"), pal, palette, dt(kOk, "motion")},
        {QStringLiteral("heatc.png"), pal, palette, dt(kOrange, "thermometer")},
        {QStringLiteral("gbyte.png"), pal, palette,
         t(QColor(0x5c, 0x6b, 0xc0),
           [](QPainter &p) {
               segmentDigit(p, QRectF(30, 30, 14, 40), kDigit2);
               segmentDigit(p, QRectF(56, 30, 14, 40), kDigit5);
           })},
        {QStringLiteral("bytebtn.png"), pal, palette,
         t(QColor(0x5c, 0x6b, 0xc0),
           [](QPainter &p) {
               buttonOutline(p);
               segmentDigit(p, QRectF(44, 38, 12, 24), kDigit7);
           })},
        {QStringLiteral("boolbtn.png"), pal, palette,
         t(kCyan.darker(115),
           [](QPainter &p) {
               buttonOutline(p);
               fill(p);
               p.drawEllipse(QPointF(50, 50), 7, 7);
               hollow(p);
           })},
        {QStringLiteral("off.png"), pal, palette,
         [](const QSize &s) {
             IconCanvas c(s.width(), s.height());
             // An idle bit looks like the demo's idle controls: a dim slate tile.
             c.roundedTile(QColor(0x3a, 0x42, 0x4e));
             c.demoGlyph(QStringLiteral("power"), kGlyphBox, kIdle.lighter(120));
             return c.take();
         }},
        {QStringLiteral("camera.png"), pal, palette, dt(kCyan, "camera")},
        {QStringLiteral("mpeg_icon.png"), pal, palette, dt(kPink, "film")},
        {QStringLiteral("texteditor.png"), pal, palette, t(kSlate, pencil)},
        {QStringLiteral("text.png"), pal, palette,
         t(kSlate, [](QPainter &p) { textT(p, 50, 28, 44); })},
        {QStringLiteral("insert_text.png"), pal, palette,
         t(kSlate,
           [](QPainter &p) {
               textT(p, 40, 28, 44);
               // A live value: the text follows the controller. Two short waves beside the T.
               p.drawArc(QRectF(52, 40, 14, 22), -50 * 16, 100 * 16);
               p.drawArc(QRectF(54, 32, 24, 38), -50 * 16, 100 * 16);
           })},
        {QStringLiteral("hslider.png"), pal, palette,
         t(kBlue.darker(115), [](QPainter &p) { slider(p, true); })},
        {QStringLiteral("vslider.png"), pal, palette,
         t(kBlue.darker(115), [](QPainter &p) { slider(p, false); })},
        {QStringLiteral("element_add.png"), tool, toolbox,
         rt(kOk,
            [](QPainter &p) {
                p.drawLine(QPointF(50, 30), QPointF(50, 70));
                p.drawLine(QPointF(30, 50), QPointF(70, 50));
            })},
        {QStringLiteral("element_delete.png"), tool, toolbox,
         rt(kRed,
            [](QPainter &p) {
                QPen pen = p.pen();
                pen.setWidthF(pen.widthF() * 0.8);
                p.setPen(pen);
                trash(p);
            })},
        {QStringLiteral("element_preferences.png"), tool, toolbox,
         rt(kBlue,
            [](QPainter &p) {
                QPen pen = p.pen();
                pen.setWidthF(pen.widthF() * 0.8);
                p.setPen(pen);
                gear(p, QPointF(50, 50), 23);
            })},
        {QStringLiteral("ic_action_save.png"), tool, toolbox,
         rt(kBlue,
            [](QPainter &p) {
                QPen pen = p.pen();
                pen.setWidthF(pen.widthF() * 0.8);
                p.setPen(pen);
                floppy(p);
            })},
        {QStringLiteral("ic_action_edit.png"), tool, toolbox,
         rt(kBlue,
            [](QPainter &p) {
                QPen pen = p.pen();
                pen.setWidthF(pen.widthF() * 0.8);
                p.setPen(pen);
                QPainterPath pencil;
                pencil.moveTo(30, 70);
                pencil.lineTo(33, 58);
                pencil.lineTo(60, 31);
                pencil.lineTo(69, 40);
                pencil.lineTo(42, 67);
                pencil.closeSubpath();
                p.drawPath(pencil);
                p.drawLine(QPointF(54, 37), QPointF(63, 46));
            })},
        {QStringLiteral("ip_tools.png"), cam, camera, cb(moveCross)},
        {QStringLiteral("left_arrow.png"), cam, camera, cb([](QPainter &p) { chevron(p, 180); })},
        {QStringLiteral("right_arrow.png"), cam, camera, cb([](QPainter &p) { chevron(p, 0); })},
        {QStringLiteral("up_arrow.png"), cam, camera, cb([](QPainter &p) { chevron(p, -90); })},
        {QStringLiteral("down_arrow.png"), cam, camera, cb([](QPainter &p) { chevron(p, 90); })},
        {QStringLiteral("home_arrow.png"), cam, camera, cb(homeDot)},
        {QStringLiteral("zoomin.png"), cam, camera, cb([](QPainter &p) { magnifier(p, true); })},
        {QStringLiteral("zoomout.png"), cam, camera, cb([](QPainter &p) { magnifier(p, false); })},
        {QStringLiteral("graphics.png"), ctl, controls, t(kSlate, picture)},
        {QStringLiteral("no_image.png"), ctl, controls,
         [](const QSize &s) {
             // In place of a picture that cannot be loaded: the picture glyph on an idle tile,
             // struck through in red so a broken project file is noticed on the plan.
             IconCanvas c(s.width(), s.height());
             c.roundedTile(QColor(0x3a, 0x42, 0x4e));
             QPainter &p = c.p();
             p.setPen(IconCanvas::stroke(kIdle.lighter(115), 4.2));
             picture(p);
             p.setPen(IconCanvas::stroke(QColor(0x3a, 0x42, 0x4e), 9));
             p.drawLine(QPointF(26, 74), QPointF(74, 26));
             p.setPen(IconCanvas::stroke(kRed, 4.6));
             p.drawLine(QPointF(26, 74), QPointF(74, 26));
             return c.take();
         }},
        {QStringLiteral("forward.png"), ctl, controls,
         t(kBlue,
           [](QPainter &p) {
               p.drawLine(QPointF(28, 50), QPointF(70, 50));
               p.drawLine(QPointF(54, 34), QPointF(70, 50));
               p.drawLine(QPointF(54, 66), QPointF(70, 50));
           })},
    };
}
