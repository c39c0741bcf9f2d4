// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QImage>
#include <QNetworkReply>
#include <QObject>
#include <QSize>

#include <memory>

class QAuthenticator;
struct MjpegDataPrivate;

// Fetches the live picture of an IP camera that serves Motion-JPEG over HTTP and hands out every
// decoded frame. While grabbing, a stream that stalls is aborted and a stream that ended is
// requested again, at most once per reconnect interval; stop() ends all of it.
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

    // Stall timeout and reconnect pacing, 10 s each unless changed (tests shorten them).
    void setWatchdogInterval(int ms);
    void setReconnectInterval(int ms);

    // Requests sent since construction, and parts dropped by the stream parser.
    int requestCount() const;
    int droppedParts() const;

    // Frames are decoded no larger than needed to cover `atLeast` (JPEG's DCT scaling, a power
    // of two down to 1/8), which costs a fraction of a full decode. An empty size decodes in full.
    void setDecodeSize(const QSize &atLeast);
    QSize decodeSize() const;

    // Decodes one JPEG frame at the smallest DCT scale whose picture still covers `atLeast` in
    // both directions (the full size when `atLeast` is empty or larger than the frame). Returns
    // a null image for data that does not decode.
    static QImage decodeFrame(const QByteArray &jpeg, const QSize &atLeast);

    void start();
    void stop();

signals:
    void newImageGrabbed(QImage img);
    void errorHappend();
    void finishGrabing();
    void stateChanged(MjpegData::GrabbingState newState);

private slots:
    void slotAuthenticationRequired(QNetworkReply *reply, QAuthenticator *auth);
    void sendRequest();
    void replyDownloadError(QNetworkReply::NetworkError error);
    void replyDataAvailable();
    void replyFinished();
    void replyDestroyed();
    void update();

private:
    void setState(GrabbingState state);

    std::unique_ptr<MjpegDataPrivate> d;
};

Q_DECLARE_METATYPE(MjpegData::GrabbingState)
