// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTcpServer>

class QTcpSocket;

// A misbehaving HTTP peer on loopback: once a request has arrived it writes a prefix and then the
// same filler for ever (or stays silent), as fast as the client takes it or one filler per tick.
// It keeps no more than a little unsent data of its own, so what it manages to send is what the
// client let into its buffers; it counts those bytes and the connections the client closed.
class HostilePeer : public QObject
{
    Q_OBJECT
public:
    struct Behaviour
    {
        QByteArray prefix;
        QByteArray filler;  // empty: silent after the prefix
        int intervalMs = 0; // between fillers; 0 writes whenever the socket has room
    };

    explicit HostilePeer(const Behaviour &behaviour, QObject *parent = nullptr);
    ~HostilePeer() override;
    bool listen();
    quint16 port() const { return m_server.serverPort(); }

    // Bytes handed to the network over all connections, and the most on one connection.
    qint64 bytesSent() const { return m_sent; }
    int connections() const { return m_connections; }
    int closedConnections() const { return m_closed; }

signals:
    void connectionClosed();

private:
    void onConnection();
    void pump(QTcpSocket *socket);

    Behaviour m_behaviour;
    QTcpServer m_server;
    QList<QTcpSocket *> m_sockets;
    qint64 m_sent = 0;
    int m_connections = 0;
    int m_closed = 0;
};
