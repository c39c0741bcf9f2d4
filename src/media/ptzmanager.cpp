// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "ptzmanager.h"

#include "cameraurl.h"
#include "httpfetcher.h"
#include "mediaconstants.h"
#include "medialogging.h"

#include <QTimer>

struct PtzManagerPrivate
{
    int pending = 0;
    int timeoutMs = MediaConstants::Ptz::kReplyTimeoutMs;
    QString address;
    QString port;
    QString login;
    QString password;
    QString moveLeft;
    QString moveRight;
    QString moveUp;
    QString moveDown;
    QString moveHome;
    QString zoomIn;
    QString zoomOut;
    int requests = 0;
};

PtzManager::PtzManager(QObject *parent) : QObject(parent), d(std::make_unique<PtzManagerPrivate>())
{
}

PtzManager::~PtzManager()
{
    // The requests still running are children: they close their connections as they go.
    for (HttpFetcher *fetcher : findChildren<HttpFetcher *>(QString(), Qt::FindDirectChildrenOnly))
        fetcher->disconnect(this);
}

void PtzManager::setAddress(const QString &address)
{
    d->address = address;
}

void PtzManager::setPort(const QString &port)
{
    d->port = port;
}

void PtzManager::setLogin(const QString &login)
{
    d->login = login;
}

void PtzManager::setPassword(const QString &password)
{
    d->password = password;
}

void PtzManager::setMoveLeft(const QString &command)
{
    d->moveLeft = command;
}

void PtzManager::setMoveRight(const QString &command)
{
    d->moveRight = command;
}

void PtzManager::setMoveUp(const QString &command)
{
    d->moveUp = command;
}

void PtzManager::setMoveDown(const QString &command)
{
    d->moveDown = command;
}

void PtzManager::setMoveHome(const QString &command)
{
    d->moveHome = command;
}

void PtzManager::setZoomIn(const QString &command)
{
    d->zoomIn = command;
}

void PtzManager::setZoomOut(const QString &command)
{
    d->zoomOut = command;
}

int PtzManager::requestCount() const
{
    return d->requests;
}

int PtzManager::pendingCount() const
{
    return d->pending;
}

void PtzManager::setReplyTimeout(int ms)
{
    d->timeoutMs = qMax(1, ms);
}

void PtzManager::moveLeft()
{
    send(d->moveLeft);
}

void PtzManager::moveRight()
{
    send(d->moveRight);
}

void PtzManager::moveUp()
{
    send(d->moveUp);
}

void PtzManager::moveDown()
{
    send(d->moveDown);
}

void PtzManager::moveHome()
{
    send(d->moveHome);
}

void PtzManager::zoomIn()
{
    send(d->zoomIn);
}

void PtzManager::zoomOut()
{
    send(d->zoomOut);
}

void PtzManager::send(const QString &command)
{
    if (d->address.isEmpty() || command.isEmpty())
        return;
    const QUrl url = CameraUrl::build(d->address, command, d->port);
    if (!url.isValid())
        return;
    if (d->pending >= MediaConstants::Ptz::kMaxPendingRequests) {
        qCWarning(lcMedia) << "camera has not answered" << d->pending
                           << "PTZ commands yet, command dropped:" << url.host();
        return;
    }
    auto *fetcher = new HttpFetcher(this);
    fetcher->setCredentials(d->login, d->password);
    // The answer is not read: a short one is all a command gets.
    fetcher->setMaxBodyBytes(MediaConstants::Ptz::kMaxReplyBytes);
    auto *timeout = new QTimer(fetcher);
    timeout->setSingleShot(true);
    connect(timeout, &QTimer::timeout, fetcher, &HttpFetcher::abort);
    connect(fetcher, &HttpFetcher::finished, this, [this, fetcher](HttpFetcher::Result result) {
        if (result == HttpFetcher::Result::Refused)
            qCWarning(lcMedia) << "camera refused the PTZ credentials";
        --d->pending;
        fetcher->deleteLater();
    });
    ++d->pending;
    ++d->requests;
    timeout->start(d->timeoutMs);
    fetcher->get(url);
}
