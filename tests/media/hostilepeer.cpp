// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "hostilepeer.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace {
// Unsent bytes the peer keeps on its side at most.
constexpr qint64 kOwnBuffer = 256 * 1024;
} // namespace

HostilePeer::HostilePeer(const Behaviour &behaviour, QObject *parent)
    : QObject(parent), m_behaviour(behaviour)
{
    connect(&m_server, &QTcpServer::newConnection, this, &HostilePeer::onConnection);
}

HostilePeer::~HostilePeer()
{
    for (QTcpSocket *socket : m_sockets) {
        socket->disconnect(this);
        socket->abort();
    }
}

bool HostilePeer::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

void HostilePeer::onConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        ++m_connections;
        m_sockets.append(socket);
        socket->setParent(this);
        auto request = std::make_shared<QByteArray>();
        auto answered = std::make_shared<bool>(false);
        auto *timer = new QTimer(socket);
        connect(socket, &QTcpSocket::bytesWritten, this, [this](qint64 n) { m_sent += n; });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket, timer] {
            timer->stop();
            ++m_closed;
            m_sockets.removeAll(socket);
            socket->deleteLater();
            emit connectionClosed();
        });
        connect(timer, &QTimer::timeout, this, [this, socket] { pump(socket); });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, request, answered, timer] {
            request->append(socket->readAll());
            if (*answered || !request->contains("\r\n\r\n"))
                return;
            *answered = true;
            socket->write(m_behaviour.prefix);
            if (!m_behaviour.filler.isEmpty()) {
                // A fast peer also refills as soon as the client has taken the last bytes.
                if (m_behaviour.intervalMs == 0)
                    connect(socket, &QTcpSocket::bytesWritten, timer, [this, socket] {
                        pump(socket);
                    });
                timer->start(m_behaviour.intervalMs);
            }
        });
    }
}

void HostilePeer::pump(QTcpSocket *socket)
{
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    if (m_behaviour.intervalMs > 0) {
        socket->write(m_behaviour.filler);
        return;
    }
    while (socket->bytesToWrite() < kOwnBuffer)
        socket->write(m_behaviour.filler);
}
