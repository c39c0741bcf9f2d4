// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QStringList>

class LoadReport;

// What the application core needs of the project model it owns. The model lives in a library
// above the core, so the core reaches it only through this interface.
class IProjectModel
{
public:
    virtual ~IProjectModel() = default;
    // Reads the project XML files (plain file names) of the working folder, going on past files it
    // cannot use; what it had to skip goes into the report (which may be null), with file and line.
    virtual bool loadProject(const QString &workingFolder, const QStringList &projectFiles,
                             LoadReport *report) = 0;
    // Writes back the subsystem files whose pages were modified; true when nothing failed.
    virtual bool saveProject(const QString &workingFolder) = 0;
    // Grows with every edit of a page, written or not: the core compares it between looks to see
    // that something changed and that a burst of edits has settled.
    virtual quint64 modificationCount() const { return 0; }
};
