// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

// A small HTTP/1.1 peer on loopback for the media tests: it records every request and lets the
// test answer each one on the raw socket, so any framing a camera or informer might send can be
// produced byte for byte.
class FakeHttpServer : public QObject
{
    Q_OBJECT
public:
    struct Request
    {
        QByteArray method;
        QByteArray target;                     // path and query exactly as sent
        QHash<QByteArray, QByteArray> headers; // lower-case names
        QPointer<QTcpSocket> socket;
    };
    using Handler = std::function<void(const Request &request, QTcpSocket *socket)>;

    explicit FakeHttpServer(QObject *parent = nullptr);
    bool listen();
    quint16 port() const { return m_server.serverPort(); }
    QString address() const { return QStringLiteral("127.0.0.1"); }

    void setHandler(Handler handler) { m_handler = std::move(handler); }
    const QList<Request> &requests() const { return m_requests; }

    static void writeResponse(QTcpSocket *socket, int status, const QByteArray &contentType,
                              const QByteArray &body, const QByteArray &extraHeaders = {});

signals:
    void requestReceived();

private:
    void onConnection();
    QTcpServer m_server;
    Handler m_handler;
    QList<Request> m_requests;
};
