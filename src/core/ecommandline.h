// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QStringList>

class ECoreApp;

// The program's command line: "-config VALUE", "-modbus", "--help", "--version"; anything else is
// warned about and start-up goes on.
namespace ECommandLine {

enum class Action { Run, ShowHelp, ShowVersion };

// Applies the arguments (including the program name in front) to the application singleton. With
// no singleton it only finds out whether help or the version was asked for, which must work
// before any window system is touched.
Action apply(const QStringList &arguments, ECoreApp *app);
QStringList argumentsOf(int argc, char **argv);
QString helpText(const QString &programName);
QString versionText();

} // namespace ECommandLine
