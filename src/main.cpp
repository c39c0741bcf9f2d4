// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "controlerdata.h"
#include "eappsettings.h"
#include "eaudioplayer.h"
#include "ecommandline.h"
#include "ecoreapp.h"
#include "esignalwatcher.h"
#include "mainwindow.h"
#include "tourrunner.h"
#include "roomsv1.h"

#include <QApplication>
#include <QSessionManager>
#include <QTextStream>
#include <QTimer>

namespace {

constexpr int kAutoSaveLookMs = 250;
constexpr int kAutoSaveLatestMs = 1000;

// The core knows these services only through its own interfaces; the program is the one place
// that names the concrete types and hands them over. The core owns them from here on.
void installServices(ECoreApp *app)
{
    auto *rooms = new RoomsV1;
    app->setProjectModel(rooms, rooms);
    app->setAudioPlayer(new EAudioPlayer);
    app->setController(new ControlerData);
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments = ECommandLine::argumentsOf(argc, argv);
    // "--tour DIR" belongs to the window, not to the core's command line.
    QString tourFolder;
    const int tourAt = arguments.indexOf(QStringLiteral("--tour"));
    if (tourAt > 0) {
        if (tourAt + 1 >= arguments.size()) {
            QTextStream(stderr) << "verandix: --tour needs a folder\n";
            return 2;
        }
        tourFolder = arguments.at(tourAt + 1);
        arguments.erase(arguments.begin() + tourAt, arguments.begin() + tourAt + 2);
    }
    // "--demo" opens the built-in demo home at once, without the splash that offers it.
    const bool demo = arguments.removeAll(QStringLiteral("--demo")) > 0;
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
    if (demo)
        app->chooseDemo();
    // Edits and settings reach their files within about two seconds of being made, so a power
    // cut or a killed process loses nothing older than that.
    app->setAutoSave(kAutoSaveLookMs, kAutoSaveLatestMs);

    // A logout, a shutdown or a service manager ends the program the way the exit page does.
    ESignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &ESignalWatcher::terminationRequested, &application,
                     [] { QCoreApplication::exit(0); });
    // The session manager may end the session without ending the program first.
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &application,
                     [app](QSessionManager &) { app->saveChanges(); });

    int exitCode = 0;
    {
        MainWindow window;
        std::unique_ptr<TourRunner> tour;
        if (!tourFolder.isEmpty()) {
            tour = std::make_unique<TourRunner>(&window, tourFolder);
            QObject::connect(tour.get(), &TourRunner::finished, &application,
                             [](int code) { QCoreApplication::exit(code); });
            tour->start();
        }
        window.show();
        if (demo && !tour)
            QTimer::singleShot(0, &window, &MainWindow::loadEngDemoConfig);
        exitCode = application.exec();
        // The edits first: stopping the link may wait for a controller that does not answer.
        app->saveChanges();
        // Mode, geometry and the link stop before the core writes the settings back.
        window.shutdown();
    }
    ECoreApp::destroyInstance();
    return exitCode;
}
