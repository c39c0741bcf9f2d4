// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "xmlnode.h"

class BaseControlV1;
class MainStructV1;

// Writes a page tree back in the project file format. Deleted pages and controls are left out;
// decoded values, runtime ids, page numbers and editor flags are never stored.
class ProjectWriterV1
{
public:
    // Builds the element tree of a subsystem and writes it to folder/fileName atomically. The
    // file must exist (trees are only written back to the file they were read from).
    static bool writeSubsystem(const MainStructV1 *root, const QString &folder,
                               const QString &fileName);
    // The element tree of a subsystem, as writeSubsystem would write it.
    static XML::NodeElementPtr buildTree(const MainStructV1 *root);
    // The element of one control; null for kinds that are never written (1 and 103).
    static XML::NodeElementPtr buildControl(const BaseControlV1 *control);
};
