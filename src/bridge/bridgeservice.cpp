// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bridgeservice.h"

#include "bridgelogging.h"
#include "bridgesettings.h"
#include "controlerdata.h"
#include "eappsettings.h"
#include "mqttbridge.h"
#include "roomsv1.h"

#include <QPointer>

struct BridgeService::Private
{
    std::unique_ptr<ControlerData> ownLink;
    QPointer<ControlerData> sharedLink;
    std::unique_ptr<MqttBridge> bridge;
};

BridgeService::BridgeService(QObject *parent) : QObject(parent), d(std::make_unique<Private>()) {}

BridgeService::~BridgeService()
{
    stop();
}

bool BridgeService::start(const EAppSettings &settings, const RoomsV1 &rooms,
                          const QString &configFolder, bool debugModbus, ControlerData *panelLink)
{
    if (d->bridge)
        return true;
    BridgeSettings bridgeSettings = BridgeSettings::fromSettings(settings, configFolder);
    if (!bridgeSettings.enabled())
        return false;
    const QString problem = bridgeSettings.problem();
    if (!problem.isEmpty()) {
        qCWarning(lcBridge, "MQTT bridge not started: %s", qPrintable(problem));
        return false;
    }
    bridgeSettings.clientSuffix = BridgeSettings::storedClientSuffix(configFolder);
    registerControllerTypes();
    auto bridge = std::make_unique<MqttBridge>(bridgeSettings);
    bridge->setProject(rooms, settings);
    if (panelLink) {
        bridge->attach(panelLink, &panelLink->backgroundCommands(), MqttBridge::Feed::Background);
        if (!bridge->start())
            return false;
        panelLink->setBackground(bridge->pollSnapshot(), bridgeSettings.pollMs);
        d->sharedLink = panelLink;
    } else {
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
        d->ownLink = std::move(link);
    }
    qCInfo(lcBridge, "bridging %d entities to %s:%d as %s", bridge->publishedCount(),
           qPrintable(bridgeSettings.host), bridgeSettings.port, qPrintable(bridgeSettings.node()));
    d->bridge = std::move(bridge);
    return true;
}

void BridgeService::stop()
{
    if (d->bridge)
        d->bridge->stop();
    if (d->ownLink)
        d->ownLink->shutdown();
    if (d->sharedLink && d->bridge)
        d->sharedLink->clearBackground();
    d->bridge.reset();
    d->ownLink.reset();
    d->sharedLink.clear();
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
    return d->ownLink ? d->ownLink.get() : d->sharedLink.data();
}
