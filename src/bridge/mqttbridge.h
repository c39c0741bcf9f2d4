// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "bridgesettings.h"
#include "controllertypes.h"
#include "roomsnapshot.h"

#include <QObject>
#include <functional>
#include <memory>

class BridgeCatalog;
class ControlerData;
class EAppSettings;
class LinkCommands;
class RoomsV1;

// The bridge between the controller link and a home automation hub over MQTT: publishes what the
// project holds (Home Assistant discovery, retained), the values the link reads (on change, and
// sensors every five minutes), and turns command messages into the link's typed commands, the
// same ones a person's tap sends. Lives in the thread that owns it (the GUI thread); the MQTT
// network I/O runs in a thread of its own, so neither side waits on the other.
class MqttBridge : public QObject
{
    Q_OBJECT
public:
    explicit MqttBridge(const BridgeSettings &settings, QObject *parent = nullptr);
    ~MqttBridge() override;

    // Builds the entities from the loaded project. Call before start().
    void setProject(const RoomsV1 &rooms, const EAppSettings &settings);
    // The records the bridge publishes, as one room for the link to poll.
    RoomSnapshot pollSnapshot() const;
    // Where the bridge's records are polled: as the link's (only) room, or as the background
    // set of a link that also polls the room a screen shows.
    enum class Feed { Room, Background };
    // Listens to the link's signals and sends its commands through `commands`, which must
    // address the controls of pollSnapshot() as the `feed` says (commands() for Room,
    // backgroundCommands() for Background).
    void attach(ControlerData *link, LinkCommands *commands, Feed feed = Feed::Room);

    // Connects to the broker (in the background). False when the settings cannot be used.
    bool start();
    // Publishes "offline" and disconnects.
    void stop();

    const BridgeCatalog &catalog() const;
    const BridgeSettings &settings() const;
    QString statusTopic() const;
    // "online" while the controller answers, "offline" from one answer wait without an answer
    // on: every entity that shows or sets a controller value is available only while both this
    // and statusTopic() say "online".
    QString controllerAvailabilityTopic() const;
    int publishedCount() const;

    // The clock of the limits (command budget, keypad lockout, log windows), in milliseconds;
    // tests and the fuzz harness set their own. Call before start().
    void setClock(std::function<qint64()> clock);
    // How long the controller may stay without an answer before it counts as unavailable (the
    // link's answer wait plus a poll period unless set).
    void setAnswerWait(int milliseconds);

    // One message from the broker, as the client hands it over: the topic, the payload and
    // whether the broker kept it (retained).
    void handleMessage(const QString &topic, const QByteArray &payload, bool retained);

public slots:
    void updateStatus(const ReservVariables &variables);
    void updateControls(const QList<SubsUpdate> &answer, int registerOffset);
    // A lost connection makes the controller unavailable at once; a new one does not make it
    // available: only an answer does.
    void setControllerConnected(bool connected);

signals:
    // After every (re)connection, once discovery, states and "online" have been handed over.
    void announced();
    // A command message that was refused, and why (never contains a code).
    void commandRefused(const QString &entity, const QString &reason);
    // A command message that became a link command.
    void commandSent(const QString &entity);
    // The broker refused the connection or it was lost (the reason code of the client library);
    // the bridge keeps trying.
    void brokerDisconnected(int reason);

private:
    void onConnected();
    void refuse(const QString &key, const QString &reason);
    void controllerAnswered();
    void setControllerAnswering(bool answering);
    void publishControllerState();
    void publishSecurityAttributes();
    void keypadEvent(int event);
    void housekeeping();
    bool restoreOwnTopic(const QString &topic, const QByteArray &payload);
    void republish(const QString &topic);
    void forgetEntity(const QString &component, const QString &uniqueId);
    void publishState(const QString &topic, const QByteArray &payload, bool retain = true);
    void publishDiscovery();
    QByteArray entityList() const;
    void publishAllStates();
    // The states of the last status (parameters, alarms, the security panel).
    void publishStatus();

    struct Private;
    std::unique_ptr<Private> d;
};
