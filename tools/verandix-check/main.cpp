// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "projectchecker.h"
#include "projectformat.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // Pictures are decoded as the panel decodes them, which needs a GUI application; the checker
    // never opens a window, so it does not need a display either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // The readers log what they skip; the checker prints the same problems itself, once, on stdout.
    QLoggingCategory::setFilterRules(QStringLiteral("verandix.*.warning=false"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args == QStringList{QStringLiteral("--describe-format")}) {
        // The generated parts of docs/commissioning.md, from the same descriptions the checker
        // and the panel read the files with.
        out << ProjectFormat::beginMarker(QStringLiteral("controls")) << "\n\n"
            << ProjectFormat::controlTables() << ProjectFormat::endMarker(QStringLiteral("controls"))
            << "\n\n"
            << ProjectFormat::beginMarker(QStringLiteral("settings")) << "\n\n"
            << ProjectFormat::settingsTable() << "\n"
            << ProjectFormat::endMarker(QStringLiteral("settings")) << "\n";
        return 0;
    }
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        err << "usage: verandix-check CONFIGURATION_FOLDER\n"
               "       verandix-check --describe-format\n"
               "Checks the settings and project files of a configuration folder, or prints the\n"
               "tables of the file format that docs/commissioning.md carries.\n"
               "Exit status: 0 no problem, 1 problems found, 2 folder cannot be read.\n";
        return ProjectChecker::FolderUnreadable;
    }
    ProjectChecker checker(args.first());
    return checker.run(out, err);
}
