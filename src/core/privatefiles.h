// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Files written where someone else may have been first. A shared folder such as /tmp lets any
// user plant a symbolic link under a name the program is known to use; writing through it
// overwrites whatever it points at with the program's rights. These helpers make a folder no one
// else can enter, and write files without following a link in the last part of the path.
namespace PrivateFiles {

// A new folder that only this user can enter (made by mkdtemp, mode 0700), named
// PREFIX-XXXXXX: under XDG_RUNTIME_DIR when that is this user's own private folder, otherwise
// under `base` (the temporary folder when empty). Empty when no such folder could be made.
QString makeFolder(const QString &prefix, const QString &base = QString());
// Whether `path` is a folder itself (not a link to one), owned by this user, and closed to
// everyone else.
bool isPrivateFolder(const QString &path);
// Writes `data` as the whole content of the regular file `path`, creating it with the
// permissions the user's umask leaves. A symbolic link at `path` is refused, never followed.
bool writeFile(const QString &path, const QByteArray &data, QString *error = nullptr);
// What a file created now gets: read and write for all, less the process's umask.
QFileDevice::Permissions umaskedPermissions();

} // namespace PrivateFiles
