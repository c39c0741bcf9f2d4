// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bridgecatalog.h"

#include "baseroomv1.h"
#include "bridgecommandparser.h"
#include "controlconstants.h"
#include "controlkinds.h"
#include "dynamiccontrolv1.h"
#include "eappsettings.h"
#include "heatcontrolv1.h"
#include "lightcontrolv1.h"
#include "roomsv1.h"
#include "sensorcontrolv1.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QSet>

using Source = BridgeEntity::Source;
using namespace ControlConstants;

namespace {

constexpr int kScenesPerSet = 4;

// What the hub makes an entity id of: lower-case letters, digits and '_'.
QString entityIdSlug(const QString &text)
{
    QString out;
    for (const QChar c : text.toLower()) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
        out += plain ? c : QLatin1Char('_');
    }
    return out;
}

QJsonObject bridgeDevice(const QString &node)
{
    QJsonObject device;
    device.insert(QStringLiteral("identifiers"),
                  QJsonArray{QJsonValue(QString(QStringLiteral("verandix_") % node))});
    device.insert(QStringLiteral("name"), QString(QStringLiteral("Verandix ") % node));
    device.insert(QStringLiteral("manufacturer"), QStringLiteral("Verandix"));
    device.insert(QStringLiteral("model"), QStringLiteral("Home controller panel bridge"));
    device.insert(QStringLiteral("sw_version"), QStringLiteral(VERANDIX_VERSION));
    return device;
}

// A room's device: the hub reads the suggested area from a device only, so each room that has
// entities gets one, linked to the bridge's device. Its id comes from the room's caption, the
// same that names the area.
QJsonObject roomDevice(const QString &node, const QString &area)
{
    const QString id = QString::fromLatin1(
        QCryptographicHash::hash(area.toUtf8(), QCryptographicHash::Sha1).toHex().left(10));
    QJsonObject device;
    device.insert(QStringLiteral("identifiers"),
                  QJsonArray{QJsonValue(
                      QString(QStringLiteral("verandix_") % node % QLatin1String("_room_") % id))});
    device.insert(QStringLiteral("name"), area);
    device.insert(QStringLiteral("suggested_area"), area);
    device.insert(QStringLiteral("manufacturer"), QStringLiteral("Verandix"));
    device.insert(QStringLiteral("model"), QStringLiteral("Room of the home controller"));
    device.insert(QStringLiteral("via_device"), QString(QStringLiteral("verandix_") % node));
    return device;
}

QString areaOf(const BaseRoomV1 &page)
{
    return page.textB().isEmpty() ? page.name() : page.textB();
}

QString captionOf(const BaseControlV1 &control, const QString &fallback)
{
    if (!control.textB().trimmed().isEmpty())
        return control.textB().trimmed();
    if (!control.name().trimmed().isEmpty())
        return control.name().trimmed();
    return fallback;
}

// The controller-bound kinds the link writes a value into with ByteControlChange.
bool takesValue(int kind)
{
    return kind == KindByte || kind == KindHSlider || kind == KindVSlider;
}

// Kinds whose whole value is a number in memory (a byte control and the sliders; the dynamic
// image shows one too).
bool numericKind(int kind)
{
    return takesValue(kind) || kind == KindDynamic;
}

int intAttribute(const ControlKind &kind, const BaseControlV1 &control, const char *name,
                 int fallback)
{
    const ControlAttribute *a = kind.attribute(QLatin1String(name));
    return a && a->value ? a->value(control).toInt() : fallback;
}

} // namespace

BridgeCommandTarget BridgeEntity::commandTarget() const
{
    BridgeCommandTarget t;
    using C = BridgeCommandTarget::Component;
    switch (source) {
    case Source::Lamp:
        t.component = C::Light;
        break;
    case Source::Thermostat:
        t.component = C::Climate;
        t.minimum = BridgeCatalog::kClimateMinimum;
        t.maximum = BridgeCatalog::kClimateMaximum;
        t.step = kTemperatureStep;
        break;
    case Source::Bit:
        t.component = C::Switch;
        break;
    case Source::Value:
        t.component = C::Number;
        t.minimum = minimum;
        t.maximum = maximum;
        break;
    case Source::Security:
        t.component = C::AlarmPanel;
        break;
    default:
        t.component = C::Scene;
        break;
    }
    return t;
}

BridgeCatalog::BridgeCatalog() : m_home(std::make_unique<BaseRoomV1>()) {}

BridgeCatalog::~BridgeCatalog() = default;

const BridgeEntity *BridgeCatalog::entity(const QString &uniqueId) const
{
    for (const BridgeEntity &e : m_entities) {
        if (e.uniqueId == uniqueId)
            return &e;
    }
    return nullptr;
}

void BridgeCatalog::build(const RoomsV1 &rooms, const EAppSettings &settings)
{
    m_home = std::make_unique<BaseRoomV1>();
    m_entities.clear();
    QSet<QString> seen;
    const auto add = [this, &seen](BridgeEntity e) {
        // A lamp or a memory cell shown on two plans is one thing at the controller.
        if (seen.contains(e.uniqueId))
            return;
        seen.insert(e.uniqueId);
        m_entities.append(e);
    };

    BridgeEntity controller;
    controller.source = Source::Controller;
    controller.component = QStringLiteral("binary_sensor");
    controller.uniqueId = QStringLiteral("controller");
    controller.name = QStringLiteral("Controller connection");
    add(controller);

    for (const BaseRoomV1 *page : rooms.pages()) {
        if (!page || page->isDeleted())
            continue;
        for (const BaseControlV1 *control : page->controls()) {
            if (!control || control->isDeleted())
                continue;
            const ControlKind *kind = ControlKinds::byKind(control->kind());
            if (!kind)
                continue;
            BridgeEntity e;
            e.area = areaOf(*page);
            const auto *bound = dynamic_cast<const DynamicControlV1 *>(control);
            if (const auto *lamp = dynamic_cast<const LightControlV1 *>(control)) {
                e.source = Source::Lamp;
                e.component = QStringLiteral("light");
                e.number = lamp->lmpNumber();
                e.uniqueId = QStringLiteral("lamp_%1").arg(e.number);
                e.dimmer = lamp->isDimmer();
                e.writable = true;
            } else if (const auto *heat = dynamic_cast<const HeatControlV1 *>(control)) {
                e.source = Source::Thermostat;
                e.component = QStringLiteral("climate");
                e.number = heat->swcNumber();
                e.uniqueId = QStringLiteral("thermostat_%1").arg(e.number);
                e.writable = true;
            } else if (const auto *sensor = dynamic_cast<const SensorControlV1 *>(control)) {
                e.source = Source::Motion;
                e.component = QStringLiteral("binary_sensor");
                e.number = sensor->snrNumber();
                e.uniqueId = QStringLiteral("motion_%1").arg(e.number);
            } else if (bound && kind->bits && kind->kind == KindBool) {
                // Bit buttons only ever set their bit: not a state a hub can switch both ways.
                e.source = Source::Bit;
                e.bit = intAttribute(*kind, *control, "bitNumber", 0);
                e.writable = !control->isReadOnly();
                e.component =
                    e.writable ? QStringLiteral("switch") : QStringLiteral("binary_sensor");
                e.uniqueId = QStringLiteral("bit_%1_%2").arg(bound->byteAddress()).arg(e.bit);
            } else if (bound && numericKind(kind->kind)) {
                e.source = Source::Value;
                e.valueBytes = DynamicControlV1::typeDBytes(bound->typeD());
                e.writable = takesValue(kind->kind) && !control->isReadOnly();
                e.component = e.writable ? QStringLiteral("number") : QStringLiteral("sensor");
                e.minimum = intAttribute(*kind, *control, "minimum", 0);
                const qint64 widest = (qint64(1) << (8 * qMin(e.valueBytes, 3))) - 1;
                e.maximum = intAttribute(*kind, *control, "maximum", int(widest));
                if (e.maximum <= e.minimum)
                    e.maximum = double(widest);
                e.uniqueId = QStringLiteral("value_%1").arg(bound->byteAddress());
            } else {
                continue;
            }
            e.name = captionOf(*control, e.uniqueId);
            if (seen.contains(e.uniqueId))
                continue;
            e.index = m_home->addControl(control->clone());
            add(e);
        }
        // Room miniscenes: the scene bar of a lighting room runs them with its page number.
        if (page->systemType() == BaseRoomV1::LightSystem && page->kind() == BaseRoomV1::KindRoom &&
            page->showScenes()) {
            const QStringList captions = page->scenes();
            for (int n = 1; n <= kScenesPerSet; ++n) {
                BridgeEntity e;
                e.source = Source::RoomScene;
                e.component = QStringLiteral("scene");
                e.room = page->pageNumber();
                e.number = n;
                e.area = areaOf(*page);
                e.uniqueId = QStringLiteral("room_%1_scene_%2").arg(e.room).arg(n);
                e.name = captions.value(n - 1).trimmed();
                if (e.name.isEmpty())
                    e.name = QStringLiteral("Scene %1").arg(n);
                e.writable = true;
                add(e);
            }
        }
    }

    QStringList lightSceneNames;
    for (const EAppSettings::SceneName &s : settings.globalScenes())
        lightSceneNames.append(s.text);
    for (int n = 1; n <= kScenesPerSet; ++n) {
        BridgeEntity e;
        e.source = Source::LightScene;
        e.component = QStringLiteral("scene");
        e.number = n;
        e.uniqueId = QStringLiteral("light_scene_%1").arg(n);
        e.name = lightSceneNames.value(n - 1).trimmed();
        if (e.name.isEmpty())
            e.name = QStringLiteral("Lighting scene %1").arg(n);
        e.writable = true;
        add(e);
        e.source = Source::HeatScene;
        e.uniqueId = QStringLiteral("heat_scene_%1").arg(n);
        e.name = QStringLiteral("Heating scene %1").arg(n);
        add(e);
    }

    for (const EAppSettings::MessageText &p : settings.parameters()) {
        BridgeEntity e;
        e.source = Source::Parameter;
        e.component = QStringLiteral("sensor");
        e.number = p.id;
        e.uniqueId = QStringLiteral("parameter_%1").arg(p.id);
        e.name = p.text.trimmed().isEmpty() ? e.uniqueId : p.text.trimmed();
        e.minimum = p.minimum;
        e.maximum = p.maximum;
        add(e);
    }
    for (const EAppSettings::MessageText &m : settings.messages()) {
        BridgeEntity e;
        e.source = Source::Alarm;
        e.component = QStringLiteral("binary_sensor");
        e.number = m.id;
        e.uniqueId = QStringLiteral("alarm_%1").arg(m.id);
        e.name = m.text.trimmed().isEmpty() ? e.uniqueId : m.text.trimmed();
        add(e);
    }
    BridgeEntity count;
    count.source = Source::AlarmCount;
    count.component = QStringLiteral("sensor");
    count.uniqueId = QStringLiteral("alarm_count");
    count.name = QStringLiteral("Active alarms");
    add(count);

    BridgeEntity security;
    security.source = Source::Security;
    security.component = QStringLiteral("alarm_control_panel");
    security.uniqueId = QStringLiteral("security");
    security.name = QStringLiteral("Security");
    security.writable = true;
    add(security);
}

QString BridgeCatalog::entityBase(const QString &prefix, const QString &node, const BridgeEntity &e)
{
    return prefix % QLatin1Char('/') % node % QLatin1Char('/') % e.uniqueId;
}

QString BridgeCatalog::controllerAvailabilityTopic(const QString &prefix, const QString &node)
{
    return prefix % QLatin1Char('/') % node % QLatin1String("/controller/availability");
}

QJsonObject BridgeCatalog::discoveryConfig(const BridgeEntity &e, const QString &prefix,
                                           const QString &node)
{
    const QString base = entityBase(prefix, node, e);
    QJsonObject c;
    c.insert(QStringLiteral("name"), e.name);
    c.insert(QStringLiteral("unique_id"), QString(node % QLatin1Char('_') % e.uniqueId));
    // The entity id the hub gives it the first time. The older "object_id" is not sent: hub
    // releases from the one that introduced this key on read it only with a deprecation repair
    // and the later ones not at all, while older releases ignore this key and name the entity
    // after its name, which works too.
    c.insert(QStringLiteral("default_entity_id"),
             QString(e.component % QLatin1Char('.') %
                     entityIdSlug(node % QLatin1Char('_') % e.uniqueId)));
    const QString status = prefix % QLatin1Char('/') % node % QLatin1String("/status");
    if (e.source == Source::Controller) {
        // The connection is worth seeing while the bridge is up, whatever its state.
        c.insert(QStringLiteral("availability_topic"), status);
    } else {
        // Everything else shows or sets a controller value: available only while the bridge is
        // up and the controller answers.
        c.insert(QStringLiteral("availability"),
                 QJsonArray{QJsonObject{{QStringLiteral("topic"), status}},
                            QJsonObject{{QStringLiteral("topic"),
                                         controllerAvailabilityTopic(prefix, node)}}});
        c.insert(QStringLiteral("availability_mode"), QStringLiteral("all"));
    }
    c.insert(QStringLiteral("state_topic"), QString(base % QLatin1String("/state")));
    c.insert(QStringLiteral("device"),
             e.area.isEmpty() ? bridgeDevice(node) : roomDevice(node, e.area));
    const QString set = base % QLatin1String("/set");

    switch (e.source) {
    case Source::Controller:
        c.insert(QStringLiteral("device_class"), QStringLiteral("connectivity"));
        c.insert(QStringLiteral("entity_category"), QStringLiteral("diagnostic"));
        break;
    case Source::Lamp:
        // Default schema: ON/OFF on the command topic, the dimmer level on its own topic, on the
        // panel's scale (its 100 % is the hub's 100 %).
        c.insert(QStringLiteral("command_topic"), set);
        c.insert(QStringLiteral("payload_on"), QStringLiteral("ON"));
        c.insert(QStringLiteral("payload_off"), QStringLiteral("OFF"));
        if (e.dimmer) {
            c.insert(QStringLiteral("brightness_state_topic"),
                     QString(base % QLatin1String("/brightness")));
            c.insert(QStringLiteral("brightness_command_topic"),
                     QString(base % QLatin1String("/brightness/set")));
            c.insert(QStringLiteral("brightness_scale"), BridgeCommandParser::kMaxBrightness);
            c.insert(QStringLiteral("on_command_type"), QStringLiteral("first"));
        }
        break;
    case Source::Thermostat:
        c.remove(QStringLiteral("state_topic"));
        c.insert(QStringLiteral("current_temperature_topic"),
                 QString(base % QLatin1String("/current")));
        c.insert(QStringLiteral("temperature_state_topic"),
                 QString(base % QLatin1String("/target")));
        c.insert(QStringLiteral("temperature_command_topic"),
                 QString(base % QLatin1String("/temperature/set")));
        c.insert(QStringLiteral("min_temp"), kClimateMinimum);
        c.insert(QStringLiteral("max_temp"), kClimateMaximum);
        c.insert(QStringLiteral("temp_step"), kTemperatureStep);
        c.insert(QStringLiteral("precision"), 0.1);
        c.insert(QStringLiteral("temperature_unit"), QStringLiteral("C"));
        // A thermostat of this controller only heats; heating as a whole is switched by scenes.
        c.insert(QStringLiteral("modes"), QJsonArray{QJsonValue(QStringLiteral("heat"))});
        c.insert(QStringLiteral("mode_state_topic"), QString(base % QLatin1String("/mode")));
        break;
    case Source::Bit:
        if (e.writable) {
            c.insert(QStringLiteral("command_topic"), set);
            c.insert(QStringLiteral("payload_on"), QStringLiteral("ON"));
            c.insert(QStringLiteral("payload_off"), QStringLiteral("OFF"));
        }
        break;
    case Source::Value:
        if (e.writable) {
            c.insert(QStringLiteral("command_topic"), set);
            c.insert(QStringLiteral("min"), e.minimum);
            c.insert(QStringLiteral("max"), e.maximum);
            c.insert(QStringLiteral("step"), 1);
            c.insert(QStringLiteral("mode"), QStringLiteral("box"));
        } else {
            c.insert(QStringLiteral("state_class"), QStringLiteral("measurement"));
        }
        break;
    case Source::Motion:
        c.insert(QStringLiteral("device_class"), QStringLiteral("motion"));
        break;
    case Source::Parameter:
        c.insert(QStringLiteral("state_class"), QStringLiteral("measurement"));
        break;
    case Source::Alarm:
        c.insert(QStringLiteral("device_class"), QStringLiteral("problem"));
        break;
    case Source::AlarmCount:
        c.insert(QStringLiteral("state_class"), QStringLiteral("measurement"));
        break;
    case Source::Security:
        c.insert(QStringLiteral("command_topic"), set);
        // The code is checked by the controller: the hub passes what the user typed.
        c.insert(QStringLiteral("code"), QStringLiteral("REMOTE_CODE"));
        c.insert(QStringLiteral("code_arm_required"), true);
        c.insert(QStringLiteral("code_disarm_required"), true);
        c.insert(QStringLiteral("command_template"),
                 QStringLiteral("{\"action\":\"{{ action }}\",\"code\":\"{{ code }}\"}"));
        c.insert(QStringLiteral("supported_features"),
                 QJsonArray{QJsonValue(QStringLiteral("arm_away"))});
        // What came of the last code and the lockout after wrong ones.
        c.insert(QStringLiteral("json_attributes_topic"),
                 QString(base % QLatin1String("/attributes")));
        break;
    case Source::LightScene:
    case Source::HeatScene:
    case Source::RoomScene:
        c.remove(QStringLiteral("state_topic"));
        c.insert(QStringLiteral("command_topic"), set);
        c.insert(QStringLiteral("payload_on"), QStringLiteral("ON"));
        break;
    }
    return c;
}
