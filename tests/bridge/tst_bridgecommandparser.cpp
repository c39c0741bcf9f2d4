// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bridgecommandparser.h"
#include "bridgecommandthrottle.h"
#include "bridgerefusallog.h"

#include <QtTest>

using Action = BridgeCommand::Action;
using Component = BridgeCommandTarget::Component;
Q_DECLARE_METATYPE(BridgeCommand::Action)
Q_DECLARE_METATYPE(BridgeCommandTarget::Component)

namespace {

BridgeCommandTarget target(Component c)
{
    BridgeCommandTarget t;
    t.component = c;
    if (c == Component::Climate) {
        t.minimum = 5;
        t.maximum = 35;
        t.step = 0.2;
    } else if (c == Component::Number) {
        t.minimum = 0;
        t.maximum = 100;
    }
    return t;
}

} // namespace

class TestBridgeCommandParser : public QObject
{
    Q_OBJECT

private slots:
    void accepted_data();
    void accepted();
    void refused_data();
    void refused();
    void refusalNeverRepeatsTheCode();
    void refusalLogLimitsEachKey();
    void throttleLimitsEachEntity();
};

void TestBridgeCommandParser::accepted_data()
{
    QTest::addColumn<Component>("component");
    QTest::addColumn<QString>("topicAction");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<Action>("action");
    QTest::addColumn<bool>("on");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("code");

    // clang-format off
    QTest::newRow("light on") << Component::Light << "set" << QByteArray("ON") << Action::Power << true << 0 << 0;
    QTest::newRow("light off, trailing newline") << Component::Light << "set" << QByteArray("OFF\n") << Action::Power << false << 0 << 0;
    QTest::newRow("brightness 0") << Component::Light << "brightness" << QByteArray("0") << Action::Brightness << false << 0 << 0;
    QTest::newRow("brightness 15") << Component::Light << "brightness" << QByteArray("15") << Action::Brightness << false << 15 << 0;
    QTest::newRow("switch on") << Component::Switch << "set" << QByteArray("ON") << Action::Power << true << 0 << 0;
    QTest::newRow("set-point 21.4 is step 107") << Component::Climate << "temperature" << QByteArray("21.4") << Action::SetPoint << false << 107 << 0;
    QTest::newRow("set-point at minimum") << Component::Climate << "temperature" << QByteArray("5") << Action::SetPoint << false << 25 << 0;
    QTest::newRow("set-point at maximum") << Component::Climate << "temperature" << QByteArray("35.0") << Action::SetPoint << false << 175 << 0;
    QTest::newRow("number 42") << Component::Number << "set" << QByteArray("42") << Action::Value << false << 42 << 0;
    QTest::newRow("number 42.0 from a slider") << Component::Number << "set" << QByteArray("42.0") << Action::Value << false << 42 << 0;
    QTest::newRow("scene") << Component::Scene << "set" << QByteArray("ON") << Action::Run << false << 0 << 0;
    QTest::newRow("arm away") << Component::AlarmPanel << "set" << QByteArray(R"({"action":"ARM_AWAY","code":"1234"})") << Action::Arm << false << 0 << 1234;
    QTest::newRow("arm home") << Component::AlarmPanel << "set" << QByteArray(R"({"action":"ARM_HOME","code":"987654321"})") << Action::Arm << false << 0 << 987654321;
    QTest::newRow("disarm, code as number") << Component::AlarmPanel << "set" << QByteArray(R"({"action":"DISARM","code":4321})") << Action::Disarm << false << 0 << 4321;
    // clang-format on
}

void TestBridgeCommandParser::accepted()
{
    QFETCH(Component, component);
    QFETCH(QString, topicAction);
    QFETCH(QByteArray, payload);
    const BridgeCommand c = BridgeCommandParser::parse(target(component), topicAction, payload);
    QVERIFY2(c.isValid(), qPrintable(c.refusal));
    QTEST(c.action, "action");
    QTEST(c.on, "on");
    QTEST(c.value, "value");
    QTEST(c.code, "code");
}

void TestBridgeCommandParser::refused_data()
{
    QTest::addColumn<Component>("component");
    QTest::addColumn<QString>("topicAction");
    QTest::addColumn<QByteArray>("payload");

    // clang-format off
    QTest::newRow("light lower case") << Component::Light << "set" << QByteArray("on");
    QTest::newRow("light empty") << Component::Light << "set" << QByteArray();
    QTest::newRow("light JSON") << Component::Light << "set" << QByteArray(R"({"state":"ON"})");
    QTest::newRow("light NUL inside") << Component::Light << "set" << QByteArray("ON\0X", 4);
    QTest::newRow("light unknown action") << Component::Light << "colour" << QByteArray("ON");
    QTest::newRow("brightness 16") << Component::Light << "brightness" << QByteArray("16");
    QTest::newRow("brightness negative") << Component::Light << "brightness" << QByteArray("-1");
    QTest::newRow("brightness hex") << Component::Light << "brightness" << QByteArray("0x0f");
    QTest::newRow("brightness fraction") << Component::Light << "brightness" << QByteArray("7.5");
    QTest::newRow("brightness huge") << Component::Light << "brightness" << QByteArray("99999999999999999999");
    QTest::newRow("brightness wraps to 9 in 32 bits") << Component::Light << "brightness" << QByteArray("4294967305");
    QTest::newRow("set-point below") << Component::Climate << "temperature" << QByteArray("4.9");
    QTest::newRow("set-point above") << Component::Climate << "temperature" << QByteArray("35.2");
    QTest::newRow("set-point nan") << Component::Climate << "temperature" << QByteArray("nan");
    QTest::newRow("set-point inf") << Component::Climate << "temperature" << QByteArray("inf");
    QTest::newRow("set-point exponent") << Component::Climate << "temperature" << QByteArray("2e1");
    QTest::newRow("set-point two points") << Component::Climate << "temperature" << QByteArray("2.1.1");
    QTest::newRow("set-point on set topic") << Component::Climate << "set" << QByteArray("21");
    QTest::newRow("number above") << Component::Number << "set" << QByteArray("101");
    QTest::newRow("number below") << Component::Number << "set" << QByteArray("-1");
    QTest::newRow("number text") << Component::Number << "set" << QByteArray("ten");
    QTest::newRow("scene OFF") << Component::Scene << "set" << QByteArray("OFF");
    QTest::newRow("switch toggle word") << Component::Switch << "set" << QByteArray("TOGGLE");
    QTest::newRow("panel not JSON") << Component::AlarmPanel << "set" << QByteArray("ARM_AWAY");
    QTest::newRow("panel JSON array") << Component::AlarmPanel << "set" << QByteArray(R"(["ARM_AWAY","1234"])");
    QTest::newRow("panel no code") << Component::AlarmPanel << "set" << QByteArray(R"({"action":"ARM_AWAY"})");
    QTest::newRow("panel empty code") << Component::AlarmPanel << "set" << QByteArray(R"({"action":"DISARM","code":""})");
    QTest::newRow("panel code 0 starts a code change") << Component::AlarmPanel << "set" << QByteArray(R"({"action":"DISARM","code":"0"})");
    QTest::newRow("panel leading zero") << Component::AlarmPanel << "set" << QByteArray(R"({"action":"DISARM","code":"01234"})");
    QTest::newRow("panel ten digits") << Component::AlarmPanel << "set" << QByteArray(R"({"action":"DISARM","code":"1234567890"})");
    QTest::newRow("panel code with letters") << Component::AlarmPanel << "set" << QByteArray(R"({"action":"DISARM","code":"12a4"})");
    QTest::newRow("panel negative number code") << Component::AlarmPanel << "set" << QByteArray(R"({"action":"DISARM","code":-5})");
    QTest::newRow("panel code beyond any integer") << Component::AlarmPanel << "set" << QByteArray(R"({"action":"DISARM","code":1e300})");
    QTest::newRow("panel fractional code") << Component::AlarmPanel << "set" << QByteArray(R"({"action":"DISARM","code":12.5})");
    QTest::newRow("panel unknown action") << Component::AlarmPanel << "set" << QByteArray(R"({"action":"TRIGGER","code":"1234"})");
    QTest::newRow("payload too long") << Component::Light << "set" << QByteArray(BridgeCommandParser::kMaxPayloadBytes + 1, 'O');
    QTest::newRow("high bytes") << Component::Light << "set" << QByteArray("\xC3\x96N");
    // clang-format on
}

void TestBridgeCommandParser::refused()
{
    QFETCH(Component, component);
    QFETCH(QString, topicAction);
    QFETCH(QByteArray, payload);
    const BridgeCommand c = BridgeCommandParser::parse(target(component), topicAction, payload);
    QVERIFY(!c.isValid());
    QVERIFY(!c.refusal.isEmpty());
}

void TestBridgeCommandParser::refusalNeverRepeatsTheCode()
{
    const QByteArray payloads[] = {R"({"action":"DISARM","code":"98765x"})",
                                   R"({"action":"BOGUS","code":"98765"})",
                                   R"({"action":"DISARM","code":"0098765"})"};
    for (const QByteArray &p : payloads) {
        const BridgeCommand c =
            BridgeCommandParser::parse(target(Component::AlarmPanel), QStringLiteral("set"), p);
        QVERIFY(!c.isValid());
        QVERIFY2(!c.refusal.contains(QLatin1String("98765")), qPrintable(c.refusal));
        QCOMPARE(c.code, 0);
    }
}

void TestBridgeCommandParser::refusalLogLimitsEachKey()
{
    BridgeRefusalLog log;
    int suppressed = -1;
    QVERIFY(log.admit(QStringLiteral("lamp_1"), 1000, &suppressed));
    QCOMPARE(suppressed, 0);
    // A flood within the window: nothing more is logged for that key, another key is free.
    for (int i = 0; i < 50; ++i)
        QVERIFY(!log.admit(QStringLiteral("lamp_1"), 1000 + i * 100, &suppressed));
    QVERIFY(log.admit(QStringLiteral("lamp_2"), 1500, &suppressed));
    // After the window the next line tells how many were left out.
    QVERIFY(log.admit(QStringLiteral("lamp_1"), 1000 + BridgeRefusalLog::kWindowMs, &suppressed));
    QCOMPARE(suppressed, 50);
    QVERIFY(
        !log.admit(QStringLiteral("lamp_1"), 1000 + BridgeRefusalLog::kWindowMs + 1, &suppressed));
    // Random keys cannot grow the table without bound.
    for (int i = 0; i < 3 * BridgeRefusalLog::kMaxKeys; ++i)
        log.admit(QStringLiteral("junk/%1").arg(i), 5000, nullptr);
}

void TestBridgeCommandParser::throttleLimitsEachEntity()
{
    BridgeCommandThrottle throttle;
    int passed = 0;
    for (int i = 0; i < 100; ++i)
        passed += throttle.allow(QStringLiteral("lamp_1"), 5000 + i) ? 1 : 0;
    QCOMPARE(passed, BridgeCommandThrottle::kMaxPerWindow);
    // Another entity has its own allowance; the first gets a new one in the next window.
    QVERIFY(throttle.allow(QStringLiteral("lamp_2"), 5050));
    QVERIFY(!throttle.allow(QStringLiteral("lamp_1"), 5000 + BridgeCommandThrottle::kWindowMs - 1));
    QVERIFY(throttle.allow(QStringLiteral("lamp_1"), 5000 + BridgeCommandThrottle::kWindowMs));
}

QTEST_GUILESS_MAIN(TestBridgeCommandParser)
#include "tst_bridgecommandparser.moc"
