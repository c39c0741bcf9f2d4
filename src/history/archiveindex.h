// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "historytypes.h"

#include <QDateTime>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

// The index over a folder of daily parameter archive files: for every parameter and every bucket
// of HistoryFormat::kBucketSeconds, the minimum, maximum, sum and count of its values. A view
// wider than a week is drawn from the buckets alone; narrower views read the few files they
// cover. The index lives in a cache file beside the archive and is kept up to date file by file:
// a file read before and unchanged is not opened again, a file that grew is read from where the
// last reading stopped, a file that changed otherwise is read again and a removed file is
// forgotten. The CSV files stay the only source of truth and are never written.
class ArchiveIndex
{
public:
    struct FileSummary
    {
        QString name;
        qint64 size = 0;
        qint64 firstTime = 0;
        qint64 lastTime = 0;
        int rows = 0;
        int garbage = 0;
        int headers = 0;
    };

    struct RefreshStats
    {
        int filesRead = 0;    // read from the start
        int filesResumed = 0; // read on from where the last reading stopped
        int filesReused = 0;  // unchanged, not opened
        int filesDropped = 0; // gone from the folder
        qint64 bytesRead = 0;
        bool cacheLoaded = false;
        bool cacheSaved = false;
    };

    explicit ArchiveIndex(const QString &archiveFolder);
    ~ArchiveIndex();
    ArchiveIndex(const ArchiveIndex &) = delete;
    ArchiveIndex &operator=(const ArchiveIndex &) = delete;

    QString folder() const;
    QString cachePath() const;

    // Brings the index in line with the files. The first call loads the cache file; a call that
    // changed anything saves it. Files of days before `now` are complete: an unfinished last line
    // there is read as it stands (and counted as garbage) instead of being waited for.
    RefreshStats refresh(const QDateTime &now = QDateTime::currentDateTime());

    // In time order of their first rows.
    QVector<FileSummary> files() const;
    qint64 rowCount() const;
    int garbageLines() const;
    // Instants of the first and last row of the whole archive; 0 when it is empty.
    qint64 firstTime() const;
    qint64 lastTime() const;
    // The usual time between rows (the median over the files); 0 when unknown.
    qint64 typicalInterval() const;
    // Captions of the newest header, 16 entries; empty when no file had one.
    QStringList captions() const;

    // Statistics of parameter `id` (1..16) in `count` equal columns of [from, to): a bucket goes
    // to the column its start lies in.
    QVector<SpanStats> columns(int id, qint64 from, qint64 to, int count) const;
    // Every bucket of parameter `id` starting in [from, to): its start and statistics.
    QVector<QPair<qint64, SpanStats>> buckets(int id, qint64 from, qint64 to) const;
    // Reads the rows of [from, to] from the files that hold them, in file order.
    void readRows(qint64 from, qint64 to,
                  const std::function<void(const ArchiveRow &)> &sink) const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
