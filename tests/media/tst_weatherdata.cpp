// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "fakehttpserver.h"
#include "hostilepeer.h"
#include "weatherdata.h"

#include <QtTest>

namespace {

const char kReply[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<MMWEATHER>
 <REPORT type="frc3">
  <TOWN index="26063" latitude="60" longitude="30">
   <FORECAST day="7" month="12" year="2026" hour="15" tod="2" predict="0" weekday="2"
              sname="Demo Town">
    <PHENOMENA cloudiness="1" precipitation="4" rpower="0" spower="0"/>
    <PRESSURE max="750" min="746"/>
    <TEMPERATURE max="-3" min="-8"/>
    <WIND min="2" max="5" direction="3"/>
    <RELWET max="90" min="80"/>
    <HEAT min="-12" max="-6"/>
   </FORECAST>
   <FORECAST day="7" month="12" year="2026" hour="21" tod="3" predict="0" weekday="2">
    <TEMPERATURE max="-30" min="-40"/>
   </FORECAST>
  </TOWN>
 </REPORT>
</MMWEATHER>
)";

QByteArray withoutHeat()
{
    QByteArray text(kReply);
    text.replace("<HEAT min=\"-12\" max=\"-6\"/>", "");
    text.replace("max=\"-3\" min=\"-8\"", "max=\"1\" min=\"-1\"");
    return text;
}

} // namespace

class TestWeatherData : public QObject
{
    Q_OBJECT
private slots:
    void parsesFirstForecast();
    void rejectsOtherShapes_data();
    void rejectsOtherShapes();
    void missingSnameEmptiesTown();
    void missingElementKeepsPreviousValues();
    void mean_data();
    void mean();
    void requestUrl_data();
    void requestUrl();
    void fetchesOverHttp();
    void slowServerTimesOut();
    void oversizedReplyDropped();
    void hostileInformerIsCut_data();
    void hostileInformerIsCut();
};

void TestWeatherData::parsesFirstForecast()
{
    WeatherData weather;
    weather.setTown(QStringLiteral("Town"), QStringLiteral("26063"));
    QVERIFY(weather.parseReply(kReply));
    const ForecastClass::Forecast f = weather.forecast();
    QCOMPARE(f.townName, QStringLiteral("Demo Town"));
    QCOMPARE(f.townId, QStringLiteral("26063"));
    QCOMPARE(f.day, 7);
    QCOMPARE(f.month, 12);
    QCOMPARE(f.year, 2026);
    QCOMPARE(f.hour, 15);
    QCOMPARE(f.tod, 2);
    QCOMPARE(f.weekday, 2);
    QCOMPARE(f.cloudiness, 1);
    QCOMPARE(f.precipitation, 4);
    QCOMPARE(f.pressureMax, 750);
    QCOMPARE(f.pressureMin, 746);
    QCOMPARE(f.temperatureMax, -3);
    QCOMPARE(f.temperatureMin, -8);
    QCOMPARE(f.windMin, 2);
    QCOMPARE(f.windMax, 5);
    QCOMPARE(f.windDirection, 3);
    QCOMPARE(f.relwetMax, 90);
    QCOMPARE(f.relwetMin, 80);
    QCOMPARE(f.heatMin, -12);
    QCOMPARE(f.heatMax, -6);
}

void TestWeatherData::rejectsOtherShapes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not XML") << QByteArray("<html><body>busy</body>");
    QTest::newRow("other root") << QByteArray("<WEATHER><REPORT/></WEATHER>");
    QTest::newRow("report without town")
        << QByteArray("<MMWEATHER><REPORT type=\"x\"></REPORT></MMWEATHER>");
    QTest::newRow("first child not REPORT")
        << QByteArray("<MMWEATHER><NOTE/><REPORT><TOWN><FORECAST><HEAT/></FORECAST></TOWN>"
                      "</REPORT></MMWEATHER>");
    QTest::newRow("forecast without children")
        << QByteArray("<MMWEATHER><REPORT><TOWN><FORECAST day=\"1\"/></TOWN></REPORT>"
                      "</MMWEATHER>");
}

void TestWeatherData::rejectsOtherShapes()
{
    QFETCH(QByteArray, text);
    WeatherData weather;
    QVERIFY(weather.parseReply(kReply));
    QVERIFY(!weather.parseReply(text));
    QCOMPARE(weather.forecast().temperatureMin, -8);
    QCOMPARE(weather.forecast().day, 7);
}

void TestWeatherData::missingSnameEmptiesTown()
{
    WeatherData weather;
    weather.setTown(QStringLiteral("Mine"), QStringLiteral("1"));
    QByteArray text(kReply);
    text.replace("sname=\"Demo Town\"", "");
    QVERIFY(weather.parseReply(text));
    QCOMPARE(weather.forecast().townName, QString());
}

void TestWeatherData::missingElementKeepsPreviousValues()
{
    WeatherData weather;
    QVERIFY(weather.parseReply(kReply));
    QVERIFY(weather.parseReply(withoutHeat()));
    QCOMPARE(weather.forecast().heatMin, -12);
    QCOMPARE(weather.forecast().heatMax, -6);
    QCOMPARE(weather.forecast().temperatureMax, 1);
}

void TestWeatherData::mean_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("expected");
    QTest::newRow("plain") << 5 << 2 << 3;
    QTest::newRow("negative") << -3 << -8 << -5;
    QTest::newRow("both maximal") << INT_MAX << INT_MAX << INT_MAX;
    QTest::newRow("both minimal") << INT_MIN << INT_MIN << INT_MIN;
    QTest::newRow("extremes") << INT_MIN << INT_MAX << 0;
}

void TestWeatherData::mean()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, expected);
    QCOMPARE(ForecastClass::mean(a, b), expected);
}

void TestWeatherData::requestUrl_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "http://127.0.0.1:8089/xml/"
                           << "26063"
                           << "http://127.0.0.1:8089/xml/26063_1.xml";
    QTest::newRow("prefix without scheme or slash") << "127.0.0.1/xml"
                                                    << "5"
                                                    << "http://127.0.0.1/xml/5_1.xml";
    QTest::newRow("slash and dots stay in the segment")
        << "http://127.0.0.1/xml/"
        << "../../admin"
        << "http://127.0.0.1/xml/..%2F..%2Fadmin_1.xml";
    QTest::newRow("query and fragment encoded") << "http://127.0.0.1/xml/"
                                                << "1?a=b#c"
                                                << "http://127.0.0.1/xml/1%3Fa%3Db%23c_1.xml";
    QTest::newRow("empty id") << "http://127.0.0.1/xml/"
                              << ""
                              << "";
}

void TestWeatherData::requestUrl()
{
    QFETCH(QString, prefix);
    QFETCH(QString, id);
    QFETCH(QString, expected);
    WeatherData weather;
    weather.setInformerPrefix(prefix);
    weather.setTown(QStringLiteral("T"), id);
    const QUrl url = weather.requestUrl();
    QCOMPARE(url.isValid() ? url.toString(QUrl::FullyEncoded) : QString(), expected);
}

void TestWeatherData::fetchesOverHttp()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    server.setHandler([](const FakeHttpServer::Request &, QTcpSocket *socket) {
        FakeHttpServer::writeResponse(socket, 200, "text/xml", kReply);
    });
    WeatherData weather;
    weather.setInformerPrefix(QStringLiteral("http://127.0.0.1:%1/xml/").arg(server.port()));
    QSignalSpy updated(&weather, &WeatherData::WeatherUpdated);
    weather.requestUpdate();
    QCOMPARE(server.requests().size(), 0); // no town id yet
    weather.setTown(QStringLiteral("Demo"), QStringLiteral("a/b"));
    weather.requestUpdate();
    weather.requestUpdate(); // one request in flight
    QVERIFY(updated.wait());
    QCOMPARE(server.requests().size(), 1);
    QCOMPARE(server.requests().at(0).target, QByteArray("/xml/a%2Fb_1.xml"));
    QCOMPARE(updated.at(0).at(0).value<ForecastClass::Forecast>().temperatureMin, -8);
    weather.requestUpdate();
    QVERIFY(updated.wait());
    QCOMPARE(server.requests().size(), 2);
}

void TestWeatherData::slowServerTimesOut()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    // Headers and a trickle of the body, never the end.
    server.setHandler([](const FakeHttpServer::Request &, QTcpSocket *socket) {
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: 100000\r\n\r\n"
                      "<MMWEATHER>");
        auto *timer = new QTimer(socket);
        QObject::connect(timer, &QTimer::timeout, socket, [socket] { socket->write(" "); });
        timer->start(20);
    });
    WeatherData weather;
    weather.setTimeout(300);
    weather.setInformerPrefix(QStringLiteral("http://127.0.0.1:%1/xml/").arg(server.port()));
    weather.setTown(QStringLiteral("Demo"), QStringLiteral("1"));
    weather.requestUpdate();
    QVERIFY(weather.isBusy());
    QTRY_VERIFY(!weather.isBusy());
    // The next refresh is free to ask again.
    weather.requestUpdate();
    QTRY_COMPARE(server.requests().size(), 2);
}

void TestWeatherData::oversizedReplyDropped()
{
    FakeHttpServer server;
    QVERIFY(server.listen());
    QByteArray huge(kReply);
    huge.replace("<REPORT", "<!-- " + QByteArray(300000, 'x') + " --><REPORT");
    server.setHandler([huge](const FakeHttpServer::Request &, QTcpSocket *socket) {
        FakeHttpServer::writeResponse(socket, 200, "text/xml", huge);
    });
    WeatherData weather;
    weather.setMaxReplyBytes(64 * 1024);
    weather.setInformerPrefix(QStringLiteral("http://127.0.0.1:%1/xml/").arg(server.port()));
    weather.setTown(QStringLiteral("Demo"), QStringLiteral("1"));
    QSignalSpy updated(&weather, &WeatherData::WeatherUpdated);
    weather.requestUpdate();
    QTRY_VERIFY(!weather.isBusy());
    QCOMPARE(updated.size(), 0);
    QCOMPARE(weather.forecast().day, 0);
}

void TestWeatherData::hostileInformerIsCut_data()
{
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<QByteArray>("filler");
    QTest::addColumn<int>("intervalMs");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<qint64>("maxSent");

    const QByteArray status = "HTTP/1.1 200 OK\r\n";
    const qint64 mb = 1024 * 1024;
    QTest::newRow("endless headers") << status << "X-Pad: " + QByteArray(1000, 'a') + "\r\n" << 0
                                     << 60000 << mb;
    QTest::newRow("declared 2 GB") << status + "Content-Length: 2147483000\r\n\r\n"
                                   << QByteArray(64 * 1024, 'x') << 0 << 60000 << mb;
    QTest::newRow("endless chunks")
        << status + "Transfer-Encoding: chunked\r\n\r\n"
        << "10000\r\n" + QByteArray(0x10000, 'x') + "\r\n" << 0 << 60000 << 4 * mb;
    QTest::newRow("endless body to the end") << status + "\r\n" << QByteArray(64 * 1024, 'x')
                                             << 0 << 60000 << 4 * mb;
    QTest::newRow("headers trickling for ever") << status << QByteArray("X-A: b\r\n") << 20 << 300
                                                << mb;
    QTest::newRow("silent") << QByteArray() << QByteArray() << 0 << 300 << mb;
}

void TestWeatherData::hostileInformerIsCut()
{
    QFETCH(QByteArray, prefix);
    QFETCH(QByteArray, filler);
    QFETCH(int, intervalMs);
    QFETCH(int, timeoutMs);
    QFETCH(qint64, maxSent);
    HostilePeer peer({prefix, filler, intervalMs});
    QVERIFY(peer.listen());
    WeatherData weather;
    weather.setTimeout(timeoutMs);
    weather.setInformerPrefix(QStringLiteral("http://127.0.0.1:%1/xml/").arg(peer.port()));
    weather.setTown(QStringLiteral("Demo"), QStringLiteral("1"));
    QSignalSpy updated(&weather, &WeatherData::WeatherUpdated);
    weather.requestUpdate();
    QTRY_COMPARE_WITH_TIMEOUT(peer.closedConnections(), 1, 30000);
    QVERIFY(!weather.isBusy());
    QCOMPARE(updated.size(), 0);
    qInfo("peer sent %lld bytes before the cut", peer.bytesSent());
    QVERIFY2(peer.bytesSent() <= maxSent, QByteArray::number(peer.bytesSent()));
    // The next refresh asks again.
    weather.requestUpdate();
    QTRY_COMPARE(peer.connections(), 2);
}

QTEST_GUILESS_MAIN(TestWeatherData)
#include "tst_weatherdata.moc"
