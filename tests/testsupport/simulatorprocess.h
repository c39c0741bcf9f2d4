// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

// One home controller simulator process for a test, listening on a free loopback port that it
// picks itself. The simulator is always stopped: when the helper goes away (also when a check
// failed half-way and the test function returned early), and by the simulator itself when this
// test process dies, because it is started with --stop-on-eof and its input closes then.
class SimulatorProcess
{
public:
    // `program` is the simulator's executable (tests get it as HOMESIM_PATH from their build).
    explicit SimulatorProcess(const QString &program);
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess &) = delete;
    SimulatorProcess &operator=(const SimulatorProcess &) = delete;

    // Starts the simulator with "--listen 127.0.0.1:0 --stop-on-eof" and the given arguments and
    // waits until it prints the port it listens on. False (with errorString()) if it does not
    // come up within the timeout; a simulator that started but never listened is stopped.
    bool start(const QStringList &arguments = {}, int timeoutMs = 15000);
    // Terminates the simulator and waits for it (killing it if it does not go); harmless when it
    // is not running.
    void stop();
    bool isRunning() const;

    int port() const;
    QString errorString() const;

    // Writes one line to the simulator's control channel (its standard input).
    void send(const QByteArray &line);
    // Standard output lines so far, reading what has arrived without waiting.
    QStringList output();
    // Whether an output line so far matches the regular expression.
    bool logged(const QString &pattern);

    QProcess &process();

private:
    QProcess m_process;
    QStringList m_output;
    QString m_error;
    int m_port = 0;
};
