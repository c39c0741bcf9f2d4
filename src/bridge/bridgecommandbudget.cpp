// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bridgecommandbudget.h"

BridgeCommandBudget::BridgeCommandBudget(int perSecond)
    : m_perSecond(qBound(1, perSecond, kMaxPerSecond)), m_milliTokens(qint64(m_perSecond) * 1000)
{
}

bool BridgeCommandBudget::allow(qint64 nowMs)
{
    const qint64 full = qint64(m_perSecond) * 1000;
    // A clock that goes back (a test's, or a wrapped one) refills nothing.
    if (m_lastMs >= 0 && nowMs > m_lastMs)
        m_milliTokens = qMin(full, m_milliTokens + (nowMs - m_lastMs) * m_perSecond);
    m_lastMs = nowMs;
    if (m_milliTokens < 1000)
        return false;
    m_milliTokens -= 1000;
    return true;
}
