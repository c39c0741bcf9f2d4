// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "controlerdata.h"
#include "eappsettings.h"
#include "fakecontroller.h"
#include "lightcontrolv1.h"
#include "linkharness.h"
#include "roomstructv1.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <optional>

using namespace LinkHarness;

Q_DECLARE_METATYPE(std::optional<int>)

namespace {
const QString kLocal = QStringLiteral("127.0.0.1");
// Long enough that a test would hit its own time limit if anything waited for it.
constexpr int kEndlessWaitMs = 30 * 60 * 1000;
} // namespace

// The link's thread contracts: where it lives, that the caller's thread never waits on the
// network, and how its configuration is taken over.
class TestLinkThreads : public QObject
{
    Q_OBJECT
private slots:
    void registerOffsetText_data();
    void registerOffsetText();
    void configureRefusesBadOffsets_data();
    void configureRefusesBadOffsets();
    void silentControllerNeverHoldsTheCaller();
    void destroyedWhileRunning();
};

void TestLinkThreads::registerOffsetText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<int>>("offset");
    using O = std::optional<int>;

    QTest::newRow("zero") << QStringLiteral("0") << O(0);
    QTest::newRow("hexadecimal") << QStringLiteral("1F4") << O(500);
    QTest::newRow("lower case with blanks") << QStringLiteral(" 1f4 ") << O(500);
    QTest::newRow("no polling") << QStringLiteral("-1") << O(-1);
    QTest::newRow("highest base with room for the fixed words")
        << QStringLiteral("FF6A") << O(0xFF6A);
    QTest::newRow("scene words would pass the last register") << QStringLiteral("FF6B") << O();
    QTest::newRow("would wrap at 16 bits") << QStringLiteral("10005") << O();
    QTest::newRow("beyond 32 bits") << QStringLiteral("1000000000") << O();
    QTest::newRow("not hexadecimal") << QStringLiteral("zz") << O();
    QTest::newRow("decimal-looking garbage") << QStringLiteral("12g") << O();
    QTest::newRow("empty") << QString() << O();
    QTest::newRow("other negative") << QStringLiteral("-2") << O();
}

void TestLinkThreads::registerOffsetText()
{
    QFETCH(QString, text);
    QFETCH(std::optional<int>, offset);
    QCOMPARE(ControlerData::registerOffsetFromText(text), offset);
}

void TestLinkThreads::configureRefusesBadOffsets_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("offset");
    QTest::addColumn<bool>("warned");
    QTest::newRow("valid") << QStringLiteral("1F4") << 500 << false;
    QTest::newRow("no polling") << QStringLiteral("-1") << -1 << false;
    QTest::newRow("not hexadecimal is not 0") << QStringLiteral("offset") << -1 << true;
    QTest::newRow("large does not wrap") << QStringLiteral("10005") << -1 << true;
}

void TestLinkThreads::configureRefusesBadOffsets()
{
    QFETCH(QString, text);
    QFETCH(int, offset);
    QFETCH(bool, warned);
    EAppSettings settings;
    settings.setValue(EAppSettings::Offset, text);
    settings.setValue(EAppSettings::IpAddress, kLocal);
    settings.setValue(EAppSettings::IpAddress2, kLocal);
    if (warned)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("register offset")));
    ControlerData link;
    link.configure(settings, false);
    QCOMPARE(link.controlerOffset(), offset);
    QCOMPARE(link.primaryAddress(), kLocal);
}

// A controller that accepts the connection and never answers: the link thread waits for its
// answers, and the caller's thread keeps working. Every call a screen makes returns while the
// link waits, the calls run in the link thread afterwards, and shutdown() ends the link at once
// although the wait for the answer would outlast the test.
void TestLinkThreads::silentControllerNeverHoldsTheCaller()
{
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress(kLocal)));

    RoomStructV1 room;
    room.createLight(QStringLiteral("lamp"), QString(), {})->setLmpNumber(1);
    ThreadLog threads;
    QList<int> written;
    ControlerData link;
    StateLog log(&link);
    configureLoopback(&link, kLocal, kLocal, silent.serverPort(), kEndlessWaitMs);
    link.SetControlerOffset(0);
    link.SetUpdateTimeout(100);
    QCOMPARE(link.thread(), QThread::currentThread());
    link.start();
    QThread *linkThread = link.linkThread();
    QVERIFY(linkThread && linkThread != QThread::currentThread());

    QVERIFY(waitConnected(log));
    // The first poll is sent and never answered: from now on the link thread waits.
    QTRY_VERIFY(silent.hasPendingConnections());
    QTcpSocket *peer = silent.nextPendingConnection();
    QTRY_VERIFY(peer->bytesAvailable() >= 12);

    connect(
        &link, &ControlerData::ControlDataWriten, &link, [&] { threads.record(); },
        Qt::DirectConnection);
    connect(&link, &ControlerData::ControlDataWriten, this,
            [&](int index) { written.append(index); });

    // Everything a screen does while the controller is silent.
    for (int i = 0; i < 20; ++i) {
        QVERIFY(QMetaObject::invokeMethod(&link, "setRoom", Qt::QueuedConnection,
                                          Q_ARG(RoomSnapshot, makeRoomSnapshot(room))));
        QVERIFY(
            QMetaObject::invokeMethod(&link, "EnableLight", Qt::QueuedConnection, Q_ARG(int, 0)));
        QVERIFY(QMetaObject::invokeMethod(&link, "closeRoom", Qt::QueuedConnection));
        link.SetActivators(GActivators());
        link.SetUpdateTimeout(200);
        QCOMPARE(link.isReady(), false);
        QCOMPARE(link.controlerOffset(), 0);
        QVERIFY(link.getRequest().isEmpty());
    }
    QVERIFY(link.isRunning());
    QVERIFY(written.isEmpty()); // nothing has run yet: the link thread is still waiting

    link.shutdown();
    QVERIFY(!link.isRunning());
    QCOMPARE(link.thread(), QThread::currentThread());
    QCOMPARE(link.linkThread(), nullptr);
    QTRY_COMPARE(log.states.last(), int(QAbstractSocket::UnconnectedState));
    // The calls queued meanwhile ran in the link thread, after the wait was given up: the link
    // was no longer ready, so they wrote nothing (and told the widget so).
    QCOMPARE(threads.threads(), QSet<QThread *>{linkThread});
    QCOMPARE(written.size(), 20);
    QCOMPARE(peer->bytesAvailable(), qint64(12)); // still only the first status read
}

// The owner may simply destroy a running link: it ends its thread first.
void TestLinkThreads::destroyedWhileRunning()
{
    FakeController controller;
    QVERIFY(controller.start(kLocal));
    QPointer<QThread> linkThread;
    {
        ControlerData link;
        StateLog log(&link);
        configureLoopback(&link, kLocal, kLocal, controller.port());
        link.SetControlerOffset(0);
        link.start();
        linkThread = link.linkThread();
        QVERIFY(waitConnected(log));
        QTRY_VERIFY(link.isReady());
    }
    QVERIFY(linkThread.isNull());
}

QTEST_GUILESS_MAIN(TestLinkThreads)
#include "tst_linkthreads.moc"
