// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QStringList>

// What the application core needs of the project model it owns. The model lives in a library
// above the core, so the core reaches it only through this interface.
class IProjectModel
{
public:
    virtual ~IProjectModel() = default;
    // Reads the project XML files (plain file names) of the working folder.
    virtual bool loadProject(const QString &workingFolder, const QStringList &projectFiles) = 0;
    // Writes back the subsystem files whose pages were modified; true when nothing failed.
    virtual bool saveProject(const QString &workingFolder) = 0;
};
