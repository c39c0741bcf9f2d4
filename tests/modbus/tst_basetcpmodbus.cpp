// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "basetcpmodbus.h"
#include "fakecontroller.h"
#include "linkharness.h"
#include "rawpeer.h"

#include <QtTest>

using namespace LinkHarness;

Q_DECLARE_METATYPE(QList<RawPeer::Step>)

namespace {
const QString kLocal = QStringLiteral("127.0.0.1");
const QString kNobody = QStringLiteral("127.0.0.2"); // nothing listens there

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

QByteArray pattern(int size, int seed)
{
    QByteArray out;
    for (int i = 0; i < size; ++i)
        out.append(char((seed * 31 + i * 7) & 0xFF));
    return out;
}

RawPeer::Step step(RawPeer::Action action, const QByteArray &bytes = QByteArray(), int delay = 0,
                   int split = 0)
{
    RawPeer::Step s;
    s.action = action;
    s.bytes = bytes;
    s.delayMs = delay;
    s.splitAt = split;
    return s;
}

QMessageLogContext s_context;
QStringList s_messages;
QString s_file;
QString s_function;
void captureMessages(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    s_messages.append(message);
    s_file = QString::fromLatin1(context.file);
    s_function = QString::fromLatin1(context.function);
}
} // namespace

class TestBaseTcpModbus : public QObject
{
    Q_OBJECT
private slots:
    void settingLimits_data();
    void settingLimits();
    void readRequests_data();
    void readRequests();
    void writeRequests_data();
    void writeRequests();
    void longWritesReachACompliantServer();
    void faultyAnswers_data();
    void faultyAnswers();
    void addressFallback_data();
    void addressFallback();
    void forcedReconnect();
    void stateChangesInLinkThread();
    void debugTrace();
};

void TestBaseTcpModbus::settingLimits_data()
{
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("expectedInterval");
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("expectedFunction");
    QTest::newRow("below range, write function") << 99 << 500 << 16 << 3;
    QTest::newRow("above range, function 0") << 2001 << 500 << 0 << 3;
    QTest::newRow("lowest, input registers") << 100 << 100 << 4 << 4;
    QTest::newRow("highest, holding registers") << 2000 << 2000 << 3 << 3;
}

void TestBaseTcpModbus::settingLimits()
{
    QFETCH(int, interval);
    QFETCH(int, function);
    BaseTCPModbus link;
    link.SetUpdateTimeout(interval);
    link.setReadFunctionMB(function);
    QTEST(link.updateTimeout(), "expectedInterval");
    QTEST(link.readFunction(), "expectedFunction");
}

void TestBaseTcpModbus::readRequests_data()
{
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("request"); // empty: nothing may be sent
    QTest::addColumn<int>("resultSize");

    QTest::newRow("odd count asks for whole registers")
        << 3 << 306 << 5 << bytes({0, 0, 0, 0, 0, 6, 0, 3, 0x01, 0x32, 0, 3}) << 6;
    QTest::newRow("124 registers, the largest block")
        << 3 << 0x1234 << 248 << bytes({0, 0, 0, 0, 0, 6, 0, 3, 0x12, 0x34, 0, 124}) << 248;
    QTest::newRow("input registers")
        << 4 << 40 << 4 << bytes({0, 0, 0, 0, 0, 6, 0, 4, 0, 40, 0, 2}) << 4;
    QTest::newRow("address keeps its low 16 bits")
        << 3 << 0x10005 << 2 << bytes({0, 0, 0, 0, 0, 6, 0, 3, 0, 5, 0, 1}) << 2;
    QTest::newRow("249 bytes is over the limit") << 3 << 0 << 249 << QByteArray() << 0;
}

void TestBaseTcpModbus::readRequests()
{
    QFETCH(int, function);
    QFETCH(int, address);
    QFETCH(int, count);
    QFETCH(QByteArray, request);
    QFETCH(int, resultSize);

    RawPeer peer;
    QVERIFY(peer.listen(kLocal));
    const QByteArray image = pattern(0x20000, 1);
    peer.setImage(image);
    BaseTCPModbus link;
    StateLog log(&link);
    configureLoopback(&link, kLocal, kNobody, peer.port());
    link.setReadFunctionMB(function);
    link.start();
    QVERIFY(waitConnected(log));

    QByteArray result;
    inLinkThread(&link, [&] { result = link.getModbusData(address, count); });
    if (request.isEmpty()) {
        QCOMPARE(peer.requestCount(), 0);
    } else {
        QCOMPARE(peer.requests(), QList<QByteArray>{request});
    }
    QCOMPARE(result.size(), resultSize);
    // Registers arrive high byte first and come out low byte first, in register order.
    QCOMPARE(result, image.mid(2 * (address & 0xFFFF), resultSize));
}

void TestBaseTcpModbus::writeRequests_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QList<QByteArray>>("requests");

    QTest::newRow("two registers, pairs swapped")
        << 20 << bytes({0x44, 0x33, 0x22, 0x11})
        << QList<QByteArray>{
               bytes({0, 0, 0, 0, 0, 11, 0, 16, 0, 20, 0, 2, 4, 0x33, 0x44, 0x11, 0x22})};
    QTest::newRow("odd length is dropped") << 20 << bytes({1, 2, 3}) << QList<QByteArray>{};
    QTest::newRow("250 bytes is dropped") << 20 << QByteArray(250, 'x') << QList<QByteArray>{};

    const QByteArray full = pattern(248, 2);
    QByteArray first = bytes({0, 0, 0, 0, 0, 253, 0, 16, 0x01, 0x00, 0, 123, 246});
    for (int i = 0; i < 246; i += 2)
        first.append(full.at(i + 1)).append(full.at(i));
    const QByteArray second =
        bytes({0, 0, 0, 0, 0, 9, 0, 16, 0x01, 123, 0, 1, 2}) + full.mid(247, 1) + full.mid(246, 1);
    QTest::newRow("124 registers go out as 123 + 1")
        << 256 << full << QList<QByteArray>{first, second};
}

void TestBaseTcpModbus::writeRequests()
{
    QFETCH(int, address);
    QFETCH(QByteArray, data);
    QFETCH(QList<QByteArray>, requests);

    RawPeer peer;
    QVERIFY(peer.listen(kLocal));
    BaseTCPModbus link;
    StateLog log(&link);
    configureLoopback(&link, kLocal, kNobody, peer.port());
    link.start();
    QVERIFY(waitConnected(log));

    inLinkThread(&link, [&] { link.setModbusData(address, data); });
    QCOMPARE(peer.requests(), requests);
}

// A full 248-byte block written to libmodbus, which refuses more than 123 registers at once,
// must still arrive whole, and read back unchanged.
void TestBaseTcpModbus::longWritesReachACompliantServer()
{
    FakeController controller;
    QVERIFY(controller.start(kLocal));
    BaseTCPModbus link;
    StateLog log(&link);
    configureLoopback(&link, kLocal, kNobody, controller.port());
    link.start();
    QVERIFY(waitConnected(log));

    const QByteArray block = pattern(248, 3);
    QByteArray readBack;
    inLinkThread(&link, [&] {
        link.setModbusData(1000, block);
        readBack = link.getModbusData(1000, 248);
    });
    QCOMPARE(controller.bytes(1000, 248), block);
    QCOMPARE(readBack, block);
    const QList<FakeController::Request> writes = controller.requests(16);
    QCOMPARE(writes.size(), 2);
    QCOMPARE(writes.at(0).address, 1000);
    QCOMPARE(writes.at(0).quantity, 123);
    QCOMPARE(writes.at(1).address, 1123);
    QCOMPARE(writes.at(1).quantity, 1);
    QCOMPARE(controller.connectionCount(), 1);
}

void TestBaseTcpModbus::faultyAnswers_data()
{
    QTest::addColumn<QList<RawPeer::Step>>("script");
    QTest::addColumn<bool>("gotData");
    QTest::addColumn<bool>("keepsConnection");

    using A = RawPeer::Action;
    const QByteArray good = RawPeer::readAnswer(3, pattern(8, 9).mid(0, 8));
    // clang-format off
    QTest::newRow("answer in two segments") << QList<RawPeer::Step>{step(A::AnswerSplit, {}, 60, 5)} << true << true;
    QTest::newRow("header split from data") << QList<RawPeer::Step>{step(A::AnswerSplit, {}, 60, 9)} << true << true;
    QTest::newRow("exception answer") << QList<RawPeer::Step>{step(A::Answer, RawPeer::exceptionAnswer(3, 2))} << false << true;
    QTest::newRow("wrong function code") << QList<RawPeer::Step>{step(A::Answer, RawPeer::readAnswer(4, QByteArray(8, 'w')))} << false << false;
    QTest::newRow("byte count for fewer registers") << QList<RawPeer::Step>{step(A::Answer, RawPeer::readAnswer(3, QByteArray(6, 's')))} << false << false;
    QTest::newRow("short frame, then nothing") << QList<RawPeer::Step>{step(A::Answer, bytes({0, 0, 0, 0, 0, 11, 0, 3}))} << false << false;
    QTest::newRow("garbage header") << QList<RawPeer::Step>{step(A::Answer, QByteArray(12, char(0xFF)))} << false << false;
    QTest::newRow("two answers for one request") << QList<RawPeer::Step>{step(A::Answer, good + good)} << false << false;
    QTest::newRow("answer after the wait") << QList<RawPeer::Step>{step(A::AnswerLate, {}, 900)} << false << false;
    QTest::newRow("no answer") << QList<RawPeer::Step>{step(A::Silence)} << false << false;
    QTest::newRow("closed without answer") << QList<RawPeer::Step>{step(A::Close)} << false << false;
    QTest::newRow("reset in the middle of the answer") << QList<RawPeer::Step>{step(A::ResetAfter, good.left(10))} << false << false;
    // clang-format on
}

// Whatever the peer does wrong, a read yields the whole answer or nothing, and the next read
// (after a reconnect where the link dropped the connection) gets its own block's bytes, never
// the remains of the failed exchange.
void TestBaseTcpModbus::faultyAnswers()
{
    QFETCH(QList<RawPeer::Step>, script);
    QFETCH(bool, gotData);
    QFETCH(bool, keepsConnection);

    RawPeer peer;
    QVERIFY(peer.listen(kLocal));
    const QByteArray image = pattern(512, 5);
    peer.setImage(image);
    BaseTCPModbus link;
    StateLog log(&link);
    configureLoopback(&link, kLocal, kNobody, peer.port(), 500);
    link.start();
    QVERIFY(waitConnected(log));
    for (const RawPeer::Step &s : script)
        peer.enqueue(s);

    QByteArray first;
    bool connectedAfter = false;
    inLinkThread(&link, [&] {
        first = link.getModbusData(10, 8);
        connectedAfter = link.getModbusData(0, 2).size() == 2;
    });
    QCOMPARE(first, gotData ? image.mid(20, 8) : QByteArray());
    QCOMPARE(connectedAfter, keepsConnection);

    QByteArray second;
    inLinkThread(&link, [&] {
        if (!connectedAfter)
            link.reconnectToControler();
        second = link.getModbusData(100, 16);
    });
    QCOMPARE(second, image.mid(200, 16));
    QCOMPARE(peer.connectionCount(), keepsConnection ? 1 : 2);
}

void TestBaseTcpModbus::addressFallback_data()
{
    QTest::addColumn<bool>("primaryUp");
    QTest::addColumn<bool>("secondaryUp");
    QTest::addColumn<int>("firstAddress");
    QTest::addColumn<QString>("reconnectGoesTo");

    QTest::newRow("primary answers") << true << true << 1 << "primary";
    QTest::newRow("only the secondary answers") << false << true << 2 << "secondary";
    QTest::newRow("neither answers") << false << false << 0 << "primary";
}

// The first connection falls back to the secondary address; a reconnect stays with the address
// chosen then, even once the primary answers again.
void TestBaseTcpModbus::addressFallback()
{
    QFETCH(bool, primaryUp);
    QFETCH(bool, secondaryUp);
    QFETCH(int, firstAddress);
    QFETCH(QString, reconnectGoesTo);

    // Both addresses share the port: the secondary is 127.0.0.1, the primary 127.0.0.2.
    FakeController secondary;
    QVERIFY(secondary.start(kLocal));
    const quint16 port = secondary.port();
    FakeController primary;
    if (primaryUp)
        QVERIFY(primary.start(kNobody, port));
    if (!secondaryUp)
        secondary.stop();

    BaseTCPModbus link;
    StateLog log(&link);
    configureLoopback(&link, kNobody, kLocal, port);
    link.start();
    QTRY_VERIFY(log.count(QAbstractSocket::ConnectedState) == 1 ||
                (firstAddress == 0 && log.count(QAbstractSocket::UnconnectedState) >= 2));
    QTRY_COMPARE(link.activeAddress(), firstAddress);

    QTRY_COMPARE(primary.connectionCount(), firstAddress == 1 ? 1 : 0);
    QTRY_COMPARE(secondary.connectionCount(), firstAddress == 2 ? 1 : 0);

    if (!primary.isRunning())
        QVERIFY(primary.start(kNobody, port));
    if (!secondary.isRunning())
        QVERIFY(secondary.start(kLocal, port));
    const int primaryBefore = primary.connectionCount();
    const int secondaryBefore = secondary.connectionCount();
    inLinkThread(&link, [&] { link.reconnectToControler(); });
    const bool toPrimary = reconnectGoesTo == QLatin1String("primary");
    QTRY_COMPARE(primary.connectionCount() - primaryBefore, toPrimary ? 1 : 0);
    QTRY_COMPARE(secondary.connectionCount() - secondaryBefore, toPrimary ? 0 : 1);
    QCOMPARE(link.activeAddress(), toPrimary ? 1 : 2);
}

void TestBaseTcpModbus::forcedReconnect()
{
    FakeController controller;
    QVERIFY(controller.start(kLocal));
    BaseTCPModbus link;
    StateLog log(&link);
    configureLoopback(&link, kLocal, kNobody, controller.port());
    link.setReconnectOnTime(2);
    link.start();
    QVERIFY(waitConnected(log));

    // The minute timer's ticks, driven by hand: every second minute renews the connection.
    const auto minute = [&] { inLinkThread(&link, [&] { link.reconnectTimeout(); }); };
    QTRY_COMPARE(controller.connectionCount(), 1);
    minute();
    QCOMPARE(controller.connectionCount(), 1);
    minute();
    QTRY_COMPARE(controller.connectionCount(), 2);
    QVERIFY(waitConnected(log, 2));
    minute(); // the count starts again with the new connection
    QCOMPARE(controller.connectionCount(), 2);
    minute();
    QTRY_COMPARE(controller.connectionCount(), 3);

    inLinkThread(&link, [&] { link.setReconnectOnTime(0); });
    minute();
    minute();
    QCOMPARE(controller.connectionCount(), 3);
}

void TestBaseTcpModbus::stateChangesInLinkThread()
{
    FakeController controller;
    QVERIFY(controller.start(kLocal));
    BaseTCPModbus link;
    // Until start() the link lives where it was made; then in a thread of its own, and after
    // shutdown() back in the owner's thread.
    QCOMPARE(link.thread(), QThread::currentThread());
    QCOMPARE(link.linkThread(), nullptr);
    StateLog log(&link);
    ThreadLog threads;
    connect(
        &link, &BaseTCPModbus::controlerStateChanged, &link, [&] { threads.record(); },
        Qt::DirectConnection);
    configureLoopback(&link, kLocal, kNobody, controller.port());
    link.start();
    QThread *linkThread = link.linkThread();
    QVERIFY(linkThread);
    QVERIFY(linkThread != QThread::currentThread());
    QCOMPARE(link.thread(), linkThread);
    QVERIFY(waitConnected(log));
    QCOMPARE(log.lastAddress(), 1);
    QVERIFY(log.states.contains(int(QAbstractSocket::ConnectingState)));

    controller.stop();
    QTRY_COMPARE(log.states.last(), int(QAbstractSocket::UnconnectedState));
    link.shutdown();
    QVERIFY(!link.isRunning());
    QCOMPARE(link.thread(), QThread::currentThread());
    QCOMPARE(link.linkThread(), nullptr);
    QCOMPARE(threads.threads(), QSet<QThread *>{linkThread});
    link.shutdown(); // a second time does nothing
}

void TestBaseTcpModbus::debugTrace()
{
    RawPeer peer;
    QVERIFY(peer.listen(kLocal));
    peer.setImage(QByteArrayLiteral("AB"));
    BaseTCPModbus link;
    StateLog log(&link);
    configureLoopback(&link, kLocal, kNobody, peer.port());
    link.start();
    QVERIFY(waitConnected(log));

    s_messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureMessages);
    inLinkThread(&link, [&] { link.getModbusData(0, 1); });
    link.setIsDebugModbus(true);
    inLinkThread(&link, [&] { link.getModbusData(0, 1); });
    qInstallMessageHandler(previous);

    QCOMPARE(s_messages.size(), 1);
    QVERIFY2(s_messages.first().startsWith(
                 QLatin1String("GetDataInv address:  0 \ncount:  2 \ndata:  ")),
             qPrintable(s_messages.first()));
    QVERIFY2(s_messages.first().endsWith(QLatin1String("data:  \"AB\" \n")),
             qPrintable(s_messages.first()));
    QVERIFY(s_file.endsWith(QLatin1String("basetcpmodbus.cpp")));
    QVERIFY(s_function.contains(QLatin1String("getModbusData")));
}

QTEST_GUILESS_MAIN(TestBaseTcpModbus)
#include "tst_basetcpmodbus.moc"
