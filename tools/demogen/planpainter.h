// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "houselayout.h"

#include <QColor>
#include <QImage>
#include <QSize>
#include <QTransform>

// Draws the demo's plan pictures in one dark architectural style: floor and room plans from the
// house layout, the house elevations behind the home page and the subsystem roots, subsystem
// backgrounds and the pictures offered as window backgrounds. Pictures hold no text, so they come
// out the same whatever fonts a machine has.
class PlanPainter
{
public:
    enum class Elevation { Home, Light, Heat };

    static QSize planSize();
    // Metres of the house to pixels of a floor plan, and of the plan of one room.
    static QTransform floorTransform();
    static QTransform roomTransform(const QRectF &roomRect);

    static QImage floorPlan(const HouseLayout::Floor &floor);
    static QImage roomPlan(const HouseLayout::Floor &floor, const HouseLayout::Room &room);
    static QImage elevation(Elevation kind);
    // A dark panel with a large faint glyph, for subsystems that have no floor plan of their own.
    static QImage subsystemBackground(const QString &glyph, const QColor &accent);
    static QImage windowBackground(int variant);
};
