// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "eappsettings.h"
#include "ecommandline.h"
#include "ecoreapp.h"

#include <QApplication>
#include <QTextStream>

#ifdef VERANDIX_HAVE_MODEL
#include "roomsv1.h"
#endif
#ifdef VERANDIX_HAVE_MEDIA
#include "eaudioplayer.h"
#endif
#ifdef VERANDIX_HAVE_MODBUS
#include "controlerdata.h"
#endif

namespace {

void installServices(ECoreApp *app)
{
#ifdef VERANDIX_HAVE_MODEL
    auto *rooms = new RoomsV1;
    app->setProjectModel(rooms, rooms);
#endif
#ifdef VERANDIX_HAVE_MEDIA
    app->setAudioPlayer(new EAudioPlayer);
#endif
#ifdef VERANDIX_HAVE_MODBUS
    app->setController(new ControlerData);
#endif
    Q_UNUSED(app)
}

const char *modeName(StartMode mode)
{
    switch (mode) {
    case StartMode::Demo:
        return "demo";
    case StartMode::Standard:
        return "standard";
    case StartMode::Multi:
        return "choice among several configurations";
    }
    return "";
}

} // namespace

int main(int argc, char *argv[])
{
    const QStringList arguments = ECommandLine::argumentsOf(argc, argv);
    switch (ECommandLine::apply(arguments, nullptr)) {
    case ECommandLine::Action::ShowHelp:
        QTextStream(stdout) << ECommandLine::helpText(arguments.value(0));
        return 0;
    case ECommandLine::Action::ShowVersion:
        QTextStream(stdout) << ECommandLine::versionText();
        return 0;
    case ECommandLine::Action::Run:
        break;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("verandix"));
    QApplication::setApplicationVersion(QStringLiteral(VERANDIX_VERSION));

    ECoreApp *app = ECoreApp::instance();
    installServices(app);
    ECommandLine::apply(arguments, app);
    QTextStream out(stdout);

    // The screens are not built yet: load the configuration the start mode asks for and say
    // plainly what was found, so the start-up path can already be tried end to end.
    switch (app->startMode()) {
    case StartMode::Standard:
        app->loadStandardConfiguration();
        break;
    case StartMode::Demo:
        app->loadDemoConfiguration();
        break;
    case StartMode::Multi:
        if (!app->multiConfigurations().entries.isEmpty())
            app->loadMultiConfiguration(app->multiConfigurations().entries.first()->name);
        break;
    }
    out << "verandix " VERANDIX_VERSION "\n"
        << "start mode: " << modeName(app->startMode()) << "\n"
        << "configuration folder: " << app->configurationFolder() << "\n"
        << "working folder: " << app->workingFolder() << "\n"
        << "settings file: " << app->settingsFilePath() << "\n"
        << "project files: " << app->projectFiles().join(QStringLiteral(", ")) << "\n"
        << "controller: " << app->settings().value(EAppSettings::IpAddress).toString() << ":"
        << app->settings().value(EAppSettings::IpPort).toInt() << "\n";
#ifdef VERANDIX_HAVE_MODEL
    if (app->rooms())
        out << "plan pages: " << app->rooms()->pageCount() << "\n";
#endif
    out << "The main window is not part of this build yet; the program exits here.\n";
    out.flush();
    ECoreApp::destroyInstance();
    return 0;
}
