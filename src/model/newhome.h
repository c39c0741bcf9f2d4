// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QString>
#include <QStringList>

// A new, empty home for an installer to start from: config.xml with the controller's address, the
// home page with buttons to lighting, heating, scenes, settings and exit, lighting and heating each
// with one floor and one room, a plan picture for every page to be replaced by the house's own,
// and the pictures new controls name by default. Everything the palette adds works on it at once.
namespace NewHome {

struct Options
{
    // Where the controller answers; loopback until the installer knows better.
    QString address = QStringLiteral("127.0.0.1");
    int port = 502;
    // The language of the interface and of the page captions written ("en_US", "ru_RU"); empty:
    // the system's, when the program has a table for it, else English.
    QString language;
};

// The plan picture every page starts with, relative to the project folder.
constexpr const char kPlanPicture[] = "plans/plan.png";

// The files create() writes, relative to the folder.
QStringList files();

// Why `folder` cannot take a new home (it holds a configuration or packages already, or it is a
// file); empty when it can.
QString refusal(const QString &folder);

// Makes the folder (and its parents) and writes the new home into it. Existing files are never
// replaced: a folder that refusal() turns down is left alone. False with `error` set on failure.
bool create(const QString &folder, const Options &options, QString *error = nullptr);

} // namespace NewHome
