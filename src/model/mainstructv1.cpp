// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "mainstructv1.h"

#include "floorstructv1.h"
#include "roomstructv1.h"

MainStructV1::MainStructV1() = default;

MainStructV1::~MainStructV1()
{
    qDeleteAll(m_floors);
}

int MainStructV1::kind() const
{
    return KindRoot;
}

int MainStructV1::addFloor(FloorStructV1 *floor)
{
    Q_ASSERT(floor);
    if (!floor)
        return -1;
    m_floors.append(floor);
    return m_floors.size() - 1;
}

FloorStructV1 *MainStructV1::createFloor(const QString &name, const QString &textB,
                                         const QPointF &position)
{
    auto *floor = new FloorStructV1;
    floor->setName(name);
    floor->setTextB(textB);
    floor->setPosX(position.x());
    floor->setPosY(position.y());
    addFloor(floor);
    return floor;
}

FloorStructV1 *MainStructV1::floorById(const QString &runtimeId) const
{
    for (FloorStructV1 *floor : m_floors) {
        if (floor->runtimeId() == runtimeId)
            return floor;
    }
    return nullptr;
}

QList<BaseRoomV1 *> MainStructV1::allPages() const
{
    QList<BaseRoomV1 *> pages;
    pages.append(const_cast<MainStructV1 *>(this));
    for (FloorStructV1 *floor : m_floors) {
        pages.append(floor);
        for (RoomStructV1 *room : floor->rooms())
            pages.append(room);
    }
    return pages;
}
