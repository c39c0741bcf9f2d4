// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QList>
#include <QScopedPointer>
#include <QString>
#include <QVector>

#include <functional>

class HomeConfig;
struct ScenarioEvent;
struct HomeModelPrivate;

// The simulated home behind the controller's register image: lamps, switches, motion sensors,
// thermostats, security keypad, messages, parameters and the clock. It owns the registers the
// Modbus server serves, reacts to the words the panel writes and moves the physics on when asked.
// Time comes from the caller (milliseconds since the model started), so tests can drive it.
class HomeModel
{
public:
    struct Options
    {
        int registerOffset = 0; // register of word 0
        double speed = 1.0;     // simulation seconds per real second
        quint32 seed = 1;
        qint64 motionHoldMs = 60000; // simulation time a motion keeps its lamps on
        qint64 armDelayMs = 10000;   // arming countdown and entry delay, simulation time
        qint64 noticeMs = 2000;      // how long "Wrong pass!" and the like stay on display
        quint32 userCode = 1234;
        qint64 startEpoch = -1; // controller clock at start, seconds since 1970; -1 = now
    };
    using Logger = std::function<void(const QString &)>;

    HomeModel(const HomeConfig &config, const Options &options);
    ~HomeModel();

    void setLogger(Logger logger);

    // Register image; index 0 is register `registerOffset()`.
    quint16 *registers();
    int registerCount() const;
    int registerOffset() const;

    // Bytes and words of the image counted from word 0; out-of-range reads give 0.
    quint8 byte(int address) const;
    quint16 word(int n) const;
    quint32 dword(int address) const;

    // Reacts to registers that were just written (by the Modbus server); `before` holds their old
    // values. `firstRegister` is an absolute register number.
    void registersWritten(int firstRegister, const QVector<quint16> &before);
    // Writes and reacts, as a function 16 request would. False if the range is outside the image.
    bool writeRegisters(int firstRegister, const QVector<quint16> &values);

    void advanceTo(qint64 elapsedMs);
    // Home events of scenarios and the control channel; the network faults are the server's.
    bool applyEvent(const ScenarioEvent &event, QString *error = nullptr);

    QList<int> lamps() const;
    QList<int> thermostats() const;
    double temperature(int thermostat) const;
    int securityState() const;

    static int lampAddress(int lamp);
    static int thermostatAddress(int thermostat);

private:
    QScopedPointer<HomeModelPrivate> d;
};
