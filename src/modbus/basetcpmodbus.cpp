// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "basetcpmodbus.h"

#include "linkhandover.h"
#include "modbusconstants.h"
#include "modbuslog.h"

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <mutex>

using namespace ModbusLink;

namespace {

void appendBigEndian16(QByteArray &frame, int value)
{
    frame.append(char((value >> 8) & 0xFF));
    frame.append(char(value & 0xFF));
}

quint16 bigEndian16(const QByteArray &frame, int position)
{
    return quint16((quint8(frame.at(position)) << 8) | quint8(frame.at(position + 1)));
}

// The MBAP header and PDU in front of the register values. The byte-count byte exists only in the
// requests of function 15 and above (the multiple-write functions).
QByteArray buildRequest(quint8 function, int address, int quantity, const QByteArray &values)
{
    QByteArray frame;
    const bool hasByteCount = function >= 15;
    const int length = 1 + 1 + 2 + 2 + (hasByteCount ? 1 + values.size() : 0);
    frame.reserve(kMbapLengthBytes + length);
    appendBigEndian16(frame, kTransactionId);
    appendBigEndian16(frame, 0); // protocol identifier
    appendBigEndian16(frame, length);
    frame.append(char(kUnitId));
    frame.append(char(function));
    appendBigEndian16(frame, address & 0xFFFF);
    appendBigEndian16(frame, quantity);
    if (hasByteCount) {
        frame.append(char(values.size()));
        frame.append(values);
    }
    return frame;
}

// Registers are big-endian on the wire and low byte first in the link's image: swap every pair.
QByteArray swapPairs(const char *bytes, int size)
{
    QByteArray out(size, Qt::Uninitialized);
    for (int i = 0; i + 1 < size; i += 2) {
        out[i] = bytes[i + 1];
        out[i + 1] = bytes[i];
    }
    return out;
}

enum class Answer { Complete, Failed };

} // namespace

namespace {
// How long one wait for an answer may block before the link looks whether it is asked to stop.
constexpr int kWaitSliceMs = 20;
} // namespace

struct BaseTCPModbus::BaseTCPModbusPrivate
{
    explicit BaseTCPModbusPrivate(BaseTCPModbus *q) : q(q) {}

    BaseTCPModbus *q;
    QThread *owner = nullptr;             // the thread that created the link
    std::unique_ptr<QThread> thread;      // the link thread, from start() to the end of shutdown()
    std::atomic<QThread *> home{nullptr}; // the thread the object lives in now
    std::atomic<bool> running{false};
    std::atomic<bool> stopRequested{false};
    // Set by the link thread as its last touch of the object (release), read by the owner after
    // the thread ended (acquire): everything the link thread did happens before the owner goes
    // on, also for tools that cannot see the thread join inside Qt.
    std::atomic<bool> linkDone{false};

    // Link thread only (created and destroyed there).
    QTcpSocket *socket = nullptr;
    QTimer *mainTimer = nullptr;
    QTimer *reconnectTimer = nullptr;
    int minuteCounter = 0;
    // Set while the link waits for an answer in short slices: the timeouts of those slices are
    // its own bookkeeping, not socket errors.
    bool slicedWait = false;

    // Written on the link side, readable from any thread.
    std::atomic<bool> debug{false};
    std::atomic<int> pollInterval{kDefaultPollIntervalMs};
    std::atomic<int> reconnectPeriod{0};
    std::atomic<int> activeAddress{0};
    std::atomic<int> readFunction{kReadHoldingRegisters};
    std::atomic<int> waitMs{kDefaultWaitMs};
    std::atomic<int> port{kDefaultPort};

    mutable std::mutex addressMutex; // the two strings; held only to copy them
    QString primary = QString::fromLatin1(kDefaultPrimaryAddress);
    QString secondary = QString::fromLatin1(kDefaultSecondaryAddress);

    bool connectTo(const QString &host);
    Answer exchange(const QByteArray &request, QByteArray *frame);
    void dropConnection(const char *why);
    void restartReconnectTimer();
};

bool BaseTCPModbus::BaseTCPModbusPrivate::connectTo(const QString &host)
{
    const QAbstractSocket::SocketState state = socket->state();
    if (state == QAbstractSocket::ConnectedState || state == QAbstractSocket::ConnectingState)
        socket->disconnectFromHost();
    // A socket still closing (unsent data) or in any other state would refuse connectToHost().
    if (socket->state() != QAbstractSocket::UnconnectedState)
        socket->abort();
    const int portNumber = port;
    if (host.isEmpty() || portNumber <= 0 || portNumber > 0xFFFF || stopRequested)
        return false;
    socket->connectToHost(host, quint16(portNumber), QIODevice::ReadWrite,
                          QAbstractSocket::AnyIPProtocol);
    // One wait: a connection attempt whose wait runs out is reset by the socket, so it cannot be
    // cut into slices like the answer waits. Only this thread waits for it.
    socket->waitForConnected(waitMs);
    if (socket->state() != QAbstractSocket::ConnectedState)
        return false;
    // Small frames, one at a time, each waited for: never hold a request back for coalescing.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return true;
}

void BaseTCPModbus::BaseTCPModbusPrivate::dropConnection(const char *why)
{
    qCWarning(lcModbus) << "controller link:" << why << "- dropping the connection";
    // Whatever the peer still sends belongs to a request we have given up on. Only a fresh
    // connection guarantees that it can never be taken for the answer to the next request.
    socket->abort();
}

// Sends one request and collects one whole answer frame (as long as its MBAP length says) within
// the wait. Transaction ids are always 0, so the stream position is the only thing that pairs an
// answer with its request: anything that breaks it (a timeout, a short or oversized frame, a
// closed connection) ends the connection instead of leaving stray bytes for the next exchange.
Answer BaseTCPModbus::BaseTCPModbusPrivate::exchange(const QByteArray &request, QByteArray *frame)
{
    frame->clear();
    // Unsolicited bytes that came in since the last exchange (the event loop has read them in
    // between) are not an answer to this request.
    if (socket->state() != QAbstractSocket::ConnectedState || stopRequested)
        return Answer::Failed;
    socket->readAll();

    if (socket->write(request) != request.size()) {
        dropConnection("request not sent");
        return Answer::Failed;
    }
    socket->flush();

    QDeadlineTimer deadline(waitMs);
    int expected = -1;
    for (;;) {
        // An error met while waiting has already aborted (and closed) the socket.
        if (socket->isOpen())
            frame->append(socket->readAll());
        if (expected < 0 && frame->size() >= kMbapLengthBytes) {
            const int length = bigEndian16(*frame, 4);
            if (length < 2 || length > kMaxMbapLength || bigEndian16(*frame, 2) != 0) {
                dropConnection("malformed answer header");
                return Answer::Failed;
            }
            expected = kMbapLengthBytes + length;
        }
        if (expected >= 0 && frame->size() >= expected)
            break;
        if (socket->state() != QAbstractSocket::ConnectedState) {
            if (socket->state() != QAbstractSocket::UnconnectedState)
                socket->abort();
            return Answer::Failed;
        }
        if (stopRequested) {
            // Shutting down: the answer is of no use any more, and neither is the connection.
            socket->abort();
            return Answer::Failed;
        }
        if (deadline.hasExpired()) {
            dropConnection(frame->isEmpty() ? "no answer" : "incomplete answer");
            return Answer::Failed;
        }
        // Short slices, so that a shutdown never waits for a silent controller.
        slicedWait = true;
        socket->waitForReadyRead(int(qBound<qint64>(1, deadline.remainingTime(), kWaitSliceMs)));
        slicedWait = false;
    }
    if (frame->size() > expected) {
        // More than one frame for one request: the peer and the link disagree on the stream.
        dropConnection("unexpected bytes after the answer");
        return Answer::Failed;
    }
    if (bigEndian16(*frame, 0) != kTransactionId) {
        dropConnection("answer with a foreign transaction id");
        return Answer::Failed;
    }
    return Answer::Complete;
}

void BaseTCPModbus::BaseTCPModbusPrivate::restartReconnectTimer()
{
    minuteCounter = 0;
    if (!reconnectTimer)
        return;
    if (socket && socket->state() == QAbstractSocket::ConnectedState && reconnectPeriod >= 1)
        reconnectTimer->start(kReconnectTickMs);
    else
        reconnectTimer->stop();
}

BaseTCPModbus::BaseTCPModbus(QObject *parent)
    : QObject(parent), d(std::make_unique<BaseTCPModbusPrivate>(this))
{
    qRegisterMetaType<QAbstractSocket::SocketState>("QAbstractSocket::SocketState");
    qRegisterMetaType<QAbstractSocket::SocketError>("QAbstractSocket::SocketError");
    d->owner = QThread::currentThread();
    d->home = d->owner;
    LinkHandOver::install();
}

BaseTCPModbus::~BaseTCPModbus()
{
    BaseTCPModbus::shutdown();
}

void BaseTCPModbus::start()
{
    Q_ASSERT_X(QThread::currentThread() == d->owner, Q_FUNC_INFO, "owner thread only");
    if (QThread::currentThread() != d->owner || d->thread)
        return;
    // A child cannot change threads; the link is a top-level object owned by the application.
    if (parent()) {
        qCWarning(lcModbus) << "controller link with a parent object cannot run its own thread";
        return;
    }
    d->thread = std::make_unique<QThread>();
    d->thread->setObjectName(QStringLiteral("verandix-link"));
    // Direct: runs in the new thread before its event loop, so that the socket and the timers
    // are created in (and belong to) the link thread.
    connect(d->thread.get(), &QThread::started, this, &BaseTCPModbus::linkStarted,
            Qt::DirectConnection);
    d->stopRequested = false;
    d->linkDone = false;
    moveToThread(d->thread.get());
    d->home = d->thread.get();
    d->running = true;
    d->thread->start();
}

void BaseTCPModbus::shutdown()
{
    Q_ASSERT_X(QThread::currentThread() == d->owner, Q_FUNC_INFO, "owner thread only");
    if (QThread::currentThread() != d->owner || !d->thread)
        return;
    // Cuts short any answer the link is waiting for; the queued call below then runs next.
    d->stopRequested = true;
    QMetaObject::invokeMethod(
        this, [this] { linkFinishing(); }, Qt::QueuedConnection);
    d->thread->wait();
    const bool done = d->linkDone.load(std::memory_order_acquire);
    Q_ASSERT(done);
    Q_UNUSED(done);
    d->thread.reset();
    d->running = false;
}

bool BaseTCPModbus::isRunning() const
{
    return d->running;
}

QThread *BaseTCPModbus::linkThread() const
{
    QThread *home = d->home;
    return home == d->owner ? nullptr : home;
}

bool BaseTCPModbus::isLinkSide() const
{
    return QThread::currentThread() == d->home.load();
}

bool BaseTCPModbus::assertLinkSide(const char *where) const
{
    if (isLinkSide())
        return true;
    Q_ASSERT_X(false, where, "the controller link was called outside its own thread");
    qCWarning(lcModbus) << where << "was called outside the link thread; refused";
    return false;
}

void BaseTCPModbus::postToLink(std::function<void()> call)
{
    // The call and what it captured were made in this thread and run in the link's: the hand-over
    // goes through Qt's event queue, which the thread checker cannot see into.
    LinkHandOver::publish();
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void BaseTCPModbus::linkStarted()
{
    VERANDIX_LINK_ONLY()
    d->mainTimer = new QTimer;
    d->mainTimer->setInterval(d->pollInterval);
    connect(d->mainTimer, &QTimer::timeout, this, &BaseTCPModbus::TimerCNT);

    d->reconnectTimer = new QTimer;
    d->reconnectTimer->setInterval(kReconnectTickMs);
    connect(d->reconnectTimer, &QTimer::timeout, this, &BaseTCPModbus::reconnectTimeout);

    d->socket = new QTcpSocket;
    // Direct connections: the socket lives in this thread, and an error must abort the socket
    // before anything else runs (a queued abort could hit a connection made in the meantime).
    connect(d->socket, &QAbstractSocket::errorOccurred, this, &BaseTCPModbus::slotError);
    connect(d->socket, &QAbstractSocket::stateChanged, this, &BaseTCPModbus::slotChanged);

    connectToControler();
}

void BaseTCPModbus::linkFinishing()
{
    VERANDIX_LINK_ONLY()
    linkStopping();
    if (d->socket) {
        d->mainTimer->stop();
        d->reconnectTimer->stop();
        d->socket->disconnectFromHost();
        d->socket->abort();
        d->socket->close();
        // Later state changes of a socket being destroyed are of no interest to anyone.
        d->socket->disconnect(this);
        delete d->mainTimer;
        delete d->reconnectTimer;
        delete d->socket;
        d->mainTimer = nullptr;
        d->reconnectTimer = nullptr;
        d->socket = nullptr;
    }
    // Back to the owner, which destroys the object; calls still queued travel along and find
    // no socket there.
    moveToThread(d->owner);
    d->home = d->owner;
    QThread::currentThread()->quit();
    d->linkDone.store(true, std::memory_order_release);
}

void BaseTCPModbus::linkStopping() {}

void BaseTCPModbus::SetUpdateTimeout(int updtm)
{
    VERANDIX_LINK_ENTRY(SetUpdateTimeout(updtm))
    if (updtm < kMinPollIntervalMs || updtm > kMaxPollIntervalMs)
        return;
    d->pollInterval = updtm;
    if (d->mainTimer && d->mainTimer->isActive())
        d->mainTimer->start(updtm);
}

void BaseTCPModbus::connectToControler()
{
    VERANDIX_LINK_ENTRY(connectToControler())
    if (!d->socket)
        return;
    stopMainTimer();
    d->activeAddress = 1;
    if (!d->connectTo(primaryAddress())) {
        d->activeAddress = 2;
        if (!d->connectTo(secondaryAddress()))
            d->activeAddress = 0;
    }
    startMainTimer();
}

void BaseTCPModbus::reconnectToControler()
{
    VERANDIX_LINK_ENTRY(reconnectToControler())
    if (!d->socket)
        return;
    stopMainTimer();
    // Only the first connection falls back to the secondary address; a reconnect retries the
    // address last chosen (the primary one when neither answered).
    if (d->activeAddress == 2) {
        d->connectTo(secondaryAddress());
    } else {
        d->activeAddress = 1;
        d->connectTo(primaryAddress());
    }
    startMainTimer();
}

void BaseTCPModbus::startMainTimer()
{
    VERANDIX_LINK_ENTRY(startMainTimer())
    if (d->mainTimer)
        d->mainTimer->start(d->pollInterval);
}

void BaseTCPModbus::stopMainTimer()
{
    VERANDIX_LINK_ENTRY(stopMainTimer())
    if (d->mainTimer)
        d->mainTimer->stop();
}

void BaseTCPModbus::setIpAdressAndPort(const QString &address, int port)
{
    VERANDIX_LINK_ENTRY(setIpAdressAndPort(address, port))
    std::lock_guard<std::mutex> lock(d->addressMutex);
    d->primary = address;
    d->port = port;
}

void BaseTCPModbus::setIpAdress2(const QString &address)
{
    VERANDIX_LINK_ENTRY(setIpAdress2(address))
    std::lock_guard<std::mutex> lock(d->addressMutex);
    d->secondary = address;
}

void BaseTCPModbus::setReadFunctionMB(int function)
{
    VERANDIX_LINK_ENTRY(setReadFunctionMB(function))
    if (function == kReadHoldingRegisters || function == kReadInputRegisters)
        d->readFunction = function;
}

void BaseTCPModbus::setIsDebugModbus(bool value)
{
    VERANDIX_LINK_ENTRY(setIsDebugModbus(value))
    d->debug = value;
}

void BaseTCPModbus::setReconnectOnTime(int minutes)
{
    VERANDIX_LINK_ENTRY(setReconnectOnTime(minutes))
    d->reconnectPeriod = minutes;
    if (d->reconnectTimer)
        d->restartReconnectTimer();
}

void BaseTCPModbus::setWaitTimeout(int milliseconds)
{
    Q_ASSERT(milliseconds > 0);
    if (milliseconds > 0)
        d->waitMs = milliseconds;
}

int BaseTCPModbus::waitTimeout() const
{
    return d->waitMs;
}

int BaseTCPModbus::updateTimeout() const
{
    return d->pollInterval;
}

int BaseTCPModbus::readFunction() const
{
    return d->readFunction;
}

int BaseTCPModbus::activeAddress() const
{
    return d->activeAddress;
}

int BaseTCPModbus::reconnectPeriod() const
{
    return d->reconnectPeriod;
}

bool BaseTCPModbus::isDebugModbus() const
{
    return d->debug;
}

QString BaseTCPModbus::primaryAddress() const
{
    std::lock_guard<std::mutex> lock(d->addressMutex);
    return d->primary;
}

QString BaseTCPModbus::secondaryAddress() const
{
    std::lock_guard<std::mutex> lock(d->addressMutex);
    return d->secondary;
}

int BaseTCPModbus::port() const
{
    return d->port;
}

bool BaseTCPModbus::isSocketConnected() const
{
    VERANDIX_LINK_ONLY(false)
    return d->socket && d->socket->state() == QAbstractSocket::ConnectedState;
}

QByteArray BaseTCPModbus::getModbusData(int address, int count)
{
    VERANDIX_LINK_ONLY({})
    if (count % 2)
        ++count;
    if (count > kMaxBlockBytes)
        return {};
    if (!d->socket)
        return {};

    QByteArray image;
    if (count > 0 && d->socket->state() == QAbstractSocket::ConnectedState) {
        const quint8 function = quint8(int(d->readFunction));
        const int quantity = count / 2;
        QByteArray frame;
        if (d->exchange(buildRequest(function, address, quantity, {}), &frame) ==
            Answer::Complete) {
            const quint8 answerFunction = quint8(frame.at(kMbapHeaderBytes));
            const int length = frame.size() - kMbapLengthBytes;
            if (answerFunction == (function | kExceptionFlag) && length == kExceptionLength) {
                // The controller refused the read (e.g. an address outside its memory): no data,
                // but the stream is still in step.
            } else if (answerFunction == function && length >= 3 &&
                       quint8(frame.at(kMbapHeaderBytes + 1)) == count && length == 2 + 1 + count) {
                image = swapPairs(frame.constData() + kReadAnswerHeaderBytes, count);
            } else {
                d->dropConnection("answer does not match the read request");
            }
        }
    }
    if (d->debug) {
        qCWarning(lcModbus) << "GetDataInv address: " << address << "\ncount: " << count
                            << "\ndata: " << image << "\n";
    }
    return image;
}

void BaseTCPModbus::setModbusData(int address, const QByteArray &data)
{
    VERANDIX_LINK_ONLY()
    if (data.size() > kMaxBlockBytes || data.isEmpty() || data.size() % 2 != 0)
        return;
    if (!d->socket || d->socket->state() == QAbstractSocket::UnconnectedState)
        return;
    // Servers accept at most 123 registers per write: a longer block goes out in consecutive
    // requests, each waited for, so that the whole block really reaches the controller.
    for (int offset = 0; offset < data.size(); offset += kMaxWriteBytes) {
        if (d->socket->state() != QAbstractSocket::ConnectedState)
            return;
        const int size = qMin(kMaxWriteBytes, data.size() - offset);
        const QByteArray values = swapPairs(data.constData() + offset, size);
        QByteArray frame;
        // The answer is not examined: a write is fire-and-forget. Waiting for it keeps the stream
        // in step; a missing answer drops the connection like any other.
        if (d->exchange(
                buildRequest(kWriteMultipleRegisters, address + offset / 2, size / 2, values),
                &frame) != Answer::Complete)
            return;
    }
}

void BaseTCPModbus::slotError(QAbstractSocket::SocketError err)
{
    VERANDIX_LINK_ONLY()
    // The slices of an answer wait run out by design; the exchange keeps its own deadline.
    if (err == QAbstractSocket::SocketTimeoutError && d->slicedWait)
        return;
    if (d->socket)
        d->socket->abort();
}

void BaseTCPModbus::slotChanged(QAbstractSocket::SocketState socket_state)
{
    VERANDIX_LINK_ONLY()
    socketStateHook(int(socket_state));
    LinkHandOver::publish();
    emit controlerStateChanged(socket_state, d->activeAddress);
}

void BaseTCPModbus::TimerCNT() {}

void BaseTCPModbus::reconnectTimeout()
{
    VERANDIX_LINK_ONLY()
    ++d->minuteCounter;
    if (d->reconnectPeriod >= 1 && d->minuteCounter >= d->reconnectPeriod) {
        d->minuteCounter = 0;
        reconnectToControler();
    }
}

void BaseTCPModbus::socketStateHook(int state)
{
    d->minuteCounter = 0;
    if (!d->reconnectTimer)
        return;
    if (state == QAbstractSocket::ConnectedState && d->reconnectPeriod >= 1)
        d->reconnectTimer->start(kReconnectTickMs);
    else
        d->reconnectTimer->stop();
}
