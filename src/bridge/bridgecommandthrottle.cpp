// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bridgecommandthrottle.h"

bool BridgeCommandThrottle::allow(const QString &key, qint64 nowMs)
{
    auto it = m_windows.find(key);
    if (it == m_windows.end()) {
        // Keys are entities, a bounded set; the bound only guards against a mistake.
        if (m_windows.size() >= kMaxKeys)
            m_windows.clear();
        it = m_windows.insert(key, Window{nowMs, 0});
    }
    if (nowMs - it->start >= kWindowMs) {
        it->start = nowMs;
        it->count = 0;
    }
    if (it->count >= kMaxPerWindow)
        return false;
    ++it->count;
    return true;
}
