// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "fakehttpserver.h"
#include "hostilepeer.h"
#include "mediaconstants.h"
#include "ptzmanager.h"

#include <QtTest>

namespace {

void configureAll(PtzManager &ptz, const FakeHttpServer &server)
{
    ptz.setAddress(server.address());
    ptz.setPort(QString::number(server.port()));
    ptz.setMoveLeft(QStringLiteral("/ptz?move=left"));
    ptz.setMoveRight(QStringLiteral("/ptz?move=right"));
    ptz.setMoveUp(QStringLiteral("/cgi-bin/ptz.cgi?dir=up&speed=5"));
    ptz.setMoveDown(QStringLiteral("/ptz?move=down"));
    ptz.setMoveHome(QStringLiteral("/ptz?move=home"));
    ptz.setZoomIn(QStringLiteral("/ptz?zoom=in"));
    ptz.setZoomOut(QStringLiteral("/ptz?zoom=out"));
}

// Answers with a challenge unless the request carries the right credentials.
void requireCredentials(FakeHttpServer &server, const QByteArray &credentials)
{
    server.setHandler([credentials](const FakeHttpServer::Request &r, QTcpSocket *socket) {
        if (r.headers.value("authorization") != "Basic " + credentials.toBase64())
            FakeHttpServer::writeResponse(socket, 401, "text/plain", "denied",
                                          "WWW-Authenticate: Basic realm=\"ptz\"\r\n");
        else
            FakeHttpServer::writeResponse(socket, 200, "text/plain", "ok");
    });
}

} // namespace

class TestPtzManager : public QObject
{
    Q_OBJECT
private slots:
    void eachButtonSendsItsRequest_data();
    void eachButtonSendsItsRequest();
    void missingCommandSendsNothing();
    void twoPressesTwoRequests();
    void wrongCredentialsOfferedOnce();
    void hostileCameraHoldsFewConnections_data();
    void hostileCameraHoldsFewConnections();
};

void TestPtzManager::eachButtonSendsItsRequest_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<QByteArray>("target");
    QTest::newRow("left") << QByteArray("moveLeft") << QByteArray("/ptz?move=left");
    QTest::newRow("right") << QByteArray("moveRight") << QByteArray("/ptz?move=right");
    QTest::newRow("up") << QByteArray("moveUp") << QByteArray("/cgi-bin/ptz.cgi?dir=up&speed=5");
    QTest::newRow("down") << QByteArray("moveDown") << QByteArray("/ptz?move=down");
    QTest::newRow("home") << QByteArray("moveHome") << QByteArray("/ptz?move=home");
    QTest::newRow("zoom in") << QByteArray("zoomIn") << QByteArray("/ptz?zoom=in");
    QTest::newRow("zoom out") << QByteArray("zoomOut") << QByteArray("/ptz?zoom=out");
}

void TestPtzManager::eachButtonSendsItsRequest()
{
    QFETCH(QByteArray, slot);
    QFETCH(QByteArray, target);
    FakeHttpServer server;
    QVERIFY(server.listen());
    requireCredentials(server, "op:pw");
    PtzManager ptz;
    configureAll(ptz, server);
    ptz.setLogin(QStringLiteral("op"));
    ptz.setPassword(QStringLiteral("pw"));
    QVERIFY(QMetaObject::invokeMethod(&ptz, slot.constData()));
    // Challenged first, then sent again with the credentials.
    QTRY_COMPARE(server.requests().size(), 2);
    for (const FakeHttpServer::Request &r : server.requests()) {
        QCOMPARE(r.method, QByteArray("GET"));
        QCOMPARE(r.target, target);
        QCOMPARE(r.headers.value("host"),
                 QByteArray("127.0.0.1:") + QByteArray::number(server.port()));
    }
    QCOMPARE(server.requests().at(1).headers.value("authorization"),
             "Basic " + QByteArray("op:pw").toBase64());
}

void TestPtzManager::missingCommandSendsNothing()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    PtzManager ptz;
    configureAll(ptz, server);
    ptz.setZoomIn(QString());
    ptz.zoomIn();
    ptz.setPort(QStringLiteral("not a port"));
    ptz.zoomOut();
    QCOMPARE(ptz.requestCount(), 0);
    ptz.setPort(QString::number(server.port()));
    ptz.zoomOut();
    QTRY_COMPARE(server.requests().size(), 1);
    QCOMPARE(server.requests().at(0).target, QByteArray("/ptz?zoom=out"));
}

void TestPtzManager::twoPressesTwoRequests()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    server.setHandler([](const FakeHttpServer::Request &, QTcpSocket *socket) {
        FakeHttpServer::writeResponse(socket, 200, "text/plain", "ok");
    });
    PtzManager ptz;
    configureAll(ptz, server);
    ptz.moveLeft();
    ptz.moveLeft();
    QTRY_COMPARE(server.requests().size(), 2);
    QCOMPARE(ptz.requestCount(), 2);
}

void TestPtzManager::wrongCredentialsOfferedOnce()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    requireCredentials(server, "op:pw");
    PtzManager ptz;
    configureAll(ptz, server);
    ptz.setLogin(QStringLiteral("op"));
    ptz.setPassword(QStringLiteral("wrong"));
    ptz.moveHome();
    QTRY_COMPARE(server.requests().size(), 2);
    QSignalSpy more(&server, &FakeHttpServer::requestReceived);
    QVERIFY(!more.wait(300));
    QCOMPARE(server.requests().size(), 2);
}

void TestPtzManager::hostileCameraHoldsFewConnections_data()
{
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<QByteArray>("filler");
    QTest::newRow("never answers") << QByteArray() << QByteArray();
    QTest::newRow("endless headers") << QByteArray("HTTP/1.1 200 OK\r\n")
                                     << "X-Pad: " + QByteArray(1000, 'a') + "\r\n";
}

void TestPtzManager::hostileCameraHoldsFewConnections()
{
    QFETCH(QByteArray, prefix);
    QFETCH(QByteArray, filler);
    HostilePeer peer({prefix, filler, 0});
    QVERIFY(peer.listen());
    PtzManager ptz;
    ptz.setAddress(QStringLiteral("127.0.0.1"));
    ptz.setPort(QString::number(peer.port()));
    ptz.setMoveLeft(QStringLiteral("/ptz?move=left"));
    ptz.setReplyTimeout(300);
    // A person tapping away at a camera that never answers properly.
    for (int i = 0; i < 10; ++i)
        ptz.moveLeft();
    QCOMPARE(ptz.pendingCount(), MediaConstants::Ptz::kMaxPendingRequests);
    QTRY_COMPARE(ptz.pendingCount(), 0);
    QCOMPARE(peer.connections(), MediaConstants::Ptz::kMaxPendingRequests);
    QTRY_COMPARE(peer.closedConnections(), peer.connections());
    QVERIFY2(peer.bytesSent() < 1024 * 1024, QByteArray::number(peer.bytesSent()));
    // Answered or given up, the next tap goes out again.
    ptz.moveLeft();
    QCOMPARE(ptz.pendingCount(), 1);
}

QTEST_GUILESS_MAIN(TestPtzManager)
#include "tst_ptzmanager.moc"
