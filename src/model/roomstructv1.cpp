// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "roomstructv1.h"

RoomStructV1::RoomStructV1() = default;

RoomStructV1::~RoomStructV1() = default;

int RoomStructV1::kind() const
{
    return KindRoom;
}
