// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "iconcanvas.h"
#include "iconentries.h"

#include "houselayout.h"
#include "iconpainter.h"
#include "planpainter.h"

#include <QHash>
#include <QtMath>

using namespace IconPalette;

namespace {

constexpr int kTile = 64;       // background tile, repeats seamlessly
const QSize kLogo(300, 50);     // loading page wordmark
constexpr int kSplashLogo = 96; // shown at 85 x 85 beside the product name
const QSize kTablet(620, 480);  // shown whole page when a thumbnail is clicked
const QSize kCalendar(64, 60);  // the top bar's calendar cell
const QSize kNoVideo(320, 240); // a camera without picture

const QColor kBrandTop(0x3e, 0xa6, 0xff);
const QColor kBrandBottom(0x1d, 0x5f, 0xc0);

// The product mark: a house whose door is a signal, on the brand's blue tile.
void paintMark(QPainter &p, const QRectF &box)
{
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 100.0, box.height() / 100.0);
    QLinearGradient g(0, 4, 0, 96);
    g.setColorAt(0, kBrandTop);
    g.setColorAt(1, kBrandBottom);
    p.setPen(QPen(QColor(255, 255, 255, 130), 2));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(4, 4, 92, 92), 22, 22);
    p.setBrush(Qt::NoBrush);
    p.translate(0, 1.8);
    for (int pass = 0; pass < 2; ++pass) {
        // The first pass is the glyph's shadow.
        const QColor c = pass == 0 ? QColor(0, 0, 0, 80) : kPaper;
        if (pass == 1)
            p.translate(0, -1.8);
        p.setPen(IconCanvas::stroke(c, 7.5));
        QPainterPath roof;
        roof.moveTo(20, 48);
        roof.lineTo(50, 22);
        roof.lineTo(80, 48);
        p.drawPath(roof);
        QPainterPath walls;
        walls.moveTo(28, 42);
        walls.lineTo(28, 78);
        walls.lineTo(72, 78);
        walls.lineTo(72, 42);
        p.drawPath(walls);
        p.setBrush(c);
        p.drawEllipse(QPointF(50, 66), 4, 4);
        p.setBrush(Qt::NoBrush);
        p.setPen(IconCanvas::stroke(c, 5));
        p.drawArc(QRectF(40, 56, 20, 20), 40 * 16, 100 * 16);
        p.drawArc(QRectF(33, 49, 34, 34), 40 * 16, 100 * 16);
    }
    p.restore();
}

QImage splashLogo(const QSize &size)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    paintMark(p, QRectF(QPointF(0, 0), QSizeF(size)));
    p.end();
    return img;
}

QImage logo(const QSize &size)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double h = size.height();
    const double textH = h * 0.62;
    const QString word = QStringLiteral("Verandix");
    const double tracking = 22;
    const double textW = StrokeFont::advance(word, textH, tracking);
    const double gap = h * 0.3;
    const double x0 = (size.width() - (h + gap + textW)) / 2;
    paintMark(p, QRectF(x0, 0, h, h));
    const QPainterPath text =
        StrokeFont::text(word, QPointF(x0 + h + gap, (h - textH) / 2), textH, tracking);
    const double weight = textH * 0.12;
    p.setPen(IconCanvas::stroke(QColor(0, 0, 0, 90), weight));
    p.drawPath(text.translated(0, h * 0.03));
    p.setPen(IconCanvas::stroke(kPaper, weight));
    p.drawPath(text);
    p.end();
    return img;
}

// The window's background brush: a dark slate with a faint diagonal weave. Every line repeats
// every 16 pixels across both axes, so the 64-pixel tile meets itself without a seam.
QImage backgroundTile(const QSize &size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(QColor(0x22, 0x26, 0x2b));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const int n = size.width();
    p.setPen(QPen(QColor(255, 255, 255, 7), 1));
    for (int c = -n; c <= 2 * n; c += 16) {
        p.drawLine(QPointF(c - n, -n), QPointF(c + 2 * n, 2 * n));
        p.drawLine(QPointF(c + n, -n), QPointF(c - 2 * n, 2 * n));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    for (int y = 0; y < n; y += 16)
        for (int x = 0; x < n; x += 16)
            p.drawEllipse(QPointF(x + 8, y + 8), 1.2, 1.2);
    p.end();
    return img;
}

// The calendar cell: a month band (white text) above a light page for the day (dark text).
QImage calendar(const QSize &size)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(3.5, 3.5, size.width() - 7, size.height() - 6);
    QPainterPath shape;
    shape.addRoundedRect(body, 7, 7);
    QLinearGradient page(0, body.top(), 0, body.bottom());
    page.setColorAt(0, kPaper);
    page.setColorAt(1, QColor(0xd5, 0xdd, 0xe7));
    p.fillPath(shape, page);
    // The month row of the widget runs from 5 to 23; the band reaches a little below it.
    const QRectF band(body.left(), body.top(), body.width(), 24 - body.top());
    QLinearGradient red(0, band.top(), 0, band.bottom());
    red.setColorAt(0, kRed.lighter(110));
    red.setColorAt(1, kRed.darker(120));
    p.save();
    p.setClipRect(band);
    p.fillPath(shape, red);
    p.restore();
    p.setPen(QPen(QColor(0, 0, 0, 60), 1));
    p.drawLine(QPointF(body.left(), band.bottom()), QPointF(body.right(), band.bottom()));
    p.setPen(QPen(QColor(0, 0, 0, 110), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    // Two binder rings over the band's top edge.
    for (const double x : {size.width() * 0.3, size.width() * 0.7}) {
        p.setPen(QPen(QColor(0, 0, 0, 90), 1));
        p.setBrush(QColor(0x3a, 0x42, 0x4e));
        p.drawRoundedRect(QRectF(x - 2, 0.5, 4, 8), 2, 2);
    }
    p.end();
    return img;
}

QImage noVideo(const QSize &size)
{
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(0x1b, 0x23, 0x2e));
    g.setColorAt(1, QColor(0x11, 0x16, 0x1d));
    p.fillRect(img.rect(), g);
    const double s = size.height() * 0.42;
    const QRectF box(size.width() / 2.0 - s / 2, size.height() / 2.0 - s / 2, s, s);
    const QColor dim(0x5b, 0x68, 0x78);
    IconPainter::paintGlyph(&p, QStringLiteral("camera"), box, dim, 6);
    p.setPen(QPen(dim, s * 0.06, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(box.topLeft() + QPointF(s * 0.12, s * 0.12),
               box.bottomRight() - QPointF(s * 0.12, s * 0.12));
    p.end();
    return img;
}

// --- the tablet thumbnails --------------------------------------------------------------------

// Bars standing for a line of text: the thumbnails carry no letters, so they do not depend on
// the machine's fonts.
void textBar(QPainter &p, const QRectF &r, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(r, r.height() / 2, r.height() / 2);
    p.setBrush(Qt::NoBrush);
}

QImage entryImage(const QString &name, int size);

void topBar(QPainter &p, const QRectF &r)
{
    p.fillRect(r, kBar);
    const double ih = r.height() * 0.74;
    const double y = r.top() + (r.height() - ih) / 2;
    double x = r.left() + 6;
    const auto icon = [&](const char *name, double textW) {
        p.drawImage(QRectF(x, y, ih, ih), entryImage(QString::fromLatin1(name), int(ih * 2)));
        x += ih + 4;
        if (textW > 0) {
            textBar(p, QRectF(x, r.center().y() - 2.5, textW, 5), QColor(255, 255, 255, 150));
            x += textW;
        }
        x += 14;
    };
    icon("back2.png", 0);
    icon("home.png", 26);
    icon("connected_ip1-ok.png", 40);
    icon("alert.png", 36);
    const double right = r.right() - 6;
    p.drawImage(QRectF(right - ih, y, ih, ih), entryImage(QStringLiteral("minimize.png"), 44));
    textBar(p, QRectF(right - ih - 40, r.center().y() - 3, 30, 6), QColor(255, 255, 255, 190));
    const double cw = ih * 64 / 60;
    p.drawImage(QRectF(right - ih - 50 - cw, y, cw, ih),
                entryImage(QStringLiteral("calendar.png"), 0));
}

struct HomeButton
{
    const char *glyph;
    QColor accent;
};

void homePage(QPainter &p, const QRectF &r)
{
    const QImage house = PlanPainter::elevation(PlanPainter::Elevation::Home);
    p.save();
    p.setClipRect(r);
    const QSizeF fit = QSizeF(house.size()).scaled(r.size(), Qt::KeepAspectRatioByExpanding);
    p.drawImage(QRectF(r.center().x() - fit.width() / 2, r.center().y() - fit.height() / 2,
                       fit.width(), fit.height()),
                house);
    const double s = r.height() / 7.0;
    const HomeButton left[] = {{"bulb_lit", kAmber},
                               {"gear", QColor(0x54, 0x6e, 0x7a)},
                               {"thermometer", kOrange},
                               {"link", kTeal},
                               {"shield", kRed},
                               {"info", QColor(0x1e, 0x88, 0xe5)},
                               {"bell", QColor(0xfb, 0x8c, 0x00)},
                               {"exit", QColor(0x8e, 0x24, 0x24)}};
    const HomeButton right[] = {{"shield", kRed},    {"drop", kSky},
                                {"bolt", kYellow},   {"fan", QColor(0x4d, 0xd0, 0xa8)},
                                {"boiler", kOrange}, {"tree", QColor(0x7c, 0xb3, 0x42)},
                                {"gate", kPurple},   {"camera", kCyan},
                                {"music", kPink},    {"cloud_sun", QColor(0x90, 0xca, 0xf9)}};
    const auto button = [&](const HomeButton &b, double x, double y) {
        const QImage icon = IconPainter::tileIcon(int(s * 2), IconPainter::Tile::Rounded, b.accent,
                                                  QString::fromLatin1(b.glyph), kPaper);
        p.drawImage(QRectF(x, y, s, s), icon);
        textBar(p, QRectF(x + s * 0.2, y + s * 1.02, s * 0.6, s * 0.1), QColor(255, 255, 255, 170));
    };
    for (int i = 0; i < 8; ++i)
        button(left[i], r.left() + s * 0.3 + (i % 2) * s * 1.35,
               r.top() + s * 0.35 + (i / 2) * s * 1.6);
    // The subsystems in three columns on the left column's rows, the weather tile beside the
    // last one, as on the demo's home page.
    const double rightColumn = r.right() - s * 1.3 - 2 * s * 1.35;
    for (int i = 0; i < 10; ++i)
        button(right[i], rightColumn + (i % 3) * s * 1.35, r.top() + s * 0.35 + (i / 3) * s * 1.6);
    const double tileX = rightColumn + s * 1.35;
    const double tileY = r.top() + s * 0.35 + 3 * s * 1.6;
    const QColor text(255, 255, 255, 170);
    textBar(p, QRectF(tileX, tileY, s * 0.9, s * 0.14), text);
    textBar(p, QRectF(tileX, tileY + s * 0.28, s * 0.8, s * 0.4), QColor(255, 255, 255, 220));
    for (int line = 0; line < 3; ++line)
        textBar(p, QRectF(tileX, tileY + s * (0.8 + 0.18 * line), s * 1.1, s * 0.08), text);
    p.restore();
}

// A plan page: the plan scaled into the page, with the demo's control icons where the house
// layout puts them.
void planPage(QPainter &p, const QRectF &r, const QImage &plan, const QTransform &toPlan,
              const QList<HouseLayout::Room> &rooms, bool floorView)
{
    p.save();
    p.setClipRect(r);
    p.fillRect(r, QColor(0x11, 0x16, 0x1d));
    const QSizeF fit = QSizeF(plan.size()).scaled(r.size(), Qt::KeepAspectRatio);
    const QRectF target(r.center().x() - fit.width() / 2, r.center().y() - fit.height() / 2,
                        fit.width(), fit.height());
    p.drawImage(target, plan);
    QTransform toPage = toPlan;
    toPage *= QTransform::fromScale(target.width() / plan.width(), target.height() / plan.height());
    toPage *= QTransform::fromTranslate(target.left(), target.top());
    const double s = floorView ? 26 : 40;
    int n = 0;
    const auto place = [&](const QPointF &metres, IconPainter::Tile tile, const QColor &accent,
                           const char *glyph) {
        const QPointF c = toPage.map(metres);
        const QImage icon =
            IconPainter::tileIcon(int(s * 2), tile, accent, QString::fromLatin1(glyph), kPaper);
        p.drawImage(QRectF(c.x() - s / 2, c.y() - s / 2, s, s), icon);
    };
    for (const HouseLayout::Room &room : rooms) {
        for (const HouseLayout::Lamp &lamp : room.lamps) {
            const bool lit = (n++ % 3) != 1;
            place(lamp.pos, lit ? IconPainter::Tile::RoundedLit : IconPainter::Tile::RoundedDim,
                  kAmber, lit ? "bulb_lit" : "bulb");
        }
        if (!floorView) {
            for (const QPointF &sw : room.switches)
                place(sw, IconPainter::Tile::Rounded, kBlue, "switch");
            for (const QPointF &sensor : room.sensors)
                place(sensor, IconPainter::Tile::RoundedDim, kOk, "motion");
            place(room.thermostat, IconPainter::Tile::RoundedLit, kOrange, "thermometer");
        }
    }
    p.restore();
}

QImage tablet(const QSize &size, int variant)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF body(8, 8, size.width() - 16, size.height() - 16);
    // A soft shadow under the device, then the body with a light rim.
    for (int i = 6; i >= 1; --i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 14));
        p.drawRoundedRect(body.adjusted(-i, -i + 3, i, i + 3), 40 + i, 40 + i);
    }
    QLinearGradient g(0, body.top(), 0, body.bottom());
    g.setColorAt(0, QColor(0x3a, 0x40, 0x49));
    g.setColorAt(1, QColor(0x17, 0x1a, 0x1f));
    p.setPen(QPen(QColor(0x8a, 0x94, 0xa2), 2));
    p.setBrush(g);
    p.drawRoundedRect(body, 38, 38);
    p.setPen(QPen(QColor(0, 0, 0, 160), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body.adjusted(5, 5, -5, -5), 33, 33);
    const QRectF screen(48, 41, 524, 393);
    p.setPen(QPen(QColor(0x0b, 0x0d, 0x10), 3));
    p.setBrush(QColor(0x0b, 0x0d, 0x10));
    p.drawRect(screen.adjusted(-2, -2, 2, 2));
    p.setBrush(QColor(0x2a, 0x30, 0x38));
    p.setPen(QPen(QColor(0x5b, 0x68, 0x78), 1.5));
    p.drawEllipse(QPointF(28, screen.center().y()), 4, 4);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(size.width() - 28, screen.center().y()), 11, 11);

    const double barH = 28;
    const QRectF content(screen.left(), screen.top() + barH, screen.width(),
                         screen.height() - barH);
    static const HouseLayout house;
    const HouseLayout::Floor &ground = house.floors().first();
    switch (variant) {
    case 1:
        homePage(p, content);
        break;
    case 2:
        planPage(p, content, PlanPainter::floorPlan(ground), PlanPainter::floorTransform(),
                 ground.rooms, true);
        break;
    default: {
        const HouseLayout::Room &room = ground.rooms.first();
        planPage(p, content, PlanPainter::roomPlan(ground, room),
                 PlanPainter::roomTransform(room.rect), {room}, false);
        break;
    }
    }
    topBar(p, QRectF(screen.left(), screen.top(), screen.width(), barH));
    // Glass: a faint sheen across the upper left of the screen.
    QLinearGradient sheen(screen.topLeft(), screen.center());
    sheen.setColorAt(0, QColor(255, 255, 255, 26));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(screen, sheen);
    p.end();
    return img;
}

QImage entryImage(const QString &name, int size)
{
    // The top bar of a thumbnail shows the program's own icons, redrawn at thumbnail size.
    for (const auto &group : {statusIcons(), pictureIcons()}) {
        for (const IconEntry &e : group) {
            if (e.name == name) {
                const QSize s = size > 0 ? QSize(size, size) : e.size;
                return e.paint(s);
            }
        }
    }
    return QImage();
}

} // namespace

QList<IconEntry> pictureIcons()
{
    const QString g = QStringLiteral("pictures");
    return {
        {QStringLiteral("bp.png"), QSize(kTile, kTile), g, backgroundTile},
        {QStringLiteral("logo.png"), kLogo, g, logo},
        {QStringLiteral("dazadovidorod96.png"), QSize(kSplashLogo, kSplashLogo), g, splashLogo},
        {QStringLiteral("ipad-large1.png"), kTablet, g,
         [](const QSize &s) { return tablet(s, 1); }},
        {QStringLiteral("ipad-large2.png"), kTablet, g,
         [](const QSize &s) { return tablet(s, 2); }},
        {QStringLiteral("ipad-large3.png"), kTablet, g,
         [](const QSize &s) { return tablet(s, 3); }},
        {QStringLiteral("calendar.png"), kCalendar, g, calendar},
        {QStringLiteral("none.png"), kNoVideo, g, noVideo},
    };
}
