// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "baseroomv1.h"

class RoomStructV1;

// A floor page: owns its rooms, in file order.
class FloorStructV1 : public BaseRoomV1
{
public:
    FloorStructV1();
    ~FloorStructV1() override;
    int kind() const override;

    const QList<RoomStructV1 *> &rooms() const { return m_rooms; }
    // Takes ownership; returns the room's index.
    int addRoom(RoomStructV1 *room);
    RoomStructV1 *createRoom(const QString &name, const QString &textB, const QPointF &position);
    RoomStructV1 *roomById(const QString &runtimeId) const;

private:
    QList<RoomStructV1 *> m_rooms;
};
