// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "toolkitconstants.h"

namespace EToolkit {

// The hold times a widget starts with: press-and-hold before a drag, before a long click, and
// before a held step button repeats. The program keeps the values of toolkitconstants.h; test
// programs set short ones once at start so that dozens of press-and-hold cases do not sit out
// seconds of real time. A widget reads them when it is created.
struct HoldTimes
{
    int dragMs = kDragDelayMs;
    int longClickMs = kLongClickDelayMs;
    int autoRepeatMs = kAutoRepeatDelayMs;
};

HoldTimes holdTimes();
// Applies to widgets created afterwards; negative values count as 0.
void setHoldTimes(const HoldTimes &times);

} // namespace EToolkit
