// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

class QPainter;

// Draws the demo's icons: simple line glyphs on round or rounded tiles, one visual language for
// lamp, switch, sensor, bit and byte-button states, room and floor buttons and the home page's
// system buttons. Every glyph is drawn in a 100 x 100 box, so the same glyph also serves large,
// faint decorations on the subsystem backgrounds.
class IconPainter
{
public:
    enum class Tile { None, Round, Rounded, RoundedLit, RoundedDim };

    // Glyph names: "bulb", "switch", "motion", "fan", "sun", "snow", "flame", "drop", ...
    static void paintGlyph(QPainter *painter, const QString &glyph, const QRectF &box,
                           const QColor &color, double strokeWidth = 6.0);
    static bool hasGlyph(const QString &glyph);

    static QImage tileIcon(int size, Tile tile, const QColor &accent, const QString &glyph,
                           const QColor &glyphColor, const QString &badge = QString());
};
