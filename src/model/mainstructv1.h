// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "baseroomv1.h"

class FloorStructV1;

// The root page of a subsystem tree: knows the file it was read from and owns its floors.
class MainStructV1 : public BaseRoomV1
{
public:
    MainStructV1();
    ~MainStructV1() override;
    int kind() const override;

    // File name without folder, e.g. "light_config.xml"; empty when the file could not be read.
    QString fileName() const { return m_fileName; }
    void setFileName(const QString &fileName) { m_fileName = fileName; }

    const QList<FloorStructV1 *> &floors() const { return m_floors; }
    // Takes ownership; returns the floor's index.
    int addFloor(FloorStructV1 *floor);
    FloorStructV1 *createFloor(const QString &name, const QString &textB, const QPointF &position);
    FloorStructV1 *floorById(const QString &runtimeId) const;

    // The root, then each floor followed by its rooms: the order pages are numbered in.
    QList<BaseRoomV1 *> allPages() const;

private:
    QString m_fileName;
    QList<FloorStructV1 *> m_floors;
};
