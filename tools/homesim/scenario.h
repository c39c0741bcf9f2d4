// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "scenarioevent.h"

#include <QList>
#include <QScopedPointer>

struct ScenarioPrivate;

// A timeline of events read from a scenario file. Times are real milliseconds from the start; a
// "repeat" event starts the timeline over from the moment it is reached.
class Scenario
{
public:
    Scenario();
    ~Scenario();

    // Reads a whole file; on the first malformed line returns false with "file:line: reason".
    bool loadFile(const QString &path, QString *error);
    bool loadLines(const QStringList &lines, QString *error, const QString &source = QString());

    // The events due at `elapsedMs` (not yet returned), in timeline order.
    QList<ScenarioEvent> takeDue(qint64 elapsedMs);
    // Milliseconds until the next event, or -1 when none is left.
    qint64 msUntilNext(qint64 elapsedMs) const;
    bool isEmpty() const;

private:
    QScopedPointer<ScenarioPrivate> d;
};
