// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

struct BridgeSettings;

// An MQTT client on libmosquitto. A network thread of its own runs the library's loop: it
// connects, reconnects with backoff after any failure (TLS ones too), sends and receives; what it
// reports reaches this object's thread as queued signals, and publish() only hands the message
// to the library, so nothing here waits on the network.
class MqttClient : public QObject
{
    Q_OBJECT
public:
    explicit MqttClient(QObject *parent = nullptr);
    ~MqttClient() override;

    // Starts connecting (asynchronously) as settings.clientIdOnBroker(), with the last will
    // `willPayload` retained at `willTopic`. False with errorString() when the settings cannot be
    // used (a certificate without its key, a TLS file that cannot be read, a library failure); a
    // broker that is not there is no failure: the network thread keeps trying with growing delays.
    bool start(const BridgeSettings &settings, const QString &willTopic,
               const QByteArray &willPayload);
    // Publishes `payload` and then disconnects cleanly (the will is not sent), waiting at most
    // `timeoutMs` for the message to leave; stops the network thread.
    void stop(const QString &lastTopic = QString(), const QByteArray &lastPayload = QByteArray(),
              int timeoutMs = 2000);

    // Incoming messages with a longer payload are refused in the network thread before any copy
    // of ours is made (payloadRefused() instead of messageReceived()): `commandBytes` on command
    // topics (those ending in "/set"), `otherBytes` elsewhere. Any thread.
    void setMaxPayloadBytes(int commandBytes, int otherBytes);

    bool isConnected() const;
    QString errorString() const;

    // Any thread. Queued in the library; lost if the connection is down (the owner re-publishes
    // what matters after connected()).
    bool publish(const QString &topic, const QByteArray &payload, bool retain, int qos = 0);
    bool subscribe(const QString &pattern, int qos = 0);

signals:
    void connected();
    // `reason` is the broker's refusal code or the library's error number; 0 after stop().
    void disconnected(int reason);
    // `retained`: the broker kept the message and hands it out again (on subscribing, or because
    // its sender asked for it).
    void messageReceived(const QString &topic, const QByteArray &payload, bool retained);
    void payloadRefused(const QString &topic, qint64 bytes);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
