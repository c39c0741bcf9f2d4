// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "floorstructv1.h"

#include "roomstructv1.h"

FloorStructV1::FloorStructV1() = default;

FloorStructV1::~FloorStructV1()
{
    qDeleteAll(m_rooms);
}

int FloorStructV1::kind() const
{
    return KindFloor;
}

int FloorStructV1::addRoom(RoomStructV1 *room)
{
    Q_ASSERT(room);
    if (!room)
        return -1;
    m_rooms.append(room);
    return m_rooms.size() - 1;
}

RoomStructV1 *FloorStructV1::createRoom(const QString &name, const QString &textB,
                                        const QPointF &position)
{
    auto *room = new RoomStructV1;
    room->setName(name);
    room->setTextB(textB);
    room->setPosX(position.x());
    room->setPosY(position.y());
    addRoom(room);
    return room;
}

RoomStructV1 *FloorStructV1::roomById(const QString &runtimeId) const
{
    for (RoomStructV1 *room : m_rooms) {
        if (room->runtimeId() == runtimeId)
            return room;
    }
    return nullptr;
}
