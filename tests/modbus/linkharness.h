// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "basetcpmodbus.h"

#include <QAbstractSocket>
#include <QList>
#include <QMetaObject>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QTest>
#include <QThread>

// Helpers shared by the controller link tests: running code in the link thread, recording what
// the link reports in the test thread, and starting a link against a loopback peer.
namespace LinkHarness {

// Runs `f` in the link thread and waits for it; the link's block access must run there.
template<typename F> void inLinkThread(QObject *link, F f)
{
    QMetaObject::invokeMethod(link, f, Qt::BlockingQueuedConnection);
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
        QMutexLocker lock(&m_mutex);
        m_threads.insert(QThread::currentThread());
    }
    QSet<QThread *> threads() const
    {
        QMutexLocker lock(&m_mutex);
        return m_threads;
    }

private:
    mutable QMutex m_mutex;
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
