// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The simulator as a program, checked through independent clients: libmodbus, raw frames on a
// plain socket, and mbpoll.
#include "homesimconstants.h"
#include "simulatorprocess.h"

#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <modbus.h>

#include <algorithm>
#include <cerrno>
#include <memory>

using namespace HomeSim;

namespace {

constexpr int kOffset = 0x1F4;
constexpr int kStartTimeoutMs = 10000;

// One simulator process on a free loopback port, with the test configuration unless told
// otherwise; always stopped when the object goes away, also when a check failed half-way.
class SimProcess : public SimulatorProcess
{
public:
    SimProcess() : SimulatorProcess(QStringLiteral(HOMESIM_PATH)) {}

    bool start(const QStringList &extra, bool withConfig = true)
    {
        QStringList args;
        if (withConfig)
            args << QStringLiteral("--config") << QFINDTESTDATA("data/config");
        return SimulatorProcess::start(args + extra, kStartTimeoutMs);
    }
};

struct ModbusDeleter
{
    void operator()(modbus_t *ctx) const
    {
        modbus_close(ctx);
        modbus_free(ctx);
    }
};
using Client = std::unique_ptr<modbus_t, ModbusDeleter>;

Client connectTo(int port)
{
    Client ctx(modbus_new_tcp("127.0.0.1", port));
    if (!ctx)
        return nullptr;
    modbus_set_response_timeout(ctx.get(), 2, 0);
    if (modbus_connect(ctx.get()) != 0)
        return nullptr;
    return ctx;
}

// The little-endian byte image the panel works with, read from word `word` on.
QByteArray readImage(modbus_t *ctx, int word, int registers, int function = 3)
{
    QVector<uint16_t> regs(registers);
    const int rc = function == 4
                       ? modbus_read_input_registers(ctx, kOffset + word, registers, regs.data())
                       : modbus_read_registers(ctx, kOffset + word, registers, regs.data());
    if (rc != registers)
        return QByteArray();
    QByteArray image;
    for (uint16_t r : regs) {
        image.append(char(r & 0xFF));
        image.append(char(r >> 8));
    }
    return image;
}

int readByte(modbus_t *ctx, int address)
{
    const QByteArray image = readImage(ctx, address / 2, 1);
    return image.size() == 2 ? quint8(image.at(address % 2)) : -1;
}

quint32 readDword(modbus_t *ctx, int address)
{
    const QByteArray b = readImage(ctx, address / 2, 2);
    if (b.size() != 4)
        return 0;
    return quint8(b[0]) | quint8(b[1]) << 8 | quint8(b[2]) << 16 | quint32(quint8(b[3])) << 24;
}

// Writes bytes at an even byte address, two per register, low byte first.
bool writeImage(modbus_t *ctx, int address, const QByteArray &bytes)
{
    Q_ASSERT(address % 2 == 0 && bytes.size() % 2 == 0);
    QVector<uint16_t> regs;
    for (int i = 0; i < bytes.size(); i += 2)
        regs.append(uint16_t(quint8(bytes.at(i)) | quint8(bytes.at(i + 1)) << 8));
    return modbus_write_registers(ctx, kOffset + address / 2, regs.size(), regs.data()) ==
           regs.size();
}

QByteArray dwordBytes(quint32 v)
{
    QByteArray bytes;
    for (int i = 0; i < 4; ++i)
        bytes.append(char(v >> (8 * i)));
    return bytes;
}

int lampAddress(int n)
{
    return kLampBase + kLampRecordBytes * n;
}

} // namespace

class tst_HomeSimServer : public QObject
{
    Q_OBJECT

private slots:
    void statusBlockAtOffset_data();
    void statusBlockAtOffset();
    void lampWritesReadBack();
    void controlChannelEvents();
    void globalSceneSavedAndRecalled();
    void thermostatMovesUnderSpeed();
    void keypadStateMachine();
    void clockAfterSynchronisation();
    void severalClientsAtOnce();
    void writeLimit_data();
    void writeLimit();
    void notModbusIsDropped();
    void mbpollReadsAndWrites();
    void scenarioFaults_data();
    void scenarioFaults();
    void badOptions_data();
    void badOptions();
    void stopsCleanly_data();
    void stopsCleanly();
};

void tst_HomeSimServer::statusBlockAtOffset_data()
{
    QTest::addColumn<int>("function");
    QTest::newRow("function 3") << 3;
    QTest::newRow("function 4") << 4;
}

void tst_HomeSimServer::statusBlockAtOffset()
{
    QFETCH(int, function);
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--quiet")}));
    Client ctx = connectTo(sim.port());
    QVERIFY(ctx);
    const QByteArray block = readImage(ctx.get(), 0, kStatusBlockBytes / 2, function);
    QCOMPARE(block.size(), kStatusBlockBytes);
    QCOMPARE(quint8(block.at(kStatusAlarmCount)), kNoAlarms);
    QCOMPARE(int(block.at(kStatusSecurityState)), Security::Disarmed);
    const quint32 clock = quint8(block[40]) | quint8(block[41]) << 8 | quint8(block[42]) << 16 |
                          quint32(quint8(block[43])) << 24;
    QVERIFY(clock > 1600000000u); // a present-day controller clock, not zero
    // Nothing below the offset: the request is answered with an exception.
    uint16_t reg = 0;
    QCOMPARE(modbus_read_registers(ctx.get(), kOffset - 1, 1, &reg), -1);
    QCOMPARE(errno, int(EMBXILADD));
    // The connection survives the exception, and both functions read one image.
    QCOMPARE(readImage(ctx.get(), kThermostatBase / 2 + 2, 2, 3),
             readImage(ctx.get(), kThermostatBase / 2 + 2, 2, 4));
}

void tst_HomeSimServer::lampWritesReadBack()
{
    SimProcess sim;
    QVERIFY(sim.start({}));
    Client ctx = connectTo(sim.port());
    QVERIFY(ctx);
    const int a = lampAddress(2);
    QVERIFY(writeImage(ctx.get(), a, QByteArray::fromHex("5103000002050000")));
    QCOMPARE(readImage(ctx.get(), a / 2, 4), QByteArray::fromHex("5103000002050000"));
    QVERIFY(writeImage(ctx.get(), a, QByteArray::fromHex("a003")));
    QCOMPARE(readByte(ctx.get(), a), 0xA0);
    QCOMPARE(readByte(ctx.get(), a + 5), 5);
    QTRY_VERIFY(sim.logged(QStringLiteral("lamp 2: off, brightness 10$")));
}

void tst_HomeSimServer::controlChannelEvents()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--hold"), QStringLiteral("2")}));
    Client ctx = connectTo(sim.port());
    QVERIFY(ctx);
    // Lamp 1 on switch 3; lamp 3 under sensor control of sensor 2.
    QVERIFY(writeImage(ctx.get(), lampAddress(1), QByteArray::fromHex("0003000000050000")));
    QVERIFY(writeImage(ctx.get(), lampAddress(3), QByteArray::fromHex("0200000002060000")));

    sim.send("switch 3");
    QTRY_COMPARE(readByte(ctx.get(), lampAddress(1)), 0x01);
    sim.send("switch 3");
    QTRY_COMPARE(readByte(ctx.get(), lampAddress(1)), 0x00);
    sim.send("motion 2");
    QTRY_COMPARE(readByte(ctx.get(), lampAddress(3)), 0x03);
    // After the two-second hold the lamp goes off again, the sensor flag stays.
    QTRY_COMPARE(readByte(ctx.get(), lampAddress(3)), 0x02);
    sim.send("nonsense 1");
    QTRY_VERIFY(sim.logged(QStringLiteral("control: unknown event")));
    sim.send("alarm on 7 1 2");
    QTRY_COMPARE(readByte(ctx.get(), kStatusAlarmCount), 1);
    QCOMPARE(readByte(ctx.get(), kStatusSoundNumber), 2);
}

void tst_HomeSimServer::globalSceneSavedAndRecalled()
{
    SimProcess sim;
    QVERIFY(sim.start({}));
    Client ctx = connectTo(sim.port());
    QVERIFY(ctx);
    QVERIFY(writeImage(ctx.get(), lampAddress(1), QByteArray::fromHex("7100")));
    QVERIFY(writeImage(ctx.get(), lampAddress(2), QByteArray::fromHex("0000")));
    QVERIFY(writeImage(ctx.get(), lampAddress(3), QByteArray::fromHex("a100")));
    // Save into global scene 2 the way the panel does: read, change byte 1, write words 8-9.
    QVERIFY(writeImage(ctx.get(), 2 * kLightCommandWord, QByteArray::fromHex("00020000")));
    QCOMPARE(readDword(ctx.get(), 2 * kLightCommandWord), 0u); // acknowledged
    QVERIFY(
        writeImage(ctx.get(), 2 * kLightCommandWord, QByteArray::fromHex("65000000"))); // all off
    QCOMPARE(readByte(ctx.get(), lampAddress(1)), 0x70);
    QCOMPARE(readByte(ctx.get(), lampAddress(3)), 0xA0);
    QVERIFY(writeImage(ctx.get(), 2 * kLightCommandWord, QByteArray::fromHex("02000000")));
    QCOMPARE(readByte(ctx.get(), lampAddress(1)), 0x71);
    QCOMPARE(readByte(ctx.get(), lampAddress(2)), 0x00);
    QCOMPARE(readByte(ctx.get(), lampAddress(3)), 0xA1);
    QCOMPARE(readDword(ctx.get(), 2 * kLightCommandWord), 0u);

    // Scene texts and global scene definitions read back as written, in the controller's order.
    QVERIFY(writeImage(ctx.get(), 2 * (kSceneAreaWord + 8 * 2), QByteArray("Evening\0", 8)));
    const QByteArray definition = QByteArray::fromHex("0102030405060a0809");
    QVERIFY(writeImage(ctx.get(), 2 * (110 + 5 * 7), definition + char(7)));
    QCOMPARE(readImage(ctx.get(), kSceneAreaWord, kSceneAreaBytes / 2).mid(32, 8),
             QByteArray("Evening\0", 8));
    QCOMPARE(readImage(ctx.get(), kSceneAreaWord, kSceneAreaBytes / 2).mid(160 + 70, 10),
             definition + char(7));
}

void tst_HomeSimServer::thermostatMovesUnderSpeed()
{
    SimProcess sim;
    QVERIFY(
        sim.start({QStringLiteral("--speed"), QStringLiteral("400"), QStringLiteral("--quiet")}));
    Client ctx = connectTo(sim.port());
    QVERIFY(ctx);
    const int a = kThermostatBase + kThermostatRecordBytes * 2;
    const int before = readByte(ctx.get(), a);
    QVERIFY(before > 0 && before < 120);
    QVERIFY(writeImage(ctx.get(), a, QByteArray(1, char(before)) + char(125))); // 25 degrees
    QTRY_VERIFY_WITH_TIMEOUT(readByte(ctx.get(), a + 3) == 100 && readByte(ctx.get(), a) > before,
                             10000);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(readByte(ctx.get(), a) - 125) <= 1, 30000);
    QVERIFY(readByte(ctx.get(), a + 3) < 100);
    QCOMPARE(readByte(ctx.get(), a + 1), 125);
}

void tst_HomeSimServer::keypadStateMachine()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--arm-delay"), QStringLiteral("2"),
                       QStringLiteral("--user-code"), QStringLiteral("4711")}));
    Client ctx = connectTo(sim.port());
    QVERIFY(ctx);
    auto enter = [&](quint32 code) {
        return writeImage(ctx.get(), 2 * kPasswordWord, dwordBytes(code));
    };
    QVERIFY(enter(1234));
    QCOMPARE(readByte(ctx.get(), kStatusSecurityState), int(Security::WrongPass));
    QTRY_COMPARE(readByte(ctx.get(), kStatusSecurityState), int(Security::Disarmed));
    QVERIFY(enter(4711));
    QCOMPARE(readByte(ctx.get(), kStatusSecurityState), int(Security::Countdown));
    QCOMPARE(readDword(ctx.get(), 2 * kPasswordWord), 0u); // the code does not stay readable
    QTRY_COMPARE(readByte(ctx.get(), kStatusSecurityState), int(Security::Armed));
    sim.send("motion 9");
    QTRY_COMPARE(readByte(ctx.get(), kStatusSecurityState), int(Security::EnterPass));
    QTRY_COMPARE(readByte(ctx.get(), kStatusSecurityState), int(Security::Alarm));
    QVERIFY(enter(4711));
    QCOMPARE(readByte(ctx.get(), kStatusSecurityState), int(Security::Disarming));
    QTRY_COMPARE(readByte(ctx.get(), kStatusSecurityState), int(Security::Disarmed));
    QTRY_VERIFY(sim.logged(QStringLiteral("security: state 2 \"Armed\"$")));
}

void tst_HomeSimServer::clockAfterSynchronisation()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--quiet")}));
    Client ctx = connectTo(sim.port());
    QVERIFY(ctx);
    const quint32 set = 1000000000u;
    QVERIFY(writeImage(ctx.get(), 2 * kTimeWord, dwordBytes(set)));
    const quint32 after = readDword(ctx.get(), kStatusControllerTime);
    QVERIFY(after >= set && after <= set + 1);
    // The clock ticks on from the written value.
    QTRY_VERIFY(readDword(ctx.get(), kStatusControllerTime) >= set + 2);
    QVERIFY(readDword(ctx.get(), kStatusControllerTime) < set + 60);
}

void tst_HomeSimServer::severalClientsAtOnce()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--quiet")}));
    std::vector<Client> clients;
    for (int i = 0; i < 5; ++i) {
        clients.push_back(connectTo(sim.port()));
        QVERIFY(clients.back());
    }
    // Every client writes its own word of plain memory, then every client sees all of them.
    const int base = 1000;
    for (int i = 0; i < 5; ++i) {
        const uint16_t value = uint16_t(0x1100 * (i + 1));
        QCOMPARE(modbus_write_register(clients[i].get(), kOffset + base + i, value), 1);
    }
    for (int i = 0; i < 5; ++i) {
        uint16_t regs[5] = {};
        QCOMPARE(modbus_read_registers(clients[4 - i].get(), kOffset + base, 5, regs), 5);
        for (int k = 0; k < 5; ++k)
            QCOMPARE(int(regs[k]), 0x1100 * (k + 1));
    }
    // A client that goes away does not disturb the others.
    clients[2].reset();
    QCOMPARE(readImage(clients[0].get(), 0, 30).size(), kStatusBlockBytes);
}

void tst_HomeSimServer::writeLimit_data()
{
    QTest::addColumn<int>("registers");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("123 registers") << 123 << true;
    QTest::newRow("124 registers, the panel's largest block") << 124 << false;
}

void tst_HomeSimServer::writeLimit()
{
    QFETCH(int, registers);
    QFETCH(bool, accepted);
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--quiet")}));
    // libmodbus's client refuses to send more than 123 registers, so the frame is built by hand.
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), quint16(sim.port()));
    QVERIFY(socket.waitForConnected(5000));
    const int address = kOffset + 1200;
    QByteArray frame;
    QDataStream out(&frame, QIODevice::WriteOnly); // big-endian, as on the wire
    out << quint16(0x4242) << quint16(0) << quint16(7 + 2 * registers) << quint8(0) << quint8(16)
        << quint16(address) << quint16(registers) << quint8(2 * registers);
    for (int i = 0; i < registers; ++i)
        out << quint16(0xA500 + i);
    socket.write(frame);
    QTRY_VERIFY(socket.bytesAvailable() >= (accepted ? 12 : 9));
    const QByteArray answer = socket.readAll();
    QCOMPARE(answer.left(2), QByteArray::fromHex("4242")); // the transaction id comes back
    if (accepted) {
        QCOMPARE(answer.mid(7), QByteArray::fromHex("10") + frame.mid(8, 4));
    } else {
        QCOMPARE(answer.mid(7), QByteArray::fromHex("9003")); // illegal data value
    }
    Client ctx = connectTo(sim.port());
    QVERIFY(ctx);
    uint16_t first = 0;
    QCOMPARE(modbus_read_registers(ctx.get(), address, 1, &first), 1);
    QCOMPARE(int(first), accepted ? 0xA500 : 0);
}

void tst_HomeSimServer::notModbusIsDropped()
{
    SimProcess sim;
    QVERIFY(sim.start({}));
    Client modbus = connectTo(sim.port());
    QVERIFY(modbus);
    // A web browser pointed at the port: its header announces a 12 kB frame.
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), quint16(sim.port()));
    QVERIFY(socket.waitForConnected(5000));
    socket.write("GET / HTTP/1.0\r\nHost: x\r\n\r\n");
    QTRY_COMPARE(socket.state(), QAbstractSocket::UnconnectedState);
    QVERIFY(sim.logged(QStringLiteral("client dropped")));
    // The simulator goes on serving everyone else.
    QCOMPARE(readImage(modbus.get(), 0, 30).size(), kStatusBlockBytes);
}

void tst_HomeSimServer::mbpollReadsAndWrites()
{
    const QString mbpoll = QStandardPaths::findExecutable(QStringLiteral("mbpoll"));
    if (mbpoll.isEmpty())
        QSKIP("mbpoll is not installed");
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--quiet")}));
    auto run = [&](const QStringList &extra) {
        QProcess p;
        p.start(mbpoll,
                QStringList{"-m", "tcp", "-0", "-1", "-q", "-p", QString::number(sim.port())} +
                    extra);
        if (!p.waitForFinished(10000)) {
            p.kill();
            p.waitForFinished();
            return QString();
        }
        return p.exitCode() == 0 ? QString::fromLocal8Bit(p.readAllStandardOutput()) : QString();
    };
    // Write the clock (words 20, 21) with mbpoll, read it back with mbpoll.
    const QString wrote = run({"-t", "4", "-r", QString::number(kOffset + kTimeWord), "127.0.0.1",
                               QString::number(0x1234), QString::number(0x0102)});
    QVERIFY2(wrote.contains(QLatin1String("Written 2 references")), qPrintable(wrote));
    const QString read =
        run({"-t", "4", "-r", QString::number(kOffset + kTimeWord), "-c", "2", "127.0.0.1"});
    const QRegularExpression line(QStringLiteral("\\[%1\\]:\\s+(\\d+)").arg(kOffset + kTimeWord));
    const QRegularExpressionMatch m = line.match(read);
    QVERIFY2(m.hasMatch(), qPrintable(read));
    QVERIFY(m.captured(1).toInt() >= 0x1234 && m.captured(1).toInt() < 0x1234 + 60);
    QVERIFY(read.contains(QStringLiteral("[%1]: \t258").arg(kOffset + kTimeWord + 1)));
    // Input registers (function 4) serve the same status block.
    const QString status = run({"-t", "3", "-r", QString::number(kOffset), "-c", "1", "127.0.0.1"});
    QVERIFY2(status.contains(QStringLiteral("[%1]: \t255").arg(kOffset)), qPrintable(status));
}

void tst_HomeSimServer::scenarioFaults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("disconnect") << "disconnect";
    QTest::newRow("silence") << "silence";
}

void tst_HomeSimServer::scenarioFaults()
{
    QFETCH(QString, fault);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("faults.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    // The fault starts after the client has seen the simulator answer; lamp 1 goes on with it.
    file.write(QStringLiteral("# fault replay\n2 set byte %1 1\n+0 %2 2\n")
                   .arg(lampAddress(1))
                   .arg(fault)
                   .toUtf8());
    file.close();

    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--scenario"), path}));
    Client ctx = connectTo(sim.port());
    QVERIFY(ctx);
    modbus_set_response_timeout(ctx.get(), 0, 300000);
    QCOMPARE(readImage(ctx.get(), 0, 30).size(), kStatusBlockBytes);
    // The fault shows as failed requests ...
    QTRY_VERIFY_WITH_TIMEOUT(readImage(ctx.get(), 0, 30).isEmpty(), 5000);
    if (fault == QLatin1String("disconnect")) {
        modbus_close(ctx.get());
        // ... and, while it lasts, as a refused connection.
        QVERIFY(!connectTo(sim.port()));
    }
    // Afterwards the simulator answers again (a client reconnects as the panel does).
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            if (readByte(ctx.get(), lampAddress(1)) == 1)
                return true;
            modbus_close(ctx.get());
            modbus_flush(ctx.get());
            return modbus_connect(ctx.get()) == 0 && readByte(ctx.get(), lampAddress(1)) == 1;
        }(),
        10000);
    QTRY_VERIFY(sim.logged(QStringLiteral("scenario: %1 for 2 s$").arg(fault)));
    QTRY_VERIFY(sim.logged(QStringLiteral("fault over")));
}

void tst_HomeSimServer::badOptions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("remote address") << QStringList{"--listen", "192.0.2.1:1502"};
    QTest::newRow("any address") << QStringList{"--listen", "0.0.0.0:1502"};
    QTest::newRow("no port") << QStringList{"--listen", "127.0.0.1"};
    QTest::newRow("port too big") << QStringList{"--listen", "127.0.0.1:70000"};
    QTest::newRow("bad offset") << QStringList{"--listen", "127.0.0.1:0", "--offset", "XYZ"};
    QTest::newRow("zero speed") << QStringList{"--listen", "127.0.0.1:0", "--speed", "0"};
    QTest::newRow("missing config")
        << QStringList{"--listen", "127.0.0.1:0", "--config", "/nonexistent/homesim"};
    QTest::newRow("missing scenario")
        << QStringList{"--listen", "127.0.0.1:0", "--scenario", "/nonexistent/s.txt"};
}

void tst_HomeSimServer::badOptions()
{
    QFETCH(QStringList, args);
    QProcess p;
    p.start(QStringLiteral(HOMESIM_PATH), args);
    QVERIFY(p.waitForStarted(5000));
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished();
        QFAIL("the simulator started instead of refusing the options");
    }
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(!p.readAllStandardError().isEmpty());
    QVERIFY(!p.readAllStandardOutput().contains("listening on"));
}

void tst_HomeSimServer::stopsCleanly_data()
{
    QTest::addColumn<bool>("closeInput");
    QTest::newRow("SIGTERM") << false;
    QTest::newRow("end of control input") << true;
}

void tst_HomeSimServer::stopsCleanly()
{
    QFETCH(bool, closeInput);
    SimProcess sim;
    QVERIFY(sim.start({}));
    Client ctx = connectTo(sim.port());
    QVERIFY(ctx);
    if (closeInput)
        sim.process().closeWriteChannel();
    else
        sim.process().terminate();
    QVERIFY(sim.process().waitForFinished(5000));
    QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.process().exitCode(), 0);
    QVERIFY(sim.logged(QStringLiteral(" stopped$")));
}

QTEST_GUILESS_MAIN(tst_HomeSimServer)
#include "tst_homesimserver.moc"
