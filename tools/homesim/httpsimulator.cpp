// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "httpsimulator.h"

#include "camerascene.h"
#include "weatherfeed.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QUrl>
#include <QXmlStreamReader>

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// A stalled stream holds its connection at most this long, so a forgotten client cannot keep a
// server thread for ever.
constexpr int kStallHoldMs = 120000;
constexpr int kStallPollMs = 50;

std::string toStd(const QByteArray &bytes)
{
    return std::string(bytes.constData(), size_t(bytes.size()));
}

} // namespace

struct HttpSimulator::Private
{
    struct Server
    {
        QString label; // "weather" or "camera NAME"
        Camera camera;
        std::shared_ptr<CameraScene> scene; // null for the informer
        std::unique_ptr<httplib::Server> http;
        std::thread thread;
        int port = 0;
    };

    Options options;
    Logger logger;
    WeatherFeed weather;
    QElapsedTimer started;
    std::atomic<bool> stopping{false};
    std::vector<std::unique_ptr<Server>> servers;

    explicit Private(const Options &o) : options(o), weather(o.weatherPeriodSeconds)
    {
        weather.setTowns(o.towns);
    }
    void log(const QString &line) const
    {
        if (logger)
            logger(line);
    }
    static bool authorised(const Camera &camera, const httplib::Request &req)
    {
        if (camera.login.isEmpty())
            return true;
        const QByteArray expected =
            "Basic " + (camera.login + QLatin1Char(':') + camera.password).toUtf8().toBase64();
        return req.get_header_value("Authorization") == toStd(expected);
    }
    void setUpCamera(Server *server);
    void setUpWeather(Server *server);
};

void HttpSimulator::Private::setUpCamera(Server *server)
{
    httplib::Server &http = *server->http;
    const Camera camera = server->camera;
    std::shared_ptr<CameraScene> scene = server->scene;

    http.set_pre_routing_handler([camera](const httplib::Request &req, httplib::Response &res) {
        if (authorised(camera, req))
            return httplib::Server::HandlerResponse::Unhandled;
        res.status = 401;
        res.set_header("WWW-Authenticate", "Basic realm=\"camera\"");
        res.set_content("authentication required\n", "text/plain");
        return httplib::Server::HandlerResponse::Handled;
    });

    http.Get("/ptz", [this, scene](const httplib::Request &req, httplib::Response &res) {
        QString what;
        if (req.has_param("move"))
            what = QString::fromStdString(req.get_param_value("move"));
        else if (req.has_param("zoom"))
            what = QString::fromStdString(req.get_param_value("zoom"));
        if (!scene->command(what)) {
            res.status = 400;
            res.set_content("unknown command\n", "text/plain");
            return;
        }
        const CameraScene::View v = scene->view();
        log(QStringLiteral("ptz %1 %2: view %3,%4 zoom %5")
                .arg(scene->name(), what)
                .arg(qRound(v.centerX))
                .arg(qRound(v.centerY))
                .arg(v.zoom, 0, 'f', 2));
        res.set_content("OK\n", "text/plain");
    });

    http.Get("/state", [scene](const httplib::Request &, httplib::Response &res) {
        const CameraScene::View v = scene->view();
        res.set_content(QStringLiteral("%1 %2 %3 %4\n")
                            .arg(v.centerX, 0, 'f', 1)
                            .arg(v.centerY, 0, 'f', 1)
                            .arg(v.zoom, 0, 'f', 4)
                            .arg(v.moves)
                            .toStdString(),
                        "text/plain");
    });

    http.Get("/snapshot.jpg", [scene](const httplib::Request &, httplib::Response &res) {
        res.set_content(toStd(scene->renderJpeg(0)), "image/jpeg");
    });

    http.Get(".*", [this, scene](const httplib::Request &req, httplib::Response &res) {
        const int stallAfter =
            req.has_param("stall") ? std::atoi(req.get_param_value("stall").c_str()) : -1;
        const int dropAfter =
            req.has_param("drop") ? std::atoi(req.get_param_value("drop").c_str()) : -1;
        const MjpegFraming framing = options.framing;
        const int frameMs = 1000 / qBound(1, options.fps, 60);
        log(QStringLiteral("stream %1 %2 (%3)")
                .arg(scene->name(), QString::fromStdString(req.path),
                     MjpegFraming::names().value(framing.kind())));

        struct StreamState
        {
            int sent = 0;
            QElapsedTimer clock;
            qint64 stalledSince = -1;
        };
        auto state = std::make_shared<StreamState>();
        state->clock.start();
        auto provider = [this, scene, framing, frameMs, stallAfter, dropAfter,
                         state](size_t, httplib::DataSink &sink) {
            if (stopping)
                return false;
            // Failing the provider makes the server drop the connection, as a camera that is
            // switched off would.
            if (dropAfter >= 0 && state->sent >= dropAfter)
                return false;
            if (stallAfter >= 0 && state->sent >= stallAfter) {
                if (state->stalledSince < 0)
                    state->stalledSince = state->clock.elapsed();
                std::this_thread::sleep_for(std::chrono::milliseconds(kStallPollMs));
                return state->clock.elapsed() - state->stalledSince < kStallHoldMs;
            }
            // Pace the frames on the stream's own clock.
            const qint64 due = qint64(state->sent) * frameMs;
            const qint64 wait = due - state->clock.elapsed();
            if (wait > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(wait));
            const QByteArray jpeg = scene->renderJpeg(state->sent);
            const QByteArray head = framing.partHead(state->sent, jpeg.size());
            bool ok = true;
            if (framing.kind() == MjpegFraming::Trickle) {
                for (int i = 0; ok && i < head.size(); ++i)
                    ok = sink.write(head.constData() + i, 1);
            } else {
                ok = sink.write(head.constData(), size_t(head.size()));
            }
            const QByteArray tail = framing.partTail();
            ok = ok && sink.write(jpeg.constData(), size_t(jpeg.size())) &&
                 sink.write(tail.constData(), size_t(tail.size()));
            ++state->sent;
            return ok;
        };
        const std::string type = toStd(framing.contentType());
        res.set_header("Cache-Control", "no-cache");
        // The stream is delimited by the end of the connection (or the last chunk).
        res.set_header("Connection", "close");
        if (framing.kind() == MjpegFraming::Chunked)
            res.set_chunked_content_provider(type, provider);
        else
            res.set_content_provider(type, provider);
    });
}

void HttpSimulator::Private::setUpWeather(Server *server)
{
    server->http->Get(
        R"(/xml/(.+)_1\.xml)", [this](const httplib::Request &req, httplib::Response &res) {
            const QString id = QUrl::fromPercentEncoding(QByteArray::fromStdString(req.matches[1]));
            if (!WeatherFeed::isValidId(id)) {
                res.status = 404;
                res.set_content("no such town\n", "text/plain");
                return;
            }
            const qint64 elapsed = started.elapsed() / 1000;
            log(QStringLiteral("weather %1").arg(id));
            res.set_content(toStd(weather.xml(id, elapsed, QDateTime::currentDateTime())),
                            "text/xml; charset=utf-8");
        });
}

HttpSimulator::HttpSimulator(const Options &options) : d(std::make_unique<Private>(options)) {}

HttpSimulator::~HttpSimulator()
{
    stop();
}

void HttpSimulator::setLogger(Logger logger)
{
    d->logger = std::move(logger);
}

bool HttpSimulator::start(QString *error)
{
    d->started.start();
    const std::string host = d->options.address.toStdString();
    auto add = [&](std::unique_ptr<Private::Server> server) {
        server->http = std::make_unique<httplib::Server>();
        server->http->set_tcp_nodelay(true);
        if (server->scene)
            d->setUpCamera(server.get());
        else
            d->setUpWeather(server.get());
        const int wanted = server->port;
        const int bound = wanted == 0 ? server->http->bind_to_any_port(host)
                                      : (server->http->bind_to_port(host, wanted) ? wanted : -1);
        if (bound <= 0) {
            const QString message = QStringLiteral("cannot listen for %1 on %2:%3")
                                        .arg(server->label, d->options.address)
                                        .arg(wanted);
            if (d->options.tolerateBusyPorts) {
                d->log(message);
                return true;
            }
            if (error)
                *error = message;
            return false;
        }
        server->port = bound;
        httplib::Server *http = server->http.get();
        server->thread = std::thread([http] { http->listen_after_bind(); });
        d->servers.push_back(std::move(server));
        return true;
    };

    if (d->options.weatherPort >= 0) {
        auto server = std::make_unique<Private::Server>();
        server->label = QStringLiteral("weather");
        server->port = d->options.weatherPort;
        if (!add(std::move(server))) {
            stop();
            return false;
        }
    }
    int seed = 0;
    for (const Camera &camera : d->options.cameras) {
        auto server = std::make_unique<Private::Server>();
        server->label = QStringLiteral("camera ") + camera.name;
        server->camera = camera;
        server->port = camera.port;
        server->scene = std::make_shared<CameraScene>(camera.name, ++seed, d->options.frameSize);
        if (!add(std::move(server))) {
            stop();
            return false;
        }
    }
    return true;
}

void HttpSimulator::stop()
{
    d->stopping = true;
    for (auto &server : d->servers) {
        server->http->stop();
        if (server->thread.joinable())
            server->thread.join();
    }
    d->servers.clear();
}

QStringList HttpSimulator::endpoints() const
{
    QStringList list;
    for (const auto &server : d->servers)
        list << QStringLiteral("%1 %2:%3").arg(server->label, d->options.address).arg(server->port);
    return list;
}

void HttpSimulator::readProject(const QString &folder, QList<Camera> *cameras,
                                QMap<QString, QString> *towns)
{
    const QDir dir(folder);
    const QStringList files = dir.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name);
    for (const QString &name : files) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QXmlStreamReader xml(&file);
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QStringRef tag = xml.name();
            const QXmlStreamAttributes a = xml.attributes();
            if (tag == QLatin1String("weather") && towns) {
                const QString id = a.value(QLatin1String("cityId")).toString();
                if (!id.isEmpty())
                    towns->insert(id, a.value(QLatin1String("cityName")).toString());
            } else if ((tag == QLatin1String("ipcam") || tag == QLatin1String("avcam")) &&
                       cameras) {
                QString host = a.value(QLatin1String("ipaddress")).toString();
                host = QUrl(host.contains(QLatin1String("//")) ? host : QStringLiteral("//") + host)
                           .host();
                bool ok = false;
                const int port = a.value(QLatin1String("port")).toInt(&ok);
                const bool local =
                    host == QLatin1String("localhost") || QHostAddress(host).isLoopback();
                if (!local || !ok || port <= 0 || port > 65535)
                    continue;
                bool known = false;
                for (const Camera &c : qAsConst(*cameras))
                    known = known || c.port == port;
                if (known)
                    continue;
                Camera camera;
                camera.name = a.value(QLatin1String("camname")).toString();
                if (camera.name.isEmpty())
                    camera.name = a.value(QLatin1String("name")).toString();
                camera.port = port;
                camera.login = a.value(QLatin1String("login")).toString();
                camera.password = a.value(QLatin1String("password")).toString();
                cameras->append(camera);
            }
        }
    }
}
