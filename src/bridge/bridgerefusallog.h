// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QHash>
#include <QString>

// Decides which refusals of hub commands are logged: at most one line per key (an entity, or the
// topic of an unknown one) per window, the next line telling how many were left out meanwhile,
// so that a flood of bad messages cannot flood the log. Time is given by the caller.
class BridgeRefusalLog
{
public:
    static constexpr qint64 kWindowMs = 10000;
    static constexpr int kMaxKeys = 1024;

    // True when a line for `key` may be written at `nowMs`; then `suppressed` says how many
    // refusals of that key were not logged since the last line.
    bool admit(const QString &key, qint64 nowMs, int *suppressed);

private:
    struct Entry
    {
        qint64 loggedAt = 0;
        int suppressed = 0;
    };
    QHash<QString, Entry> m_entries;
};
