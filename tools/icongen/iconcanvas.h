// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRectF>

// The program's built-in pictures share one palette with the demo home: flat accent colours,
// white line glyphs with round caps, tiles with a soft top-to-bottom gradient and a thin light rim.
namespace IconPalette {
const QColor kBar(37, 40, 43);            // top bar behind the status icons
const QColor kPaper(0xf4, 0xf7, 0xfb);    // glyphs on tiles and dark surfaces
const QColor kIdle(0x9a, 0xa4, 0xb1);     // a state that is neither good nor bad
const QColor kOk(0x43, 0xa0, 0x47);       // connected, yes, accepted
const QColor kOkBright(0x66, 0xbb, 0x6a); // the same on the dark bar
const QColor kAmber(0xff, 0xa7, 0x26);    // controller clock is wrong
const QColor kYellow(0xf5, 0xc5, 0x18);   // alarms are waiting
const QColor kRed(0xe5, 0x48, 0x4d);      // error, no, delete
const QColor kBlue(0x2f, 0x8c, 0xff);     // the toolkit's accent
const QColor kSky(0x3e, 0xa6, 0xff);      // water, rain
const QColor kBackBlue(81, 150, 196);     // the back button's caption colour
const QColor kTeal(0x26, 0xa6, 0x9a);
const QColor kPurple(0xab, 0x47, 0xbc);
const QColor kPink(0xec, 0x40, 0x7a);
const QColor kOrange(0xff, 0x70, 0x43);
const QColor kCyan(0x26, 0xc6, 0xda);
const QColor kSlate(0x54, 0x6e, 0x7a);
const QColor kSun(0xff, 0xb3, 0x00);
const QColor kMoon(0xf6, 0xe7, 0xb4);
const QColor kCloud(0xe3, 0xe9, 0xef);
const QColor kCloudDark(0x90, 0xa0, 0xb0);
const QColor kStorm(0x78, 0x86, 0x96);
} // namespace IconPalette

// A transparent picture with a painter whose coordinates run 0..100 across the shorter side, so
// every glyph is drawn once in the same box whatever size the picture is written at.
class IconCanvas
{
public:
    explicit IconCanvas(int width, int height = -1);
    ~IconCanvas();
    IconCanvas(const IconCanvas &) = delete;
    IconCanvas &operator=(const IconCanvas &) = delete;

    QPainter &p() { return m_painter; }
    // Logical size in the painter's units (100 on the shorter side).
    QSizeF units() const { return m_units; }
    QImage take();

    // Pen for a line glyph: round caps and joins, width in box units.
    static QPen stroke(const QColor &color, double width = 7.0);

    // Tiles behind a glyph, matching the demo's home-page buttons.
    void roundedTile(const QColor &accent, const QRectF &box = QRectF(6, 6, 88, 88));
    void roundTile(const QColor &accent, const QRectF &box = QRectF(5, 5, 90, 90));
    // A glyph of the demo's glyph set, with its drop shadow as on the demo tiles.
    void demoGlyph(const QString &glyph, const QRectF &box, const QColor &color,
                   double strokeWidth = 8.0, bool shadow = true);
    // A small round badge (bottom right by default) holding a digit or a mark.
    void badge(const QPointF &centre, double radius, const QColor &fill, QChar digit,
               const QColor &ink = IconPalette::kPaper);

private:
    QImage m_image;
    QPainter m_painter;
    QSizeF m_units;
};

// Paths for the few characters the pictures carry (badge digits, the wordmark, marks). They are
// drawn as strokes rather than with a font so the pictures are the same on every machine.
namespace StrokeFont {
// Adds the strokes of `text` to a path: height 100 units from ascender to baseline, starting at
// x = 0. Returns the advance width. Unknown characters advance without drawing.
double addText(QPainterPath *path, const QString &text, double tracking = 18.0);
// The path scaled so its ascender-to-baseline height is `height` and its top left is `at`.
QPainterPath text(const QString &text, const QPointF &at, double height, double tracking = 18.0);
double advance(const QString &text, double height, double tracking = 18.0);
} // namespace StrokeFont
