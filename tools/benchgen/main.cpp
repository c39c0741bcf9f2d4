// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// verandix-benchgen: writes a project of N rooms for the start-up, memory and tour benchmarks.
#include "benchproject.h"

#include <QGuiApplication>
#include <QTextStream>

namespace {

int usage(QTextStream &s, int code)
{
    s << "Usage: verandix-benchgen --rooms N [--controls M] [--per-floor K] --out FOLDER\n"
         "Writes a configuration folder with the home page and one lighting subsystem of N rooms\n"
         "(K rooms to a floor, 12 by default), each with M controls (10 by default) and its own\n"
         "1600x1200 plan picture. Start the panel with -config FOLDER.\n";
    return code;
}

bool readCount(const QString &text, int minimum, int *value)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < minimum || v > 100000)
        return false;
    *value = v;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    BenchProjectOptions options;
    QString folder;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const QString next = args.value(i + 1);
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return usage(out, 0);
        if (a == QLatin1String("--out") && i + 1 < args.size()) {
            folder = next;
        } else if (a == QLatin1String("--rooms") && readCount(next, 1, &options.rooms)) {
        } else if (a == QLatin1String("--controls") && readCount(next, 0, &options.controls)) {
        } else if (a == QLatin1String("--per-floor") &&
                   readCount(next, 1, &options.roomsPerFloor)) {
        } else {
            err << "verandix-benchgen: bad argument " << a << "\n";
            return usage(err, 2);
        }
        ++i;
    }
    if (folder.isEmpty())
        return usage(err, 2);
    QString error;
    if (!writeBenchProject(folder, options, &error)) {
        err << "verandix-benchgen: " << error << "\n";
        return 1;
    }
    out << "wrote " << options.rooms << " rooms of " << options.controls << " controls to "
        << folder << "\n";
    return 0;
}
