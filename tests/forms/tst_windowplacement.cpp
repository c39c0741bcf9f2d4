// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// Where the window opens for the geometry a configuration asks for, on the screens of wall panels
// and desktops; no real screen is needed.
#include "windowplacement.h"

#include <QtTest>

class tst_WindowPlacement : public QObject
{
    Q_OBJECT

private slots:
    void fitsOneScreen_data();
    void fitsOneScreen();
    void picksTheScreenItMostlyLiesOn_data();
    void picksTheScreenItMostlyLiesOn();
    void frameFitsToo_data();
    void frameFitsToo();
};

void tst_WindowPlacement::fitsOneScreen_data()
{
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QRect>("wanted");
    QTest::addColumn<QRect>("expected");

    const QRect demo(100, 100, 1024, 700);
    // clang-format off
    QTest::newRow("demo on 800x480 panel") << QRect(0, 0, 800, 480) << demo << QRect(0, 0, 800, 480);
    QTest::newRow("demo on 1024x600 panel") << QRect(0, 0, 1024, 600) << demo << QRect(0, 0, 1024, 600);
    QTest::newRow("demo on 1024x768 screen") << QRect(0, 0, 1024, 768) << demo << QRect(0, 68, 1024, 700);
    QTest::newRow("demo on 1280x800 screen") << QRect(0, 0, 1280, 800) << demo << QRect(100, 100, 1024, 700);
    QTest::newRow("800x480 with a task bar below") << QRect(0, 0, 800, 440) << demo << QRect(0, 0, 800, 440);
    QTest::newRow("panel at top, window above it") << QRect(0, 32, 1280, 768) << QRect(50, 0, 640, 480) << QRect(50, 32, 640, 480);
    QTest::newRow("fits already") << QRect(0, 0, 1280, 800) << QRect(10, 20, 800, 480) << QRect(10, 20, 800, 480);
    QTest::newRow("off the right edge keeps its size") << QRect(0, 0, 1280, 800) << QRect(1000, 10, 640, 480) << QRect(640, 10, 640, 480);
    QTest::newRow("far away") << QRect(0, 0, 1024, 600) << QRect(5000, 5000, 400, 300) << QRect(624, 300, 400, 300);
    QTest::newRow("negative position") << QRect(0, 0, 1024, 768) << QRect(-300, -200, 800, 600) << QRect(0, 0, 800, 600);
    QTest::newRow("no size yet") << QRect(0, 0, 800, 480) << QRect(100, 100, 0, 0) << QRect(0, 0, 800, 480);
    // clang-format on
}

void tst_WindowPlacement::fitsOneScreen()
{
    QFETCH(QRect, area);
    QFETCH(QRect, wanted);
    QFETCH(QRect, expected);
    const QRect fitted = WindowPlacement::fit(wanted, {area});
    QCOMPARE(fitted, expected);
    QVERIFY(area.contains(fitted));
}

void tst_WindowPlacement::picksTheScreenItMostlyLiesOn_data()
{
    QTest::addColumn<QRect>("wanted");
    QTest::addColumn<QRect>("expected");

    // A 1280x800 desktop monitor with an 800x480 panel to its right.
    // clang-format off
    QTest::newRow("mostly on the monitor") << QRect(900, 100, 600, 400) << QRect(680, 100, 600, 400);
    QTest::newRow("mostly on the panel") << QRect(1200, 50, 700, 400) << QRect(1280, 50, 700, 400);
    QTest::newRow("too big for the panel") << QRect(1500, 0, 1024, 700) << QRect(1280, 0, 800, 480);
    QTest::newRow("below both, nearer the panel") << QRect(1700, 900, 300, 200) << QRect(1700, 280, 300, 200);
    QTest::newRow("inside the monitor") << QRect(10, 10, 1024, 700) << QRect(10, 10, 1024, 700);
    // clang-format on
}

void tst_WindowPlacement::picksTheScreenItMostlyLiesOn()
{
    QFETCH(QRect, wanted);
    QFETCH(QRect, expected);
    const QList<QRect> areas = {QRect(0, 0, 1280, 800), QRect(1280, 0, 800, 480)};
    const QRect fitted = WindowPlacement::fit(wanted, areas);
    QCOMPARE(fitted, expected);
    QVERIFY(areas.at(0).contains(fitted) || areas.at(1).contains(fitted));
    QCOMPARE(WindowPlacement::fit(wanted, {}), wanted);
}

void tst_WindowPlacement::frameFitsToo_data()
{
    QTest::addColumn<QRect>("wanted");
    QTest::addColumn<QRect>("expected");
    // A title bar of 24 and borders of 2 on an 800x480 panel.
    // clang-format off
    QTest::newRow("too big") << QRect(100, 100, 1024, 700) << QRect(2, 24, 796, 454);
    QTest::newRow("off the bottom") << QRect(50, 300, 400, 300) << QRect(50, 178, 400, 300);
    QTest::newRow("frame inside") << QRect(50, 50, 400, 300) << QRect(50, 50, 400, 300);
    // clang-format on
}

void tst_WindowPlacement::frameFitsToo()
{
    QFETCH(QRect, wanted);
    QFETCH(QRect, expected);
    const QMargins frame(2, 24, 2, 2);
    const QRect area(0, 0, 800, 480);
    const QRect fitted = WindowPlacement::fit(wanted, {area}, frame);
    QCOMPARE(fitted, expected);
    QVERIFY(area.contains(fitted.marginsAdded(frame)));
}

QTEST_APPLESS_MAIN(tst_WindowPlacement)
#include "tst_windowplacement.moc"
