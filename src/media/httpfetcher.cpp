// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "httpfetcher.h"

#include "httpresponseparser.h"
#include "mediaconstants.h"
#include "medialogging.h"

#include <QCryptographicHash>
#include <QHash>
#include <QPointer>
#include <QRandomGenerator>
#include <QTcpSocket>
#ifndef QT_NO_SSL
#include <QSslSocket>
#endif

namespace {

struct Challenge
{
    QByteArray scheme; // lower case
    QHash<QByteArray, QByteArray> params;
};

// `Scheme name=value, name="quoted value", ...`
Challenge parseChallenge(const QByteArray &value)
{
    Challenge c;
    int i = 0;
    const int n = value.size();
    while (i < n && value.at(i) != ' ')
        ++i;
    c.scheme = value.left(i).toLower();
    while (i < n) {
        while (i < n && (value.at(i) == ' ' || value.at(i) == ','))
            ++i;
        const int nameStart = i;
        while (i < n && value.at(i) != '=' && value.at(i) != ',')
            ++i;
        const QByteArray name = value.mid(nameStart, i - nameStart).trimmed().toLower();
        if (i >= n || value.at(i) != '=')
            continue;
        ++i;
        while (i < n && value.at(i) == ' ')
            ++i;
        QByteArray v;
        if (i < n && value.at(i) == '"') {
            for (++i; i < n && value.at(i) != '"'; ++i) {
                if (value.at(i) == '\\' && i + 1 < n)
                    ++i;
                v += value.at(i);
            }
            ++i;
        } else {
            const int start = i;
            while (i < n && value.at(i) != ',')
                ++i;
            v = value.mid(start, i - start).trimmed();
        }
        if (!name.isEmpty())
            c.params.insert(name, v);
    }
    return c;
}

QByteArray quoted(const QByteArray &text)
{
    QByteArray out = text;
    out.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + out + '"';
}

QByteArray digestAuthorization(const Challenge &c, const QByteArray &user,
                               const QByteArray &password, const QByteArray &uri)
{
    QByteArray algorithm = c.params.value("algorithm", "MD5");
    const QByteArray lower = algorithm.toLower();
    QCryptographicHash::Algorithm hash;
    if (lower == "md5" || lower == "md5-sess")
        hash = QCryptographicHash::Md5;
    else if (lower == "sha-256" || lower == "sha-256-sess")
        hash = QCryptographicHash::Sha256;
    else
        return {};
    auto h = [hash](const QByteArray &text) {
        return QCryptographicHash::hash(text, hash).toHex();
    };
    const QByteArray realm = c.params.value("realm");
    const QByteArray nonce = c.params.value("nonce");
    const bool qopAuth = c.params.contains("qop") &&
                         c.params.value("qop").toLower().split(',').contains("auth");
    const QByteArray cnonce =
        QByteArray::number(QRandomGenerator::global()->generate64(), 16).rightJustified(16, '0');
    const QByteArray nc = "00000001";
    QByteArray ha1 = h(user + ':' + realm + ':' + password);
    if (lower.endsWith("-sess"))
        ha1 = h(ha1 + ':' + nonce + ':' + cnonce);
    const QByteArray ha2 = h("GET:" + uri);
    const QByteArray response = qopAuth
                                    ? h(ha1 + ':' + nonce + ':' + nc + ':' + cnonce + ":auth:" + ha2)
                                    : h(ha1 + ':' + nonce + ':' + ha2);
    QByteArray out = "Digest username=" + quoted(user) + ", realm=" + quoted(realm) +
                     ", nonce=" + quoted(nonce) + ", uri=" + quoted(uri) +
                     ", algorithm=" + algorithm + ", response=" + quoted(response);
    if (c.params.contains("opaque"))
        out += ", opaque=" + quoted(c.params.value("opaque"));
    if (qopAuth)
        out += ", qop=auth, nc=" + nc + ", cnonce=" + quoted(cnonce);
    return out;
}

} // namespace

struct HttpFetcher::Private
{
    QTcpSocket *socket = nullptr; // child of the fetcher, one per connection
    HttpResponseParser parser;
    QUrl url;
    QString login;
    QString password;
    QByteArray authorization; // for the retry after a challenge
    qint64 readBufferBytes = MediaConstants::Http::kReadBufferBytes;
    int maxHeaderBytes = MediaConstants::Http::kMaxHeaderBytes;
    qint64 maxBodyBytes = -1;
    bool running = false;
    bool credentialsSent = false;
    bool headersAnnounced = false;
    // Bumped by every get() and end of a request, so a handler can tell that a receiver of one
    // of its signals started or ended a request meanwhile.
    quint64 generation = 0;
    QString error;

    QByteArray target() const
    {
        QByteArray t = url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority |
                                     QUrl::RemoveFragment);
        return t.isEmpty() ? QByteArray("/") : t;
    }
    QByteArray requestText() const
    {
        QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
        if (host.contains(':'))
            host = '[' + host + ']';
        if (url.port() >= 0)
            host += ':' + QByteArray::number(url.port());
        QByteArray text = "GET " + target() + " HTTP/1.1\r\nHost: " + host +
                          "\r\nAccept: */*\r\nConnection: close\r\n";
        if (!authorization.isEmpty())
            text += "Authorization: " + authorization + "\r\n";
        return text + "\r\n";
    }
};

HttpFetcher::HttpFetcher(QObject *parent) : QObject(parent), d(std::make_unique<Private>()) {}

HttpFetcher::~HttpFetcher()
{
    if (d->socket) {
        // The fetcher may go while the socket is still emitting (a receiver deleted its owner):
        // the socket goes later, not as a child from under its own signal.
        d->socket->disconnect(this);
        d->socket->abort();
        d->socket->setParent(nullptr);
        d->socket->deleteLater();
    }
}

void HttpFetcher::setCredentials(const QString &login, const QString &password)
{
    d->login = login;
    d->password = password;
}

void HttpFetcher::setMaxHeaderBytes(int bytes)
{
    d->maxHeaderBytes = bytes;
}

void HttpFetcher::setMaxBodyBytes(qint64 bytes)
{
    d->maxBodyBytes = bytes;
}

void HttpFetcher::setReadBufferBytes(qint64 bytes)
{
    d->readBufferBytes = qMax<qint64>(1024, bytes);
}

bool HttpFetcher::isRunning() const
{
    return d->running;
}

int HttpFetcher::statusCode() const
{
    return d->headersAnnounced ? d->parser.statusCode() : 0;
}

QByteArray HttpFetcher::header(const QByteArray &name) const
{
    return d->headersAnnounced ? d->parser.header(name) : QByteArray();
}

qint64 HttpFetcher::bufferedBytes() const
{
    return (d->socket ? d->socket->bytesAvailable() : 0) + d->parser.bufferedBytes();
}

QString HttpFetcher::errorString() const
{
    return d->error;
}

void HttpFetcher::get(const QUrl &url)
{
    if (d->socket) {
        d->socket->disconnect(this);
        d->socket->abort();
        d->socket->deleteLater();
        d->socket = nullptr;
    }
    ++d->generation;
    d->url = url;
    d->running = true;
    d->credentialsSent = false;
    d->authorization.clear();
    d->error.clear();
    connectSocket();
}

void HttpFetcher::abort()
{
    finish(Result::Aborted);
}

void HttpFetcher::connectSocket()
{
    d->parser.reset();
    d->parser.setMaxHeaderBytes(d->maxHeaderBytes);
    d->parser.setMaxBodyBytes(d->maxBodyBytes);
    d->headersAnnounced = false;

    const bool tls = d->url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
    QTcpSocket *socket = nullptr;
#ifndef QT_NO_SSL
    if (tls && QSslSocket::supportsSsl()) {
        auto *ssl = new QSslSocket(this);
        connect(ssl, &QSslSocket::encrypted, this, [this, ssl] {
            if (ssl == d->socket)
                ssl->write(d->requestText());
        });
        socket = ssl;
    }
#endif
    if (tls && !socket) {
        d->error = QStringLiteral("no TLS support for %1").arg(d->url.toDisplayString());
        QMetaObject::invokeMethod(
            this, [this, gen = d->generation] {
                if (gen == d->generation)
                    finish(Result::ConnectionFailed);
            },
            Qt::QueuedConnection);
        return;
    }
    if (!socket) {
        socket = new QTcpSocket(this);
        connect(socket, &QTcpSocket::connected, this, [this, socket] {
            if (socket == d->socket)
                socket->write(d->requestText());
        });
    }
    d->socket = socket;
    // The back-pressure: the socket stops reading once this much waits for us.
    socket->setReadBufferSize(d->readBufferBytes);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        if (socket == d->socket)
            readAvailable();
    });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        if (socket == d->socket)
            connectionEnded();
    });
    connect(socket, &QAbstractSocket::errorOccurred, this,
            [this, socket](QAbstractSocket::SocketError error) {
                if (socket != d->socket || error == QAbstractSocket::RemoteHostClosedError)
                    return;
                d->error = socket->errorString();
                finish(d->parser.headersComplete() ? Result::BadReply : Result::ConnectionFailed);
            });
    const quint16 port = quint16(d->url.port(tls ? 443 : 80));
#ifndef QT_NO_SSL
    if (auto *ssl = qobject_cast<QSslSocket *>(socket)) {
        ssl->connectToHostEncrypted(d->url.host(), port);
        return;
    }
#endif
    socket->connectToHost(d->url.host(), port);
}

void HttpFetcher::readAvailable()
{
    QPointer<HttpFetcher> self(this);
    const quint64 generation = d->generation;
    auto stillOurs = [&] { return self && d->generation == generation && d->running; };
    while (d->socket && d->socket->bytesAvailable() > 0) {
        const QByteArray data = d->socket->read(d->readBufferBytes);
        QByteArray body;
        const bool ok = d->parser.feed(data, &body);
        if (!d->headersAnnounced && d->parser.headersComplete()) {
            if (d->parser.statusCode() == 401) {
                challenged();
                return;
            }
            d->headersAnnounced = true;
            emit headersReceived();
            if (!stillOurs())
                return;
        }
        if (!body.isEmpty()) {
            emit bodyReceived(body);
            if (!stillOurs())
                return;
        }
        if (!ok) {
            d->error = QString::fromLatin1(HttpResponseParser::errorText(d->parser.error()));
            qCDebug(lcMedia) << "HTTP reply refused:" << d->error << d->url.toDisplayString();
            finish(Result::BadReply);
            return;
        }
        if (d->parser.isComplete()) {
            finish(Result::Complete);
            return;
        }
    }
}

void HttpFetcher::connectionEnded()
{
    readAvailable();
    if (!d->running || !d->socket)
        return;
    d->parser.finishInput();
    if (d->parser.isComplete() && d->headersAnnounced) {
        finish(Result::Complete);
        return;
    }
    if (d->error.isEmpty())
        d->error = QString::fromLatin1(HttpResponseParser::errorText(d->parser.error()));
    finish(d->parser.headersComplete() ? Result::BadReply : Result::ConnectionFailed);
}

void HttpFetcher::challenged()
{
    // Credentials go out once per request: a second challenge means they were refused, and
    // offering them again would only hammer (and possibly lock) the peer's account.
    if (d->login.isEmpty() || d->credentialsSent) {
        finish(Result::Refused);
        return;
    }
    QByteArray authorization;
    const QByteArray user = d->login.toUtf8();
    const QByteArray password = d->password.toUtf8();
    const QList<QByteArray> challenges = d->parser.headerValues("www-authenticate");
    for (const QByteArray &value : challenges) {
        const Challenge c = parseChallenge(value);
        if (c.scheme == "digest")
            authorization = digestAuthorization(c, user, password, d->target());
        if (!authorization.isEmpty())
            break;
    }
    if (authorization.isEmpty()) {
        for (const QByteArray &value : challenges) {
            if (parseChallenge(value).scheme == "basic")
                authorization = "Basic " + QByteArray(user + ':' + password).toBase64();
        }
    }
    if (authorization.isEmpty()) {
        finish(Result::Refused);
        return;
    }
    d->authorization = authorization;
    d->credentialsSent = true;
    d->socket->disconnect(this);
    d->socket->abort();
    d->socket->deleteLater();
    d->socket = nullptr;
    connectSocket();
}

void HttpFetcher::finish(Result result)
{
    if (!d->running)
        return;
    d->running = false;
    ++d->generation;
    if (d->socket) {
        d->socket->disconnect(this);
        d->socket->abort();
        d->socket->deleteLater();
        d->socket = nullptr;
    }
    emit finished(result);
}
