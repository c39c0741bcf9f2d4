// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "ptzmanager.h"

#include "cameraurl.h"
#include "medialogging.h"

#include <QAuthenticator>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSet>

struct PtzManagerPrivate
{
    QNetworkAccessManager *manager = nullptr; // child of the PtzManager
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
    // Replies that were already given the credentials once.
    QSet<QNetworkReply *> answered;
    int requests = 0;
};

PtzManager::PtzManager(QObject *parent) : QObject(parent), d(std::make_unique<PtzManagerPrivate>())
{
    d->manager = new QNetworkAccessManager(this);
    connect(d->manager, &QNetworkAccessManager::authenticationRequired, this,
            &PtzManager::slotAuthenticationRequired);
    connect(d->manager, &QNetworkAccessManager::finished, this, &PtzManager::ptzFinished);
}

PtzManager::~PtzManager()
{
    d->manager->disconnect(this);
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
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    d->manager->get(request);
    ++d->requests;
}

void PtzManager::slotAuthenticationRequired(QNetworkReply *reply, QAuthenticator *auth)
{
    // Once per request: refused credentials are not offered again (account lock-outs).
    if (d->login.isEmpty() || d->answered.contains(reply)) {
        qCWarning(lcMedia) << "camera refused the PTZ credentials:" << reply->url().host();
        return;
    }
    d->answered.insert(reply);
    auth->setUser(d->login);
    auth->setPassword(d->password);
}

void PtzManager::ptzFinished(QNetworkReply *nreply)
{
    d->answered.remove(nreply);
    nreply->deleteLater();
}
