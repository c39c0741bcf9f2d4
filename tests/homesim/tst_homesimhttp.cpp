// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The simulator's HTTP side, checked with the panel's own stream reader, PTZ sender and weather
// client: every stream framing, stalls, drops, authentication, PTZ moves and the forecast.
#include "mjpegdata.h"
#include "ptzmanager.h"
#include "weatherdata.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QtTest>

namespace {

constexpr int kStartTimeoutMs = 10000;

class HttpSim
{
public:
    ~HttpSim()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.closeWriteChannel();
            if (!m_process.waitForFinished(5000))
                m_process.kill();
            m_process.waitForFinished();
        }
    }

    bool start(const QStringList &extra)
    {
        QStringList args = {QStringLiteral("--listen"),      QStringLiteral("127.0.0.1:0"),
                            QStringLiteral("--stop-on-eof"), QStringLiteral("--quiet"),
                            QStringLiteral("--camera"),      QStringLiteral("Gate:0"),
                            QStringLiteral("--weather"),     QStringLiteral("0"),
                            QStringLiteral("--camera-size"), QStringLiteral("160x120"),
                            QStringLiteral("--camera-fps"),  QStringLiteral("25")};
        m_process.start(QStringLiteral(HOMESIM_PATH), args + extra);
        if (!m_process.waitForStarted(kStartTimeoutMs))
            return false;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < kStartTimeoutMs && (m_camera == 0 || m_weather == 0)) {
            while (m_process.canReadLine()) {
                const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
                const int port = line.section(QLatin1Char(':'), -1).toInt();
                if (line.startsWith(QLatin1String("http camera Gate ")))
                    m_camera = port;
                else if (line.startsWith(QLatin1String("http weather ")))
                    m_weather = port;
            }
            if (m_camera && m_weather)
                break;
            if (m_process.state() == QProcess::NotRunning || !m_process.waitForReadyRead(1000))
                continue;
        }
        return m_camera > 0 && m_weather > 0;
    }
    int cameraPort() const { return m_camera; }
    int weatherPort() const { return m_weather; }

private:
    QProcess m_process;
    int m_camera = 0;
    int m_weather = 0;
};

void aim(MjpegData &camera, const HttpSim &sim, const QString &path = QStringLiteral("/v.mjpg"))
{
    camera.setAddress(QStringLiteral("127.0.0.1"));
    camera.setPort(QString::number(sim.cameraPort()));
    camera.setPath(path);
}

// The simulated camera's view as "centerX centerY zoom moves".
QList<double> viewOf(const HttpSim &sim, const QString &credentials = QString())
{
    QNetworkAccessManager manager;
    QUrl url(QStringLiteral("http://127.0.0.1:%1/state").arg(sim.cameraPort()));
    QNetworkRequest request(url);
    if (!credentials.isEmpty())
        request.setRawHeader("Authorization", "Basic " + credentials.toUtf8().toBase64());
    QNetworkReply *reply = manager.get(request);
    QSignalSpy done(reply, &QNetworkReply::finished);
    done.wait(5000);
    QList<double> values;
    for (const QByteArray &v : reply->readAll().trimmed().split(' '))
        values << v.toDouble();
    delete reply;
    return values;
}

} // namespace

class TestHomeSimHttp : public QObject
{
    Q_OBJECT
private slots:
    void everyFraming_data();
    void everyFraming();
    void stalledStreamIsRestarted();
    void droppedStreamIsRestarted();
    void authentication_data();
    void authentication();
    void ptzMovesTheView_data();
    void ptzMovesTheView();
    void weatherForecast();
    void weatherRejectsHostileId();
    void townsHaveTheirOwnWeather();
};

void TestHomeSimHttp::everyFraming_data()
{
    QTest::addColumn<QString>("framing");
    QTest::addColumn<bool>("dropsParts");
    const QStringList names = {"standard",  "lower",    "upper",   "nospace",   "extra",
                               "typeafter", "nolength", "quoted",  "dashed",    "lf",
                               "padded",    "trickle",  "chunked", "badlength", "hugelength"};
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << name << name.endsWith(QLatin1String("length"));
    // "nolength" ends in "length" but drops nothing.
}

void TestHomeSimHttp::everyFraming()
{
    QFETCH(QString, framing);
    QFETCH(bool, dropsParts);
    HttpSim sim;
    QVERIFY(sim.start({QStringLiteral("--framing"), framing}));
    MjpegData camera;
    camera.setReconnectInterval(100);
    aim(camera, sim);
    QSignalSpy frames(&camera, &MjpegData::newImageGrabbed);
    camera.start();
    QTRY_VERIFY_WITH_TIMEOUT(frames.size() >= 6, 15000);
    for (const QList<QVariant> &args : frames)
        QCOMPARE(args.at(0).value<QImage>().size(), QSize(160, 120));
    if (framing == QLatin1String("nolength"))
        dropsParts = false;
    QCOMPARE(camera.droppedParts() > 0, dropsParts);
    QCOMPARE(camera.requestCount(), 1);
    camera.stop();
}

void TestHomeSimHttp::stalledStreamIsRestarted()
{
    HttpSim sim;
    QVERIFY(sim.start({}));
    MjpegData camera;
    camera.setWatchdogInterval(300);
    camera.setReconnectInterval(100);
    aim(camera, sim, QStringLiteral("/v.mjpg?stall=2"));
    QSignalSpy frames(&camera, &MjpegData::newImageGrabbed);
    QSignalSpy finished(&camera, &MjpegData::finishGrabing);
    camera.start();
    QTRY_VERIFY_WITH_TIMEOUT(finished.size() >= 1, 10000);
    QVERIFY(frames.size() >= 2);
    QTRY_VERIFY_WITH_TIMEOUT(frames.size() >= 4, 10000);
    QVERIFY(camera.requestCount() >= 2);
    QCOMPARE(camera.state(), MjpegData::Grabbing);
}

void TestHomeSimHttp::droppedStreamIsRestarted()
{
    HttpSim sim;
    QVERIFY(sim.start({}));
    MjpegData camera;
    camera.setReconnectInterval(200);
    aim(camera, sim, QStringLiteral("/v.mjpg?drop=3"));
    QSignalSpy frames(&camera, &MjpegData::newImageGrabbed);
    QSignalSpy finished(&camera, &MjpegData::finishGrabing);
    camera.start();
    QTRY_VERIFY_WITH_TIMEOUT(finished.size() >= 2, 10000);
    QVERIFY(frames.size() >= 6);
    QCOMPARE(camera.state(), MjpegData::Grabbing);
}

void TestHomeSimHttp::authentication_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("right") << "demo" << true;
    QTest::newRow("wrong") << "nope" << false;
}

void TestHomeSimHttp::authentication()
{
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    HttpSim sim;
    QVERIFY(sim.start({QStringLiteral("--camera-auth"), QStringLiteral("demo:demo")}));
    MjpegData camera;
    aim(camera, sim);
    camera.setLogin(QStringLiteral("demo"));
    camera.setPassword(password);
    QSignalSpy frames(&camera, &MjpegData::newImageGrabbed);
    camera.start();
    if (accepted) {
        QTRY_VERIFY_WITH_TIMEOUT(frames.size() >= 3, 10000);
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(camera.state(), MjpegData::NotGrabbing, 10000);
        QCOMPARE(frames.size(), 0);
        QCOMPARE(camera.requestCount(), 1);
    }
}

void TestHomeSimHttp::ptzMovesTheView_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<int>("axis"); // 0 x, 1 y, 2 zoom
    QTest::addColumn<int>("sign");
    QTest::newRow("left") << QByteArray("moveLeft") << 0 << -1;
    QTest::newRow("right") << QByteArray("moveRight") << 0 << 1;
    QTest::newRow("up") << QByteArray("moveUp") << 1 << -1;
    QTest::newRow("down") << QByteArray("moveDown") << 1 << 1;
    QTest::newRow("zoom in") << QByteArray("zoomIn") << 2 << 1;
}

void TestHomeSimHttp::ptzMovesTheView()
{
    QFETCH(QByteArray, slot);
    QFETCH(int, axis);
    QFETCH(int, sign);
    HttpSim sim;
    QVERIFY(sim.start({QStringLiteral("--camera-auth"), QStringLiteral("op:pw")}));
    PtzManager ptz;
    ptz.setAddress(QStringLiteral("//127.0.0.1"));
    ptz.setPort(QString::number(sim.cameraPort()));
    ptz.setLogin(QStringLiteral("op"));
    ptz.setPassword(QStringLiteral("pw"));
    ptz.setMoveLeft(QStringLiteral("/ptz?move=left"));
    ptz.setMoveRight(QStringLiteral("/ptz?move=right"));
    ptz.setMoveUp(QStringLiteral("/ptz?move=up"));
    ptz.setMoveDown(QStringLiteral("/ptz?move=down"));
    ptz.setMoveHome(QStringLiteral("/ptz?move=home"));
    ptz.setZoomIn(QStringLiteral("/ptz?zoom=in"));
    ptz.setZoomOut(QStringLiteral("/ptz?zoom=out"));

    // From a zoomed-in view every direction has room.
    ptz.zoomIn();
    QTRY_COMPARE_WITH_TIMEOUT(viewOf(sim, "op:pw").value(3), 1.0, 10000);
    const QList<double> before = viewOf(sim, "op:pw");
    QVERIFY(QMetaObject::invokeMethod(&ptz, slot.constData()));
    QTRY_COMPARE_WITH_TIMEOUT(viewOf(sim, "op:pw").value(3), 2.0, 10000);
    const QList<double> after = viewOf(sim, "op:pw");
    QVERIFY2((after.at(axis) - before.at(axis)) * sign > 0,
             qPrintable(QStringLiteral("%1 -> %2").arg(before.at(axis)).arg(after.at(axis))));

    ptz.moveHome();
    QTRY_COMPARE_WITH_TIMEOUT(viewOf(sim, "op:pw").value(3), 3.0, 10000);
    QCOMPARE(viewOf(sim, "op:pw").value(2), 1.0);
    // Without credentials the camera refuses to tell.
    QVERIFY(viewOf(sim).isEmpty() || viewOf(sim).value(3) == 0);
}

void TestHomeSimHttp::weatherForecast()
{
    HttpSim sim;
    QVERIFY(sim.start({QStringLiteral("--weather-period"), QStringLiteral("1")}));
    WeatherData weather;
    weather.setInformerPrefix(QStringLiteral("127.0.0.1:%1/xml/").arg(sim.weatherPort()));
    weather.setTown(QStringLiteral("Demo Town"), QStringLiteral("26063"));
    QSignalSpy updated(&weather, &WeatherData::WeatherUpdated);
    weather.requestUpdate();
    QVERIFY(updated.wait(10000));
    const ForecastClass::Forecast first = weather.forecast();
    QCOMPARE(first.townName, QStringLiteral("Town 26063"));
    QVERIFY(first.year >= 2024);
    QVERIFY(first.temperatureMax > first.temperatureMin);
    QVERIFY(first.pressureMax > 700);
    QVERIFY(first.precipitation == 4 || first.precipitation == 6 || first.precipitation == 8 ||
            first.precipitation == 10);

    // The weather moves on with the timeline.
    bool changed = false;
    for (int i = 0; i < 40 && !changed; ++i) {
        weather.requestUpdate();
        QVERIFY(updated.wait(10000));
        const ForecastClass::Forecast f = weather.forecast();
        changed = f.cloudiness != first.cloudiness || f.precipitation != first.precipitation ||
                  f.temperatureMax != first.temperatureMax || f.windMax != first.windMax;
        if (!changed)
            QTest::qWait(100);
    }
    QVERIFY(changed);
}

// Two tiles of two towns must not show the same numbers: each town has weather of its own.
void TestHomeSimHttp::townsHaveTheirOwnWeather()
{
    HttpSim sim;
    QVERIFY(sim.start({QStringLiteral("--weather-period"), QStringLiteral("3600")}));
    const auto forecastOf = [&sim](const QString &id) {
        WeatherData weather;
        weather.setInformerPrefix(QStringLiteral("127.0.0.1:%1/xml/").arg(sim.weatherPort()));
        weather.setTown(id, id);
        QSignalSpy updated(&weather, &WeatherData::WeatherUpdated);
        weather.requestUpdate();
        updated.wait(10000);
        return weather.forecast();
    };
    const QStringList ids{QStringLiteral("26063"), QStringLiteral("27612"),
                          QStringLiteral("demo-2")};
    QList<ForecastClass::Forecast> seen;
    for (const QString &id : ids) {
        seen << forecastOf(id);
        QVERIFY(seen.last().pressureMax > 700);
    }
    for (int a = 0; a < seen.size(); ++a) {
        for (int b = a + 1; b < seen.size(); ++b) {
            const bool differ = seen[a].temperatureMax != seen[b].temperatureMax ||
                                seen[a].pressureMax != seen[b].pressureMax ||
                                seen[a].cloudiness != seen[b].cloudiness;
            QVERIFY2(differ, qPrintable(ids[a] + QLatin1String(" and ") + ids[b]));
        }
    }
}

void TestHomeSimHttp::weatherRejectsHostileId()
{
    HttpSim sim;
    QVERIFY(sim.start({}));
    WeatherData weather;
    weather.setInformerPrefix(QStringLiteral("http://127.0.0.1:%1/xml/").arg(sim.weatherPort()));
    weather.setTown(QStringLiteral("x"), QStringLiteral("../../etc/passwd"));
    QSignalSpy updated(&weather, &WeatherData::WeatherUpdated);
    weather.requestUpdate();
    QVERIFY(weather.isBusy());
    QTRY_VERIFY_WITH_TIMEOUT(!weather.isBusy(), 10000);
    QCOMPARE(updated.size(), 0);
}

QTEST_MAIN(TestHomeSimHttp)
#include "tst_homesimhttp.moc"
