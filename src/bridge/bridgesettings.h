// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QString>

class EAppSettings;

// Where the bridge finds its broker and how it names what it publishes: the "mqtt_..." keys of
// config.xml. The bridge is off while no host is set.
struct BridgeSettings
{
    static constexpr int kDefaultPort = 1883;
    static constexpr int kDefaultPollMs = 2000;
    // The link's own limits of a poll period.
    static constexpr int kMinPollMs = 100;
    static constexpr int kMaxPollMs = 2000;

    QString host;
    int port = kDefaultPort;
    // Names the node in topics; the broker sees it with clientSuffix appended (clientIdOnBroker()).
    QString clientId;
    // Random and kept in the configuration folder (storedClientSuffix()): the id the broker knows
    // cannot be read off the topics, so nobody can take the bridge's session by connecting with
    // it. Empty: the bridge makes one for its run.
    QString clientSuffix;
    QString user;
    QString password; // from mqtt_password, or the first line of mqtt_password_file
    // TLS is on as soon as any of the three is set; without a CA file the system's store
    // (kSystemCaPath) checks the broker, whose name is verified.
    QString tlsCa;
    QString tlsCert; // a client certificate needs its key and the other way round
    QString tlsKey;
    QString prefix = QStringLiteral("verandix");
    QString discoveryPrefix = QStringLiteral("homeassistant"); // empty: no discovery
    int pollMs = kDefaultPollMs;
    // Commands a second the whole bridge passes to the controller (mqtt_command_budget).
    int commandBudget = 20;

    bool enabled() const { return !host.isEmpty(); }
    bool tls() const { return !tlsCa.isEmpty() || !tlsCert.isEmpty() || !tlsKey.isEmpty(); }
    // Why the settings cannot be used as they are (a certificate without its key, ...); empty
    // when they can.
    QString problem() const;
    QString clientIdOnBroker() const;
    // The node name in topics: the client id with every character a topic level or a discovery
    // object id cannot hold replaced by '_'.
    QString node() const;

    // Reads the keys; relative file names are relative to the configuration folder, which also
    // goes into the client id derived when none is set (host name + folder), so two panels of
    // one machine with different configurations do not take each other's session.
    static BridgeSettings fromSettings(const EAppSettings &settings, const QString &configFolder);
    // The client id suffix kept in `configFolder` (made on first use). A folder that cannot be
    // written gets one for this process only, with a warning: the bridge works all the same.
    static QString storedClientSuffix(const QString &configFolder);

    static constexpr const char *kSystemCaPath = "/etc/ssl/certs";
    static constexpr const char *kClientSuffixFile = "mqtt_client_suffix";
};
