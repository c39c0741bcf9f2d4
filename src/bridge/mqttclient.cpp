// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "mqttclient.h"

#include "bridgelogging.h"
#include "bridgesettings.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <atomic>
#include <mosquitto.h>

namespace {

constexpr int kKeepAliveSeconds = 30;
// Reconnect backoff of the network thread: 1 s, doubling, at most 30 s.
constexpr unsigned kReconnectFirstSeconds = 1;
constexpr unsigned kReconnectMaxSeconds = 30;

struct LibraryInit
{
    LibraryInit() { mosquitto_lib_init(); }
    ~LibraryInit() { mosquitto_lib_cleanup(); }
};

void initLibrary()
{
    static LibraryInit init;
}

} // namespace

struct MqttClient::Private
{
    mosquitto *mosq = nullptr;
    bool loopRunning = false;
    std::atomic<bool> connected{false};
    std::atomic<int> pending{0};
    QString error;
};

MqttClient::MqttClient(QObject *parent) : QObject(parent), d(std::make_unique<Private>()) {}

MqttClient::~MqttClient()
{
    stop();
}

bool MqttClient::start(const BridgeSettings &settings, const QString &willTopic,
                       const QByteArray &willPayload)
{
    if (d->mosq)
        return true;
    initLibrary();
    const QByteArray clientId = settings.clientId.toUtf8();
    d->mosq = mosquitto_new(clientId.constData(), true, this);
    if (!d->mosq) {
        d->error = QStringLiteral("cannot create the MQTT client");
        return false;
    }
    mosquitto_int_option(d->mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);

    // The callbacks run in the library's network thread: they only queue signals.
    mosquitto_connect_callback_set(d->mosq, [](mosquitto *, void *obj, int rc) {
        auto *self = static_cast<MqttClient *>(obj);
        if (rc == 0) {
            self->d->connected = true;
            QMetaObject::invokeMethod(
                self, [self] { emit self->connected(); }, Qt::QueuedConnection);
        } else {
            QMetaObject::invokeMethod(
                self, [self, rc] { emit self->disconnected(rc); }, Qt::QueuedConnection);
        }
    });
    mosquitto_disconnect_callback_set(d->mosq, [](mosquitto *, void *obj, int rc) {
        auto *self = static_cast<MqttClient *>(obj);
        const bool was = self->d->connected.exchange(false);
        if (was)
            QMetaObject::invokeMethod(
                self, [self, rc] { emit self->disconnected(rc); }, Qt::QueuedConnection);
    });
    mosquitto_publish_callback_set(
        d->mosq, [](mosquitto *, void *obj, int) { --static_cast<MqttClient *>(obj)->d->pending; });
    mosquitto_message_callback_set(
        d->mosq, [](mosquitto *, void *obj, const mosquitto_message *message) {
            auto *self = static_cast<MqttClient *>(obj);
            const QString topic = QString::fromUtf8(message->topic);
            const QByteArray payload(static_cast<const char *>(message->payload),
                                     qMax(0, message->payloadlen));
            QMetaObject::invokeMethod(
                self, [self, topic, payload] { emit self->messageReceived(topic, payload); },
                Qt::QueuedConnection);
        });

    if (!settings.user.isEmpty()) {
        const QByteArray user = settings.user.toUtf8();
        const QByteArray password = settings.password.toUtf8();
        mosquitto_username_pw_set(d->mosq, user.constData(),
                                  password.isEmpty() ? nullptr : password.constData());
    }
    if (settings.tls()) {
        for (const QString &file : {settings.tlsCa, settings.tlsCert, settings.tlsKey}) {
            if (!file.isEmpty() && !QFileInfo(file).isReadable()) {
                d->error = QStringLiteral("cannot read the TLS file ") + file;
                return false;
            }
        }
        const QByteArray ca = settings.tlsCa.toLocal8Bit();
        const QByteArray cert = settings.tlsCert.toLocal8Bit();
        const QByteArray key = settings.tlsKey.toLocal8Bit();
        int rc = mosquitto_tls_set(d->mosq, ca.constData(), nullptr,
                                   cert.isEmpty() ? nullptr : cert.constData(),
                                   key.isEmpty() ? nullptr : key.constData(), nullptr);
        // The broker's certificate must name the host we connect to.
        if (rc == MOSQ_ERR_SUCCESS)
            rc = mosquitto_tls_insecure_set(d->mosq, false);
        if (rc != MOSQ_ERR_SUCCESS) {
            d->error =
                QStringLiteral("TLS setup failed: ") + QString::fromUtf8(mosquitto_strerror(rc));
            return false;
        }
    }
    const QByteArray will = willTopic.toUtf8();
    if (!will.isEmpty())
        mosquitto_will_set(d->mosq, will.constData(), willPayload.size(), willPayload.constData(),
                           1, true);
    mosquitto_reconnect_delay_set(d->mosq, kReconnectFirstSeconds, kReconnectMaxSeconds, true);

    const QByteArray host = settings.host.toUtf8();
    const int rc =
        mosquitto_connect_async(d->mosq, host.constData(), settings.port, kKeepAliveSeconds);
    if (rc != MOSQ_ERR_SUCCESS)
        qCWarning(lcBridge, "broker %s:%d: %s; retrying", host.constData(), settings.port,
                  mosquitto_strerror(rc));
    if (mosquitto_loop_start(d->mosq) != MOSQ_ERR_SUCCESS) {
        d->error = QStringLiteral("cannot start the MQTT network thread");
        return false;
    }
    d->loopRunning = true;
    return true;
}

void MqttClient::stop(const QString &lastTopic, const QByteArray &lastPayload, int timeoutMs)
{
    if (!d->mosq)
        return;
    if (d->connected && !lastTopic.isEmpty()) {
        publish(lastTopic, lastPayload, true, 1);
        // Let the network thread send it (and everything before it) before we disconnect.
        QElapsedTimer waited;
        waited.start();
        while (d->pending > 0 && waited.elapsed() < timeoutMs)
            QThread::msleep(10);
    }
    // A disconnect we asked for is no loss to report; a thread still waiting to reconnect is
    // cancelled rather than waited for.
    const bool wasConnected = d->connected.exchange(false);
    mosquitto_disconnect(d->mosq);
    if (d->loopRunning)
        mosquitto_loop_stop(d->mosq, !wasConnected);
    d->loopRunning = false;
    mosquitto_destroy(d->mosq);
    d->mosq = nullptr;
}

bool MqttClient::isConnected() const
{
    return d->connected;
}

QString MqttClient::errorString() const
{
    return d->error;
}

bool MqttClient::publish(const QString &topic, const QByteArray &payload, bool retain, int qos)
{
    if (!d->mosq || !d->connected)
        return false;
    const QByteArray t = topic.toUtf8();
    ++d->pending;
    const int rc =
        mosquitto_publish(d->mosq, nullptr, t.constData(), payload.size(),
                          payload.isEmpty() ? nullptr : payload.constData(), qos, retain);
    if (rc != MOSQ_ERR_SUCCESS) {
        --d->pending;
        return false;
    }
    return true;
}

bool MqttClient::subscribe(const QString &pattern, int qos)
{
    if (!d->mosq)
        return false;
    const QByteArray p = pattern.toUtf8();
    return mosquitto_subscribe(d->mosq, nullptr, p.constData(), qos) == MOSQ_ERR_SUCCESS;
}
