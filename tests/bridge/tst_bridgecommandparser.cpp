// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bridgecommandbudget.h"
#include "bridgecommandparser.h"
#include "bridgecommandthrottle.h"
#include "bridgekeypadguard.h"
#include "bridgerefusallog.h"
#include "controllermap.h"

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
    void refusalLogSummarisesEachWindow();
    void throttleLimitsEachEntity();
    void budgetLimitsTheWholeBridge_data();
    void budgetLimitsTheWholeBridge();
    void keypadCodesOnlyFromSettledStates_data();
    void keypadCodesOnlyFromSettledStates();
    void keypadLockoutGrows_data();
    void keypadLockoutGrows();
    void keypadLockoutEndsAndRightCodeResets();
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
    QTest::newRow("brightness 10") << Component::Light << "brightness" << QByteArray("10") << Action::Brightness << false << 10 << 0;
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
    // The panel's scale ends at 10; a hub's 11..15 would show as an empty bar on the wall.
    QTest::newRow("brightness 11") << Component::Light << "brightness" << QByteArray("11");
    QTest::newRow("brightness 15") << Component::Light << "brightness" << QByteArray("15");
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

void TestBridgeCommandParser::refusalLogSummarisesEachWindow()
{
    BridgeRefusalLog log;
    // The first refusal after a quiet spell is logged at once.
    QVERIFY(log.record(QStringLiteral("lamp_1"), QStringLiteral("too many commands"), 1000));
    // A flood over many entities within the window: nothing more at once, one summary after it.
    for (int i = 0; i < 300; ++i)
        QVERIFY(!log.record(QStringLiteral("lamp_%1").arg(i % 60),
                            i % 3 ? QStringLiteral("over the budget") : QStringLiteral("too many"),
                            1000 + i * 10));
    QVERIFY(log.summary(1000 + BridgeRefusalLog::kWindowMs - 1).isEmpty());
    const QString line = log.summary(1000 + BridgeRefusalLog::kWindowMs);
    QVERIFY2(line.startsWith(QLatin1String("300 more commands refused")), qPrintable(line));
    QVERIFY2(line.contains(QLatin1String("over the budget x200")) &&
                 line.contains(QLatin1String("too many x100")) &&
                 line.contains(QLatin1String("and 55 more")),
             qPrintable(line));
    // The flood goes on: counted into the next summary, nothing logged at once.
    QVERIFY(!log.record(QStringLiteral("lamp_1"), QStringLiteral("too many"), 12000));
    QVERIFY(log.summary(12000).isEmpty());
    QVERIFY(!log.summary(21000).isEmpty());
    // A window without refusals closes; the next refusal is logged at once again.
    QVERIFY(log.summary(40000).isEmpty());
    QVERIFY(log.record(QStringLiteral("lamp_2"), QStringLiteral("too many"), 40001));
    // Random keys cannot grow the tables without bound.
    for (int i = 0; i < 3 * BridgeRefusalLog::kMaxKeys; ++i)
        log.record(QStringLiteral("junk/%1").arg(i), QStringLiteral("unknown"), 40002);
    QVERIFY(log.summary(60000).contains(
        QStringLiteral("and %1 more")
            .arg(BridgeRefusalLog::kMaxKeys - BridgeRefusalLog::kKeysNamed)));
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

void TestBridgeCommandParser::budgetLimitsTheWholeBridge_data()
{
    QTest::addColumn<int>("perSecond");
    QTest::addColumn<int>("spacingMs"); // between two commands of the flood
    QTest::addColumn<int>("commands");
    QTest::addColumn<int>("passed");

    // clang-format off
    QTest::newRow("a burst takes the bucket")      << 20 << 0   << 500 << 20;
    QTest::newRow("a flood gets the steady rate")  << 20 << 10  << 1000 << 20 + 199;
    QTest::newRow("a slow sender is never cut")    << 20 << 50  << 200 << 200;
    QTest::newRow("a small budget")                << 5  << 0   << 50 << 5;
    QTest::newRow("zero means one, not none")      << 0  << 0   << 10 << 1;
    // clang-format on
}

void TestBridgeCommandParser::budgetLimitsTheWholeBridge()
{
    QFETCH(int, perSecond);
    QFETCH(int, spacingMs);
    QFETCH(int, commands);
    BridgeCommandBudget budget(perSecond);
    int passed = 0;
    for (int i = 0; i < commands; ++i)
        passed += budget.allow(100000 + qint64(i) * spacingMs) ? 1 : 0;
    QTEST(passed, "passed");
}

void TestBridgeCommandParser::keypadCodesOnlyFromSettledStates_data()
{
    namespace S = ControllerMap::Security;
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("arm");
    QTest::addColumn<bool>("sent");

    // clang-format off
    QTest::newRow("disarmed: arm")             << S::Disarmed     << true  << true;
    QTest::newRow("armed: disarm")             << S::Armed        << false << true;
    QTest::newRow("entry delay: disarm")       << S::EnterPass    << false << true;
    QTest::newRow("alarm: disarm")             << S::Alarm        << false << true;
    QTest::newRow("disarmed: disarm")          << S::Disarmed     << false << false;
    QTest::newRow("armed: arm")                << S::Armed        << true  << false;
    QTest::newRow("countdown: disarm")         << S::Countdown    << false << false;
    QTest::newRow("countdown: arm")            << S::Countdown    << true  << false;
    QTest::newRow("disarming notice: disarm")  << S::Disarming    << false << false;
    QTest::newRow("disarming notice: arm")     << S::Disarming    << true  << false;
    QTest::newRow("wrong code notice: arm")    << S::WrongPass    << true  << false;
    QTest::newRow("code change: arm")          << S::EnterOldPass << true  << false;
    QTest::newRow("malfunction: disarm")       << S::Malfunction  << false << false;
    // clang-format on
}

void TestBridgeCommandParser::keypadCodesOnlyFromSettledStates()
{
    QFETCH(int, state);
    QFETCH(bool, arm);
    QFETCH(bool, sent);
    using Intent = BridgeKeypadGuard::Intent;
    BridgeKeypadGuard guard;
    const Intent intent = arm ? Intent::Arm : Intent::Disarm;
    // Nothing known yet: no code.
    QVERIFY(!guard.admit(intent, 1000).isEmpty());
    guard.observe(state, 1000);
    const QString why = guard.admit(intent, 1000);
    QCOMPARE(why.isEmpty(), sent);
    if (!sent)
        return;
    // While it waits for the outcome the same state (read before the code landed) lets no
    // second code through.
    guard.observe(state, 1200);
    QVERIFY(!guard.admit(intent, 1300).isEmpty());
}

void TestBridgeCommandParser::keypadLockoutGrows_data()
{
    QTest::addColumn<int>("failures");
    QTest::addColumn<int>("lockoutSeconds");

    // clang-format off
    QTest::newRow("1 wrong code") << 1 << 0;
    QTest::newRow("2 wrong codes") << 2 << 0;
    QTest::newRow("3 wrong codes") << 3 << 30;
    QTest::newRow("4 wrong codes") << 4 << 60;
    QTest::newRow("5 wrong codes") << 5 << 120;
    QTest::newRow("7 wrong codes") << 7 << 480;
    QTest::newRow("8 wrong codes: at most 15 minutes") << 8 << 900;
    QTest::newRow("40 wrong codes") << 40 << 900;
    // clang-format on
}

void TestBridgeCommandParser::keypadLockoutGrows()
{
    namespace S = ControllerMap::Security;
    QFETCH(int, failures);
    QFETCH(int, lockoutSeconds);
    BridgeKeypadGuard guard;
    qint64 now = 1000;
    guard.observe(S::Disarmed, now);
    for (int i = 0; i < failures; ++i) {
        QVERIFY2(guard.admit(BridgeKeypadGuard::Intent::Arm, now).isEmpty(),
                 qPrintable(QString::number(i)));
        // The keypad shows its notice, then the state it stayed in.
        guard.observe(S::WrongPass, now + 500);
        guard.observe(S::Disarmed, now + 2500);
        now = qMax(now + 3000, guard.lockedUntil());
    }
    QCOMPARE(guard.failures(), failures);
    QCOMPARE(guard.lockoutMs(), qint64(lockoutSeconds) * 1000);
    if (lockoutSeconds == 0)
        return;
    // Refused without reaching the keypad until the lockout is over, saying so.
    const qint64 lockedAt = guard.lockedUntil() - guard.lockoutMs();
    const QString why = guard.admit(BridgeKeypadGuard::Intent::Arm, lockedAt + 1000);
    QVERIFY2(why.contains(QLatin1String("locked")), qPrintable(why));
    QVERIFY(!guard.admit(BridgeKeypadGuard::Intent::Arm, guard.lockedUntil() - 1).isEmpty());
    QVERIFY(guard.admit(BridgeKeypadGuard::Intent::Arm, guard.lockedUntil()).isEmpty());
}

void TestBridgeCommandParser::keypadLockoutEndsAndRightCodeResets()
{
    namespace S = ControllerMap::Security;
    using Intent = BridgeKeypadGuard::Intent;
    using Event = BridgeKeypadGuard::Event;
    BridgeKeypadGuard guard;
    guard.observe(S::Disarmed, 0);
    // A code whose effect never shows counts as wrong: a missed notice must not speed guessing.
    QVERIFY(guard.admit(Intent::Arm, 0).isEmpty());
    QCOMPARE(guard.advance(BridgeKeypadGuard::kOutcomeWaitMs - 1), Event::None);
    QCOMPARE(guard.advance(BridgeKeypadGuard::kOutcomeWaitMs), Event::WrongCode);
    QCOMPARE(guard.failures(), 1);
    // The right code: the countdown starts, the count is forgotten.
    QVERIFY(guard.admit(Intent::Arm, 20000).isEmpty());
    QCOMPARE(guard.observe(S::Disarmed, 20100), Event::None);
    QCOMPARE(guard.observe(S::Countdown, 20300), Event::Accepted);
    QCOMPARE(guard.failures(), 0);
    // A wrong code from the panel's own keypad (no code of the hub waiting) counts for nothing.
    guard.observe(S::Armed, 40000);
    QCOMPARE(guard.observe(S::WrongPass, 41000), Event::None);
    QCOMPARE(guard.failures(), 0);
}

QTEST_GUILESS_MAIN(TestBridgeCommandParser)
#include "tst_bridgecommandparser.moc"
