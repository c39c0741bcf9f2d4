// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "planpainter.h"

#include "iconpainter.h"

#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QtMath>

namespace {

using F = HouseLayout::Furniture;

constexpr int kPlanWidth = 1024;
constexpr int kPlanHeight = 700;
constexpr double kFloorScale = 72.0; // pixels per metre on a floor plan
constexpr double kRoomMargin = 80.0; // pixels around a room on its own plan

const QColor kWallColor(0xdf, 0xe5, 0xec);
const QColor kLineColor(0xb4, 0xbe, 0xca);
const QColor kFurnitureFill(0x56, 0x60, 0x6d);
const QColor kFurnitureLight(0x74, 0x7f, 0x8d);
const QColor kGlass(0x7f, 0xc8, 0xff);

void paintBackdrop(QPainter &p, const QSize &size)
{
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(0x1b, 0x23, 0x2e));
    g.setColorAt(1, QColor(0x11, 0x16, 0x1d));
    p.fillRect(QRect(QPoint(0, 0), size), g);
    // Faint drafting grid.
    p.setPen(QPen(QColor(255, 255, 255, 10), 1));
    for (int x = 16; x < size.width(); x += 32)
        p.drawLine(x, 0, x, size.height());
    for (int y = 14; y < size.height(); y += 32)
        p.drawLine(0, y, size.width(), y);
}

QColor floorColor(HouseLayout::FloorKind kind)
{
    switch (kind) {
    case HouseLayout::FloorKind::Wood:
        return QColor(0x4d, 0x40, 0x33);
    case HouseLayout::FloorKind::Tiles:
        return QColor(0x35, 0x44, 0x4f);
    case HouseLayout::FloorKind::Stone:
        return QColor(0x47, 0x46, 0x42);
    case HouseLayout::FloorKind::Carpet:
        return QColor(0x3a, 0x3f, 0x58);
    }
    return QColor(0x40, 0x40, 0x40);
}

void paintFloorSurface(QPainter &p, const QTransform &t, const HouseLayout::Room &room)
{
    const double half = HouseLayout::kWall / 2;
    const QRectF r = t.mapRect(room.rect.adjusted(half, half, -half, -half));
    p.fillRect(r, floorColor(room.floor));
    p.save();
    p.setClipRect(r);
    const double scale = t.m11();
    switch (room.floor) {
    case HouseLayout::FloorKind::Wood: {
        // Planks run along the long side with staggered joints.
        p.setPen(QPen(QColor(0, 0, 0, 55), 1));
        const double plank = 0.22 * scale;
        int row = 0;
        for (double y = r.top(); y < r.bottom(); y += plank, ++row) {
            p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
            const double joint = 1.2 * scale;
            for (double x = r.left() + (row % 3) * joint / 3; x < r.right(); x += joint)
                p.drawLine(QPointF(x, y), QPointF(x, y + plank));
        }
        break;
    }
    case HouseLayout::FloorKind::Tiles:
    case HouseLayout::FloorKind::Stone: {
        const bool tiles = room.floor == HouseLayout::FloorKind::Tiles;
        p.setPen(QPen(QColor(255, 255, 255, tiles ? 22 : 16), 1));
        const double step = (tiles ? 0.4 : 0.6) * scale;
        for (double x = r.left(); x < r.right(); x += step)
            p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
        for (double y = r.top(); y < r.bottom(); y += step)
            p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
        break;
    }
    case HouseLayout::FloorKind::Carpet: {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 10));
        const double step = 0.25 * scale;
        int row = 0;
        for (double y = r.top() + step / 2; y < r.bottom(); y += step, ++row) {
            for (double x = r.left() + (row % 2 ? step / 2 : step); x < r.right(); x += step)
                p.drawEllipse(QPointF(x, y), scale * 0.018, scale * 0.018);
        }
        break;
    }
    }
    p.restore();
}

// Draws one piece in its own frame: (0, 0) top left, w x h, its back against the top edge.
void paintPiece(QPainter &p, F kind, double w, double h, double px)
{
    const QPen outline(kLineColor, px * 1.2);
    const QPen thin(kLineColor, px * 0.8);
    p.setPen(outline);
    p.setBrush(kFurnitureFill);
    switch (kind) {
    case F::Bed:
    case F::BunkBed: {
        p.drawRoundedRect(QRectF(0, 0, w, h), w * 0.04, w * 0.04);
        p.setBrush(kFurnitureLight);
        const double headboard = h * 0.06;
        p.drawRect(QRectF(0, 0, w, headboard));
        const int pillows = (kind == F::Bed && w > 1.2) ? 2 : 1;
        const double pw = (w - 0.12 * (pillows + 1)) / pillows;
        for (int i = 0; i < pillows; ++i)
            p.drawRoundedRect(QRectF(0.12 + i * (pw + 0.12), headboard + 0.1, pw, h * 0.14), 0.06,
                              0.06);
        p.setBrush(QColor(0x4a, 0x63, 0x86));
        p.drawRoundedRect(QRectF(0.04, h * 0.38, w - 0.08, h * 0.6), 0.05, 0.05);
        p.setPen(thin);
        p.drawLine(QPointF(0.04, h * 0.48), QPointF(w - 0.04, h * 0.48));
        if (kind == F::BunkBed) {
            p.drawLine(QPointF(0.05, h * 0.5), QPointF(w - 0.05, h * 0.98));
            p.drawLine(QPointF(w - 0.05, h * 0.5), QPointF(0.05, h * 0.98));
        }
        break;
    }
    case F::Sofa: {
        p.drawRoundedRect(QRectF(0, 0, w, h), 0.08, 0.08);
        p.setBrush(kFurnitureLight);
        p.drawRoundedRect(QRectF(0, 0, w, h * 0.3), 0.06, 0.06);
        p.drawRoundedRect(QRectF(0, 0, w * 0.1, h), 0.05, 0.05);
        p.drawRoundedRect(QRectF(w * 0.9, 0, w * 0.1, h), 0.05, 0.05);
        p.setPen(thin);
        const int seats = 3;
        const double sw = w * 0.8 / seats;
        for (int i = 1; i < seats; ++i)
            p.drawLine(QPointF(w * 0.1 + i * sw, h * 0.3), QPointF(w * 0.1 + i * sw, h));
        break;
    }
    case F::Armchair:
        p.drawRoundedRect(QRectF(0, 0, w, h), 0.08, 0.08);
        p.setBrush(kFurnitureLight);
        p.drawRoundedRect(QRectF(0, 0, w, h * 0.28), 0.06, 0.06);
        p.drawRoundedRect(QRectF(0, 0, w * 0.18, h), 0.05, 0.05);
        p.drawRoundedRect(QRectF(w * 0.82, 0, w * 0.18, h), 0.05, 0.05);
        break;
    case F::TableRound:
        p.drawEllipse(QRectF(0, 0, w, h));
        p.setPen(thin);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(w * 0.2, h * 0.2, w * 0.6, h * 0.6));
        break;
    case F::TableRect:
    case F::Desk:
        p.setBrush(QColor(0x6a, 0x58, 0x45));
        p.drawRoundedRect(QRectF(0, 0, w, h), 0.04, 0.04);
        if (kind == F::Desk) {
            p.setBrush(QColor(0x2c, 0x33, 0x3c));
            p.drawRect(QRectF(w * 0.3, h * 0.08, w * 0.4, h * 0.14));
        }
        break;
    case F::Chair:
        p.drawRoundedRect(QRectF(0, 0, w, h), 0.05, 0.05);
        break;
    case F::Wardrobe:
    case F::Shelf:
        p.drawRect(QRectF(0, 0, w, h));
        p.setPen(thin);
        if (kind == F::Wardrobe) {
            p.drawLine(QPointF(w / 2, 0), QPointF(w / 2, h));
            p.drawLine(QPointF(0, 0), QPointF(w / 2, h));
            p.drawLine(QPointF(w, 0), QPointF(w / 2, h));
        } else {
            for (double x = w * 0.2; x < w; x += w * 0.2)
                p.drawLine(QPointF(x, 0), QPointF(x, h));
        }
        break;
    case F::Counter:
        p.setBrush(QColor(0x5e, 0x68, 0x74));
        p.drawRect(QRectF(0, 0, w, h));
        p.setPen(thin);
        p.drawLine(QPointF(0, h * 0.85), QPointF(w, h * 0.85));
        break;
    case F::Stove:
        p.setBrush(QColor(0x2b, 0x30, 0x37));
        p.drawRect(QRectF(0, 0, w, h));
        p.setBrush(Qt::NoBrush);
        p.setPen(thin);
        for (int i = 0; i < 4; ++i)
            p.drawEllipse(QPointF(w * (0.28 + (i % 2) * 0.44), h * (0.3 + (i / 2) * 0.4)), w * 0.15,
                          w * 0.15);
        break;
    case F::Fridge:
        p.setBrush(QColor(0x8a, 0x95, 0xa2));
        p.drawRect(QRectF(0, 0, w, h));
        p.setPen(thin);
        p.drawLine(QPointF(0, h * 0.15), QPointF(w, h * 0.15));
        break;
    case F::Sink:
    case F::Washbasin:
        p.setBrush(QColor(0x8a, 0x95, 0xa2));
        p.drawRoundedRect(QRectF(0, 0, w, h), 0.05, 0.05);
        p.setBrush(kFurnitureFill);
        p.drawRoundedRect(QRectF(w * 0.15, h * 0.25, w * 0.7, h * 0.6), w * 0.2, w * 0.2);
        break;
    case F::Bathtub:
        p.setBrush(QColor(0x8a, 0x95, 0xa2));
        p.drawRoundedRect(QRectF(0, 0, w, h), 0.12, 0.12);
        p.setBrush(QColor(0x3f, 0x6f, 0x95));
        p.drawRoundedRect(QRectF(w * 0.06, h * 0.12, w * 0.88, h * 0.76), h * 0.3, h * 0.3);
        break;
    case F::Shower:
        p.setBrush(QColor(0x3f, 0x6f, 0x95));
        p.drawRect(QRectF(0, 0, w, h));
        p.setPen(thin);
        p.drawLine(QPointF(0, 0), QPointF(w, h));
        p.drawLine(QPointF(w, 0), QPointF(0, h));
        p.setBrush(kFurnitureLight);
        p.drawEllipse(QPointF(w / 2, h / 2), w * 0.1, w * 0.1);
        break;
    case F::Toilet:
        p.setBrush(QColor(0x8a, 0x95, 0xa2));
        p.drawRect(QRectF(w * 0.05, 0, w * 0.9, h * 0.28));
        p.drawEllipse(QRectF(w * 0.1, h * 0.25, w * 0.8, h * 0.72));
        break;
    case F::Tv:
        p.setBrush(QColor(0x1f, 0x24, 0x2b));
        p.drawRect(QRectF(0, 0, w, h * 0.45));
        p.setBrush(kFurnitureFill);
        p.drawRect(QRectF(w * 0.05, h * 0.45, w * 0.9, h * 0.55));
        break;
    case F::Rug:
        p.setPen(QPen(QColor(255, 255, 255, 40), px));
        p.setBrush(QColor(0x8c, 0x5a, 0x4a, 110));
        p.drawRoundedRect(QRectF(0, 0, w, h), 0.05, 0.05);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(w * 0.08, h * 0.08, w * 0.84, h * 0.84));
        break;
    case F::Plant: {
        p.setBrush(QColor(0x3f, 0x7a, 0x4a));
        p.setPen(QPen(QColor(0x8f, 0xc9, 0x8f), px));
        QPainterPath leaves;
        for (int i = 0; i < 6; ++i) {
            const double a = i * M_PI / 3;
            leaves.addEllipse(
                QPointF(w / 2 + std::cos(a) * w * 0.25, h / 2 + std::sin(a) * h * 0.25), w * 0.22,
                h * 0.22);
        }
        p.drawPath(leaves.simplified());
        break;
    }
    case F::Boiler:
    case F::Tank:
        p.setBrush(kind == F::Boiler ? QColor(0x8e, 0x4a, 0x3c) : QColor(0x56, 0x70, 0x8a));
        p.drawEllipse(QRectF(0, 0, w, h));
        p.setBrush(Qt::NoBrush);
        p.setPen(thin);
        p.drawEllipse(QRectF(w * 0.25, h * 0.25, w * 0.5, h * 0.5));
        break;
    case F::Washer:
        p.setBrush(QColor(0x8a, 0x95, 0xa2));
        p.drawRect(QRectF(0, 0, w, h));
        p.setBrush(QColor(0x2c, 0x33, 0x3c));
        p.drawEllipse(QPointF(w / 2, h * 0.55), w * 0.3, w * 0.3);
        break;
    case F::Nightstand:
        p.setBrush(QColor(0x6a, 0x58, 0x45));
        p.drawRect(QRectF(0, 0, w, h));
        break;
    case F::Stairs: {
        p.setBrush(QColor(0x3d, 0x44, 0x4f));
        p.drawRect(QRectF(0, 0, w, h));
        p.setPen(thin);
        const int steps = 13;
        for (int i = 1; i < steps; ++i)
            p.drawLine(QPointF(0, h * i / steps), QPointF(w, h * i / steps));
        // Walking line with the arrow pointing up the flight.
        p.setPen(QPen(kWallColor, px * 1.4));
        p.drawLine(QPointF(w / 2, h * 0.95), QPointF(w / 2, h * 0.08));
        p.drawLine(QPointF(w / 2, h * 0.08), QPointF(w * 0.3, h * 0.16));
        p.drawLine(QPointF(w / 2, h * 0.08), QPointF(w * 0.7, h * 0.16));
        break;
    }
    }
}

void paintItem(QPainter &p, const QTransform &t, const HouseLayout::Item &item)
{
    const QRectF r = t.mapRect(item.rect);
    const double scale = t.m11();
    const bool quarter = item.rotation % 2 != 0;
    const double w = quarter ? item.rect.height() : item.rect.width();
    const double h = quarter ? item.rect.width() : item.rect.height();
    p.save();
    p.translate(r.center());
    p.rotate(90.0 * item.rotation);
    p.scale(scale, scale);
    p.translate(-w / 2, -h / 2);
    // Pens are in metres here; one pixel is 1/scale of a metre.
    paintPiece(p, item.kind, w, h, 1.0 / scale);
    p.restore();
}

const HouseLayout::Room *roomAt(const HouseLayout::Floor &floor, const QPointF &pt)
{
    for (const HouseLayout::Room &room : floor.rooms) {
        if (room.rect.contains(pt))
            return &room;
    }
    return nullptr;
}

// Walls are what is left of the building's footprint between the room floors; a door is a gap
// filled with the floors of the rooms on either side.
void paintWallsAndFloors(QPainter &p, const QTransform &t, const HouseLayout::Floor &floor)
{
    const double outer = HouseLayout::kWall * 1.5;
    p.fillRect(t.mapRect(QRectF(-outer, -outer, HouseLayout::kHouseWidth + 2 * outer,
                                HouseLayout::kHouseDepth + 2 * outer)),
               kWallColor);
    for (const HouseLayout::Room &room : floor.rooms)
        paintFloorSurface(p, t, room);
    for (const HouseLayout::Opening &o : floor.openings) {
        if (o.window)
            continue;
        const bool vertical = qFuzzyCompare(o.a.x(), o.b.x());
        const QPointF normal = vertical ? QPointF(1, 0) : QPointF(0, 1);
        const double reach = outer + 0.01;
        for (double side : {-1.0, 1.0}) {
            const QPointF probe = (o.a + o.b) / 2 + normal * side * 0.3;
            const HouseLayout::Room *room = roomAt(floor, probe);
            const QPointF from = o.a;
            const QPointF to = o.b + normal * side * reach;
            const QRectF half = QRectF(from, to).normalized();
            p.fillRect(t.mapRect(half), room ? floorColor(room->floor) : QColor(0x2a, 0x2f, 0x36));
        }
    }
}

void paintOpenings(QPainter &p, const QTransform &t, const HouseLayout::Floor &floor)
{
    const double scale = t.m11();
    const double px = std::max(1.0, scale / 60.0);
    for (const HouseLayout::Opening &o : floor.openings) {
        const bool vertical = qFuzzyCompare(o.a.x(), o.b.x());
        const QPointF a = t.map(o.a);
        const QPointF b = t.map(o.b);
        if (o.window) {
            // The frame fills the exterior wall's thickness, outward of the room's floor.
            const double c = vertical ? o.a.x() : o.a.y();
            const double limit = vertical ? HouseLayout::kHouseWidth : HouseLayout::kHouseDepth;
            const double out = c < limit / 2 ? -1.0 : 1.0;
            const double inner = c - out * HouseLayout::kWall / 2;
            const double outerEdge = c + out * (HouseLayout::kWall * 1.5 - 0.04);
            const QRectF m = vertical
                                 ? QRectF(QPointF(inner, o.a.y()), QPointF(outerEdge, o.b.y()))
                                 : QRectF(QPointF(o.a.x(), inner), QPointF(o.b.x(), outerEdge));
            const QRectF frame = t.mapRect(m.normalized());
            p.setPen(QPen(kLineColor, px));
            p.setBrush(QColor(0x1d, 0x3a, 0x55));
            p.drawRect(frame);
            p.setPen(QPen(kGlass, px * 1.5));
            const QPointF shift = vertical ? QPointF(out * HouseLayout::kWall * 0.5, 0)
                                           : QPointF(0, out * HouseLayout::kWall * 0.5);
            p.drawLine(t.map(o.a + shift), t.map(o.b + shift));
            continue;
        }
        // Door: the leaf standing open at a right angle and the arc it sweeps.
        const double width = QLineF(a, b).length();
        const QPointF hinge = o.swingLeft ? b : a;
        const QPointF latch = o.swingLeft ? a : b;
        const double side = o.swingInside ? 1.0 : -1.0;
        const QPointF normal = vertical ? QPointF(side, 0) : QPointF(0, side);
        const QPointF leafEnd = hinge + normal * width;
        p.setPen(QPen(kWallColor, px * 2.0, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(hinge, leafEnd);
        QPainterPath arc;
        arc.moveTo(leafEnd);
        arc.quadTo(latch + normal * width, latch);
        p.setPen(QPen(kLineColor, px, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawPath(arc);
    }
}

void paintFloor(QPainter &p, const QTransform &t, const HouseLayout::Floor &floor)
{
    // Soft shadow of the building on the drafting sheet.
    const QRectF house =
        t.mapRect(QRectF(0, 0, HouseLayout::kHouseWidth, HouseLayout::kHouseDepth));
    for (int i = 6; i >= 1; --i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 18));
        p.drawRoundedRect(house.adjusted(-i * 2 + 6, -i * 2 + 8, i * 2 + 6, i * 2 + 8), 6, 6);
    }
    paintWallsAndFloors(p, t, floor);
    for (const HouseLayout::Item &item : floor.items)
        paintItem(p, t, item);
    paintOpenings(p, t, floor);
}

QImage newPlan()
{
    QImage image(kPlanWidth, kPlanHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

void paintHouseBody(QPainter &p, const QRectF &body, const QColor &wall, const QColor &roof,
                    double roofHeight)
{
    QPainterPath roofPath;
    roofPath.moveTo(body.left() - 30, body.top());
    roofPath.lineTo(body.center().x(), body.top() - roofHeight);
    roofPath.lineTo(body.right() + 30, body.top());
    roofPath.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(roof);
    p.drawPath(roofPath);
    p.setBrush(wall);
    p.drawRect(body);
}

} // namespace

QSize PlanPainter::planSize()
{
    return QSize(kPlanWidth, kPlanHeight);
}

QTransform PlanPainter::floorTransform()
{
    const double ox = (kPlanWidth - HouseLayout::kHouseWidth * kFloorScale) / 2;
    const double oy = (kPlanHeight - HouseLayout::kHouseDepth * kFloorScale) / 2;
    return QTransform(kFloorScale, 0, 0, kFloorScale, ox, oy);
}

QTransform PlanPainter::roomTransform(const QRectF &roomRect)
{
    const double scale = std::min((kPlanWidth - 2 * kRoomMargin) / roomRect.width(),
                                  (kPlanHeight - 2 * kRoomMargin) / roomRect.height());
    const double ox = kPlanWidth / 2.0 - roomRect.center().x() * scale;
    const double oy = kPlanHeight / 2.0 - roomRect.center().y() * scale;
    return QTransform(scale, 0, 0, scale, ox, oy);
}

QImage PlanPainter::floorPlan(const HouseLayout::Floor &floor)
{
    QImage image = newPlan();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintBackdrop(p, image.size());
    paintFloor(p, floorTransform(), floor);
    p.end();
    return image;
}

QImage PlanPainter::roomPlan(const HouseLayout::Floor &floor, const HouseLayout::Room &room)
{
    QImage image = newPlan();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintBackdrop(p, image.size());
    const QTransform t = roomTransform(room.rect);
    paintFloor(p, t, floor);
    // The neighbours stay visible but recede, so the room reads as a part of the house.
    QPainterPath outside;
    outside.addRect(QRectF(0, 0, kPlanWidth, kPlanHeight));
    QPainterPath inside;
    const double wall = HouseLayout::kWall;
    inside.addRect(t.mapRect(room.rect.adjusted(-wall, -wall, wall, wall)));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x0d, 0x11, 0x17, 200));
    p.drawPath(outside.subtracted(inside));
    p.end();
    return image;
}

QImage PlanPainter::elevation(Elevation kind)
{
    QImage image = newPlan();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Evening sky over a lawn; the home page shows the house from outside, the lighting and
    // heating roots show it cut open so that each storey can carry its floor button.
    QLinearGradient sky(0, 0, 0, kPlanHeight);
    if (kind == Elevation::Heat) {
        sky.setColorAt(0, QColor(0x1a, 0x15, 0x22));
        sky.setColorAt(0.75, QColor(0x3b, 0x24, 0x2a));
    } else {
        sky.setColorAt(0, QColor(0x0f, 0x17, 0x2a));
        sky.setColorAt(0.75, QColor(0x2c, 0x3d, 0x5e));
    }
    sky.setColorAt(1, QColor(0x14, 0x1a, 0x20));
    p.fillRect(image.rect(), sky);

    QRandomGenerator stars(20260);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 90; ++i) {
        const double x = stars.bounded(kPlanWidth);
        const double y = stars.bounded(kPlanHeight / 2);
        p.setBrush(QColor(255, 255, 255, 40 + stars.bounded(120)));
        const double r = 0.6 + stars.bounded(10) / 10.0;
        p.drawEllipse(QPointF(x, y), r, r);
    }
    if (kind == Elevation::Home) {
        QPainterPath moon;
        moon.addEllipse(QPointF(640, 92), 30, 30);
        QPainterPath shade;
        shade.addEllipse(QPointF(656, 82), 26, 26);
        p.setBrush(QColor(0xf4, 0xf1, 0xd8));
        p.drawPath(moon.subtracted(shade));
    }

    // Ground and distant hills.
    QPainterPath hills;
    hills.moveTo(0, 520);
    hills.cubicTo(200, 470, 360, 500, 520, 480);
    hills.cubicTo(700, 455, 860, 500, 1024, 470);
    hills.lineTo(1024, 700);
    hills.lineTo(0, 700);
    hills.closeSubpath();
    p.setBrush(QColor(0x17, 0x25, 0x22));
    p.drawPath(hills);
    p.fillRect(QRectF(0, 560, kPlanWidth, 140), QColor(0x14, 0x22, 0x1c));

    // The floor buttons of the lighting and heating roots sit on the storeys of this body.
    const QRectF body(282, 250, 460, 310);
    const double storey = body.height() / 2;
    if (kind == Elevation::Home) {
        // Narrower and left of the middle: the home page puts two columns of buttons on its left
        // and three on its right.
        const QRectF home(262, 250, 380, 310);
        paintHouseBody(p, home, QColor(0x3b, 0x44, 0x52), QColor(0x5a, 0x2f, 0x2a), 120);
        // Lit windows: warm light from inside on a cool evening.
        const QColor lit(0xff, 0xc8, 0x6a);
        const QColor dark(0x23, 0x2c, 0x38);
        const QList<QRectF> windows = {QRectF(292, 290, 70, 80), QRectF(417, 290, 70, 80),
                                       QRectF(542, 290, 70, 80), QRectF(292, 440, 100, 80),
                                       QRectF(512, 440, 100, 80)};
        for (int i = 0; i < windows.size(); ++i) {
            const QRectF w = windows.at(i);
            const bool on = i != 1;
            if (on) {
                QRadialGradient glow(w.center(), w.width());
                glow.setColorAt(0, QColor(0xff, 0xc8, 0x6a, 90));
                glow.setColorAt(1, QColor(0xff, 0xc8, 0x6a, 0));
                p.setBrush(glow);
                p.drawEllipse(w.center(), w.width(), w.width());
            }
            p.setBrush(on ? lit : dark);
            p.setPen(QPen(QColor(0xdf, 0xe5, 0xec), 4));
            p.drawRect(w);
            p.drawLine(QPointF(w.center().x(), w.top()), QPointF(w.center().x(), w.bottom()));
            p.drawLine(QPointF(w.left(), w.center().y()), QPointF(w.right(), w.center().y()));
            p.setPen(Qt::NoPen);
        }
        // Front door with its porch light.
        p.setBrush(QColor(0x6a, 0x3f, 0x2a));
        p.drawRect(QRectF(417, 440, 70, 120));
        p.setBrush(QColor(0xff, 0xd8, 0x8a));
        p.drawEllipse(QPointF(503, 436), 6, 6);
        p.setBrush(QColor(0xdf, 0xe5, 0xec));
        p.drawEllipse(QPointF(475, 500), 4, 4);
        // Chimney.
        p.setBrush(QColor(0x4a, 0x2a, 0x26));
        p.drawRect(QRectF(548, 150, 34, 80));
    } else {
        paintHouseBody(p, body, QColor(0x26, 0x2d, 0x38), QColor(0x44, 0x29, 0x28), 120);
        // Cut-away storeys: each one a lit band with a hint of furniture.
        for (int level = 0; level < 2; ++level) {
            const QRectF band(body.left() + 14, body.top() + level * storey + 12, body.width() - 28,
                              storey - 24);
            QLinearGradient g(band.topLeft(), band.bottomLeft());
            if (kind == Elevation::Heat) {
                g.setColorAt(0, QColor(0x5c, 0x2d, 0x22));
                g.setColorAt(1, QColor(0x8a, 0x45, 0x24));
            } else {
                g.setColorAt(0, QColor(0x4a, 0x42, 0x2e));
                g.setColorAt(1, QColor(0x2f, 0x33, 0x3a));
            }
            p.setBrush(g);
            p.drawRect(band);
            p.setPen(QPen(QColor(0xdf, 0xe5, 0xec), 3));
            p.drawLine(band.bottomLeft(), band.bottomRight());
            p.setPen(Qt::NoPen);
            if (kind == Elevation::Light) {
                p.save();
                p.setClipRect(band);
                for (int i = 0; i < 3; ++i) {
                    const QPointF lampPos(band.left() + band.width() * (0.2 + 0.3 * i),
                                          band.top() + 10);
                    QRadialGradient cone(lampPos, 90);
                    cone.setColorAt(0, QColor(0xff, 0xd5, 0x7a, 150));
                    cone.setColorAt(1, QColor(0xff, 0xd5, 0x7a, 0));
                    p.setBrush(cone);
                    p.drawEllipse(lampPos, 90, 90);
                    p.setBrush(QColor(0xff, 0xe0, 0x9a));
                    p.drawEllipse(lampPos, 7, 7);
                }
                p.restore();
            } else {
                for (int i = 0; i < 3; ++i) {
                    const QRectF radiator(band.left() + band.width() * (0.12 + 0.3 * i),
                                          band.bottom() - 46, 70, 34);
                    p.setBrush(QColor(0xd8, 0xd8, 0xd8));
                    p.drawRoundedRect(radiator, 3, 3);
                    p.setPen(QPen(QColor(0x99, 0x99, 0x99), 2));
                    for (double x = radiator.left() + 8; x < radiator.right(); x += 8)
                        p.drawLine(QPointF(x, radiator.top() + 3),
                                   QPointF(x, radiator.bottom() - 3));
                    p.setPen(QPen(QColor(0xff, 0x9a, 0x5a, 140), 3));
                    for (int k = 0; k < 3; ++k) {
                        QPainterPath wave;
                        const double x = radiator.left() + 14 + k * 20;
                        wave.moveTo(x, radiator.top() - 8);
                        wave.cubicTo(x - 8, radiator.top() - 22, x + 8, radiator.top() - 30, x,
                                     radiator.top() - 46);
                        p.drawPath(wave);
                    }
                    p.setPen(Qt::NoPen);
                }
            }
        }
    }

    // Trees either side.
    for (const QPointF &base : {QPointF(150, 560), QPointF(880, 560)}) {
        p.setBrush(QColor(0x2a, 0x1e, 0x16));
        p.drawRect(QRectF(base.x() - 7, base.y() - 80, 14, 80));
        p.setBrush(QColor(0x1f, 0x3d, 0x2c));
        p.drawEllipse(QPointF(base.x(), base.y() - 120), 62, 72);
        p.setBrush(QColor(0x27, 0x4a, 0x35));
        p.drawEllipse(QPointF(base.x() - 18, base.y() - 140), 36, 40);
    }
    // Path to the door.
    if (kind == Elevation::Home) {
        QPainterPath path;
        path.moveTo(417, 560);
        path.lineTo(487, 560);
        path.lineTo(537, 700);
        path.lineTo(367, 700);
        path.closeSubpath();
        p.setBrush(QColor(0x3a, 0x3a, 0x36));
        p.drawPath(path);
    }
    p.end();
    return image;
}

QImage PlanPainter::subsystemBackground(const QString &glyph, const QColor &accent)
{
    QImage image = newPlan();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintBackdrop(p, image.size());
    // Accent glow in one corner and a large faint glyph: the page is recognisable at a glance
    // and leaves the space to the controls.
    QRadialGradient glow(QPointF(kPlanWidth * 0.82, kPlanHeight * 0.7), 520);
    QColor a = accent;
    a.setAlpha(70);
    glow.setColorAt(0, a);
    a.setAlpha(0);
    glow.setColorAt(1, a);
    p.fillRect(image.rect(), glow);
    QColor faint = accent.lighter(130);
    faint.setAlpha(34);
    IconPainter::paintGlyph(&p, glyph, QRectF(590, 250, 400, 400), faint, 5.0);
    // Two thin rules frame the working area like a drawing sheet.
    p.setPen(QPen(QColor(255, 255, 255, 30), 1));
    p.drawRect(QRectF(20.5, 20.5, kPlanWidth - 41, kPlanHeight - 41));
    p.setPen(QPen(accent, 3));
    p.drawLine(QPointF(20, 20), QPointF(200, 20));
    p.end();
    return image;
}

QImage PlanPainter::windowBackground(int variant)
{
    QImage image(1024, 768, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 1024, 768);
    QRandomGenerator rng(7000 + variant);
    switch (variant % 3) {
    case 0: // Night blue with soft circles.
        g.setColorAt(0, QColor(0x0e, 0x16, 0x28));
        g.setColorAt(1, QColor(0x1d, 0x33, 0x52));
        break;
    case 1: // Dusk: violet to amber.
        g.setColorAt(0, QColor(0x24, 0x18, 0x36));
        g.setColorAt(1, QColor(0x5a, 0x34, 0x2a));
        break;
    default: // Slate green.
        g.setColorAt(0, QColor(0x12, 0x22, 0x20));
        g.setColorAt(1, QColor(0x24, 0x3a, 0x34));
        break;
    }
    p.fillRect(image.rect(), g);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 14; ++i) {
        const double x = rng.bounded(1024);
        const double y = rng.bounded(768);
        const double r = 60 + rng.bounded(200);
        QRadialGradient blob(QPointF(x, y), r);
        blob.setColorAt(0, QColor(255, 255, 255, 10 + rng.bounded(14)));
        blob.setColorAt(1, QColor(255, 255, 255, 0));
        p.setBrush(blob);
        p.drawEllipse(QPointF(x, y), r, r);
    }
    if (variant % 3 == 2) {
        // Contour lines, like a site plan.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255, 22), 1.5));
        for (int i = 0; i < 12; ++i) {
            QPainterPath line;
            const double y = 60 + i * 60;
            line.moveTo(0, y);
            line.cubicTo(300, y - 50 + i * 3, 600, y + 60, 1024, y - 20);
            p.drawPath(line);
        }
    }
    p.end();
    return image;
}
