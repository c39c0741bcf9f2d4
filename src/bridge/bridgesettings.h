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
    QString clientId;
    QString user;
    QString password; // from mqtt_password, or the first line of mqtt_password_file
    QString tlsCa;    // TLS is on when a CA file is given; the broker's name is verified
    QString tlsCert;
    QString tlsKey;
    QString prefix = QStringLiteral("verandix");
    QString discoveryPrefix = QStringLiteral("homeassistant"); // empty: no discovery
    int pollMs = kDefaultPollMs;

    bool enabled() const { return !host.isEmpty(); }
    bool tls() const { return !tlsCa.isEmpty(); }
    // The node name in topics: the client id with every character a topic level or a discovery
    // object id cannot hold replaced by '_'.
    QString node() const;

    // Reads the keys; relative file names are relative to the configuration folder, which also
    // goes into the client id derived when none is set (host name + folder), so two panels of
    // one machine with different configurations do not take each other's session.
    static BridgeSettings fromSettings(const EAppSettings &settings, const QString &configFolder);
};
