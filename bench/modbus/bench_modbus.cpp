// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// One poll tick of a room with 100 controller-bound controls spread over 2000 bytes of controller
// memory, against the libmodbus fake controller on loopback: how many read requests the tick
// makes (it must be the fewest windows of at most 248 bytes that hold every control), and its
// wall time next to a plain libmodbus client reading the same blocks in the same run.
//
// Timing on a shared machine is noisy, so the two are interleaved in many short rounds (which
// goes first alternates), a few warm-up rounds are dropped, and the minimum (the least disturbed
// round) is reported next to the median and the quartiles. The ratio of the minima moves by less
// than a few per cent between runs on a quiet machine; compare that one across builds.
//
//   bench_modbus [--rounds N] [--ticks N]     (defaults 41 rounds of 20 ticks each)
#include "boolcontrolv1.h"
#include "bytecontrolv1.h"
#include "controlerdata.h"
#include "fakecontroller.h"
#include "lightcontrolv1.h"
#include "roomstructv1.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <modbus.h>
#include <random>

namespace {

constexpr int kControls = 100;
constexpr int kSpreadBytes = 2000;
constexpr int kDefaultTicks = 20;
constexpr int kDefaultRounds = 41;
constexpr int kWarmUpRounds = 3;
constexpr int kWindowRegisters = 124;

struct Span
{
    int first; // first register
    int end;   // one past the last register
};

// The fewest windows of kWindowRegisters registers such that every control lies wholly inside one
// of them. A window start w serves a control when end - 124 <= w <= first: each control allows an
// interval of starts, and the fewest points meeting every interval are found greedily by the
// right ends. Independent of the link's own planner on purpose.
int fewestWindows(QList<Span> spans)
{
    std::sort(spans.begin(), spans.end(),
              [](const Span &a, const Span &b) { return a.first < b.first; });
    int windows = 0;
    int point = -1;
    for (const Span &s : spans) {
        if (windows > 0 && s.end - kWindowRegisters <= point && point <= s.first)
            continue;
        point = s.first;
        ++windows;
    }
    return windows;
}

struct Spread
{
    double minimum = 0;
    double lowerQuartile = 0;
    double median = 0;
    double upperQuartile = 0;
};

Spread spreadOf(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return {values.first(), values.at(n / 4), values.at(n / 2), values.at((3 * n) / 4)};
}

QString describe(const Spread &s, int decimals)
{
    return QStringLiteral("min %1, median %2 (quartiles %3 .. %4)")
        .arg(s.minimum, 0, 'f', decimals)
        .arg(s.median, 0, 'f', decimals)
        .arg(s.lowerQuartile, 0, 'f', decimals)
        .arg(s.upperQuartile, 0, 'f', decimals);
}

int optionValue(const QStringList &args, const QString &name, int fallback, int low, int high)
{
    const int at = args.indexOf(name);
    if (at < 0 || at + 1 >= args.size())
        return fallback;
    bool ok = false;
    const int v = args.at(at + 1).toInt(&ok);
    return ok ? qBound(low, v, high) : fallback;
}

template<typename F> void inLinkThread(QObject *link, F f)
{
    QMetaObject::invokeMethod(link, f, Qt::BlockingQueuedConnection);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int rounds =
        optionValue(app.arguments(), QStringLiteral("--rounds"), kDefaultRounds, 3, 10000);
    const int ticks =
        optionValue(app.arguments(), QStringLiteral("--ticks"), kDefaultTicks, 1, 10000);

    FakeController controller;
    if (!controller.start(QStringLiteral("127.0.0.1"))) {
        out << "cannot start the fake controller\n";
        return 2;
    }

    // Lamps (8 bytes), bits (2) and bytes (4), at random addresses in 0..2000.
    RoomStructV1 room;
    room.setSystemType(BaseRoomV1::HeatSystem); // no lamp room-number write-back in the timing
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> address(0, kSpreadBytes - 8);
    QList<Span> spans;
    for (int i = 0; i < kControls; ++i) {
        DynamicControlV1 *control = nullptr;
        switch (i % 3) {
        case 0:
            control = room.createLight({}, {}, {});
            break;
        case 1:
            control = room.createBool({}, {}, {});
            break;
        default:
            control = room.createByte({}, {}, {});
            break;
        }
        control->setByteAddress(address(random));
        const int first = control->byteAddress() / 2;
        spans.append({first, first + (control->fetchLength() + 1) / 2});
    }
    QByteArray image;
    for (int i = 0; i < kSpreadBytes + 120; ++i)
        image.append(char(i * 13));
    controller.setBytes(0, image);

    ControlerData link;
    link.setIpAdressAndPort(QStringLiteral("127.0.0.1"), controller.port());
    link.setIpAdress2(QStringLiteral("127.0.0.1"));
    link.SetControlerOffset(0);
    link.SetUpdateTimeout(2000);
    link.start();
    for (int i = 0; i < 500 && controller.connectionCount() == 0; ++i)
        QThread::msleep(10);
    inLinkThread(&link, [&] { link.stopMainTimer(); });
    QMetaObject::invokeMethod(&link, "setRoom", Q_ARG(RoomSnapshot, makeRoomSnapshot(room)));
    QList<SubsUpdate> blocks;
    inLinkThread(&link, [&] {
        link.TimerCNT();
        blocks = link.getRequest();
    });
    if (!link.isReady() || blocks.isEmpty()) {
        out << "the link did not poll\n";
        return 2;
    }

    controller.clearRequests();
    inLinkThread(&link, [&] { link.TimerCNT(); });
    const int reads = controller.requests(3).size() - 1; // less the status block
    const int minimum = fewestWindows(spans);

    modbus_t *client = modbus_new_tcp("127.0.0.1", controller.port());
    if (!client || modbus_connect(client) != 0) {
        out << "libmodbus client cannot connect\n";
        return 2;
    }
    uint16_t registers[kWindowRegisters + 1];
    QList<double> linkTimes;
    QList<double> plainTimes;
    QList<double> ratios;
    QElapsedTimer timer;
    const auto linkRound = [&] {
        timer.start();
        for (int i = 0; i < ticks; ++i)
            inLinkThread(&link, [&] { link.TimerCNT(); });
        const double ms = double(timer.nsecsElapsed()) / 1e6 / ticks;
        QCoreApplication::processEvents(); // drop the queued answers
        return ms;
    };
    const auto plainRound = [&] {
        timer.start();
        for (int i = 0; i < ticks; ++i) {
            modbus_read_registers(client, 0, 30, registers);
            for (const SubsUpdate &block : qAsConst(blocks))
                modbus_read_registers(client, block.start, block.end - block.start, registers);
        }
        return double(timer.nsecsElapsed()) / 1e6 / ticks;
    };
    for (int round = 0; round < kWarmUpRounds + rounds; ++round) {
        // Which one runs first alternates, so a disturbance that tends to hit the start or the
        // end of a round does not always land on the same side.
        double linkMs = 0;
        double plainMs = 0;
        if (round % 2 == 0) {
            linkMs = linkRound();
            plainMs = plainRound();
        } else {
            plainMs = plainRound();
            linkMs = linkRound();
        }
        if (round < kWarmUpRounds)
            continue;
        linkTimes.append(linkMs);
        plainTimes.append(plainMs);
        ratios.append(linkMs / plainMs);
    }
    modbus_close(client);
    modbus_free(client);
    link.shutdown();
    const Spread linkSpread = spreadOf(linkTimes);
    const Spread plainSpread = spreadOf(plainTimes);
    const Spread ratioSpread = spreadOf(ratios);

    out << "controls: " << kControls << " over " << kSpreadBytes << " bytes\n"
        << "read requests per tick (room blocks): " << reads << "\n"
        << "fewest windows of 248 bytes: " << minimum << "\n"
        << rounds << " interleaved rounds of " << ticks << " ticks (after " << kWarmUpRounds
        << " warm-up rounds), " << (blocks.size() + 1) << " reads per tick\n"
        << "tick wall time, link:     " << describe(linkSpread, 3) << " ms\n"
        << "tick wall time, libmodbus: " << describe(plainSpread, 3) << " ms\n"
        << "ratio link / libmodbus per round: " << describe(ratioSpread, 2) << "\n"
        << "ratio of the minima: "
        << QString::number(linkSpread.minimum / plainSpread.minimum, 'f', 2) << "\n";
    return reads == minimum ? 0 : 1;
}
