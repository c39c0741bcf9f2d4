// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "homeconfig.h"
#include "homemodel.h"
#include "homesimconstants.h"
#include "homesimlog.h"
#include "httpsimulator.h"
#include "modbusserver.h"
#include "scenario.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QHostAddress>
#include <QTime>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_wakePipe[2] = {-1, -1};

extern "C" void onStopSignal(int)
{
    const char byte = 1;
    // Only async-signal-safe work here: the select loop wakes up on the pipe and stops.
    [[maybe_unused]] const ssize_t n = ::write(g_wakePipe[1], &byte, 1);
}

void printLine(const QString &line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int fail(const QString &message)
{
    std::fprintf(stderr, "verandix-homesim: %s\n", message.toLocal8Bit().constData());
    return 2;
}

// The memory layout part of the help, from the map the panel reads with.
QString registerHelp()
{
    using namespace ControllerMap;
    const int statusWords = kStatusBlockBytes / kBytesPerRegister;
    return QStringLiteral(
               "Registers: functions 3 and 4 read the same image, function 16 (and 6) write it. "
               "Word n is\nregister OFFSET + n. Status block words 0-%1 (alarm count, current "
               "message, sound, security\nstate, page selection, clock, %2 parameters), command "
               "words %3-%4, %5-%6 and %7-%8, scene\narea words %9-%10, ")
               .arg(statusWords - 1)
               .arg(kParameterCount)
               .arg(kAlarmWord)
               .arg(kHeatCommandWord)
               .arg(kPasswordWord)
               .arg(kPasswordWord + 1)
               .arg(kTimeWord)
               .arg(kTimeWord + 1)
               .arg(kSceneAreaWord)
               .arg(kHighestFixedWord) +
           QStringLiteral("thermostats at byte %1 + %2n, lamps at byte %3 + %4n; the rest is plain"
                          "\nmemory (so \"set byte %5 N\" asks the panel to show page N, \"set "
                          "byte %6 N\" shows security\nstate N). ")
               .arg(kThermostatBase)
               .arg(kThermostatRecordBytes)
               .arg(kLampBase)
               .arg(kLampRecordBytes)
               .arg(kStatusPageSelection)
               .arg(kStatusSecurityState) +
           QStringLiteral("Writes of more than 123 registers are answered with exception 3 "
                          "(illegal data\nvalue).\n\n");
}

const char *const kDescription =
    "Output: the first line on standard output is \"listening on ADDR:PORT\" with the port "
    "actually\n"
    "bound (use --listen 127.0.0.1:0 for a free port); then one line per command executed, unless\n"
    "--quiet.\n"
    "\n"
    "Scenario files and the control channel (standard input) take one event per line:\n"
    "  [TIME] switch N              wall switch N pressed: toggles its lamps or runs its scene\n"
    "  [TIME] motion N              motion at sensor N: lamps under sensor control go on for\n"
    "                               the hold time; while armed it starts the entry delay\n"
    "  [TIME] intrusion             intrusion while the security system is armed\n"
    "  [TIME] alarm on ID [DATA [SOUND]]   raise alarm ID (optionally ask for sound SOUND)\n"
    "  [TIME] alarm off ID          clear it; \"message on|off\" does the same for a message\n"
    "  [TIME] set byte ADDR VALUE   set image byte ADDR (command words run as if written)\n"
    "  [TIME] set word N VALUE      set word N\n"
    "  [TIME] set param ID VALUE    hold parameter ID (1-16) at VALUE in its unit; \"auto\" frees "
    "it\n"
    "  [TIME] disconnect SECONDS    drop every connection and refuse new ones for a while\n"
    "  [TIME] silence SECONDS       keep connections but answer no request for a while\n"
    "  [TIME] repeat                (scenario) start the timeline over\n"
    "  [TIME] quit                  stop the simulator\n"
    "TIME is seconds from the start (or \"+S\" after the previous line); on the control channel\n"
    "it is a delay from now. '#' starts a comment, on its own line or after an event.\n"
    "\n"
    "Keypad: the user code is 1234 unless --user-code says otherwise; code 0 (Enter on an empty\n"
    "display) starts a code change (old code, new code, new code again).\n"
    "Scenes never saved act as defaults: lighting 1 bright, 2 half, 3 dim, 4 off; heating 22, 20,\n"
    "18, 12 degrees. Without --config lamps 1-32 and thermostats 1-16 are simulated.\n"
    "--speed scales the physics and the simulated delays (heating, parameters, motion hold,\n"
    "arming countdown); the clock and scenario times stay real.\n"
    "SIGINT and SIGTERM stop the simulator cleanly.\n"
    "\n"
    "HTTP (on the --listen address): --camera NAME:PORT serves an MJPEG camera whose picture is a\n"
    "generated panorama with a running clock; \"/ptz?move=left|right|up|down|home\" and\n"
    "\"/ptz?zoom=in|out\" move and zoom the view, \"/state\" tells where it looks. A stream path\n"
    "may end in \"?stall=N\" (stop sending after N frames) or \"?drop=N\" (close after N frames).\n"
    "--weather PORT serves the weather informer's \"/xml/ID_1.xml\", changing every\n"
    "--weather-period seconds. --http serves the cameras of the --config project that sit on\n"
    "this machine, on their ports and with their credentials, and the informer on 8089 unless\n"
    "--weather says otherwise. One line per server follows the listening line:\n"
    "\"http camera NAME ADDR:PORT\" or \"http weather ADDR:PORT\".";

} // namespace

int main(int argc, char *argv[])
{
    // Camera pictures are painted with fonts, which needs a GUI application but no display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("verandix-homesim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VERANDIX_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Home controller simulator: answers Modbus TCP like the home controller "
                       "the panel talks to.\n\n") +
        registerHelp() + QString::fromLatin1(kDescription));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption listenOption(
        QStringLiteral("listen"),
        QStringLiteral(
            "Address and port to listen on (default 127.0.0.1:1502; port 0 = any free port)."),
        QStringLiteral("ADDR:PORT"), QStringLiteral("127.0.0.1:%1").arg(HomeSim::kDefaultPort));
    const QCommandLineOption remoteOption(
        QStringLiteral("allow-remote"),
        QStringLiteral("Allow a listen address outside 127.0.0.0/8."));
    const QCommandLineOption offsetOption(
        QStringLiteral("offset"),
        QStringLiteral("Register of word 0, hexadecimal (default: the \"offset\" of the "
                       "configuration, else 0)."),
        QStringLiteral("HEX"));
    const QCommandLineOption configOption(
        QStringLiteral("config"),
        QStringLiteral("Configuration folder: config.xml (messages, parameters, security texts) "
                       "and the project files (lamps, thermostats, switches, sensors)."),
        QStringLiteral("DIR"));
    const QCommandLineOption seedOption(QStringLiteral("seed"),
                                        QStringLiteral("Seed of the random movements (default 1)."),
                                        QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption scenarioOption(
        QStringLiteral("scenario"), QStringLiteral("Timeline of events to play (see above)."),
        QStringLiteral("FILE"));
    const QCommandLineOption speedOption(
        QStringLiteral("speed"), QStringLiteral("Simulated seconds per real second (default 1)."),
        QStringLiteral("X"), QStringLiteral("1"));
    const QCommandLineOption quietOption(
        QStringLiteral("quiet"), QStringLiteral("Log nothing but the listening line and errors."));
    const QCommandLineOption tickOption(
        QStringLiteral("tick"),
        QStringLiteral("Period of the physics and scenario steps in ms, 1-1000 (default 100)."),
        QStringLiteral("MS"), QStringLiteral("100"));
    const QCommandLineOption holdOption(
        QStringLiteral("hold"),
        QStringLiteral("Simulated seconds a motion keeps its lamps on (default 60)."),
        QStringLiteral("SECONDS"), QStringLiteral("60"));
    const QCommandLineOption armOption(
        QStringLiteral("arm-delay"),
        QStringLiteral(
            "Simulated seconds of the arming countdown and the entry delay (default 10)."),
        QStringLiteral("SECONDS"), QStringLiteral("10"));
    const QCommandLineOption codeOption(
        QStringLiteral("user-code"),
        QStringLiteral("Initial user code of the security keypad (default 1234)."),
        QStringLiteral("N"), QStringLiteral("1234"));
    const QCommandLineOption stopOnEofOption(
        QStringLiteral("stop-on-eof"),
        QStringLiteral("Stop when standard input ends (for test harnesses and supervisors)."));
    const QCommandLineOption cameraOption(
        QStringLiteral("camera"),
        QStringLiteral("Serve an MJPEG camera called NAME on PORT (0 = any free port); "
                       "repeatable."),
        QStringLiteral("NAME:PORT"));
    const QCommandLineOption cameraAuthOption(
        QStringLiteral("camera-auth"),
        QStringLiteral("Credentials the --camera cameras ask for (default: none)."),
        QStringLiteral("USER:PASSWORD"));
    const QCommandLineOption framingOption(
        QStringLiteral("framing"),
        QStringLiteral("Multipart framing of the camera streams: %1 (default standard).")
            .arg(MjpegFraming::names().join(QStringLiteral(", "))),
        QStringLiteral("NAME"), QStringLiteral("standard"));
    const QCommandLineOption fpsOption(QStringLiteral("camera-fps"),
                                       QStringLiteral("Camera frames per second (default 10)."),
                                       QStringLiteral("N"), QStringLiteral("10"));
    const QCommandLineOption sizeOption(QStringLiteral("camera-size"),
                                        QStringLiteral("Camera picture size (default 640x480)."),
                                        QStringLiteral("WxH"), QStringLiteral("640x480"));
    const QCommandLineOption weatherOption(
        QStringLiteral("weather"),
        QStringLiteral("Serve the weather informer on PORT (0 = any free port)."),
        QStringLiteral("PORT"));
    const QCommandLineOption weatherPeriodOption(
        QStringLiteral("weather-period"),
        QStringLiteral("Seconds between two steps of the simulated weather (default 60)."),
        QStringLiteral("SECONDS"), QStringLiteral("60"));
    const QCommandLineOption logReadsOption(
        QStringLiteral("log-reads"),
        QStringLiteral(
            "Log every read request as \"read REGISTER COUNT\": which windows a panel polls."));
    const QCommandLineOption httpOption(
        QStringLiteral("http"),
        QStringLiteral("Serve the --config project's cameras and the weather informer."));
    parser.addOptions({listenOption,    remoteOption,   offsetOption,     configOption,
                       seedOption,      scenarioOption, speedOption,      quietOption,
                       tickOption,      holdOption,     armOption,        codeOption,
                       stopOnEofOption, cameraOption,   cameraAuthOption, framingOption,
                       fpsOption,       sizeOption,     weatherOption,    weatherPeriodOption,
                       httpOption,      logReadsOption});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        return fail(
            QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));

    // --- listen address ---
    const QString listen = parser.value(listenOption);
    const int colon = listen.lastIndexOf(QLatin1Char(':'));
    bool portOk = false;
    const int port = colon > 0 ? listen.midRef(colon + 1).toInt(&portOk) : 0;
    QString host = colon > 0 ? listen.left(colon) : QString();
    if (host == QLatin1String("localhost"))
        host = QStringLiteral("127.0.0.1");
    const QHostAddress address(host);
    if (!portOk || port < 0 || port > 65535 || address.protocol() != QAbstractSocket::IPv4Protocol)
        return fail(QStringLiteral("--listen wants IPV4-ADDRESS:PORT, not \"%1\"").arg(listen));
    if (!address.isLoopback() && !parser.isSet(remoteOption))
        return fail(QStringLiteral("refusing to listen on %1, which is not a loopback address "
                                   "(use --allow-remote to mean it)")
                        .arg(host));

    // --- configuration ---
    HomeConfig config;
    if (parser.isSet(configOption)) {
        QString error;
        if (!config.load(parser.value(configOption), &error))
            return fail(error);
    }

    HomeModel::Options options;
    bool ok = true;
    auto number = [&](const QCommandLineOption &o, double min, double max) {
        bool converted = false;
        const double v = parser.value(o).toDouble(&converted);
        if (!converted || !(v >= min && v <= max)) {
            std::fprintf(stderr, "verandix-homesim: --%s must be a number from %g to %g\n",
                         qPrintable(o.names().first()), min, max);
            ok = false;
        }
        return v;
    };
    options.registerOffset = config.hasOffset ? config.registerOffset : 0;
    if (parser.isSet(offsetOption)) {
        bool hexOk = false;
        options.registerOffset = parser.value(offsetOption).toInt(&hexOk, 16);
        if (!hexOk || options.registerOffset < 0 ||
            options.registerOffset >= HomeSim::kRegisterCount)
            return fail(QStringLiteral("--offset wants a hexadecimal register 0 to FFFF"));
    }
    options.seed = quint32(number(seedOption, 0, 4294967295.0));
    options.speed = number(speedOption, 0.001, 100000);
    options.motionHoldMs = qint64(number(holdOption, 0, 86400) * 1000);
    options.armDelayMs = qint64(number(armOption, 0, 86400) * 1000);
    options.userCode = quint32(number(codeOption, 1, 999999999));
    const int tickMs = int(number(tickOption, 1, 1000));
    if (!ok)
        return 2;

    Scenario scenario;
    if (parser.isSet(scenarioOption)) {
        QString error;
        if (!scenario.loadFile(parser.value(scenarioOption), &error))
            return fail(error);
    }

    // --- HTTP cameras and weather informer ---
    HttpSimulator::Options http;
    http.address = host;
    MjpegFraming::Kind framing = MjpegFraming::Standard;
    if (!MjpegFraming::fromName(parser.value(framingOption), &framing))
        return fail(QStringLiteral("--framing wants one of %1")
                        .arg(MjpegFraming::names().join(QStringLiteral(", "))));
    http.framing = MjpegFraming(framing);
    http.fps = int(number(fpsOption, 1, 60));
    http.weatherPeriodSeconds = int(number(weatherPeriodOption, 1, 86400));
    if (!ok)
        return 2;
    {
        const QStringList size = parser.value(sizeOption).split(QLatin1Char('x'));
        const int w = size.value(0).toInt();
        const int h = size.value(1).toInt();
        if (size.size() != 2 || w < 16 || h < 16 || w > 4096 || h > 4096)
            return fail(QStringLiteral("--camera-size wants WIDTHxHEIGHT from 16x16 to 4096x4096"));
        http.frameSize = QSize(w, h);
    }
    QString cameraLogin;
    QString cameraPassword;
    if (parser.isSet(cameraAuthOption)) {
        const QString auth = parser.value(cameraAuthOption);
        const int colon = auth.indexOf(QLatin1Char(':'));
        if (colon <= 0)
            return fail(QStringLiteral("--camera-auth wants USER:PASSWORD"));
        cameraLogin = auth.left(colon);
        cameraPassword = auth.mid(colon + 1);
    }
    for (const QString &value : parser.values(cameraOption)) {
        const int colon = value.lastIndexOf(QLatin1Char(':'));
        bool cameraPortOk = false;
        const int cameraPort = value.midRef(colon + 1).toInt(&cameraPortOk);
        if (colon <= 0 || !cameraPortOk || cameraPort < 0 || cameraPort > 65535)
            return fail(QStringLiteral("--camera wants NAME:PORT, not \"%1\"").arg(value));
        http.cameras.append({value.left(colon), cameraPort, cameraLogin, cameraPassword});
    }
    if (parser.isSet(weatherOption)) {
        bool weatherOk = false;
        http.weatherPort = parser.value(weatherOption).toInt(&weatherOk);
        if (!weatherOk || http.weatherPort < 0 || http.weatherPort > 65535)
            return fail(QStringLiteral("--weather wants a port number"));
    }
    if (parser.isSet(httpOption)) {
        if (parser.isSet(configOption))
            HttpSimulator::readProject(parser.value(configOption), &http.cameras, &http.towns);
        if (http.weatherPort < 0)
            http.weatherPort = HomeSim::kDefaultWeatherPort;
        // The demo's fixed ports may be taken by a second simulator; Modbus still works then.
        http.tolerateBusyPorts = true;
    }

    // --- run ---
    const bool quiet = parser.isSet(quietOption);
    auto logger = [quiet](const QString &line) {
        if (!quiet)
            printLine(QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz ")) + line);
    };
    HomeModel model(config, options);
    model.setLogger(logger);
    ModbusServer::Options serverOptions;
    serverOptions.address = host;
    serverOptions.port = port;
    serverOptions.tickMs = tickMs;
    // Started with standard input closed, there is no control channel (select would fail on it).
    serverOptions.controlFd = ::fcntl(STDIN_FILENO, F_GETFD) == -1 ? -1 : STDIN_FILENO;
    serverOptions.stopOnControlEnd = parser.isSet(stopOnEofOption);
    serverOptions.logReads = parser.isSet(logReadsOption);
    ModbusServer server(&model, serverOptions);
    server.setLogger(logger);
    if (!scenario.isEmpty())
        server.setScenario(&scenario);
    QString error;
    if (!server.listen(&error))
        return fail(error);

    if (::pipe2(g_wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return fail(QStringLiteral("cannot create the signal pipe"));
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    HttpSimulator httpServers(http);
    httpServers.setLogger(logger);
    if (!httpServers.start(&error))
        return fail(error);

    printLine(QStringLiteral("listening on %1:%2").arg(host).arg(server.port()));
    for (const QString &endpoint : httpServers.endpoints())
        printLine(QStringLiteral("http ") + endpoint);
    logger(QStringLiteral("register offset 0x%1, %2 lamps, %3 thermostats, speed %4")
               .arg(options.registerOffset, 0, 16)
               .arg(model.lamps().size())
               .arg(model.thermostats().size())
               .arg(options.speed));
    const int rc = server.run(g_wakePipe[0]);
    httpServers.stop();
    ::close(g_wakePipe[0]);
    ::close(g_wakePipe[1]);
    return rc;
}
