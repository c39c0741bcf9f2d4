// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "houselayout.h"

namespace {

using F = HouseLayout::Furniture;

HouseLayout::Opening door(double x1, double y1, double x2, double y2, bool left = false,
                          bool inside = true)
{
    HouseLayout::Opening o;
    o.a = QPointF(x1, y1);
    o.b = QPointF(x2, y2);
    o.swingLeft = left;
    o.swingInside = inside;
    return o;
}

HouseLayout::Opening window(double x1, double y1, double x2, double y2)
{
    HouseLayout::Opening o;
    o.a = QPointF(x1, y1);
    o.b = QPointF(x2, y2);
    o.window = true;
    return o;
}

HouseLayout::Item item(F kind, double x, double y, double w, double h, int rotation = 0)
{
    return HouseLayout::Item{kind, QRectF(x, y, w, h), rotation};
}

HouseLayout::Lamp lamp(const QString &caption, double x, double y, bool dimmer = false,
                       const QString &sliderColor = QString())
{
    return HouseLayout::Lamp{caption, QPointF(x, y), dimmer,
                             sliderColor.isEmpty() ? QStringLiteral("#ffb000") : sliderColor};
}

} // namespace

struct HouseLayout::Private
{
    QList<Floor> floors;
};

HouseLayout::~HouseLayout() = default;

const QList<HouseLayout::Floor> &HouseLayout::floors() const
{
    return d->floors;
}

HouseLayout::HouseLayout() : d(std::make_unique<Private>())
{
    // Ground floor: the day zone, entered through the hall at the south side.
    Floor ground;
    ground.name = QStringLiteral("ground_floor");
    ground.caption = QStringLiteral("Ground floor");
    ground.icon = QStringLiteral("floor_ground.png");
    ground.planImage = QStringLiteral("plan_ground.png");
    {
        Room living;
        living.name = QStringLiteral("living_room");
        living.caption = QStringLiteral("Living room");
        living.icon = QStringLiteral("room_living.png");
        living.rect = QRectF(0, 0, 6, 5);
        living.floor = FloorKind::Wood;
        living.lamps = {
            lamp(QStringLiteral("Ceiling"), 2.2, 2.3, true),
            lamp(QStringLiteral("Floor lamp"), 0.55, 4.45),
            lamp(QStringLiteral("LED strip"), 0.55, 0.75, true, QStringLiteral("#00b4ff")),
            lamp(QStringLiteral("Dining"), 4.5, 3.85, true, QStringLiteral("#ff7a00"))};
        living.switches = {QPointF(5.65, 4.1), QPointF(4.2, 4.65)};
        living.thermostat = QPointF(4.6, 1.6);
        ground.rooms.append(living);

        Room kitchen;
        kitchen.name = QStringLiteral("kitchen");
        kitchen.caption = QStringLiteral("Kitchen");
        kitchen.icon = QStringLiteral("room_kitchen.png");
        kitchen.rect = QRectF(6, 0, 6, 4);
        kitchen.floor = FloorKind::Tiles;
        kitchen.lamps = {lamp(QStringLiteral("Ceiling"), 10.2, 2.5, true),
                         lamp(QStringLiteral("Worktop"), 7.0, 1.25),
                         lamp(QStringLiteral("Dining"), 8.2, 2.5, true, QStringLiteral("#ff7a00"))};
        kitchen.switches = {QPointF(6.4, 3.55)};
        kitchen.sensors = {QPointF(11.45, 3.5)};
        kitchen.thermostat = QPointF(10.0, 3.35);
        ground.rooms.append(kitchen);

        Room hall;
        hall.name = QStringLiteral("hall");
        hall.caption = QStringLiteral("Hall");
        hall.icon = QStringLiteral("room_hall.png");
        hall.rect = QRectF(6, 4, 3.5, 4);
        hall.floor = FloorKind::Stone;
        hall.lamps = {lamp(QStringLiteral("Ceiling"), 8.0, 5.6),
                      lamp(QStringLiteral("Entrance"), 8.1, 7.45),
                      lamp(QStringLiteral("Stairs"), 6.7, 4.9, true, QStringLiteral("#00c853"))};
        hall.switches = {QPointF(7.15, 7.6)};
        hall.sensors = {QPointF(9.05, 4.45)};
        hall.thermostat = QPointF(8.0, 6.5);
        ground.rooms.append(hall);

        Room boiler;
        boiler.name = QStringLiteral("boiler_room");
        boiler.caption = QStringLiteral("Boiler room");
        boiler.icon = QStringLiteral("room_boiler.png");
        boiler.rect = QRectF(9.5, 4, 2.5, 4);
        boiler.floor = FloorKind::Tiles;
        boiler.lamps = {lamp(QStringLiteral("Ceiling"), 10.3, 6.2)};
        boiler.switches = {QPointF(9.8, 5.6)};
        boiler.thermostat = QPointF(10.6, 6.9);
        ground.rooms.append(boiler);

        Room study;
        study.name = QStringLiteral("study");
        study.caption = QStringLiteral("Study");
        study.icon = QStringLiteral("room_study.png");
        study.rect = QRectF(0, 5, 6, 3);
        study.floor = FloorKind::Carpet;
        study.lamps = {lamp(QStringLiteral("Ceiling"), 3.0, 6.3, true),
                       lamp(QStringLiteral("Desk lamp"), 1.1, 7.0)};
        study.switches = {QPointF(4.2, 5.35)};
        study.thermostat = QPointF(4.6, 7.1);
        ground.rooms.append(study);
    }
    ground.openings = {// Doors between rooms and the front door.
                       door(6, 4.1, 6, 4.9, false, false),    // living - hall
                       door(6, 2.0, 6, 2.9, true, false),     // living - kitchen
                       door(4.6, 5, 5.5, 5, false, true),     // living - study
                       door(7.6, 4, 8.5, 4, true, true),      // kitchen - hall
                       door(9.5, 4.4, 9.5, 5.3, false, true), // hall - boiler room
                       door(7.6, 8, 8.6, 8, false, false),    // front door
                       // Windows.
                       window(1.2, 0, 3.0, 0), window(3.8, 0, 5.2, 0), window(0, 3.3, 0, 4.5),
                       window(0, 5.8, 0, 7.2), window(2.3, 8, 3.6, 8), window(6.8, 0, 7.8, 0),
                       window(12, 1.2, 12, 2.6), window(12, 6.2, 12, 7.2)};
    ground.items = {
        // Living room
        item(F::Tv, 0.2, 1.5, 0.35, 1.6, 3), item(F::Rug, 1.1, 1.4, 1.7, 2.0),
        item(F::Sofa, 3.0, 1.2, 0.95, 2.4, 1), item(F::Armchair, 1.4, 3.7, 0.9, 0.9, 2),
        item(F::TableRound, 1.55, 2.0, 0.8, 0.8), item(F::TableRect, 3.9, 3.4, 1.2, 0.9),
        item(F::Chair, 3.55, 3.6, 0.3, 0.5), item(F::Chair, 5.15, 3.6, 0.3, 0.5),
        item(F::Plant, 5.35, 0.35, 0.45, 0.45), item(F::Shelf, 5.55, 0.95, 0.35, 0.95, 1),
        // Kitchen
        item(F::Counter, 6.3, 0.2, 4.2, 0.65), item(F::Stove, 8.0, 0.2, 0.65, 0.65),
        item(F::Sink, 9.3, 0.2, 0.8, 0.65), item(F::Fridge, 10.75, 0.2, 0.75, 0.75),
        item(F::Counter, 11.15, 1.1, 0.65, 1.6, 1), item(F::TableRect, 7.3, 2.0, 1.8, 1.0),
        item(F::Chair, 7.5, 1.6, 0.5, 0.35), item(F::Chair, 8.4, 1.6, 0.5, 0.35),
        item(F::Chair, 7.5, 3.05, 0.5, 0.35), item(F::Chair, 8.4, 3.05, 0.5, 0.35),
        // Hall
        item(F::Stairs, 6.2, 4.3, 1.0, 2.8), item(F::Wardrobe, 8.85, 6.1, 0.45, 1.5, 1),
        item(F::Plant, 6.3, 7.35, 0.4, 0.4),
        // Boiler room
        item(F::Boiler, 10.95, 4.3, 0.8, 0.8), item(F::Tank, 10.95, 5.35, 0.8, 0.8),
        item(F::Washer, 9.75, 7.1, 0.7, 0.7), item(F::Shelf, 11.45, 6.4, 0.35, 1.4, 1),
        // Study
        item(F::Desk, 0.3, 7.1, 1.6, 0.7, 2), item(F::Chair, 0.85, 6.45, 0.5, 0.5),
        item(F::Shelf, 5.6, 5.3, 0.35, 2.4, 1), item(F::Armchair, 3.8, 6.55, 0.9, 0.9),
        item(F::Rug, 2.4, 5.6, 1.2, 1.8)};
    d->floors.append(ground);

    // First floor: the night zone above it, reached by the same stairs.
    Floor first;
    first.name = QStringLiteral("first_floor");
    first.caption = QStringLiteral("First floor");
    first.icon = QStringLiteral("floor_first.png");
    first.planImage = QStringLiteral("plan_first.png");
    {
        Room bedroom;
        bedroom.name = QStringLiteral("bedroom");
        bedroom.caption = QStringLiteral("Bedroom");
        bedroom.icon = QStringLiteral("room_bedroom.png");
        bedroom.rect = QRectF(0, 0, 5.5, 5);
        bedroom.floor = FloorKind::Carpet;
        bedroom.lamps = {
            lamp(QStringLiteral("Ceiling"), 2.6, 3.0, true),
            lamp(QStringLiteral("Bedside left"), 1.25, 0.55, true, QStringLiteral("#ff7a00")),
            lamp(QStringLiteral("Bedside right"), 3.95, 0.55, true, QStringLiteral("#ff7a00")),
            lamp(QStringLiteral("Wardrobe"), 0.55, 4.3)};
        bedroom.switches = {QPointF(5.2, 3.45)};
        bedroom.thermostat = QPointF(4.4, 1.6);
        first.rooms.append(bedroom);

        Room kids;
        kids.name = QStringLiteral("kids_room");
        kids.caption = QStringLiteral("Kids' room");
        kids.icon = QStringLiteral("room_kids.png");
        kids.rect = QRectF(0, 5, 5.5, 3);
        kids.floor = FloorKind::Carpet;
        kids.lamps = {
            lamp(QStringLiteral("Ceiling"), 2.7, 6.5, true),
            lamp(QStringLiteral("Night light"), 1.45, 7.55, true, QStringLiteral("#b388ff"))};
        kids.switches = {QPointF(5.2, 6.55)};
        kids.thermostat = QPointF(4.3, 5.7);
        first.rooms.append(kids);

        Room guest;
        guest.name = QStringLiteral("guest_room");
        guest.caption = QStringLiteral("Guest room");
        guest.icon = QStringLiteral("room_guest.png");
        guest.rect = QRectF(5.5, 0, 6.5, 3.5);
        guest.floor = FloorKind::Wood;
        guest.lamps = {lamp(QStringLiteral("Ceiling"), 8.3, 1.5, true),
                       lamp(QStringLiteral("Reading"), 9.35, 2.7)};
        guest.switches = {QPointF(6.55, 3.1)};
        guest.thermostat = QPointF(10.7, 2.5);
        first.rooms.append(guest);

        Room landing;
        landing.name = QStringLiteral("landing");
        landing.caption = QStringLiteral("Landing");
        landing.icon = QStringLiteral("room_landing.png");
        landing.rect = QRectF(5.5, 3.5, 3, 4.5);
        landing.floor = FloorKind::Wood;
        landing.lamps = {lamp(QStringLiteral("Ceiling"), 7.8, 5.0),
                         lamp(QStringLiteral("Stairs"), 6.7, 7.45)};
        landing.switches = {QPointF(5.85, 3.85)};
        landing.sensors = {QPointF(8.1, 7.55)};
        landing.thermostat = QPointF(7.8, 6.4);
        first.rooms.append(landing);

        Room bath;
        bath.name = QStringLiteral("bathroom");
        bath.caption = QStringLiteral("Bathroom");
        bath.icon = QStringLiteral("room_bath.png");
        bath.rect = QRectF(8.5, 3.5, 3.5, 4.5);
        bath.floor = FloorKind::Tiles;
        bath.lamps = {lamp(QStringLiteral("Ceiling"), 10.2, 5.6, true),
                      lamp(QStringLiteral("Mirror"), 11.1, 6.75)};
        bath.switches = {QPointF(8.8, 5.35)};
        bath.sensors = {QPointF(9.7, 4.2)};
        bath.thermostat = QPointF(9.7, 6.3);
        first.rooms.append(bath);
    }
    // The bathroom's two outer windows keep their contacts on the security plan apart and clear
    // of its bottom right corner, where the editor's undo and redo arrows float.
    first.openings = {door(5.5, 3.8, 5.5, 4.7, true, false),  // bedroom - landing
                      door(5.5, 5.4, 5.5, 6.2, false, false), // kids - landing
                      door(7.2, 3.5, 8.0, 3.5, false, false), // guest - landing
                      door(8.5, 5.8, 8.5, 6.6, true, true),   // landing - bathroom
                      window(0, 0.8, 0, 2.2),
                      window(4.2, 0, 5.1, 0),
                      window(1.3, 8, 2.8, 8),
                      window(0, 5.8, 0, 6.9),
                      window(8.4, 0, 9.6, 0),
                      window(12, 1.0, 12, 2.4),
                      window(7.4, 8, 8.3, 8),
                      window(12, 6.2, 12, 7.0),
                      window(9.6, 8, 10.4, 8)};
    first.items = {
        // Bedroom
        item(F::Bed, 1.6, 0.2, 2.0, 2.2), item(F::Nightstand, 1.0, 0.25, 0.5, 0.45),
        item(F::Nightstand, 3.7, 0.25, 0.5, 0.45), item(F::Wardrobe, 0.2, 2.9, 0.6, 1.9, 3),
        item(F::Rug, 1.4, 2.6, 2.4, 1.2), item(F::Armchair, 4.3, 0.6, 0.9, 0.9, 1),
        // Kids' room
        item(F::BunkBed, 0.2, 5.25, 0.95, 2.0, 3), item(F::Desk, 3.6, 7.1, 1.6, 0.7, 2),
        item(F::Chair, 4.15, 6.45, 0.5, 0.5), item(F::Rug, 1.8, 5.7, 1.8, 1.4),
        item(F::Shelf, 1.5, 5.2, 1.6, 0.35),
        // Guest room
        item(F::Bed, 5.9, 0.2, 1.6, 2.0), item(F::Nightstand, 7.6, 0.25, 0.45, 0.4),
        item(F::Desk, 10.3, 0.2, 1.4, 0.6), item(F::Chair, 10.75, 0.85, 0.5, 0.5),
        item(F::Armchair, 8.9, 2.25, 0.9, 0.9, 2), item(F::Wardrobe, 11.2, 2.2, 0.6, 1.1, 1),
        // Landing
        item(F::Stairs, 6.2, 4.3, 1.0, 2.8), item(F::Plant, 7.9, 3.75, 0.4, 0.4),
        // Bathroom
        item(F::Bathtub, 8.7, 7.0, 1.7, 0.8, 2), item(F::Shower, 11.0, 3.7, 0.85, 0.85),
        item(F::Toilet, 11.25, 5.2, 0.5, 0.7, 1), item(F::Washbasin, 11.3, 6.4, 0.5, 0.6, 1),
        item(F::Washer, 8.7, 3.7, 0.65, 0.65)};
    d->floors.append(first);

    for (Floor &floor : d->floors) {
        for (Room &room : floor.rooms)
            room.planImage = QStringLiteral("plan_%1.png").arg(room.name);
    }
}

const HouseLayout::Room *HouseLayout::room(const QString &name) const
{
    for (const Floor &floor : d->floors) {
        for (const Room &room : floor.rooms) {
            if (room.name == name)
                return &room;
        }
    }
    return nullptr;
}
