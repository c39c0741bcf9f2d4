// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The simulation logic driven in-process, with the model's own clock, so time-based behaviour is
// checked without waiting.
#include "homeconfig.h"
#include "homemodel.h"
#include "homesimconstants.h"
#include "scenario.h"
#include "scenarioevent.h"

#include <QtTest>

using namespace HomeSim;

namespace {

constexpr int kOffset = 0x1F4;
constexpr qint64 kStartEpoch = 1700000000;

struct Sim
{
    HomeConfig config;
    QScopedPointer<HomeModel> model;
    QStringList log;
    qint64 now = 0;

    explicit Sim(HomeModel::Options options = HomeModel::Options())
    {
        const QString folder = QFINDTESTDATA("data/config");
        if (!config.load(folder))
            qWarning("fixture configuration missing");
        options.registerOffset = kOffset;
        options.startEpoch = kStartEpoch;
        model.reset(new HomeModel(config, options));
        model->setLogger([this](const QString &line) { log.append(line); });
    }

    // Writes bytes at a byte address of the image through the same path as function 16.
    bool writeBytes(int address, const QByteArray &bytes)
    {
        const int first = address / 2;
        const int last = (address + bytes.size() - 1) / 2;
        QVector<quint16> values;
        for (int w = first; w <= last; ++w) {
            quint16 v = model->word(w);
            for (int half = 0; half < 2; ++half) {
                const int k = 2 * w + half - address;
                if (k >= 0 && k < bytes.size())
                    v = half ? quint16((v & 0x00FF) | quint8(bytes.at(k)) << 8)
                             : quint16((v & 0xFF00) | quint8(bytes.at(k)));
            }
            values.append(v);
        }
        return model->writeRegisters(kOffset + first, values);
    }
    bool writeByte(int address, int value)
    {
        return writeBytes(address, QByteArray(1, char(value)));
    }
    void writeDword(int address, quint32 v)
    {
        QByteArray b;
        for (int i = 0; i < 4; ++i)
            b.append(char(v >> (8 * i)));
        writeBytes(address, b);
    }
    void setLamp(int lamp, const QByteArray &record)
    {
        writeBytes(HomeModel::lampAddress(lamp), record);
    }
    quint8 lamp(int lamp, int k = 0) const { return model->byte(HomeModel::lampAddress(lamp) + k); }
    void advance(qint64 ms)
    {
        now += ms;
        model->advanceTo(now);
    }
    void event(const QString &line)
    {
        ScenarioEvent e;
        QString error;
        QVERIFY2(ScenarioEvent::parse(line, &e, &error), qPrintable(error));
        QVERIFY2(model->applyEvent(e, &error), qPrintable(error));
    }
};

QByteArray lampRecord(quint8 b0, quint8 sw1 = 0, quint8 sensor = 0, quint8 room = 0,
                      quint8 sceneSwitch = 0, quint8 scene = 0)
{
    const char bytes[8] = {char(b0),   char(sw1),         0,          0, char(sensor),
                           char(room), char(sceneSwitch), char(scene)};
    return QByteArray(bytes, 8);
}

} // namespace

class tst_HomeModel : public QObject
{
    Q_OBJECT

private slots:
    void configurationIsRead();
    void outOfRangeNumbersAreSkipped();
    void startState();
    void lightCommands_data();
    void lightCommands();
    void scenesSavedAndRecalled_data();
    void scenesSavedAndRecalled();
    void switchPress_data();
    void switchPress();
    void motion_data();
    void motion();
    void thermostatFollowsSetPoint();
    void keypad_data();
    void keypad();
    void intrusionAlarmMessage_data();
    void intrusionAlarmMessage();
    void clockContinuesFromSynchronisation();
    void writeAlarm_data();
    void writeAlarm();
    void alarmsAndSound();
    void messagesTakeTurns();
    void parametersMoveWithinRange();
    void codeIsNotLeftInMemory();
    void scenarioLines_data();
    void scenarioLines();
    void scenarioTimeline();
    void sceneTextsInTheConfiguredEncoding_data();
    void sceneTextsInTheConfiguredEncoding();
};

void tst_HomeModel::configurationIsRead()
{
    Sim sim;
    QCOMPARE(sim.config.lamps, QList<int>({1, 2, 3})); // multi.xml is not a project file
    QCOMPARE(sim.config.thermostats, QList<int>({1, 2}));
    QCOMPARE(sim.config.switches, QList<int>({3, 4}));
    QCOMPARE(sim.config.sensors, QList<int>({2}));
    QVERIFY(sim.config.hasOffset);
    QCOMPARE(sim.config.registerOffset, 0x1F4);
    QCOMPARE(sim.config.messageText(7), QStringLiteral("Door open"));
    QCOMPARE(sim.config.messageText(44), QStringLiteral("Smoke in the hall")); // id kept in 8 bits
    QCOMPARE(sim.config.secureText(4), QStringLiteral("Wrong pass!"));

    HomeConfig missing;
    QString error;
    QVERIFY(!missing.load(QDir::tempPath() + QStringLiteral("/no-such-homesim-config"), &error));
    QVERIFY(!error.isEmpty());
}

void tst_HomeModel::outOfRangeNumbersAreSkipped()
{
    HomeConfig config;
    QVERIFY(config.load(QFINDTESTDATA("data/badnumbers")));
    QVERIFY(!config.hasOffset);
    // "x" reads as 0, as the panel reads it.
    QCOMPARE(config.lamps, QList<int>({-3, 0, 4, 2147483647}));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("lamp -3 ")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("lamp 2147483647 ")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("thermostat 99999999 ")));
    HomeModel model(config, HomeModel::Options());
    QCOMPARE(model.lamps(), QList<int>({0, 4}));
    QVERIFY(model.thermostats().isEmpty());
}

void tst_HomeModel::startState()
{
    Sim sim;
    QCOMPARE(sim.model->registerOffset(), kOffset);
    QCOMPARE(sim.model->registerCount(), kRegisterCount - kOffset);
    QCOMPARE(sim.model->byte(kStatusAlarmCount), kNoAlarms);
    QCOMPARE(int(sim.model->byte(kStatusSecurityState)), Security::Disarmed);
    QCOMPARE(sim.model->dword(kStatusControllerTime), quint32(kStartEpoch));
    for (int t : sim.model->thermostats()) {
        QCOMPARE(int(sim.model->byte(HomeModel::thermostatAddress(t) + 1)), 105);
        QVERIFY(sim.model->byte(HomeModel::thermostatAddress(t)) > 0);
    }
}

void tst_HomeModel::lightCommands_data()
{
    QTest::addColumn<QByteArray>("command");  // bytes 0..3 of words 8-9
    QTest::addColumn<QByteArray>("expected"); // lamp byte 0 of lamps 1, 2, 3 afterwards

    // Lamps 1 and 2 are in room 5, lamp 3 in room 6; lamp 1 starts on at brightness 2.
    // clang-format off
    QTest::newRow("all on")          << QByteArray::fromHex("64000000") << QByteArray::fromHex("212101");
    QTest::newRow("all off")         << QByteArray::fromHex("65000000") << QByteArray::fromHex("202000");
    // The default scenes keep to the panel's dimmer scale 0..10: "bright" is its 100 %.
    QTest::newRow("global scene 1")  << QByteArray::fromHex("01000000") << QByteArray::fromHex("a1a1a1");
    QTest::newRow("global scene 2")  << QByteArray::fromHex("02000000") << QByteArray::fromHex("515151");
    QTest::newRow("global scene 3")  << QByteArray::fromHex("03000000") << QByteArray::fromHex("313131");
    QTest::newRow("global scene 4")  << QByteArray::fromHex("04000000") << QByteArray::fromHex("000000");
    QTest::newRow("room 5 on")       << QByteArray::fromHex("00006405") << QByteArray::fromHex("212100");
    QTest::newRow("room 6 on")       << QByteArray::fromHex("00006406") << QByteArray::fromHex("212001");
    QTest::newRow("room 5 off")      << QByteArray::fromHex("00006505") << QByteArray::fromHex("202000");
    QTest::newRow("room 5 scene 1")  << QByteArray::fromHex("00000105") << QByteArray::fromHex("a1a100");
    QTest::newRow("room 5 scene 2")  << QByteArray::fromHex("00000205") << QByteArray::fromHex("515100");
    QTest::newRow("unknown room")    << QByteArray::fromHex("00006409") << QByteArray::fromHex("212000");
    QTest::newRow("unknown command") << QByteArray::fromHex("07000000") << QByteArray::fromHex("212000");
    // clang-format on
}

void tst_HomeModel::lightCommands()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, expected);
    Sim sim;
    sim.setLamp(1, lampRecord(0x21, 0, 0, 5));
    sim.setLamp(2, lampRecord(0x20, 0, 0, 5));
    sim.setLamp(3, lampRecord(0x00, 0, 0, 6));
    sim.writeBytes(2 * kLightCommandWord, command);
    for (int lamp = 1; lamp <= 3; ++lamp)
        QCOMPARE(sim.lamp(lamp), quint8(expected.at(lamp - 1)));
    // The command is acknowledged by clearing it, and the records keep their bindings.
    QCOMPARE(sim.model->dword(2 * kLightCommandWord), 0u);
    QCOMPARE(int(sim.lamp(3, kLampRoom)), 6);
}

void tst_HomeModel::scenesSavedAndRecalled_data()
{
    QTest::addColumn<QByteArray>("save");
    QTest::addColumn<QByteArray>("recall");
    QTest::addColumn<bool>("roomOnly"); // only the lamps of room 5 are saved and recalled

    // The panel saves a global scene together with a miniscene: byte 1 names the global scene.
    QTest::newRow("global scene 3")
        << QByteArray::fromHex("00030000") << QByteArray::fromHex("03000000") << false;
    QTest::newRow("global with miniscene")
        << QByteArray::fromHex("00021605") << QByteArray::fromHex("02000000") << false;
    QTest::newRow("miniscene 2 of room 5")
        << QByteArray::fromHex("00001605") << QByteArray::fromHex("00000205") << true;
    QTest::newRow("miniscene 4 of room 5")
        << QByteArray::fromHex("00001805") << QByteArray::fromHex("00000405") << true;
}

void tst_HomeModel::scenesSavedAndRecalled()
{
    QFETCH(QByteArray, save);
    QFETCH(QByteArray, recall);
    QFETCH(bool, roomOnly);
    Sim sim;
    sim.setLamp(1, lampRecord(0x71, 3, 0, 5));
    sim.setLamp(2, lampRecord(0x00, 3, 0, 5));
    sim.setLamp(3, lampRecord(0xA1, 4, 0, 6));
    sim.writeBytes(2 * kLightCommandWord, save);
    QCOMPARE(sim.model->dword(2 * kLightCommandWord), 0u);

    // Change everything, keeping the sensor flag of lamp 1 that a scene must not touch.
    sim.setLamp(1, lampRecord(0x02, 3, 0, 5));
    sim.setLamp(2, lampRecord(0xF1, 3, 0, 5));
    sim.setLamp(3, lampRecord(0x30, 4, 0, 6));
    sim.writeBytes(2 * kLightCommandWord, recall);
    QCOMPARE(int(sim.lamp(1)), 0x73);
    QCOMPARE(int(sim.lamp(2)), 0x00);
    QCOMPARE(int(sim.lamp(3)), roomOnly ? 0x30 : 0xA1);
    QCOMPARE(int(sim.lamp(1, 1)), 3);
}

void tst_HomeModel::switchPress_data()
{
    QTest::addColumn<QByteArray>("lamps"); // byte 0 of lamps 1, 2, 3 before
    QTest::addColumn<QString>("event");
    QTest::addColumn<QByteArray>("expected");

    // Lamps 1 and 2 are bound to switch 3, lamp 3 to switch 4; switch 7 is lamp 3's scene switch
    // for miniscene 1 of room 6.
    QTest::newRow("one of two on: both off")
        << QByteArray::fromHex("010000") << "switch 3" << QByteArray::fromHex("000000");
    QTest::newRow("both off: both on")
        << QByteArray::fromHex("000000") << "switch 3" << QByteArray::fromHex("010100");
    QTest::newRow("keeps brightness")
        << QByteArray::fromHex("510000") << "switch 3" << QByteArray::fromHex("500000");
    QTest::newRow("other switch") << QByteArray::fromHex("000000") << "switch 4"
                                  << QByteArray::fromHex("000001");
    QTest::newRow("scene switch") << QByteArray::fromHex("000000") << "switch 7"
                                  << QByteArray::fromHex("0000a1");
    QTest::newRow("unbound switch")
        << QByteArray::fromHex("010000") << "switch 9" << QByteArray::fromHex("010000");
}

void tst_HomeModel::switchPress()
{
    QFETCH(QByteArray, lamps);
    QFETCH(QString, event);
    QFETCH(QByteArray, expected);
    Sim sim;
    sim.setLamp(1, lampRecord(quint8(lamps.at(0)), 3, 0, 5));
    sim.setLamp(2, lampRecord(quint8(lamps.at(1)), 3, 0, 5));
    sim.setLamp(3, lampRecord(quint8(lamps.at(2)), 4, 0, 6, 7, 1));
    sim.event(event);
    for (int lamp = 1; lamp <= 3; ++lamp)
        QCOMPARE(sim.lamp(lamp), quint8(expected.at(lamp - 1)));
}

void tst_HomeModel::motion_data()
{
    QTest::addColumn<bool>("sensorFlag");
    QTest::addColumn<int>("sensor");
    QTest::addColumn<bool>("onAfterMotion");
    QTest::addColumn<bool>("secondMotionAt40s"); // extends the hold

    QTest::newRow("under sensor control") << true << 2 << true << false;
    QTest::newRow("hold extended") << true << 2 << true << true;
    QTest::newRow("sensor control off") << false << 2 << false << false;
    QTest::newRow("other sensor") << true << 5 << false << false;
}

void tst_HomeModel::motion()
{
    QFETCH(bool, sensorFlag);
    QFETCH(int, sensor);
    QFETCH(bool, onAfterMotion);
    QFETCH(bool, secondMotionAt40s);
    HomeModel::Options options;
    options.motionHoldMs = 60000;
    options.speed = 10; // the hold counts in simulated time
    Sim sim(options);
    sim.setLamp(1, lampRecord(sensorFlag ? kLampSensorBit : 0, 0, 2, 5));
    sim.event(QStringLiteral("motion %1").arg(sensor));
    QCOMPARE(bool(sim.lamp(1) & kLampOnBit), onAfterMotion);
    QCOMPARE(bool(sim.lamp(1) & kLampSensorBit), sensorFlag);
    sim.advance(4000); // 40 simulated seconds
    QCOMPARE(bool(sim.lamp(1) & kLampOnBit), onAfterMotion);
    if (secondMotionAt40s)
        sim.event(QStringLiteral("motion %1").arg(sensor));
    sim.advance(2100); // 61 s after the first motion
    QCOMPARE(bool(sim.lamp(1) & kLampOnBit), secondMotionAt40s);
    sim.advance(4000); // 101 s: past any hold
    QVERIFY(!(sim.lamp(1) & kLampOnBit));
    QCOMPARE(bool(sim.lamp(1) & kLampSensorBit), sensorFlag);
}

void tst_HomeModel::thermostatFollowsSetPoint()
{
    Sim sim;
    const int a = HomeModel::thermostatAddress(1);
    const double start = sim.model->temperature(1);
    QVERIFY(start < 21.0);
    sim.writeByte(a + 1, 115); // 23 degrees
    sim.advance(60000);
    QCOMPARE(int(sim.model->byte(a + 3)), 100); // far below: full heating
    QVERIFY(sim.model->temperature(1) > start);

    // A read-modify-write of the panel carrying stale measurements must not stick.
    QByteArray stale = QByteArray::fromHex("00730000");
    sim.writeBytes(a, stale);
    QCOMPARE(int(sim.model->byte(a)), qRound(sim.model->temperature(1) / 0.2));
    QCOMPARE(int(sim.model->byte(a + 3)), 100);

    sim.advance(3600 * 1000);
    QVERIFY(qAbs(sim.model->temperature(1) - 23.0) <= 0.2);
    QVERIFY(sim.model->byte(a + 3) > 0 && sim.model->byte(a + 3) < 100);
    QVERIFY(qAbs(int(sim.model->byte(a)) - 115) <= 1);

    // Heating off lets the house cool down; the other thermostat follows its own set-point.
    sim.writeByte(2 * kHeatCommandWord, kCommandAllOff);
    QCOMPARE(int(sim.model->byte(2 * kHeatCommandWord)), 0);
    QCOMPARE(int(sim.model->byte(a + 3)), 0);
    sim.advance(600 * 1000);
    QVERIFY(sim.model->temperature(1) < 22.5);

    // Heating scenes: saved set-points come back, unsaved ones are the defaults.
    sim.writeByte(2 * kHeatCommandWord, kCommandAllOn);
    sim.writeByte(a + 1, 100);
    sim.writeByte(2 * kHeatCommandWord, kCommandSaveSceneBase + 2);
    sim.writeByte(a + 1, 80);
    sim.writeByte(2 * kHeatCommandWord, 2);
    QCOMPARE(int(sim.model->byte(a + 1)), 100);
    sim.writeByte(2 * kHeatCommandWord, 4);
    QCOMPARE(int(sim.model->byte(a + 1)), 60);
}

void tst_HomeModel::keypad_data()
{
    QTest::addColumn<QStringList>("steps"); // "code N", "wait MS" (simulated), "intrusion"
    QTest::addColumn<QList<int>>("states"); // security state after each step

    using S = QStringList;
    using L = QList<int>;
    QTest::newRow("arm with countdown") << S{"code 1234", "wait 9000", "wait 1000"} << L{6, 6, 2};
    QTest::newRow("cancel countdown") << S{"code 1234", "code 1234", "wait 20000"} << L{6, 1, 1};
    QTest::newRow("wrong code shown briefly") << S{"code 1111", "wait 2000"} << L{4, 1};
    QTest::newRow("disarm") << S{"code 1234", "wait 10000", "code 1234", "wait 2000"}
                            << L{6, 2, 11, 1};
    QTest::newRow("wrong code keeps armed")
        << S{"code 1234", "wait 10000", "code 4321", "wait 2000"} << L{6, 2, 4, 2};
    QTest::newRow("intrusion then alarm")
        << S{"code 1234", "wait 10000", "intrusion", "wait 10000", "code 1234", "wait 2000"}
        << L{6, 2, 3, 5, 11, 1};
    QTest::newRow("intrusion disarmed in time")
        << S{"code 1234", "wait 10000", "intrusion", "wait 5000", "code 1234", "wait 10000"}
        << L{6, 2, 3, 3, 11, 1};
    QTest::newRow("intrusion while disarmed") << S{"intrusion"} << L{1};
    QTest::newRow("code change") << S{"code 0",    "code 1234", "code 777", "code 777",
                                      "wait 2000", "code 1234", "code 777"}
                                 << L{12, 13, 14, 15, 1, 4, 6};
    QTest::newRow("code change wrong old code")
        << S{"code 0", "code 1", "wait 2000", "code 1234"} << L{12, 4, 1, 6};
    QTest::newRow("code change mismatch")
        << S{"code 0", "code 1234", "code 777", "code 778", "wait 2000", "code 1234"}
        << L{12, 13, 14, 4, 1, 6};
    QTest::newRow("code change cancelled") << S{"code 0", "code 1234", "code 0"} << L{12, 13, 1};
}

void tst_HomeModel::keypad()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<int>, states);
    QCOMPARE(steps.size(), states.size());
    HomeModel::Options options;
    options.armDelayMs = 10000;
    options.noticeMs = 2000;
    Sim sim(options);
    for (int i = 0; i < steps.size(); ++i) {
        const QStringList step = steps.at(i).split(QLatin1Char(' '));
        if (step.first() == QLatin1String("code"))
            sim.writeDword(2 * kPasswordWord, step.at(1).toUInt());
        else if (step.first() == QLatin1String("wait"))
            sim.advance(step.at(1).toInt());
        else
            sim.event(step.first());
        QVERIFY2(sim.model->byte(kStatusSecurityState) == states.at(i),
                 qPrintable(QStringLiteral("step %1 (%2): state %3, expected %4")
                                .arg(i)
                                .arg(steps.at(i))
                                .arg(sim.model->byte(kStatusSecurityState))
                                .arg(states.at(i))));
    }
}

void tst_HomeModel::intrusionAlarmMessage_data()
{
    QTest::addColumn<QString>("extraSettings");
    QTest::addColumn<QStringList>("steps"); // "code N", "wait MS" (simulated), "intrusion"
    QTest::addColumn<int>("message");       // the alarm message expected up at the end, or 0
    QTest::addColumn<int>("sound");

    const QString named = QStringLiteral(" <intrusion_message value=\"9\"/>\n"
                                         " <intrusion_sound value=\"2\"/>\n");
    using S = QStringList;
    const S alarm{"code 1234", "wait 10000", "intrusion", "wait 10000"};
    QTest::newRow("alarm raises the armed message") << "" << alarm << 11 << 1;
    QTest::newRow("named message and sound") << named << alarm << 9 << 2;
    QTest::newRow("entry delay not over")
        << "" << S{"code 1234", "wait 10000", "intrusion"} << 0 << 0;
    QTest::newRow("disarmed in time")
        << "" << S{"code 1234", "wait 10000", "intrusion", "wait 5000", "code 1234", "wait 10000"}
        << 0 << 0;
    QTest::newRow("disarming ends the alarm") << "" << (alarm + S{"code 1234"}) << 0 << 1;
    QTest::newRow("intrusion while disarmed") << "" << S{"intrusion", "wait 20000"} << 0 << 0;
}

void tst_HomeModel::intrusionAlarmMessage()
{
    QFETCH(QString, extraSettings);
    QFETCH(QStringList, steps);
    QFETCH(int, message);
    QFETCH(int, sound);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("config.xml")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<?xml version='1.0' encoding='UTF-8'?>\n<config version=\"2\">\n"
               " <message id=\"1\" textB=\"Water leak\" minimum=\"0\" maximum=\"1\"/>\n"
               " <message id=\"9\" textB=\"Gate open\" minimum=\"0\" maximum=\"1\"/>\n"
               " <message id=\"11\" textB=\"Motion in the hall while armed\"/>\n"
               " <sound fileName=\"chime.wav\" value=\"2\"/>\n"
               " <sound fileName=\"alarm.wav\" value=\"1\"/>\n");
    file.write(extraSettings.toUtf8());
    file.write("</config>\n");
    file.close();
    HomeConfig config;
    QVERIFY(config.load(dir.path()));
    HomeModel::Options options;
    options.armDelayMs = 10000;
    options.noticeMs = 2000;
    HomeModel model(config, options);
    qint64 now = 0;
    for (const QString &line : steps) {
        const QStringList step = line.split(QLatin1Char(' '));
        if (step.first() == QLatin1String("code")) {
            QVector<quint16> words;
            const quint32 code = step.at(1).toUInt();
            words << quint16(code & 0xFFFF) << quint16(code >> 16);
            QVERIFY(model.writeRegisters(kPasswordWord, words));
        } else if (step.first() == QLatin1String("wait")) {
            now += step.at(1).toInt();
            model.advanceTo(now);
        } else {
            ScenarioEvent e;
            QString error;
            QVERIFY2(ScenarioEvent::parse(step.first(), &e, &error), qPrintable(error));
            QVERIFY2(model.applyEvent(e, &error), qPrintable(error));
        }
    }
    // What the panel reads: the alarm count, and the message of the alarm as the current one.
    QCOMPARE(int(model.byte(kStatusAlarmCount)), message ? 1 : int(kNoAlarms));
    if (message) {
        QCOMPARE(int(model.byte(kStatusMessageId)), message);
        QCOMPARE(int(model.byte(kStatusMessageState)), kMessageActive | kMessageAlarm);
    }
    QCOMPARE(int(model.byte(kStatusSoundNumber)), sound);
}

void tst_HomeModel::clockContinuesFromSynchronisation()
{
    Sim sim;
    sim.advance(2500);
    QCOMPARE(sim.model->dword(kStatusControllerTime), quint32(kStartEpoch + 2));
    sim.writeDword(kStatusControllerTime, 1000000000u);
    QCOMPARE(sim.model->dword(kStatusControllerTime), 1000000000u);
    sim.advance(999);
    QCOMPARE(sim.model->dword(kStatusControllerTime), 1000000000u);
    sim.advance(1);
    QCOMPARE(sim.model->dword(kStatusControllerTime), 1000000001u);
    sim.advance(60000);
    QCOMPARE(sim.model->dword(kStatusControllerTime), 1000000061u);
}

void tst_HomeModel::writeAlarm_data()
{
    QTest::addColumn<QString>("raise");
    QTest::addColumn<int>("smsSirenBefore"); // bits 4 and 5 set by an earlier WriteAlarm
    QTest::addColumn<int>("written");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("alarmCount");

    // SMS was on when the alarm came again: the controller reports the owner notified (bit 7).
    QTest::newRow("sms off") << "alarm on 7" << 0x30 << 0x2C << 0xAC << 1;
    QTest::newRow("siren on") << "alarm on 7" << 0x00 << 0x2C << 0x2C << 1;
    QTest::newRow("acknowledge") << "alarm on 7" << 0x30 << 0x38 << 0xB8 << 0xFF;
    QTest::newRow("cannot activate") << "alarm off 7" << 0x00 << 0x0C << 0x08 << 0xFF;
    QTest::newRow("message is no alarm") << "message on 7" << 0x00 << 0x14 << 0x14 << 0xFF;
    QTest::newRow("type bit is the controller's") << "message on 7" << 0x00 << 0x0C << 0x04 << 0xFF;
}

void tst_HomeModel::writeAlarm()
{
    QFETCH(QString, raise);
    QFETCH(int, smsSirenBefore);
    QFETCH(int, written);
    QFETCH(int, expected);
    QFETCH(int, alarmCount);
    Sim sim;
    sim.event(QStringLiteral("alarm on 7"));
    sim.writeBytes(2 * kAlarmWord, QByteArray::fromHex("07") + char(0x0C | smsSirenBefore));
    sim.event(raise);
    sim.writeBytes(2 * kAlarmWord, QByteArray(1, 7) + char(written));
    QCOMPARE(int(sim.model->byte(kStatusMessageId)), 7);
    QCOMPARE(int(sim.model->byte(kStatusMessageState)), expected);
    QCOMPARE(int(sim.model->byte(kStatusAlarmCount)), alarmCount);
    QCOMPARE(int(sim.model->word(kAlarmWord)), 0);
}

void tst_HomeModel::alarmsAndSound()
{
    Sim sim;
    sim.advance(5000);
    sim.event(QStringLiteral("alarm on 1 51 3"));
    QCOMPARE(int(sim.model->byte(kStatusAlarmCount)), 1);
    QCOMPARE(int(sim.model->byte(kStatusMessageId)), 1);
    QCOMPARE(int(sim.model->byte(kStatusMessageState)), kMessageActive | kMessageAlarm);
    QCOMPARE(int(sim.model->byte(kStatusMessageData)), 51);
    QCOMPARE(sim.model->dword(kStatusMessageValue), quint32(kStartEpoch + 5));
    QCOMPARE(int(sim.model->byte(kStatusSoundNumber)), 3);

    // The panel reports the sound playing, then finished: the request is withdrawn.
    sim.writeBytes(2 * kSoundWord, QByteArray::fromHex("0301"));
    QCOMPARE(int(sim.model->byte(kStatusSoundNumber)), 3);
    QCOMPARE(int(sim.model->byte(kStatusSoundState)), kSoundStarted);
    sim.writeBytes(2 * kSoundWord, QByteArray::fromHex("0302"));
    QCOMPARE(int(sim.model->byte(kStatusSoundNumber)), 0);
    QCOMPARE(int(sim.model->byte(kStatusSoundState)), kSoundStopped);

    sim.event(QStringLiteral("alarm on 7"));
    QCOMPARE(int(sim.model->byte(kStatusAlarmCount)), 2);
    sim.event(QStringLiteral("alarm off 1"));
    sim.event(QStringLiteral("alarm off 7"));
    QCOMPARE(int(sim.model->byte(kStatusAlarmCount)), int(kNoAlarms));
    QCOMPARE(int(sim.model->byte(kStatusMessageState)), int(kMessageAlarm));

    // A state written for a message never reported invents nothing.
    sim.writeBytes(2 * kAlarmWord, QByteArray::fromHex("0934"));
    QCOMPARE(int(sim.model->byte(kStatusMessageId)), 7);
    QCOMPARE(int(sim.model->word(kAlarmWord)), 0);
    for (int i = 0; i < 4; ++i) {
        sim.advance(1000);
        QVERIFY(sim.model->byte(kStatusMessageId) != 9);
    }
}

void tst_HomeModel::messagesTakeTurns()
{
    Sim sim;
    sim.event(QStringLiteral("message on 1 10"));
    sim.event(QStringLiteral("alarm on 7 20"));
    QSet<int> seen;
    for (int i = 0; i < 4; ++i) {
        sim.advance(1000);
        const int id = sim.model->byte(kStatusMessageId);
        seen.insert(id);
        QCOMPARE(int(sim.model->byte(kStatusMessageData)), id == 1 ? 10 : 20);
    }
    QCOMPARE(seen, QSet<int>({1, 7}));
}

void tst_HomeModel::parametersMoveWithinRange()
{
    Sim sim;
    QByteArray first;
    for (int i = 0; i < kParameterCount; ++i)
        first.append(char(sim.model->byte(kStatusParameters + i)));
    QSet<int> temperatures;
    for (int s = 0; s < 120; ++s) {
        sim.advance(1000);
        const double outdoor = -40 + sim.model->byte(kStatusParameters) / 255.0 * 100;
        const double voltage = sim.model->byte(kStatusParameters + 2) / 255.0 * 300;
        QVERIFY2(outdoor > -5 && outdoor < 15, qPrintable(QString::number(outdoor)));
        QVERIFY2(voltage > 215 && voltage < 245, qPrintable(QString::number(voltage)));
        temperatures.insert(sim.model->byte(kStatusParameters));
    }
    QVERIFY(temperatures.size() > 2);

    sim.event(QStringLiteral("set param 2 75"));
    QCOMPARE(int(sim.model->byte(kStatusParameters + 1)), qRound(0.75 * 255));
    sim.advance(5000);
    QCOMPARE(int(sim.model->byte(kStatusParameters + 1)), qRound(0.75 * 255));
}

void tst_HomeModel::codeIsNotLeftInMemory()
{
    Sim sim;
    sim.writeDword(2 * kPasswordWord, 1234);
    QCOMPARE(sim.model->dword(2 * kPasswordWord), 0u);
    // Other memory keeps what was written, and a set byte runs a command like a write does.
    sim.writeBytes(1848, QByteArray("text", 4));
    QCOMPARE(sim.model->byte(1849), quint8('e'));
    sim.setLamp(2, lampRecord(0x00, 0, 0, 5));
    sim.event(QStringLiteral("set byte 16 100"));
    QCOMPARE(int(sim.lamp(2)), 1);
    QCOMPARE(int(sim.model->byte(16)), 0);
}

void tst_HomeModel::scenarioLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("timing");
    QTest::addColumn<qint64>("timeMs");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("value");

    using T = ScenarioEvent::Type;
    using M = ScenarioEvent::Timing;
    auto row = [](const char *name, const char *line, bool valid, T type = T::None,
                  M timing = M::Immediate, qint64 time = 0, int number = 0, int value = 0) {
        QTest::newRow(name) << QString::fromLatin1(line) << valid << int(type) << int(timing)
                            << time << number << value;
    };
    row("comment", "# hello", true);
    row("empty", "   ", true);
    row("trailing comment", "0 set byte 301 108  # living room 21.6 C", true, T::SetByte,
        M::Absolute, 0, 301, 108);
    row("switch", "switch 3", true, T::Switch, M::Immediate, 0, 3);
    row("timed motion", "2.5 motion 7", true, T::Motion, M::Absolute, 2500, 7);
    row("relative", "+0.25 switch 0x10", true, T::Switch, M::Relative, 250, 16);
    row("alarm with sound", "1 alarm on 7 51 3", true, T::AlarmOn, M::Absolute, 1000, 7, 51);
    row("message off", "message off 2", true, T::MessageOff, M::Immediate, 0, 2);
    row("set byte", "set byte 1849 255", true, T::SetByte, M::Immediate, 0, 1849, 255);
    row("set word", "set word 20 0xFFFF", true, T::SetWord, M::Immediate, 0, 20, 65535);
    row("disconnect", "10 disconnect 1.5", true, T::Disconnect, M::Absolute, 10000, 0, 1500);
    row("silence", "silence 3", true, T::Silence, M::Immediate, 0, 0, 3000);
    row("param auto", "set param 16 auto", true, T::ParameterAuto, M::Immediate, 0, 16);
    row("switch 0", "switch 0", false);
    row("switch 256", "switch 256", false);
    row("byte too big", "set byte 10 256", false);
    row("negative time", "-1 switch 3", false);
    row("time only", "5", false);
    row("unknown event", "dance 3", false);
    row("extra argument", "motion 3 4", false);
    row("param 17", "set param 17 3", false);
    row("endless silence", "silence 1e9", false);
    row("not a number", "alarm on seven", false);
}

void tst_HomeModel::scenarioLines()
{
    QFETCH(QString, line);
    QFETCH(bool, valid);
    ScenarioEvent e;
    QString error;
    QCOMPARE(ScenarioEvent::parse(line, &e, &error), valid);
    if (!valid) {
        QVERIFY(!error.isEmpty());
        QCOMPARE(int(e.type), int(ScenarioEvent::Type::None));
        return;
    }
    QTEST(int(e.type), "type");
    QTEST(int(e.timing), "timing");
    QTEST(e.timeMs, "timeMs");
    QTEST(e.number, "number");
    QTEST(e.value, "value");
}

void tst_HomeModel::scenarioTimeline()
{
    Scenario scenario;
    QString error;
    QVERIFY(!scenario.loadLines({"1 switch 3", "bogus"}, &error, "x.txt"));
    QCOMPARE(error.left(6), QStringLiteral("x.txt:"));
    QVERIFY(error.contains(QLatin1String(":2:")));

    QVERIFY2(scenario.loadLines({"# demo", "1 switch 3", "+1 switch 4", "0.5 motion 2", "3 repeat"},
                                &error),
             qPrintable(error));
    auto types = [](const QList<ScenarioEvent> &events) {
        QList<int> numbers;
        for (const ScenarioEvent &e : events)
            numbers.append(e.number);
        return numbers;
    };
    QCOMPARE(types(scenario.takeDue(400)), QList<int>());
    QCOMPARE(scenario.msUntilNext(400), qint64(100));
    QCOMPARE(types(scenario.takeDue(1000)), QList<int>({2, 3}));
    QCOMPARE(types(scenario.takeDue(2000)), QList<int>({4}));
    QCOMPARE(types(scenario.takeDue(2999)), QList<int>());
    // "repeat" at 3 s starts over: motion again at 3.5 s.
    QCOMPARE(types(scenario.takeDue(3000)), QList<int>());
    QCOMPARE(types(scenario.takeDue(3500)), QList<int>({2}));

    // The scenario shipped for the demo stays loadable.
    const QString demo = QFINDTESTDATA("../../tools/homesim/scenarios/demo.scn");
    QVERIFY(!demo.isEmpty());
    QVERIFY2(scenario.loadFile(demo, &error), qPrintable(error));
    QVERIFY(!scenario.isEmpty());
    // So does the timeline that comes with the demo configuration, when it is there.
    const QString configured = QFINDTESTDATA("../../resources/demo/demo.scenario");
    if (!configured.isEmpty())
        QVERIFY2(scenario.loadFile(configured, &error), qPrintable(error));
}

void tst_HomeModel::sceneTextsInTheConfiguredEncoding_data()
{
    QTest::addColumn<QByteArray>("codec");
    QTest::addColumn<QByteArray>("written");
    // "Ужин" as a panel of that configuration writes it.
    QTest::newRow("default") << QByteArray() << QByteArray::fromHex("d3e6e8ed00");
    QTest::newRow("Windows-1251") << QByteArray("Windows-1251")
                                  << QByteArray::fromHex("d3e6e8ed00");
    QTest::newRow("KOI8-R") << QByteArray("KOI8-R") << QByteArray::fromHex("f5d6c9ce00");
}

// The simulator reads texts in controller memory as the panel writes them: the scene name the
// panel saved shows in its log as the person typed it.
void tst_HomeModel::sceneTextsInTheConfiguredEncoding()
{
    QFETCH(QByteArray, codec);
    QFETCH(QByteArray, written);
    Sim sim;
    if (!codec.isEmpty())
        sim.config.controllerCodec = codec;
    HomeModel::Options options;
    options.registerOffset = kOffset;
    options.startEpoch = kStartEpoch;
    sim.model.reset(new HomeModel(sim.config, options));
    sim.model->setLogger([&sim](const QString &line) { sim.log.append(line); });
    const int address =
        2 * (ControllerMap::kSceneAreaWord + ControllerMap::kSceneTextWordStride * 2);
    QVERIFY(sim.writeBytes(address, written + QByteArray(3, '\0')));
    QVERIFY2(sim.log.contains(QStringLiteral("scenes: text 2 := \"Ужин\"")),
             qPrintable(sim.log.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(tst_HomeModel)
#include "tst_homemodel.moc"
