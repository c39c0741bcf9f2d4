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

// The MQTT bridge with a controller link of its own: the link polls everything the bridge
// publishes as one room, at the bridge's period, on its own connection and thread, so the room
// a screen shows is polled exactly as without the bridge and never waits for it. Used by the
// panel (started once the screens are built) and by the headless mode.
class BridgeService : public QObject
{
    Q_OBJECT
public:
    explicit BridgeService(QObject *parent = nullptr);
    ~BridgeService() override;

    // Off (false, nothing started) unless the settings name a broker. The project and settings
    // are read now; later edits reach the bridge at the next start.
    bool start(const EAppSettings &settings, const RoomsV1 &rooms, const QString &configFolder,
               bool debugModbus);
    // Publishes "offline", disconnects and stops the link. Idempotent.
    void stop();

    bool isRunning() const;
    MqttBridge *bridge() const;
    ControlerData *link() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
