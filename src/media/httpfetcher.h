// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QObject>
#include <QUrl>

#include <memory>

// One HTTP GET at a time over a socket of its own, for peers that may misbehave: cameras and the
// weather informer. It reads the reply with HttpResponseParser (headers bounded in size), hands
// the body out as it arrives and reads the connection no further ahead than a small buffer, so a
// peer sending faster than we read is held back by TCP instead of filling memory. abort() closes
// the connection at once, whatever the peer is doing. A 401 answer is retried once with the
// credentials (Basic or Digest); a second one ends the request.
class HttpFetcher : public QObject
{
    Q_OBJECT
public:
    enum class Result {
        Complete,      // the whole reply was read
        Aborted,       // abort() was called
        ConnectionFailed,
        Refused,       // 401 with no or refused credentials
        BadReply,      // malformed, headers or body over their limits, or cut short
    };
    Q_ENUM(Result)

    explicit HttpFetcher(QObject *parent = nullptr);
    ~HttpFetcher() override;

    void setCredentials(const QString &login, const QString &password);
    void setMaxHeaderBytes(int bytes);
    void setMaxBodyBytes(qint64 bytes);
    void setReadBufferBytes(qint64 bytes);

    // Starts a GET of the URL (http, or https where TLS is available); a request still running
    // is aborted first, without a finished() for it.
    void get(const QUrl &url);
    // Closes the connection now; finished(Aborted) follows at once.
    void abort();
    bool isRunning() const;

    // The final reply's status code and headers, once headersReceived() was emitted.
    int statusCode() const;
    QByteArray header(const QByteArray &name) const;
    // Bytes held for the reply: the socket's read buffer and the parser's incomplete line.
    qint64 bufferedBytes() const;
    // What went wrong with a BadReply, in words for the log.
    QString errorString() const;

signals:
    void headersReceived();
    void bodyReceived(const QByteArray &data);
    void finished(HttpFetcher::Result result);

private:
    void connectSocket();
    void readAvailable();
    void connectionEnded();
    void challenged();
    void finish(Result result);

    struct Private;
    std::unique_ptr<Private> d;
};
