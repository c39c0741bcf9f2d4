// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bridgecatalog.h"
#include "bridgecommandbudget.h"
#include "bridgecommandparser.h"
#include "bridgecommandthrottle.h"
#include "bridgerefusallog.h"
#include "bridgesettings.h"
#include "brokerprocess.h"
#include "controlerdata.h"
#include "eappsettings.h"
#include "mqttbridge.h"
#include "roomsv1.h"
#include "simulatorprocess.h"
#include "tempfolder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QtTest>

#include <functional>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

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

int logLinesMatching(const QString &pattern, int from = 0)
{
    const QRegularExpression re(pattern);
    int n = 0;
    for (const QString &line : logSoFar().mid(from))
        n += re.match(line).hasMatch() ? 1 : 0;
    return n;
}

QJsonObject jsonOf(const QByteArray &payload)
{
    return QJsonDocument::fromJson(payload).object();
}

// A simulator, a link and a bridge of a test's own: for tests that change the keypad, silence the
// controller, or run the bridge's limits on a clock of their own (`now`, which only the test
// moves).
struct Rig
{
    std::unique_ptr<SimulatorProcess> sim;
    std::unique_ptr<ControlerData> link;
    std::unique_ptr<MqttBridge> bridge;
    qint64 now = 1000000;
    QString node;
    int mark = 0; // simulator output line where the test's checks start

    ~Rig()
    {
        if (bridge)
            bridge->stop();
        if (link)
            link->shutdown();
    }
    QString topic(const QString &rest) const
    {
        return QStringLiteral("verandix/") + node + QLatin1Char('/') + rest;
    }
    int count(const QString &pattern)
    {
        const QRegularExpression re(pattern);
        int n = 0;
        for (const QString &line : sim->output().mid(mark))
            n += re.match(line).hasMatch() ? 1 : 0;
        return n;
    }
};

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
    void codesOnlyFromSettledStates_data();
    void codesOnlyFromSettledStates();
    void wrongCodesLockTheHubOnly_data();
    void wrongCodesLockTheHubOnly();
    void retainedCommandsAreNotRun_data();
    void retainedCommandsAreNotRun();
    void clientIdCannotBeTakenOver();
    void clientSuffixIsKept_data();
    void clientSuffixIsKept();
    void aBudgetCoversTheWholeBridge_data();
    void aBudgetCoversTheWholeBridge();
    void oversizedPayloadsAreRefusedUnread_data();
    void oversizedPayloadsAreRefusedUnread();
    void foreignRetainedStatesAreRestored_data();
    void foreignRetainedStatesAreRestored();
    void controllerAwayIsUnavailable_data();
    void controllerAwayIsUnavailable();
    void brightnessOnThePanelsScale_data();
    void brightnessOnThePanelsScale();
    void tlsSettings_data();
    void tlsSettings();
    void aTlsFailureIsRetried();

private:
    // Starts `rig` with its own simulator (`simArgs`; no controller at all when `controller` is
    // false), a link waiting `answerWaitMs` for each answer, and a bridge named `node`.
    bool startRig(Rig &rig, const QString &node, const QStringList &simArgs = {},
                  bool controller = true, int answerWaitMs = 0,
                  const std::function<void(BridgeSettings &)> &tweak = {});
    bool makeTestCa(const TempFolder &folder);
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
    // A short countdown, so that arming and disarming fit a test.
    QVERIFY2(m_sim->start({QStringLiteral("--arm-delay"), QStringLiteral("1")}),
             qPrintable(m_sim->errorString()));
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
    QTest::newRow("dim a lamp to full") << "lamp_1/brightness/set" << QByteArray("10") << R"(lamp 1: .*brightness 10)";
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
    const QString attributes = topic(QStringLiteral("security/attributes"));
    QVERIFY(watcher.start(m_broker->port(), {state, attributes}));
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(state, "disarmed"), kWaitMs);
    const auto ready = [&] {
        return jsonOf(watcher.latest().value(attributes)).value(QLatin1String("code_state")) ==
               QLatin1String("ready");
    };
    const auto lastCode = [&] {
        return jsonOf(watcher.latest().value(attributes))
            .value(QLatin1String("last_code"))
            .toString();
    };

    int from = simLines();
    QVERIFY(publishWithClient(m_broker->port(), topic(QStringLiteral("security/set")),
                              R"({"action":"ARM_AWAY","code":"9999"})"));
    QVERIFY(waitForLog(QStringLiteral("security: code entered, wrong code"), from));
    // The keypad's notice is over before the next code may go.
    QTRY_VERIFY_WITH_TIMEOUT(lastCode() == QLatin1String("wrong code") && ready(), kWaitMs);

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

    QTRY_VERIFY_WITH_TIMEOUT(watcher.latest().value(state) == "armed_away" && ready(), kWaitMs);
    from = simLines();
    QVERIFY(publishWithClient(m_broker->port(), topic(QStringLiteral("security/set")),
                              R"({"action":"DISARM","code":"1234"})"));
    QVERIFY(waitForLog(QStringLiteral("security: code entered, disarmed"), from));
    QTRY_VERIFY_WITH_TIMEOUT(watcher.latest().value(state) == "disarmed", kWaitMs);

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
    QTest::newRow("brightness 11, above the panel's scale") << "lamp_1/brightness/set" << QByteArray("11");
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
    // At most the first at once (none when earlier refusals keep the log's window open) ...
    QVERIFY(logLinesMatching(QStringLiteral("refused"), before) <= 1);
    // ... and the rest in one summary when the window ends.
    QTRY_VERIFY_WITH_TIMEOUT(logLinesMatching(QStringLiteral("more commands refused"), before) == 1,
                             BridgeRefusalLog::kWindowMs + kWaitMs);
    QVERIFY(logLinesMatching(QStringLiteral("refused"), before) <= 2);
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
    const QString goneState = QStringLiteral("verandix/tst-removal/lamp_77/state");
    const QString goneLevel = QStringLiteral("verandix/tst-removal/lamp_77/brightness");
    const QString keptState = QStringLiteral("verandix/tst-removal/lamp_1/state");
    const QStringList retain{QStringLiteral("-r")};
    QVERIFY(
        publishWithClient(m_broker->port(), list, R"(["light/lamp_77","light/lamp_1"])", retain));
    QVERIFY(publishWithClient(m_broker->port(), gone, R"({"name":"old"})", retain));
    QVERIFY(publishWithClient(m_broker->port(), goneState, "ON", retain));
    QVERIFY(publishWithClient(m_broker->port(), goneLevel, "7", retain));
    QVERIFY(publishWithClient(m_broker->port(), keptState, "OFF", retain));
    BrokerWatcher watcher;
    QVERIFY(watcher.start(m_broker->port(), {gone, kept, list, goneState, goneLevel, keptState}));
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(gone, R"({"name":"old"})"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(goneState, "ON") && watcher.seen(goneLevel, "7"),
                             kWaitMs);

    BridgeSettings s = bridgeSettings(m_broker->port());
    s.clientId = QStringLiteral("tst-removal");
    MqttBridge bridge(s);
    bridge.setProject(m_rooms, m_settings);
    QSignalSpy announced(&bridge, &MqttBridge::announced);
    QVERIFY(bridge.start());
    QVERIFY(announced.wait(kWaitMs));
    // The config of the vanished lamp is emptied, the one still there stays.
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(gone, QByteArray("")), kWaitMs);
    // Its retained states go with it: nobody keeps seeing a lamp that is no longer there as on.
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(goneState, QByteArray("")) &&
                                 watcher.seen(goneLevel, QByteArray("")),
                             kWaitMs);
    QVERIFY(!watcher.seen(kept, QByteArray("")));
    QVERIFY(!watcher.seen(keptState, QByteArray("")));
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

bool TestMqttBridge::startRig(Rig &rig, const QString &node, const QStringList &simArgs,
                              bool controller, int answerWaitMs,
                              const std::function<void(BridgeSettings &)> &tweak)
{
    rig.node = node;
    rig.sim = std::make_unique<SimulatorProcess>(QStringLiteral(HOMESIM_PATH));
    if (!rig.sim->start(simArgs)) {
        qWarning("simulator: %s", qPrintable(rig.sim->errorString()));
        return false;
    }
    const int simPort = rig.sim->port();
    // No controller: the port of a simulator that has gone, so nothing of anyone else answers.
    if (!controller)
        rig.sim->stop();
    BridgeSettings s = bridgeSettings(m_broker->port());
    s.clientId = node;
    if (tweak)
        tweak(s);
    rig.bridge = std::make_unique<MqttBridge>(s);
    rig.bridge->setProject(m_rooms, m_settings);
    rig.bridge->setClock([&rig] { return rig.now; });
    rig.link = std::make_unique<ControlerData>();
    rig.link->configure(m_settings, false);
    rig.link->setIpAdressAndPort(QStringLiteral("127.0.0.1"), simPort);
    rig.link->setIpAdress2(QStringLiteral("127.0.0.1"));
    rig.link->SetUpdateTimeout(kPollMs);
    if (answerWaitMs > 0)
        rig.link->setWaitTimeout(answerWaitMs);
    rig.bridge->attach(rig.link.get(), &rig.link->commands());
    rig.link->start();
    rig.link->commands().setRoom(rig.bridge->pollSnapshot());
    QSignalSpy announced(rig.bridge.get(), &MqttBridge::announced);
    if (!rig.bridge->start() || !announced.wait(kWaitMs)) {
        qWarning("the bridge of the rig did not announce itself");
        return false;
    }
    return true;
}

void TestMqttBridge::codesOnlyFromSettledStates_data()
{
    QTest::addColumn<QStringList>("steps");

    // Steps: "send ACTION CODE" (the bridge passes it on), "refuse ACTION CODE" (it must not,
    // and says so in the attributes), "state S" (the published state), "ready" (a code may go),
    // "sim PATTERN" (the simulator logged it), "count N PATTERN" (so often in the whole row).
    // clang-format off
    QTest::newRow("a second DISARM while disarming")
        << QStringList{"ready", "send ARM_AWAY 1234", "state armed_away", "ready", "send DISARM 1234",
                       "state disarming", "refuse DISARM 1234", "state disarmed",
                       "count 1 countdown started", "count 1 code entered, disarmed"};
    QTest::newRow("ARM again during the countdown")
        << QStringList{"ready", "send ARM_AWAY 1234", "state arming", "refuse ARM_AWAY 1234",
                       "state armed_away", "count 1 countdown started", "count 0 arming cancelled"};
    QTest::newRow("DISARM during the countdown")
        << QStringList{"ready", "send ARM_AWAY 1234", "state arming", "refuse DISARM 1234",
                       "state armed_away", "count 0 arming cancelled"};
    QTest::newRow("a code during the wrong-code notice")
        << QStringList{"ready", "send ARM_AWAY 9999", "sim wrong code", "refuse ARM_AWAY 1234",
                       "ready", "send ARM_AWAY 1234", "sim countdown started"};
    // clang-format on
}

void TestMqttBridge::codesOnlyFromSettledStates()
{
    QFETCH(QStringList, steps);
    Rig rig;
    QVERIFY(startRig(rig, QStringLiteral("tst-keypad"),
                     {QStringLiteral("--arm-delay"), QStringLiteral("3")}));
    // The limits' clock moves with real time here: the keypad's outcome wait stays real.
    QElapsedTimer real;
    real.start();
    rig.bridge->setClock([&real] { return real.elapsed(); });
    const QString state = rig.topic(QStringLiteral("security/state"));
    const QString attributes = rig.topic(QStringLiteral("security/attributes"));
    BrokerWatcher watcher;
    QVERIFY(watcher.start(m_broker->port(), {state, attributes}));
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(state, "disarmed"), kWaitMs);
    const auto attribute = [&](const char *key) {
        return jsonOf(watcher.latest().value(attributes)).value(QLatin1String(key)).toString();
    };

    for (const QString &step : steps) {
        const QStringList words = step.split(QLatin1Char(' '));
        const QString verb = words.at(0);
        const QString rest = step.section(QLatin1Char(' '), 1);
        if (verb == QLatin1String("send") || verb == QLatin1String("refuse")) {
            QSignalSpy sent(rig.bridge.get(), &MqttBridge::commandSent);
            QSignalSpy refused(rig.bridge.get(), &MqttBridge::commandRefused);
            const QByteArray payload = QStringLiteral(R"({"action":"%1","code":"%2"})")
                                           .arg(words.at(1), words.at(2))
                                           .toUtf8();
            QVERIFY(publishWithClient(m_broker->port(), rig.topic(QStringLiteral("security/set")),
                                      payload));
            if (verb == QLatin1String("send")) {
                QVERIFY2(sent.wait(kWaitMs), qPrintable(step));
                QCOMPARE(refused.count(), 0);
            } else {
                QVERIFY2(refused.wait(kWaitMs), qPrintable(step));
                QCOMPARE(sent.count(), 0);
                // Said where the hub shows it.
                QTRY_VERIFY_WITH_TIMEOUT(
                    attribute("last_code").startsWith(QLatin1String("refused")), kWaitMs);
            }
        } else if (verb == QLatin1String("state")) {
            QTRY_VERIFY2_WITH_TIMEOUT(watcher.latest().value(state) == rest.toUtf8(),
                                      qPrintable(step), kWaitMs);
        } else if (verb == QLatin1String("ready")) {
            QTRY_VERIFY2_WITH_TIMEOUT(attribute("code_state") == QLatin1String("ready"),
                                      qPrintable(step), kWaitMs);
        } else if (verb == QLatin1String("sim")) {
            QTRY_VERIFY2_WITH_TIMEOUT(rig.count(rest) > 0, qPrintable(step), kWaitMs);
        } else if (verb == QLatin1String("count")) {
            const int expected = words.at(1).toInt();
            QCOMPARE(rig.count(step.section(QLatin1Char(' '), 2)), expected);
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
        }
    }
}

void TestMqttBridge::wrongCodesLockTheHubOnly_data()
{
    QTest::addColumn<bool>("fromHub");

    QTest::newRow("three wrong codes from the hub lock the hub") << true;
    QTest::newRow("three wrong codes at the panel's keypad lock nothing") << false;
}

void TestMqttBridge::wrongCodesLockTheHubOnly()
{
    QFETCH(bool, fromHub);
    Rig rig;
    QVERIFY(startRig(rig, QStringLiteral("tst-lockout")));
    const QString attributes = rig.topic(QStringLiteral("security/attributes"));
    const QString set = rig.topic(QStringLiteral("security/set"));
    BrokerWatcher watcher;
    QVERIFY(watcher.start(m_broker->port(), {attributes}));
    const auto attrs = [&] { return jsonOf(watcher.latest().value(attributes)); };
    const auto ready = [&] {
        return attrs().value(QLatin1String("code_state")) == QLatin1String("ready");
    };
    QTRY_VERIFY_WITH_TIMEOUT(ready(), kWaitMs);
    const int logFrom = logSoFar().size();

    for (int i = 1; i <= 3; ++i) {
        if (fromHub) {
            QSignalSpy sent(rig.bridge.get(), &MqttBridge::commandSent);
            QVERIFY(
                publishWithClient(m_broker->port(), set, R"({"action":"ARM_AWAY","code":"9999"})"));
            QVERIFY(sent.wait(kWaitMs));
        } else {
            rig.link->commands().WritePassword(9999);
        }
        QTRY_COMPARE_WITH_TIMEOUT(rig.count(QStringLiteral("code entered, wrong code")), i,
                                  kWaitMs);
        // The bridge saw the notice (busy) and its end (ready again).
        const auto notices = [&] {
            int n = 0;
            for (const BrokerWatcher::Message &m : watcher.messages())
                n += jsonOf(m.payload).value(QLatin1String("code_state")) == QLatin1String("busy")
                         ? 1
                         : 0;
            return n;
        };
        if (!fromHub)
            QTRY_VERIFY_WITH_TIMEOUT(notices() >= i, kWaitMs);
        if (i < 3 || !fromHub)
            QTRY_VERIFY_WITH_TIMEOUT(ready() && attrs().value(QLatin1String("wrong_codes")) ==
                                                    (fromHub ? i : 0),
                                     kWaitMs);
    }
    if (fromHub) {
        QTRY_VERIFY_WITH_TIMEOUT(
            attrs().value(QLatin1String("code_state")) == QLatin1String("locked"), kWaitMs);
        QCOMPARE(attrs().value(QLatin1String("wrong_codes")).toInt(), 3);
        QCOMPARE(attrs().value(QLatin1String("lockout_s")).toInt(), 30);
        QVERIFY(!attrs().value(QLatin1String("locked_until")).toString().isEmpty());
        QCOMPARE(logLinesMatching(QStringLiteral("3 wrong codes .*refused for 30 s"), logFrom), 1);
        // Even the right code is refused without reaching the keypad.
        QSignalSpy refused(rig.bridge.get(), &MqttBridge::commandRefused);
        QVERIFY(publishWithClient(m_broker->port(), set, R"({"action":"ARM_AWAY","code":"1234"})"));
        QVERIFY(refused.wait(kWaitMs));
        QVERIFY2(refused.last().at(1).toString().contains(QLatin1String("locked")),
                 qPrintable(refused.last().at(1).toString()));
        // The panel's own keypad is not locked by the hub's failures.
        rig.link->commands().WritePassword(1234);
        QTRY_COMPARE_WITH_TIMEOUT(rig.count(QStringLiteral("code entered, arming")), 1, kWaitMs);
        rig.link->commands().WritePassword(1234);
        QTRY_COMPARE_WITH_TIMEOUT(rig.count(QStringLiteral("code entered, arming cancelled")), 1,
                                  kWaitMs);
        QCOMPARE(rig.count(QStringLiteral("code entered")), 5);
        // After the lockout the hub's code goes through again.
        rig.now += 30 * 1000;
        QTRY_VERIFY_WITH_TIMEOUT(ready(), kWaitMs);
    }
    QSignalSpy sent(rig.bridge.get(), &MqttBridge::commandSent);
    QVERIFY(publishWithClient(m_broker->port(), set, R"({"action":"ARM_AWAY","code":"1234"})"));
    QVERIFY(sent.wait(kWaitMs));
    QTRY_VERIFY_WITH_TIMEOUT(
        rig.count(QStringLiteral("code entered, arming, countdown")) == (fromHub ? 2 : 1), kWaitMs);
    for (const QString &line : logSoFar().mid(logFrom))
        QVERIFY2(!line.contains(QLatin1String("9999")) && !line.contains(QLatin1String("1234")),
                 qPrintable(line));
}

void TestMqttBridge::retainedCommandsAreNotRun_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("beforeStart");

    // clang-format off
    QTest::newRow("lamp on, while the bridge listens") << "lamp_2/set" << QByteArray("ON") << false;
    QTest::newRow("disarm, while the bridge listens") << "security/set" << QByteArray(R"({"action":"DISARM","code":"1234"})") << false;
    QTest::newRow("lamp on, waiting for the bridge's next start") << "lamp_2/set" << QByteArray("ON") << true;
    QTest::newRow("arm, waiting for the bridge's next start") << "security/set" << QByteArray(R"({"action":"ARM_AWAY","code":"1234"})") << true;
    QTest::newRow("a scene, waiting for the bridge's next start") << "light_scene_1/set" << QByteArray("ON") << true;
    // clang-format on
}

void TestMqttBridge::retainedCommandsAreNotRun()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, payload);
    QFETCH(bool, beforeStart);
    const QStringList retain{QStringLiteral("-r")};
    const int logFrom = logSoFar().size();
    const int simFrom = simLines();
    if (!beforeStart) {
        QSignalSpy refused(m_bridge.get(), &MqttBridge::commandRefused);
        QSignalSpy sent(m_bridge.get(), &MqttBridge::commandSent);
        const QString full = topic(command);
        for (int i = 0; i < 2; ++i) {
            QVERIFY(publishWithClient(m_broker->port(), full, payload, retain));
            QVERIFY(refused.wait(kWaitMs));
        }
        QCOMPARE(sent.count(), 0);
        // Logged once per topic however often it comes.
        QCOMPARE(logLinesMatching(QStringLiteral("retained message on ") + full, logFrom), 1);
        // And taken off the broker: a new subscriber finds nothing there.
        BrokerWatcher later;
        QVERIFY(later.start(m_broker->port(), {full}));
        QVERIFY(!later.seen(full));
        return;
    }
    // Someone left a retained command for the bridge's node; the bridge (re)starts.
    const QString node = QStringLiteral("tst-replay");
    const QString full = QStringLiteral("verandix/") + node + QLatin1Char('/') + command;
    QVERIFY(publishWithClient(m_broker->port(), full, payload, retain));
    BridgeSettings s = bridgeSettings(m_broker->port());
    s.clientId = node;
    MqttBridge bridge(s);
    bridge.setProject(m_rooms, m_settings);
    bridge.attach(m_link.get(), &m_link->commands());
    QSignalSpy refused(&bridge, &MqttBridge::commandRefused);
    QSignalSpy sent(&bridge, &MqttBridge::commandSent);
    QSignalSpy announced(&bridge, &MqttBridge::announced);
    QVERIFY(bridge.start());
    QVERIFY(announced.wait(kWaitMs));
    QTRY_VERIFY_WITH_TIMEOUT(refused.count() >= 1, kWaitMs);
    QCOMPARE(refused.first().at(1).toString(), QStringLiteral("retained command ignored"));
    QCOMPARE(sent.count(), 0);
    bridge.stop();
    // Not at the controller either.
    const QStringList after = m_sim->output().mid(simFrom);
    QVERIFY2(after.filter(QRegularExpression(QStringLiteral("code entered|lamp 2:|global scene")))
                 .isEmpty(),
             qPrintable(after.join(QLatin1Char('\n'))));
    QCOMPARE(logLinesMatching(QStringLiteral("retained message on ") + full, logFrom), 1);
}

void TestMqttBridge::clientIdCannotBeTakenOver()
{
    // Anyone can read the node name off the topics and connect with it as client id.
    QSignalSpy lost(m_bridge.get(), &MqttBridge::brokerDisconnected);
    QSignalSpy sent(m_bridge.get(), &MqttBridge::commandSent);
    QProcess intruder;
    intruder.start(QStringLiteral("mosquitto_sub"),
                   {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                    QString::number(m_broker->port()), QStringLiteral("-i"), kNode,
                    QStringLiteral("-t"), topic(QStringLiteral("status"))});
    // Connected once the retained status reaches it.
    QByteArray heard;
    QTRY_VERIFY2_WITH_TIMEOUT((heard += intruder.readAllStandardOutput()).contains("online"),
                              QByteArray(heard + intruder.readAllStandardError()).constData(),
                              kWaitMs);
    // The bridge is still there to take a command right after.
    QVERIFY(publishWithClient(m_broker->port(), topic(QStringLiteral("lamp_2/set")), "OFF"));
    QVERIFY(sent.wait(kWaitMs));
    QCOMPARE(lost.count(), 0);
    QVERIFY(m_bridge->settings().clientIdOnBroker() != kNode);
    QVERIFY(m_bridge->settings().clientIdOnBroker().startsWith(kNode + QLatin1Char('-')));
    intruder.kill();
    intruder.waitForFinished();
}

void TestMqttBridge::clientSuffixIsKept_data()
{
    QTest::addColumn<bool>("writable");

    QTest::newRow("a folder that can be written") << true;
    QTest::newRow("a read-only folder") << false;
}

void TestMqttBridge::clientSuffixIsKept()
{
    QFETCH(bool, writable);
    TempFolder folder;
    QString path = folder.filePath(QStringLiteral("config"));
    QVERIFY(QDir().mkpath(path));
    if (!writable) {
        // Root writes anywhere a mode allows nothing: take a folder no one may create files in.
        if (::geteuid() == 0)
            path = QStringLiteral("/proc");
        else
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner));
    }
    const int logFrom = logSoFar().size();
    const QString suffix = BridgeSettings::storedClientSuffix(path);
    QVERIFY(suffix.size() >= 8);
    // The same for the whole run; stored for the next one where the folder allows it.
    QCOMPARE(BridgeSettings::storedClientSuffix(path), suffix);
    const QString file = QDir(path).filePath(QLatin1String(BridgeSettings::kClientSuffixFile));
    if (writable) {
        QFile stored(file);
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(stored.readAll().trimmed()), suffix);
        QCOMPARE(logLinesMatching(QStringLiteral("cannot store"), logFrom), 0);
        // Another folder, another suffix.
        TempFolder other;
        QVERIFY(BridgeSettings::storedClientSuffix(other.path()) != suffix);
    } else {
        QVERIFY(!QFile::exists(file));
        QCOMPARE(
            logLinesMatching(QStringLiteral("cannot store the MQTT client id suffix"), logFrom), 1);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // The bridge works with it either way.
    BridgeSettings s = bridgeSettings(m_broker->port());
    s.clientId = QStringLiteral("tst-suffix");
    s.clientSuffix = suffix;
    MqttBridge bridge(s);
    bridge.setProject(m_rooms, m_settings);
    QSignalSpy announced(&bridge, &MqttBridge::announced);
    QVERIFY(bridge.start());
    QVERIFY(announced.wait(kWaitMs));
    QCOMPARE(bridge.settings().clientIdOnBroker(), QStringLiteral("tst-suffix-") + suffix);
    bridge.stop();
}

void TestMqttBridge::aBudgetCoversTheWholeBridge_data()
{
    QTest::addColumn<int>("budget");
    QTest::addColumn<int>("lamps");
    QTest::addColumn<int>("perLamp");

    // Each lamp stays under its own limit (10 a second); together they are far over the budget.
    QTest::newRow("a budget of 5 over 6 lamps") << 5 << 6 << 5;
    QTest::newRow("the default budget over 6 lamps")
        << BridgeCommandBudget::kDefaultPerSecond << 6 << 8;
}

void TestMqttBridge::aBudgetCoversTheWholeBridge()
{
    QFETCH(int, budget);
    QFETCH(int, lamps);
    QFETCH(int, perLamp);
    Rig rig;
    QVERIFY(startRig(rig, QStringLiteral("tst-budget"), {}, true, 0,
                     [budget](BridgeSettings &s) { s.commandBudget = budget; }));
    QTRY_VERIFY_WITH_TIMEOUT(rig.sim->logged(QStringLiteral("client connected")), kWaitMs);
    BrokerWatcher watcher;
    const QString available = rig.bridge->controllerAvailabilityTopic();
    QVERIFY(watcher.start(m_broker->port(), {available}));
    QTRY_VERIFY_WITH_TIMEOUT(watcher.latest().value(available) == "online", kWaitMs);

    QStringList targets;
    for (const BridgeEntity &e : rig.bridge->catalog().entities()) {
        if (e.source == BridgeEntity::Source::Lamp && targets.size() < lamps)
            targets.append(e.uniqueId);
    }
    QCOMPARE(targets.size(), lamps);
    QSignalSpy refused(rig.bridge.get(), &MqttBridge::commandRefused);
    QSignalSpy sent(rig.bridge.get(), &MqttBridge::commandSent);
    const int logFrom = logSoFar().size();
    QByteArray lines;
    for (int i = 0; i < perLamp; ++i)
        lines += i % 2 ? "OFF\n" : "ON\n";
    // The clock stands still: all of it falls into one second.
    for (const QString &lamp : qAsConst(targets))
        QVERIFY(publishWithClient(m_broker->port(), rig.topic(lamp + QStringLiteral("/set")), lines,
                                  {QStringLiteral("-l")}));
    const int total = lamps * perLamp;
    QTRY_COMPARE_WITH_TIMEOUT(refused.count() + sent.count(), total, kWaitMs);
    QCOMPARE(sent.count(), budget);
    // One line at once, then one summary for the rest once the window is over.
    const QString atOnce = QStringLiteral("refused: over the bridge's command budget");
    QCOMPARE(logLinesMatching(atOnce, logFrom), 1);
    rig.now += BridgeRefusalLog::kWindowMs;
    const QString summary = QStringLiteral("%1 more commands refused").arg(total - budget - 1);
    QTRY_COMPARE_WITH_TIMEOUT(logLinesMatching(summary, logFrom), 1, kWaitMs);
    QCOMPARE(logLinesMatching(atOnce, logFrom), 1);
    // A new second has room again.
    rig.now += 1000;
    QVERIFY(publishWithClient(m_broker->port(), rig.topic(targets.first() + QStringLiteral("/set")),
                              "OFF"));
    QVERIFY(sent.wait(kWaitMs));
}

void TestMqttBridge::oversizedPayloadsAreRefusedUnread_data()
{
    QTest::addColumn<qint64>("bytes");

    QTest::newRow("one byte over a command's limit")
        << qint64(BridgeCommandParser::kMaxPayloadBytes + 1);
    QTest::newRow("32 MB") << qint64(32) * 1024 * 1024;
}

void TestMqttBridge::oversizedPayloadsAreRefusedUnread()
{
    QFETCH(qint64, bytes);
    // Written in pieces and sent from the file, so that the test itself holds no copy.
    TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("payload"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QByteArray piece(qMin<qint64>(bytes, 1024 * 1024), 'A');
    for (qint64 left = bytes; left > 0; left -= piece.size())
        file.write(piece.constData(), qMin<qint64>(left, piece.size()));
    file.close();

    QFile statm(QStringLiteral("/proc/self/statm"));
    QVERIFY(statm.open(QIODevice::ReadOnly));
    const qint64 residentBefore =
        statm.readAll().split(' ').value(1).toLongLong() * ::sysconf(_SC_PAGESIZE);
    QSignalSpy refused(m_bridge.get(), &MqttBridge::commandRefused);
    QSignalSpy sent(m_bridge.get(), &MqttBridge::commandSent);
    QProcess pub;
    pub.start(QStringLiteral("mosquitto_pub"),
              {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
               QString::number(m_broker->port()), QStringLiteral("-t"),
               topic(QStringLiteral("lamp_2/set")), QStringLiteral("-f"), path});
    QVERIFY(pub.waitForFinished(kWaitMs));
    QCOMPARE(pub.exitCode(), 0);
    QVERIFY(refused.wait(kWaitMs));
    QCOMPARE(sent.count(), 0);
    QVERIFY2(refused.first().at(1).toString().contains(QLatin1String("too large")),
             qPrintable(refused.first().at(1).toString()));
    if (bytes < 1024 * 1024)
        return;
    // The client library holds the message twice (what it read and the message it hands over);
    // no copy of ours may add a third.
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const qint64 peak = qint64(usage.ru_maxrss) * 1024;
    QVERIFY2(peak - residentBefore < bytes * 5 / 2,
             qPrintable(QStringLiteral("peak %1 MB over %2 MB resident")
                            .arg(peak >> 20)
                            .arg(residentBefore >> 20)));
}

void TestMqttBridge::foreignRetainedStatesAreRestored_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QByteArray>("forged");

    QTest::newRow("the alarm panel's state") << "security/state" << QByteArray("armed_away");
    QTest::newRow("the alarm panel's state, cleared") << "security/state" << QByteArray("");
    QTest::newRow("the bridge's status") << "status" << QByteArray("offline");
}

void TestMqttBridge::foreignRetainedStatesAreRestored()
{
    QFETCH(QString, what);
    QFETCH(QByteArray, forged);
    const QString t = topic(what);
    BrokerWatcher watcher;
    QVERIFY(watcher.start(m_broker->port(), {t}));
    QTRY_VERIFY_WITH_TIMEOUT(!watcher.latest().value(t).isEmpty(), kWaitMs);
    const QByteArray truth = watcher.latest().value(t);
    QVERIFY(truth != forged);
    // Another client overwrites the retained message (or clears it: a null message).
    if (forged.isEmpty())
        QVERIFY(run(QStringLiteral("mosquitto_pub"),
                    {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                     QString::number(m_broker->port()), QStringLiteral("-t"), t,
                     QStringLiteral("-r"), QStringLiteral("-n")}));
    else
        QVERIFY(publishWithClient(m_broker->port(), t, forged, {QStringLiteral("-r")}));
    QTRY_VERIFY_WITH_TIMEOUT(watcher.seen(t, forged), kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(watcher.latest().value(t), truth, kWaitMs);
    // What a hub that connects now is handed.
    BrokerWatcher later;
    QVERIFY(later.start(m_broker->port(), {t}));
    QTRY_COMPARE_WITH_TIMEOUT(later.latest().value(t), truth, kWaitMs);
}

void TestMqttBridge::controllerAwayIsUnavailable_data()
{
    QTest::addColumn<bool>("atStart");

    QTest::newRow("a controller that stops answering") << false;
    QTest::newRow("no controller when the bridge starts") << true;
}

void TestMqttBridge::controllerAwayIsUnavailable()
{
    QFETCH(bool, atStart);
    Rig rig;
    // A short answer wait, so that the test does not wait the link's default five seconds.
    QVERIFY(startRig(rig, QStringLiteral("tst-silent"), {}, !atStart, 1000));
    const QString state = rig.topic(QStringLiteral("controller/state"));
    const QString available = rig.bridge->controllerAvailabilityTopic();
    BrokerWatcher watcher;
    QVERIFY(watcher.start(m_broker->port(), {state, available}));
    QSignalSpy refused(rig.bridge.get(), &MqttBridge::commandRefused);
    QSignalSpy sent(rig.bridge.get(), &MqttBridge::commandSent);
    const QString lamp = rig.topic(QStringLiteral("lamp_2/set"));
    const int logFrom = logSoFar().size();

    if (!atStart) {
        QTRY_VERIFY_WITH_TIMEOUT(watcher.latest().value(available) == "online", kWaitMs);
        rig.sim->send("silence 6\n");
    }
    QTRY_VERIFY_WITH_TIMEOUT(watcher.latest().value(available) == "offline" &&
                                 watcher.latest().value(state) == "OFF",
                             kWaitMs);
    // Refused aloud, not dropped or queued for later.
    QVERIFY(publishWithClient(m_broker->port(), lamp, "ON"));
    QVERIFY(refused.wait(kWaitMs));
    QCOMPARE(sent.count(), 0);
    QCOMPARE(
        logLinesMatching(QStringLiteral("lamp_2 refused: the controller does not answer"), logFrom),
        1);
    // The discovery of every value entity names the second availability.
    const QJsonObject lampConfig =
        BridgeCatalog::discoveryConfig(*rig.bridge->catalog().entity(QStringLiteral("lamp_2")),
                                       QStringLiteral("verandix"), rig.node);
    QVERIFY(QJsonDocument(lampConfig).toJson().contains(available.toUtf8()));
    if (atStart)
        return;

    // Back: available again at the first answer, and the state went OFF once, without flipping
    // back and forth while the link reconnected to the silent controller.
    QTRY_VERIFY_WITH_TIMEOUT(watcher.latest().value(available) == "online" &&
                                 watcher.latest().value(state) == "ON",
                             2 * kWaitMs);
    QList<QByteArray> states;
    for (const BrokerWatcher::Message &m : watcher.messages()) {
        // From the first answer on (the retained state may still say the link had none).
        if (m.topic == state && (!states.isEmpty() || m.payload == "ON"))
            states.append(m.payload);
    }
    QCOMPARE(states, (QList<QByteArray>{"ON", "OFF", "ON"}));
    QVERIFY(publishWithClient(m_broker->port(), lamp, "ON"));
    QVERIFY(sent.wait(kWaitMs));
}

void TestMqttBridge::brightnessOnThePanelsScale_data()
{
    QTest::addColumn<int>("stateByte"); // lamp 1's first byte: level in the high nibble, on bit
    QTest::addColumn<QByteArray>("published");

    QTest::newRow("half") << 0x51 << QByteArray("5");
    QTest::newRow("the panel's 100 %") << 0xA1 << QByteArray("10");
    QTest::newRow("a level above the scale shows as full") << 0xF1 << QByteArray("10");
    QTest::newRow("off at level 3") << 0x30 << QByteArray("3");
}

void TestMqttBridge::brightnessOnThePanelsScale()
{
    QFETCH(int, stateByte);
    QFETCH(QByteArray, published);
    const QString brightness = topic(QStringLiteral("lamp_1/brightness"));
    BrokerWatcher watcher;
    QVERIFY(watcher.start(m_broker->port(), {brightness}));
    // Lamp 1's record starts at byte 612 + 8.
    m_sim->send("set byte 620 " + QByteArray::number(stateByte) + '\n');
    QTRY_COMPARE_WITH_TIMEOUT(watcher.latest().value(brightness), published, kWaitMs);
}

bool TestMqttBridge::makeTestCa(const TempFolder &folder)
{
    const auto path = [&folder](const char *name) { return folder.filePath(QLatin1String(name)); };
    // A throwaway CA, a broker certificate for 127.0.0.1 and a client certificate, both signed
    // by it.
    QFile ext(path("san.ext"));
    if (!ext.open(QIODevice::WriteOnly))
        return false;
    ext.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n");
    ext.close();
    if (!run(QStringLiteral("openssl"),
             {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
              "/CN=Verandix test CA", "-keyout", path("ca.key"), "-out", path("ca.pem")}))
        return false;
    for (const char *who : {"broker", "client"}) {
        const QString key = path(who) + QStringLiteral(".key");
        const QString csr = path(who) + QStringLiteral(".csr");
        const QString pem = path(who) + QStringLiteral(".pem");
        const QString subject = qstrcmp(who, "broker") == 0 ? QStringLiteral("/CN=127.0.0.1")
                                                            : QStringLiteral("/CN=bridge");
        if (!run(QStringLiteral("openssl"), {"req", "-newkey", "rsa:2048", "-nodes", "-subj",
                                             subject, "-keyout", key, "-out", csr}) ||
            !run(QStringLiteral("openssl"),
                 {"x509", "-req", "-in", csr, "-CA", path("ca.pem"), "-CAkey", path("ca.key"),
                  "-CAcreateserial", "-days", "2", "-extfile", path("san.ext"), "-out", pem}))
            return false;
    }
    return true;
}

void TestMqttBridge::tlsSettings_data()
{
    QTest::addColumn<QString>("ca");
    QTest::addColumn<QString>("cert");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("broker");  // "plain", "tls", "tls+client"
    QTest::addColumn<QString>("outcome"); // "refused", "connects", "no connection"

    // clang-format off
    // A client certificate without a CA: TLS all the same, checked against the system's store,
    // which does not know the test CA; never the password in plain text.
    QTest::newRow("cert and key, plain broker") << "" << "client.pem" << "client.key" << "plain" << "no connection";
    QTest::newRow("cert and key, unknown CA") << "" << "client.pem" << "client.key" << "tls" << "no connection";
    QTest::newRow("certificate without its key") << "ca.pem" << "client.pem" << "" << "tls" << "refused";
    QTest::newRow("key without its certificate") << "" << "" << "client.key" << "tls" << "refused";
    QTest::newRow("CA, cert and key, broker asks for it") << "ca.pem" << "client.pem" << "client.key" << "tls+client" << "connects";
    // clang-format on
}

void TestMqttBridge::tlsSettings()
{
    QFETCH(QString, ca);
    QFETCH(QString, cert);
    QFETCH(QString, key);
    QFETCH(QString, broker);
    QFETCH(QString, outcome);
    TempFolder folder;
    QVERIFY(makeTestCa(folder));
    const auto path = [&folder](const QString &name) {
        return name.isEmpty() ? QString() : folder.filePath(name);
    };
    QStringList config;
    if (broker != QLatin1String("plain"))
        config << QStringLiteral("cafile ") + path(QStringLiteral("ca.pem"))
               << QStringLiteral("certfile ") + path(QStringLiteral("broker.pem"))
               << QStringLiteral("keyfile ") + path(QStringLiteral("broker.key"));
    if (broker == QLatin1String("tls+client"))
        config << QStringLiteral("require_certificate true");
    BrokerProcess server;
    QVERIFY2(server.start(config), qPrintable(server.errorString()));

    BridgeSettings s = bridgeSettings(server.port());
    s.clientId = QStringLiteral("tst-tls-settings");
    s.user = QStringLiteral("bridge");
    s.password = QStringLiteral("n0t-in-clear");
    s.tlsCa = path(ca);
    s.tlsCert = path(cert);
    s.tlsKey = path(key);
    QVERIFY(s.tls());
    const int logFrom = logSoFar().size();
    MqttBridge bridge(s);
    bridge.setProject(m_rooms, m_settings);
    QSignalSpy announced(&bridge, &MqttBridge::announced);
    QSignalSpy lost(&bridge, &MqttBridge::brokerDisconnected);
    if (outcome == QLatin1String("refused")) {
        QVERIFY(!bridge.start());
        QCOMPARE(logLinesMatching(QStringLiteral("not started: mqtt_tls_.* is set but"), logFrom),
                 1);
        return;
    }
    QVERIFY(bridge.start());
    if (outcome == QLatin1String("connects")) {
        QVERIFY(announced.wait(kWaitMs));
    } else {
        QVERIFY(lost.wait(kWaitMs));
        QCOMPARE(announced.count(), 0);
    }
    bridge.stop();
}

void TestMqttBridge::aTlsFailureIsRetried()
{
    // The broker first shows a certificate of a CA the bridge does not trust (a failed TLS
    // handshake), then, after a restart, one it does: the bridge must not have given up.
    TempFolder trusted;
    TempFolder other;
    TempFolder served;
    QVERIFY(makeTestCa(trusted));
    QVERIFY(makeTestCa(other));
    for (const char *name : {"ca.pem", "broker.pem", "broker.key"})
        QVERIFY(
            QFile::copy(other.filePath(QLatin1String(name)), served.filePath(QLatin1String(name))));
    BrokerProcess server;
    QVERIFY2(
        server.start({QStringLiteral("cafile ") + served.filePath(QStringLiteral("ca.pem")),
                      QStringLiteral("certfile ") + served.filePath(QStringLiteral("broker.pem")),
                      QStringLiteral("keyfile ") + served.filePath(QStringLiteral("broker.key"))}),
        qPrintable(server.errorString()));
    BridgeSettings s = bridgeSettings(server.port());
    s.clientId = QStringLiteral("tst-tls-retry");
    s.tlsCa = trusted.filePath(QStringLiteral("ca.pem"));
    MqttBridge bridge(s);
    bridge.setProject(m_rooms, m_settings);
    QSignalSpy announced(&bridge, &MqttBridge::announced);
    QSignalSpy lost(&bridge, &MqttBridge::brokerDisconnected);
    QVERIFY(bridge.start());
    QVERIFY(lost.wait(kWaitMs));
    QCOMPARE(announced.count(), 0);

    server.stop();
    for (const char *name : {"ca.pem", "broker.pem", "broker.key"}) {
        QVERIFY(QFile::remove(served.filePath(QLatin1String(name))));
        QVERIFY(QFile::copy(trusted.filePath(QLatin1String(name)),
                            served.filePath(QLatin1String(name))));
    }
    QVERIFY2(server.restart(), qPrintable(server.errorString()));
    QVERIFY(announced.wait(kReconnectWaitMs + kWaitMs));
    bridge.stop();
}

QTEST_GUILESS_MAIN(TestMqttBridge)
#include "tst_mqttbridge.moc"
