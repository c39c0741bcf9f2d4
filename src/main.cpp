// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bridgeservice.h"
#include "bridgesettings.h"
#include "controlerdata.h"
#include "eappsettings.h"
#include "eaudioplayer.h"
#include "ecommandline.h"
#include "ecoreapp.h"
#include "esignalwatcher.h"
#include "mainwindow.h"
#include "mqttbridge.h"
#include "newhome.h"
#include "roomsv1.h"
#include "tourrunner.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
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

// SIGTERM, SIGINT and SIGHUP leave the event loop, so the program ends by its orderly path.
void quitOnTermination(ESignalWatcher &watcher)
{
    QObject::connect(&watcher, &ESignalWatcher::terminationRequested, QCoreApplication::instance(),
                     [] { QCoreApplication::exit(0); });
}

// "--bridge": the controller link and the MQTT bridge without a window, for a service manager.
// Logs go to standard error; SIGTERM publishes "offline" and ends the link the orderly way.
int runBridge(int argc, char *argv[], const QStringList &arguments, bool demo)
{
    // No display is needed: the fonts and images the core loads work on the offscreen platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("verandix"));
    QGuiApplication::setApplicationVersion(QStringLiteral(VERANDIX_VERSION));
    QTextStream err(stderr);

    ECoreApp *app = ECoreApp::instance();
    installServices(app);
    ECommandLine::apply(arguments, app);
    if (demo)
        app->chooseDemo();
    switch (app->startMode()) {
    case StartMode::Standard:
        app->loadStandardConfiguration();
        break;
    case StartMode::Demo:
        app->loadDemoConfiguration();
        break;
    case StartMode::Multi:
        err << "verandix: --bridge needs one configuration: use -config FOLDER\n";
        ECoreApp::destroyInstance();
        return 2;
    }
    const EAppSettings &settings = app->settings();
    const BridgeSettings bridgeSettings =
        BridgeSettings::fromSettings(settings, app->configurationFolder());
    if (!bridgeSettings.enabled()) {
        err << "verandix: the configuration sets no mqtt_host; nothing to bridge\n";
        ECoreApp::destroyInstance();
        return 2;
    }
    auto *rooms = RoomsV1::fromCore();
    if (!rooms) {
        ECoreApp::destroyInstance();
        return 1;
    }

    int exitCode = 0;
    {
        // The core's own link stays idle: the bridge's link polls what it publishes.
        BridgeService service;
        if (!service.start(settings, *rooms, app->configurationFolder(), app->modbusDebug())) {
            ECoreApp::destroyInstance();
            return 1;
        }
        err << "verandix: bridging " << service.bridge()->publishedCount() << " entities to "
            << bridgeSettings.host << ':' << bridgeSettings.port << " as " << bridgeSettings.node()
            << '\n';
        err.flush();

        ESignalWatcher signalWatcher;
        quitOnTermination(signalWatcher);
        exitCode = application.exec();
        service.stop();
    }
    ECoreApp::destroyInstance();
    return exitCode;
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
    // "--new FOLDER" makes a new, empty home in FOLDER and opens it.
    QString newHome;
    const int newAt = arguments.indexOf(QStringLiteral("--new"));
    if (newAt > 0) {
        if (newAt + 1 >= arguments.size()) {
            QTextStream(stderr) << "verandix: --new needs a folder\n";
            return 2;
        }
        newHome = arguments.at(newAt + 1);
        arguments.erase(arguments.begin() + newAt, arguments.begin() + newAt + 2);
    }
    // "--demo" opens the built-in demo home at once, without the splash that offers it.
    const bool demo = arguments.removeAll(QStringLiteral("--demo")) > 0;
    const bool bridgeOnly = arguments.removeAll(QStringLiteral("--bridge")) > 0;
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
    if (bridgeOnly)
        return runBridge(argc, argv, arguments, demo);

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("verandix"));
    QApplication::setApplicationVersion(QStringLiteral(VERANDIX_VERSION));

    ECoreApp *app = ECoreApp::instance();
    installServices(app);
    ECommandLine::apply(arguments, app);
    if (!newHome.isEmpty()) {
        NewHome::Options options;
        QString error;
        if (!NewHome::create(newHome, options, &error)) {
            QTextStream(stderr) << "verandix: no new home made: " << error << '\n';
            ECoreApp::destroyInstance();
            return 2;
        }
        QTextStream(stdout) << "verandix: a new home in " << QDir::toNativeSeparators(newHome)
                            << "; the controller is expected at " << options.address << ':'
                            << options.port << " (change it on the connection page)\n";
        app->setSettingsFilePath(newHome);
    }
    if (demo)
        app->chooseDemo();
    // Edits and settings reach their files within about two seconds of being made, so a power
    // cut or a killed process loses nothing older than that.
    app->setAutoSave(kAutoSaveLookMs, kAutoSaveLatestMs);

    // A logout, a shutdown or a service manager ends the program the way the exit page does.
    ESignalWatcher signalWatcher;
    quitOnTermination(signalWatcher);
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
        // With mqtt_host set, the configuration is also bridged to a hub, read through the
        // panel's own link: one connection to the controller.
        BridgeService bridge;
        QObject::connect(&window, &MainWindow::controlsReady, &bridge, [&bridge, app] {
            if (RoomsV1 *rooms = RoomsV1::fromCore())
                bridge.start(app->settings(), *rooms, app->configurationFolder(),
                             app->modbusDebug(),
                             qobject_cast<ControlerData *>(app->controllerObject()));
        });
        window.show();
        if (demo && !tour)
            QTimer::singleShot(0, &window, &MainWindow::loadEngDemoConfig);
        exitCode = application.exec();
        // The edits first: stopping the link may wait for a controller that does not answer.
        app->saveChanges();
        bridge.stop();
        // Mode, geometry and the link stop before the core writes the settings back.
        window.shutdown();
    }
    ECoreApp::destroyInstance();
    return exitCode;
}
