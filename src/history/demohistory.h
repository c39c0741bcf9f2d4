// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// A plausible past for the demo home: daily archive and alarm-log files, byte for byte in the
// form the panel's own writers give them, with seasons, days and nights, weather, showers,
// heating and the occasional alarm. The demo writes it at its first start, ending at that
// moment, so the history screen is full from the first look. The same curves serve benchmarks.
namespace DemoHistory {

struct Record
{
    int id = 0;
    QString text;
    double minimum = 0;
    double maximum = 0;
};

struct Plan
{
    QDateTime end;
    int days = 365;
    // One row per interval; the last `fineDays` days use the finer interval, as a panel set to
    // archive more often lately would.
    int intervalSecs = 600;
    int fineDays = 2;
    int fineIntervalSecs = 60;
    bool alarms = true;
    quint32 seed = 1;
    // Where the past meets the present: the values the controller reports at `joinAt` (by
    // parameter id, in the archive's units; a raw byte for ids without a record). Each curve is
    // bent towards its value over the last kJoinHours before that moment, so the first live row
    // continues the written ones instead of jumping. Empty: the curves as they are.
    QMap<int, double> joinValues;
    QDateTime joinAt;
};

constexpr int kJoinHours = 6;

struct Written
{
    int files = 0;
    qint64 rows = 0;
    qint64 events = 0;
    qint64 bytes = 0;
};

// Writes the files into the configuration folder's Archive and Alarms folders (created when
// missing; files of the same days are replaced). `archiveCaptions` are the 18 header captions of
// the archive, `alarmCaptions` the 10 of the alarm log. Parameters without a record are archived
// as raw bytes, as the panel does.
Written write(const QString &configurationFolder, const QList<Record> &parameters,
              const QList<Record> &messages, const QStringList &archiveCaptions,
              const QStringList &alarmCaptions, const Plan &plan);

// The demo curve of parameter `id` at an instant, before the controller's 8-bit scaling.
double value(int id, qint64 msecs, quint32 seed = 1);

// True when the folder lacks the archive file of the day of `now` or of the day before: a demo
// started on another day (or for the first time, or stopped while writing) writes its past again.
bool isStale(const QString &configurationFolder, const QDateTime &now);
// Removes the archive and alarm-log files and the history index of a folder (the demo's
// temporary one) before a new past is written.
void clear(const QString &configurationFolder);

} // namespace DemoHistory
