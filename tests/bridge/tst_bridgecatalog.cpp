// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bridgecatalog.h"
#include "bridgesettings.h"
#include "eappsettings.h"
#include "roomsv1.h"
#include "tempfolder.h"

#include <QJsonArray>
#include <QtTest>

namespace {

const QStringList kProjectFiles{QStringLiteral("main_config.xml"),
                                QStringLiteral("light_config.xml"),
                                QStringLiteral("heat_config.xml"), QStringLiteral("security.xml"),
                                QStringLiteral("utilities.xml")};

QString fixtureFolder()
{
    return QFINDTESTDATA("../data/project");
}

bool copyFixture(const QString &to)
{
    const QDir from(fixtureFolder());
    for (const QString &name : from.entryList({QStringLiteral("*.xml")}, QDir::Files)) {
        if (!QFile::copy(from.filePath(name), QDir(to).filePath(name)))
            return false;
    }
    return true;
}

QMap<QString, QString> idsAndNames(const BridgeCatalog &catalog)
{
    QMap<QString, QString> out;
    for (const BridgeEntity &e : catalog.entities())
        out.insert(e.component + QLatin1Char('/') + e.uniqueId, e.name);
    return out;
}

// What a hub needs of each component's discovery message: key -> JSON type.
using Schema = QHash<QString, QJsonValue::Type>;

Schema schemaOf(const QString &component)
{
    const Schema common{{"name", QJsonValue::String},
                        {"unique_id", QJsonValue::String},
                        {"default_entity_id", QJsonValue::String},
                        {"device", QJsonValue::Object}};
    Schema s = common;
    const auto add = [&s](const Schema &more) {
        for (auto it = more.begin(); it != more.end(); ++it)
            s.insert(it.key(), it.value());
    };
    if (component == QLatin1String("light"))
        add({{"state_topic", QJsonValue::String},
             {"command_topic", QJsonValue::String},
             {"availability", QJsonValue::Array}});
    else if (component == QLatin1String("climate"))
        add({{"current_temperature_topic", QJsonValue::String},
             {"temperature_state_topic", QJsonValue::String},
             {"temperature_command_topic", QJsonValue::String},
             {"min_temp", QJsonValue::Double},
             {"max_temp", QJsonValue::Double},
             {"temp_step", QJsonValue::Double},
             {"modes", QJsonValue::Array},
             {"availability", QJsonValue::Array}});
    else if (component == QLatin1String("switch"))
        add({{"state_topic", QJsonValue::String},
             {"command_topic", QJsonValue::String},
             {"availability", QJsonValue::Array}});
    else if (component == QLatin1String("number"))
        add({{"state_topic", QJsonValue::String},
             {"command_topic", QJsonValue::String},
             {"min", QJsonValue::Double},
             {"max", QJsonValue::Double},
             {"availability", QJsonValue::Array}});
    else if (component == QLatin1String("sensor") || component == QLatin1String("binary_sensor"))
        add({{"state_topic", QJsonValue::String}});
    else if (component == QLatin1String("scene"))
        add({{"command_topic", QJsonValue::String},
             {"payload_on", QJsonValue::String},
             {"availability", QJsonValue::Array}});
    else if (component == QLatin1String("alarm_control_panel"))
        add({{"state_topic", QJsonValue::String},
             {"command_topic", QJsonValue::String},
             {"code", QJsonValue::String},
             {"code_arm_required", QJsonValue::Bool},
             {"code_disarm_required", QJsonValue::Bool},
             {"command_template", QJsonValue::String},
             {"availability", QJsonValue::Array}});
    return s;
}

} // namespace

class TestBridgeCatalog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyKindOfTheProjectIsPublished_data();
    void everyKindOfTheProjectIsPublished();
    void discoveryFollowsTheSchemaOfItsComponent();
    void idsSurviveReorderingAndEdits();
    void aCellOnTwoPlansIsOneEntity();
    void settingsKeys_data();
    void settingsKeys();

private:
    RoomsV1 m_rooms;
    EAppSettings m_settings;
    BridgeCatalog m_catalog;
};

void TestBridgeCatalog::initTestCase()
{
    QVERIFY(m_settings.load(QDir(fixtureFolder()).filePath(QStringLiteral("config.xml"))));
    QVERIFY(m_rooms.load(fixtureFolder(), kProjectFiles));
    m_catalog.build(m_rooms, m_settings);
}

void TestBridgeCatalog::everyKindOfTheProjectIsPublished_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("area");
    // clang-format off
    QTest::newRow("dimmer lamp") << "light/lamp_1" << "Kitchen";
    QTest::newRow("plain lamp") << "light/lamp_2" << "Kitchen";
    QTest::newRow("thermostat") << "climate/thermostat_20" << "Garage";
    QTest::newRow("read-only bit") << "binary_sensor/bit_1800_0" << "Ground floor";
    QTest::newRow("writable bit") << "switch/bit_1800_1" << "Ground floor";
    QTest::newRow("read-only byte") << "sensor/value_1849" << "Garage";
    QTest::newRow("writable byte") << "number/value_1000" << "Boiler room";
    QTest::newRow("motion sensor") << "binary_sensor/motion_1" << "Kitchen";
    QTest::newRow("parameter") << "sensor/parameter_1" << "";
    QTest::newRow("alarm") << "binary_sensor/alarm_1" << "";
    QTest::newRow("alarm count") << "sensor/alarm_count" << "";
    QTest::newRow("security") << "alarm_control_panel/security" << "";
    QTest::newRow("global scene") << "scene/light_scene_1" << "";
    QTest::newRow("controller") << "binary_sensor/controller" << "";
    // clang-format on
}

void TestBridgeCatalog::everyKindOfTheProjectIsPublished()
{
    QFETCH(QString, key);
    QFETCH(QString, area);
    const QString id = key.section(QLatin1Char('/'), 1);
    const BridgeEntity *e = m_catalog.entity(id);
    QVERIFY2(e, qPrintable(key + QLatin1String(" missing; have: ") +
                           QStringList(idsAndNames(m_catalog).keys()).join(QLatin1Char(' '))));
    QCOMPARE(e->component, key.section(QLatin1Char('/'), 0, 0));
    QCOMPARE(e->area, area);
    QVERIFY(!e->name.isEmpty());
    // Controller-bound records are polled through the bridge's own page.
    if (e->index >= 0)
        QVERIFY(m_catalog.homePage().controlAt(e->index));
}

void TestBridgeCatalog::discoveryFollowsTheSchemaOfItsComponent()
{
    const QString node = QStringLiteral("panel");
    const QString prefix = QStringLiteral("verandix");
    QSet<QString> uniqueIds;
    for (const BridgeEntity &e : m_catalog.entities()) {
        const QJsonObject c = BridgeCatalog::discoveryConfig(e, prefix, node);
        const Schema schema = schemaOf(e.component);
        for (auto it = schema.begin(); it != schema.end(); ++it) {
            QVERIFY2(c.contains(it.key()),
                     qPrintable(e.uniqueId + QLatin1String(": no ") + it.key()));
            QVERIFY2(c.value(it.key()).type() == it.value(),
                     qPrintable(e.uniqueId + QLatin1String(": type of ") + it.key()));
        }
        // Every topic is ours, below the entity's own base; commands end in "set".
        const QString base = BridgeCatalog::entityBase(prefix, node, e);
        for (auto it = c.begin(); it != c.end(); ++it) {
            if (!it.key().endsWith(QLatin1String("_topic")))
                continue;
            const QString topic = it.value().toString();
            if (it.key() == QLatin1String("availability_topic")) {
                QCOMPARE(topic, QStringLiteral("verandix/panel/status"));
                continue;
            }
            QVERIFY2(topic.startsWith(base + QLatin1Char('/')), qPrintable(topic));
            QCOMPARE(it.key().contains(QLatin1String("command")),
                     topic.endsWith(QLatin1String("/set")));
        }
        QVERIFY2(!uniqueIds.contains(c.value(QLatin1String("unique_id")).toString()),
                 qPrintable(e.uniqueId));
        uniqueIds.insert(c.value(QLatin1String("unique_id")).toString());
        const QJsonObject device = c.value(QLatin1String("device")).toObject();
        QCOMPARE(device.value(QLatin1String("manufacturer")).toString(),
                 QStringLiteral("Verandix"));
        QVERIFY(device.contains(QLatin1String("model")));
        // The hub reads the area from the device, never from an entity: a room's entities sit
        // on that room's device, below the bridge's own.
        QVERIFY2(!c.contains(QLatin1String("suggested_area")), qPrintable(e.uniqueId));
        if (e.area.isEmpty()) {
            QCOMPARE(device.value(QLatin1String("identifiers")).toArray().first().toString(),
                     QStringLiteral("verandix_panel"));
            QVERIFY(!device.contains(QLatin1String("suggested_area")));
        } else {
            QCOMPARE(device.value(QLatin1String("suggested_area")).toString(), e.area);
            QCOMPARE(device.value(QLatin1String("via_device")).toString(),
                     QStringLiteral("verandix_panel"));
            QVERIFY(device.value(QLatin1String("identifiers"))
                        .toArray()
                        .first()
                        .toString()
                        .startsWith(QLatin1String("verandix_panel_room_")));
        }
        // The current key for the entity id, with the component's domain; not the old one.
        QVERIFY(!c.contains(QLatin1String("object_id")));
        const QString entityId = c.value(QLatin1String("default_entity_id")).toString();
        QVERIFY2(QRegularExpression(QStringLiteral("^") + e.component +
                                    QStringLiteral("\\.panel_[a-z0-9_]+$"))
                     .match(entityId)
                     .hasMatch(),
                 qPrintable(entityId));
        // Everything but the connection itself is unavailable while the controller is.
        const QJsonArray availability = c.value(QLatin1String("availability")).toArray();
        if (e.source == BridgeEntity::Source::Controller) {
            QVERIFY(availability.isEmpty());
        } else {
            QCOMPARE(availability.size(), 2);
            QCOMPARE(availability.at(1).toObject().value(QLatin1String("topic")).toString(),
                     QStringLiteral("verandix/panel/controller/availability"));
            QCOMPARE(c.value(QLatin1String("availability_mode")).toString(), QStringLiteral("all"));
        }
        if (e.component == QLatin1String("light")) {
            QCOMPARE(c.contains(QLatin1String("brightness_command_topic")), e.dimmer);
            // The panel's dimmer scale: its 100 % is the hub's 100 %.
            if (e.dimmer)
                QCOMPARE(c.value(QLatin1String("brightness_scale")).toInt(), 10);
        }
        if (e.component == QLatin1String("binary_sensor") &&
            e.uniqueId.startsWith(QLatin1String("motion")))
            QCOMPARE(c.value(QLatin1String("device_class")).toString(), QStringLiteral("motion"));
    }
}

void TestBridgeCatalog::idsSurviveReorderingAndEdits()
{
    TempFolder folder;
    QVERIFY(copyFixture(folder.path()));
    // Move the living room's first lamp after the others and rename the kitchen: the file
    // positions of everything after it change, what identifies it at the controller does not.
    const QString path = folder.filePath(QStringLiteral("light_config.xml"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    int chandelier = -1;
    int wall = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).contains("name=\"living_main\""))
            chandelier = i;
        if (lines.at(i).contains("name=\"living_wall\""))
            wall = i;
    }
    QVERIFY(chandelier >= 0 && wall > chandelier);
    lines.move(chandelier, wall);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(lines.join('\n'));
    file.close();

    RoomsV1 rooms;
    QVERIFY(rooms.load(folder.path(), kProjectFiles));
    BridgeCatalog moved;
    moved.build(rooms, m_settings);
    QCOMPARE(idsAndNames(moved), idsAndNames(m_catalog));
}

void TestBridgeCatalog::aCellOnTwoPlansIsOneEntity()
{
    // Two controls of the utilities plans show byte 1000.
    int shown = 0;
    for (const BridgeEntity &e : m_catalog.entities())
        shown += e.uniqueId == QLatin1String("value_1000") ? 1 : 0;
    QCOMPARE(shown, 1);
    // The home page polls each record once.
    QSet<QString> keys;
    for (const BridgeEntity &e : m_catalog.entities()) {
        if (e.index < 0)
            continue;
        QVERIFY(!keys.contains(QString::number(e.index)));
        keys.insert(QString::number(e.index));
    }
    QCOMPARE(keys.size(), m_catalog.homePage().controlCount());
}

void TestBridgeCatalog::settingsKeys_data()
{
    QTest::addColumn<QByteArray>("elements");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("discovery");
    QTest::addColumn<int>("pollMs");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("tls");
    QTest::addColumn<int>("budget");
    QTest::addColumn<bool>("usable");

    // clang-format off
    QTest::newRow("nothing set: off") << QByteArray() << false << 1883 << "verandix" << "homeassistant" << 2000 << "" << false << 20 << true;
    QTest::newRow("host only: defaults")
        << QByteArray(R"(<mqtt_host value="127.0.0.1"/>)") << true << 1883 << "verandix" << "homeassistant" << 2000 << "" << false << 20 << true;
    QTest::newRow("every key")
        << QByteArray(R"(<mqtt_host value="127.0.0.1"/><mqtt_port value="8883"/><mqtt_prefix value="house"/>)"
                      R"(<mqtt_discovery value=""/><mqtt_poll value="750"/><mqtt_user value="u"/>)"
                      R"(<mqtt_password value="pw"/><mqtt_tls_ca value="ca.pem"/><mqtt_command_budget value="7"/>)")
        << true << 8883 << "house" << "" << 750 << "pw" << true << 7 << true;
    QTest::newRow("password file, bad port, tiny period, bad budget")
        << QByteArray(R"(<mqtt_host value="127.0.0.1"/><mqtt_port value="99999"/>)"
                      R"(<mqtt_password_file value="secret.txt"/><mqtt_poll value="5"/><mqtt_command_budget value="-3"/>)")
        << true << 1883 << "verandix" << "homeassistant" << 100 << "from-file" << false << 20 << true;
    // Any TLS key turns TLS on; a certificate and its key come together or not at all.
    QTest::newRow("client certificate and key without a CA")
        << QByteArray(R"(<mqtt_host value="127.0.0.1"/><mqtt_tls_cert value="c.pem"/><mqtt_tls_key value="c.key"/>)")
        << true << 1883 << "verandix" << "homeassistant" << 2000 << "" << true << 20 << true;
    QTest::newRow("certificate without its key")
        << QByteArray(R"(<mqtt_host value="127.0.0.1"/><mqtt_tls_ca value="ca.pem"/><mqtt_tls_cert value="c.pem"/>)")
        << true << 1883 << "verandix" << "homeassistant" << 2000 << "" << true << 20 << false;
    QTest::newRow("key without its certificate")
        << QByteArray(R"(<mqtt_host value="127.0.0.1"/><mqtt_tls_key value="c.key"/>)")
        << true << 1883 << "verandix" << "homeassistant" << 2000 << "" << true << 20 << false;
    // clang-format on
}

void TestBridgeCatalog::settingsKeys()
{
    QFETCH(QByteArray, elements);
    TempFolder folder;
    QFile secret(folder.filePath(QStringLiteral("secret.txt")));
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.write("from-file\nsecond line\n");
    secret.close();
    QFile config(folder.filePath(QStringLiteral("config.xml")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<config version=\"2\">" + elements +
                 "</config>\n");
    config.close();
    EAppSettings settings;
    QVERIFY(settings.load(config.fileName()));
    const BridgeSettings s = BridgeSettings::fromSettings(settings, folder.path());
    QTEST(s.enabled(), "enabled");
    QTEST(s.port, "port");
    QTEST(s.prefix, "prefix");
    QTEST(s.discoveryPrefix, "discovery");
    QTEST(s.pollMs, "pollMs");
    QTEST(s.password, "password");
    QTEST(s.tls(), "tls");
    QTEST(s.commandBudget, "budget");
    QTEST(s.problem().isEmpty(), "usable");
    if (!s.tlsCa.isEmpty())
        QCOMPARE(s.tlsCa, folder.filePath(QStringLiteral("ca.pem")));
    if (!s.enabled())
        return;
    // A derived client id is stable for one folder and differs between folders.
    QVERIFY(!s.clientId.isEmpty());
    QCOMPARE(BridgeSettings::fromSettings(settings, folder.path()).clientId, s.clientId);
    QVERIFY(BridgeSettings::fromSettings(settings, QDir::tempPath()).clientId != s.clientId);
    QVERIFY(!s.node().contains(QLatin1Char('/')) && !s.node().contains(QLatin1Char('+')));
    // Reading the settings writes nothing into the folder (the client id suffix is made by
    // whoever starts a bridge).
    QVERIFY(!QFile::exists(folder.filePath(QLatin1String(BridgeSettings::kClientSuffixFile))));
}

QTEST_MAIN(TestBridgeCatalog)
#include "tst_bridgecatalog.moc"
