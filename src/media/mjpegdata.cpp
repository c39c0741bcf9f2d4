// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "mjpegdata.h"

#include "cameraurl.h"
#include "mediaconstants.h"
#include "medialogging.h"
#include "mjpegstreamparser.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImageReader>
#include <QPointer>
#include <QTimer>

struct MjpegDataPrivate
{
    HttpFetcher *fetcher = nullptr; // child of the MjpegData
    QTimer watchdog;
    // Pacing of the next request after a stream ended; stopped with the stream.
    QTimer reconnect;
    // Pacing of frame decoding (kMinFrameIntervalMs).
    QTimer frameTimer;
    QString address;
    QString port;
    QString path;
    QString login;
    QString password;
    QUrl url;
    // Monotonic: a wall clock set back or forward must not fire or starve the watchdog.
    QElapsedTimer requestTime;
    QElapsedTimer lastFrameTime;
    QElapsedTimer lastDecode;
    MjpegData::GrabbingState state = MjpegData::NotGrabbing;
    int watchdogMs = MediaConstants::Mjpeg::kWatchdogMs;
    int reconnectMs = MediaConstants::Mjpeg::kReconnectMs;
    int requests = 0;
    int refused = 0;
    int skipped = 0;
    qint64 bytesSinceFrame = 0;
    QList<QByteArray> pendingFrames; // cut, not decoded yet, oldest first
    QSize decodeSize;
    MjpegStreamParser parser;
};

MjpegData::MjpegData(QObject *parent) : QObject(parent), d(std::make_unique<MjpegDataPrivate>())
{
    qRegisterMetaType<MjpegData::GrabbingState>("MjpegData::GrabbingState");
    d->fetcher = new HttpFetcher(this);
    d->watchdog.setTimerType(Qt::PreciseTimer);
    d->reconnect.setSingleShot(true);
    d->frameTimer.setSingleShot(true);
    connect(&d->watchdog, &QTimer::timeout, this, &MjpegData::update);
    connect(&d->reconnect, &QTimer::timeout, this, &MjpegData::sendRequest);
    connect(&d->frameTimer, &QTimer::timeout, this, &MjpegData::decodePending);
    connect(d->fetcher, &HttpFetcher::headersReceived, this, &MjpegData::headersReceived);
    connect(d->fetcher, &HttpFetcher::bodyReceived, this, &MjpegData::bodyReceived);
    connect(d->fetcher, &HttpFetcher::finished, this, &MjpegData::requestFinished);
}

MjpegData::~MjpegData()
{
    d->reconnect.stop();
    d->watchdog.stop();
    d->frameTimer.stop();
    // The connection must not call back into an object that is being torn down.
    d->fetcher->disconnect(this);
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

int MjpegData::refusedFrames() const
{
    return d->refused;
}

int MjpegData::skippedFrames() const
{
    return d->skipped;
}

qint64 MjpegData::bufferedBytes() const
{
    qint64 pending = 0;
    for (const QByteArray &frame : d->pendingFrames)
        pending += frame.size();
    return d->fetcher->bufferedBytes() + d->parser.bufferedBytes() + pending;
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
    // The header alone gives the size; nothing is decoded for a frame refused here.
    const QSize full = reader.size();
    if (full.isEmpty() || full.width() > MediaConstants::Mjpeg::kMaxFrameSide ||
        full.height() > MediaConstants::Mjpeg::kMaxFrameSide)
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
    setState(Grabbing);
    sendRequest();
}

void MjpegData::stop()
{
    d->reconnect.stop();
    if (d->state != Grabbing)
        return;
    d->watchdog.stop();
    d->frameTimer.stop();
    d->pendingFrames.clear();
    setState(NotGrabbing);
    // Reports the error and the end of the stream; the connection is closed at once, so a
    // start() right after (a page shown again) sends its request now.
    d->fetcher->abort();
}

void MjpegData::setState(GrabbingState state)
{
    d->state = state;
    emit stateChanged(state);
}

void MjpegData::sendRequest()
{
    if (d->state != Grabbing || d->fetcher->isRunning())
        return;
    d->reconnect.stop();
    d->requestTime.start();
    d->lastFrameTime.start();
    d->watchdog.start(d->watchdogMs);
    d->parser.reset();
    d->bytesSinceFrame = 0;
    d->fetcher->setCredentials(d->login, d->password);
    ++d->requests;
    d->fetcher->get(d->url);
}

void MjpegData::headersReceived()
{
    QByteArray boundary;
    const QByteArray contentType = d->fetcher->header("Content-Type");
    if (!MjpegStreamParser::parseContentType(contentType, &boundary)) {
        qCWarning(lcMedia) << "camera answered" << d->fetcher->statusCode() << "with"
                           << contentType << "instead of an MJPEG stream:"
                           << d->url.toDisplayString();
        stop();
        return;
    }
    const int status = d->fetcher->statusCode();
    if (status < 200 || status > 299) {
        qCDebug(lcMedia) << "camera stream answered" << status << d->url.toDisplayString();
        d->fetcher->abort();
        return;
    }
    d->parser.setBoundary(boundary);
}

void MjpegData::bodyReceived(const QByteArray &data)
{
    d->bytesSinceFrame += data.size();
    const QList<QByteArray> frames = d->parser.feed(data);
    if (!frames.isEmpty()) {
        d->bytesSinceFrame = 0;
        d->lastFrameTime.start();
        // A short burst is drawn frame by frame; beyond a few waiting frames the oldest are
        // passed over, so a camera sending faster than we draw costs no more than the pace.
        d->pendingFrames += frames;
        while (d->pendingFrames.size() > MediaConstants::Mjpeg::kMaxWaitingFrames) {
            d->pendingFrames.removeFirst();
            ++d->skipped;
        }
        const qint64 since = d->lastDecode.isValid() ? d->lastDecode.elapsed()
                                                     : MediaConstants::Mjpeg::kMinFrameIntervalMs;
        if (since >= MediaConstants::Mjpeg::kMinFrameIntervalMs) {
            d->frameTimer.stop();
            QPointer<MjpegData> self(this);
            decodePending();
            // A receiver may stop or even delete the stream.
            if (!self || d->state != Grabbing)
                return;
        } else if (!d->frameTimer.isActive()) {
            d->frameTimer.start(int(MediaConstants::Mjpeg::kMinFrameIntervalMs - since));
        }
    }
    // Every camera frame fits the cap with its part headers; more bytes than that without one
    // is no camera stream (an endless part, a lying length, or no boundary at all).
    if (d->bytesSinceFrame >
        MediaConstants::Mjpeg::kMaxFrameBytes + MediaConstants::Mjpeg::kMaxHeaderBytes) {
        qCWarning(lcMedia) << "camera stream brought no frame in" << d->bytesSinceFrame
                           << "bytes, connection dropped:" << d->url.toDisplayString();
        d->fetcher->abort();
    }
}

void MjpegData::decodePending()
{
    if (d->pendingFrames.isEmpty())
        return;
    const QByteArray frame = d->pendingFrames.takeFirst();
    d->lastDecode.start();
    if (!d->pendingFrames.isEmpty())
        d->frameTimer.start(MediaConstants::Mjpeg::kMinFrameIntervalMs);
    // A frame that does not decode is dropped: the last good picture stays on screen.
    const QImage image = decodeFrame(frame, d->decodeSize);
    if (image.isNull()) {
        ++d->refused;
        qCDebug(lcMedia) << "frame of" << frame.size() << "bytes refused or undecodable";
        return;
    }
    emit newImageGrabbed(image);
}

void MjpegData::requestFinished(HttpFetcher::Result result)
{
    d->watchdog.stop();
    d->parser.reset();
    QPointer<MjpegData> self(this);
    if (result != HttpFetcher::Result::Complete) {
        qCDebug(lcMedia) << "camera stream ended:" << result << d->fetcher->errorString()
                         << d->url.toDisplayString();
        emit errorHappend();
        if (!self)
            return;
    }
    emit finishGrabing();
    if (!self || d->state != Grabbing)
        return;
    // Refused credentials do not become right by asking again every few seconds.
    if (result == HttpFetcher::Result::Refused) {
        qCWarning(lcMedia) << "camera refused the credentials:" << d->url.toDisplayString();
        stop();
        return;
    }
    const qint64 elapsed = d->requestTime.elapsed();
    d->reconnect.start(int(qBound<qint64>(0, d->reconnectMs - elapsed, d->reconnectMs)));
}

void MjpegData::update()
{
    if (d->lastFrameTime.elapsed() < d->watchdogMs)
        return;
    d->watchdog.stop();
    if (d->fetcher->isRunning()) {
        qCDebug(lcMedia) << "camera stream brought no frame in time, aborting"
                         << d->url.toDisplayString();
        d->fetcher->abort();
    }
}
