// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QObject>
#include <QString>
#include <memory>

class ControlerData;
class EAppSettings;
class MqttBridge;
class RoomsV1;

// The MQTT bridge and the controller link it reads through. In the headless mode the bridge has a
// link of its own, which polls everything the bridge publishes as its one room at the bridge's
// period. In the panel it shares the panel's link, the one connection to the controller: the
// bridge's page becomes that link's background set, read besides the room a screen shows without
// delaying it, and the bridge's commands go through the same link.
class BridgeService : public QObject
{
    Q_OBJECT
public:
    explicit BridgeService(QObject *parent = nullptr);
    ~BridgeService() override;

    // Off (false, nothing started) unless the settings name a broker. The project and settings
    // are read now; later edits reach the bridge at the next start. `panelLink`: the running link
    // of the panel to share; null for a link of the bridge's own (`debugModbus` is its trace).
    bool start(const EAppSettings &settings, const RoomsV1 &rooms, const QString &configFolder,
               bool debugModbus, ControlerData *panelLink = nullptr);
    // Publishes "offline" and disconnects; stops the bridge's own link, or takes the background
    // set off the shared one. Idempotent.
    void stop();

    bool isRunning() const;
    MqttBridge *bridge() const;
    // The link the bridge reads through (its own or the panel's); null when not running.
    ControlerData *link() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
