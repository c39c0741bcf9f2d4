// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "mqttbridge.h"

#include "baseroomv1.h"
#include "bridgecatalog.h"
#include "bridgecommandbudget.h"
#include "bridgecommandparser.h"
#include "bridgecommandthrottle.h"
#include "bridgekeypadguard.h"
#include "bridgelogging.h"
#include "bridgerefusallog.h"
#include "controlerdata.h"
#include "controllermap.h"
#include "dynamiccontrolv1.h"
#include "heatcontrolv1.h"
#include "lightcontrolv1.h"
#include "linkcommands.h"
#include "mqttclient.h"
#include "sensorcontrolv1.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSet>
#include <QTimer>

#include <utility>

using Source = BridgeEntity::Source;

namespace {

// Sensors are sent again now and then even when unchanged, so a hub that lost a message or
// started after a retained one was dropped catches up.
constexpr int kSensorRefreshMs = 5 * 60 * 1000;
// The clock-driven work (log summaries, the keypad's outcome wait) is looked at this often.
constexpr int kHousekeepingMs = 1000;
// What the link waits for an answer unless the bridge is told its link's wait.
constexpr int kDefaultAnswerWaitMs = 5000;
// Another client overwriting a topic of ours gets it back, at most this often per topic.
constexpr qint64 kRestoreIntervalMs = 1000;
// The largest message on the bridge's own topics it reads back (the entity list of a big home is
// tens of kilobytes).
constexpr int kMaxOwnTopicBytes = 1024 * 1024;
// Retained command topics logged once each; a flood of new ones is not remembered forever.
constexpr int kMaxRetainedTopicsLogged = 256;
// Every sub-topic an entity may have published a retained state on.
const char *const kStateLevels[] = {"state",  "brightness", "current",
                                    "target", "mode",       "attributes"};
namespace Security = ControllerMap::Security;

// What a hub's alarm panel calls a security state the controller reports.
QByteArray panelState(int code)
{
    switch (code) {
    case Security::Disarmed:
        return "disarmed";
    case Security::Armed:
        return "armed_away";
    case Security::EnterPass:
        return "pending";
    case Security::Alarm:
        return "triggered";
    case Security::Countdown:
    case Security::Arming:
        return "arming";
    case Security::Disarming:
        return "disarming";
    default:
        return QByteArray();
    }
}

QByteArray onOff(bool on)
{
    return on ? QByteArrayLiteral("ON") : QByteArrayLiteral("OFF");
}

QByteArray number(double v)
{
    return QByteArray::number(v, 'g', 10);
}

QByteArray online(bool on)
{
    return on ? QByteArrayLiteral("online") : QByteArrayLiteral("offline");
}

} // namespace

struct MqttBridge::Private
{
    BridgeSettings settings;
    BridgeCatalog catalog;
    MqttClient client;
    ControlerData *link = nullptr;
    LinkCommands *commands = nullptr;
    BridgeRefusalLog refusals;
    BridgeCommandThrottle throttle;
    BridgeCommandBudget budget;
    BridgeKeypadGuard keypad;
    QElapsedTimer elapsed;
    std::function<qint64()> clock;
    QTimer sensorRefresh;
    QTimer housekeeping;
    // Runs out when the controller has not answered for one answer wait.
    QTimer answerWatch;
    int answerWaitMs = -1;
    bool answering = false;
    // What came of the last code a hub sent; shown with the lockout in the security attributes.
    QString lastCodeResult;
    QString lockedUntilText;
    QSet<QString> retainedLogged;
    QHash<QString, qint64> restoredAt;
    QSet<QString> restoreDue;
    // Own topics whose message of this connection has come back: until then what arrives there
    // is the copy the broker kept from before, which ours is about to replace anyway.
    QSet<QString> echoed;
    QTimer restoreTimer;
    bool brokerUp = false;
    // Last payload sent per state topic: states go out on change only.
    QHash<QString, QByteArray> sent;
    bool oldListSeen = false;
    ReservVariables status;
    bool haveStatus = false;
    bool haveControls = false;

    QString nodeBase() const { return settings.prefix % QLatin1Char('/') % settings.node(); }
    QString listTopic() const { return nodeBase() % QLatin1String("/entities"); }
    QString discoveryTopic(const QString &component, const QString &uniqueId) const
    {
        return settings.discoveryPrefix % QLatin1Char('/') % component % QLatin1Char('/') %
               settings.node() % QLatin1Char('/') % uniqueId % QLatin1String("/config");
    }
    QString base(const BridgeEntity &e) const
    {
        return BridgeCatalog::entityBase(settings.prefix, settings.node(), e);
    }
    QString availabilityTopic() const
    {
        return BridgeCatalog::controllerAvailabilityTopic(settings.prefix, settings.node());
    }
    QString securityBase() const { return nodeBase() % QLatin1String("/security"); }
    qint64 now() const { return clock ? clock() : elapsed.elapsed(); }
};

MqttBridge::MqttBridge(const BridgeSettings &settings, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>())
{
    d->settings = settings;
    d->budget = BridgeCommandBudget(settings.commandBudget);
    d->elapsed.start();
    // A command never needs more; the check runs before the payload is copied at all. The
    // bridge's own topics (its entity list, states) hold more, but never megabytes.
    d->client.setMaxPayloadBytes(BridgeCommandParser::kMaxPayloadBytes, kMaxOwnTopicBytes);
    connect(&d->client, &MqttClient::connected, this, &MqttBridge::onConnected);
    connect(&d->client, &MqttClient::messageReceived, this, &MqttBridge::handleMessage);
    connect(&d->client, &MqttClient::payloadRefused, this,
            [this](const QString &topic, qint64 bytes) {
                refuse(topic, QStringLiteral("payload of %1 bytes too large").arg(bytes));
            });
    connect(&d->client, &MqttClient::disconnected, this, [this](int reason) {
        d->brokerUp = false;
        qCWarning(lcBridge, "broker connection lost or refused (%d); reconnecting", reason);
        emit brokerDisconnected(reason);
    });
    d->housekeeping.setInterval(kHousekeepingMs);
    connect(&d->housekeeping, &QTimer::timeout, this, &MqttBridge::housekeeping);
    d->answerWatch.setSingleShot(true);
    connect(&d->answerWatch, &QTimer::timeout, this, [this] {
        qCWarning(lcBridge,
                  "the controller has not answered for %d ms: its values are marked "
                  "unavailable",
                  d->answerWatch.interval());
        setControllerAnswering(false);
    });
    d->restoreTimer.setSingleShot(true);
    connect(&d->restoreTimer, &QTimer::timeout, this, [this] {
        const QSet<QString> due = std::exchange(d->restoreDue, {});
        for (const QString &topic : due)
            republish(topic);
    });
    d->sensorRefresh.setInterval(kSensorRefreshMs);
    connect(&d->sensorRefresh, &QTimer::timeout, this, [this] {
        for (const BridgeEntity &e : d->catalog.entities()) {
            if (e.component == QLatin1String("sensor"))
                d->sent.remove(d->base(e) % QLatin1String("/state"));
        }
        publishAllStates();
    });
}

MqttBridge::~MqttBridge()
{
    stop();
}

void MqttBridge::setProject(const RoomsV1 &rooms, const EAppSettings &settings)
{
    d->catalog.build(rooms, settings);
}

RoomSnapshot MqttBridge::pollSnapshot() const
{
    RoomSnapshot s = makeRoomSnapshot(d->catalog.homePage());
    // Not a lighting room: the link must not stamp one room number into every lamp.
    s.systemType = BaseRoomV1::NoSystem;
    return s;
}

void MqttBridge::attach(ControlerData *link, LinkCommands *commands, Feed feed)
{
    d->link = link;
    d->commands = commands;
    if (!link)
        return;
    if (d->answerWaitMs < 0)
        setAnswerWait(link->waitTimeout() + qMax(d->settings.pollMs, link->updateTimeout()));
    connect(link, &ControlerData::ReadyUpdateAlerts, this, &MqttBridge::updateStatus,
            Qt::QueuedConnection);
    // Either signal carries the blocks of the bridge's page only, so their indices are its own.
    if (feed == Feed::Room)
        connect(link, &ControlerData::ReadyUpdateControls, this, &MqttBridge::updateControls,
                Qt::QueuedConnection);
    else
        connect(link, &ControlerData::ReadyUpdateBackground, this, &MqttBridge::updateControls,
                Qt::QueuedConnection);
    connect(
        link, &ControlerData::controlerStateChanged, this,
        [this](QAbstractSocket::SocketState state, int) {
            setControllerConnected(state == QAbstractSocket::ConnectedState);
        },
        Qt::QueuedConnection);
}

bool MqttBridge::start()
{
    if (!d->settings.enabled())
        return false;
    if (d->settings.clientSuffix.isEmpty()) {
        // Nobody may guess the id the broker knows us by from the topics.
        QByteArray random(8, Qt::Uninitialized);
        QRandomGenerator::system()->generate(random.begin(), random.end());
        d->settings.clientSuffix = QString::fromLatin1(random.toHex());
    }
    if (!d->client.start(d->settings, statusTopic(), QByteArrayLiteral("offline"))) {
        qCWarning(lcBridge, "MQTT bridge not started: %s", qPrintable(d->client.errorString()));
        return false;
    }
    if (d->answerWaitMs < 0)
        setAnswerWait(kDefaultAnswerWaitMs + d->settings.pollMs);
    d->sensorRefresh.start();
    d->housekeeping.start();
    return true;
}

void MqttBridge::stop()
{
    d->sensorRefresh.stop();
    d->housekeeping.stop();
    d->answerWatch.stop();
    d->restoreTimer.stop();
    d->brokerUp = false;
    d->client.stop(statusTopic(), QByteArrayLiteral("offline"));
}

void MqttBridge::setClock(std::function<qint64()> clock)
{
    d->clock = std::move(clock);
}

void MqttBridge::setAnswerWait(int milliseconds)
{
    d->answerWaitMs = qMax(1, milliseconds);
    d->answerWatch.setInterval(d->answerWaitMs);
}

const BridgeCatalog &MqttBridge::catalog() const
{
    return d->catalog;
}

const BridgeSettings &MqttBridge::settings() const
{
    return d->settings;
}

QString MqttBridge::statusTopic() const
{
    return d->nodeBase() % QLatin1String("/status");
}

QString MqttBridge::controllerAvailabilityTopic() const
{
    return d->availabilityTopic();
}

int MqttBridge::publishedCount() const
{
    return d->catalog.entities().size();
}

void MqttBridge::onConnected()
{
    const QString base = d->nodeBase();
    d->brokerUp = true;
    d->echoed.clear();
    d->client.subscribe(base % QLatin1String("/+/set"), 1);
    d->client.subscribe(base % QLatin1String("/+/+/set"), 1);
    // Topics a hub's automations go by: someone else's retained message there is answered with
    // the truth (see restoreOwnTopic()).
    d->client.subscribe(statusTopic(), 1);
    d->client.subscribe(d->securityBase() % QLatin1String("/state"), 1);
    // The list of what this node published last: the broker hands the retained one out first on
    // subscribing, then our own new one, which alone arrives when there was none.
    d->oldListSeen = false;
    d->client.subscribe(d->listTopic(), 1);
    d->client.publish(d->listTopic(), entityList(), true, 1);
    publishDiscovery();
    d->sent.clear();
    publishAllStates();
    d->client.publish(statusTopic(), QByteArrayLiteral("online"), true, 1);
    emit announced();
}

QByteArray MqttBridge::entityList() const
{
    QJsonArray list;
    for (const BridgeEntity &e : d->catalog.entities())
        list.append(QString(e.component % QLatin1Char('/') % e.uniqueId));
    return QJsonDocument(list).toJson(QJsonDocument::Compact);
}

void MqttBridge::publishDiscovery()
{
    if (d->settings.discoveryPrefix.isEmpty())
        return;
    for (const BridgeEntity &e : d->catalog.entities()) {
        const QJsonObject config =
            BridgeCatalog::discoveryConfig(e, d->settings.prefix, d->settings.node());
        d->client.publish(d->discoveryTopic(e.component, e.uniqueId),
                          QJsonDocument(config).toJson(QJsonDocument::Compact), true, 1);
    }
}

void MqttBridge::publishState(const QString &topic, const QByteArray &payload, bool retain)
{
    if (payload.isNull())
        return;
    auto it = d->sent.constFind(topic);
    if (it != d->sent.constEnd() && *it == payload)
        return;
    if (d->client.publish(topic, payload, retain))
        d->sent.insert(topic, payload);
}

void MqttBridge::publishAllStates()
{
    publishControllerState();
    publishSecurityAttributes();
    if (d->haveStatus)
        publishStatus();
    if (!d->haveControls)
        return;
    const BaseRoomV1 &home = d->catalog.homePage();
    for (const BridgeEntity &e : d->catalog.entities()) {
        const QString base = d->base(e);
        const BaseControlV1 *control = e.index >= 0 ? home.controlAt(e.index) : nullptr;
        if (!control)
            continue;
        switch (e.source) {
        case Source::Lamp: {
            const auto *lamp = static_cast<const LightControlV1 *>(control);
            if (lamp->data().isEmpty())
                break;
            publishState(base % QLatin1String("/state"), onOff(lamp->lampState() == 0));
            if (e.dimmer)
                publishState(base % QLatin1String("/brightness"),
                             QByteArray::number(qBound(0, lamp->brightness(),
                                                       BridgeCommandParser::kMaxBrightness)));
            break;
        }
        case Source::Thermostat: {
            const auto *heat = static_cast<const HeatControlV1 *>(control);
            if (heat->data().isEmpty())
                break;
            publishState(base % QLatin1String("/current"), number(heat->temperature()));
            publishState(base % QLatin1String("/target"),
                         number(heat->setPoint() * ControlConstants::kTemperatureStep));
            publishState(base % QLatin1String("/mode"), QByteArrayLiteral("heat"));
            break;
        }
        case Source::Motion: {
            const auto *sensor = static_cast<const SensorControlV1 *>(control);
            // The controller reports a sensor through the lamps it drives: 0 is "on".
            publishState(base % QLatin1String("/state"), onOff(sensor->sensorState() == 0));
            break;
        }
        case Source::Bit:
        case Source::Value: {
            const auto *bound = static_cast<const DynamicControlV1 *>(control);
            const QByteArray data = bound->data().mid(bound->oddOffset());
            if (data.isEmpty())
                break;
            if (e.source == Source::Bit) {
                publishState(base % QLatin1String("/state"),
                             onOff((quint8(data.at(0)) >> (e.bit & 7)) & 1));
                break;
            }
            if (data.size() < e.valueBytes)
                break;
            quint32 v = 0;
            for (int i = e.valueBytes - 1; i >= 0; --i)
                v = (v << 8) | quint8(data.at(i));
            publishState(base % QLatin1String("/state"), QByteArray::number(v));
            break;
        }
        default:
            break;
        }
    }
}

void MqttBridge::updateStatus(const ReservVariables &variables)
{
    d->status = variables;
    d->haveStatus = true;
    controllerAnswered();
    // Every state counts here, the keypad's notices too: they tell what came of a hub's code.
    keypadEvent(int(d->keypad.observe(variables.securityState, d->now())));
    publishStatus();
}

void MqttBridge::publishStatus()
{
    const ReservVariables &variables = d->status;
    for (const BridgeEntity &e : d->catalog.entities()) {
        const QString state = d->base(e) % QLatin1String("/state");
        switch (e.source) {
        case Source::Parameter:
            for (const ArchiveStruct &p : variables.parameters) {
                if (p.id == e.number) {
                    publishState(state, number(p.scaledValue()));
                    break;
                }
            }
            break;
        case Source::Alarm:
            for (const AlertStruct &m : variables.messages) {
                if (m.id == e.number) {
                    publishState(state,
                                 onOff(m.active && (m.stateByte & ControllerMap::kMessageActive)));
                    break;
                }
            }
            break;
        case Source::AlarmCount:
            publishState(state, QByteArray::number(variables.alarmCount == ControllerMap::kNoAlarms
                                                       ? 0
                                                       : int(variables.alarmCount)));
            break;
        case Source::Security:
            publishState(state, panelState(variables.securityState));
            break;
        default:
            break;
        }
    }
    publishSecurityAttributes();
}

void MqttBridge::updateControls(const QList<SubsUpdate> &answer, int registerOffset)
{
    // The blocks are those of the bridge's own page (its link's room, or the background set of
    // the panel's link), so their indices are those of that page.
    d->catalog.homePage().applyAnswer(answer, registerOffset);
    d->haveControls = true;
    controllerAnswered();
    publishAllStates();
}

void MqttBridge::setControllerConnected(bool connected)
{
    // A socket that connects is no controller that answers (one that accepts connections but
    // stays silent would flip the state at every reconnection): only answers make it available.
    if (!connected)
        setControllerAnswering(false);
}

void MqttBridge::controllerAnswered()
{
    d->answerWatch.start();
    if (!d->answering) {
        if (d->haveStatus || d->haveControls)
            qCInfo(lcBridge, "the controller answers");
        setControllerAnswering(true);
    }
}

void MqttBridge::setControllerAnswering(bool answering)
{
    if (!answering)
        d->answerWatch.stop();
    if (d->answering == answering)
        return;
    d->answering = answering;
    publishControllerState();
}

void MqttBridge::publishControllerState()
{
    publishState(d->availabilityTopic(), online(d->answering));
    for (const BridgeEntity &e : d->catalog.entities()) {
        if (e.source == Source::Controller)
            publishState(d->base(e) % QLatin1String("/state"), onOff(d->answering));
    }
}

void MqttBridge::publishSecurityAttributes()
{
    if (!d->catalog.entity(QStringLiteral("security")))
        return;
    const qint64 now = d->now();
    const bool locked = d->keypad.isLocked(now);
    QJsonObject a;
    // ready: a code is taken now; checking: the last one awaits its outcome; busy: the keypad is
    // in a passing state (counting down, showing a notice, ...); locked: after wrong codes.
    const QString codeState = locked                   ? QStringLiteral("locked")
                              : d->keypad.isAwaiting() ? QStringLiteral("checking")
                              : d->keypad.isSettled()  ? QStringLiteral("ready")
                                                       : QStringLiteral("busy");
    a.insert(QStringLiteral("code_state"), codeState);
    a.insert(QStringLiteral("wrong_codes"), d->keypad.failures());
    a.insert(QStringLiteral("lockout_s"), locked ? int(d->keypad.lockoutMs() / 1000) : 0);
    if (locked)
        a.insert(QStringLiteral("locked_until"), d->lockedUntilText);
    if (!d->lastCodeResult.isEmpty())
        a.insert(QStringLiteral("last_code"), d->lastCodeResult);
    publishState(d->securityBase() % QLatin1String("/attributes"),
                 QJsonDocument(a).toJson(QJsonDocument::Compact));
}

void MqttBridge::keypadEvent(int event)
{
    using Event = BridgeKeypadGuard::Event;
    switch (Event(event)) {
    case Event::WrongCode:
        d->lastCodeResult = QStringLiteral("wrong code");
        qCWarning(lcBridge, "security: a hub's code was wrong (%d in a row)", d->keypad.failures());
        break;
    case Event::LockedOut:
        d->lastCodeResult = QStringLiteral("wrong code");
        d->lockedUntilText = QDateTime::currentDateTimeUtc()
                                 .addMSecs(d->keypad.lockedUntil() - d->now())
                                 .toString(Qt::ISODate);
        qCWarning(lcBridge,
                  "security: %d wrong codes from the hub in a row; its codes are refused for %lld "
                  "s",
                  d->keypad.failures(), d->keypad.lockoutMs() / 1000);
        break;
    case Event::Accepted:
        d->lastCodeResult = QStringLiteral("accepted");
        break;
    case Event::None:
        return;
    }
    publishSecurityAttributes();
}

void MqttBridge::housekeeping()
{
    const qint64 now = d->now();
    const QString line = d->refusals.summary(now);
    if (!line.isEmpty())
        qCWarning(lcBridge, "%s", qPrintable(line));
    keypadEvent(int(d->keypad.advance(now)));
    // The lockout's end shows without waiting for a new controller state.
    publishSecurityAttributes();
}

void MqttBridge::refuse(const QString &key, const QString &reason)
{
    emit commandRefused(key, reason);
    if (d->refusals.record(key, reason, d->now()))
        qCWarning(lcBridge, "command for %s refused: %s", qPrintable(key.left(80)),
                  qPrintable(reason));
}

bool MqttBridge::restoreOwnTopic(const QString &topic, const QByteArray &payload)
{
    QByteArray truth;
    if (topic == statusTopic())
        truth = d->brokerUp ? QByteArrayLiteral("online") : QByteArray();
    else
        truth = d->sent.value(topic);
    if (truth.isEmpty() || !d->brokerUp)
        return false;
    if (truth == payload) {
        d->echoed.insert(topic);
        return false;
    }
    if (!d->echoed.contains(topic))
        return false;
    // A real-time limit, not the limits' clock: it only keeps two writers from ping-ponging.
    const qint64 now = d->elapsed.elapsed();
    const auto last = d->restoredAt.constFind(topic);
    if (last != d->restoredAt.constEnd() && now - *last < kRestoreIntervalMs) {
        // Someone keeps overwriting it: answer once more when the interval is over.
        d->restoreDue.insert(topic);
        if (!d->restoreTimer.isActive())
            d->restoreTimer.start(int(kRestoreIntervalMs - (now - *last)));
        return true;
    }
    qCWarning(lcBridge, "%s was overwritten by another client; publishing it again",
              qPrintable(topic.left(120)));
    republish(topic);
    return true;
}

void MqttBridge::republish(const QString &topic)
{
    const QByteArray truth =
        topic == statusTopic() ? QByteArrayLiteral("online") : d->sent.value(topic);
    if (truth.isEmpty() || !d->brokerUp)
        return;
    d->restoredAt.insert(topic, d->elapsed.elapsed());
    d->client.publish(topic, truth, true, 1);
}

void MqttBridge::forgetEntity(const QString &component, const QString &uniqueId)
{
    // The discovery config goes, and so do the retained states, or a hub (or anyone reading the
    // broker) keeps seeing the last state of a thing that is no longer there.
    if (!d->settings.discoveryPrefix.isEmpty())
        d->client.publish(d->discoveryTopic(component, uniqueId), QByteArray(), true, 1);
    const QString base = d->nodeBase() % QLatin1Char('/') % uniqueId % QLatin1Char('/');
    for (const char *level : kStateLevels)
        d->client.publish(base % QLatin1String(level), QByteArray(), true, 1);
}

void MqttBridge::handleMessage(const QString &topic, const QByteArray &payload, bool retained)
{
    if (topic == statusTopic() || topic == d->securityBase() % QLatin1String("/state")) {
        restoreOwnTopic(topic, payload);
        return;
    }
    if (topic == d->listTopic()) {
        // What the last run published: anything no longer there is removed from the hub.
        if (d->oldListSeen)
            return;
        d->oldListSeen = true;
        QSet<QString> current;
        for (const BridgeEntity &e : d->catalog.entities())
            current.insert(e.component % QLatin1Char('/') % e.uniqueId);
        const QJsonArray old = QJsonDocument::fromJson(payload).array();
        for (const QJsonValue &v : old) {
            const QString id = v.toString();
            const int slash = id.indexOf(QLatin1Char('/'));
            // Only plain ids: a list someone else wrote must not make us clear other topics.
            const QString uniqueId = id.mid(slash + 1);
            if (current.contains(id) || slash <= 0 || uniqueId.isEmpty() ||
                uniqueId.contains(QLatin1Char('/')) || uniqueId.contains(QLatin1Char('+')) ||
                uniqueId.contains(QLatin1Char('#')))
                continue;
            forgetEntity(id.left(slash), uniqueId);
        }
        return;
    }

    const QString base = d->nodeBase() % QLatin1Char('/');
    if (!topic.startsWith(base))
        return;
    if (retained) {
        // A retained command would run again at every (re)connection of the bridge: whatever it
        // asks, it is no one's command now. It is also taken off the broker (an empty retained
        // message, which comes back here and is dropped without a word).
        if (payload.isEmpty())
            return;
        emit commandRefused(topic, QStringLiteral("retained command ignored"));
        if (!d->retainedLogged.contains(topic) &&
            d->retainedLogged.size() < kMaxRetainedTopicsLogged) {
            d->retainedLogged.insert(topic);
            qCWarning(lcBridge,
                      "retained message on %s ignored and cleared: commands must not be sent "
                      "with the retain flag",
                      qPrintable(topic.left(120)));
        }
        d->client.publish(topic, QByteArray(), true, 1);
        return;
    }
    const QStringList levels = topic.mid(base.size()).split(QLatin1Char('/'));
    if (levels.size() < 2 || levels.size() > 3 || levels.last() != QLatin1String("set")) {
        refuse(topic, QStringLiteral("unknown command topic"));
        return;
    }
    const BridgeEntity *e = d->catalog.entity(levels.at(0));
    if (!e || !e->writable) {
        refuse(levels.at(0), QStringLiteral("no such entity takes commands"));
        return;
    }
    const QString action = levels.size() == 3 ? levels.at(1) : QStringLiteral("set");
    const BridgeCommand c = BridgeCommandParser::parse(e->commandTarget(), action, payload);
    if (!c.isValid()) {
        refuse(e->uniqueId, c.refusal);
        return;
    }
    if (!d->throttle.allow(e->uniqueId, d->now())) {
        refuse(e->uniqueId, QStringLiteral("too many commands"));
        return;
    }
    if (!d->budget.allow(d->now())) {
        refuse(e->uniqueId, QStringLiteral("over the bridge's command budget"));
        return;
    }
    LinkCommands *link = d->commands;
    if (!link) {
        refuse(e->uniqueId, QStringLiteral("no controller link"));
        return;
    }
    // Never queued for later: a command the controller cannot take now is refused, and said so.
    if (!d->answering) {
        refuse(e->uniqueId, QStringLiteral("the controller does not answer"));
        return;
    }
    using A = BridgeCommand::Action;
    switch (e->source) {
    case Source::Lamp:
        if (c.action == A::Power)
            c.on ? link->EnableLight(e->index) : link->DisableLight(e->index);
        else if (c.action == A::Brightness && e->dimmer)
            link->ChangeLightBright(e->index, c.value);
        else {
            refuse(e->uniqueId, QStringLiteral("not a dimmer"));
            return;
        }
        break;
    case Source::Thermostat:
        link->ChangeHeatTemp(e->index, c.value);
        break;
    case Source::Bit: {
        // The controller only offers "invert the bit": invert only when the state differs.
        const auto *bound =
            static_cast<const DynamicControlV1 *>(d->catalog.homePage().controlAt(e->index));
        const QByteArray data = bound ? bound->data().mid(bound->oddOffset()) : QByteArray();
        if (data.isEmpty()) {
            refuse(e->uniqueId, QStringLiteral("state not read yet"));
            return;
        }
        const bool on = (quint8(data.at(0)) >> (e->bit & 7)) & 1;
        if (on != c.on)
            link->BoolClick(e->index);
        break;
    }
    case Source::Value:
        link->ByteControlChange(e->index, c.value);
        break;
    case Source::LightScene: {
        using Run = void (LinkCommands::*)();
        static constexpr Run scenes[] = {
            &LinkCommands::GlobalScene1Activate, &LinkCommands::GlobalScene2Activate,
            &LinkCommands::GlobalScene3Activate, &LinkCommands::GlobalScene4Activate};
        (link->*scenes[qBound(1, e->number, 4) - 1])();
        break;
    }
    case Source::HeatScene: {
        using Run = void (LinkCommands::*)();
        static constexpr Run scenes[] = {
            &LinkCommands::GlobalHeatScene1Activate, &LinkCommands::GlobalHeatScene2Activate,
            &LinkCommands::GlobalHeatScene3Activate, &LinkCommands::GlobalHeatScene4Activate};
        (link->*scenes[qBound(1, e->number, 4) - 1])();
        break;
    }
    case Source::RoomScene: {
        using Run = void (LinkCommands::*)(int);
        static constexpr Run scenes[] = {
            &LinkCommands::Miniscene1InRoom, &LinkCommands::Miniscene2InRoom,
            &LinkCommands::Miniscene3InRoom, &LinkCommands::Miniscene4InRoom};
        (link->*scenes[qBound(1, e->number, 4) - 1])(e->room);
        break;
    }
    case Source::Security: {
        // The keypad toggles: the same code arms a disarmed system and disarms an armed one.
        // The guard lets a code out only when it moves the system the way the hub asked.
        const QString why = d->keypad.admit(c.action == A::Arm ? BridgeKeypadGuard::Intent::Arm
                                                               : BridgeKeypadGuard::Intent::Disarm,
                                            d->now());
        if (!why.isEmpty()) {
            d->lastCodeResult = QStringLiteral("refused: ") % why;
            publishSecurityAttributes();
            refuse(e->uniqueId, why);
            return;
        }
        link->WritePassword(c.code);
        d->lastCodeResult = QStringLiteral("sent");
        publishSecurityAttributes();
        break;
    }
    default:
        refuse(e->uniqueId, QStringLiteral("read-only"));
        return;
    }
    emit commandSent(e->uniqueId);
}
