// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "loadreport.h"
#include "xmlnode.h"

#include <QStringList>
#include <QVariant>
#include <memory>

class BaseRoomV1;
class MainStructV1;

// Reads one subsystem file into a page tree with its control records. Never fails: a missing or
// malformed file gives an empty root of the type its name implies. What the reader had to skip is
// logged and, when a report is given, described there with the file name and line; the result is
// the same either way.
class ProjectReaderV1
{
public:
    static std::unique_ptr<MainStructV1>
    readSubsystem(const QString &folder, const QString &fileName, LoadReport *report = nullptr);
    // The same from an already parsed root element (null or a wrong root gives an empty tree).
    static std::unique_ptr<MainStructV1> readSubsystem(const XML::NodeElementPtr &root,
                                                       const QString &fileName,
                                                       LoadReport *report = nullptr);
    // The same, with the problems as plain "file:line: message" texts.
    static std::unique_ptr<MainStructV1>
    readSubsystem(const XML::NodeElementPtr &root, const QString &fileName, QStringList *problems);
    // Page attributes of a `floor` or `room` element.
    static void readPage(const XML::NodeElement &element, BaseRoomV1 *page);
    // A control element (or a scene caption) of a page; the new control's index, or -1. An element
    // that makes no control is reported against the file name given.
    static int readControl(const XML::NodeElement &element, BaseRoomV1 *page,
                           LoadReport *report = nullptr, const QString &fileName = QString());
    // The same, and the record (or the page, for a scene) remembers the element, so that saving
    // keeps what the program does not read (FileOrigin).
    static int readControl(const XML::NodeElementPtr &element, BaseRoomV1 *page,
                           LoadReport *report = nullptr, const QString &fileName = QString());

    // Subsystem type by file name (exact, case-sensitive).
    static int systemTypeForFile(const QString &fileName);

    // Attribute text conversions: an absent attribute or text that is not a number gives zero.
    static int toInt(const QVariant &value);
    static double toDouble(const QVariant &value);
    // False for absent, empty, "0" and "false" in any letter case; true for any other text.
    static bool toBool(const QVariant &value);

private:
    static int readControl(const XML::NodeElement &element, const XML::NodeElementPtr &origin,
                           BaseRoomV1 *page, LoadReport *report, const QString &fileName);
};
