// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// verandix-icongen: draws every built-in picture of the program into a folder.
#include "iconcatalog.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Draws the program's built-in pictures as PNG files."));
    parser.addHelpOption();
    const QCommandLineOption out(QStringLiteral("out"),
                                 QStringLiteral("Folder to write the pictures into."),
                                 QStringLiteral("dir"));
    const QCommandLineOption list(QStringLiteral("list"),
                                  QStringLiteral("Print the picture names, one a line, and exit."));
    const QCommandLineOption sheet(QStringLiteral("sheet"),
                                   QStringLiteral("Also write a contact sheet of every picture."),
                                   QStringLiteral("file"));
    parser.addOption(out);
    parser.addOption(list);
    parser.addOption(sheet);
    parser.process(app);

    QTextStream cout(stdout);
    QTextStream cerr(stderr);
    if (parser.isSet(list)) {
        for (const QString &name : IconCatalog::names())
            cout << name << '\n';
        return 0;
    }
    if (!parser.isSet(out) && !parser.isSet(sheet)) {
        cerr << "verandix-icongen: give --out DIR, --sheet FILE or --list\n";
        return 2;
    }
    QString error;
    if (parser.isSet(out) && !IconCatalog::writeAll(parser.value(out), &error)) {
        cerr << "verandix-icongen: " << error << '\n';
        return 1;
    }
    if (parser.isSet(sheet) &&
        !IconCatalog::writePng(parser.value(sheet), IconCatalog::contactSheet(), &error)) {
        cerr << "verandix-icongen: " << error << '\n';
        return 1;
    }
    return 0;
}
