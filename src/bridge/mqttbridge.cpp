// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "mqttbridge.h"

#include "baseroomv1.h"
#include "bridgecatalog.h"
#include "bridgecommandparser.h"
#include "bridgecommandthrottle.h"
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

#include <QElapsedTimer>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QTimer>

using Source = BridgeEntity::Source;

namespace {

// Sensors are sent again now and then even when unchanged, so a hub that lost a message or
// started after a retained one was dropped catches up.
constexpr int kSensorRefreshMs = 5 * 60 * 1000;
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
    QElapsedTimer clock;
    QTimer sensorRefresh;
    // Last payload sent per state topic: states go out on change only.
    QHash<QString, QByteArray> sent;
    bool oldListSeen = false;
    int securityState = -1;
    bool controllerConnected = false;
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
};

MqttBridge::MqttBridge(const BridgeSettings &settings, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>())
{
    d->settings = settings;
    d->clock.start();
    connect(&d->client, &MqttClient::connected, this, &MqttBridge::onConnected);
    connect(&d->client, &MqttClient::messageReceived, this, &MqttBridge::onMessage);
    connect(&d->client, &MqttClient::disconnected, this, [this](int reason) {
        qCWarning(lcBridge, "broker connection lost or refused (%d); reconnecting", reason);
        emit brokerDisconnected(reason);
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
    if (!d->client.start(d->settings, statusTopic(), QByteArrayLiteral("offline"))) {
        qCWarning(lcBridge, "MQTT bridge not started: %s", qPrintable(d->client.errorString()));
        return false;
    }
    d->sensorRefresh.start();
    return true;
}

void MqttBridge::stop()
{
    d->sensorRefresh.stop();
    d->client.stop(statusTopic(), QByteArrayLiteral("offline"));
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

int MqttBridge::publishedCount() const
{
    return d->catalog.entities().size();
}

void MqttBridge::onConnected()
{
    const QString base = d->nodeBase();
    d->client.subscribe(base % QLatin1String("/+/set"), 1);
    d->client.subscribe(base % QLatin1String("/+/+/set"), 1);
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
    setControllerConnected(d->controllerConnected);
    if (d->haveStatus)
        updateStatus(d->status);
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
                             QByteArray::number(lamp->brightness()));
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
    // A notice the keypad shows for a moment ("Wrong pass!") says nothing about whether the
    // system is armed: arming and disarming go by the last state a hub is also shown.
    if (!panelState(variables.securityState).isNull())
        d->securityState = variables.securityState;
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
}

void MqttBridge::updateControls(const QList<SubsUpdate> &answer, int registerOffset)
{
    // The blocks are those of the bridge's own page (its link's room, or the background set of
    // the panel's link), so their indices are those of that page.
    d->catalog.homePage().applyAnswer(answer, registerOffset);
    d->haveControls = true;
    publishAllStates();
}

void MqttBridge::setControllerConnected(bool connected)
{
    d->controllerConnected = connected;
    for (const BridgeEntity &e : d->catalog.entities()) {
        if (e.source == Source::Controller)
            publishState(d->base(e) % QLatin1String("/state"), onOff(connected));
    }
}

void MqttBridge::refuse(const QString &key, const QString &reason)
{
    emit commandRefused(key, reason);
    int suppressed = 0;
    if (!d->refusals.admit(key, d->clock.elapsed(), &suppressed))
        return;
    if (suppressed > 0)
        qCWarning(lcBridge, "command for %s refused: %s (%d more refused before)",
                  qPrintable(key.left(80)), qPrintable(reason), suppressed);
    else
        qCWarning(lcBridge, "command for %s refused: %s", qPrintable(key.left(80)),
                  qPrintable(reason));
}

void MqttBridge::onMessage(const QString &topic, const QByteArray &payload)
{
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
            if (current.contains(id) || slash <= 0 || d->settings.discoveryPrefix.isEmpty())
                continue;
            d->client.publish(d->discoveryTopic(id.left(slash), id.mid(slash + 1)), QByteArray(),
                              true, 1);
        }
        return;
    }

    const QString base = d->nodeBase() % QLatin1Char('/');
    if (!topic.startsWith(base))
        return;
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
    if (!d->throttle.allow(e->uniqueId, d->clock.elapsed())) {
        refuse(e->uniqueId, QStringLiteral("too many commands"));
        return;
    }
    LinkCommands *link = d->commands;
    if (!link) {
        refuse(e->uniqueId, QStringLiteral("no controller link"));
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
        // So a code goes out only when it moves the system the way the hub asked.
        const int s = d->securityState;
        const bool disarmed = s == Security::Disarmed;
        if (c.action == A::Arm && !disarmed) {
            refuse(e->uniqueId, QStringLiteral("not disarmed"));
            return;
        }
        if (c.action == A::Disarm && (disarmed || s < 0)) {
            refuse(e->uniqueId, QStringLiteral("not armed"));
            return;
        }
        link->WritePassword(c.code);
        break;
    }
    default:
        refuse(e->uniqueId, QStringLiteral("read-only"));
        return;
    }
    emit commandSent(e->uniqueId);
}
