// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "baseroomv1.h"

// A room page: the leaf of a subsystem tree.
class RoomStructV1 : public BaseRoomV1
{
public:
    RoomStructV1();
    ~RoomStructV1() override;
    int kind() const override;
};
