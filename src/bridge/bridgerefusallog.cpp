// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bridgerefusallog.h"

bool BridgeRefusalLog::admit(const QString &key, qint64 nowMs, int *suppressed)
{
    auto it = m_entries.find(key);
    if (it == m_entries.end()) {
        // Random topics must not grow the table without bound: start over when it is full, at
        // worst logging one extra line per key.
        if (m_entries.size() >= kMaxKeys)
            m_entries.clear();
        m_entries.insert(key, Entry{nowMs, 0});
        if (suppressed)
            *suppressed = 0;
        return true;
    }
    if (nowMs - it->loggedAt < kWindowMs) {
        ++it->suppressed;
        return false;
    }
    if (suppressed)
        *suppressed = it->suppressed;
    it->loggedAt = nowMs;
    it->suppressed = 0;
    return true;
}
