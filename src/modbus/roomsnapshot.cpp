// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "roomsnapshot.h"

#include "baseroomv1.h"
#include "boolcontrolv1.h"
#include "btncontrolv1.h"
#include "controlconstants.h"
#include "dynamiccontrolv1.h"
#include "linkhandover.h"
#include "modbusconstants.h"
#include "resbtcontrolv1.h"
#include "textwritecontrolv1.h"

QList<SubsUpdateItem> RoomSnapshot::windows(int registerOffset) const
{
    QList<SubsUpdateItem> items;
    if (!valid || registerOffset < 0)
        return items;
    for (int i = 0; i < controls.size(); ++i) {
        const RoomControlWindow &c = controls.at(i);
        if (!ControlConstants::isControllerBound(c.kind) || c.deleted)
            continue;
        SubsUpdateItem item;
        item.index = i;
        item.registerNumber = DynamicControlV1::firstRegister(registerOffset, c.byteAddress);
        item.fetchLength = c.fetchLength;
        item.oddOffset = c.oddOffset;
        item.kind = c.kind;
        const qint64 registers = (qint64(qMax(0, c.fetchLength)) + 1) / 2;
        if (qint64(item.registerNumber) + registers > qint64(ModbusLink::kRegisterCount))
            continue;
        items.append(item);
    }
    return items;
}

RoomSnapshot makeRoomSnapshot(const BaseRoomV1 &room)
{
    RoomSnapshot snapshot;
    snapshot.valid = true;
    snapshot.pageNumber = room.pageNumber();
    snapshot.systemType = int(room.systemType());
    snapshot.controls.reserve(room.controls().size());
    for (const BaseControlV1 *control : room.controls()) {
        RoomControlWindow c;
        if (control) {
            c.kind = control->kind();
            c.deleted = control->isDeleted();
            c.readOnly = control->isReadOnly();
            if (auto dynamic = dynamic_cast<const DynamicControlV1 *>(control)) {
                c.byteAddress = dynamic->byteAddress();
                c.fetchLength = dynamic->fetchLength();
                c.oddOffset = dynamic->oddOffset();
                c.typeD = dynamic->typeD();
            }
            if (auto boolControl = dynamic_cast<const BoolControlV1 *>(control))
                c.bitNumber = boolControl->bitNumber();
            if (auto button = dynamic_cast<const BtnControlV1 *>(control))
                c.bitNumber = button->bitNumber();
            if (auto byteButton = dynamic_cast<const ResbtControlV1 *>(control))
                c.val = byteButton->val();
            if (auto textWrite = dynamic_cast<const TextWriteControlV1 *>(control))
                c.maximum = textWrite->maximum();
        }
        snapshot.controls.append(c);
    }
    // The snapshot goes to the link thread by a queued call.
    LinkHandOver::publish();
    return snapshot;
}
