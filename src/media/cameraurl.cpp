// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "cameraurl.h"

namespace CameraUrl {

QUrl build(const QString &address, const QString &path, const QString &port)
{
    QString text = address.trimmed() + path;
    // A bare "10.0.0.5/video" would parse as a relative path without host, so the default scheme
    // goes in front of the text rather than onto the parsed URL.
    if (!text.contains(QLatin1String("://")))
        text.prepend(text.startsWith(QLatin1String("//")) ? QStringLiteral("http:")
                                                          : QStringLiteral("http://"));
    QUrl url(text, QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty())
        return QUrl();
    const QString portText = port.trimmed();
    if (!portText.isEmpty()) {
        bool ok = false;
        const int value = portText.toInt(&ok, 10);
        if (!ok || value < 1 || value > 65535)
            return QUrl();
        url.setPort(value);
    }
    return url;
}

} // namespace CameraUrl
