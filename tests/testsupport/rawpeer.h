// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

// A scripted Modbus TCP peer for what a real server will not do: late answers, answers split over
// several segments, exception answers, wrong function codes, short and garbage frames, connections
// closed or reset in the middle of an answer. It runs in a thread of its own, frames the requests
// it receives by their MBAP length and meets each with the next step of its script; without a
// script it answers correctly from its register image (register 0 upwards).
class RawPeer
{
public:
    enum class Action {
        Answer,      // send `bytes` (or, if null, the correct answer) at once
        AnswerLate,  // the same after `delayMs`
        AnswerSplit, // the first `splitAt` bytes at once, the rest after `delayMs`
        Silence,     // send nothing
        Close,       // close the connection without answering
        ResetAfter,  // send `bytes` (may be empty), then reset the connection
    };
    struct Step
    {
        Action action = Action::Answer;
        QByteArray bytes; // null: the correct answer to the request
        int delayMs = 0;
        int splitAt = 0;
    };

    RawPeer();
    ~RawPeer();
    RawPeer(const RawPeer &) = delete;
    RawPeer &operator=(const RawPeer &) = delete;

    bool listen(const QString &address = QStringLiteral("127.0.0.1"), quint16 port = 0);
    // Stops listening (new connections are refused) and drops every connection.
    void close();
    quint16 port() const;

    void setImage(const QByteArray &littleEndianImage);
    QByteArray image() const;
    void enqueue(const Step &step);
    void enqueue(Action action, const QByteArray &bytes = QByteArray(), int delayMs = 0,
                 int splitAt = 0);
    int pendingSteps() const;

    // Every complete request frame received, in order, as sent by the client.
    QList<QByteArray> requests() const;
    int requestCount() const;
    int connectionCount() const;

    // Frames a test may want to send.
    static QByteArray readAnswer(quint8 function, const QByteArray &littleEndianImage);
    static QByteArray writeAnswer(int address, int quantity);
    static QByteArray exceptionAnswer(quint8 function, quint8 code);
    // The correct answer to a request frame from an image starting at register 0.
    static QByteArray answerFor(const QByteArray &request, const QByteArray &littleEndianImage);

private:
    struct RawPeerPrivate;
    std::unique_ptr<RawPeerPrivate> d;
};
