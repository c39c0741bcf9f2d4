// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QThread>
#include <functional>
#include <memory>

class QTcpSocket;

// The transport half of the controller link: a worker object that owns the one TCP connection to
// the controller (primary address with a secondary fall-back), the poll tick and the
// forced-reconnect minute timer. It reads and writes blocks of registers with request/response
// exchanges, one at a time, and reports every socket state change. Derived classes override
// TimerCNT() and the state hook.
//
// Thread contracts of the link (BaseTCPModbus and ControlerData), in one place:
// - The owner thread (the one that creates the object, the GUI thread in the program) calls the
//   constructor, configure() and the setters before start(), then start(), shutdown() and the
//   destructor. Nothing it may call waits on the network: shutdown() waits for the link thread,
//   which gives up any network wait within a few milliseconds once asked to stop.
// - Between start() and shutdown() the object lives in the link thread, which alone touches the
//   socket, the timers and the data image. Every Q_INVOKABLE method and public slot runs there:
//   called from any other thread it is forwarded by a queued call and returns at once (screens
//   call the commands through the typed, always queued ControlerData::commands()).
//   Arguments are values; nothing the link keeps points into the caller's data.
// - Block access (getModbusData, setModbusData), the poll tick and the hooks run only in the
//   thread the object lives in. A call from elsewhere is a programming error: it stops debug
//   builds and is refused (empty result) in release builds.
// - Getters marked "any thread" read atomics or copies the link publishes; none takes a lock the
//   link holds across a network wait. Results travel back by queued signals carrying copies.
class BaseTCPModbus : public QObject
{
    Q_OBJECT
public:
    explicit BaseTCPModbus(QObject *parent = nullptr);
    ~BaseTCPModbus() override;

    // Owner thread. Starts the link thread (once); the first connection is made in it.
    void start();
    // Owner thread. Ends the link: the link thread closes the socket and stops its timers, the
    // object comes back to the owner thread, and the call returns once the link thread has
    // ended. Idempotent; the destructor calls it.
    virtual void shutdown();
    // Any thread: between start() and the end of shutdown().
    bool isRunning() const;
    // Any thread: the link thread (null before start() and after shutdown()).
    QThread *linkThread() const;

    // Setters: call directly before start(); afterwards they run in the link thread (see above).
    Q_INVOKABLE void SetUpdateTimeout(int updtm);
    Q_INVOKABLE void connectToControler();
    Q_INVOKABLE void startMainTimer();
    Q_INVOKABLE void stopMainTimer();
    Q_INVOKABLE void setIpAdressAndPort(const QString &address, int port);
    Q_INVOKABLE void setIpAdress2(const QString &address);
    Q_INVOKABLE void setReadFunctionMB(int function);
    Q_INVOKABLE void setIsDebugModbus(bool value);
    Q_INVOKABLE void setReconnectOnTime(int minutes);

    // How long a connection attempt and each response may take (5000 ms unless changed). Set it
    // before start(); tests shorten it so that a silent peer does not stall them.
    void setWaitTimeout(int milliseconds);
    int waitTimeout() const;

    // Current settings and state; any thread.
    int updateTimeout() const;
    int readFunction() const;
    int activeAddress() const; // 0 none, 1 primary, 2 secondary
    int reconnectPeriod() const;
    bool isDebugModbus() const;
    QString primaryAddress() const;
    QString secondaryAddress() const;
    int port() const;

    // Block access, only in the thread the link lives in. The result is the little-endian image
    // of count bytes (count / 2 registers, an odd count rounded up) starting at register address:
    // register address + k is bytes 2k (low) and 2k + 1 (high). Empty when the read failed.
    QByteArray getModbusData(int address, int count);
    // Writes the little-endian image data to the registers from address on. Odd lengths and
    // blocks over 248 bytes are dropped.
    void setModbusData(int address, const QByteArray &data);

signals:
    void controlerStateChanged(QAbstractSocket::SocketState socket_state, int ip);

public slots:
    void slotError(QAbstractSocket::SocketError err);
    void slotChanged(QAbstractSocket::SocketState socket_state);
    virtual void TimerCNT();
    void reconnectTimeout();
    void reconnectToControler();

protected:
    // Called with every new socket state, before controlerStateChanged is emitted. The base
    // version keeps the forced-reconnect timer running only while connected.
    virtual void socketStateHook(int state);
    // Link thread, first thing when shutdown() reaches it (before the socket closes).
    virtual void linkStopping();
    bool isSocketConnected() const;

    // The contract checks. isLinkSide(): the calling thread is the one the object lives in.
    // assertLinkSide(): the same, for methods that must never be called from elsewhere (asserts
    // in debug builds, logs and returns false in release builds). postToLink(): runs `call` in
    // the object's thread by a queued call.
    bool isLinkSide() const;
    bool assertLinkSide(const char *where) const;
    void postToLink(std::function<void()> call);

private:
    void linkStarted();
    void linkFinishing();

    struct BaseTCPModbusPrivate;
    std::unique_ptr<BaseTCPModbusPrivate> d;
};

// An invokable entry point called from another thread runs in the link thread instead.
#define VERANDIX_LINK_ENTRY(call)                                                                  \
    if (!isLinkSide()) {                                                                           \
        postToLink([=] { call; });                                                                 \
        return;                                                                                    \
    }

// Methods that must run in the link's own thread.
#define VERANDIX_LINK_ONLY(...)                                                                    \
    if (!assertLinkSide(Q_FUNC_INFO))                                                              \
        return __VA_ARGS__;
