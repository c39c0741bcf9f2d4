// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "historytypes.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVector>

// The events of a folder of daily alarm-log files, kept in memory file by file: a file is read
// again only when its size or time changed. Alarm logs are small (a row per change of a message),
// so no index on disk is needed.
class AlarmLogStore
{
public:
    explicit AlarmLogStore(const QString &alarmFolder);

    // Rereads changed files; a file of today may still be growing, so its unfinished last line
    // waits for the next call.
    void refresh(const QDateTime &now = QDateTime::currentDateTime());
    // Events with a program time in [from, to], in time order.
    QVector<AlarmEvent> events(qint64 from, qint64 to) const;
    int garbageLines() const;
    int eventCount() const;

private:
    struct FileEvents
    {
        qint64 size = 0;
        qint64 modified = 0;
        int garbage = 0;
        QVector<AlarmEvent> events;
    };
    QString m_folder;
    QHash<QString, FileEvents> m_files;
};
