// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QObject>

#include <memory>

struct PtzManagerPrivate;

// Moves and zooms a pan/tilt/zoom camera: each command sends one HTTP GET for the camera address
// followed by the command's configured path. Replies are not evaluated; a reply that takes longer
// than a few seconds is cut off, and while several are outstanding further presses are dropped,
// so a camera that never answers holds a bounded number of connections.
class PtzManager : public QObject
{
    Q_OBJECT
public:
    explicit PtzManager(QObject *parent = nullptr);
    ~PtzManager() override;

    void setAddress(const QString &address);
    void setPort(const QString &port);
    void setLogin(const QString &login);
    void setPassword(const QString &password);

    void setMoveLeft(const QString &command);
    void setMoveRight(const QString &command);
    void setMoveUp(const QString &command);
    void setMoveDown(const QString &command);
    void setMoveHome(const QString &command);
    void setZoomIn(const QString &command);
    void setZoomOut(const QString &command);

    // Requests sent since construction, and requests still waiting for their reply.
    int requestCount() const;
    int pendingCount() const;
    // Time a reply may take (10 s unless changed; tests shorten it).
    void setReplyTimeout(int ms);

public slots:
    void moveLeft();
    void moveRight();
    void moveUp();
    void moveDown();
    void moveHome();
    void zoomIn();
    void zoomOut();

private:
    void send(const QString &command);

    std::unique_ptr<PtzManagerPrivate> d;
};
