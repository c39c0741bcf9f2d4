// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "scenario.h"

#include <QFile>
#include <QTextStream>

#include <algorithm>

struct ScenarioPrivate
{
    QList<ScenarioEvent> events; // absolute times, sorted
    int next = 0;
    qint64 base = 0; // start of the current round (moved by "repeat")
};

Scenario::Scenario() : d(new ScenarioPrivate) {}
Scenario::~Scenario() = default;

bool Scenario::loadFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    QStringList lines;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    while (!in.atEnd())
        lines.append(in.readLine());
    return loadLines(lines, error, path);
}

bool Scenario::loadLines(const QStringList &lines, QString *error, const QString &source)
{
    QList<ScenarioEvent> events;
    qint64 previous = 0;
    for (int i = 0; i < lines.size(); ++i) {
        ScenarioEvent e;
        QString why;
        if (!ScenarioEvent::parse(lines.at(i), &e, &why)) {
            if (error)
                *error = QStringLiteral("%1:%2: %3").arg(source).arg(i + 1).arg(why);
            return false;
        }
        if (e.type == ScenarioEvent::Type::None)
            continue;
        if (e.timing == ScenarioEvent::Timing::Relative)
            e.timeMs += previous;
        else if (e.timing == ScenarioEvent::Timing::Immediate)
            e.timeMs = previous;
        e.timing = ScenarioEvent::Timing::Absolute;
        previous = e.timeMs;
        events.append(e);
    }
    // Lines written out of order still play in time order; equal times keep the file's order.
    std::stable_sort(
        events.begin(), events.end(),
        [](const ScenarioEvent &l, const ScenarioEvent &r) { return l.timeMs < r.timeMs; });
    d->events = events;
    d->next = 0;
    d->base = 0;
    return true;
}

QList<ScenarioEvent> Scenario::takeDue(qint64 elapsedMs)
{
    QList<ScenarioEvent> due;
    // A timeline made only of "repeat" at time 0 would loop forever within one call.
    int guard = 0;
    while (d->next < d->events.size() && d->base + d->events.at(d->next).timeMs <= elapsedMs) {
        const ScenarioEvent e = d->events.at(d->next++);
        if (e.type == ScenarioEvent::Type::Repeat) {
            if (++guard > 1 || e.timeMs == 0)
                break;
            d->base = elapsedMs;
            d->next = 0;
            continue;
        }
        due.append(e);
    }
    return due;
}

qint64 Scenario::msUntilNext(qint64 elapsedMs) const
{
    if (d->next >= d->events.size())
        return -1;
    return std::max<qint64>(0, d->base + d->events.at(d->next).timeMs - elapsedMs);
}

bool Scenario::isEmpty() const
{
    return d->events.isEmpty();
}
