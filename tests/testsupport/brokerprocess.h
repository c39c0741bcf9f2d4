// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QHash>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// One Mosquitto broker for a test, on a free loopback port, keeping nothing on disk. Extra lines
// of its configuration (a password file, TLS files) go after the listener line. Stopped when the
// helper goes; restart() brings it back on the same port.
class BrokerProcess
{
public:
    BrokerProcess();
    ~BrokerProcess();
    BrokerProcess(const BrokerProcess &) = delete;
    BrokerProcess &operator=(const BrokerProcess &) = delete;

    // Whether the mosquitto program is installed (tests skip without it).
    static bool available();

    bool start(const QStringList &extraConfig = {}, int timeoutMs = 10000);
    bool restart(int timeoutMs = 10000);
    // Kills the broker at once (no clean shutdown): clients see the connection drop.
    void kill();
    void stop();
    bool isRunning() const;
    int port() const { return m_port; }
    QString errorString() const { return m_error; }
    QString folder() const { return m_dir.path(); }

private:
    QProcess m_process;
    QTemporaryDir m_dir;
    QStringList m_extra;
    QString m_error;
    int m_port = 0;
};

// A mosquitto_sub process watching topics of a broker: every message is kept as topic and
// payload, and the last payload of each topic is at hand.
class BrokerWatcher
{
public:
    BrokerWatcher();
    ~BrokerWatcher();
    // Subscribes to `topics` (and a topic of its own it uses to know it is listening); true once
    // it hears its own marker.
    bool start(int port, const QStringList &topics, const QStringList &extraArgs = {},
               int timeoutMs = 10000);
    void stop();

    struct Message
    {
        QString topic;
        QByteArray payload;
    };
    // Reads what has arrived without waiting.
    QList<Message> messages();
    QHash<QString, QByteArray> latest();
    // Whether some message so far has this topic and payload (payload null: any payload).
    bool seen(const QString &topic, const QByteArray &payload = QByteArray());
    int count(const QString &topic);

private:
    void poll();
    QProcess m_process;
    QByteArray m_buffer;
    QList<Message> m_messages;
};

// Publishes one message with an independent mosquitto_pub process; true when it exited with 0.
bool publishWithClient(int port, const QString &topic, const QByteArray &payload,
                       const QStringList &extraArgs = {});
