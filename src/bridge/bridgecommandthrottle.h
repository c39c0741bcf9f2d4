// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QHash>
#include <QString>

// Lets at most kMaxPerWindow commands per entity through in any window of kWindowMs, so that a
// hub gone wild (or a script in a loop) cannot keep the controller busy writing one lamp; a
// person on a dashboard stays far below it. Time is given by the caller.
class BridgeCommandThrottle
{
public:
    static constexpr qint64 kWindowMs = 1000;
    static constexpr int kMaxPerWindow = 10;
    static constexpr int kMaxKeys = 4096;

    bool allow(const QString &key, qint64 nowMs);

private:
    struct Window
    {
        qint64 start = 0;
        int count = 0;
    };
    QHash<QString, Window> m_windows;
};
