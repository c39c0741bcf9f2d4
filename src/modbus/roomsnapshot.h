// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "subsupdate.h"

#include <QList>
#include <QMetaType>

class BaseRoomV1;

// What the controller link needs of one control of a room page, copied out of the record.
struct RoomControlWindow
{
    int kind = 0;         // kind code; only 100..110 are read and written by the link
    bool deleted = false; // deleted in the editor: never polled
    bool readOnly = false;
    int byteAddress = 0; // byte address in controller memory, relative to the register offset
    int fetchLength = 0; // bytes read for the control (whole registers)
    int oddOffset = 0;   // 1 when its data starts in the high byte of its first register
    int typeD = 0;       // value width: BYTE, WORD, DWORD
    int bitNumber = 0;   // bit controls and bit buttons
    int val = 0;         // byte buttons: the value they write
    int maximum = 0;     // text-write controls: the window length
};

// A value copy of a room page, taken in the GUI thread and handed to the link with "setRoom".
// The link never reads a page of the project model: the records belong to the GUI thread, which
// rewrites them with every poll answer. Entry i of `controls` is control i of the page's list,
// so the indices the screens send with their commands keep meaning the same control.
struct RoomSnapshot
{
    bool valid = false; // false: the default value, which selects nothing
    int pageNumber = 0;
    int systemType = 0; // BaseRoomV1::TYPESYSTEM
    QList<RoomControlWindow> controls;

    // The windows the poll must read: the controller-bound, not deleted controls with their first
    // register (registerOffset + byteAddress / 2), in list order. Windows that would reach past
    // the 16-bit register space are left out: a register number wraps on the wire.
    QList<SubsUpdateItem> windows(int registerOffset) const;
};

Q_DECLARE_METATYPE(RoomSnapshot)

// Takes the snapshot of a page. GUI thread (the owner of the page).
RoomSnapshot makeRoomSnapshot(const BaseRoomV1 &room);
