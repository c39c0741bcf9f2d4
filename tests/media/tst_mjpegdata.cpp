// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "cameraurl.h"
#include "childprocess.h"
#include "fakehttpserver.h"
#include "hostilepeer.h"
#include "mediaconstants.h"
#include "mjpegdata.h"
#include "picturebomb.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QtTest>

namespace {

QByteArray jpeg(const QColor &color)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

// What the fake camera does on each stream request.
struct CameraBehaviour
{
    QByteArray contentType = "multipart/x-mixed-replace; boundary=frame";
    QByteArray credentials;   // "user:pass" when authentication is required
    bool digest = false;      // challenge with Digest instead of Basic
    int framesThenStall = -1; // stop sending after this many frames, connection kept open
    int framesThenClose = -1; // close the connection after this many frames
    bool badFrameFirst = false;
    QByteArray bombEvery;     // sent in place of every second frame
};

// A Digest answer (qop auth) checked the way a camera checks it.
bool digestAccepted(const QByteArray &header, const QByteArray &user, const QByteArray &password,
                    const QByteArray &nonce)
{
    if (!header.startsWith("Digest "))
        return false;
    QHash<QByteArray, QByteArray> p;
    for (const QByteArray &part : header.mid(7).split(',')) {
        const int eq = part.indexOf('=');
        QByteArray value = part.mid(eq + 1).trimmed();
        if (value.startsWith('"'))
            value = value.mid(1, value.size() - 2);
        p.insert(part.left(eq).trimmed(), value);
    }
    auto md5 = [](const QByteArray &t) { return QCryptographicHash::hash(t, QCryptographicHash::Md5).toHex(); };
    const QByteArray ha1 = md5(user + ":camera:" + password);
    const QByteArray ha2 = md5("GET:" + p.value("uri"));
    const QByteArray expected = md5(ha1 + ':' + nonce + ':' + p.value("nc") + ':' +
                                    p.value("cnonce") + ":auth:" + ha2);
    return p.value("username") == user && p.value("nonce") == nonce && p.value("qop") == "auth" &&
           p.value("response") == expected;
}

void serveCamera(FakeHttpServer &server, const CameraBehaviour &behaviour)
{
    server.setHandler([behaviour](const FakeHttpServer::Request &request, QTcpSocket *socket) {
        if (!behaviour.credentials.isEmpty()) {
            const QByteArray given = request.headers.value("authorization");
            const QList<QByteArray> up = behaviour.credentials.split(':');
            const QByteArray nonce = "b4f1d2";
            const bool accepted = behaviour.digest
                                      ? digestAccepted(given, up.value(0), up.value(1), nonce)
                                      : given == "Basic " + behaviour.credentials.toBase64();
            if (!accepted) {
                FakeHttpServer::writeResponse(
                    socket, 401, "text/plain", "denied",
                    behaviour.digest ? "WWW-Authenticate: Digest realm=\"camera\", nonce=\"" +
                                           nonce + "\", qop=\"auth\", algorithm=MD5\r\n"
                                     : QByteArray("WWW-Authenticate: Basic realm=\"camera\"\r\n"));
                return;
            }
        }
        socket->write("HTTP/1.0 200 OK\r\nContent-Type: " + behaviour.contentType + "\r\n\r\n");
        auto *timer = new QTimer(socket);
        auto sent = std::make_shared<int>(0);
        QObject::connect(timer, &QTimer::timeout, socket, [=] {
            if (behaviour.framesThenStall >= 0 && *sent >= behaviour.framesThenStall)
                return;
            if (behaviour.framesThenClose >= 0 && *sent >= behaviour.framesThenClose) {
                timer->stop();
                socket->disconnectFromHost();
                return;
            }
            QByteArray frame = jpeg(*sent % 2 ? Qt::red : Qt::blue);
            if (behaviour.badFrameFirst && *sent == 0)
                frame = "this is no picture";
            if (!behaviour.bombEvery.isEmpty() && *sent % 2 == 0)
                frame = behaviour.bombEvery;
            socket->write("--frame\r\nContent-Type: image/jpeg\r\nContent-Length: " +
                          QByteArray::number(frame.size()) + "\r\n\r\n" + frame + "\r\n");
            ++*sent;
        });
        timer->start(20);
    });
}

// Left half red, right half blue, so a scaled decode can be checked for being the same picture.
QByteArray splitJpeg(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width() / 2; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

void configure(MjpegData &camera, const FakeHttpServer &server, const QString &path = "/s.mjpg")
{
    camera.setAddress(server.address());
    camera.setPort(QString::number(server.port()));
    camera.setPath(path);
}

} // namespace

class TestMjpegData : public QObject
{
    Q_OBJECT
private slots:
    void url_data();
    void url();
    void framesArriveAndDecode();
    void decodeFrameAtSize_data();
    void decodeFrameAtSize();
    void streamDecodesAtRequestedSize();
    void undecodableFrameKeepsPicture();
    void startTwiceSendsOneRequest();
    void wrongContentTypeStops_data();
    void wrongContentTypeStops();
    void stalledStreamIsRequestedAgain();
    void droppedStreamIsRequestedAgain();
    void stopCancelsPendingReconnect();
    void authentication_data();
    void authentication();
    void destroyedMidStream();
    void realFfmpegServer();
    void hostileStreamIsCut_data();
    void hostileStreamIsCut();
    void hostileCameraLeavesOthersStreaming();
    void oversizedFrameRefused_data();
    void oversizedFrameRefused();
    void bombFramesInStreamRefused();
};

void TestMjpegData::url_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("expected");

    QTest::newRow("bare address, port, slash path") << "127.0.0.1"
                                                    << "/video.mjpg"
                                                    << "8081"
                                                    << "http://127.0.0.1:8081/video.mjpg";
    QTest::newRow("empty port keeps default") << "127.0.0.1"
                                              << "/video.mjpg"
                                              << ""
                                              << "http://127.0.0.1/video.mjpg";
    QTest::newRow("double slash address") << "//127.0.0.1"
                                          << "/a?b=1"
                                          << "90"
                                          << "http://127.0.0.1:90/a?b=1";
    QTest::newRow("scheme kept") << "https://cam.local"
                                 << "/v"
                                 << ""
                                 << "https://cam.local/v";
    QTest::newRow("query path") << "127.0.0.1"
                                << "/cgi?user=a&pwd=b"
                                << ""
                                << "http://127.0.0.1/cgi?user=a&pwd=b";
    QTest::newRow("port not a number") << "127.0.0.1"
                                       << "/v"
                                       << "80a"
                                       << "";
    QTest::newRow("port out of range") << "127.0.0.1"
                                       << "/v"
                                       << "70000"
                                       << "";
    QTest::newRow("no host") << ""
                             << "/v"
                             << ""
                             << "";
}

void TestMjpegData::url()
{
    QFETCH(QString, address);
    QFETCH(QString, path);
    QFETCH(QString, port);
    QFETCH(QString, expected);
    const QUrl url = CameraUrl::build(address, path, port);
    QCOMPARE(url.isValid() ? url.toString() : QString(), expected);
}

void TestMjpegData::framesArriveAndDecode()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    serveCamera(server, {});
    MjpegData camera;
    configure(camera, server);
    QSignalSpy frames(&camera, &MjpegData::newImageGrabbed);
    QSignalSpy states(&camera, &MjpegData::stateChanged);
    camera.start();
    QCOMPARE(camera.state(), MjpegData::Grabbing);
    QCOMPARE(states.size(), 1);
    QTRY_VERIFY(frames.size() >= 3);
    const QImage first = frames.at(0).at(0).value<QImage>();
    QCOMPARE(first.size(), QSize(64, 48));
    QVERIFY(qBlue(first.pixel(10, 10)) > 200);
    QCOMPARE(server.requests().first().target, QByteArray("/s.mjpg"));
    camera.stop();
    QCOMPARE(camera.state(), MjpegData::NotGrabbing);
    QCOMPARE(states.size(), 2);
}

void TestMjpegData::decodeFrameAtSize_data()
{
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QSize>("atLeast");
    QTest::addColumn<QSize>("decoded");
    // clang-format off
    QTest::newRow("no size: full")          << QSize(1280, 720) << QSize()           << QSize(1280, 720);
    QTest::newRow("tile 480x360: half")     << QSize(1280, 720) << QSize(480, 360)   << QSize(640, 360);
    QTest::newRow("one pixel too tall")     << QSize(1280, 720) << QSize(480, 361)   << QSize(1280, 720);
    QTest::newRow("quarter exactly")        << QSize(1280, 720) << QSize(320, 180)   << QSize(320, 180);
    QTest::newRow("eighth is the floor")    << QSize(1280, 720) << QSize(20, 10)     << QSize(160, 90);
    QTest::newRow("larger than the frame")  << QSize(1280, 720) << QSize(1920, 1080) << QSize(1280, 720);
    QTest::newRow("odd size rounds up")     << QSize(1279, 719) << QSize(300, 170)   << QSize(320, 180);
    QTest::newRow("wide tile on tall frame") << QSize(480, 640) << QSize(240, 100)   << QSize(240, 320);
    // clang-format on
}

void TestMjpegData::decodeFrameAtSize()
{
    QFETCH(QSize, frame);
    QFETCH(QSize, atLeast);
    QFETCH(QSize, decoded);
    const QImage image = MjpegData::decodeFrame(splitJpeg(frame), atLeast);
    QCOMPARE(image.size(), decoded);
    // Still the same picture: red on the left, blue on the right.
    const QRgb left = image.pixel(image.width() / 4, image.height() / 2);
    const QRgb right = image.pixel(image.width() * 3 / 4, image.height() / 2);
    QVERIFY2(qRed(left) > 200 && qBlue(left) < 60, "left half is not red");
    QVERIFY2(qBlue(right) > 200 && qRed(right) < 60, "right half is not blue");
    QVERIFY(MjpegData::decodeFrame("not a picture", atLeast).isNull());
    QVERIFY(MjpegData::decodeFrame(splitJpeg(frame).left(100), atLeast).isNull());
}

void TestMjpegData::streamDecodesAtRequestedSize()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    const QByteArray frame = splitJpeg(QSize(640, 480));
    server.setHandler([frame](const FakeHttpServer::Request &, QTcpSocket *socket) {
        socket->write("HTTP/1.0 200 OK\r\nContent-Type: multipart/x-mixed-replace; "
                      "boundary=frame\r\n\r\n");
        auto *timer = new QTimer(socket);
        QObject::connect(timer, &QTimer::timeout, socket, [socket, frame] {
            socket->write("--frame\r\nContent-Type: image/jpeg\r\nContent-Length: " +
                          QByteArray::number(frame.size()) + "\r\n\r\n" + frame + "\r\n");
        });
        timer->start(20);
    });
    MjpegData camera;
    configure(camera, server);
    camera.setDecodeSize(QSize(150, 100));
    QCOMPARE(camera.decodeSize(), QSize(150, 100));
    QSignalSpy frames(&camera, &MjpegData::newImageGrabbed);
    camera.start();
    QVERIFY(frames.wait());
    QCOMPARE(frames.last().at(0).value<QImage>().size(), QSize(160, 120));
    // A larger picture area takes effect with the next frame, without a new request.
    camera.setDecodeSize(QSize(400, 300));
    frames.clear();
    QVERIFY(frames.wait());
    QCOMPARE(frames.last().at(0).value<QImage>().size(), QSize(640, 480));
    camera.setDecodeSize(QSize());
    QCOMPARE(camera.decodeSize(), QSize());
    QCOMPARE(server.requests().size(), 1);
    camera.stop();
}

void TestMjpegData::undecodableFrameKeepsPicture()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    CameraBehaviour behaviour;
    behaviour.badFrameFirst = true;
    serveCamera(server, behaviour);
    MjpegData camera;
    configure(camera, server);
    QSignalSpy frames(&camera, &MjpegData::newImageGrabbed);
    camera.start();
    QTRY_VERIFY(frames.size() >= 2);
    for (const QList<QVariant> &args : frames)
        QVERIFY(!args.at(0).value<QImage>().isNull());
}

void TestMjpegData::startTwiceSendsOneRequest()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    serveCamera(server, {});
    MjpegData camera;
    configure(camera, server);
    QSignalSpy frames(&camera, &MjpegData::newImageGrabbed);
    camera.start();
    camera.start();
    QTRY_VERIFY(frames.size() >= 5);
    QCOMPARE(server.requests().size(), 1);
    QCOMPARE(camera.requestCount(), 1);
}

void TestMjpegData::wrongContentTypeStops_data()
{
    QTest::addColumn<QByteArray>("contentType");
    QTest::newRow("single picture") << QByteArray("image/jpeg");
    QTest::newRow("no boundary") << QByteArray("multipart/x-mixed-replace");
    QTest::newRow("error page") << QByteArray("text/html");
}

void TestMjpegData::wrongContentTypeStops()
{
    QFETCH(QByteArray, contentType);
    FakeHttpServer server;
    QVERIFY(server.listen());
    CameraBehaviour behaviour;
    behaviour.contentType = contentType;
    serveCamera(server, behaviour);
    MjpegData camera;
    camera.setReconnectInterval(50);
    configure(camera, server);
    QSignalSpy states(&camera, &MjpegData::stateChanged);
    camera.start();
    QTRY_COMPARE(camera.state(), MjpegData::NotGrabbing);
    QCOMPARE(states.size(), 2);
    QSignalSpy again(&server, &FakeHttpServer::requestReceived);
    QVERIFY(!again.wait(300));
    QCOMPARE(server.requests().size(), 1);
}

void TestMjpegData::stalledStreamIsRequestedAgain()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    CameraBehaviour behaviour;
    behaviour.framesThenStall = 2;
    serveCamera(server, behaviour);
    MjpegData camera;
    camera.setWatchdogInterval(200);
    camera.setReconnectInterval(100);
    configure(camera, server);
    QSignalSpy finished(&camera, &MjpegData::finishGrabing);
    QSignalSpy frames(&camera, &MjpegData::newImageGrabbed);
    camera.start();
    QTRY_VERIFY(frames.size() >= 2);
    QTRY_VERIFY(finished.size() >= 1);
    QCOMPARE(camera.state(), MjpegData::Grabbing);
    QTRY_VERIFY(server.requests().size() >= 2);
    QTRY_VERIFY(frames.size() >= 4);
}

void TestMjpegData::droppedStreamIsRequestedAgain()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    CameraBehaviour behaviour;
    behaviour.framesThenClose = 1;
    serveCamera(server, behaviour);
    MjpegData camera;
    camera.setReconnectInterval(1000);
    configure(camera, server);
    QSignalSpy finished(&camera, &MjpegData::finishGrabing);
    camera.start();
    QTRY_VERIFY(finished.size() >= 1);
    // Paced: the next request only once the interval since the previous one has passed.
    QCOMPARE(server.requests().size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(server.requests().size() >= 3, 15000);
    QCOMPARE(camera.requestCount(), server.requests().size());
}

void TestMjpegData::stopCancelsPendingReconnect()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    CameraBehaviour behaviour;
    behaviour.framesThenClose = 1;
    serveCamera(server, behaviour);
    MjpegData camera;
    camera.setReconnectInterval(200);
    configure(camera, server);
    QSignalSpy finished(&camera, &MjpegData::finishGrabing);
    camera.start();
    QTRY_VERIFY(finished.size() >= 1);
    camera.stop();
    QSignalSpy again(&server, &FakeHttpServer::requestReceived);
    QVERIFY(!again.wait(800));
    QCOMPARE(server.requests().size(), 1);
    // Shown again, it streams again.
    QSignalSpy frames(&camera, &MjpegData::newImageGrabbed);
    camera.start();
    QTRY_VERIFY(frames.size() >= 1);
}

void TestMjpegData::authentication_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("digest");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("basic, right") << "secret" << false << true;
    QTest::newRow("basic, wrong") << "guess" << false << false;
    QTest::newRow("digest, right") << "secret" << true << true;
    QTest::newRow("digest, wrong") << "guess" << true << false;
}

void TestMjpegData::authentication()
{
    QFETCH(QString, password);
    QFETCH(bool, digest);
    QFETCH(bool, accepted);
    FakeHttpServer server;
    QVERIFY(server.listen());
    CameraBehaviour behaviour;
    behaviour.credentials = "viewer:secret";
    behaviour.digest = digest;
    serveCamera(server, behaviour);
    MjpegData camera;
    camera.setReconnectInterval(50);
    configure(camera, server);
    camera.setLogin(QStringLiteral("viewer"));
    camera.setPassword(password);
    QSignalSpy frames(&camera, &MjpegData::newImageGrabbed);
    QSignalSpy errors(&camera, &MjpegData::errorHappend);
    camera.start();
    if (accepted) {
        QTRY_VERIFY(frames.size() >= 2);
        QCOMPARE(errors.size(), 0);
        return;
    }
    QTRY_COMPARE(camera.state(), MjpegData::NotGrabbing);
    QVERIFY(errors.size() >= 1);
    QSignalSpy again(&server, &FakeHttpServer::requestReceived);
    QVERIFY(!again.wait(300));
    int withCredentials = 0;
    for (const FakeHttpServer::Request &r : server.requests())
        withCredentials += r.headers.contains("authorization") ? 1 : 0;
    QCOMPARE(withCredentials, 1);
    QCOMPARE(frames.size(), 0);
}

void TestMjpegData::destroyedMidStream()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    serveCamera(server, {});
    auto *camera = new MjpegData;
    configure(*camera, server);
    int received = 0;
    connect(camera, &MjpegData::newImageGrabbed, this, [&] { ++received; });
    bool finishedAfterDelete = false;
    connect(camera, &MjpegData::finishGrabing, this, [&] { finishedAfterDelete = !camera; });
    camera->start();
    QTRY_VERIFY(received >= 2);
    delete camera;
    camera = nullptr;
    // Let the aborted reply's queued signals run: none may reach the deleted reader.
    QSignalSpy more(&server, &FakeHttpServer::requestReceived);
    QVERIFY(!more.wait(200));
    QVERIFY(!finishedAfterDelete);
}

void TestMjpegData::realFfmpegServer()
{
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty())
        QSKIP("ffmpeg is not installed");
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    QProcess server;
    server.start(ffmpeg, ChildProcess::mjpegServerArguments({"-re", "-f", "lavfi", "-i",
                                                             "testsrc=size=320x240:rate=10", "-c:v",
                                                             "mjpeg", "-q:v", "5"},
                                                            port));
    QVERIFY(server.waitForStarted());
    MjpegData camera;
    camera.setAddress(QStringLiteral("127.0.0.1"));
    camera.setPort(QString::number(port));
    camera.setPath(QStringLiteral("/s.mjpg"));
    // ffmpeg needs a moment to listen: retry quickly until it does.
    camera.setReconnectInterval(100);
    QSignalSpy frames(&camera, &MjpegData::newImageGrabbed);
    camera.start();
    QTRY_VERIFY_WITH_TIMEOUT(frames.size() >= 5, 20000);
    QCOMPARE(frames.at(4).at(0).value<QImage>().size(), QSize(320, 240));
    QCOMPARE(camera.droppedParts(), 0);
    camera.stop();
    server.kill();
    server.waitForFinished();
}

namespace {

const QByteArray kStatus = "HTTP/1.1 200 OK\r\n";
const QByteArray kStreamHead =
    "HTTP/1.1 200 OK\r\nContent-Type: multipart/x-mixed-replace; boundary=frame\r\n\r\n";

// The most a value reached while the event loop ran.
class MaxSampler
{
public:
    explicit MaxSampler(std::function<qint64()> sample) : m_sample(std::move(sample))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { take(); });
        m_timer.start(2);
    }
    qint64 take()
    {
        m_max = qMax(m_max, m_sample());
        return m_max;
    }

private:
    std::function<qint64()> m_sample;
    QTimer m_timer;
    qint64 m_max = 0;
};

} // namespace

void TestMjpegData::hostileStreamIsCut_data()
{
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<QByteArray>("filler");
    QTest::addColumn<int>("intervalMs");
    QTest::addColumn<int>("watchdogMs");
    QTest::addColumn<qint64>("maxSent"); // bytes the peer may get into the network before the cut

    const QByteArray block(64 * 1024, '\xff');
    const qint64 kb = 1024;
    const qint64 frameCap = MediaConstants::Mjpeg::kMaxFrameBytes;
    // Cut for their size: the watchdog is too long to be what ends them.
    QTest::newRow("endless headers") << kStatus << "X-Pad: " + QByteArray(1000, 'a') + "\r\n" << 0
                                     << 60000 << 1024 * kb;
    QTest::newRow("part declaring 2 GB, then endless data")
        << kStreamHead + "--frame\r\nContent-Length: 2147483000\r\n\r\n" << block << 0 << 60000
        << frameCap + 4 * 1024 * kb;
    QTest::newRow("unthrottled data, no boundary") << kStreamHead << block << 0 << 60000
                                                   << frameCap + 4 * 1024 * kb;
    QTest::newRow("part without length or end")
        << kStreamHead + "--frame\r\nContent-Type: image/jpeg\r\n\r\n" << block << 0 << 60000
        << frameCap + 4 * 1024 * kb;
    QTest::newRow("endless part headers") << kStreamHead + "--frame\r\n"
                                          << QByteArray("X-Part: abcdefgh\r\n").repeated(64) << 0
                                          << 60000 << frameCap + 4 * 1024 * kb;
    // Cut for the time: no frame within the watchdog interval, counted from the request.
    QTest::newRow("headers trickling for ever") << kStatus << QByteArray("X-A: b\r\n") << 20
                                                << 300 << 64 * kb;
    QTest::newRow("silent after the status line") << kStatus << QByteArray() << 0 << 300 << 64 * kb;
    QTest::newRow("silent after the stream headers") << kStreamHead << QByteArray() << 0 << 300
                                                     << 64 * kb;
}

void TestMjpegData::hostileStreamIsCut()
{
    QFETCH(QByteArray, prefix);
    QFETCH(QByteArray, filler);
    QFETCH(int, intervalMs);
    QFETCH(int, watchdogMs);
    QFETCH(qint64, maxSent);
    HostilePeer peer({prefix, filler, intervalMs});
    QVERIFY(peer.listen());
    MjpegData camera;
    camera.setAddress(QStringLiteral("127.0.0.1"));
    camera.setPort(QString::number(peer.port()));
    camera.setPath(QStringLiteral("/s.mjpg"));
    camera.setWatchdogInterval(watchdogMs);
    camera.setReconnectInterval(600000); // one connection in this test
    MaxSampler held([&camera] { return camera.bufferedBytes(); });
    QSignalSpy finished(&camera, &MjpegData::finishGrabing);
    camera.start();
    QTRY_COMPARE_WITH_TIMEOUT(peer.closedConnections(), 1, 30000);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(peer.connections(), 1);
    qInfo("peer sent %lld bytes before the cut; the reader held at most %lld", peer.bytesSent(),
          held.take());
    QVERIFY2(peer.bytesSent() <= maxSent, QByteArray::number(peer.bytesSent()));
    // What the reader held stayed within a part and the read buffer.
    QVERIFY2(held.take() <= MediaConstants::Mjpeg::kMaxFrameBytes +
                                MediaConstants::Mjpeg::kMaxHeaderBytes +
                                MediaConstants::Http::kReadBufferBytes,
             QByteArray::number(held.take()));
    // Still grabbing: the next request follows at the reconnect pace.
    QCOMPARE(camera.state(), MjpegData::Grabbing);
    QCOMPARE(camera.bufferedBytes(), 0);
}

void TestMjpegData::hostileCameraLeavesOthersStreaming()
{
    HostilePeer flood({kStreamHead + "--frame\r\nContent-Length: 2147483000\r\n\r\n",
                       QByteArray(64 * 1024, 'x'), 0});
    QVERIFY(flood.listen());
    MjpegData hostile;
    hostile.setAddress(QStringLiteral("127.0.0.1"));
    hostile.setPort(QString::number(flood.port()));
    hostile.setPath(QStringLiteral("/s.mjpg"));
    hostile.setReconnectInterval(10); // back at once, flooding again
    FakeHttpServer server;
    QVERIFY(server.listen());
    serveCamera(server, {});
    MjpegData good;
    configure(good, server);
    QSignalSpy frames(&good, &MjpegData::newImageGrabbed);
    MaxSampler held([&hostile] { return hostile.bufferedBytes(); });
    hostile.start();
    good.start();
    QTRY_VERIFY_WITH_TIMEOUT(frames.size() >= 20, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(flood.closedConnections() >= 2, 20000);
    QVERIFY(held.take() <= MediaConstants::Mjpeg::kMaxFrameBytes +
                               MediaConstants::Mjpeg::kMaxHeaderBytes +
                               MediaConstants::Http::kReadBufferBytes);
}

void TestMjpegData::oversizedFrameRefused_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QSize>("atLeast");
    QTest::addColumn<QSize>("decoded"); // empty: refused
    const QSize tile(480, 360);
    QTest::newRow("65500 x 65500 in 242 bytes, for a tile")
        << PictureBomb::jpeg(QSize(65500, 65500)) << tile << QSize();
    QTest::newRow("65500 x 65500 in full") << PictureBomb::jpeg(QSize(65500, 65500)) << QSize()
                                           << QSize();
    QTest::newRow("too wide") << PictureBomb::jpeg(QSize(8193, 64)) << tile << QSize();
    QTest::newRow("too tall") << PictureBomb::jpeg(QSize(64, 8193)) << tile << QSize();
    QTest::newRow("at the limit") << splitJpeg(QSize(8192, 64)) << QSize(1024, 8)
                                  << QSize(1024, 8);
}

void TestMjpegData::oversizedFrameRefused()
{
    QFETCH(QByteArray, frame);
    QFETCH(QSize, atLeast);
    QFETCH(QSize, decoded);
    const QImage image = MjpegData::decodeFrame(frame, atLeast);
    if (decoded.isEmpty())
        QVERIFY(image.isNull());
    else
        QCOMPARE(image.size(), decoded);
}

void TestMjpegData::bombFramesInStreamRefused()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    CameraBehaviour behaviour;
    behaviour.bombEvery = PictureBomb::jpeg(QSize(65500, 65500));
    serveCamera(server, behaviour);
    MjpegData camera;
    configure(camera, server);
    camera.setDecodeSize(QSize(480, 360));
    QSignalSpy frames(&camera, &MjpegData::newImageGrabbed);
    camera.start();
    QTRY_VERIFY(frames.size() >= 3 && camera.refusedFrames() >= 3);
    for (const QList<QVariant> &args : frames)
        QCOMPARE(args.at(0).value<QImage>().size(), QSize(64, 48));
    QCOMPARE(camera.state(), MjpegData::Grabbing);
}

QTEST_MAIN(TestMjpegData)
#include "tst_mjpegdata.moc"
