// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The history on a year of archive at one row a minute (about 525 000 rows in 365 files):
//
//   bench_history [--folder DIR] [--runs N]
//
// writes the year (once; an existing folder is reused), then measures in fresh processes:
// reading the files with `cat` (the floor: no reader can be faster than getting the bytes),
// the first opening of the year view (no index yet: every file is read and the index written),
// and later openings (the index is read from its cache file). Each opening is a whole process so
// its peak resident memory (VmHWM) is its own. The files are in the page cache throughout, as on
// a panel that wrote them; the figures are wall-clock times of this machine.
//
//   bench_history --open DIR   (internal) one opening: prints "ms rows peak_kB"
#include "archiveindex.h"
#include "demohistory.h"
#include "historystore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

namespace {

qint64 peakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// One opening as the screen does it: the store brings the index up to date and answers the
// year at 1000 pixels for one parameter, then the day at the end of it (read from the files).
int openOnce(const QString &folder, const QDateTime &now)
{
    QElapsedTimer timer;
    timer.start();
    HistoryStore store(folder);
    store.setClock([now] { return now; });
    HistoryQuery year;
    year.to = now.toMSecsSinceEpoch();
    year.from = year.to - 365LL * 86400000;
    year.parameters = {1};
    year.pixels = 1000;
    const HistoryResult r = store.compute(year);
    const qint64 yearMs = timer.elapsed();
    HistoryQuery day = year;
    day.from = day.to - 86400000;
    timer.restart();
    const HistoryResult d = store.compute(day);
    const qint64 dayMs = timer.elapsed();
    QTextStream(stdout) << yearMs << ' ' << store.index().rowCount() << ' ' << peakKb() << ' '
                        << dayMs << ' ' << r.series.value(0).points() << ' '
                        << d.series.value(0).points() << '\n';
    return 0;
}

struct Opening
{
    double ms = 0;
    qint64 rows = 0;
    qint64 peakKb = 0;
    double dayMs = 0;
    int yearPoints = 0;
    int dayPoints = 0;
};

Opening runOpening(const QString &folder, const QDateTime &now)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--open"), folder, QString::number(now.toMSecsSinceEpoch())});
    child.waitForFinished(-1);
    const QList<QByteArray> f = child.readAllStandardOutput().trimmed().split(' ');
    Opening o;
    o.ms = f.value(0).toDouble();
    o.rows = f.value(1).toLongLong();
    o.peakKb = f.value(2).toLongLong();
    o.dayMs = f.value(3).toDouble();
    o.yearPoints = f.value(4).toInt();
    o.dayPoints = f.value(5).toInt();
    return o;
}

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("--open"))
        return openOnce(args.value(2), QDateTime::fromMSecsSinceEpoch(args.value(3).toLongLong()));

    QTextStream out(stdout);
    QTemporaryDir temporary;
    QString folder = temporary.path();
    int runs = 5;
    for (int i = 1; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--folder"))
            folder = args.value(++i);
        else if (args.at(i) == QLatin1String("--runs"))
            runs = std::max(1, args.value(++i).toInt());
    }
    // A fixed end keeps the files the same from run to run.
    const QDateTime now(QDate(2025, 6, 30), QTime(23, 59, 0));
    const QString archive = QDir(folder).filePath(QStringLiteral("Archive"));
    if (QDir(archive).entryList({QStringLiteral("Out_*.csv")}).size() < 365) {
        QList<DemoHistory::Record> parameters;
        for (int id = 1; id <= 16; ++id)
            parameters.append({id, QStringLiteral("Parameter %1").arg(id), -50, 1100});
        QStringList captions{QStringLiteral("Program time"), QStringLiteral("Controller time")};
        for (int id = 1; id <= 16; ++id)
            captions << QStringLiteral("Parameter %1").arg(id);
        DemoHistory::Plan plan;
        plan.end = now;
        plan.days = 365;
        plan.intervalSecs = 60;
        plan.fineDays = 0;
        plan.alarms = false;
        QElapsedTimer timer;
        timer.start();
        const DemoHistory::Written w =
            DemoHistory::write(folder, parameters, {}, captions, {}, plan);
        out << "generated " << w.rows << " rows, " << w.files << " files, "
            << QString::number(w.bytes / 1e6, 'f', 1) << " MB in "
            << QString::number(timer.elapsed() / 1000.0, 'f', 1) << " s\n";
    }
    const QStringList files =
        QDir(archive).entryList({QStringLiteral("Out_*.csv")}, QDir::Files, QDir::Name);
    qint64 bytes = 0;
    for (const QString &f : files)
        bytes += QFileInfo(QDir(archive).filePath(f)).size();
    out << "folder " << folder << ": " << files.size() << " files, "
        << QString::number(bytes / 1e6, 'f', 1) << " MB\n";
    out.flush();

    QVector<double> cat;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        p.setWorkingDirectory(archive);
        p.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        p.start(QStringLiteral("cat"), files);
        p.waitForFinished(-1);
        cat.append(timer.elapsed());
    }
    out << "cat of the files (floor):      " << median(cat) << " ms\n";

    QVector<double> first, firstPeak, later, laterPeak, day;
    Opening o;
    for (int i = 0; i < runs; ++i) {
        QFile::remove(QDir(archive).filePath(QStringLiteral("history.idx")));
        o = runOpening(folder, now);
        first.append(o.ms);
        firstPeak.append(o.peakKb);
        for (int j = 0; j < 2; ++j) {
            const Opening l = runOpening(folder, now);
            later.append(l.ms);
            laterPeak.append(l.peakKb);
            day.append(l.dayMs);
        }
    }
    const qint64 cacheBytes =
        QFileInfo(QDir(archive).filePath(QStringLiteral("history.idx"))).size();
    out << "rows indexed:                   " << o.rows << "\n";
    out << "first opening, year view:       " << median(first) << " ms, peak "
        << qint64(median(firstPeak)) / 1024 << " MB\n";
    out << "later opening, year view:       " << median(later) << " ms, peak "
        << qint64(median(laterPeak)) / 1024 << " MB\n";
    out << "then the last day (raw rows):   " << median(day) << " ms\n";
    out << "points drawn: year " << o.yearPoints << ", day " << o.dayPoints << "\n";
    out << "index cache file:               " << QString::number(cacheBytes / 1e6, 'f', 1)
        << " MB\n";
    return 0;
}
