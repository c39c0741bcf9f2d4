// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "basetcpmodbus.h"

#include <QAbstractSocket>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QSet>
#include <QTest>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <mutex>

// Helpers shared by the controller link tests: running code in the link thread, recording what
// the link reports in the test thread, and starting a link against a loopback peer.
namespace LinkHarness {

// Runs `f` in the link thread and waits for it; the link's block access must run there. The
// hand-over goes through an atomic and a standard mutex both ways, so that ThreadSanitizer sees
// it (it cannot see the waits inside Qt's own blocking queued calls).
template<typename F> void inLinkThread(QObject *link, F f)
{
    std::atomic<bool> go{false};
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    go.store(true, std::memory_order_release);
    QMetaObject::invokeMethod(
        link,
        [&] {
            (void)go.load(std::memory_order_acquire);
            f();
            std::lock_guard<std::mutex> lock(mutex);
            done = true;
            finished.notify_one();
        },
        Qt::QueuedConnection);
    std::unique_lock<std::mutex> lock(mutex);
    finished.wait(lock, [&] { return done; });
}

// The socket states the link reported, as received (queued) in the test thread.
class StateLog : public QObject
{
public:
    explicit StateLog(BaseTCPModbus *link)
    {
        connect(link, &BaseTCPModbus::controlerStateChanged, this,
                [this](QAbstractSocket::SocketState state, int ip) {
                    states.append(int(state));
                    addresses.append(ip);
                });
    }
    int count(QAbstractSocket::SocketState state) const { return states.count(int(state)); }
    int lastAddress() const { return addresses.isEmpty() ? -1 : addresses.last(); }

    QList<int> states;
    QList<int> addresses;
};

// The threads a signal was emitted in (recorded with a direct connection, so in the emitter).
class ThreadLog
{
public:
    void record()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_threads.insert(QThread::currentThread());
    }
    QSet<QThread *> threads() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_threads;
    }

private:
    mutable std::mutex m_mutex;
    QSet<QThread *> m_threads;
};

// Loopback only: the primary address is set before the thread starts, so no code path under test
// ever reaches the link's built-in default addresses.
inline void configureLoopback(BaseTCPModbus *link, const QString &primary, const QString &secondary,
                              quint16 port, int waitMs = 400)
{
    link->setIpAdressAndPort(primary, port);
    link->setIpAdress2(secondary);
    link->setWaitTimeout(waitMs);
}

inline bool waitConnected(const StateLog &log, int connections = 1)
{
    return QTest::qWaitFor(
        [&] { return log.count(QAbstractSocket::ConnectedState) >= connections; }, 10000);
}

} // namespace LinkHarness
