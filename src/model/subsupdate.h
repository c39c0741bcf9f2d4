// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>

// One control served by a block read: where its bytes start and how many the block carries for it.
struct SubsUpdateItem
{
    int index = 0;          // index of the control in its page's control list
    int registerNumber = 0; // register of its first byte (offset already added)
    int fetchLength = 0;    // bytes read for the control (whole registers)
    int oddOffset = 0; // 1 when the control's data starts in the high byte of its first register
    int kind = 0;      // kind code, 100..110
};

// One block read of the room page being polled, with the bytes of the last poll. The controller
// link fills it; the page distributes the bytes into its controls (BaseRoomV1::applyAnswer).
struct SubsUpdate
{
    int start = 0;     // first register of the block (absolute, offset already added)
    int end = 0;       // one past the last register
    int byteCount = 0; // (end - start) * 2, at most 248
    QByteArray data;   // empty before the first poll or after a failed read
    QList<SubsUpdateItem> items;
};

Q_DECLARE_METATYPE(SubsUpdateItem)
Q_DECLARE_METATYPE(SubsUpdate)
