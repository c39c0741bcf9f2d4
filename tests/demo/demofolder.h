// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QString>
#include <QStringList>

class BaseRoomV1;
class QRectF;

// The demo home as the program sees it: the compiled-in packages unpacked into a folder the way
// the demo start does, plus the settings file beside them so that tools which take a
// configuration folder (checker, simulator) can read the same thing.
class DemoFolder
{
public:
    static constexpr const char *kResourceFolder = ":/resources/demo";

    // Unpacks configs, images and sounds into `target` and copies config.xml next to them.
    static bool unpack(const QString &target);
    // The project files of a working folder, named and ordered as the program lists them.
    static QStringList projectFiles(const QString &folder);
    // "file / page caption" for failure messages.
    static QString describe(const BaseRoomV1 *page);
    // "(x,y wxh)", rounded, for failure messages about placement.
    static QString describe(const QRectF &rect);
};
