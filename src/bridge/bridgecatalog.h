// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "bridgecommandparser.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <memory>

class BaseRoomV1;
class EAppSettings;
class RoomsV1;

// One thing the bridge publishes to a hub: a lamp, a thermostat, a bit or byte of controller
// memory, a parameter, an alarm, the security panel, a scene, the controller connection.
struct BridgeEntity
{
    enum class Source {
        Controller, // the link's connection to the controller
        Lamp,
        Thermostat,
        Bit,    // a bit control on a plan (read-only or writable)
        Value,  // a byte or slider control on a plan
        Motion, // a motion sensor on a plan
        Parameter,
        Alarm,
        AlarmCount,
        Security,
        LightScene, // global lighting scene 1..4
        HeatScene,  // global heating scene 1..4
        RoomScene,  // miniscene 1..4 of a lighting room
    };

    Source source = Source::Controller;
    QString component; // Home Assistant component: light, climate, sensor, ...
    QString uniqueId;  // stable: kind and controller address, never a position in a file
    QString name;
    QString area; // the room's caption; empty for the home as a whole
    // Index of the record in the bridge's home page (lamps, thermostats, plan controls), else -1.
    int index = -1;
    // Lamp / thermostat / sensor / parameter / message / scene number; the room for room scenes.
    int number = 0;
    int room = 0;
    bool writable = false;
    bool dimmer = false;
    int bit = 0;        // bit controls
    int valueBytes = 1; // value controls: 1, 2 or 4 (little-endian)
    double minimum = 0;
    double maximum = 0;

    // The limits commands for the entity are checked against; valid only for writable ones.
    BridgeCommandTarget commandTarget() const;
};

// What the project and the settings give the bridge: its entities, and one page holding a copy of
// every controller-bound record they need, in one list, so that the link polls them as one room
// (its window planner groups them into the fewest block reads) and decodes them with the model's
// own record decoders. Built in the GUI thread from the loaded project; a value afterwards.
class BridgeCatalog
{
public:
    BridgeCatalog();
    ~BridgeCatalog();
    BridgeCatalog(const BridgeCatalog &) = delete;
    BridgeCatalog &operator=(const BridgeCatalog &) = delete;

    void build(const RoomsV1 &rooms, const EAppSettings &settings);

    const QList<BridgeEntity> &entities() const { return m_entities; }
    const BridgeEntity *entity(const QString &uniqueId) const;
    // The page whose records the link polls and whose records carry the last values.
    BaseRoomV1 &homePage() const { return *m_home; }

    // Topics of an entity below `<prefix>/<node>/`.
    static QString entityBase(const QString &prefix, const QString &node, const BridgeEntity &e);
    // "online" while the controller answers: the second availability of every entity that
    // shows or sets a controller value.
    static QString controllerAvailabilityTopic(const QString &prefix, const QString &node);
    // The discovery message of an entity for Home Assistant's MQTT integration. Entities of a
    // room belong to a device of that room (which carries the room as its suggested area), below
    // the bridge's own device.
    static QJsonObject discoveryConfig(const BridgeEntity &e, const QString &prefix,
                                       const QString &node);

    static constexpr double kClimateMinimum = 5;
    static constexpr double kClimateMaximum = 35;

private:
    std::unique_ptr<BaseRoomV1> m_home;
    QList<BridgeEntity> m_entities;
};
