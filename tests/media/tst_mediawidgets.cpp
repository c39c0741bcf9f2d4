// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The camera widgets and the weather tile on a scene: streaming follows the page being shown,
// PTZ buttons send their requests, the tile fetches when shown and draws what arrives.
#include "avcamcontrolv1.h"
#include "ecoreapp.h"
#include "eiconwidget.h"
#include "elabelwidget.h"
#include "elocale.h"
#include "extavwidget.h"
#include "extmjpegwidget.h"
#include "extweatherwidget.h"
#include "fakehttpserver.h"
#include "ipcamcontrolv1.h"
#include "mjpegdata.h"
#include "weathercontrolv1.h"
#include "weatherdata.h"

#include <QBuffer>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QtTest>

namespace {

QByteArray jpeg(const QSize &size = QSize(32, 24))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::green);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

// A camera that streams to every request and answers PTZ requests with "OK".
void serveCamera(FakeHttpServer &server, const QSize &frameSize = QSize(32, 24))
{
    server.setHandler([frameSize](const FakeHttpServer::Request &request, QTcpSocket *socket) {
        if (request.target.startsWith("/ptz")) {
            FakeHttpServer::writeResponse(socket, 200, "text/plain", "OK");
            return;
        }
        socket->write(
            "HTTP/1.0 200 OK\r\nContent-Type: multipart/x-mixed-replace;boundary=b\r\n\r\n");
        auto *timer = new QTimer(socket);
        QObject::connect(timer, &QTimer::timeout, socket, [socket, frameSize] {
            const QByteArray frame = jpeg(frameSize);
            socket->write("--b\r\nContent-Type: image/jpeg\r\nContent-Length: " +
                          QByteArray::number(frame.size()) + "\r\n\r\n" + frame + "\r\n");
        });
        timer->start(20);
    });
}

int streamRequests(const FakeHttpServer &server)
{
    int n = 0;
    for (const FakeHttpServer::Request &r : server.requests())
        n += r.target == "/cam.mjpg" ? 1 : 0;
    return n;
}

std::unique_ptr<IpCamControlV1> cameraRecord(const FakeHttpServer &server)
{
    auto record = IpCamControlV1::create(QStringLiteral("cam"), QStringLiteral("Gate"), {});
    record->setIpaddress(QStringLiteral("//127.0.0.1"));
    record->setPort(QString::number(server.port()));
    record->setInitial(QStringLiteral("/cam.mjpg"));
    record->setPtzMoveLeft(QStringLiteral("/ptz?move=left"));
    record->setPtzMoveRight(QStringLiteral("/ptz?move=right"));
    record->setPtzMoveUp(QStringLiteral("/ptz?move=up"));
    record->setPtzMoveDown(QStringLiteral("/ptz?move=down"));
    record->setPtzMoveHome(QStringLiteral("/ptz?move=home"));
    record->setPtzZoomIn(QStringLiteral("/ptz?zoom=in"));
    record->setPtzZoomOut(QStringLiteral("/ptz?zoom=out"));
    record->setShowptz(true);
    record->setShowRound(true);
    record->setWidth(400);
    record->setHeight(300);
    return record;
}

const char kForecast[] = R"(<MMWEATHER><REPORT><TOWN><FORECAST tod="3" sname="Demo Town">
<PHENOMENA cloudiness="0" precipitation="10"/><TEMPERATURE max="-3" min="-8"/>
<WIND min="2" max="5"/><RELWET max="90" min="80"/><PRESSURE max="750" min="746"/>
<HEAT min="-12" max="-6"/></FORECAST></TOWN></REPORT></MMWEATHER>)";

} // namespace

class TestMediaWidgets : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cameraStreamsOnlyWhileShown();
    void cameraDecodesAtTileSize_data();
    void cameraDecodesAtTileSize();
    void toolsButtonTogglesPtzButtons();
    void ptzButtonsSendTheirRequests();
    void avCameraShowsPlaceholderAndButtons();
    void avCameraStreamsWhileShown();
    void conditionIcon_data();
    void conditionIcon();
    void weatherTileFetchesWhenShown();
    void weatherTileShowsMeans();
};

void TestMediaWidgets::initTestCase()
{
    ECoreApp::instance()->locale()->load(QStringLiteral("en_US"));
}

void TestMediaWidgets::cameraStreamsOnlyWhileShown()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    serveCamera(server);
    auto record = cameraRecord(server);
    QGraphicsScene scene;
    auto *page = new QGraphicsRectItem(0, 0, 800, 600);
    page->setVisible(false);
    scene.addItem(page);
    auto *widget = new ExtMjpegWidget(record.get(), page);
    QCOMPARE(widget->size(), QSizeF(400, 300));
    QCOMPARE(widget->captionLabel()->labelT(), QStringLiteral("Gate"));
    QVERIFY(widget->showsPlaceholder());

    // A hidden page does not stream.
    QSignalSpy requests(&server, &FakeHttpServer::requestReceived);
    QVERIFY(!requests.wait(200));
    QCOMPARE(widget->stream()->state(), MjpegData::NotGrabbing);

    page->setVisible(true);
    QTRY_VERIFY(!widget->showsPlaceholder());
    QCOMPARE(widget->picture().size(), QSize(32, 24));
    QCOMPARE(streamRequests(server), 1);

    page->setVisible(false);
    QCOMPARE(widget->stream()->state(), MjpegData::NotGrabbing);
    QVERIFY(widget->showsPlaceholder());

    page->setVisible(true);
    QTRY_VERIFY(!widget->showsPlaceholder());
    QCOMPARE(streamRequests(server), 2);
    delete page; // mid-stream
}

void TestMediaWidgets::cameraDecodesAtTileSize_data()
{
    // The picture area is the tile less a 10 px margin all round and the 30 px caption.
    QTest::addColumn<QSize>("tile");
    QTest::addColumn<QSize>("decoded");
    QTest::addColumn<QSize>("largerTile");
    QTest::addColumn<QSize>("decodedLarger");
    // clang-format off
    QTest::newRow("small tile, then full")
        << QSize(200, 150) << QSize(320, 180) << QSize(1000, 700) << QSize(1280, 720);
    QTest::newRow("half, then full")
        << QSize(500, 410) << QSize(640, 360) << QSize(700, 420) << QSize(1280, 720);
    QTest::newRow("eighth, then quarter")
        << QSize(120, 110) << QSize(160, 90) << QSize(300, 230) << QSize(320, 180);
    // clang-format on
}

void TestMediaWidgets::cameraDecodesAtTileSize()
{
    QFETCH(QSize, tile);
    QFETCH(QSize, decoded);
    QFETCH(QSize, largerTile);
    QFETCH(QSize, decodedLarger);
    FakeHttpServer server;
    QVERIFY(server.listen());
    serveCamera(server, QSize(1280, 720));
    auto record = cameraRecord(server);
    record->setWidth(tile.width());
    record->setHeight(tile.height());
    QGraphicsScene scene;
    auto *widget = new ExtMjpegWidget(record.get());
    scene.addItem(widget);
    QTRY_VERIFY(!widget->showsPlaceholder());
    QTRY_COMPARE(widget->picture().size(), decoded);

    record->setWidth(largerTile.width());
    record->setHeight(largerTile.height());
    widget->applyRecord(record.get());
    QCOMPARE(widget->size(), QSizeF(largerTile));
    QTRY_COMPARE(widget->picture().size(), decodedLarger);
    QCOMPARE(streamRequests(server), 1);
}

void TestMediaWidgets::toolsButtonTogglesPtzButtons()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    auto record = cameraRecord(server);
    ExtMjpegWidget widget(record.get());
    QVERIFY(widget.toolsButton()->isVisible());
    for (int i = 0; i < ExtCameraWidget::PtzButtonCount; ++i)
        QVERIFY(!widget.ptzButton(ExtCameraWidget::PtzButton(i))->isVisible());
    emit widget.toolsButton()->clicked();
    QVERIFY(widget.toolsVisible());
    for (int i = 0; i < ExtCameraWidget::PtzButtonCount; ++i)
        QVERIFY(widget.ptzButton(ExtCameraWidget::PtzButton(i))->isVisible());
    emit widget.toolsButton()->clicked();
    QVERIFY(!widget.toolsVisible());
    for (int i = 0; i < ExtCameraWidget::PtzButtonCount; ++i)
        QVERIFY(!widget.ptzButton(ExtCameraWidget::PtzButton(i))->isVisible());

    record->setShowptz(false);
    widget.applyRecord(record.get());
    QVERIFY(!widget.toolsButton()->isVisible());
}

void TestMediaWidgets::ptzButtonsSendTheirRequests()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    serveCamera(server);
    auto record = cameraRecord(server);
    QGraphicsScene scene;
    QGraphicsView view(&scene);
    auto *widget = new ExtMjpegWidget(record.get());
    widget->setVisible(false); // no stream: only PTZ requests reach the server
    scene.addItem(widget);
    widget->setVisible(true);
    widget->stream()->stop();
    view.resize(500, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    auto click = [&view](QGraphicsWidget *item) {
        const QPoint pos = view.mapFromScene(item->mapToScene(item->rect().center()));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, pos);
    };
    click(widget->toolsButton());
    QVERIFY(widget->toolsVisible());
    const QList<QPair<ExtCameraWidget::PtzButton, QByteArray>> buttons = {
        {ExtCameraWidget::Left, "/ptz?move=left"},  {ExtCameraWidget::Right, "/ptz?move=right"},
        {ExtCameraWidget::Up, "/ptz?move=up"},      {ExtCameraWidget::Down, "/ptz?move=down"},
        {ExtCameraWidget::Home, "/ptz?move=home"},  {ExtCameraWidget::ZoomIn, "/ptz?zoom=in"},
        {ExtCameraWidget::ZoomOut, "/ptz?zoom=out"}};
    // The stream was asked for when the widget first showed; under load that request may reach
    // the server only now, so only the PTZ requests are counted.
    const auto ptzRequests = [&server] {
        QList<QByteArray> targets;
        for (const auto &request : server.requests()) {
            if (request.target.startsWith("/ptz"))
                targets << request.target;
        }
        return targets;
    };
    for (const auto &button : buttons) {
        const int before = ptzRequests().size();
        click(widget->ptzButton(button.first));
        QTRY_COMPARE(ptzRequests().size(), before + 1);
        QCOMPARE(ptzRequests().last(), button.second);
    }
}

void TestMediaWidgets::avCameraShowsPlaceholderAndButtons()
{
    auto record = AVCamControlV1::create(QStringLiteral("av"), QStringLiteral("Door"), {});
    record->setShowptz(true);
    ExtAVWidget widget(record.get());
    QVERIFY(widget.showsPlaceholder());
    QVERIFY(widget.toolsButton()->isVisible());
    widget.showHideTools();
    QVERIFY(widget.ptzButton(ExtCameraWidget::ZoomIn)->isVisible());
    QCOMPARE(widget.size(), QSizeF(300, 300));
}

// An audio/video camera serves its picture as MJPEG too; the demo's front door camera showed
// nothing because this widget never asked for it.
void TestMediaWidgets::avCameraStreamsWhileShown()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    serveCamera(server);
    auto record = AVCamControlV1::create(QStringLiteral("av"), QStringLiteral("Front door"), {});
    record->setIpaddress(QStringLiteral("//127.0.0.1"));
    record->setPort(QString::number(server.port()));
    record->setInitial(QStringLiteral("/cam.mjpg"));
    QGraphicsScene scene;
    auto *page = new QGraphicsRectItem(0, 0, 800, 600);
    page->setVisible(false);
    scene.addItem(page);
    auto *widget = new ExtAVWidget(record.get(), page);
    QVERIFY(widget->showsPlaceholder());
    page->setVisible(true);
    QTRY_VERIFY(!widget->showsPlaceholder());
    QCOMPARE(widget->picture().size(), QSize(32, 24));
    QCOMPARE(streamRequests(server), 1);
    page->setVisible(false);
    QTRY_VERIFY(widget->showsPlaceholder());
    QCOMPARE(widget->stream()->state(), MjpegData::NotGrabbing);
}

void TestMediaWidgets::conditionIcon_data()
{
    QTest::addColumn<int>("tod");
    QTest::addColumn<int>("cloudiness");
    QTest::addColumn<int>("precipitation");
    QTest::addColumn<QString>("icon");
    QTest::newRow("rain, clear day") << 1 << 0 << 4 << "sun_rain.png";
    QTest::newRow("rain, clear night") << 0 << 1 << 5 << "moon_rain.png";
    QTest::newRow("rain, cloudy") << 2 << 2 << 4 << "raind.png";
    QTest::newRow("snow, day") << 2 << 1 << 6 << "sun_snow.png";
    QTest::newRow("snow, night") << 3 << 0 << 7 << "moon_snow.png";
    QTest::newRow("snow, cloudy") << 3 << 3 << 6 << "snow.png";
    QTest::newRow("thunder, day") << 1 << 0 << 8 << "sun_thunder.png";
    QTest::newRow("thunder, night") << 3 << 0 << 8 << "moon_thunder.png";
    QTest::newRow("thunder, cloudy") << 1 << 2 << 8 << "thunder.png";
    QTest::newRow("clear day") << 2 << 0 << 10 << "sun.png";
    QTest::newRow("clear night") << 0 << 0 << 10 << "moon.png";
    QTest::newRow("clouds by day") << 1 << 3 << 10 << "sun_clouds.png";
    QTest::newRow("clouds by night") << 3 << 2 << 10 << "moon_cloud.png";
    QTest::newRow("unknown") << 1 << 0 << 9 << "na.png";
    QTest::newRow("hostile") << INT_MIN << INT_MAX << INT_MIN << "na.png";
}

void TestMediaWidgets::conditionIcon()
{
    QFETCH(int, tod);
    QFETCH(int, cloudiness);
    QFETCH(int, precipitation);
    QFETCH(QString, icon);
    QCOMPARE(ExtWeatherWidget::conditionIcon(tod, cloudiness, precipitation), icon);
}

void TestMediaWidgets::weatherTileFetchesWhenShown()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    server.setHandler([](const FakeHttpServer::Request &, QTcpSocket *socket) {
        FakeHttpServer::writeResponse(socket, 200, "text/xml", kForecast);
    });
    WeatherData::setDefaultInformerPrefix(QStringLiteral("127.0.0.1:%1/xml").arg(server.port()));
    auto record = WeatherControlV1::create(QStringLiteral("w"), QStringLiteral("Demo Town"), {});
    record->setCityId(QStringLiteral("26063"));
    QGraphicsScene scene;
    auto *page = new QGraphicsRectItem(0, 0, 800, 600);
    page->setVisible(false);
    scene.addItem(page);
    auto *tile = new ExtWeatherWidget(record.get(), page);
    QCOMPARE(tile->temperatureText(), QStringLiteral("NA°C"));
    QCOMPARE(tile->updateText(), QStringLiteral("undefined"));
    QCOMPARE(tile->iconName(), QStringLiteral("na.png"));
    QSignalSpy requests(&server, &FakeHttpServer::requestReceived);
    QVERIFY(!requests.wait(200));
    QVERIFY(!tile->isRefreshing());

    page->setVisible(true);
    QCOMPARE(tile->updateText(), QStringLiteral("update..."));
    QVERIFY(tile->isRefreshing());
    QTRY_COMPARE(tile->temperatureText(), QStringLiteral("-5°C"));
    QCOMPARE(server.requests().size(), 1);
    QCOMPARE(server.requests().at(0).target, QByteArray("/xml/26063_1.xml"));
    QVERIFY(tile->updateText().startsWith(QStringLiteral("updated in ")));
    QCOMPARE(tile->iconName(), QStringLiteral("moon.png"));

    emit tile->refreshButton()->clicked();
    QTRY_COMPARE(server.requests().size(), 2);
    page->setVisible(false);
    QVERIFY(!tile->isRefreshing());
    WeatherData::setDefaultInformerPrefix(QString());
}

void TestMediaWidgets::weatherTileShowsMeans()
{
    auto record = WeatherControlV1::create(QStringLiteral("w"), QStringLiteral("Town"), {});
    ExtWeatherWidget tile(record.get());
    ForecastClass::Forecast f;
    f.temperatureMax = INT_MAX;
    f.temperatureMin = INT_MAX;
    f.windMax = 5;
    f.windMin = 2;
    f.relwetMax = 90;
    f.relwetMin = 80;
    f.pressureMax = 750;
    f.pressureMin = 746;
    f.heatMax = INT_MIN;
    f.heatMin = INT_MIN;
    f.tod = 1;
    f.precipitation = 8;
    tile.WeatherReady(f);
    QCOMPARE(tile.temperatureText(), QString::number(INT_MAX) + QStringLiteral("°C"));
    QCOMPARE(tile.detailText(), QStringLiteral("Wind: 3m/s\r\nRelwet: 85%\r\nPresure: 748mm Hg\r\n"
                                               "Feel like: ") +
                                    QString::number(INT_MIN) + QStringLiteral("°C"));
    QCOMPARE(tile.iconName(), QStringLiteral("sun_thunder.png"));
}

QTEST_MAIN(TestMediaWidgets)
#include "tst_mediawidgets.moc"
