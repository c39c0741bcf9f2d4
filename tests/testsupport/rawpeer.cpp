// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "rawpeer.h"

#include <QHostAddress>
#include <QPointer>
#include <QQueue>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <mutex>

#include <sys/socket.h>

namespace {

void appendBigEndian16(QByteArray &frame, int value)
{
    frame.append(char((value >> 8) & 0xFF));
    frame.append(char(value & 0xFF));
}

int bigEndian16(const QByteArray &frame, int position)
{
    return (quint8(frame.at(position)) << 8) | quint8(frame.at(position + 1));
}

QByteArray mbap(int pduLength)
{
    QByteArray frame;
    appendBigEndian16(frame, 0);
    appendBigEndian16(frame, 0);
    appendBigEndian16(frame, pduLength + 1);
    frame.append(char(0));
    return frame;
}

// Makes the next close send a reset instead of an orderly shutdown.
void lingerZero(QTcpSocket *socket)
{
    const qintptr fd = socket->socketDescriptor();
    if (fd < 0)
        return;
    linger option{};
    option.l_onoff = 1;
    option.l_linger = 0;
    ::setsockopt(int(fd), SOL_SOCKET, SO_LINGER, &option, sizeof option);
}

} // namespace

struct RawPeer::RawPeerPrivate
{
    QThread thread;
    QObject *context = nullptr; // lives in `thread`; parent of the server and the connections
    QTcpServer *server = nullptr;

    mutable std::mutex mutex; // guards everything below
    QByteArray image;
    QQueue<Step> script;
    QList<QByteArray> requests;
    int connections = 0;
    quint16 port = 0;

    // Runs `f` in the peer's thread and waits for it. The two atomics make the hand-over visible
    // to ThreadSanitizer, which cannot see the wait inside Qt's blocking queued call.
    template<typename F> void inThread(F &&f)
    {
        std::atomic<bool> go{false};
        std::atomic<bool> done{false};
        go.store(true, std::memory_order_release);
        QMetaObject::invokeMethod(
            context,
            [&] {
                (void)go.load(std::memory_order_acquire);
                f();
                done.store(true, std::memory_order_release);
            },
            Qt::BlockingQueuedConnection);
        (void)done.load(std::memory_order_acquire);
    }
    void accept();
    void receive(QTcpSocket *socket);
    void perform(QTcpSocket *socket, const QByteArray &request);
};

void RawPeer::RawPeerPrivate::accept()
{
    while (QTcpSocket *socket = server->nextPendingConnection()) {
        socket->setParent(context);
        {
            std::lock_guard<std::mutex> lock(mutex);
            ++connections;
        }
        QObject::connect(socket, &QTcpSocket::readyRead, context,
                         [this, socket] { receive(socket); });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void RawPeer::RawPeerPrivate::receive(QTcpSocket *socket)
{
    QByteArray buffer = socket->property("pending").toByteArray() + socket->readAll();
    while (buffer.size() >= 6) {
        const int frameSize = 6 + bigEndian16(buffer, 4);
        if (buffer.size() < frameSize)
            break;
        const QByteArray request = buffer.left(frameSize);
        buffer.remove(0, frameSize);
        perform(socket, request);
        if (socket->state() != QAbstractSocket::ConnectedState)
            return;
    }
    socket->setProperty("pending", buffer);
}

void RawPeer::RawPeerPrivate::perform(QTcpSocket *socket, const QByteArray &request)
{
    Step step;
    QByteArray answer;
    {
        std::lock_guard<std::mutex> lock(mutex);
        requests.append(request);
        if (!script.isEmpty())
            step = script.dequeue();
        answer = step.bytes.isNull() ? RawPeer::answerFor(request, image) : step.bytes;
    }
    QPointer<QTcpSocket> guarded(socket);
    switch (step.action) {
    case Action::Answer:
        socket->write(answer);
        break;
    case Action::AnswerLate:
        QTimer::singleShot(step.delayMs, context, [guarded, answer] {
            if (guarded && guarded->state() == QAbstractSocket::ConnectedState)
                guarded->write(answer);
        });
        break;
    case Action::AnswerSplit: {
        const int split = qBound(0, step.splitAt, int(answer.size()));
        socket->write(answer.left(split));
        socket->flush();
        const QByteArray rest = answer.mid(split);
        QTimer::singleShot(step.delayMs, context, [guarded, rest] {
            if (guarded && guarded->state() == QAbstractSocket::ConnectedState)
                guarded->write(rest);
        });
        break;
    }
    case Action::Silence:
        break;
    case Action::Close:
        socket->disconnectFromHost();
        break;
    case Action::ResetAfter:
        if (!step.bytes.isEmpty()) {
            socket->write(step.bytes);
            socket->waitForBytesWritten(1000);
        }
        lingerZero(socket);
        socket->abort();
        break;
    }
}

RawPeer::RawPeer() : d(std::make_unique<RawPeerPrivate>())
{
    d->context = new QObject;
    d->context->moveToThread(&d->thread);
    d->thread.start();
}

RawPeer::~RawPeer()
{
    close();
    QObject *context = d->context;
    d->inThread([context] { delete context; });
    d->thread.quit();
    d->thread.wait();
}

bool RawPeer::listen(const QString &address, quint16 port)
{
    bool ok = false;
    d->inThread([&] {
        if (!d->server) {
            d->server = new QTcpServer(d->context);
            QObject::connect(d->server, &QTcpServer::newConnection, d->context,
                             [this] { d->accept(); });
        }
        ok = d->server->listen(QHostAddress(address), port);
        std::lock_guard<std::mutex> lock(d->mutex);
        d->port = d->server->serverPort();
    });
    return ok;
}

void RawPeer::close()
{
    d->inThread([&] {
        if (d->server)
            d->server->close();
        const auto sockets = d->context->findChildren<QTcpSocket *>();
        for (QTcpSocket *socket : sockets) {
            socket->abort();
            socket->deleteLater();
        }
    });
}

quint16 RawPeer::port() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->port;
}

void RawPeer::setImage(const QByteArray &littleEndianImage)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->image = littleEndianImage;
}

QByteArray RawPeer::image() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->image;
}

void RawPeer::enqueue(const Step &step)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->script.enqueue(step);
}

void RawPeer::enqueue(Action action, const QByteArray &bytes, int delayMs, int splitAt)
{
    Step step;
    step.action = action;
    step.bytes = bytes;
    step.delayMs = delayMs;
    step.splitAt = splitAt;
    enqueue(step);
}

int RawPeer::pendingSteps() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->script.size();
}

QList<QByteArray> RawPeer::requests() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->requests;
}

int RawPeer::requestCount() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->requests.size();
}

int RawPeer::connectionCount() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->connections;
}

QByteArray RawPeer::readAnswer(quint8 function, const QByteArray &littleEndianImage)
{
    const int size = littleEndianImage.size() & ~1;
    QByteArray frame = mbap(2 + size);
    frame.append(char(function));
    frame.append(char(size));
    for (int i = 0; i + 1 < size; i += 2) {
        frame.append(littleEndianImage.at(i + 1));
        frame.append(littleEndianImage.at(i));
    }
    return frame;
}

QByteArray RawPeer::writeAnswer(int address, int quantity)
{
    QByteArray frame = mbap(5);
    frame.append(char(16));
    appendBigEndian16(frame, address);
    appendBigEndian16(frame, quantity);
    return frame;
}

QByteArray RawPeer::exceptionAnswer(quint8 function, quint8 code)
{
    QByteArray frame = mbap(2);
    frame.append(char(function | 0x80));
    frame.append(char(code));
    return frame;
}

QByteArray RawPeer::answerFor(const QByteArray &request, const QByteArray &littleEndianImage)
{
    if (request.size() < 12)
        return QByteArray();
    const quint8 function = quint8(request.at(7));
    const int address = bigEndian16(request, 8);
    const int quantity = bigEndian16(request, 10);
    if (function == 3 || function == 4) {
        QByteArray window = littleEndianImage.mid(2 * address, 2 * quantity);
        window.append(QByteArray(2 * quantity - window.size(), '\0'));
        return readAnswer(function, window);
    }
    if (function == 16)
        return writeAnswer(address, quantity);
    return exceptionAnswer(function, 1);
}
