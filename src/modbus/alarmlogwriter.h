// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QDateTime>
#include <QString>
#include <memory>

class ELocale;
struct ReservVariables;

// Writes the alarm log: one row into the daily file "Alarms/Alarm_dd_MM_yy.csv" of a configuration
// folder for every message whose state byte or value changed since the previous record. The
// first call of a run writes a header line, even into an existing file of the day.
class AlarmLogWriter
{
public:
    AlarmLogWriter();
    ~AlarmLogWriter();
    AlarmLogWriter(const AlarmLogWriter &) = delete;
    AlarmLogWriter &operator=(const AlarmLogWriter &) = delete;

    // `locale` gives the header captions; `now` is the program time of the rows (and their day).
    void write(const ReservVariables &record, const QString &configurationFolder,
               const ELocale *locale, const QDateTime &now = QDateTime::currentDateTime());
    static QString fileName(const QDate &day);

private:
    struct AlarmLogWriterPrivate;
    std::unique_ptr<AlarmLogWriterPrivate> d;
};
