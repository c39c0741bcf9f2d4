// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "mjpegdata.h"

#include "cameraurl.h"
#include "mediaconstants.h"
#include "medialogging.h"
#include "mjpegstreamparser.h"

#include <QAuthenticator>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

struct MjpegDataPrivate
{
    QNetworkAccessManager *manager = nullptr; // child of the MjpegData
    QTimer watchdog;
    // Pacing of the next request after a stream ended; stopped with the stream.
    QTimer reconnect;
    QNetworkReply *reply = nullptr;
    QString address;
    QString port;
    QString path;
    QString login;
    QString password;
    QUrl url;
    // Monotonic: a wall clock set back or forward must not fire or starve the watchdog.
    QElapsedTimer requestTime;
    QElapsedTimer lastDataTime;
    MjpegData::GrabbingState state = MjpegData::NotGrabbing;
    bool firstChunk = false;
    bool credentialsGiven = false; // for the running request
    bool authenticationFailed = false;
    int watchdogMs = MediaConstants::Mjpeg::kWatchdogMs;
    int reconnectMs = MediaConstants::Mjpeg::kReconnectMs;
    int requests = 0;
    QSize decodeSize;
    MjpegStreamParser parser;
};

MjpegData::MjpegData(QObject *parent) : QObject(parent), d(std::make_unique<MjpegDataPrivate>())
{
    qRegisterMetaType<MjpegData::GrabbingState>("MjpegData::GrabbingState");
    d->manager = new QNetworkAccessManager(this);
    d->watchdog.setTimerType(Qt::PreciseTimer);
    d->reconnect.setSingleShot(true);
    connect(&d->watchdog, &QTimer::timeout, this, &MjpegData::update);
    connect(&d->reconnect, &QTimer::timeout, this, &MjpegData::sendRequest);
    connect(d->manager, &QNetworkAccessManager::authenticationRequired, this,
            &MjpegData::slotAuthenticationRequired);
}

MjpegData::~MjpegData()
{
    d->reconnect.stop();
    d->watchdog.stop();
    d->manager->disconnect(this);
    // The reply must not call back into an object that is being torn down: cut it loose first.
    if (d->reply) {
        d->reply->disconnect(this);
        d->reply->abort();
        delete d->reply;
        d->reply = nullptr;
    }
}

void MjpegData::setAddress(const QString &address)
{
    d->address = address;
}

void MjpegData::setPort(const QString &port)
{
    d->port = port;
}

void MjpegData::setPath(const QString &path)
{
    d->path = path;
}

void MjpegData::setLogin(const QString &login)
{
    d->login = login;
}

void MjpegData::setPassword(const QString &password)
{
    d->password = password;
}

QString MjpegData::address() const
{
    return d->address;
}

QString MjpegData::port() const
{
    return d->port;
}

QString MjpegData::path() const
{
    return d->path;
}

QUrl MjpegData::url() const
{
    return d->url;
}

MjpegData::GrabbingState MjpegData::state() const
{
    return d->state;
}

void MjpegData::setWatchdogInterval(int ms)
{
    d->watchdogMs = qMax(1, ms);
}

void MjpegData::setReconnectInterval(int ms)
{
    d->reconnectMs = qMax(0, ms);
}

int MjpegData::requestCount() const
{
    return d->requests;
}

int MjpegData::droppedParts() const
{
    return d->parser.droppedParts();
}

void MjpegData::setDecodeSize(const QSize &atLeast)
{
    d->decodeSize = atLeast.isValid() && !atLeast.isEmpty() ? atLeast : QSize();
}

QSize MjpegData::decodeSize() const
{
    return d->decodeSize;
}

namespace {
constexpr int kScaledDecodeQuality = 25;
} // namespace

QImage MjpegData::decodeFrame(const QByteArray &jpeg, const QSize &atLeast)
{
    QBuffer buffer;
    buffer.setData(jpeg);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    const QSize full = reader.size();
    if (full.isEmpty())
        return {};
    if (atLeast.isValid() && !atLeast.isEmpty()) {
        // libjpeg scales by 1/2, 1/4 or 1/8 inside the inverse DCT and rounds up. Asking for
        // exactly such a size lets the reader skip its own resampling pass, which would cost
        // more than the reduced decode saves.
        QSize scaled = full;
        for (int denominator = 2; denominator <= 8; denominator *= 2) {
            const QSize next((full.width() + denominator - 1) / denominator,
                             (full.height() + denominator - 1) / denominator);
            if (next.width() < atLeast.width() || next.height() < atLeast.height())
                break;
            scaled = next;
        }
        if (scaled != full) {
            reader.setScaledSize(scaled);
            // Below the reader's high-quality threshold libjpeg uses its fast integer DCT and
            // plain chroma upsampling; the difference is lost in a picture shown shrunk anyway.
            reader.setQuality(kScaledDecodeQuality);
        }
    }
    QImage image;
    if (!reader.read(&image))
        return {};
    return image;
}

void MjpegData::start()
{
    if (d->state == Grabbing || d->address.isEmpty() || d->path.isEmpty())
        return;
    const QUrl url = CameraUrl::build(d->address, d->path, d->port);
    if (!url.isValid()) {
        qCWarning(lcMedia) << "camera address is no valid URL:" << d->address << d->path;
        return;
    }
    d->url = url;
    d->authenticationFailed = false;
    setState(Grabbing);
    sendRequest();
}

void MjpegData::stop()
{
    d->reconnect.stop();
    if (d->state != Grabbing)
        return;
    d->watchdog.stop();
    setState(NotGrabbing);
    if (QNetworkReply *reply = d->reply) {
        reply->abort(); // reports the error and the end of the stream
        // Let go of it at once, so that a start() right after (a page shown again) sends its
        // request now instead of waiting for the aborted reply to be destroyed.
        if (d->reply == reply) {
            reply->disconnect(this);
            reply->deleteLater();
            d->reply = nullptr;
        }
    }
}

void MjpegData::setState(GrabbingState state)
{
    d->state = state;
    emit stateChanged(state);
}

void MjpegData::slotAuthenticationRequired(QNetworkReply *reply, QAuthenticator *auth)
{
    // Credentials go out once per request: a second challenge means they were refused, and
    // offering them again would only hammer (and possibly lock) the camera's account.
    if (reply != d->reply || d->credentialsGiven || d->login.isEmpty()) {
        d->authenticationFailed = true;
        return;
    }
    d->credentialsGiven = true;
    auth->setUser(d->login);
    auth->setPassword(d->password);
}

void MjpegData::sendRequest()
{
    if (d->state != Grabbing || d->reply)
        return;
    d->reconnect.stop();
    d->requestTime.start();
    d->lastDataTime.start();
    d->watchdog.start(d->watchdogMs);
    d->firstChunk = true;
    d->credentialsGiven = false;
    d->parser.reset();

    QNetworkRequest request(d->url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    d->reply = d->manager->get(request);
    ++d->requests;
    connect(d->reply, &QNetworkReply::errorOccurred, this, &MjpegData::replyDownloadError);
    connect(d->reply, &QNetworkReply::readyRead, this, &MjpegData::replyDataAvailable);
    connect(d->reply, &QNetworkReply::finished, this, &MjpegData::replyFinished);
    connect(d->reply, &QObject::destroyed, this, &MjpegData::replyDestroyed);
}

void MjpegData::replyDownloadError(QNetworkReply::NetworkError error)
{
    if (!d->reply || sender() != d->reply)
        return;
    if (error == QNetworkReply::AuthenticationRequiredError)
        d->authenticationFailed = true;
    qCDebug(lcMedia) << "camera stream error" << error << d->url.toDisplayString();
    emit errorHappend();
}

void MjpegData::replyDataAvailable()
{
    QNetworkReply *reply = d->reply;
    if (!reply || sender() != reply)
        return;
    d->lastDataTime.start();
    // The body of a refused challenge is no stream; the reply ends with an authentication error.
    if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 401) {
        reply->readAll();
        return;
    }
    if (d->firstChunk) {
        d->firstChunk = false;
        QByteArray boundary;
        if (!MjpegStreamParser::parseContentType(reply->rawHeader("Content-Type"), &boundary)) {
            qCWarning(lcMedia) << "camera answered with" << reply->rawHeader("Content-Type")
                               << "instead of an MJPEG stream:" << d->url.toDisplayString();
            stop();
            return;
        }
        d->parser.setBoundary(boundary);
    }
    const QList<QByteArray> frames = d->parser.feed(reply->readAll());
    QPointer<MjpegData> self(this);
    for (const QByteArray &frame : frames) {
        // A frame that does not decode is dropped: the last good picture stays on screen.
        const QImage image = decodeFrame(frame, d->decodeSize);
        if (image.isNull()) {
            qCDebug(lcMedia) << "undecodable frame of" << frame.size() << "bytes";
            continue;
        }
        emit newImageGrabbed(image);
        // A receiver may stop or even delete the stream.
        if (!self || d->reply != reply)
            return;
    }
}

void MjpegData::replyFinished()
{
    QNetworkReply *reply = d->reply;
    if (!reply || sender() != reply)
        return;
    d->watchdog.stop();
    d->parser.reset();
    reply->deleteLater();
    QPointer<MjpegData> self(this);
    emit finishGrabing();
    // Refused credentials do not become right by asking again every few seconds.
    if (self && d->authenticationFailed && d->state == Grabbing) {
        qCWarning(lcMedia) << "camera refused the credentials:" << d->url.toDisplayString();
        stop();
    }
}

void MjpegData::replyDestroyed()
{
    if (sender() != d->reply)
        return;
    d->reply = nullptr;
    if (d->state != Grabbing)
        return;
    const qint64 elapsed = d->requestTime.elapsed();
    d->reconnect.start(int(qBound<qint64>(0, d->reconnectMs - elapsed, d->reconnectMs)));
}

void MjpegData::update()
{
    if (d->lastDataTime.elapsed() < d->watchdogMs)
        return;
    d->watchdog.stop();
    if (d->reply) {
        qCDebug(lcMedia) << "camera stream stalled, aborting" << d->url.toDisplayString();
        d->reply->abort();
    }
}
