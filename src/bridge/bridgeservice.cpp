// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bridgeservice.h"

#include "bridgelogging.h"
#include "bridgesettings.h"
#include "controlerdata.h"
#include "eappsettings.h"
#include "mqttbridge.h"
#include "roomsv1.h"

struct BridgeService::Private
{
    std::unique_ptr<ControlerData> link;
    std::unique_ptr<MqttBridge> bridge;
};

BridgeService::BridgeService(QObject *parent) : QObject(parent), d(std::make_unique<Private>()) {}

BridgeService::~BridgeService()
{
    stop();
}

bool BridgeService::start(const EAppSettings &settings, const RoomsV1 &rooms,
                          const QString &configFolder, bool debugModbus)
{
    if (d->bridge)
        return true;
    const BridgeSettings bridgeSettings = BridgeSettings::fromSettings(settings, configFolder);
    if (!bridgeSettings.enabled())
        return false;
    registerControllerTypes();
    auto bridge = std::make_unique<MqttBridge>(bridgeSettings);
    bridge->setProject(rooms, settings);
    auto link = std::make_unique<ControlerData>();
    link->configure(settings, debugModbus);
    link->SetUpdateTimeout(bridgeSettings.pollMs);
    bridge->attach(link.get(), &link->commands());
    link->start();
    link->commands().setRoom(bridge->pollSnapshot());
    if (!bridge->start()) {
        link->shutdown();
        return false;
    }
    qCInfo(lcBridge, "bridging %d entities to %s:%d as %s", bridge->publishedCount(),
           qPrintable(bridgeSettings.host), bridgeSettings.port, qPrintable(bridgeSettings.node()));
    d->link = std::move(link);
    d->bridge = std::move(bridge);
    return true;
}

void BridgeService::stop()
{
    if (d->bridge)
        d->bridge->stop();
    if (d->link)
        d->link->shutdown();
    d->bridge.reset();
    d->link.reset();
}

bool BridgeService::isRunning() const
{
    return bool(d->bridge);
}

MqttBridge *BridgeService::bridge() const
{
    return d->bridge.get();
}

ControlerData *BridgeService::link() const
{
    return d->link.get();
}
