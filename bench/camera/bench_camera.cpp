// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// CPU time and memory of the panel's camera path (HTTP, multipart parsing, JPEG decoding) on a
// real MJPEG stream from ffmpeg on loopback, next to ffmpeg itself decoding an identical stream in
// the same run.
//
//   bench_camera [--seconds N] [--size WxH] [--fps N] [--tile WxH|full]
//                (defaults 60, 1280x720, 25, 480x360: frames decoded to cover a tile that size)
//   bench_camera --cameras N [--seconds N] [--size WxH] [--fps N] [--tile WxH]
//                N camera widgets on one page, each showing its own stream in a tile: frames
//                shown per second per camera, frames lost on the way, CPU of the whole process.
#include "childprocess.h"
#include "extmjpegwidget.h"
#include "ipcamcontrolv1.h"
#include "mjpegdata.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <vector>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QStringList serverArgs(const QString &size, int fps, int seconds, quint16 port)
{
    // -re paces the stream in real time like a camera; the same source and settings give both
    // consumers the same bytes.
    return ChildProcess::mjpegServerArguments(
        {"-re", "-f", "lavfi", "-i",
         QStringLiteral("testsrc=size=%1:rate=%2:duration=%3").arg(size).arg(fps).arg(seconds),
         "-c:v", "mjpeg", "-q:v", "5"},
        port);
}

// A page of camera tiles: counts, at each paint, the tiles whose picture changed since the last.
class TileView : public QGraphicsView
{
public:
    using QGraphicsView::QGraphicsView;
    std::function<void()> painted;

protected:
    void drawForeground(QPainter *painter, const QRectF &rect) override
    {
        QGraphicsView::drawForeground(painter, rect);
        if (painted)
            painted();
    }
};

struct CameraFigures
{
    int received = 0;    // frames decoded and handed to the widget
    int shown = 0;       // frames that were on screen at a paint
    int overwritten = 0; // frames replaced by the next before any paint showed them
    bool pending = false;
    bool finished = false;
};

// Several cameras on one page, as a room plan with camera tiles shows them. Each stream comes
// from its own ffmpeg serving one pre-encoded clip in real time (-re, stream copy), so the servers
// cost next to nothing and the CPU figure is the panel's alone.
int runCameraPage(QApplication &app, const QString &ffmpeg, int cameras, const QString &size,
                  int fps, int seconds, const QSize &tile)
{
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("clip.mjpeg"));
    {
        QProcess encoder;
        encoder.start(
            ffmpeg,
            {"-hide_banner", "-loglevel", "error", "-f", "lavfi", "-i",
             QStringLiteral("testsrc=size=%1:rate=%2:duration=%3").arg(size).arg(fps).arg(seconds),
             "-c:v", "mjpeg", "-q:v", "5", "-f", "mjpeg", clip});
        if (!encoder.waitForFinished(600000) || encoder.exitCode() != 0) {
            std::fprintf(stderr, "bench_camera: could not encode the clip\n");
            return 2;
        }
    }
    std::vector<std::unique_ptr<QProcess>> servers;
    std::vector<std::unique_ptr<IpCamControlV1>> records;
    std::vector<CameraFigures> figures(static_cast<size_t>(cameras));
    QGraphicsScene scene;
    TileView view(&scene);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int columns = cameras <= 1 ? 1 : 2;
    const int rows = (cameras + columns - 1) / columns;
    scene.setSceneRect(0, 0, columns * tile.width(), rows * tile.height());
    view.resize(columns * tile.width() + 2, rows * tile.height() + 2);

    bool measuring = false;
    double cpuStart = 0;
    QElapsedTimer wall;
    qint64 wallMs = 0;
    double cpu = 0;
    std::vector<ExtMjpegWidget *> widgets;
    QSize decoded;
    for (int i = 0; i < cameras; ++i) {
        const quint16 port = freePort();
        auto server = std::make_unique<QProcess>();
        server->start(ffmpeg, ChildProcess::mjpegServerArguments(
                                  {"-re", "-f", "mjpeg", "-framerate", QString::number(fps), "-i",
                                   clip, "-c:v", "copy"},
                                  port));
        if (!server->waitForStarted())
            return 2;
        servers.push_back(std::move(server));
        auto record = IpCamControlV1::create(QStringLiteral("cam%1").arg(i),
                                             QStringLiteral("Camera %1").arg(i), {});
        record->setIpaddress(QStringLiteral("127.0.0.1"));
        record->setPort(QString::number(port));
        record->setInitial(QStringLiteral("/s.mjpg"));
        record->setWidth(tile.width());
        record->setHeight(tile.height());
        auto *widget = new ExtMjpegWidget(record.get());
        widget->stream()->setReconnectInterval(100); // until ffmpeg listens
        widget->setPos((i % columns) * tile.width(), (i / columns) * tile.height());
        scene.addItem(widget);
        widgets.push_back(widget);
        records.push_back(std::move(record));
        CameraFigures *f = &figures[size_t(i)];
        // Connected after the widget's own slot: the picture is set when this runs.
        QObject::connect(widget->stream(), &MjpegData::newImageGrabbed, &app,
                         [&, f](const QImage &image) {
                             decoded = image.size();
                             if (!measuring) {
                                 f->received = qMax(f->received, 1); // has a picture
                                 return;
                             }
                             ++f->received;
                             if (f->pending)
                                 ++f->overwritten;
                             f->pending = true;
                         });
        QObject::connect(widget->stream(), &MjpegData::finishGrabing, &app, [&, f] {
            f->finished = true;
            if (measuring) {
                // The first stream to end closes the measurement: all ran until then.
                measuring = false;
                wallMs = wall.elapsed();
                cpu = cpuSeconds() - cpuStart;
                app.quit();
            }
        });
    }
    view.painted = [&] {
        if (!measuring)
            return;
        for (CameraFigures &f : figures) {
            if (f.pending) {
                ++f.shown;
                f.pending = false;
            }
        }
    };
    // Measuring starts once every camera shows a picture, so connecting is left out.
    QTimer starter;
    QObject::connect(&starter, &QTimer::timeout, &app, [&] {
        for (const CameraFigures &f : figures) {
            if (f.received == 0)
                return;
        }
        starter.stop();
        for (CameraFigures &f : figures)
            f = CameraFigures();
        measuring = true;
        cpuStart = cpuSeconds();
        wall.start();
    });
    starter.start(10);
    QTimer::singleShot((seconds * 4 + 60) * 1000, &app, [&] {
        std::fprintf(stderr, "bench_camera: the streams did not end in time\n");
        app.exit(1);
    });
    view.show();
    const int rc = app.exec();
    for (ExtMjpegWidget *widget : widgets)
        widget->stream()->stop();
    for (auto &server : servers) {
        server->kill();
        server->waitForFinished(5000);
    }
    if (rc != 0 || wallMs < 1000)
        return 1;

    const double secondsRun = wallMs / 1000.0;
    std::printf("page              %d cameras, %s at %d fps each, tiles %dx%d, %.1f s measured\n",
                cameras, qPrintable(size), fps, tile.width(), tile.height(), secondsRun);
    std::printf("decoded at        %dx%d\n", decoded.width(), decoded.height());
    for (int i = 0; i < cameras; ++i) {
        const CameraFigures &f = figures[size_t(i)];
        // Frames the server sent in the time measured that never reached the widget, plus the
        // ones replaced before a paint showed them.
        const int late = qMax(0, int(secondsRun * fps + 0.5) - f.received);
        std::printf("camera %d          %.1f frames shown/s, %.1f received/s, %d overwritten "
                    "before a paint, %d behind the stream\n",
                    i, f.shown / secondsRun, f.received / secondsRun, f.overwritten, late);
    }
    std::printf("panel CPU         %.3f s, %.0f %% of one core\n", cpu, 100.0 * cpu / secondsRun);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption secondsOption("seconds", "Length of the stream.", "N", "60");
    const QCommandLineOption sizeOption("size", "Picture size.", "WxH", "1280x720");
    const QCommandLineOption fpsOption("fps", "Frames per second.", "N", "25");
    const QCommandLineOption tileOption("tile", "Picture area the frames are decoded for.",
                                        "WxH|full", "480x360");
    const QCommandLineOption camerasOption(
        "cameras", "Camera widgets on one page, each with its own stream.", "N", "0");
    parser.addOptions({secondsOption, sizeOption, fpsOption, tileOption, camerasOption});
    parser.process(app);
    const int seconds = qBound(5, parser.value(secondsOption).toInt(), 3600);
    const int fps = qBound(1, parser.value(fpsOption).toInt(), 60);
    const QString size = parser.value(sizeOption);

    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty()) {
        std::fprintf(stderr, "bench_camera: ffmpeg is not installed\n");
        return 2;
    }
    const int cameras = qBound(0, parser.value(camerasOption).toInt(), 16);
    if (cameras > 0) {
        const QStringList tile = parser.value(tileOption).split(QLatin1Char('x'));
        const QSize tileSize =
            tile.size() == 2 ? QSize(tile.at(0).toInt(), tile.at(1).toInt()) : QSize(480, 360);
        return runCameraPage(app, ffmpeg, cameras, size, fps, seconds, tileSize);
    }

    const quint16 ourPort = freePort();
    const quint16 theirPort = freePort();
    QProcess ourServer;
    QProcess theirServer;
    ourServer.start(ffmpeg, serverArgs(size, fps, seconds, ourPort));
    theirServer.start(ffmpeg, serverArgs(size, fps, seconds, theirPort));
    if (!ourServer.waitForStarted() || !theirServer.waitForStarted())
        return 2;

    // ffmpeg as the reference consumer: decodes every frame to raw pictures and throws them away;
    // -benchmark reports its own CPU time at the end.
    QProcess decoder;
    decoder.setProcessChannelMode(QProcess::MergedChannels);

    MjpegData camera;
    camera.setAddress(QStringLiteral("127.0.0.1"));
    camera.setPort(QString::number(ourPort));
    camera.setPath(QStringLiteral("/s.mjpg"));
    camera.setReconnectInterval(100); // until ffmpeg listens
    const QStringList tile = parser.value(tileOption).split(QLatin1Char('x'));
    if (tile.size() == 2)
        camera.setDecodeSize(QSize(tile.at(0).toInt(), tile.at(1).toInt()));

    int frames = 0;
    double cpuAtFirstFrame = 0;
    qint64 rssFirst = 0;
    qint64 rssPeak = 0;
    qint64 rssAtHalf = 0;
    QElapsedTimer wall;
    QObject::connect(&camera, &MjpegData::newImageGrabbed, &app, [&](const QImage &image) {
        if (frames == 0) {
            cpuAtFirstFrame = cpuSeconds();
            wall.start();
            rssFirst = residentKiB();
            // The mjpeg demuxer finds the pictures between the part headers; the mpjpeg one does
            // not take ffmpeg's own HTTP stream.
            decoder.start(ffmpeg, {"-hide_banner", "-nostats", "-benchmark", "-f", "mjpeg", "-i",
                                   QStringLiteral("http://127.0.0.1:%1/s.mjpg").arg(theirPort),
                                   "-f", "null", "-"});
        }
        ++frames;
        if (frames == fps * seconds / 2)
            rssAtHalf = residentKiB();
        if (frames % fps == 0) // once per second of video, so sampling stays out of the figures
            rssPeak = qMax(rssPeak, residentKiB());
        Q_UNUSED(image);
    });
    double cpuAtEnd = 0;
    qint64 wallMs = 0;
    int framesAtEnd = 0;
    QObject::connect(&camera, &MjpegData::finishGrabing, &app, [&] {
        if (frames == 0)
            return;
        cpuAtEnd = cpuSeconds();
        wallMs = wall.elapsed();
        framesAtEnd = frames;
        camera.stop();
        app.quit();
    });
    // On a busy machine the encoders fall behind real time; allow for it.
    QTimer::singleShot((seconds * 4 + 60) * 1000, &app, [&] {
        std::fprintf(stderr, "bench_camera: the stream did not end in time\n");
        app.exit(1);
    });
    camera.start();
    const int rc = app.exec();
    decoder.waitForFinished(30000);
    ourServer.waitForFinished(5000);
    theirServer.waitForFinished(5000);
    if (rc != 0 || framesAtEnd < 2)
        return 1;

    const QString report = QString::fromLocal8Bit(decoder.readAll());
    const QRegularExpression bench(QStringLiteral("utime=([0-9.]+)s stime=([0-9.]+)s"));
    const QRegularExpressionMatch m = bench.match(report);
    const double theirCpu = m.hasMatch() ? m.captured(1).toDouble() + m.captured(2).toDouble() : -1;
    const QRegularExpressionMatch f =
        QRegularExpression(QStringLiteral("frame=\\s*(\\d+)")).match(report);
    const double theirSeconds = f.hasMatch() ? f.captured(1).toDouble() / fps : seconds;

    const double videoSeconds = double(framesAtEnd) / fps;
    const double ourCpu = cpuAtEnd - cpuAtFirstFrame;
    std::printf("stream            %s at %d fps, %d frames (%.1f s of video, %.1f s wall)\n",
                qPrintable(size), fps, framesAtEnd, videoSeconds, wallMs / 1000.0);
    std::printf("decoded for       %s\n", camera.decodeSize().isEmpty()
                                              ? "the full picture"
                                              : qPrintable(parser.value(tileOption)));
    std::printf("panel path        %.3f s CPU, %.1f ms CPU per second of video\n", ourCpu,
                1000.0 * ourCpu / videoSeconds);
    if (theirCpu >= 0) {
        std::printf("ffmpeg decoding   %.3f s CPU, %.1f ms CPU per second of video (%.1f s)\n",
                    theirCpu, 1000.0 * theirCpu / theirSeconds, theirSeconds);
        std::printf("ratio             %.2f x\n",
                    (ourCpu / videoSeconds) / (theirCpu / theirSeconds));
    } else {
        std::printf("ffmpeg decoding   no benchmark figures (%s)\n", qPrintable(report.trimmed()));
    }
    std::printf("resident memory   %lld KiB at the first frame, %lld KiB half way, %lld KiB peak\n",
                rssFirst, rssAtHalf, rssPeak);
    return 0;
}
