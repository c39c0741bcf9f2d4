// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "fakehttpserver.h"

#include <QHostAddress>

FakeHttpServer::FakeHttpServer(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &FakeHttpServer::onConnection);
}

bool FakeHttpServer::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

void FakeHttpServer::writeResponse(QTcpSocket *socket, int status, const QByteArray &contentType,
                                   const QByteArray &body, const QByteArray &extraHeaders)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + " X\r\n";
    if (!contentType.isEmpty())
        head += "Content-Type: " + contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n" + extraHeaders +
            "Connection: close\r\n\r\n";
    socket->write(head + body);
    socket->disconnectFromHost();
}

void FakeHttpServer::onConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            // Keep-alive clients may send several requests on one connection.
            for (;;) {
                const int end = buffer->indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                const QList<QByteArray> lines = buffer->left(end).split('\n');
                buffer->remove(0, end + 4);
                Request request;
                const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
                request.method = first.value(0);
                request.target = first.value(1);
                for (int i = 1; i < lines.size(); ++i) {
                    const int colon = lines.at(i).indexOf(':');
                    if (colon > 0)
                        request.headers.insert(lines.at(i).left(colon).trimmed().toLower(),
                                               lines.at(i).mid(colon + 1).trimmed());
                }
                request.socket = socket;
                m_requests.append(request);
                if (m_handler)
                    m_handler(request, socket);
                else
                    writeResponse(socket, 404, "text/plain", "none");
                emit requestReceived();
            }
        });
    }
}
