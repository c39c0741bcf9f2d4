// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "etoolkittiming.h"

#include <QtGlobal>

namespace EToolkit {

namespace {
// Widgets live on the GUI thread only, so a plain value suffices.
HoldTimes s_holdTimes;
} // namespace

HoldTimes holdTimes()
{
    return s_holdTimes;
}

void setHoldTimes(const HoldTimes &times)
{
    s_holdTimes.dragMs = qMax(0, times.dragMs);
    s_holdTimes.longClickMs = qMax(0, times.longClickMs);
    s_holdTimes.autoRepeatMs = qMax(0, times.autoRepeatMs);
}

} // namespace EToolkit
