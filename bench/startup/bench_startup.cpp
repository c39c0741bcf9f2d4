// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// Start-up of the panel: from process start to the home page painted, on the built-in demo, and
// the same for a bare Qt program that opens one graphics view with one picture. Prints the time
// and the peak resident memory of the run.
//
//   bench_startup panel [-config DIR]   the demo home (or the project in DIR), the link started
//   bench_startup bare                  one QGraphicsView with one picture
//
// Projects of any size for it come from verandix-benchgen.
//
// Run each as a whole process several times (the first line of output is the figure); the time
// is measured from the kernel's process start, so the dynamic loader and Qt's own start count.
#include "controlerdata.h"
#include "eaudioplayer.h"
#include "ecommandline.h"
#include "ecoreapp.h"
#include "mainwindow.h"
#include "roomsv1.h"

#include <QApplication>
#include <QFile>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QTextStream>
#include <QTimer>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

namespace {

// Milliseconds since this process was started by the kernel.
double sinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // Field 22 (starttime, in clock ticks since boot) follows the command name in parentheses.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble();
    timespec boot{};
    clock_gettime(CLOCK_BOOTTIME, &boot);
    const double nowMs = boot.tv_sec * 1000.0 + boot.tv_nsec / 1e6;
    return nowMs - startTicks * 1000.0 / sysconf(_SC_CLK_TCK);
}

QString peakMemory()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return QString::fromLatin1(line.mid(6).trimmed());
    }
    return QStringLiteral("?");
}

double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

void report(const char *what)
{
    QTextStream(stdout) << what << ": painted after "
                        << QString::number(sinceProcessStart(), 'f', 1) << " ms, "
                        << QString::number(cpuMs(), 'f', 0) << " ms CPU, peak memory "
                        << peakMemory() << "\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(VERANDIX_VERSION));
    const QString mode = app.arguments().value(1, QStringLiteral("panel"));

    if (mode == QLatin1String("bare")) {
        QGraphicsScene scene;
        QImage picture(1024, 700, QImage::Format_RGB32);
        picture.fill(QColor(37, 40, 43));
        scene.addPixmap(QPixmap::fromImage(picture));
        QGraphicsView view(&scene);
        view.resize(1024, 700);
        view.show();
        QTimer::singleShot(0, &view, [&view] {
            view.grab();
            report("bare");
            QCoreApplication::quit();
        });
        return app.exec();
    }

    ECoreApp *core = ECoreApp::instance();
    auto *rooms = new RoomsV1;
    core->setProjectModel(rooms, rooms);
    core->setAudioPlayer(new EAudioPlayer);
    core->setController(new ControlerData);
    // Everything after the mode is the program's own command line (-config DIR, ...).
    QStringList arguments = app.arguments().mid(2);
    arguments.prepend(app.arguments().value(0));
    ECommandLine::apply(arguments, core);
    int exitCode = 0;
    {
        MainWindow window;
        QObject::connect(&window, &MainWindow::controlsReady, &window, [&window] {
            // The home page is current; grabbing renders it once, as the first paint would.
            QTimer::singleShot(0, &window, [&window] {
                window.grab();
                report("panel");
                QCoreApplication::quit();
            });
        });
        QObject::connect(&window, &MainWindow::loadingFailed, &app, [](const QString &why) {
            QTextStream(stderr) << "loading failed: " << why << "\n";
            QCoreApplication::exit(1);
        });
        window.show();
        if (core->startMode() == StartMode::Demo)
            QTimer::singleShot(0, &window, &MainWindow::loadEngDemoConfig);
        exitCode = app.exec();
        window.shutdown();
    }
    ECoreApp::destroyInstance();
    return exitCode;
}
