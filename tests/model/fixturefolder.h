// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QString>

// Helpers for tests that work on a writable copy of a fixture project.
namespace FixtureFolder {

// Copies every file below `from` into `to`, keeping sub-folders; false on the first failure.
bool copyFolder(const QString &from, const QString &to);
// The whole file, or empty when it cannot be read.
QByteArray contents(const QString &path);

} // namespace FixtureFolder
