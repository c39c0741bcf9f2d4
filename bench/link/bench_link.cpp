// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
//
// How long the GUI thread stalls while it drives the controller link and the controller does not
// answer. Two cases on loopback: a controller that accepts connections and never answers, and
// one that is gone (nothing listens on the port). For each, the GUI thread switches room pages
// (setRoom / closeRoom) and sends commands the way screens do, while a 5 ms heartbeat timer on
// the same thread records the longest gap between its ticks. The link keeps its production
// timing (500 ms poll, 5000 ms answer wait). A first case without any link measures what the
// machine itself costs the heartbeat (scheduling on a busy machine), for comparison.
//
// On a machine shared with other work the heartbeat also waits whenever the scheduler runs
// something else. Linux counts that time per thread (run queue wait in schedstat); the figure
// "net of run-queue wait" subtracts it from each gap and so shows what the link costs the GUI
// thread on its own: time spent running our code or blocked in it.
//
// Usage: bench_link [seconds per case, default 30]

#include "boolcontrolv1.h"
#include "bytecontrolv1.h"
#include "controlerdata.h"
#include "lightcontrolv1.h"
#include "roomstructv1.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTcpServer>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace {

constexpr int kHeartbeatMs = 5;
constexpr int kDriveMs = 20; // one screen action every 20 ms
constexpr double kAimMs = 20.0;

// Nanoseconds this thread has waited on a run queue so far (0 where the kernel does not say).
qint64 runQueueWaitNs()
{
    QFile file(QStringLiteral("/proc/thread-self/schedstat"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = file.readAll().simplified().split(' ');
    return fields.size() >= 2 ? fields.at(1).toLongLong() : 0;
}

struct Figures
{
    QString name;
    int heartbeats = 0;
    double longestGapMs = 0;
    int gapsOverAim = 0;
    double longestNetGapMs = 0; // less the time spent waiting for a CPU
    int netGapsOverAim = 0;
    int actions = 0;
    double longestActionMs = 0;
    double shutdownMs = 0;
};

void buildRoom(RoomStructV1 &room)
{
    room.setSystemType(BaseRoomV1::LightSystem);
    room.setPageNumber(3);
    for (int i = 0; i < 12; ++i)
        room.createLight(QStringLiteral("lamp"), QString(), {})->setLmpNumber(i);
    for (int i = 0; i < 12; ++i)
        room.createBool({}, {}, {})->setByteAddress(2000 + 2 * i);
    for (int i = 0; i < 12; ++i)
        room.createByte({}, {}, {})->setByteAddress(3000 + 4 * i);
}

// port 0: no link at all, the heartbeat alone.
Figures run(const QString &name, quint16 port, int seconds)
{
    Figures f;
    f.name = name;
    RoomStructV1 room;
    buildRoom(room);
    RoomStructV1 other;
    buildRoom(other);
    other.setPageNumber(4);

    std::unique_ptr<ControlerData> link;
    if (port != 0) {
        link = std::make_unique<ControlerData>();
        link->setIpAdressAndPort(QStringLiteral("127.0.0.1"), port);
        link->setIpAdress2(QStringLiteral("127.0.0.1"));
        link->SetControlerOffset(0);
        link->start();
    }

    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    qint64 lastWait = runQueueWaitNs();
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const qint64 wait = runQueueWaitNs();
        const double gap = double(now - last) / 1e6;
        const double netGap = gap - double(wait - lastWait) / 1e6;
        last = now;
        lastWait = wait;
        ++f.heartbeats;
        f.longestGapMs = std::max(f.longestGapMs, gap);
        f.longestNetGapMs = std::max(f.longestNetGapMs, netGap);
        if (gap > kAimMs)
            ++f.gapsOverAim;
        if (netGap > kAimMs)
            ++f.netGapsOverAim;
    });

    QTimer drive;
    int step = 0;
    QObject::connect(&drive, &QTimer::timeout, [&] {
        if (!link)
            return;
        QElapsedTimer action;
        action.start();
        ControlerData *l = link.get();
        switch (step++ % 8) {
        case 0:
            QMetaObject::invokeMethod(l, "setRoom", Qt::QueuedConnection,
                                      Q_ARG(RoomSnapshot, makeRoomSnapshot(room)));
            break;
        case 1:
            QMetaObject::invokeMethod(l, "EnableLight", Qt::QueuedConnection, Q_ARG(int, 1));
            QMetaObject::invokeMethod(l, "ChangeLightBright", Qt::QueuedConnection, Q_ARG(int, 2),
                                      Q_ARG(int, 9));
            break;
        case 2:
            QMetaObject::invokeMethod(l, "SwitchLightClick", Qt::QueuedConnection, Q_ARG(int, 3));
            QMetaObject::invokeMethod(l, "BoolClick", Qt::QueuedConnection, Q_ARG(int, 13));
            break;
        case 3:
            QMetaObject::invokeMethod(l, "closeRoom", Qt::QueuedConnection);
            break;
        case 4:
            QMetaObject::invokeMethod(l, "setRoom", Qt::QueuedConnection,
                                      Q_ARG(RoomSnapshot, makeRoomSnapshot(other)));
            break;
        case 5:
            QMetaObject::invokeMethod(l, "SetActivators", Qt::QueuedConnection,
                                      Q_ARG(GActivators, GActivators()));
            QMetaObject::invokeMethod(l, "WriteGlobalScene", Qt::QueuedConnection, Q_ARG(int, 2));
            QMetaObject::invokeMethod(l, "GlobalOnActivate", Qt::QueuedConnection);
            break;
        case 6:
            QMetaObject::invokeMethod(l, "SetCurrentScenesRoom", Qt::QueuedConnection);
            break;
        default:
            // What the top bar and the screens read directly.
            (void)l->isReady();
            (void)l->controlerOffset();
            (void)l->getRequest();
            (void)l->activeAddress();
            break;
        }
        ++f.actions;
        f.longestActionMs = std::max(f.longestActionMs, double(action.nsecsElapsed()) / 1e6);
    });

    heartbeat.start(kHeartbeatMs);
    drive.start(kDriveMs);
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    drive.stop();

    // The main window's stop: the heartbeat keeps counting, so a slow shutdown shows.
    QElapsedTimer stop;
    stop.start();
    if (link)
        link->shutdown();
    f.shutdownMs = double(stop.nsecsElapsed()) / 1e6;
    heartbeat.stop();
    link.reset();
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 30;
    QTextStream out(stdout);

    // Accepts connections (the kernel completes them) and never reads or answers.
    QTcpServer silent;
    if (!silent.listen(QHostAddress::LocalHost)) {
        out << "cannot listen on 127.0.0.1\n";
        return 2;
    }
    silent.setMaxPendingConnections(1000);
    // A port that was free a moment ago and is closed now: every connection is refused.
    quint16 gonePort = 0;
    {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost)) {
            out << "cannot listen on 127.0.0.1\n";
            return 2;
        }
        gonePort = probe.serverPort();
    }

    QList<Figures> all;
    all.append(run(QStringLiteral("baseline, no link"), 0, seconds));
    all.append(run(QStringLiteral("silent controller"), silent.serverPort(), seconds));
    all.append(run(QStringLiteral("controller gone"), gonePort, seconds));

    out << "GUI thread while driving the link, " << seconds << " s per case, heartbeat "
        << kHeartbeatMs << " ms, aim: no gap over " << kAimMs << " ms\n";
    bool withinAim = true;
    for (const Figures &f : all) {
        out << QStringLiteral("%1: longest heartbeat gap %2 ms (%3 of %4 gaps over %5 ms), net of "
                              "run-queue wait %6 ms (%7 over); %8 screen actions, longest %9 ms; "
                              "shutdown %10 ms\n")
                   .arg(f.name)
                   .arg(f.longestGapMs, 0, 'f', 2)
                   .arg(f.gapsOverAim)
                   .arg(f.heartbeats)
                   .arg(kAimMs, 0, 'f', 0)
                   .arg(f.longestNetGapMs, 0, 'f', 2)
                   .arg(f.netGapsOverAim)
                   .arg(f.actions)
                   .arg(f.longestActionMs, 0, 'f', 3)
                   .arg(f.shutdownMs, 0, 'f', 1);
        if (!f.name.startsWith(QLatin1String("baseline")))
            withinAim = withinAim && f.longestGapMs <= kAimMs;
    }
    out << (withinAim ? "within the aim\n"
                      : "over the aim (compare with the baseline and the net figures: a busy "
                        "machine delays every thread)\n");
    return 0;
}
