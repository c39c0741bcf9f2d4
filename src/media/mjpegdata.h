// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "httpfetcher.h"

#include <QImage>
#include <QObject>
#include <QSize>

#include <memory>

struct MjpegDataPrivate;

// Fetches the live picture of an IP camera that serves Motion-JPEG over HTTP and hands out every
// decoded frame. While grabbing, a stream that brings no frame within the watchdog interval
// (headers included) or no frame in more bytes than a frame may have is dropped, and a stream
// that ended is requested again, at most once per reconnect interval; stop() ends all of it.
// What it holds for a stream is bounded: the connection is read no further ahead than a small
// buffer, a part by at most the frame cap, and frames arriving faster than they are drawn are
// dropped for the newest few.
class MjpegData : public QObject
{
    Q_OBJECT
public:
    enum GrabbingState { NotGrabbing = 0, Grabbing = 1 };
    Q_ENUM(GrabbingState)

    explicit MjpegData(QObject *parent = nullptr);
    ~MjpegData() override;

    void setAddress(const QString &address);
    void setPort(const QString &port);
    void setPath(const QString &path);
    void setLogin(const QString &login);
    void setPassword(const QString &password);

    QString address() const;
    QString port() const;
    QString path() const;
    QUrl url() const;
    GrabbingState state() const;

    // Time allowed without a frame, and reconnect pacing, 10 s each unless changed (tests
    // shorten them).
    void setWatchdogInterval(int ms);
    void setReconnectInterval(int ms);

    // Requests sent since construction, parts dropped by the stream parser, frames that gave no
    // picture (undecodable, or declaring more than kMaxFrameSide pixels on a side) and frames
    // passed over for a newer one.
    int requestCount() const;
    int droppedParts() const;
    int refusedFrames() const;
    int skippedFrames() const;
    // Bytes held for the running stream: the socket's buffer, the part in progress and the frame
    // waiting to be decoded.
    qint64 bufferedBytes() const;

    // Frames are decoded no larger than needed to cover `atLeast` (JPEG's DCT scaling, a power
    // of two down to 1/8), which costs a fraction of a full decode. An empty size decodes in full.
    void setDecodeSize(const QSize &atLeast);
    QSize decodeSize() const;

    // Decodes one JPEG frame at the smallest DCT scale whose picture still covers `atLeast` in
    // both directions (the full size when `atLeast` is empty or larger than the frame). Returns
    // a null image for data that does not decode, and for a frame whose header declares more
    // than kMaxFrameSide pixels on a side (then without decoding anything).
    static QImage decodeFrame(const QByteArray &jpeg, const QSize &atLeast);

    void start();
    void stop();

signals:
    void newImageGrabbed(QImage img);
    void errorHappend();
    void finishGrabing();
    void stateChanged(MjpegData::GrabbingState newState);

private:
    void sendRequest();
    void headersReceived();
    void bodyReceived(const QByteArray &data);
    void requestFinished(HttpFetcher::Result result);
    void decodePending();
    void update();
    void setState(GrabbingState state);

    std::unique_ptr<MjpegDataPrivate> d;
};

Q_DECLARE_METATYPE(MjpegData::GrabbingState)
