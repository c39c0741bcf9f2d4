// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QtGlobal>

// The number of hub commands the whole bridge passes to the controller per second, whatever
// entities they are for (the per-entity throttle alone lets a flood spread over many entities
// through). A bucket of `perSecond` commands that refills continuously: a burst of a dashboard's
// scene button goes through, a flood gets the steady rate. Time is given by the caller.
class BridgeCommandBudget
{
public:
    static constexpr int kDefaultPerSecond = 20;
    static constexpr int kMaxPerSecond = 1000;

    explicit BridgeCommandBudget(int perSecond = kDefaultPerSecond);

    int perSecond() const { return m_perSecond; }
    // True (and one command taken) when the budget has room at `nowMs`.
    bool allow(qint64 nowMs);

private:
    int m_perSecond;
    // Available commands in thousandths, so that the refill needs no floating point.
    qint64 m_milliTokens;
    qint64 m_lastMs = -1;
};
