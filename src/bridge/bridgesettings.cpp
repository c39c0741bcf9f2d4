// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bridgesettings.h"

#include "bridgelogging.h"
#include "eappsettings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QHostInfo>
#include <QMutex>
#include <QRandomGenerator>
#include <QSaveFile>

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

QString BridgeSettings::problem() const
{
    if (!tlsCert.isEmpty() && tlsKey.isEmpty())
        return QStringLiteral("mqtt_tls_cert is set but mqtt_tls_key is not: a client certificate "
                              "needs its key");
    if (tlsCert.isEmpty() && !tlsKey.isEmpty())
        return QStringLiteral("mqtt_tls_key is set but mqtt_tls_cert is not: a client key needs "
                              "its certificate");
    return QString();
}

QString BridgeSettings::clientIdOnBroker() const
{
    if (clientSuffix.isEmpty())
        return clientId;
    return clientId % QLatin1Char('-') % clientSuffix;
}

QString BridgeSettings::storedClientSuffix(const QString &configFolder)
{
    // One suffix per folder and process, also when it cannot be stored: every caller of a run
    // names the same session.
    static QMutex mutex;
    static QHash<QString, QString> kept;
    const QString folder = QDir(configFolder).absolutePath();
    QMutexLocker lock(&mutex);
    const auto known = kept.constFind(folder);
    if (known != kept.constEnd())
        return *known;

    const QString path = QDir(folder).filePath(QLatin1String(kClientSuffixFile));
    QFile stored(path);
    if (stored.open(QIODevice::ReadOnly)) {
        const QByteArray text = stored.read(64).trimmed();
        bool plain = text.size() >= 8;
        for (const char c : text)
            plain = plain && ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'));
        if (plain) {
            kept.insert(folder, QString::fromLatin1(text));
            return kept.value(folder);
        }
        qCWarning(lcBridge, "%s does not hold a client id suffix; making a new one",
                  qPrintable(path));
    }
    QByteArray random(8, Qt::Uninitialized);
    QRandomGenerator::system()->generate(random.begin(), random.end());
    const QString suffix = QString::fromLatin1(random.toHex());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(suffix.toLatin1() + '\n') < 0 ||
        !file.commit())
        qCWarning(lcBridge,
                  "cannot store the MQTT client id suffix in %s (%s); this run uses one of its "
                  "own",
                  qPrintable(path), qPrintable(file.errorString()));
    kept.insert(folder, suffix);
    return suffix;
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
    const int budget = text("mqtt_command_budget").toInt(&ok);
    if (ok && budget > 0)
        s.commandBudget = budget;
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
