// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

// Decides which refusals of hub commands are logged, so that a flood of bad messages, over one
// entity or over all of them, cannot flood the log: the first refusal after a quiet spell is
// logged at once; what follows within kWindowMs is counted and told in one summary line when the
// window ends (how many, why, for which entities), and so on every window while it goes on.
// Time is given by the caller.
class BridgeRefusalLog
{
public:
    static constexpr qint64 kWindowMs = 10000;
    static constexpr int kMaxKeys = 1024;
    static constexpr int kKeysNamed = 5;

    // Records a refusal of a command for `key` (an entity, or the topic of an unknown one);
    // true when it opens a window and is to be logged at once.
    bool record(const QString &key, const QString &reason, qint64 nowMs);
    // Once the window is over: the summary of what was recorded but not logged in it (empty when
    // nothing was), and the next window starts if there was. Empty while the window runs.
    QString summary(qint64 nowMs);

private:
    bool m_open = false;
    qint64 m_windowStart = 0;
    int m_count = 0;
    QMap<QString, int> m_reasons;
    QSet<QString> m_keys;
    QStringList m_named;
};
