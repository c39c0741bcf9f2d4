// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "ecommandline.h"

#include "ecoreapp.h"

#include <QFileInfo>

namespace ECommandLine {

Action apply(const QStringList &arguments, ECoreApp *app)
{
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == QLatin1String("-config")) {
            // The value is taken even when it is missing: the mode still becomes standard.
            if (app)
                app->setSettingsFilePath(i + 1 < arguments.size() ? arguments.at(i + 1)
                                                                  : QString());
            ++i;
        } else if (arg == QLatin1String("-modbus")) {
            if (app)
                app->setModbusDebug(true);
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            return Action::ShowHelp;
        } else if (arg == QLatin1String("--version")) {
            return Action::ShowVersion;
        } else if (app) {
            qWarning("Unrecognized option %s", qUtf8Printable(arg));
        }
    }
    return Action::Run;
}

QStringList argumentsOf(int argc, char **argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list.append(QString::fromLocal8Bit(argv[i]));
    return list;
}

QString helpText(const QString &programName)
{
    const QString name = QFileInfo(programName).fileName();
    return QStringLiteral(
               "Usage: %1 [-config FOLDER|FILE] [-modbus] [--demo] [--new FOLDER] [--tour DIR]\n"
               "          [--bridge]\n"
               "Smart home control panel and editor of its own screens.\n\n"
               "Without options the configuration is looked for in the folder \"verandix\" of "
               "your\n"
               "Documents folder, or beside the program: multi.xml offers several configurations,\n"
               "config.xml opens one; with neither, the built-in demo home is offered.\n\n"
               "  -config FOLDER|FILE  open this configuration: a configuration folder, or the\n"
               "                       config.xml inside one\n"
               "  -modbus              log every controller block read (debugging)\n"
               "  --demo               open the built-in demo home at once\n"
               "  --new FOLDER         make a new, empty home in FOLDER and open it\n"
               "  --tour DIR           show every page once, leave one picture per page in DIR\n"
               "                       and exit\n"
               "  --bridge             no window: poll the controller and bridge it to an MQTT\n"
               "                       broker (config.xml key mqtt_host); ends on SIGTERM\n"
               "  --help               show this help and exit\n"
               "  --version            show the version and exit\n")
        .arg(name);
}

QString versionText()
{
    return QStringLiteral("verandix " VERANDIX_VERSION "\n");
}

} // namespace ECommandLine
