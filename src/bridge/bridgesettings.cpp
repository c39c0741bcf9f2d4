// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bridgesettings.h"

#include "bridgelogging.h"
#include "eappsettings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHostInfo>

namespace {

QString resolved(const QString &folder, const QString &name)
{
    if (name.isEmpty() || QDir::isAbsolutePath(name) || folder.isEmpty())
        return name;
    return QDir(folder).filePath(name);
}

} // namespace

QString BridgeSettings::node() const
{
    QString out;
    for (const QChar c : clientId) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                           c == QLatin1Char('_') || c == QLatin1Char('-');
        out += plain ? c : QLatin1Char('_');
    }
    return out.isEmpty() ? QStringLiteral("verandix") : out;
}

BridgeSettings BridgeSettings::fromSettings(const EAppSettings &settings,
                                            const QString &configFolder)
{
    BridgeSettings s;
    const auto text = [&settings](const char *key, const QString &fallback = QString()) {
        return settings.optionalValue(QLatin1String(key), fallback).trimmed();
    };
    s.host = text("mqtt_host");
    // Off: nothing else is read (no password file is opened for a bridge that does not run).
    if (s.host.isEmpty())
        return s;
    bool ok = false;
    const int port = text("mqtt_port").toInt(&ok);
    if (ok && port > 0 && port <= 65535)
        s.port = port;
    s.user = text("mqtt_user");
    s.password = settings.optionalValue(QStringLiteral("mqtt_password"));
    const QString passwordFile = resolved(configFolder, text("mqtt_password_file"));
    if (s.password.isEmpty() && !passwordFile.isEmpty()) {
        QFile file(passwordFile);
        if (file.open(QIODevice::ReadOnly))
            s.password = QString::fromUtf8(file.readLine()).trimmed();
        else
            qCWarning(lcBridge, "cannot read the password file %s", qPrintable(passwordFile));
    }
    s.tlsCa = resolved(configFolder, text("mqtt_tls_ca"));
    s.tlsCert = resolved(configFolder, text("mqtt_tls_cert"));
    s.tlsKey = resolved(configFolder, text("mqtt_tls_key"));
    s.prefix = text("mqtt_prefix", s.prefix);
    if (s.prefix.isEmpty())
        s.prefix = QStringLiteral("verandix");
    s.discoveryPrefix = text("mqtt_discovery", s.discoveryPrefix);
    const int poll = text("mqtt_poll").toInt(&ok);
    if (ok)
        s.pollMs = qBound(kMinPollMs, poll, kMaxPollMs);
    s.clientId = text("mqtt_client_id");
    if (s.clientId.isEmpty()) {
        // Stable for one machine and one configuration folder, short enough for any broker.
        const QByteArray folderHash =
            QCryptographicHash::hash(QDir(configFolder).absolutePath().toUtf8(),
                                     QCryptographicHash::Sha1)
                .toHex()
                .left(8);
        s.clientId = QStringLiteral("verandix-") % QHostInfo::localHostName() % QLatin1Char('-') %
                     QString::fromLatin1(folderHash);
    }
    return s;
}
