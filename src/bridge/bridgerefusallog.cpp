// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bridgerefusallog.h"

bool BridgeRefusalLog::record(const QString &key, const QString &reason, qint64 nowMs)
{
    // A window that ended with nothing held back leaves no trace; one with a summary still due
    // goes on counting until summary() is asked.
    if (!m_open || (m_count == 0 && nowMs - m_windowStart >= kWindowMs)) {
        m_open = true;
        m_windowStart = nowMs;
        return true;
    }
    ++m_count;
    ++m_reasons[reason.left(80)];
    // Random topics must not grow the tables without bound: past the limit only the count grows.
    if (m_keys.size() < kMaxKeys)
        m_keys.insert(key.left(80));
    if (m_named.size() < kKeysNamed && !m_named.contains(key.left(80)))
        m_named.append(key.left(80));
    return false;
}

QString BridgeRefusalLog::summary(qint64 nowMs)
{
    if (!m_open || nowMs - m_windowStart < kWindowMs)
        return QString();
    if (m_count == 0) {
        m_open = false;
        return QString();
    }
    QStringList reasons;
    for (auto it = m_reasons.constBegin(); it != m_reasons.constEnd(); ++it)
        reasons.append(QStringLiteral("%1 x%2").arg(it.key()).arg(it.value()));
    QString keys = m_named.join(QLatin1String(", "));
    if (m_keys.size() > m_named.size())
        keys += QStringLiteral(" and %1 more").arg(m_keys.size() - m_named.size());
    const QString line = QStringLiteral("%1 more commands refused in %2 s (%3) for %4")
                             .arg(m_count)
                             .arg((nowMs - m_windowStart) / 1000)
                             .arg(reasons.join(QLatin1String("; ")), keys);
    m_windowStart = nowMs;
    m_count = 0;
    m_reasons.clear();
    m_keys.clear();
    m_named.clear();
    return line;
}
