// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "mjpegframing.h"

#include <QList>
#include <QMap>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

// The simulator's HTTP side: MJPEG cameras (one per port) that PTZ requests move over a
// panorama, and the weather informer's forecast files. Each server runs on threads of its own
// beside the Modbus loop; nothing here touches the simulated home.
//
// Camera routes: any path streams ("?stall=N" stops sending after N frames and holds the
// connection, "?drop=N" closes it after N frames); "/ptz?move=left|right|up|down|home" and
// "/ptz?zoom=in|out" move the view; "/state" tells "centerX centerY zoom moves"; "/snapshot.jpg" is
// a single picture. Informer route: "/xml/ID_1.xml".
class HttpSimulator
{
public:
    struct Camera
    {
        QString name;
        int port = 0;  // 0 = any free port
        QString login; // empty = no authentication
        QString password;
    };
    struct Options
    {
        QString address = QStringLiteral("127.0.0.1");
        int weatherPort = -1; // -1 = no informer, 0 = any free port
        QList<Camera> cameras;
        MjpegFraming framing;
        int fps = 10;
        QSize frameSize = QSize(640, 480);
        int weatherPeriodSeconds = 60;
        QMap<QString, QString> towns; // id -> name
        // Ports that cannot be bound are warned about instead of failing the start.
        bool tolerateBusyPorts = false;
    };
    using Logger = std::function<void(const QString &)>;

    explicit HttpSimulator(const Options &options);
    ~HttpSimulator();
    HttpSimulator(const HttpSimulator &) = delete;
    HttpSimulator &operator=(const HttpSimulator &) = delete;

    void setLogger(Logger logger);
    // Binds every port and starts serving; false with a reason if a port cannot be bound.
    bool start(QString *error);
    void stop();

    // "weather ADDR:PORT" and "camera NAME ADDR:PORT" for each server that runs.
    QStringList endpoints() const;

    // Reads the cameras on this machine (loopback addresses with a port) and the weather towns
    // of the project files in a configuration folder.
    static void readProject(const QString &folder, QList<Camera> *cameras,
                            QMap<QString, QString> *towns);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
