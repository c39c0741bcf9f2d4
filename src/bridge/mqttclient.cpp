// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "mqttclient.h"

#include "bridgelogging.h"
#include "bridgesettings.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <mosquitto.h>
#include <mqtt_protocol.h>
#include <mutex>
#include <thread>

namespace {

constexpr int kKeepAliveSeconds = 30;
// Reconnect backoff of the network thread: 1 s, doubling, at most 30 s.
constexpr unsigned kReconnectFirstSeconds = 1;
constexpr unsigned kReconnectMaxSeconds = 30;
// How long one round of the network loop waits for traffic before it looks at its timers.
constexpr int kLoopTimeoutMs = 1000;

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
    std::thread network;
    std::atomic<bool> running{false};
    std::mutex wakeMutex;
    std::condition_variable wake;
    std::atomic<bool> connected{false};
    // A connection that fails before it is up (TLS handshake, a broker that hangs up) is
    // reported once until the next success, not at every retry.
    std::atomic<bool> failureReported{false};
    std::atomic<int> pending{0};
    std::atomic<int> maxCommandPayload{std::numeric_limits<int>::max()};
    std::atomic<int> maxOtherPayload{std::numeric_limits<int>::max()};
    // MQTT 5 where the broker speaks it: only then does a retained message sent while we are
    // subscribed arrive with its retain flag (retain-as-published). Falls back to 3.1.1.
    std::atomic<int> protocol{MQTT_PROTOCOL_V5};
    QString error;

    // The network thread. Not the library's own loop: that one ends for good on a "fatal" error
    // (a TLS handshake the broker's certificate fails, a protocol error), and the bridge would
    // never connect again without a word. Here every failure is reported once and followed by a
    // new attempt after a growing pause.
    void runNetwork(MqttClient *self);
    void reportFailure(MqttClient *self, int rc);
};

void MqttClient::Private::reportFailure(MqttClient *self, int rc)
{
    const bool was = connected.exchange(false);
    const bool first = !failureReported.exchange(true);
    if (was || first)
        QMetaObject::invokeMethod(
            self, [self, rc] { emit self->disconnected(rc); }, Qt::QueuedConnection);
}

void MqttClient::Private::runNetwork(MqttClient *self)
{
    unsigned delay = kReconnectFirstSeconds;
    while (running) {
        const int rc = mosquitto_loop(mosq, kLoopTimeoutMs, 1);
        if (!running)
            break;
        if (rc == MOSQ_ERR_SUCCESS) {
            if (connected)
                delay = kReconnectFirstSeconds;
            continue;
        }
        reportFailure(self, rc);
        {
            std::unique_lock<std::mutex> lock(wakeMutex);
            wake.wait_for(lock, std::chrono::seconds(delay), [this] { return !running; });
        }
        delay = qMin(delay * 2, kReconnectMaxSeconds);
        if (running)
            mosquitto_reconnect(mosq); // how it went shows in the next round
    }
}

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
    const QString problem = settings.problem();
    if (!problem.isEmpty()) {
        d->error = problem;
        return false;
    }
    const QByteArray clientId = settings.clientIdOnBroker().toUtf8();
    d->mosq = mosquitto_new(clientId.constData(), true, this);
    if (!d->mosq) {
        d->error = QStringLiteral("cannot create the MQTT client");
        return false;
    }
    // Publishing and subscribing come from the owner's thread while the network thread loops.
    mosquitto_threaded_set(d->mosq, true);
    d->protocol = MQTT_PROTOCOL_V5;
    mosquitto_int_option(d->mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);

    // The callbacks run in the library's network thread: they only queue signals.
    mosquitto_connect_callback_set(d->mosq, [](mosquitto *mosq, void *obj, int rc) {
        auto *self = static_cast<MqttClient *>(obj);
        if (self->d->protocol == MQTT_PROTOCOL_V5 && (rc == MQTT_RC_UNSUPPORTED_PROTOCOL_VERSION ||
                                                      rc == CONNACK_REFUSED_PROTOCOL_VERSION)) {
            // An older broker: the next attempt of the network thread speaks 3.1.1.
            self->d->protocol = MQTT_PROTOCOL_V311;
            mosquitto_int_option(mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
            qCWarning(lcBridge, "the broker does not speak MQTT 5; using 3.1.1, where a retained "
                                "command is recognised only when it is replayed");
        }
        if (rc == 0) {
            self->d->connected = true;
            self->d->failureReported = false;
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
        const bool first = !self->d->failureReported.exchange(true);
        // rc 0 is a disconnect we asked for.
        if (was || (rc != 0 && first))
            QMetaObject::invokeMethod(
                self, [self, rc] { emit self->disconnected(rc); }, Qt::QueuedConnection);
    });
    mosquitto_publish_callback_set(
        d->mosq, [](mosquitto *, void *obj, int) { --static_cast<MqttClient *>(obj)->d->pending; });
    mosquitto_message_callback_set(
        d->mosq, [](mosquitto *, void *obj, const mosquitto_message *message) {
            auto *self = static_cast<MqttClient *>(obj);
            const QString topic = QString::fromUtf8(message->topic);
            // The size first: an oversized payload is never copied by us, not even once.
            const qint64 length = message->payloadlen;
            const bool command = topic.endsWith(QLatin1String("/set"));
            if (length > (command ? self->d->maxCommandPayload : self->d->maxOtherPayload)) {
                QMetaObject::invokeMethod(
                    self, [self, topic, length] { emit self->payloadRefused(topic, length); },
                    Qt::QueuedConnection);
                return;
            }
            const QByteArray payload(static_cast<const char *>(message->payload),
                                     int(qMax<qint64>(0, length)));
            const bool retained = message->retain;
            QMetaObject::invokeMethod(
                self,
                [self, topic, payload, retained] {
                    emit self->messageReceived(topic, payload, retained);
                },
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
        // No CA of its own: the broker's certificate is checked against the system's store, never
        // not at all.
        const QByteArray ca = settings.tlsCa.toLocal8Bit();
        const QByteArray cert = settings.tlsCert.toLocal8Bit();
        const QByteArray key = settings.tlsKey.toLocal8Bit();
        int rc = mosquitto_tls_set(d->mosq, ca.isEmpty() ? nullptr : ca.constData(),
                                   ca.isEmpty() ? BridgeSettings::kSystemCaPath : nullptr,
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

    const QByteArray host = settings.host.toUtf8();
    const int rc =
        mosquitto_connect_async(d->mosq, host.constData(), settings.port, kKeepAliveSeconds);
    if (rc != MOSQ_ERR_SUCCESS)
        qCWarning(lcBridge, "broker %s:%d: %s; retrying", host.constData(), settings.port,
                  mosquitto_strerror(rc));
    d->running = true;
    d->network = std::thread([this] { d->runNetwork(this); });
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
    // A disconnect we asked for is no loss to report; a thread waiting to reconnect is woken.
    d->connected = false;
    d->failureReported = true;
    {
        std::lock_guard<std::mutex> lock(d->wakeMutex);
        d->running = false;
    }
    d->wake.notify_all();
    mosquitto_disconnect(d->mosq);
    if (d->network.joinable())
        d->network.join();
    mosquitto_destroy(d->mosq);
    d->mosq = nullptr;
}

void MqttClient::setMaxPayloadBytes(int commandBytes, int otherBytes)
{
    d->maxCommandPayload = qMax(0, commandBytes);
    d->maxOtherPayload = qMax(0, otherBytes);
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
    if (d->protocol == MQTT_PROTOCOL_V5)
        return mosquitto_subscribe_v5(d->mosq, nullptr, p.constData(), qos,
                                      MQTT_SUB_OPT_RETAIN_AS_PUBLISHED,
                                      nullptr) == MOSQ_ERR_SUCCESS;
    return mosquitto_subscribe(d->mosq, nullptr, p.constData(), qos) == MOSQ_ERR_SUCCESS;
}
