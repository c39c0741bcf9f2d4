// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "alarmlogstore.h"

#include "alarmlogparser.h"
#include "historylogging.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <algorithm>

AlarmLogStore::AlarmLogStore(const QString &alarmFolder) : m_folder(alarmFolder) {}

void AlarmLogStore::refresh(const QDateTime &now)
{
    const QDir dir(m_folder);
    const QFileInfoList infos =
        dir.exists() ? dir.entryInfoList({QLatin1String(HistoryFormat::kAlarmPattern)},
                                         QDir::Files | QDir::Readable, QDir::Name)
                     : QFileInfoList();
    const QString today = QLatin1String(HistoryFormat::kAlarmPrefix) +
                          now.date().toString(QLatin1String(HistoryFormat::kFileDate)) +
                          QLatin1String(HistoryFormat::kSuffix);
    QSet<QString> present;
    for (const QFileInfo &info : infos) {
        present.insert(info.fileName());
        const qint64 modified = info.lastModified().toMSecsSinceEpoch();
        auto it = m_files.constFind(info.fileName());
        if (it != m_files.constEnd() && it->size == info.size() && it->modified == modified)
            continue;
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly)) {
            qCWarning(lcHistory) << "cannot read" << info.filePath();
            continue;
        }
        FileEvents entry;
        AlarmLogParser parser;
        const QByteArray bytes = file.readAll();
        const qint64 used = parser.parse(bytes, info.fileName() != today,
                                         [&entry](const AlarmEvent &e) { entry.events.append(e); });
        // An unfinished last line is read again next time: keep the size that excludes it.
        entry.size = used == bytes.size() ? info.size() : -1;
        entry.modified = modified;
        entry.garbage = parser.garbageLines();
        m_files.insert(info.fileName(), entry);
    }
    for (auto it = m_files.begin(); it != m_files.end();) {
        if (present.contains(it.key()))
            ++it;
        else
            it = m_files.erase(it);
    }
}

QVector<AlarmEvent> AlarmLogStore::events(qint64 from, qint64 to) const
{
    QVector<AlarmEvent> list;
    for (const FileEvents &f : m_files) {
        if (f.events.isEmpty() || f.events.last().time < from || f.events.first().time > to) {
            // Rows are in time order within a file unless the clock was set back; check all then.
            if (std::is_sorted(
                    f.events.cbegin(), f.events.cend(),
                    [](const AlarmEvent &a, const AlarmEvent &b) { return a.time < b.time; }))
                continue;
        }
        for (const AlarmEvent &e : f.events) {
            if (e.time >= from && e.time <= to)
                list.append(e);
        }
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const AlarmEvent &a, const AlarmEvent &b) { return a.time < b.time; });
    return list;
}

int AlarmLogStore::garbageLines() const
{
    int n = 0;
    for (const FileEvents &f : m_files)
        n += f.garbage;
    return n;
}

int AlarmLogStore::eventCount() const
{
    int n = 0;
    for (const FileEvents &f : m_files)
        n += f.events.size();
    return n;
}
