// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "baseform.h"
#include "baseroomv1.h"
#include "roomconstantsv1.h"

class EImageWidget;
class ELabelWidget;

// A plan page: the room's plan with an icon per sub-room and per system button. This first form
// only navigates; the live control widgets come with the full room screen.
class ExtRoomFormV1 : public BaseForm
{
    Q_OBJECT
public:
    explicit ExtRoomFormV1(BaseRoomV1 *room, QGraphicsItem *parent = nullptr);

    BaseRoomV1 *room() const { return m_room; }
    // Re-reads the plan image and the title after the room's properties changed.
    void updateSettings();

signals:
    void gotoSystem(RoomConstantsV1::FormNumbers form, const QString &name);
    void gotoRoom(BaseRoomV1::TYPESYSTEM type, const QString &name);
    void updateRooms();
    void updateRoomSettings(BaseRoomV1 *room);
    void ResetTimer();

public slots:
    void RoomClick();
    void showSystem();

private:
    void placeItems();

    BaseRoomV1 *m_room = nullptr;
    EImageWidget *m_plan = nullptr;
    ELabelWidget *m_title = nullptr;
    struct Placed
    {
        QGraphicsWidget *item;
        double posX;
        double posY;
    };
    QList<Placed> m_placed;
};
