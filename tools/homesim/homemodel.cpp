// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "homemodel.h"

#include "homeconfig.h"
#include "homesimlog.h"
#include "scenarioevent.h"
#include "securitykeypad.h"

#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QStringList>
#include <QTextCodec>

#include <algorithm>
#include <cmath>
#include <random>

using namespace HomeSim;

namespace {

// Without a configuration the simulator serves what a fresh project places: lamps from number 1
// (byte address 620) and thermostats from number 1 (byte address 300). Number 0 would put a
// thermostat over the last global scene of the scene area.
constexpr int kDefaultLamps = 32;
constexpr int kDefaultThermostats = 16;

// Thermal model, per simulated second: full heating adds kHeatGain degrees, the house loses
// kLossRate of its difference to the outside. The heating level follows the set-point deficit
// with kLevelPerDegree percent per degree, so the room settles within one 0.2 degree step.
constexpr double kHeatGain = 0.01;
constexpr double kLossRate = 0.0002;
constexpr double kOutsideTemperature = 5.0;
constexpr double kLevelPerDegree = 200.0;
constexpr int kMaxStepsPerAdvance = 3600;

constexpr qint64 kMessageRotationMs = 1000;
constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxMessageLogChars = 40;

// Default scenes: 1 bright, 2 half, 3 dim, 4 off, on the panel's dimmer scale (bright is its
// 100 %); heating 22, 20, 18 and 12 degrees.
constexpr quint8 lampOnAt(int level)
{
    return quint8(level << kLampBrightnessShift) | kLampOnBit;
}
constexpr quint8 kDefaultLightScenes[kSceneCommandCount] = {
    lampOnAt(kLampBrightnessMaximum), lampOnAt(kLampBrightnessMaximum / 2), lampOnAt(3), 0x00};
constexpr quint8 kDefaultHeatScenes[kSceneCommandCount] = {110, 100, 90, 60};

// What a scene stores of a lamp: its on bit and brightness.
constexpr quint8 kLampStateBits = kLampOnBit | kLampBrightnessMask;

struct ParamProfile
{
    double minimum; // range used when config.xml gives none
    double maximum;
    double centre; // typical value, in the unit of the range
    double amplitude;
    double periodS;
};

// What a parameter of that name typically reads, so the panel shows believable numbers. The
// first rule whose keyword (English or Russian) occurs in the text wins; the order puts what is
// measured before where ("outdoor humidity" is a humidity) and the specific temperatures before
// the rest ("boiler flow temperature" is hot, "boiler room temperature" is not).
struct ParamRule
{
    const char *keywords[4];
    ParamProfile profile;
};

// clang-format off
const ParamRule kParamRules[] = {
    {{"humid", "moisture", "влаж", nullptr},     {0, 100, 45, 8, 900}},
    {{"volt", "напр", nullptr, nullptr},         {0, 300, 230, 4, 300}},
    {{"hpa", "гпа", nullptr, nullptr},           {950, 1060, 1013, 6, 1800}},
    {{"bar", "бар", nullptr, nullptr},           {0, 10, 2, 0.2, 600}},
    {{"press", "давл", nullptr, nullptr},        {700, 800, 750, 5, 1800}},
    {{"co2", nullptr, nullptr, nullptr},         {0, 2500, 600, 150, 900}},
    {{"wind", "ветер", "ветр", nullptr},         {0, 40, 4, 2, 300}},
    {{"outdoor", "outside", "наруж", "улиц"},   {-40, 50, 5, 4, 900}},
    {{"flow", "return", "hot water", "гвс"},     {0, 100, 55, 5, 600}},
    {{"temp", "темп", nullptr, nullptr},         {-40, 60, 21, 2, 600}},
};
// clang-format on

// Unnamed parameters get a mix of the usual kinds: temperature, humidity, voltage, pressure.
const int kUnnamedRules[] = {9, 0, 1, 4};

bool profileFor(const QString &text, int id, ParamProfile *profile)
{
    const QString t = text.toLower();
    if (t.isEmpty()) {
        *profile = kParamRules[kUnnamedRules[(id - 1) % 4]].profile;
        return true;
    }
    for (const ParamRule &rule : kParamRules) {
        for (const char *keyword : rule.keywords) {
            if (keyword && t.contains(QString::fromUtf8(keyword))) {
                *profile = rule.profile;
                return true;
            }
        }
    }
    return false;
}

struct Parameter
{
    double minimum = 0;
    double maximum = 255;
    double centre = 128;
    double amplitude = 0;
    double periodS = 400;
    double phase = 0;
    double walk = 0;
    double noise = 0;
    bool pinned = false;
    double pinnedValue = 0;
};

struct Message
{
    quint8 state = 0;
    quint8 data = 0;
    quint32 value = 0;
};

struct Thermostat
{
    int number = 0;
    double temperature = 20;
    int level = 0;
};

QString onOff(bool on)
{
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

QString joinNumbers(const QList<int> &numbers)
{
    QStringList parts;
    for (int n : numbers)
        parts.append(QString::number(n));
    return parts.join(QLatin1Char(','));
}

} // namespace

struct HomeModelPrivate
{
    HomeModelPrivate(const HomeConfig &c, const HomeModel::Options &o)
        : config(c), options(o), keypad(o.userCode, o.armDelayMs, o.noticeMs)
    {
    }

    // Texts in controller memory, in the configuration's encoding.
    QTextCodec *textCodec() const
    {
        QTextCodec *codec = QTextCodec::codecForName(config.controllerCodec);
        return codec ? codec : QTextCodec::codecForName("Windows-1251");
    }

    HomeConfig config;
    HomeModel::Options options;
    HomeModel::Logger logger;
    QVector<quint16> regs;
    QList<int> lamps;
    QList<Thermostat> thermostats;
    SecurityKeypad keypad;
    std::mt19937 rng;

    qint64 realMs = 0;
    double simMs = 0;
    qint64 nextParamStepMs = 0; // simulation time of the next parameter step
    quint32 clockBase = 0;
    qint64 clockBaseMs = 0;
    bool heatingOn = true;

    QHash<int, QHash<int, quint8>> globalScenes; // scene -> lamp -> state bits
    QHash<int, QHash<int, quint8>> miniScenes;   // room * 8 + scene -> lamp -> state bits
    QHash<int, QHash<int, quint8>> heatScenes;   // scene -> thermostat -> set-point steps
    QMap<int, double> motionOffAt;               // lamp -> simulation time its motion hold ends

    bool eventWrite = false; // a scenario or control line is writing: it was logged already
    bool intrusionRaised = false; // the intrusion alarm message is up

    QMap<int, Message> messages; // every message the controller reported
    int currentMessage = -1;
    qint64 nextRotationMs = 0;

    Parameter params[kParameterCount];

    void log(const QString &line) const
    {
        if (logger)
            logger(line);
    }

    int imageBytes() const { return regs.size() * 2; }
    bool inImage(int address, int length = 1) const
    {
        return address >= 0 && length >= 0 && address + length <= imageBytes();
    }
    quint8 byte(int a) const
    {
        if (!inImage(a))
            return 0;
        const quint16 w = regs.at(a / 2);
        return quint8(a % 2 ? w >> 8 : w & 0xFF);
    }
    void setByte(int a, quint8 v)
    {
        if (!inImage(a))
            return;
        quint16 &w = regs[a / 2];
        w = a % 2 ? quint16((w & 0x00FF) | (v << 8)) : quint16((w & 0xFF00) | v);
    }
    quint32 dword(int a) const
    {
        return quint32(byte(a)) | quint32(byte(a + 1)) << 8 | quint32(byte(a + 2)) << 16 |
               quint32(byte(a + 3)) << 24;
    }
    void setDword(int a, quint32 v)
    {
        for (int i = 0; i < 4; ++i)
            setByte(a + i, quint8(v >> (8 * i)));
    }

    // --- lamps ---
    int lampByte(int lamp, int k) const { return byte(HomeModel::lampAddress(lamp) + k); }
    bool lampOn(int lamp) const { return lampByte(lamp, kLampState) & kLampOnBit; }
    void setLampOn(int lamp, bool on)
    {
        const int a = HomeModel::lampAddress(lamp) + kLampState;
        setByte(a, quint8(on ? byte(a) | kLampOnBit : byte(a) & ~kLampOnBit));
        if (!on)
            motionOffAt.remove(lamp);
    }
    void setLampState(int lamp, quint8 state)
    {
        const int a = HomeModel::lampAddress(lamp) + kLampState;
        setByte(a, quint8((byte(a) & ~kLampStateBits) | (state & kLampStateBits)));
        if (!(state & kLampOnBit))
            motionOffAt.remove(lamp);
    }
    QList<int> lampsOfRoom(int room) const
    {
        QList<int> result;
        for (int lamp : lamps) {
            if (lampByte(lamp, kLampRoom) == room)
                result.append(lamp);
        }
        return result;
    }

    void globalScene(int n)
    {
        const auto saved = globalScenes.constFind(n);
        for (int lamp : lamps) {
            const quint8 state = saved == globalScenes.constEnd()
                                     ? kDefaultLightScenes[n - 1]
                                     : saved->value(lamp, lampByte(lamp, kLampState));
            setLampState(lamp, state);
        }
        log(QStringLiteral("lighting: global scene %1%2")
                .arg(n)
                .arg(saved == globalScenes.constEnd() ? QStringLiteral(" (default)") : QString()));
    }
    void saveGlobalScene(int n)
    {
        QHash<int, quint8> states;
        for (int lamp : lamps)
            states.insert(lamp, quint8(lampByte(lamp, kLampState) & kLampStateBits));
        globalScenes.insert(n, states);
        log(QStringLiteral("lighting: current state saved as global scene %1").arg(n));
    }
    void miniScene(int room, int n)
    {
        const QList<int> inRoom = lampsOfRoom(room);
        const auto saved = miniScenes.constFind(room * 8 + n);
        for (int lamp : inRoom) {
            const quint8 state = saved == miniScenes.constEnd()
                                     ? kDefaultLightScenes[n - 1]
                                     : saved->value(lamp, lampByte(lamp, kLampState));
            setLampState(lamp, state);
        }
        log(QStringLiteral("lighting: room %1 miniscene %2%3, lamps %4")
                .arg(room)
                .arg(n)
                .arg(saved == miniScenes.constEnd() ? QStringLiteral(" (default)") : QString())
                .arg(inRoom.isEmpty() ? QStringLiteral("none") : joinNumbers(inRoom)));
    }
    void saveMiniScene(int room, int n)
    {
        QHash<int, quint8> states;
        const QList<int> inRoom = lampsOfRoom(room);
        for (int lamp : inRoom)
            states.insert(lamp, quint8(lampByte(lamp, kLampState) & kLampStateBits));
        miniScenes.insert(room * 8 + n, states);
        log(QStringLiteral("lighting: room %1 saved as miniscene %2, lamps %3")
                .arg(room)
                .arg(n)
                .arg(inRoom.isEmpty() ? QStringLiteral("none") : joinNumbers(inRoom)));
    }
    void switchAll(const QList<int> &which, bool on)
    {
        for (int lamp : which)
            setLampOn(lamp, on);
    }

    void lightCommand()
    {
        const int base = 2 * kLightCommandWord;
        const int global = byte(base + kLightGlobalCommand), save = byte(base + kLightSceneToSave),
                  room = byte(base + kLightRoomCommand), roomNumber = byte(base + kLightRoomNumber);
        if (save >= kFirstSceneCommand && save <= kLastSceneCommand)
            saveGlobalScene(save);
        else if (save != 0)
            log(QStringLiteral("lighting: no global scene %1 to save into").arg(save));

        if (global >= kFirstSceneCommand && global <= kLastSceneCommand) {
            globalScene(global);
        } else if (global == kCommandAllOn || global == kCommandAllOff) {
            switchAll(lamps, global == kCommandAllOn);
            log(QStringLiteral("lighting: all lamps %1").arg(onOff(global == kCommandAllOn)));
        } else if (global != 0) {
            log(QStringLiteral("lighting: unknown global command %1").arg(global));
        }

        if (room >= kFirstSceneCommand && room <= kLastSceneCommand) {
            miniScene(roomNumber, room);
        } else if (room == kCommandAllOn || room == kCommandAllOff) {
            const QList<int> inRoom = lampsOfRoom(roomNumber);
            switchAll(inRoom, room == kCommandAllOn);
            log(QStringLiteral("lighting: room %1 lamps %2 (%3)")
                    .arg(roomNumber)
                    .arg(onOff(room == kCommandAllOn),
                         inRoom.isEmpty() ? QStringLiteral("none") : joinNumbers(inRoom)));
        } else if (room > kCommandSaveSceneBase &&
                   room <= kCommandSaveSceneBase + kSceneCommandCount) {
            saveMiniScene(roomNumber, room - kCommandSaveSceneBase);
        } else if (room != 0) {
            log(QStringLiteral("lighting: unknown room command %1").arg(room));
        }
        // A controller acknowledges a command by clearing it; the panel reads before it writes,
        // so a command left standing would run again with the next one.
        setDword(base, 0);
    }

    // --- heating ---
    int thermostatIndex(int number) const
    {
        for (int i = 0; i < thermostats.size(); ++i) {
            if (thermostats.at(i).number == number)
                return i;
        }
        return -1;
    }
    void heatCommand()
    {
        const int a = 2 * kHeatCommandWord;
        const int command = byte(a);
        if (command >= kFirstSceneCommand && command <= kLastSceneCommand) {
            const auto saved = heatScenes.constFind(command);
            for (const Thermostat &t : qAsConst(thermostats)) {
                const int sp = HomeModel::thermostatAddress(t.number) + kThermostatSetPoint;
                setByte(sp, saved == heatScenes.constEnd() ? kDefaultHeatScenes[command - 1]
                                                           : saved->value(t.number, byte(sp)));
            }
            log(QStringLiteral("heating: scene %1%2")
                    .arg(command)
                    .arg(saved == heatScenes.constEnd() ? QStringLiteral(" (default)")
                                                        : QString()));
        } else if (command == kCommandAllOn || command == kCommandAllOff) {
            heatingOn = command == kCommandAllOn;
            log(QStringLiteral("heating: %1").arg(onOff(heatingOn)));
        } else if (command > kCommandSaveSceneBase &&
                   command <= kCommandSaveSceneBase + kSceneCommandCount) {
            QHash<int, quint8> setPoints;
            for (const Thermostat &t : qAsConst(thermostats))
                setPoints.insert(
                    t.number, byte(HomeModel::thermostatAddress(t.number) + kThermostatSetPoint));
            heatScenes.insert(command - kCommandSaveSceneBase, setPoints);
            log(QStringLiteral("heating: set-points saved as scene %1")
                    .arg(command - kCommandSaveSceneBase));
        } else if (command != 0) {
            log(QStringLiteral("heating: unknown command %1").arg(command));
        }
        setByte(a, 0);
        if (command != 0)
            publishThermostats(); // levels follow at once when heating was switched
    }
    void publishThermostats()
    {
        for (Thermostat &t : thermostats) {
            const int a = HomeModel::thermostatAddress(t.number);
            if (!heatingOn)
                t.level = 0;
            setByte(a + kThermostatTemperature,
                    quint8(std::clamp(std::lround(t.temperature / kTemperatureStep), 0L, 255L)));
            setByte(a + kThermostatLevel, quint8(t.level));
        }
    }
    void stepThermostats(double seconds)
    {
        for (Thermostat &t : thermostats) {
            const double setPoint =
                byte(HomeModel::thermostatAddress(t.number) + kThermostatSetPoint) *
                kTemperatureStep;
            t.level =
                heatingOn
                    ? int(std::clamp(std::lround((setPoint - t.temperature) * kLevelPerDegree), 0L,
                                     100L))
                    : 0;
            t.temperature += seconds * (kHeatGain * t.level / 100.0 -
                                        kLossRate * (t.temperature - kOutsideTemperature));
        }
    }

    // --- messages and sound ---
    void publishMessage(int id)
    {
        const auto it = messages.constFind(id);
        if (it == messages.constEnd())
            return;
        currentMessage = id;
        setByte(kStatusMessageId, quint8(id));
        setByte(kStatusMessageState, it->state);
        setByte(kStatusMessageData, it->data);
        setDword(kStatusMessageValue, it->value);
        nextRotationMs = realMs + kMessageRotationMs;
    }
    void updateAlarmCount()
    {
        int count = 0;
        for (const Message &m : qAsConst(messages)) {
            if ((m.state & (kMessageActive | kMessageAlarm)) == (kMessageActive | kMessageAlarm))
                ++count;
        }
        setByte(kStatusAlarmCount, count == 0 ? kNoAlarms : quint8(std::min(count, 0xFE)));
    }
    void rotateMessages()
    {
        // The status block carries one message at a time, so the controller shows every message
        // it knows in turn; the panel keeps each one it has seen.
        if (messages.isEmpty() || realMs < nextRotationMs)
            return;
        auto it = messages.constFind(currentMessage);
        if (it != messages.constEnd())
            ++it;
        if (it == messages.constEnd())
            it = messages.constBegin();
        publishMessage(it.key());
    }
    QString messageName(int id) const
    {
        const QString text = config.messageText(id);
        return text.isEmpty() ? QStringLiteral("message %1").arg(id)
                              : QStringLiteral("message %1 \"%2\"")
                                    .arg(id)
                                    .arg(text.left(kMaxMessageLogChars));
    }
    void raise(int id, bool alarm, int data, int sound)
    {
        Message &m = messages[id];
        m.state |= kMessageActive;
        m.state = alarm ? quint8(m.state | kMessageAlarm) : quint8(m.state & ~kMessageAlarm);
        // With SMS on, the controller has told the owner: the alerts screen shows it as notified.
        if (m.state & kMessageSms)
            m.state |= kMessageNotified;
        m.data = quint8(data);
        m.value = dword(kStatusControllerTime);
        publishMessage(id);
        updateAlarmCount();
        if (sound > 0)
            requestSound(sound);
        log(QStringLiteral("%1: %2 raised, state 0x%3")
                .arg(alarm ? QStringLiteral("alarm") : QStringLiteral("message"), messageName(id))
                .arg(m.state, 2, 16, QLatin1Char('0')));
    }
    void clear(int id)
    {
        auto it = messages.find(id);
        if (it == messages.end()) {
            log(QStringLiteral("messages: %1 was never raised").arg(messageName(id)));
            return;
        }
        it->state &= ~kMessageActive;
        publishMessage(id);
        updateAlarmCount();
        log(QStringLiteral("messages: %1 cleared, state 0x%2")
                .arg(messageName(id))
                .arg(it->state, 2, 16, QLatin1Char('0')));
    }
    void requestSound(int sound)
    {
        setByte(kStatusSoundNumber, quint8(sound));
        setByte(kStatusSoundState, 0);
        log(QStringLiteral("sound: asking the panel to play sound %1").arg(sound));
    }
    void writeAlarm()
    {
        const int id = byte(2 * kAlarmWord);
        const quint8 requested = byte(2 * kAlarmWord + 1);
        setByte(2 * kAlarmWord, 0);
        setByte(2 * kAlarmWord + 1, 0);
        // The alerts screen only edits messages the controller has reported; anything else is a
        // stray write (a bulk write of zeros, say) and must not invent a message.
        if (!messages.contains(id)) {
            log(QStringLiteral("alerts: %1 was never reported, state write ignored")
                    .arg(messageName(id)));
            return;
        }
        Message &m = messages[id];
        const quint8 old = m.state;
        // The panel may switch SMS and siren either way, and may only switch an alarm inactive
        // (acknowledge it); type, notification and activation stay the controller's.
        quint8 state = quint8((m.state & ~(kMessageSms | kMessageSiren)) |
                              (requested & (kMessageSms | kMessageSiren)));
        if (!(requested & kMessageActive))
            state &= ~kMessageActive;
        m.state = state;
        publishMessage(id);
        updateAlarmCount();
        log(QStringLiteral("alerts: %1 state 0x%2 -> 0x%3")
                .arg(messageName(id))
                .arg(old, 2, 16, QLatin1Char('0'))
                .arg(state, 2, 16, QLatin1Char('0')));
    }
    void soundState(const QVector<quint16> &before, int index)
    {
        const int sound = byte(kStatusSoundNumber);
        const int state = byte(kStatusSoundState);
        const int w = kSoundWord - index;
        const int oldSound = w >= 0 && w < before.size() ? before.at(w) & 0xFF : sound;
        static const char *const names[] = {"none", "started", "stopped", "not found", "error"};
        log(QStringLiteral("sound: panel reports sound %1 %2")
                .arg(sound)
                .arg(QLatin1String(state >= 0 && state <= kSoundError ? names[state]
                                                                      : "in state ?")));
        // Once the panel is done with a sound the request is withdrawn, so that the next request
        // of the same number is a change the panel notices.
        if (sound == oldSound && state >= kSoundStopped && state <= kSoundError && sound != 0)
            setByte(kStatusSoundNumber, 0);
    }

    // --- security ---
    void publishSecurity()
    {
        const int state = keypad.state();
        setByte(kStatusSecurityState, quint8(state));
        // A controller tells of an intrusion the way it tells of a leak: the alarm message is
        // raised (with its siren sound) when the entry delay runs out, and stays until the
        // system is disarmed.
        const int message = config.intrusionMessage;
        if (state == Security::Alarm && !intrusionRaised && message > 0) {
            intrusionRaised = true;
            raise(message, true, 1, config.intrusionSound);
        } else if (intrusionRaised &&
                   (state == Security::Disarmed || state == Security::Disarming)) {
            intrusionRaised = false;
            clear(message);
        }
        const QString text = config.secureText(state);
        log(QStringLiteral("security: state %1%2")
                .arg(state)
                .arg(text.isEmpty() ? QString() : QStringLiteral(" \"%1\"").arg(text)));
    }
    void enterCode()
    {
        const quint32 code = dword(2 * kPasswordWord);
        // The code is consumed: leaving it readable in the image would let any client read it.
        setDword(2 * kPasswordWord, 0);
        const QString what = keypad.enterCode(code, qint64(simMs));
        log(QStringLiteral("security: code entered, %1").arg(what));
        publishSecurity();
    }

    // --- clock and parameters ---
    void publishClock()
    {
        setDword(kStatusControllerTime, clockBase + quint32((realMs - clockBaseMs) / 1000));
    }
    void initParameters()
    {
        std::uniform_real_distribution<double> phase(0, 2 * kPi);
        for (int i = 0; i < kParameterCount; ++i) {
            const int id = i + 1;
            QString text;
            const HomeConfig::Text *record = nullptr;
            for (const HomeConfig::Text &t : qAsConst(config.parameters)) {
                if (t.id == id) {
                    record = &t;
                    break;
                }
            }
            if (record)
                text = record->text;
            ParamProfile profile{0, 255, 0, 0, 400};
            const bool known = profileFor(text, id, &profile);
            Parameter &p = params[i];
            if (record && record->maximum > record->minimum) {
                p.minimum = record->minimum;
                p.maximum = record->maximum;
            } else if (record) {
                p.minimum = 0; // no range: the panel shows the raw byte
                p.maximum = 255;
            } else {
                p.minimum = profile.minimum;
                p.maximum = profile.maximum;
            }
            const double span = p.maximum - p.minimum;
            // Something unknown sits in the lower part of its range, as consumption, speeds and
            // levels mostly do.
            p.centre = known && profile.centre > p.minimum && profile.centre < p.maximum
                           ? profile.centre
                           : p.minimum + span * 0.3;
            p.amplitude = known ? std::min(profile.amplitude, span * 0.2) : span * 0.1;
            p.periodS = profile.periodS;
            p.phase = phase(rng);
            // About half a step of the byte per simulated second, so a reader sees it move.
            p.noise = span / 255.0 * 0.6;
        }
    }
    double parameterValue(int i) const
    {
        const Parameter &p = params[i];
        if (p.pinned)
            return p.pinnedValue;
        const double t = simMs / 1000.0;
        return p.centre + p.amplitude * std::sin(2 * kPi * t / p.periodS + p.phase) + p.walk;
    }
    void stepParameters()
    {
        std::normal_distribution<double> gauss(0, 1);
        for (Parameter &p : params)
            p.walk = p.walk * 0.9 + gauss(rng) * p.noise;
    }
    void publishParameters()
    {
        for (int i = 0; i < kParameterCount; ++i) {
            const Parameter &p = params[i];
            const double scaled = (parameterValue(i) - p.minimum) / (p.maximum - p.minimum) * 255.0;
            setByte(kStatusParameters + i, quint8(std::clamp(std::lround(scaled), 0L, 255L)));
        }
    }

    // --- logging of plain writes ---
    void logLampChanges(int lamp, const QByteArray &old)
    {
        const int a = HomeModel::lampAddress(lamp);
        QStringList parts;
        const quint8 b0 = byte(a + kLampState), o0 = quint8(old.at(kLampState));
        if ((b0 ^ o0) & kLampOnBit)
            parts << onOff(b0 & kLampOnBit);
        if ((b0 ^ o0) & kLampBrightnessMask)
            parts << QStringLiteral("brightness %1").arg(b0 >> kLampBrightnessShift);
        if ((b0 ^ o0) & kLampSensorBit)
            parts << QStringLiteral("sensor control %1").arg(onOff(b0 & kLampSensorBit));
        bool switches = false;
        for (int k = kLampSwitch1; k <= kLampSwitch3; ++k)
            switches |= byte(a + k) != quint8(old.at(k));
        if (switches)
            parts << QStringLiteral("switches %1,%2,%3")
                         .arg(byte(a + kLampSwitch1))
                         .arg(byte(a + kLampSwitch2))
                         .arg(byte(a + kLampSwitch3));
        if (byte(a + kLampSensor) != quint8(old.at(kLampSensor)))
            parts << QStringLiteral("sensor %1").arg(byte(a + kLampSensor));
        if (byte(a + kLampRoom) != quint8(old.at(kLampRoom)))
            parts << QStringLiteral("room %1").arg(byte(a + kLampRoom));
        if (byte(a + kLampSceneSwitch) != quint8(old.at(kLampSceneSwitch)) ||
            byte(a + kLampSceneNumber) != quint8(old.at(kLampSceneNumber)))
            parts << QStringLiteral("scene switch %1 scene %2")
                         .arg(byte(a + kLampSceneSwitch))
                         .arg(byte(a + kLampSceneNumber));
        if (!parts.isEmpty())
            log(QStringLiteral("lamp %1: %2").arg(lamp).arg(parts.join(QStringLiteral(", "))));
        if (!(b0 & kLampOnBit))
            motionOffAt.remove(lamp);
    }
};

HomeModel::HomeModel(const HomeConfig &config, const Options &options)
    : d(new HomeModelPrivate(config, options))
{
    if (d->options.registerOffset < 0 || d->options.registerOffset >= kRegisterCount) {
        qCWarning(lcHomeSim) << "register offset" << options.registerOffset
                             << "out of range, using 0";
        d->options.registerOffset = 0;
    }
    if (!(d->options.speed > 0) || !std::isfinite(d->options.speed))
        d->options.speed = 1.0;
    d->regs.fill(0, kRegisterCount - d->options.registerOffset);
    d->rng.seed(options.seed);

    QList<int> lamps = config.lamps;
    QList<int> thermostats = config.thermostats;
    if (lamps.isEmpty() && thermostats.isEmpty()) {
        for (int n = 1; n <= kDefaultLamps; ++n)
            lamps.append(n);
        for (int n = 1; n <= kDefaultThermostats; ++n)
            thermostats.append(n);
    }
    for (int n : qAsConst(lamps)) {
        // Numbers come from project files: range-check before any address arithmetic.
        if (n >= 0 && n < kRegisterCount && d->inImage(lampAddress(n), kLampRecordBytes))
            d->lamps.append(n);
        else
            qCWarning(lcHomeSim) << "lamp" << n << "lies outside the register image; ignored";
    }
    std::uniform_real_distribution<double> startTemperature(17.0, 20.0);
    for (int n : qAsConst(thermostats)) {
        if (n < 0 || n >= kRegisterCount ||
            !d->inImage(thermostatAddress(n), kThermostatRecordBytes)) {
            qCWarning(lcHomeSim) << "thermostat" << n << "lies outside the register image; ignored";
            continue;
        }
        Thermostat t;
        t.number = n;
        t.temperature = startTemperature(d->rng);
        d->thermostats.append(t);
        d->setByte(thermostatAddress(n) + kThermostatSetPoint, 105); // 21 degrees
    }

    d->clockBase =
        quint32(options.startEpoch >= 0 ? options.startEpoch : QDateTime::currentSecsSinceEpoch());
    d->initParameters();
    d->setByte(kStatusAlarmCount, kNoAlarms);
    d->setByte(kStatusSecurityState, quint8(d->keypad.state()));
    d->publishClock();
    d->publishParameters();
    d->stepThermostats(0);
    d->publishThermostats();
}

HomeModel::~HomeModel() = default;

void HomeModel::setLogger(Logger logger)
{
    d->logger = std::move(logger);
}

quint16 *HomeModel::registers()
{
    return d->regs.data();
}

int HomeModel::registerCount() const
{
    return d->regs.size();
}

int HomeModel::registerOffset() const
{
    return d->options.registerOffset;
}

quint8 HomeModel::byte(int address) const
{
    return d->byte(address);
}

quint16 HomeModel::word(int n) const
{
    return n >= 0 && n < d->regs.size() ? d->regs.at(n) : 0;
}

quint32 HomeModel::dword(int address) const
{
    return d->dword(address);
}

int HomeModel::lampAddress(int lamp)
{
    return kLampBase + kLampRecordBytes * lamp;
}

int HomeModel::thermostatAddress(int thermostat)
{
    return kThermostatBase + kThermostatRecordBytes * thermostat;
}

QList<int> HomeModel::lamps() const
{
    return d->lamps;
}

QList<int> HomeModel::thermostats() const
{
    QList<int> numbers;
    for (const Thermostat &t : qAsConst(d->thermostats))
        numbers.append(t.number);
    return numbers;
}

double HomeModel::temperature(int thermostat) const
{
    const int i = d->thermostatIndex(thermostat);
    return i < 0 ? 0.0 : d->thermostats.at(i).temperature;
}

int HomeModel::securityState() const
{
    return d->keypad.state();
}

bool HomeModel::writeRegisters(int firstRegister, const QVector<quint16> &values)
{
    const int index = firstRegister - d->options.registerOffset;
    if (index < 0 || values.isEmpty() || index + values.size() > d->regs.size())
        return false;
    // A copy, not mid(): a shared buffer would detach on the write below and leave the server's
    // pointer to the registers dangling.
    const QVector<quint16> before(d->regs.cbegin() + index,
                                  d->regs.cbegin() + index + values.size());
    std::copy(values.cbegin(), values.cend(), d->regs.begin() + index);
    registersWritten(firstRegister, before);
    return true;
}

void HomeModel::registersWritten(int firstRegister, const QVector<quint16> &before)
{
    const int index = firstRegister - d->options.registerOffset;
    const int count = before.size();
    Q_ASSERT(index >= 0 && index + count <= d->regs.size());
    if (index < 0 || count == 0 || index + count > d->regs.size())
        return;
    auto touched = [&](int word, int words = 1) {
        return index < word + words && word < index + count;
    };
    auto oldByte = [&](int a) {
        const int w = a / 2 - index;
        if (w < 0 || w >= count)
            return d->byte(a);
        return quint8(a % 2 ? before.at(w) >> 8 : before.at(w) & 0xFF);
    };
    bool handled = false;

    if (touched(kAlarmWord)) {
        d->writeAlarm();
        handled = true;
    }
    if (touched(kSoundWord)) {
        d->soundState(before, index);
        handled = true;
    }
    if (touched(kLightCommandWord, 2)) {
        d->lightCommand();
        handled = true;
    }
    if (touched(kHeatCommandWord)) {
        d->heatCommand();
        handled = true;
    }
    if (touched(kPasswordWord, 2)) {
        d->enterCode();
        handled = true;
    }
    if (touched(kTimeWord, 2)) {
        // Time synchronisation: the clock goes on from the written value.
        d->clockBase = d->dword(kStatusControllerTime);
        d->clockBaseMs = d->realMs;
        d->log(QStringLiteral("clock: set to %1 UTC")
                   .arg(QDateTime::fromSecsSinceEpoch(d->clockBase, Qt::UTC)
                            .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
        handled = true;
    }
    if (touched(kSceneAreaWord, kSceneAreaBytes / 2)) {
        const int first = std::max(index, kSceneAreaWord) - kSceneAreaWord;
        const int last =
            std::min(index + count, kSceneAreaWord + kSceneAreaBytes / 2) - kSceneAreaWord;
        // Word offsets in the area; a text is written as four words, a definition as five.
        for (int text = 0; text < kSceneTextCount; ++text) {
            const int word = kSceneTextWordStride * text;
            if (first < word + kSceneTextWriteBytes / kBytesPerRegister && word < last) {
                QByteArray bytes;
                for (int k = 0; k < kSceneTextBytes; ++k) {
                    const quint8 c =
                        d->byte(kBytesPerRegister * kSceneAreaWord + kSceneTextStride * text + k);
                    if (!c)
                        break;
                    bytes.append(char(c));
                }
                d->log(QStringLiteral("scenes: text %1 := \"%2\"")
                           .arg(text)
                           .arg(d->textCodec()->toUnicode(bytes)));
            }
        }
        for (int scene = 0; scene < kGlobalSceneCount; ++scene) {
            const int word = kGlobalSceneWord - kSceneAreaWord + kGlobalSceneWordStride * scene;
            if (first < word + kGlobalSceneWordStride && word < last)
                d->log(QStringLiteral("scenes: global scene definition %1 written").arg(scene));
        }
        handled = true;
    }
    for (int lamp : qAsConst(d->lamps)) {
        const int a = lampAddress(lamp);
        if (!touched(a / 2, kLampRecordBytes / 2))
            continue;
        QByteArray old(kLampRecordBytes, 0);
        for (int k = 0; k < kLampRecordBytes; ++k)
            old[k] = char(oldByte(a + k));
        d->logLampChanges(lamp, old);
        handled = true;
    }
    bool thermostatTouched = false;
    for (const Thermostat &t : qAsConst(d->thermostats)) {
        const int a = thermostatAddress(t.number);
        if (!touched(a / 2, kThermostatRecordBytes / 2))
            continue;
        thermostatTouched = true;
        handled = true;
        const int setPoint = a + kThermostatSetPoint;
        if (d->byte(setPoint) != oldByte(setPoint))
            d->log(QStringLiteral("thermostat %1: set-point %2 C")
                       .arg(t.number)
                       .arg(d->byte(setPoint) * kTemperatureStep, 0, 'f', 1));
    }
    // Measured temperature and heating level are the controller's: a read-modify-write of the
    // record must not leave the panel's stale copy of them behind.
    if (thermostatTouched)
        d->publishThermostats();
    if (!handled && !d->eventWrite) {
        d->log(
            count == 1
                ? QStringLiteral("memory: word %1 written").arg(index)
                : QStringLiteral("memory: words %1..%2 written").arg(index).arg(index + count - 1));
    }
}

void HomeModel::advanceTo(qint64 elapsedMs)
{
    if (elapsedMs < d->realMs)
        return;
    const qint64 realDelta = elapsedMs - d->realMs;
    d->realMs = elapsedMs;
    const double simDelta = double(realDelta) * d->options.speed;
    const double target = d->simMs + simDelta;

    // Integrate in steps of at most one simulated second; a long pause takes coarser steps
    // instead of an unbounded loop.
    const double totalS = simDelta / 1000.0;
    const int steps = int(std::min<double>(std::ceil(totalS), kMaxStepsPerAdvance));
    if (steps > 0) {
        const double step = totalS / steps;
        for (int i = 0; i < steps; ++i)
            d->stepThermostats(step);
    }
    d->simMs = target;
    int paramSteps = 0;
    while (d->nextParamStepMs <= qint64(d->simMs) && paramSteps++ < kMaxStepsPerAdvance) {
        d->stepParameters();
        d->nextParamStepMs += 1000;
    }
    if (d->nextParamStepMs <= qint64(d->simMs))
        d->nextParamStepMs = qint64(d->simMs) + 1000;

    for (auto it = d->motionOffAt.begin(); it != d->motionOffAt.end();) {
        if (it.value() <= d->simMs) {
            const int lamp = it.key();
            it = d->motionOffAt.erase(it);
            if (d->lampOn(lamp)) {
                d->setLampOn(lamp, false);
                d->log(QStringLiteral("motion: lamp %1 off, nobody moved for the hold time")
                           .arg(lamp));
            }
        } else {
            ++it;
        }
    }
    if (d->keypad.advance(qint64(d->simMs)))
        d->publishSecurity();
    d->rotateMessages();
    d->publishClock();
    d->publishParameters();
    d->publishThermostats();
}

bool HomeModel::applyEvent(const ScenarioEvent &event, QString *error)
{
    using Type = ScenarioEvent::Type;
    switch (event.type) {
    case Type::Switch: {
        const int n = event.number;
        QList<int> bound;
        bool anyOn = false;
        QMap<int, int> sceneRooms; // room -> scene
        for (int lamp : qAsConst(d->lamps)) {
            for (int k = kLampSwitch1; k <= kLampSwitch3; ++k) {
                if (d->lampByte(lamp, k) == n) {
                    bound.append(lamp);
                    anyOn |= d->lampOn(lamp);
                    break;
                }
            }
            if (d->lampByte(lamp, kLampSceneSwitch) == n)
                sceneRooms.insert(d->lampByte(lamp, kLampRoom),
                                  d->lampByte(lamp, kLampSceneNumber));
        }
        // One press brings every bound lamp to the same state: off if any was on.
        d->switchAll(bound, !anyOn);
        if (!bound.isEmpty())
            d->log(QStringLiteral("switch %1: lamps %2 %3")
                       .arg(n)
                       .arg(joinNumbers(bound), onOff(!anyOn)));
        for (auto it = sceneRooms.constBegin(); it != sceneRooms.constEnd(); ++it) {
            if (it.value() >= kFirstSceneCommand && it.value() <= kLastSceneCommand)
                d->miniScene(it.key(), it.value());
            else
                d->log(QStringLiteral("switch %1: scene switch without a valid scene (%2)")
                           .arg(n)
                           .arg(it.value()));
        }
        if (bound.isEmpty() && sceneRooms.isEmpty())
            d->log(QStringLiteral("switch %1: no lamp is bound to it").arg(n));
        return true;
    }
    case Type::Motion: {
        const int n = event.number;
        const QString intrusion = d->keypad.intrusion(qint64(d->simMs));
        if (!intrusion.isEmpty()) {
            d->log(QStringLiteral("security: %1 (sensor %2)").arg(intrusion).arg(n));
            d->publishSecurity();
        }
        QList<int> lit;
        for (int lamp : qAsConst(d->lamps)) {
            if (d->lampByte(lamp, kLampSensor) != n ||
                !(d->lampByte(lamp, kLampState) & kLampSensorBit))
                continue;
            d->setLampOn(lamp, true);
            d->motionOffAt.insert(lamp, d->simMs + double(d->options.motionHoldMs));
            lit.append(lamp);
        }
        d->log(
            lit.isEmpty()
                ? QStringLiteral("motion at sensor %1: no lamp under sensor control").arg(n)
                : QStringLiteral("motion at sensor %1: lamps %2 on").arg(n).arg(joinNumbers(lit)));
        return true;
    }
    case Type::Intrusion: {
        const QString what = d->keypad.intrusion(qint64(d->simMs));
        d->log(what.isEmpty() ? QStringLiteral("security: intrusion while not armed, ignored")
                              : QStringLiteral("security: %1").arg(what));
        if (!what.isEmpty())
            d->publishSecurity();
        return true;
    }
    case Type::AlarmOn:
    case Type::MessageOn:
        d->raise(event.number, event.type == Type::AlarmOn, event.value, event.sound);
        return true;
    case Type::AlarmOff:
    case Type::MessageOff:
        d->clear(event.number);
        return true;
    case Type::SetByte:
    case Type::SetWord: {
        const int address = event.type == Type::SetByte ? event.number : 2 * event.number;
        if (!d->inImage(address, event.type == Type::SetByte ? 1 : 2)) {
            if (error)
                *error =
                    QStringLiteral("address %1 lies outside the register image").arg(event.number);
            return false;
        }
        // Goes through the same path as a written register, so a command word set this way is
        // executed as if the panel had written it.
        quint16 value = d->regs.at(address / 2);
        if (event.type == Type::SetWord)
            value = quint16(event.value);
        else if (address % 2)
            value = quint16((value & 0x00FF) | (event.value << 8));
        else
            value = quint16((value & 0xFF00) | event.value);
        d->eventWrite = true;
        const bool written = writeRegisters(d->options.registerOffset + address / 2, {value});
        d->eventWrite = false;
        return written;
    }
    case Type::SetParameter:
    case Type::ParameterAuto: {
        Parameter &p = d->params[event.number - 1];
        p.pinned = event.type == Type::SetParameter;
        p.pinnedValue = event.physical;
        d->publishParameters();
        d->log(p.pinned
                   ? QStringLiteral("parameter %1 held at %2").arg(event.number).arg(event.physical)
                   : QStringLiteral("parameter %1 moves freely").arg(event.number));
        return true;
    }
    case Type::None:
        return true;
    case Type::Disconnect:
    case Type::Silence:
    case Type::Repeat:
    case Type::Quit:
        break;
    }
    if (error)
        *error = QStringLiteral("%1 is not a home event").arg(event.describe());
    return false;
}
