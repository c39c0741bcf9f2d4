// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <memory>

// The demo house in metres: two storeys of 12 x 8 m, their rooms, doors, windows and furniture,
// and where the lamps, switches, sensors and thermostats sit. Plans are drawn from it and the
// project files place their controls by it, so a lamp icon always lands on the lamp it stands for.
class HouseLayout
{
public:
    enum class FloorKind { Wood, Tiles, Stone, Carpet };

    enum class Furniture {
        Bed,
        BunkBed,
        Sofa,
        Armchair,
        TableRound,
        TableRect,
        Chair,
        Desk,
        Wardrobe,
        Counter,
        Stove,
        Fridge,
        Sink,
        Bathtub,
        Shower,
        Toilet,
        Washbasin,
        Tv,
        Rug,
        Plant,
        Boiler,
        Tank,
        Stairs,
        Shelf,
        Washer,
        Nightstand
    };

    struct Item
    {
        Furniture kind;
        QRectF rect;      // metres, floor coordinates
        int rotation = 0; // quarter turns: which wall the piece backs onto (0 = top)
    };

    struct Opening
    {
        QPointF a; // wall segment of the opening, metres
        QPointF b;
        bool window = false;
        bool swingLeft = false;
        bool swingInside = true; // the side the door leaf opens to (towards increasing x or y)
    };

    struct Lamp
    {
        QString caption;
        QPointF pos;
        bool dimmer = false;
        QString sliderColor;
    };

    struct Room
    {
        QString name; // page name, unique in the project
        QString caption;
        QString icon; // button image on the floor plan
        QRectF rect;  // metres
        FloorKind floor = FloorKind::Wood;
        QList<Lamp> lamps;
        QList<QPointF> switches;
        QList<QPointF> sensors;
        QPointF thermostat;
        QString planImage; // file name of the room's plan
    };

    struct Floor
    {
        QString name;
        QString caption;
        QString icon;
        QString planImage;
        QList<Room> rooms;
        QList<Opening> openings;
        QList<Item> items;
    };

    static constexpr double kHouseWidth = 12.0;
    static constexpr double kHouseDepth = 8.0;
    static constexpr double kWall = 0.2;

    HouseLayout();
    ~HouseLayout();

    const QList<Floor> &floors() const;
    const Room *room(const QString &name) const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
