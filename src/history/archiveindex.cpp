// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "archiveindex.h"

#include "archiveparser.h"
#include "historylogging.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QSaveFile>
#include <QSet>
#include <QTimeZone>
#include <algorithm>

using HistoryFormat::kBucketSeconds;
using HistoryFormat::kParameterCount;

namespace {

constexpr quint32 kMagic = 0x56584849; // "VXHI"
// Raised whenever the meaning of the cached numbers changes (parser rules, bucket layout).
constexpr quint32 kVersion = 1;
// Bytes hashed at the start of a file and just before the point reading stopped: a file whose
// size changed but whose hashed bytes did not is taken as grown, not rewritten.
constexpr int kProbeBytes = 64;
constexpr qint64 kBucketMs = qint64(kBucketSeconds) * 1000;

qint64 bucketOf(qint64 msecs)
{
    // Floor division: rows before 1970 still land in the bucket that contains them.
    return msecs >= 0 ? msecs / kBucketMs : -((-msecs + kBucketMs - 1) / kBucketMs);
}

QDate dayOfName(const QString &name)
{
    // "Out_dd_MM_yy.csv"; the two-digit year is of this century.
    const int at = name.indexOf(QLatin1Char('_'));
    const QStringList parts =
        name.mid(at + 1).section(QLatin1Char('.'), 0, 0).split(QLatin1Char('_'));
    if (at < 0 || parts.size() != 3)
        return QDate();
    bool ok[3];
    const int day = parts.at(0).toInt(&ok[0]);
    const int month = parts.at(1).toInt(&ok[1]);
    const int year = parts.at(2).toInt(&ok[2]);
    if (!ok[0] || !ok[1] || !ok[2])
        return QDate();
    return QDate(2000 + year, month, day);
}

quint64 probe(QFile &file, qint64 at, qint64 length)
{
    if (length <= 0)
        return 0;
    if (!file.seek(at))
        return 0;
    const QByteArray bytes = file.read(length);
    return qHashBits(bytes.constData(), size_t(bytes.size()), 0x9e3779b9);
}

// Reads [offset, limit) of a file in pieces, so a file of any size never sits in memory whole.
// Returns where the reading stopped: the end, or the start of an unfinished last line. A run of
// bytes longer than any line without a line end is counted as one unreadable line and passed.
qint64 parseFile(QFile &file, qint64 offset, qint64 limit, bool complete, ArchiveParser &parser,
                 const ArchiveParser::RowSink &sink, qint64 *bytesRead)
{
    constexpr qint64 kPiece = 4 << 20;
    constexpr int kLongestLine = 64 << 10;
    if (!file.seek(offset))
        return offset;
    QByteArray carry;
    qint64 used = offset; // where `carry` starts
    bool skipping = false;
    for (;;) {
        const qint64 want = std::min(kPiece, limit - used - carry.size());
        const QByteArray piece = want > 0 ? file.read(want) : QByteArray();
        *bytesRead += piece.size();
        const bool atEnd = piece.isEmpty();
        QByteArray bytes = carry + piece;
        if (skipping) {
            // The rest of an overlong run, up to its line end, was counted already.
            const int newline = bytes.indexOf('\n');
            const int skip = newline < 0 ? bytes.size() : newline + 1;
            used += skip;
            bytes.remove(0, skip);
            skipping = newline < 0;
        }
        const qint64 n = parser.parse(bytes, complete && atEnd, sink);
        used += n;
        carry = bytes.mid(int(n));
        if (atEnd)
            return used;
        if (carry.size() > kLongestLine) {
            parser.skipUnreadable();
            used += carry.size();
            carry.clear();
            skipping = true;
        }
    }
}

struct FileEntry
{
    QString name;
    qint64 size = 0;
    qint64 modified = 0;
    qint64 consumed = 0;
    quint64 headHash = 0;
    quint64 tailHash = 0;
    qint64 firstTime = std::numeric_limits<qint64>::max();
    qint64 lastTime = std::numeric_limits<qint64>::min();
    qint64 parserLast = std::numeric_limits<qint64>::min() / 2;
    qint32 rows = 0;
    qint32 garbage = 0;
    qint32 headers = 0;
    QStringList captions;
    // Bucket numbers in ascending order, and kParameterCount statistics for each.
    QVector<qint64> starts;
    QVector<SpanStats> cells;

    bool hasRows() const { return rows > 0; }

    SpanStats *cellsFor(qint64 bucket)
    {
        if (starts.isEmpty() || bucket > starts.last()) {
            starts.append(bucket);
            cells.resize(cells.size() + kParameterCount);
            return cells.data() + cells.size() - kParameterCount;
        }
        if (bucket == starts.last())
            return cells.data() + cells.size() - kParameterCount;
        // A row earlier than the one before it (the clock was set back): find or insert.
        const auto it = std::lower_bound(starts.begin(), starts.end(), bucket);
        const int at = int(it - starts.begin());
        if (it == starts.end() || *it != bucket) {
            starts.insert(at, bucket);
            cells.insert(at * kParameterCount, kParameterCount, SpanStats());
        }
        return cells.data() + at * kParameterCount;
    }

    void add(const ArchiveRow &row)
    {
        SpanStats *c = cellsFor(bucketOf(row.time));
        for (int i = 0; i < kParameterCount; ++i) {
            const double v = row.values[size_t(i)];
            if (v == v)
                c[i].add(v);
        }
        firstTime = std::min(firstTime, row.time);
        lastTime = std::max(lastTime, row.time);
    }
};

QDataStream &operator<<(QDataStream &out, const FileEntry &e)
{
    out << e.name << e.size << e.modified << e.consumed << e.headHash << e.tailHash << e.firstTime
        << e.lastTime << e.parserLast << e.rows << e.garbage << e.headers << e.captions
        << qint32(e.starts.size());
    out.writeRawData(reinterpret_cast<const char *>(e.starts.constData()),
                     int(e.starts.size() * sizeof(qint64)));
    out.writeRawData(reinterpret_cast<const char *>(e.cells.constData()),
                     int(e.cells.size() * sizeof(SpanStats)));
    return out;
}

bool readEntry(QDataStream &in, FileEntry *e)
{
    qint32 buckets = 0;
    in >> e->name >> e->size >> e->modified >> e->consumed >> e->headHash >> e->tailHash >>
        e->firstTime >> e->lastTime >> e->parserLast >> e->rows >> e->garbage >> e->headers >>
        e->captions >> buckets;
    // A day has 144 buckets; far more means a damaged file, not a reason to allocate gigabytes.
    if (in.status() != QDataStream::Ok || buckets < 0 || buckets > 1 << 20)
        return false;
    e->starts.resize(buckets);
    e->cells.resize(buckets * kParameterCount);
    const int startBytes = int(buckets * sizeof(qint64));
    const int cellBytes = int(e->cells.size() * sizeof(SpanStats));
    return in.readRawData(reinterpret_cast<char *>(e->starts.data()), startBytes) == startBytes &&
           in.readRawData(reinterpret_cast<char *>(e->cells.data()), cellBytes) == cellBytes &&
           std::is_sorted(e->starts.cbegin(), e->starts.cend());
}

// What else makes a cache unusable: the zone the times were converted in, and the layout of the
// raw arrays (byte order and sizes of this build).
QByteArray cacheStamp()
{
    QByteArray stamp = QTimeZone::systemTimeZoneId();
    const quint32 order = 0x01020304;
    stamp += QByteArray(reinterpret_cast<const char *>(&order), sizeof order);
    stamp += QByteArray::number(int(sizeof(SpanStats)));
    return stamp;
}

} // namespace

struct ArchiveIndex::Private
{
    QString folder;
    bool loaded = false;
    QHash<QString, FileEntry> entries;
    QVector<const FileEntry *> ordered;

    void load(RefreshStats *stats);
    bool save() const;
    void read(const QFileInfo &info, FileEntry *entry, bool resume, bool complete,
              RefreshStats *stats) const;
    void reorder();
};

void ArchiveIndex::Private::load(RefreshStats *stats)
{
    loaded = true;
    QFile file(QDir(folder).filePath(QLatin1String(HistoryFormat::kIndexFile)));
    if (!file.open(QIODevice::ReadOnly))
        return;
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_5_15);
    quint32 magic = 0, version = 0, bucketSeconds = 0, count = 0;
    QByteArray stamp;
    in >> magic >> version >> bucketSeconds >> stamp >> count;
    if (in.status() != QDataStream::Ok || magic != kMagic || version != kVersion ||
        bucketSeconds != quint32(kBucketSeconds) || stamp != cacheStamp() || count > 100000) {
        qCDebug(lcHistory) << "index cache" << file.fileName() << "is stale; rebuilding";
        return;
    }
    QHash<QString, FileEntry> read;
    for (quint32 i = 0; i < count; ++i) {
        FileEntry e;
        if (!readEntry(in, &e)) {
            qCWarning(lcHistory) << "index cache" << file.fileName() << "is damaged; rebuilding";
            return;
        }
        read.insert(e.name, std::move(e));
    }
    entries = std::move(read);
    stats->cacheLoaded = true;
}

bool ArchiveIndex::Private::save() const
{
    QSaveFile file(QDir(folder).filePath(QLatin1String(HistoryFormat::kIndexFile)));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out.setVersion(QDataStream::Qt_5_15);
    out << kMagic << kVersion << quint32(kBucketSeconds) << cacheStamp() << quint32(entries.size());
    for (const FileEntry *e : ordered)
        out << *e;
    if (out.status() != QDataStream::Ok) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void ArchiveIndex::Private::read(const QFileInfo &info, FileEntry *entry, bool resume,
                                 bool complete, RefreshStats *stats) const
{
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcHistory) << "cannot read" << info.filePath();
        return;
    }
    ArchiveParser parser;
    if (resume) {
        parser.resume(entry->parserLast);
        file.seek(entry->consumed);
        ++stats->filesResumed;
    } else {
        *entry = FileEntry();
        entry->name = info.fileName();
        ++stats->filesRead;
    }
    const qint64 start = resume ? entry->consumed : 0;
    qint64 read = 0;
    const qint64 end = parseFile(
        file, start, std::numeric_limits<qint64>::max(), complete, parser,
        [entry](const ArchiveRow &row) { entry->add(row); }, &read);
    stats->bytesRead += read;
    entry->consumed = end;
    entry->size = start + read;
    entry->modified = info.lastModified().toMSecsSinceEpoch();
    entry->rows += parser.rows();
    entry->garbage += parser.garbageLines();
    entry->headers += parser.headerLines();
    if (!parser.captions().isEmpty())
        entry->captions = parser.captions();
    entry->parserLast = parser.lastTime();
    entry->headHash = probe(file, 0, std::min<qint64>(kProbeBytes, entry->consumed));
    const qint64 tail = std::min<qint64>(kProbeBytes, entry->consumed);
    entry->tailHash = probe(file, entry->consumed - tail, tail);
}

void ArchiveIndex::Private::reorder()
{
    ordered.clear();
    for (const FileEntry &e : entries)
        ordered.append(&e);
    std::sort(ordered.begin(), ordered.end(), [](const FileEntry *a, const FileEntry *b) {
        if (a->firstTime != b->firstTime)
            return a->firstTime < b->firstTime;
        return a->name < b->name;
    });
}

ArchiveIndex::ArchiveIndex(const QString &archiveFolder) : d(std::make_unique<Private>())
{
    d->folder = archiveFolder;
}

ArchiveIndex::~ArchiveIndex() = default;

QString ArchiveIndex::folder() const
{
    return d->folder;
}

QString ArchiveIndex::cachePath() const
{
    return QDir(d->folder).filePath(QLatin1String(HistoryFormat::kIndexFile));
}

ArchiveIndex::RefreshStats ArchiveIndex::refresh(const QDateTime &now)
{
    RefreshStats stats;
    if (!d->loaded)
        d->load(&stats);
    bool changed = !stats.cacheLoaded;

    const QDir dir(d->folder);
    const QFileInfoList infos =
        dir.exists() ? dir.entryInfoList({QLatin1String(HistoryFormat::kArchivePattern)},
                                         QDir::Files | QDir::Readable, QDir::Name)
                     : QFileInfoList();
    QSet<QString> present;
    const QDate today = now.date();
    for (const QFileInfo &info : infos) {
        const QString name = info.fileName();
        present.insert(name);
        const QDate day = dayOfName(name);
        const bool complete = day.isValid() && day < today;
        auto it = d->entries.find(name);
        if (it == d->entries.end()) {
            FileEntry &entry = d->entries[name];
            d->read(info, &entry, false, complete, &stats);
            changed = true;
            continue;
        }
        FileEntry &entry = *it;
        const qint64 modified = info.lastModified().toMSecsSinceEpoch();
        if (info.size() == entry.size && modified == entry.modified &&
            !(complete && entry.consumed < entry.size)) {
            ++stats.filesReused;
            continue;
        }
        // Grown with the bytes read before untouched: read on. Anything else (an edit of the
        // same length included) is read again from the start.
        bool grown = info.size() > entry.consumed;
        if (grown) {
            QFile file(info.filePath());
            const qint64 tail = std::min<qint64>(kProbeBytes, entry.consumed);
            grown =
                file.open(QIODevice::ReadOnly) &&
                probe(file, 0, std::min<qint64>(kProbeBytes, entry.consumed)) == entry.headHash &&
                probe(file, entry.consumed - tail, tail) == entry.tailHash;
        }
        d->read(info, &entry, grown, complete, &stats);
        changed = true;
    }
    for (auto it = d->entries.begin(); it != d->entries.end();) {
        if (!present.contains(it.key())) {
            it = d->entries.erase(it);
            ++stats.filesDropped;
            changed = true;
        } else {
            ++it;
        }
    }
    if (changed || d->ordered.size() != d->entries.size()) {
        d->reorder();
        if (dir.exists())
            stats.cacheSaved = d->save();
    }
    return stats;
}

QVector<ArchiveIndex::FileSummary> ArchiveIndex::files() const
{
    QVector<FileSummary> list;
    for (const FileEntry *e : d->ordered) {
        list.append({e->name, e->size, e->hasRows() ? e->firstTime : 0,
                     e->hasRows() ? e->lastTime : 0, e->rows, e->garbage, e->headers});
    }
    return list;
}

qint64 ArchiveIndex::rowCount() const
{
    qint64 n = 0;
    for (const FileEntry *e : d->ordered)
        n += e->rows;
    return n;
}

int ArchiveIndex::garbageLines() const
{
    int n = 0;
    for (const FileEntry *e : d->ordered)
        n += e->garbage;
    return n;
}

qint64 ArchiveIndex::firstTime() const
{
    qint64 t = std::numeric_limits<qint64>::max();
    for (const FileEntry *e : d->ordered) {
        if (e->hasRows())
            t = std::min(t, e->firstTime);
    }
    return t == std::numeric_limits<qint64>::max() ? 0 : t;
}

qint64 ArchiveIndex::lastTime() const
{
    qint64 t = 0;
    for (const FileEntry *e : d->ordered) {
        if (e->hasRows())
            t = std::max(t, e->lastTime);
    }
    return t;
}

qint64 ArchiveIndex::typicalInterval() const
{
    QVector<qint64> intervals;
    for (const FileEntry *e : d->ordered) {
        if (e->rows > 1)
            intervals.append((e->lastTime - e->firstTime) / (e->rows - 1));
    }
    if (intervals.isEmpty())
        return 0;
    std::nth_element(intervals.begin(), intervals.begin() + intervals.size() / 2, intervals.end());
    return intervals.at(intervals.size() / 2);
}

QStringList ArchiveIndex::captions() const
{
    // The newest file with a header names the columns as the panel names them today.
    for (auto it = d->ordered.crbegin(); it != d->ordered.crend(); ++it) {
        if (!(*it)->captions.isEmpty())
            return (*it)->captions;
    }
    return QStringList();
}

QVector<SpanStats> ArchiveIndex::columns(int id, qint64 from, qint64 to, int count) const
{
    QVector<SpanStats> result(std::max(count, 0));
    if (id < 1 || id > kParameterCount || count <= 0 || to <= from)
        return result;
    const int p = id - 1;
    const double width = double(to - from) / count;
    const qint64 first = bucketOf(from);
    const qint64 last = bucketOf(to - 1);
    for (const FileEntry *e : d->ordered) {
        if (!e->hasRows() || e->starts.isEmpty() || e->starts.last() < first ||
            e->starts.first() > last)
            continue;
        auto it = std::lower_bound(e->starts.cbegin(), e->starts.cend(), first);
        for (; it != e->starts.cend() && *it <= last; ++it) {
            const qint64 start = *it * kBucketMs;
            if (start < from || start >= to)
                continue;
            const int column = std::min(count - 1, int((start - from) / width));
            result[column].merge(e->cells.at(int(it - e->starts.cbegin()) * kParameterCount + p));
        }
    }
    return result;
}

QVector<QPair<qint64, SpanStats>> ArchiveIndex::buckets(int id, qint64 from, qint64 to) const
{
    QMap<qint64, SpanStats> merged;
    if (id < 1 || id > kParameterCount)
        return {};
    for (const FileEntry *e : d->ordered) {
        for (int i = 0; i < e->starts.size(); ++i) {
            const qint64 start = e->starts.at(i) * kBucketMs;
            const SpanStats &s = e->cells.at(i * kParameterCount + id - 1);
            if (start >= from && start < to && s.count)
                merged[start].merge(s);
        }
    }
    QVector<QPair<qint64, SpanStats>> list;
    for (auto it = merged.cbegin(); it != merged.cend(); ++it)
        list.append({it.key(), it.value()});
    return list;
}

void ArchiveIndex::readRows(qint64 from, qint64 to,
                            const std::function<void(const ArchiveRow &)> &sink) const
{
    for (const FileEntry *e : d->ordered) {
        if (!e->hasRows() || e->lastTime < from || e->firstTime > to)
            continue;
        QFile file(QDir(d->folder).filePath(e->name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        // Only the part the index has seen: rows after it appear with the next refresh, so the
        // raw view and the buckets never disagree about what the file holds.
        ArchiveParser parser;
        qint64 read = 0;
        parseFile(
            file, 0, e->consumed, true, parser,
            [&](const ArchiveRow &row) {
                if (row.time >= from && row.time <= to)
                    sink(row);
            },
            &read);
    }
}
