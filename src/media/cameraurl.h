// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QString>
#include <QUrl>

namespace CameraUrl {

// The URL of a camera resource: the address (with or without scheme, "//host" allowed) followed
// directly by the path, with "http" when no scheme is given and the decimal port when the port
// text is not empty. An invalid URL, no host or a port outside 1-65535 give an invalid QUrl.
QUrl build(const QString &address, const QString &path, const QString &port);

} // namespace CameraUrl
