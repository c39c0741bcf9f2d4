// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The bucket index over a folder of archive files against a brute-force reference on random
// data, its cache file (reused, rebuilt when stale or damaged), files growing, changing and
// vanishing, day boundaries, daylight-saving days and missing days as holes in the lines.
#include "archivefiles.h"
#include "archiveindex.h"
#include "historystore.h"
#include "tempfolder.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QtTest>

using namespace ArchiveFiles;

namespace {

constexpr qint64 kMinute = 60 * 1000;
constexpr qint64 kBucket = qint64(HistoryFormat::kBucketSeconds) * 1000;

struct Row
{
    qint64 time;
    QVector<double> values; // as the reader sees them (after the six-digit form)
};

// Writes rows into daily files the way the panel does (the file named by the row's local day,
// a header first) and returns them as read back.
QVector<Row> writeRows(const QString &folder, qint64 start, int count, qint64 step, quint32 seed,
                       double missingShare = 0)
{
    QRandomGenerator random(seed);
    QVector<Row> rows;
    QMap<QString, QByteArray> files;
    qint64 t = start;
    for (int i = 0; i < count; ++i) {
        Row r{t, {}};
        for (int p = 0; p < 16; ++p) {
            double v = (random.generateDouble() - 0.3) * (p + 1) * 37.7;
            if (missingShare > 0 && random.generateDouble() < missingShare)
                v = std::nan("");
            r.values.append(roundTrip(v));
        }
        const QString name = archiveName(QDateTime::fromMSecsSinceEpoch(t).date());
        QByteArray &text = files[name];
        if (text.isEmpty())
            text = header();
        text += row(t, r.values);
        rows.append(r);
        // Irregular steps when asked for (a negative step is "about this much").
        // The panel writes whole seconds.
        t += step > 0 ? step : (-step / 2 + qint64(random.bounded(int(-step)))) / 1000 * 1000;
    }
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        append(folder + QStringLiteral("/Archive/") + it.key(), it.value());
    return rows;
}

QByteArray csvDigest(const QString &folder)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QFileInfo &f :
         QDir(folder).entryInfoList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name)) {
        QFile file(f.filePath());
        if (file.open(QIODevice::ReadOnly))
            hash.addData(file.readAll());
    }
    return hash.result();
}

qint64 bucketStart(qint64 t)
{
    return (t >= 0 ? t / kBucket : (t - kBucket + 1) / kBucket) * kBucket;
}

void compareStats(const SpanStats &got, const SpanStats &want, const QByteArray &where)
{
    QVERIFY2(got.count == want.count, where);
    if (!want.count)
        return;
    QVERIFY2(qFuzzyCompare(got.minimum, want.minimum), where);
    QVERIFY2(qFuzzyCompare(got.maximum, want.maximum), where);
    QVERIFY2(std::fabs(got.mean() - want.mean()) <= 1e-4 * std::max(1.0, std::fabs(want.mean())),
             where);
}

} // namespace

class tst_ArchiveIndex : public QObject
{
    Q_OBJECT

private slots:
    void bucketsMatchBruteForce_data();
    void bucketsMatchBruteForce();
    void growingFileIsReadOn();
    void cacheIsReusedAndRebuilt();
    void changedAndRemovedFiles();
    void daylightSavingDays_data();
    void daylightSavingDays();
    void missingDayIsAHole_data();
    void missingDayIsAHole();
    void storeDecimatesToThePixels();
    void bigFileIsReadInPieces();
};

void tst_ArchiveIndex::bucketsMatchBruteForce_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<qint64>("step");
    QTest::addColumn<double>("missing");
    QTest::addColumn<int>("columns");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("a row a minute over three days") << 3 * 1440 << kMinute << 0.0 << 97 << 1u;
    QTest::newRow("every ten seconds") << 5000 << qint64(10000) << 0.0 << 333 << 2u;
    QTest::newRow("irregular steps, missing values") << 4000 << -7 * kMinute << 0.1 << 50 << 3u;
    QTest::newRow("sparse: hourly over two months") << 24 * 60 << 60 * kMinute << 0.0 << 1000 << 4u;
}

void tst_ArchiveIndex::bucketsMatchBruteForce()
{
    QFETCH(int, rows);
    QFETCH(qint64, step);
    QFETCH(double, missing);
    QFETCH(int, columns);
    QFETCH(quint32, seed);
    TempFolder folder;
    const qint64 start = QDateTime(QDate(2024, 3, 29), QTime(21, 13, 7)).toMSecsSinceEpoch();
    const QVector<Row> data = writeRows(folder.path(), start, rows, step, seed, missing);

    ArchiveIndex index(folder.filePath(QStringLiteral("Archive")));
    const auto stats = index.refresh(QDateTime(QDate(2030, 1, 1), QTime(0, 0)));
    QCOMPARE(index.rowCount(), qint64(rows));
    QCOMPARE(index.garbageLines(), 0);
    QVERIFY(stats.cacheSaved);
    QCOMPARE(index.firstTime(), data.first().time);
    QCOMPARE(index.lastTime(), data.last().time);

    for (int id : {1, 7, 16}) {
        // Every bucket.
        QMap<qint64, SpanStats> reference;
        for (const Row &r : data) {
            const double v = r.values.at(id - 1);
            if (!std::isnan(v))
                reference[bucketStart(r.time)].add(v);
        }
        const auto buckets =
            index.buckets(id, data.first().time - kBucket, data.last().time + kBucket);
        QCOMPARE(buckets.size(), reference.size());
        for (const auto &b : buckets) {
            QVERIFY(reference.contains(b.first));
            compareStats(b.second, reference.value(b.first),
                         QByteArray::number(id) + '@' + QByteArray::number(b.first));
        }
        // Pixel columns over a range that matches no bucket edge.
        const qint64 from = data.first().time + 12345;
        const qint64 to = data.last().time - 54321;
        QVector<SpanStats> want(columns);
        const double width = double(to - from) / columns;
        for (auto it = reference.cbegin(); it != reference.cend(); ++it) {
            if (it.key() >= from && it.key() < to)
                want[std::min(columns - 1, int((it.key() - from) / width))].merge(it.value());
        }
        const QVector<SpanStats> got = index.columns(id, from, to, columns);
        QCOMPARE(got.size(), columns);
        for (int c = 0; c < columns; ++c)
            compareStats(got.at(c), want.at(c), "column " + QByteArray::number(c));
    }
}

void tst_ArchiveIndex::growingFileIsReadOn()
{
    TempFolder folder;
    const QDate day(2024, 6, 10);
    const QString path = folder.filePath(QStringLiteral("Archive/") + archiveName(day));
    const qint64 start = QDateTime(day, QTime(0, 0)).toMSecsSinceEpoch();
    QByteArray text = header();
    for (int i = 0; i < 100; ++i)
        text += row(start + i * kMinute, {double(i)});
    const QByteArray next = row(start + 100 * kMinute, {100});
    // The panel is in the middle of writing row 100.
    append(path, text + next.left(30));
    const QDateTime today(day, QTime(12, 0));
    ArchiveIndex index(folder.filePath(QStringLiteral("Archive")));
    index.refresh(today);
    QCOMPARE(index.rowCount(), qint64(100));
    QCOMPARE(index.garbageLines(), 0);

    QByteArray more = next.mid(30);
    for (int i = 101; i < 150; ++i)
        more += row(start + i * kMinute, {double(i)});
    append(path, more);
    const auto stats = index.refresh(today);
    QCOMPARE(stats.filesResumed, 1);
    QCOMPARE(stats.filesRead, 0);
    QCOMPARE(stats.bytesRead, qint64(30 + more.size())); // only what was not read before
    QCOMPARE(index.rowCount(), qint64(150));
    QCOMPARE(index.garbageLines(), 0);
    QCOMPARE(index.lastTime(), start + 149 * kMinute);
    const auto b = index.buckets(1, start, start + kBucket);
    QCOMPARE(b.size(), 1);
    QCOMPARE(b.first().second.count, quint32(HistoryFormat::kBucketSeconds / 60));

    // Nothing new: nothing read.
    QCOMPARE(index.refresh(today).bytesRead, qint64(0));
    // The next day the unfinished line would never complete; here it did, so still no garbage.
    QCOMPARE(index.refresh(today.addDays(1)).filesRead, 0);
    QCOMPARE(index.garbageLines(), 0);
}

void tst_ArchiveIndex::cacheIsReusedAndRebuilt()
{
    TempFolder folder;
    const qint64 start = QDateTime(QDate(2024, 1, 1), QTime(0, 0)).toMSecsSinceEpoch();
    writeRows(folder.path(), start, 10 * 1440, kMinute, 5);
    const QString archive = folder.filePath(QStringLiteral("Archive"));
    const QByteArray before = csvDigest(archive);
    const QDateTime later(QDate(2025, 1, 1), QTime(0, 0));
    QVector<QPair<qint64, SpanStats>> first;
    {
        ArchiveIndex index(archive);
        const auto stats = index.refresh(later);
        QVERIFY(!stats.cacheLoaded);
        QCOMPARE(stats.filesRead, 10);
        first = index.buckets(3, start, start + 11 * 86400000LL);
    }
    {
        // A later opening reads the cache and not one archive file.
        ArchiveIndex index(archive);
        const auto stats = index.refresh(later);
        QVERIFY(stats.cacheLoaded);
        QCOMPARE(stats.filesReused, 10);
        QCOMPARE(stats.bytesRead, qint64(0));
        QCOMPARE(index.rowCount(), qint64(10 * 1440));
        const auto again = index.buckets(3, start, start + 11 * 86400000LL);
        QCOMPARE(again.size(), first.size());
        for (int i = 0; i < again.size(); ++i)
            compareStats(again.at(i).second, first.at(i).second, QByteArray::number(i));
    }
    // A damaged cache is not trusted: everything is read again, and the answers are the same.
    for (const QByteArray &damage : {QByteArray("garbage"), QByteArray()}) {
        QFile cache(archive + QStringLiteral("/history.idx"));
        QVERIFY(cache.open(QIODevice::ReadWrite));
        if (damage.isEmpty()) {
            cache.resize(cache.size() / 2);
        } else {
            cache.seek(0);
            cache.write(damage);
        }
        cache.close();
        ArchiveIndex index(archive);
        const auto stats = index.refresh(later);
        QVERIFY(!stats.cacheLoaded);
        QCOMPARE(stats.filesRead, 10);
        QCOMPARE(index.rowCount(), qint64(10 * 1440));
        QCOMPARE(index.buckets(3, start, start + 11 * 86400000LL).size(), first.size());
    }
    // The CSV files are never written.
    QCOMPARE(csvDigest(archive), before);
}

void tst_ArchiveIndex::changedAndRemovedFiles()
{
    TempFolder folder;
    const QDate day(2024, 2, 2);
    const qint64 start = QDateTime(day, QTime(10, 0)).toMSecsSinceEpoch();
    writeRows(folder.path(), start, 30, kMinute, 6);
    writeRows(folder.path(), start + 86400000LL, 30, kMinute, 7);
    const QString archive = folder.filePath(QStringLiteral("Archive"));
    const QDateTime later(QDate(2025, 1, 1), QTime(0, 0));
    ArchiveIndex index(archive);
    index.refresh(later);
    QCOMPARE(index.rowCount(), qint64(60));

    // An edit that keeps the length (a value in the middle changed): read again from the start.
    const QString path = archive + QLatin1Char('/') + archiveName(day);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    file.close();
    const int at = bytes.indexOf("\r\n", bytes.size() / 2) + 2 + 40;
    bytes[at] = bytes[at] == '9' ? '8' : '9';
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    // File times have a resolution; make sure this one differs.
    file.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
    const auto stats = index.refresh(later);
    QCOMPARE(stats.filesRead, 1);
    QCOMPARE(stats.filesReused, 1);
    QCOMPARE(index.rowCount(), qint64(60));

    QVERIFY(QFile::remove(path));
    const auto removed = index.refresh(later);
    QCOMPARE(removed.filesDropped, 1);
    QCOMPARE(index.rowCount(), qint64(30));
    QCOMPARE(index.firstTime(), start + 86400000LL);
}

void tst_ArchiveIndex::daylightSavingDays_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<int>("hours");
    QTest::newRow("clocks go forward") << QDate(2024, 3, 31) << 23;
    QTest::newRow("clocks go back") << QDate(2024, 10, 27) << 25;
    QTest::newRow("an ordinary day") << QDate(2024, 7, 1) << 24;
}

void tst_ArchiveIndex::daylightSavingDays()
{
    // A panel archiving every ten minutes through the change: every row has its own instant, in
    // order, and the day's file holds 23, 25 or 24 hours of them.
    QFETCH(QDate, day);
    QFETCH(int, hours);
    TempFolder folder;
    const qint64 start = QDateTime(day, QTime(0, 0)).toMSecsSinceEpoch();
    const qint64 end = QDateTime(day.addDays(1), QTime(0, 0)).toMSecsSinceEpoch();
    QCOMPARE((end - start) / 3600000, qint64(hours));
    writeRows(folder.path(), start, int((end - start) / kBucket), kBucket, 8);
    ArchiveIndex index(folder.filePath(QStringLiteral("Archive")));
    index.refresh(QDateTime(day.addDays(3), QTime(0, 0)));
    const auto files = index.files();
    QCOMPARE(files.size(), 1);
    QCOMPARE(files.first().rows, hours * 6);
    QCOMPARE(files.first().firstTime, start);
    QCOMPARE(files.first().lastTime, end - kBucket);
    // One row per bucket: none fell onto another's instant.
    const auto buckets = index.buckets(2, start, end);
    QCOMPARE(buckets.size(), hours * 6);
    for (const auto &b : buckets)
        QCOMPARE(b.second.count, quint32(1));
    QVector<qint64> times;
    index.readRows(start, end, [&](const ArchiveRow &r) { times.append(r.time); });
    QCOMPARE(times.size(), hours * 6);
    QVERIFY(std::is_sorted(times.cbegin(), times.cend()));
    QCOMPARE(std::adjacent_find(times.cbegin(), times.cend()), times.cend());
}

void tst_ArchiveIndex::missingDayIsAHole_data()
{
    QTest::addColumn<qint64>("span");
    QTest::addColumn<bool>("fromIndex");
    QTest::newRow("three days, read raw") << qint64(3 * 86400000LL) << false;
    QTest::newRow("a month, from the buckets") << qint64(30 * 86400000LL) << true;
}

void tst_ArchiveIndex::missingDayIsAHole()
{
    QFETCH(qint64, span);
    QFETCH(bool, fromIndex);
    TempFolder folder;
    const QDate first(2024, 11, 4);
    for (int d : {0, 2}) {
        const qint64 start = QDateTime(first.addDays(d), QTime(0, 0)).toMSecsSinceEpoch();
        writeRows(folder.path(), start, 1440, kMinute, 9 + d);
    }
    // Rows exactly at midnight belong to the new day's file: no hole there.
    const qint64 end = QDateTime(first.addDays(3), QTime(0, 0)).toMSecsSinceEpoch();
    HistoryStore store(folder.path());
    store.setClock([end] { return QDateTime::fromMSecsSinceEpoch(end + 3600000); });
    HistoryQuery query;
    query.from = end - span;
    query.to = end;
    query.parameters = {1, 2};
    query.pixels = 1000;
    const HistoryResult result = store.compute(query);
    QCOMPARE(result.fromIndex, fromIndex);
    QCOMPARE(result.series.size(), 2);
    for (const HistorySeries &s : result.series) {
        QCOMPARE(s.segments.size(), 2);
        const double hole = s.segments.at(1).first().x() - s.segments.at(0).last().x();
        QVERIFY2(hole > 86400000.0 - 2.0 * span / 1000 &&
                     hole < 86400000.0 + 2.0 * span / 1000 + kBucket,
                 qPrintable(QString::number(hole)));
    }
}

void tst_ArchiveIndex::storeDecimatesToThePixels()
{
    // However many rows a range holds, a line never carries more than two points per pixel, and
    // the extremes of the rows are the extremes of the line or its band.
    TempFolder folder;
    const qint64 start = QDateTime(QDate(2024, 8, 1), QTime(0, 0)).toMSecsSinceEpoch();
    const QVector<Row> data = writeRows(folder.path(), start, 40 * 1440, kMinute, 12);
    HistoryStore store(folder.path());
    store.setClock([] { return QDateTime(QDate(2030, 1, 1), QTime(0, 0)); });
    for (qint64 span : {86400000LL, 7 * 86400000LL, 40 * 86400000LL}) {
        for (int pixels : {300, 1200}) {
            HistoryQuery query;
            query.from = start;
            query.to = start + span - 1;
            query.parameters = {4};
            query.pixels = pixels;
            const HistoryResult result = store.compute(query);
            const HistorySeries &s = result.series.first();
            QVERIFY2(s.points() <= 2 * pixels,
                     qPrintable(QStringLiteral("%1 %2").arg(span).arg(pixels)));
            double low = 1e300, high = -1e300;
            for (const Row &r : data) {
                if (r.time >= query.from && r.time <= query.to) {
                    low = std::min(low, r.values.at(3));
                    high = std::max(high, r.values.at(3));
                }
            }
            QVERIFY(qFuzzyCompare(float(s.minimum), float(low)));
            QVERIFY(qFuzzyCompare(float(s.maximum), float(high)));
        }
    }
}

void tst_ArchiveIndex::bigFileIsReadInPieces()
{
    // A file far larger than a day's (a panel archiving every second, or a file that is not an
    // archive at all): read in pieces, rows across the piece boundaries intact, and a run of
    // junk without line ends counted once instead of held in memory.
    TempFolder folder;
    const QDate day(2024, 9, 9);
    const qint64 start = QDateTime(day, QTime(0, 0)).toMSecsSinceEpoch();
    QByteArray text = header();
    const int rows = 60000;
    int i = 0;
    // Rows up to shortly before the first piece ends, then junk across that end.
    for (; text.size() < (4 << 20) - 100 * 1024; ++i)
        text += row(start + i * 1000, {double(i % 977), 0.5});
    text += QByteArray(300 * 1024, 'x') + "\r\n";
    for (; i < rows; ++i)
        text += row(start + i * 1000, {double(i % 977), 0.5});
    QVERIFY(text.size() > (4 << 20) + 300 * 1024);
    append(folder.filePath(QStringLiteral("Archive/") + archiveName(day)), text);
    ArchiveIndex index(folder.filePath(QStringLiteral("Archive")));
    index.refresh(QDateTime(day.addDays(1), QTime(1, 0)));
    QCOMPARE(index.rowCount(), qint64(rows));
    QCOMPARE(index.garbageLines(), 1);
    int read = 0;
    double sum = 0;
    index.readRows(start, start + rows * 1000LL, [&](const ArchiveRow &r) {
        ++read;
        sum += r.values[0];
    });
    QCOMPARE(read, rows);
    double expected = 0;
    for (int i = 0; i < rows; ++i)
        expected += i % 977;
    QCOMPARE(sum, expected);
}

QTEST_GUILESS_MAIN(tst_ArchiveIndex)
#include "tst_archiveindex.moc"
