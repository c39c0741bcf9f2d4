// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QScopedPointer>
#include <QString>

#include <functional>

class HomeModel;
class Scenario;
struct ModbusServerPrivate;

// Serves a HomeModel over Modbus TCP to any number of clients from one select loop, plays a
// scenario, reads control lines from standard input and injects the network faults (dropping
// every connection, not answering) that scenarios ask for.
class ModbusServer
{
public:
    struct Options
    {
        QString address = QStringLiteral("127.0.0.1");
        int port = 1502;               // 0 picks a free port; port() tells which
        int tickMs = 100;              // how often the physics and the scenario move on
        int controlFd = 0;             // control lines, -1 for none
        bool stopOnControlEnd = false; // end of the control input stops the server
        bool logReads = false;         // log every read request ("read ADDR COUNT")
    };
    using Logger = std::function<void(const QString &)>;

    ModbusServer(HomeModel *model, const Options &options);
    ~ModbusServer();

    void setLogger(Logger logger);
    void setScenario(Scenario *scenario); // not owned

    bool listen(QString *error);
    int port() const;

    // Runs until stop() or a "quit" event, or until `wakeFd` (a pipe the signal handlers write
    // to) becomes readable. Returns 0 after a clean stop.
    int run(int wakeFd = -1);
    void stop();

private:
    QScopedPointer<ModbusServerPrivate> d;
};
