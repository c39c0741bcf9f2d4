// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

// The user guide that ships with the program (an HTML page built from docs/user-guide.md): where
// it is for the running executable, and opening it in the desktop's browser.
class UserGuide
{
public:
    using Opener = std::function<bool(const QUrl &)>;

    static constexpr const char *kFileName = "user-guide.html";

    // Places the guide is looked for, best first, for an executable in applicationDir: the
    // installed copy (prefix/bin -> prefix/share/doc/verandix) and the build tree's (build/src ->
    // build/docs).
    static QStringList candidates(const QString &applicationDir);
    // The first candidate that exists, or an empty string.
    static QString locate(const QString &applicationDir);
    // The guide of the running program, or an empty string when there is none.
    static QString path();
    // Opens the guide of the running program; false when there is none or the desktop declined.
    static bool open();
    // What open() hands the guide's address to; the desktop's browser unless a test stands in
    // another. An empty opener restores the desktop's.
    static void setOpener(Opener opener);
    // The folder open() looks from: the executable's unless set; an empty folder restores it.
    static void setApplicationDir(const QString &folder);
};
