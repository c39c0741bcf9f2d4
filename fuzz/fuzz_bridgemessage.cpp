// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The bridge's handling of MQTT messages under any sequence of messages, controller states and
// clock steps, with a recording stand-in for the controller link. Nothing may crash, and what
// reaches the link must keep the bridge's promises: no retained message becomes a command; no
// command goes out while the controller does not answer; a keypad code goes out only from a
// settled security state, never while the previous one waits for its outcome, and never once
// the hub is locked out after wrong codes; the whole bridge stays within its command budget.
//
// Input: a sequence of operations, each starting with a byte that chooses it:
//   0: a command to an entity: entity, sub-topic, flags (bit 0 retained), length, payload
//   1: a message on any topic: length, topic, flags, length, payload
//   2: a controller status with the security state in the next byte
//   3: the clock moves on by the next byte x 97 ms
//   4: the controller connection is lost
#include "bridgecatalog.h"
#include "bridgecommandbudget.h"
#include "bridgekeypadguard.h"
#include "bridgesettings.h"
#include "controllermap.h"
#include "eappsettings.h"
#include "fuzzsupport.h"
#include "linkcommands.h"
#include "mqttbridge.h"
#include "roomsv1.h"

#include <QDir>

#include <memory>

namespace {

namespace Security = ControllerMap::Security;

struct Clock
{
    qint64 now = 1000000;
};

// Counts what reaches the controller and checks each call against the state the harness set.
class Recorder : public LinkCommands
{
public:
    Clock *clock = nullptr;
    bool answering = false;
    int securityState = -1;
    bool codeAwaiting = false;
    qint64 codeSentAt = 0;
    int consecutiveWrong = 0;
    qint64 lockedUntil = 0;
    QList<qint64> times;

    void command()
    {
        if (!answering)
            FuzzSupport::fail("a command went out while the controller does not answer");
        times.append(clock->now);
        int recent = 0;
        for (const qint64 t : qAsConst(times))
            recent += t > clock->now - 1000 ? 1 : 0;
        // A full bucket and one second of refill.
        if (recent > 2 * BridgeCommandBudget::kDefaultPerSecond)
            FuzzSupport::fail("more commands than the bridge's budget");
        if (times.size() > 4096)
            times.erase(times.begin(), times.begin() + 2048);
    }

    void setRoom(const RoomSnapshot &) override {}
    void closeRoom() override {}
    void SetCurrentScenesRoom() override {}
    void GlobalScene1Activate() override { command(); }
    void GlobalScene2Activate() override { command(); }
    void GlobalScene3Activate() override { command(); }
    void GlobalScene4Activate() override { command(); }
    void GlobalOnActivate() override { command(); }
    void GlobalOffActivate() override { command(); }
    void LightOnInRoom(int) override { command(); }
    void LightOffInRoom(int) override { command(); }
    void Miniscene1InRoom(int) override { command(); }
    void Miniscene2InRoom(int) override { command(); }
    void Miniscene3InRoom(int) override { command(); }
    void Miniscene4InRoom(int) override { command(); }
    void SaveGlobalMiniLight(int, int, int) override { command(); }
    void GlobalHeatOnActivate() override { command(); }
    void GlobalHeatOffActivate() override { command(); }
    void GlobalHeatScene1Activate() override { command(); }
    void GlobalHeatScene2Activate() override { command(); }
    void GlobalHeatScene3Activate() override { command(); }
    void GlobalHeatScene4Activate() override { command(); }
    void FloorHeatSave(int) override { command(); }
    void SoundStateChanged(int, int) override { command(); }
    void SoundStarted(int) override { command(); }
    void SoundStoped(int) override { command(); }
    void SoundNotfound(int) override { command(); }
    void SoundError(int) override { command(); }
    void SinchronizeTime(uint) override { command(); }
    void WritePassword(int code) override
    {
        command();
        if (code <= 0 || code > 999999999)
            FuzzSupport::fail("a code the keypad cannot type");
        const bool settled =
            securityState == Security::Disarmed || securityState == Security::Armed ||
            securityState == Security::EnterPass || securityState == Security::Alarm;
        if (!settled)
            FuzzSupport::fail("a code went out in a transitional or notice state");
        if (codeAwaiting && clock->now - codeSentAt < BridgeKeypadGuard::kOutcomeWaitMs)
            FuzzSupport::fail("a code went out before the previous one had an outcome");
        if (clock->now < lockedUntil)
            FuzzSupport::fail("a code went out during a lockout");
        codeAwaiting = true;
        codeSentAt = clock->now;
    }
    void WriteAlarm(int, char) override { command(); }
    void WriteSMS(const QString &, int) override { command(); }
    void SetActivators(const GActivators &) override {}
    void WriteGlobalScene(int) override { command(); }
    void EnableLight(int) override { command(); }
    void DisableLight(int) override { command(); }
    void ChangeLightBright(int, int bright) override
    {
        command();
        if (bright < 0 || bright > ControllerMap::kLampBrightnessMaximum)
            FuzzSupport::fail("a brightness off the panel's scale");
    }
    void AddSwitchToLamp(int, int) override { command(); }
    void DelSwitchFromLamp(int, int) override { command(); }
    void BoolClick(int) override { command(); }
    void BoolButton1Click(int) override { command(); }
    void ByteControlValClick(int) override { command(); }
    void ByteControlChange(int, int) override { command(); }
    void ChangeHeatTemp(int, int) override { command(); }
    void TextWriteControlChange(int, const QString &) override { command(); }
    void SwitchLightClick(int) override { command(); }
    void SensorClick(int) override { command(); }
    void DeleteSwitchInRoom(int) override { command(); }
    void ChangeSwitchType(int, int, int) override { command(); }
    void SetSensorToLight(int, int) override { command(); }

    // What the harness knows of a code's outcome, kept as simply as the promise reads: a wrong
    // code or no visible effect within the outcome wait is a failure; from the third failure in a
    // row on, codes wait at least the first lockout.
    void observe(int state)
    {
        securityState = state;
        if (!codeAwaiting)
            return;
        if (state == Security::WrongPass) {
            failed();
        } else if (state == Security::Countdown || state == Security::Arming ||
                   state == Security::Armed || state == Security::Disarming ||
                   state == Security::Disarmed) {
            // Any state a code of either intent leads to may be its effect: the harness does not
            // keep the intent, so it gives the benefit of the doubt (a looser check, never a
            // false finding).
            codeAwaiting = false;
            consecutiveWrong = 0;
        }
    }
    void advance()
    {
        if (codeAwaiting && clock->now - codeSentAt >= BridgeKeypadGuard::kOutcomeWaitMs)
            failed();
    }
    void failed()
    {
        codeAwaiting = false;
        if (++consecutiveWrong > BridgeKeypadGuard::kFreeFailures)
            lockedUntil = clock->now + BridgeKeypadGuard::kFirstLockoutMs;
    }
};

EAppSettings *g_settings = nullptr;
RoomsV1 *g_rooms = nullptr;
QStringList g_entities;

const char *const kLevels[] = {"set",        "brightness/set", "temperature/set",
                               "colour/set", "state",          "set/x"};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialize(argc, argv);
    registerControllerTypes();
    const QDir project(QStringLiteral(VERANDIX_FUZZ_PROJECT));
    g_settings = new EAppSettings;
    g_rooms = new RoomsV1;
    if (!g_settings->load(project.filePath(QStringLiteral("config.xml"))) ||
        !g_rooms->load(project.path(),
                       {QStringLiteral("main_config.xml"), QStringLiteral("light_config.xml"),
                        QStringLiteral("heat_config.xml"), QStringLiteral("security.xml"),
                        QStringLiteral("utilities.xml")}))
        FuzzSupport::fail("the fixture project does not load");
    BridgeCatalog catalog;
    catalog.build(*g_rooms, *g_settings);
    for (const BridgeEntity &e : catalog.entities())
        g_entities.append(e.uniqueId);
    g_entities.append(QStringLiteral("lamp_999"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    BridgeSettings settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.clientId = QStringLiteral("fz");
    MqttBridge bridge(settings);
    bridge.setProject(*g_rooms, *g_settings);
    Clock clock;
    Recorder link;
    link.clock = &clock;
    bridge.setClock([&clock] { return clock.now; });
    bridge.attach(nullptr, &link);
    const QString base = QStringLiteral("verandix/fz/");

    size_t at = 0;
    const auto next = [&]() -> int { return at < size ? data[at++] : 0; };
    const auto take = [&](int n) {
        const size_t count = qMin(size - at, size_t(n));
        const QByteArray out = FuzzSupport::bytes(data + at, count);
        at += count;
        return out;
    };
    while (at < size) {
        switch (next() % 5) {
        case 0: {
            const QString entity = g_entities.at(next() % g_entities.size());
            const QString level = QLatin1String(kLevels[next() % 6]);
            const bool retained = next() & 1;
            const QByteArray payload = take(next());
            const int before = link.times.size();
            bridge.handleMessage(base + entity + QLatin1Char('/') + level, payload, retained);
            if (retained && link.times.size() != before)
                FuzzSupport::fail("a retained message became a command");
            break;
        }
        case 1: {
            const QString topic = QString::fromUtf8(take(next()));
            const bool retained = next() & 1;
            const QByteArray payload = take(next());
            const int before = link.times.size();
            bridge.handleMessage(base + topic, payload, retained);
            if (retained && link.times.size() != before)
                FuzzSupport::fail("a retained message became a command");
            break;
        }
        case 2: {
            ReservVariables status;
            status.securityState = quint8(next() % 16);
            status.alarmCount = ControllerMap::kNoAlarms;
            link.answering = true;
            link.observe(status.securityState);
            bridge.updateStatus(status);
            break;
        }
        case 3:
            clock.now += next() * 97;
            link.advance();
            break;
        case 4:
            link.answering = false;
            bridge.setControllerConnected(false);
            break;
        }
    }
    return 0;
}
