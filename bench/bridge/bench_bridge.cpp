// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
//
// The MQTT bridge end to end, on loopback: a Mosquitto broker and the controller simulator, both
// started here, and a generated project (verandix-benchgen, 150 rooms of 10 controls) that gives
// some 700 published entities.
//  1. controller change -> published state: a lamp is switched at the simulator and the time
//     until its state topic arrives at a separate MQTT client is taken, over N trials;
//  2. MQTT command -> controller write: a separate client publishes ON/OFF and the time until
//     the simulator reports the lamp's write is taken, over N trials;
//  3. Modbus requests per background round against the fewest block reads that cover every
//     published window (computed here independently of the link's planner), on a link of the
//     bridge's own and as the background set of a panel's link;
//  4. memory (RSS) and CPU time of this process while it bridges the whole set.
//
// Usage: bench_bridge [trials, default 50] [poll ms for 1., default 500] [seconds for 4., default
// 30]

#include "baseroomv1.h"
#include "bridgecatalog.h"
#include "bridgesettings.h"
#include "brokerprocess.h"
#include "controlconstants.h"
#include "controlerdata.h"
#include "eappsettings.h"
#include "mqttbridge.h"
#include "mqttclient.h"
#include "roomsnapshot.h"
#include "roomsv1.h"
#include "simulatorprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <sys/resource.h>

namespace {

QTextStream out(stdout);

struct Stats
{
    double median = 0;
    double worst = 0;
    int count = 0;
};

Stats stats(QVector<double> v)
{
    Stats s;
    s.count = v.size();
    if (v.isEmpty())
        return s;
    std::sort(v.begin(), v.end());
    s.median = v.at(v.size() / 2);
    s.worst = v.last();
    return s;
}

// Runs the event loop (queued signals of the bridge and the MQTT client) until `done` or the
// timeout; the simulator's output is read as it comes.
template<typename F> bool pump(SimulatorProcess &sim, F done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        sim.process().waitForReadyRead(1);
        if (done())
            return true;
    }
    return false;
}

qint64 rssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The fewest reads of at most `maxBytes` bytes that cover every window: windows sorted by
// start; a read starts at the first window not yet covered and takes every window that ends
// within its limit (greedy is optimal for covering intervals with fixed-length ones).
int fewestReads(QList<SubsUpdateItem> windows, int maxBytes)
{
    std::sort(windows.begin(), windows.end(), [](const SubsUpdateItem &a, const SubsUpdateItem &b) {
        return a.registerNumber < b.registerNumber;
    });
    int reads = 0;
    int start = -1;
    for (const SubsUpdateItem &w : qAsConst(windows)) {
        const int end = w.registerNumber + (w.fetchLength + 1) / 2;
        if (start < 0 || (end - start) * 2 > maxBytes) {
            ++reads;
            start = w.registerNumber;
        }
    }
    return reads;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int trials = argc > 1 ? qMax(1, atoi(argv[1])) : 50;
    const int pollMs = argc > 2 ? qBound(100, atoi(argv[2]), 2000) : 500;
    const int loadSeconds = argc > 3 ? qMax(1, atoi(argv[3])) : 30;
    if (!BrokerProcess::available()) {
        out << "bench_bridge: mosquitto is not installed\n";
        return 2;
    }
    registerControllerTypes();

    QTemporaryDir dir;
    QProcess gen;
    gen.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    gen.start(QStringLiteral(BENCHGEN_PATH),
              {QStringLiteral("--rooms"), QStringLiteral("150"), QStringLiteral("--controls"),
               QStringLiteral("10"), QStringLiteral("--out"), dir.path()});
    if (!gen.waitForFinished(120000) || gen.exitCode() != 0) {
        out << "bench_bridge: verandix-benchgen failed\n";
        return 1;
    }
    EAppSettings settings;
    RoomsV1 rooms;
    settings.load(QDir(dir.path()).filePath(QStringLiteral("config.xml")));
    QStringList files = QDir(dir.path()).entryList({QStringLiteral("*_config.xml")}, QDir::Files);
    rooms.load(dir.path(), files);

    SimulatorProcess sim(QStringLiteral(HOMESIM_PATH));
    BrokerProcess broker;
    if (!sim.start() || !broker.start()) {
        out << "bench_bridge: cannot start the simulator or the broker\n";
        return 1;
    }

    BridgeSettings s;
    s.host = QStringLiteral("127.0.0.1");
    s.port = broker.port();
    s.clientId = QStringLiteral("bench");
    s.pollMs = pollMs;
    MqttBridge bridge(s);
    bridge.setProject(rooms, settings);
    ControlerData link;
    link.configure(settings, false);
    link.setIpAdressAndPort(QStringLiteral("127.0.0.1"), sim.port());
    link.setIpAdress2(QStringLiteral("127.0.0.1"));
    link.SetUpdateTimeout(pollMs);
    bridge.attach(&link, &link.commands());
    link.start();
    const RoomSnapshot snapshot = bridge.pollSnapshot();
    link.commands().setRoom(snapshot);
    bool announced = false;
    QObject::connect(&bridge, &MqttBridge::announced, [&announced] { announced = true; });
    bridge.start();

    // A separate client: what a hub sees, and where its commands come from.
    BridgeSettings hubSettings = s;
    hubSettings.clientId = QStringLiteral("bench-hub");
    MqttClient hub;
    QHash<QString, QByteArray> last;
    QElapsedTimer clock;
    clock.start();
    qint64 lastArrival = 0;
    QObject::connect(&hub, &MqttClient::messageReceived,
                     [&](const QString &topic, const QByteArray &payload) {
                         last.insert(topic, payload);
                         lastArrival = clock.nsecsElapsed();
                     });
    bool hubUp = false;
    QObject::connect(&hub, &MqttClient::connected, [&] {
        hub.subscribe(QStringLiteral("verandix/bench/+/state"));
        hubUp = true;
    });
    hub.start(hubSettings, QString(), QByteArray());
    const QString lampState = QStringLiteral("verandix/bench/lamp_3/state");
    if (!pump(
            sim, [&] { return announced && hubUp && last.contains(lampState); }, 20000)) {
        out << "bench_bridge: the bridge did not come up\n";
        return 1;
    }

    out << "bench_bridge: " << bridge.publishedCount() << " entities, " << snapshot.controls.size()
        << " polled records, " << trials << " trials\n\n";

    // 1. Controller change -> published state. Lamp 3's record byte 0 is at 612 + 8 * 3.
    QVector<double> change;
    bool on = last.value(lampState) == "ON";
    for (int i = 0; i < trials; ++i) {
        on = !on;
        const QByteArray want = on ? "ON" : "OFF";
        const qint64 t0 = clock.nsecsElapsed();
        sim.send(QByteArray("set byte 636 ") + (on ? "1" : "0") + '\n');
        if (pump(
                sim, [&] { return last.value(lampState) == want; }, 10000))
            change.append((lastArrival - t0) / 1e6);
    }
    const Stats c = stats(change);
    out << QStringLiteral("controller change -> published state (poll %1 ms): median %2 ms, "
                          "worst %3 ms, %4 of %5 arrived\n")
               .arg(pollMs)
               .arg(c.median, 0, 'f', 1)
               .arg(c.worst, 0, 'f', 1)
               .arg(c.count)
               .arg(trials);

    // 2. MQTT command -> controller write, seen in the simulator's log.
    QVector<double> command;
    for (int i = 0; i < trials; ++i) {
        on = !on;
        const int from = sim.output().size();
        const QString expect = on ? QStringLiteral("lamp 4: on") : QStringLiteral("lamp 4: off");
        const qint64 t0 = clock.nsecsElapsed();
        hub.publish(QStringLiteral("verandix/bench/lamp_4/set"), on ? "ON" : "OFF", false, 0);
        const bool ok = pump(
            sim,
            [&] {
                const QStringList lines = sim.output();
                for (int k = from; k < lines.size(); ++k) {
                    if (lines.at(k).contains(expect))
                        return true;
                }
                return false;
            },
            10000);
        if (ok)
            command.append((clock.nsecsElapsed() - t0) / 1e6);
    }
    const Stats m = stats(command);
    out << QStringLiteral("MQTT command -> register written: median %1 ms, worst %2 ms, %3 of %4\n")
               .arg(m.median, 0, 'f', 1)
               .arg(m.worst, 0, 'f', 1)
               .arg(m.count)
               .arg(trials);

    // 3. Requests per round.
    const int offset = link.controlerOffset();
    const QList<SubsUpdateItem> windows = snapshot.windows(offset);
    const int planned = link.getRequest().size();
    out << QStringLiteral("Modbus requests per background round: %1 (status block + %2 block "
                          "reads) for %3 windows; fewest covering reads: %4\n")
               .arg(planned + 1)
               .arg(planned)
               .arg(windows.size())
               .arg(fewestReads(windows, ControlConstants::kMaxBlockBytes));

    // 3b. The same set as the background set of a panel's link (as with mqtt_host set in the
    // panel): block reads per background round; the status block is the tick's own.
    {
        ControlerData panel;
        panel.configure(settings, false);
        panel.setIpAdressAndPort(QStringLiteral("127.0.0.1"), sim.port());
        panel.setIpAdress2(QStringLiteral("127.0.0.1"));
        panel.SetUpdateTimeout(pollMs);
        QObject sink;
        int roundReads = -1;
        QObject::connect(
            &panel, &ControlerData::ReadyUpdateBackground, &sink,
            [&roundReads](const QList<SubsUpdate> &answer, int) { roundReads = answer.size(); });
        panel.start();
        panel.setBackground(snapshot, pollMs);
        pump(
            sim, [&] { return roundReads >= 0; }, 20000);
        out << QStringLiteral("Modbus requests per background round on the panel's link: %1 block "
                              "reads for %2 windows; fewest covering reads: %3\n")
                   .arg(roundReads)
                   .arg(windows.size())
                   .arg(fewestReads(windows, ControlConstants::kMaxBlockBytes));
        panel.shutdown();
    }

    // 4. Memory and CPU while bridging at the default period.
    link.SetUpdateTimeout(BridgeSettings::kDefaultPollMs);
    const double cpu0 = cpuSeconds();
    const qint64 rss0 = rssKb();
    QElapsedTimer wall;
    wall.start();
    pump(
        sim, [] { return false; }, loadSeconds * 1000);
    const double cpu = cpuSeconds() - cpu0;
    out << QStringLiteral("bridging %1 entities for %2 s at %3 ms: CPU %4 s (%5 %), RSS %6 MB "
                          "(%7 MB at the start of the run)\n")
               .arg(bridge.publishedCount())
               .arg(loadSeconds)
               .arg(BridgeSettings::kDefaultPollMs)
               .arg(cpu, 0, 'f', 2)
               .arg(100.0 * cpu / (wall.elapsed() / 1000.0), 0, 'f', 2)
               .arg(rssKb() / 1024.0, 0, 'f', 1)
               .arg(rss0 / 1024.0, 0, 'f', 1);

    hub.stop();
    bridge.stop();
    link.shutdown();
    return 0;
}
