// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "esignalwatcher.h"

#include <QSignalSpy>
#include <QtTest>

#include <csignal>

class tst_ESignalWatcher : public QObject
{
    Q_OBJECT

private slots:
    // What a logout, a shutdown or a service manager sends arrives in the event loop, the
    // process lives on to end itself the orderly way.
    void terminationSignalsArriveInTheEventLoop_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void terminationSignalsArriveInTheEventLoop()
    {
        QFETCH(int, signalNumber);
        ESignalWatcher watcher;
        QVERIFY(watcher.isActive());
        QSignalSpy spy(&watcher, &ESignalWatcher::terminationRequested);
        QCOMPARE(::raise(signalNumber), 0);
        // Nothing is delivered inside the handler: only the event loop hands it on.
        QCOMPARE(spy.count(), 0);
        QVERIFY(spy.wait(5000));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), signalNumber);
    }

    void severalSignalsAreEachDelivered()
    {
        ESignalWatcher watcher;
        QSignalSpy spy(&watcher, &ESignalWatcher::terminationRequested);
        ::raise(SIGTERM);
        ::raise(SIGHUP);
        QTRY_COMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).toInt(), SIGTERM);
        QCOMPARE(spy.at(1).at(0).toInt(), SIGHUP);
    }

    // Only one watcher owns the handlers; when it goes, the handlers it replaced come back.
    void oneWatcherAndTheOldHandlersRestored()
    {
        struct sigaction before = {};
        ::sigaction(SIGTERM, nullptr, &before);
        {
            ESignalWatcher first;
            QVERIFY(first.isActive());
            QTest::ignoreMessage(QtWarningMsg, "A termination signal watcher is already installed");
            ESignalWatcher second;
            QVERIFY(!second.isActive());
        }
        struct sigaction after = {};
        ::sigaction(SIGTERM, nullptr, &after);
        QCOMPARE(reinterpret_cast<void *>(after.sa_handler),
                 reinterpret_cast<void *>(before.sa_handler));
        // A new watcher can be installed again.
        ESignalWatcher again;
        QVERIFY(again.isActive());
    }
};

QTEST_GUILESS_MAIN(tst_ESignalWatcher)
#include "tst_esignalwatcher.moc"
