// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
//
// Project load and save times for generated projects of 50, 100 and 200 rooms with 50 controls
// each, and the peak memory of each run. Every size runs in a child process of its own so that the
// peak memory belongs to that size alone. Usage: bench_model [--size ROOMS]

#include "dynamiccontrolv1.h"
#include "floorstructv1.h"
#include "mainstructv1.h"
#include "projectwriterv1.h"
#include "roomstructv1.h"
#include "roomsv1.h"
#include "xmldocument.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <ctime>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

constexpr int kControlsPerRoom = 50;
constexpr int kRoomsPerFloor = 10;
constexpr int kRepeats = 7;
const int kKinds[] = {3, 4, 5, 6, 7, 8, 9, 100, 101, 102, 104, 105, 106, 107, 108, 109, 110};

// Writes a lighting project of `rooms` rooms (plus the other files a project has) into `folder`.
QStringList generateProject(const QString &folder, int rooms)
{
    MainStructV1 root;
    root.setSystemType(BaseRoomV1::LightSystem);
    root.setName(QStringLiteral("light"));
    root.setScenes({QStringLiteral("Evening"), QStringLiteral("Night")});
    FloorStructV1 *floor = nullptr;
    for (int r = 0; r < rooms; ++r) {
        if (r % kRoomsPerFloor == 0) {
            floor = root.createFloor(QStringLiteral("floor%1").arg(r / kRoomsPerFloor),
                                     QStringLiteral("Floor"), {10, 10});
            floor->setScenes({QStringLiteral("Scene 1"), QStringLiteral("Scene 2")});
        }
        RoomStructV1 *room = floor->createRoom(QStringLiteral("room%1").arg(r),
                                               QStringLiteral("Room %1").arg(r), {20.5, 30.25});
        room->setScenes({QStringLiteral("Scene 1"), QStringLiteral("Scene 2")});
        for (int c = 0; c < kControlsPerRoom; ++c) {
            const int kind = kKinds[c % (sizeof(kKinds) / sizeof(kKinds[0]))];
            BaseControlV1 *control = room->createControl(
                kind, QStringLiteral("c%1_%2").arg(r).arg(c), QStringLiteral("Control %1").arg(c),
                {c * 1.9, 100.0 - c * 1.7});
            if (auto *bound = dynamic_cast<DynamicControlV1 *>(control))
                bound->setByteAddress(1000 + 2 * c);
        }
    }
    const QStringList files{QStringLiteral("light_config.xml")};
    QFile file(folder + QStringLiteral("/light_config.xml"));
    if (file.open(QIODevice::WriteOnly))
        file.write(XmlDocument::toByteArray(ProjectWriterV1::buildTree(&root)));
    return files;
}

qint64 peakMemoryKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// CPU time of this thread in milliseconds: the machine is shared, and wall-clock time would
// measure the neighbours as much as the model.
double cpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The least disturbed of the repeats.
double fastest(const QList<double> &values)
{
    return *std::min_element(values.begin(), values.end());
}

// One size: prints "rooms controls load_ms save_ms peak_kib".
int runSize(int rooms)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return 2;
    const QStringList files = generateProject(dir.path(), rooms);
    QList<double> loads;
    QList<double> saves;
    for (int i = 0; i < kRepeats; ++i) {
#if defined(__GLIBC__)
        // Hand the previous round's freed memory back first, so that its consolidation is not
        // billed to this round's load.
        malloc_trim(0);
#endif
        RoomsV1 model;
        double start = cpuMilliseconds();
        model.load(dir.path(), files);
        loads << cpuMilliseconds() - start;
        for (BaseRoomV1 *page : model.pages())
            page->setModified(true);
        start = cpuMilliseconds();
        if (!model.save(dir.path()))
            return 3;
        saves << cpuMilliseconds() - start;
    }
    QTextStream(stdout) << rooms << ' ' << rooms * kControlsPerRoom << ' ' << fastest(loads) << ' '
                        << fastest(saves) << ' ' << peakMemoryKiB() << '\n';
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("--size"))
        return runSize(args.at(2).toInt());

    QTextStream out(stdout);
    out << "rooms  controls  load ms  save ms  peak MiB   (CPU time, fastest of " << kRepeats
        << ")\n";
    QMap<int, QStringList> results;
    for (int rooms : {50, 100, 200}) {
        QProcess child;
        child.start(app.applicationFilePath(), {QStringLiteral("--size"), QString::number(rooms)});
        if (!child.waitForFinished(600000) || child.exitCode() != 0) {
            out << "size " << rooms << " failed\n";
            return 2;
        }
        const QStringList fields =
            QString::fromLatin1(child.readAllStandardOutput()).simplified().split(QLatin1Char(' '));
        if (fields.size() != 5)
            return 2;
        results.insert(rooms, fields);
        out << qSetFieldWidth(5) << fields.at(0) << qSetFieldWidth(10) << fields.at(1)
            << qSetFieldWidth(9) << QString::number(fields.at(2).toDouble(), 'f', 1)
            << QString::number(fields.at(3).toDouble(), 'f', 1)
            << QString::number(fields.at(4).toDouble() / 1024, 'f', 1) << qSetFieldWidth(0) << '\n';
    }
    const double loadRatio = results[200].at(2).toDouble() / results[100].at(2).toDouble();
    const double saveRatio = results[200].at(3).toDouble() / results[100].at(3).toDouble();
    out << "200/100 rooms: load x" << QString::number(loadRatio, 'f', 2) << ", save x"
        << QString::number(saveRatio, 'f', 2)
        << (loadRatio <= 2.2 && saveRatio <= 2.2 ? " (linear)\n" : " (NOT linear)\n");
    return loadRatio <= 2.2 && saveRatio <= 2.2 ? 0 : 1;
}
