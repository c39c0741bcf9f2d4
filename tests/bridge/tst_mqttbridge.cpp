// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bridgecatalog.h"
#include "bridgecommandthrottle.h"
#include "bridgesettings.h"
#include "brokerprocess.h"
#include "controlerdata.h"
#include "eappsettings.h"
#include "mqttbridge.h"
#include "roomsv1.h"
#include "simulatorprocess.h"
#include "tempfolder.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QtTest>

#include <memory>

namespace {

constexpr int kPollMs = 200;
constexpr int kWaitMs = 10000;
// The client library retries after 1 s, then 2 s, 4 s ...
constexpr int kReconnectWaitMs = 20000;
const QStringList kProjectFiles{QStringLiteral("main_config.xml"),
                                QStringLiteral("light_config.xml"),
                                QStringLiteral("heat_config.xml"), QStringLiteral("security.xml"),
                                QStringLiteral("utilities.xml")};
const QString kNode = QStringLiteral("tst");

// Everything logged while the test runs, to check what never appears in a log.
QMutex g_logMutex;
QStringList g_log;
QtMessageHandler g_previousHandler = nullptr;

void recordMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    {
        QMutexLocker lock(&g_logMutex);
        g_log.append(message);
    }
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

QStringList logSoFar()
{
    QMutexLocker lock(&g_logMutex);
    return g_log;
}

QString fixtureFolder()
{
    return QFINDTESTDATA("../data/project");
}

BridgeSettings bridgeSettings(int port)
{
    BridgeSettings s;
    s.host = QStringLiteral("127.0.0.1");
    s.port = port;
    s.clientId = kNode;
    s.pollMs = kPollMs;
    return s;
}

QString topic(const QString &rest)
{
    return QStringLiteral("verandix/") + kNode + QLatin1Char('/') + rest;
}

bool run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), p.readAll().constData());
        return false;
    }
    return true;
}

} // namespace

class TestMqttBridge : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void discoveryIsRetainedForEveryEntity();
    void controllerChangeReachesTheStateTopic();
    void commandsReachTheController_data();
    void commandsReachTheController();
    void securityTakesTheRightCodeOnly();
    void hostilePayloadsAreRefused_data();
    void hostilePayloadsAreRefused();
    void aFloodIsLoggedOnce();
    void aFloodOfValidCommandsIsThrottled();
    void vanishedEntitiesAreRemoved();
    void brokerRestartRepublishes();
    void passwordAuthentication();
    void headlessModeWithoutDisplay();
    void panelSharesItsLink();
    void tlsWithOwnCa();

private:
    bool waitForLog(const QString &pattern, int fromLine);
    bool writeBridgedConfig(const TempFolder &folder, int simPort, const QByteArray &clientId);
    int simLines() { return m_sim->output().size(); }

    EAppSettings m_settings;
    RoomsV1 m_rooms;
    std::unique_ptr<SimulatorProcess> m_sim;
    std::unique_ptr<BrokerProcess> m_broker;
    std::unique_ptr<ControlerData> m_link;
    std::unique_ptr<MqttBridge> m_bridge;
};

void TestMqttBridge::initTestCase()
{
    if (!BrokerProcess::available())
        QSKIP("mosquitto and its clients are not installed");
    g_previousHandler = qInstallMessageHandler(recordMessage);
    registerControllerTypes();
    QVERIFY(m_settings.load(QDir(fixtureFolder()).filePath(QStringLiteral("config.xml"))));
    QVERIFY(m_rooms.load(fixtureFolder(), kProjectFiles));

    m_sim = std::make_unique<SimulatorProcess>(QStringLiteral(HOMESIM_PATH));
    QVERIFY2(m_sim->start(), qPrintable(m_sim->errorString()));
    m_broker = std::make_unique<BrokerProcess>();
    QVERIFY2(m_broker->start(), qPrintable(m_broker->errorString()));

    m_bridge = std::make_unique<MqttBridge>(bridgeSettings(m_broker->port()));
    m_bridge->setProject(m_rooms, m_settings);
    m_link = std::make_unique<ControlerData>();
    m_link->configure(m_settings, false);
    m_link->setIpAdressAndPort(QStringLiteral("127.0.0.1"), m_sim->port());
    m_link->setIpAdress2(QStringLiteral("127.0.0.1"));
    m_link->SetUpdateTimeout(kPollMs);
    m_bridge->attach(m_link.get(), &m_link->commands());
    m_link->start();
    m_link->commands().setRoom(m_bridge->pollSnapshot());

    QSignalSpy announced(m_bridge.get(), &MqttBridge::announced);
    QVERIFY(m_bridge->start());
    QVERIFY(announced.wait(kWaitMs));
    // The first poll's values are out before the tests look.
    BrokerWatcher watcher;
    QVERIFY(watcher.start(m_broker->port(), {topic(QStringLiteral("controller/state"))}));
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(topic(QStringLiteral("controller/state")), "ON"),
                             kWaitMs);
}

void TestMqttBridge::cleanupTestCase()
{
    if (m_bridge)
        m_bridge->stop();
    if (m_link)
        m_link->shutdown();
    m_bridge.reset();
    m_link.reset();
    if (g_previousHandler)
        qInstallMessageHandler(g_previousHandler);
}

// The fixture configuration in `folder`, pointed at the simulator on `simPort` and the broker,
// bridged as `clientId` with a password file.
bool TestMqttBridge::writeBridgedConfig(const TempFolder &folder, int simPort,
                                        const QByteArray &clientId)
{
    const QDir fixture(fixtureFolder());
    for (const QString &name : fixture.entryList({QStringLiteral("*.xml")}, QDir::Files)) {
        if (!QFile::copy(fixture.filePath(name), folder.filePath(name)))
            return false;
    }
    QFile secret(folder.filePath(QStringLiteral("mqtt.secret")));
    if (!secret.open(QIODevice::WriteOnly))
        return false;
    secret.write("h3adless-Pw\n");
    secret.close();
    QFile config(folder.filePath(QStringLiteral("config.xml")));
    if (!config.open(QIODevice::ReadOnly))
        return false;
    QByteArray xml = config.readAll();
    config.close();
    xml.replace("<ipport value=\"1502\"/>",
                "<ipport value=\"" + QByteArray::number(simPort) + "\"/>");
    xml.replace("</config>", "<mqtt_host value=\"127.0.0.1\"/><mqtt_port value=\"" +
                                 QByteArray::number(m_broker->port()) +
                                 "\"/><mqtt_client_id value=\"" + clientId +
                                 "\"/>"
                                 "<mqtt_user value=\"any\"/>"
                                 "<mqtt_password_file value=\"mqtt.secret\"/></config>");
    if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    config.write(xml);
    config.close();
    return true;
}

bool TestMqttBridge::waitForLog(const QString &pattern, int fromLine)
{
    const QRegularExpression re(pattern);
    QDeadlineTimer deadline(kWaitMs);
    while (!deadline.hasExpired()) {
        const QStringList lines = m_sim->output();
        for (int i = fromLine; i < lines.size(); ++i) {
            if (re.match(lines.at(i)).hasMatch())
                return true;
        }
        QTest::qWait(20);
    }
    qWarning() << "simulator output since the command:" << m_sim->output().mid(fromLine);
    return false;
}

void TestMqttBridge::discoveryIsRetainedForEveryEntity()
{
    BrokerWatcher watcher;
    QVERIFY(watcher.start(m_broker->port(),
                          {QStringLiteral("homeassistant/#"), topic(QStringLiteral("status")),
                           topic(QStringLiteral("entities"))}));
    const QList<BridgeEntity> &entities = m_bridge->catalog().entities();
    const auto configTopic = [](const BridgeEntity &e) -> QString {
        return QStringLiteral("homeassistant/") + e.component + QLatin1Char('/') + kNode +
               QLatin1Char('/') + e.uniqueId + QStringLiteral("/config");
    };
    // Retained messages of the three subscriptions may come in any order.
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(configTopic(entities.last())) &&
                                 watcher.seen(topic(QStringLiteral("status"))) &&
                                 watcher.seen(topic(QStringLiteral("entities"))),
                             kWaitMs);
    const QHash<QString, QByteArray> latest = watcher.latest();
    for (const BridgeEntity &e : entities) {
        const QByteArray payload = latest.value(configTopic(e));
        QVERIFY2(!payload.isEmpty(), qPrintable(configTopic(e)));
        QJsonParseError error;
        const QJsonObject config = QJsonDocument::fromJson(payload, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        // Field by field what the catalog's schema-checked description says.
        QCOMPARE(config, BridgeCatalog::discoveryConfig(e, QStringLiteral("verandix"), kNode));
    }
    QCOMPARE(latest.value(topic(QStringLiteral("status"))), QByteArray("online"));
    const QByteArray list = latest.value(topic(QStringLiteral("entities")));
    QCOMPARE(QJsonDocument::fromJson(list).array().size(), entities.size());
    // No code is ever published.
    for (auto it = latest.begin(); it != latest.end(); ++it)
        QVERIFY(!it.value().contains("1234"));
}

void TestMqttBridge::controllerChangeReachesTheStateTopic()
{
    BrokerWatcher watcher;
    const QString state = topic(QStringLiteral("lamp_5/state"));
    QVERIFY(watcher.start(m_broker->port(), {state}));
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(state, "OFF"), kWaitMs);
    // Lamp 5's record starts at byte 612 + 8 * 5; bit 0 of its first byte is "on".
    m_sim->send("set byte 652 1\n");
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(state, "ON"), kWaitMs);
    m_sim->send("set byte 652 0\n");
    QTRY_VERIFY_WITH_TIMEOUT(watcher.count(state) >= 3, kWaitMs);
    QCOMPARE(watcher.messages().last().payload, QByteArray("OFF"));
}

void TestMqttBridge::commandsReachTheController_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("expected");

    // clang-format off
    QTest::newRow("switch a lamp on") << "lamp_2/set" << QByteArray("ON") << R"(^[0-9:.]+ lamp 2: on)";
    QTest::newRow("switch it off") << "lamp_2/set" << QByteArray("OFF") << R"(^[0-9:.]+ lamp 2: off)";
    QTest::newRow("dim a lamp") << "lamp_1/brightness/set" << QByteArray("9") << R"(lamp 1: .*brightness 9)";
    QTest::newRow("change a set-point") << "thermostat_1/temperature/set" << QByteArray("21.4") << R"(thermostat 1: set-point 21.4 C)";
    QTest::newRow("run a global scene") << "light_scene_2/set" << QByteArray("ON") << R"(lighting: global scene 2)";
    QTest::newRow("run a heating scene") << "heat_scene_3/set" << QByteArray("ON") << R"(heating: scene 3)";
    QTest::newRow("run a room scene") << "ROOMSCENE/set" << QByteArray("ON") << R"(lighting: room [0-9]+ miniscene 1)";
    // clang-format on
}

void TestMqttBridge::commandsReachTheController()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, payload);
    QFETCH(QString, expected);
    if (command.startsWith(QLatin1String("ROOMSCENE"))) {
        for (const BridgeEntity &e : m_bridge->catalog().entities()) {
            if (e.source == BridgeEntity::Source::RoomScene && e.number == 1) {
                command.replace(QLatin1String("ROOMSCENE"), e.uniqueId);
                break;
            }
        }
        QVERIFY(!command.startsWith(QLatin1String("ROOMSCENE")));
    }
    QSignalSpy sent(m_bridge.get(), &MqttBridge::commandSent);
    const int from = simLines();
    QVERIFY(publishWithClient(m_broker->port(), topic(command), payload));
    QVERIFY(sent.wait(kWaitMs));
    QVERIFY(waitForLog(expected, from));
}

void TestMqttBridge::securityTakesTheRightCodeOnly()
{
    BrokerWatcher watcher;
    const QString state = topic(QStringLiteral("security/state"));
    QVERIFY(watcher.start(m_broker->port(), {state}));
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(state, "disarmed"), kWaitMs);

    int from = simLines();
    QVERIFY(publishWithClient(m_broker->port(), topic(QStringLiteral("security/set")),
                              R"({"action":"ARM_AWAY","code":"9999"})"));
    QVERIFY(waitForLog(QStringLiteral("security: code entered, wrong code"), from));

    from = simLines();
    QVERIFY(publishWithClient(m_broker->port(), topic(QStringLiteral("security/set")),
                              R"({"action":"ARM_AWAY","code":"1234"})"));
    QVERIFY(waitForLog(QStringLiteral("security: code entered, arming"), from));
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(state, "arming"), kWaitMs);

    // Arming again while not disarmed would toggle the keypad back: refused by the bridge.
    QSignalSpy refused(m_bridge.get(), &MqttBridge::commandRefused);
    QVERIFY(publishWithClient(m_broker->port(), topic(QStringLiteral("security/set")),
                              R"({"action":"ARM_AWAY","code":"1234"})"));
    QVERIFY(refused.wait(kWaitMs));

    from = simLines();
    QVERIFY(publishWithClient(m_broker->port(), topic(QStringLiteral("security/set")),
                              R"({"action":"DISARM","code":"1234"})"));
    QVERIFY(
        waitForLog(QStringLiteral("security: code entered, (arming cancelled|disarmed)"), from));
    QTRY_VERIFY_WITH_TIMEOUT(watcher.messages().last().payload == "disarmed", kWaitMs);

    for (const QString &line : logSoFar()) {
        QVERIFY2(!line.contains(QLatin1String("1234")) && !line.contains(QLatin1String("9999")),
                 qPrintable(line));
    }
}

void TestMqttBridge::hostilePayloadsAreRefused_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("payload");

    // clang-format off
    QTest::newRow("unknown entity") << "lamp_999/set" << QByteArray("ON");
    QTest::newRow("read-only entity") << "parameter_1/set" << QByteArray("5");
    QTest::newRow("read-only bit") << "bit_1800_0/set" << QByteArray("ON");
    QTest::newRow("garbage to a lamp") << "lamp_2/set" << QByteArray("\x01\x02\xff");
    QTest::newRow("JSON to a lamp") << "lamp_2/set" << QByteArray(R"({"state":"ON"})");
    QTest::newRow("brightness to a plain lamp") << "lamp_2/brightness/set" << QByteArray("5");
    QTest::newRow("brightness 200") << "lamp_1/brightness/set" << QByteArray("200");
    QTest::newRow("set-point 80") << "thermostat_1/temperature/set" << QByteArray("80");
    QTest::newRow("set-point text") << "thermostat_1/temperature/set" << QByteArray("warm");
    QTest::newRow("number out of range") << "value_1000/set" << QByteArray("100000");
    QTest::newRow("unknown sub-command") << "lamp_2/colour/set" << QByteArray("red");
    QTest::newRow("empty entity level") << "/set" << QByteArray("ON");
    QTest::newRow("scene OFF") << "light_scene_1/set" << QByteArray("OFF");
    QTest::newRow("alarm panel without code") << "security/set" << QByteArray(R"({"action":"DISARM"})");
    QTest::newRow("huge payload") << "lamp_2/set" << QByteArray(100000, 'A');
    // clang-format on
}

void TestMqttBridge::hostilePayloadsAreRefused()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, payload);
    QSignalSpy refused(m_bridge.get(), &MqttBridge::commandRefused);
    QSignalSpy sent(m_bridge.get(), &MqttBridge::commandSent);
    QVERIFY(publishWithClient(m_broker->port(), topic(command), payload));
    QVERIFY(refused.wait(kWaitMs));
    QCOMPARE(refused.count(), 1);
    QCOMPARE(sent.count(), 0);
}

void TestMqttBridge::aFloodIsLoggedOnce()
{
    const int before = logSoFar().size();
    QSignalSpy refused(m_bridge.get(), &MqttBridge::commandRefused);
    QByteArray lines;
    for (int i = 0; i < 40; ++i)
        lines += "BOGUS" + QByteArray::number(i) + '\n';
    // One message per line from one client.
    QVERIFY(publishWithClient(m_broker->port(), topic(QStringLiteral("thermostat_2/set")), lines,
                              {QStringLiteral("-l")}));
    QTRY_COMPARE_WITH_TIMEOUT(refused.count(), 40, kWaitMs);
    int lines2 = 0;
    for (const QString &line : logSoFar().mid(before))
        lines2 += line.contains(QLatin1String("thermostat_2")) ? 1 : 0;
    QCOMPARE(lines2, 1);
}

void TestMqttBridge::aFloodOfValidCommandsIsThrottled()
{
    QSignalSpy refused(m_bridge.get(), &MqttBridge::commandRefused);
    QSignalSpy sent(m_bridge.get(), &MqttBridge::commandSent);
    const int from = simLines();
    QByteArray lines;
    for (int i = 0; i < 60; ++i)
        lines += i % 2 ? "OFF\n" : "ON\n";
    QVERIFY(publishWithClient(m_broker->port(), topic(QStringLiteral("lamp_6/set")), lines,
                              {QStringLiteral("-l")}));
    QTRY_COMPARE_WITH_TIMEOUT(refused.count() + sent.count(), 60, kWaitMs);
    // However fast they come, only a handful a second reach the controller.
    QVERIFY2(sent.count() <= 2 * BridgeCommandThrottle::kMaxPerWindow,
             qPrintable(QString::number(sent.count())));
    QVERIFY(sent.count() >= 1);
    QVERIFY(waitForLog(QStringLiteral("lamp 6: o"), from));
}

void TestMqttBridge::vanishedEntitiesAreRemoved()
{
    // What an earlier run with a lamp 77 left on the broker.
    const QString list = QStringLiteral("verandix/tst-removal/entities");
    const QString gone = QStringLiteral("homeassistant/light/tst-removal/lamp_77/config");
    const QString kept = QStringLiteral("homeassistant/light/tst-removal/lamp_1/config");
    const QStringList retain{QStringLiteral("-r")};
    QVERIFY(
        publishWithClient(m_broker->port(), list, R"(["light/lamp_77","light/lamp_1"])", retain));
    QVERIFY(publishWithClient(m_broker->port(), gone, R"({"name":"old"})", retain));
    BrokerWatcher watcher;
    QVERIFY(watcher.start(m_broker->port(), {gone, kept, list}));
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(gone, R"({"name":"old"})"), kWaitMs);

    BridgeSettings s = bridgeSettings(m_broker->port());
    s.clientId = QStringLiteral("tst-removal");
    MqttBridge bridge(s);
    bridge.setProject(m_rooms, m_settings);
    QSignalSpy announced(&bridge, &MqttBridge::announced);
    QVERIFY(bridge.start());
    QVERIFY(announced.wait(kWaitMs));
    // The config of the vanished lamp is emptied, the one still there stays.
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(gone, QByteArray("")), kWaitMs);
    QVERIFY(!watcher.seen(kept, QByteArray("")));
    QTRY_VERIFY_WITH_TIMEOUT(!watcher.latest().value(list).contains("lamp_77") &&
                                 watcher.latest().value(list).contains("lamp_1"),
                             kWaitMs);
    bridge.stop();
}

void TestMqttBridge::brokerRestartRepublishes()
{
    QSignalSpy announced(m_bridge.get(), &MqttBridge::announced);
    QSignalSpy lost(m_bridge.get(), &MqttBridge::brokerDisconnected);
    m_broker->kill();
    QVERIFY(lost.wait(kWaitMs));
    // The new broker keeps nothing: whatever it holds afterwards the bridge published again.
    QVERIFY2(m_broker->restart(), qPrintable(m_broker->errorString()));
    QVERIFY(announced.wait(kReconnectWaitMs));
    BrokerWatcher watcher;
    QVERIFY(watcher.start(m_broker->port(),
                          {topic(QStringLiteral("status")), topic(QStringLiteral("lamp_1/state")),
                           QStringLiteral("homeassistant/light/tst/lamp_1/config")}));
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(topic(QStringLiteral("status")), "online"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(topic(QStringLiteral("lamp_1/state"))), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(QStringLiteral("homeassistant/light/tst/lamp_1/config")),
                             kWaitMs);
}

void TestMqttBridge::passwordAuthentication()
{
    BrokerProcess broker;
    TempFolder folder;
    const QString passwords = folder.filePath(QStringLiteral("passwords"));
    QVERIFY(run(QStringLiteral("mosquitto_passwd"),
                {QStringLiteral("-b"), QStringLiteral("-c"), passwords, QStringLiteral("bridge"),
                 QStringLiteral("s3cret-Pw")}));
    QVERIFY2(broker.start({QStringLiteral("allow_anonymous false"),
                           QStringLiteral("password_file ") + passwords}),
             qPrintable(broker.errorString()));

    BridgeSettings wrong = bridgeSettings(broker.port());
    wrong.clientId = QStringLiteral("tst-wrong");
    wrong.user = QStringLiteral("bridge");
    wrong.password = QStringLiteral("not-the-Pw");
    {
        MqttBridge bridge(wrong);
        bridge.setProject(m_rooms, m_settings);
        QSignalSpy refused(&bridge, &MqttBridge::brokerDisconnected);
        QSignalSpy announced(&bridge, &MqttBridge::announced);
        QVERIFY(bridge.start());
        QVERIFY(refused.wait(kWaitMs));
        QCOMPARE(announced.count(), 0);
    }
    BridgeSettings right = wrong;
    right.clientId = QStringLiteral("tst-right");
    right.password = QStringLiteral("s3cret-Pw");
    MqttBridge bridge(right);
    bridge.setProject(m_rooms, m_settings);
    QSignalSpy announced(&bridge, &MqttBridge::announced);
    QVERIFY(bridge.start());
    QVERIFY(announced.wait(kWaitMs));
    bridge.stop();
    for (const QString &line : logSoFar()) {
        QVERIFY2(!line.contains(QLatin1String("s3cret")) &&
                     !line.contains(QLatin1String("not-the")),
                 qPrintable(line));
    }
}

void TestMqttBridge::headlessModeWithoutDisplay()
{
    TempFolder folder;
    QVERIFY(writeBridgedConfig(folder, m_sim->port(), "tst-headless"));

    const QString status = QStringLiteral("verandix/tst-headless/status");
    BrokerWatcher watcher;
    QVERIFY(watcher.start(m_broker->port(),
                          {status, QStringLiteral("verandix/tst-headless/lamp_1/state")}));
    QProcess panel;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    panel.setProcessEnvironment(env);
    panel.start(QStringLiteral(VERANDIX_PATH),
                {QStringLiteral("--bridge"), QStringLiteral("-config"), folder.path()});
    QVERIFY(panel.waitForStarted(kWaitMs));
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(status, "online"), kWaitMs);
    // It polls the controller and publishes what it reads.
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(QStringLiteral("verandix/tst-headless/lamp_1/state")),
                             kWaitMs);
    panel.terminate(); // SIGTERM, as a service manager sends it
    QVERIFY(panel.waitForFinished(kWaitMs));
    QCOMPARE(panel.exitStatus(), QProcess::NormalExit);
    QCOMPARE(panel.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(watcher.latest().value(status) == "offline", kWaitMs);
    const QByteArray log = panel.readAllStandardError() + panel.readAllStandardOutput();
    QVERIFY2(log.contains("bridging"), log.constData());
    QVERIFY(!log.contains("h3adless"));
}

void TestMqttBridge::panelSharesItsLink()
{
    // A simulator of its own, so that every connection it counts is the panel's.
    SimulatorProcess sim{QStringLiteral(HOMESIM_PATH)};
    QVERIFY2(sim.start(), qPrintable(sim.errorString()));
    TempFolder folder;
    QVERIFY(writeBridgedConfig(folder, sim.port(), "tst-panel"));

    const QString lamp = QStringLiteral("verandix/tst-panel/lamp_5/state");
    BrokerWatcher watcher;
    QVERIFY(watcher.start(m_broker->port(), {lamp}));
    QProcess panel;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    panel.setProcessEnvironment(env);
    panel.setProcessChannelMode(QProcess::MergedChannels);
    panel.start(QStringLiteral(VERANDIX_PATH), {QStringLiteral("-config"), folder.path()});
    QVERIFY(panel.waitForStarted(kWaitMs));

    // The panel's link reads the bridge's records: a lamp switched at the controller reaches the
    // hub, both ways.
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(lamp, "OFF"), kWaitMs);
    sim.send("set byte 652 1\n");
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(lamp, "ON"), kWaitMs);
    sim.send("set byte 652 0\n");
    QTRY_VERIFY_WITH_TIMEOUT(watcher.count(lamp) >= 3, kWaitMs);
    // All of it over the one connection of the panel.
    const QRegularExpression connected(QStringLiteral("client connected"));
    QCOMPARE(sim.output().filter(connected).size(), 1);

    panel.terminate();
    QVERIFY(panel.waitForFinished(kWaitMs));
    QCOMPARE(sim.output().filter(connected).size(), 1);
}

void TestMqttBridge::tlsWithOwnCa()
{
    TempFolder folder;
    const auto path = [&folder](const char *name) { return folder.filePath(QLatin1String(name)); };
    // A throwaway CA and a broker certificate for 127.0.0.1 signed by it.
    QVERIFY(run(QStringLiteral("openssl"),
                {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                 "/CN=Verandix test CA", "-keyout", path("ca.key"), "-out", path("ca.pem")}));
    QVERIFY(run(QStringLiteral("openssl"),
                {"req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1", "-keyout",
                 path("broker.key"), "-out", path("broker.csr")}));
    QFile ext(path("san.ext"));
    QVERIFY(ext.open(QIODevice::WriteOnly));
    ext.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n");
    ext.close();
    QVERIFY(run(QStringLiteral("openssl"),
                {"x509", "-req", "-in", path("broker.csr"), "-CA", path("ca.pem"), "-CAkey",
                 path("ca.key"), "-CAcreateserial", "-days", "2", "-extfile", path("san.ext"),
                 "-out", path("broker.pem")}));
    BrokerProcess broker;
    QVERIFY2(broker.start({QStringLiteral("cafile ") + path("ca.pem"),
                           QStringLiteral("certfile ") + path("broker.pem"),
                           QStringLiteral("keyfile ") + path("broker.key")}),
             qPrintable(broker.errorString()));

    BridgeSettings s = bridgeSettings(broker.port());
    s.clientId = QStringLiteral("tst-tls");
    s.tlsCa = path("ca.pem");
    MqttBridge bridge(s);
    bridge.setProject(m_rooms, m_settings);
    QSignalSpy announced(&bridge, &MqttBridge::announced);
    QVERIFY(bridge.start());
    QVERIFY(announced.wait(kWaitMs));

    // The broker speaks TLS only: a subscriber needs the CA too, and sees what the bridge sent.
    BrokerWatcher watcher;
    QVERIFY(watcher.start(broker.port(), {QStringLiteral("verandix/tst-tls/status")},
                          {QStringLiteral("--cafile"), path("ca.pem")}));
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(QStringLiteral("verandix/tst-tls/status"), "online"),
                             kWaitMs);
    bridge.stop();
}

QTEST_GUILESS_MAIN(TestMqttBridge)
#include "tst_mqttbridge.moc"
