// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "toolkittest.h"

#include "ebasewidget.h"
#include "etoolkittiming.h"

#include <QGraphicsWidget>
#include <QSignalSpy>

// The touch interaction model: clicks, long clicks, press-hold-drag in move mode, and the rules
// that keep them apart.
class tst_EBaseWidget : public QObject
{
    Q_OBJECT

private:
    struct Spies
    {
        explicit Spies(EBaseWidget *w)
            : clicked(w, &EBaseWidget::clicked)
            , longClicked(w, &EBaseWidget::onLongClicked)
            , startDrag(w, &EBaseWidget::startDrag)
            , endDrag(w, &EBaseWidget::endDrag)
            , moveEmit(w, &EBaseWidget::moveEmit)
        {
        }
        int total() const
        {
            return clicked.count() + longClicked.count() + startDrag.count() + endDrag.count() +
                   moveEmit.count();
        }
        QSignalSpy clicked, longClicked, startDrag, endDrag, moveEmit;
    };

    EBaseWidget *makeWidget(TestView &tv, QGraphicsItem *plan = nullptr)
    {
        auto *w = new EBaseWidget(plan);
        if (!plan)
            tv.scene.addItem(w);
        w->setGeometry(100, 100, 80, 60);
        return w;
    }

private slots:
    void initTestCase() { useShortHoldTimes(); }

    void holdTimesAreTakenWhenAWidgetIsCreated()
    {
        // The program itself runs with the production hold times.
        const EToolkit::HoldTimes production;
        QCOMPARE(production.dragMs, 500);
        QCOMPARE(production.longClickMs, 1000);
        QCOMPARE(production.autoRepeatMs, 1000);
        EBaseWidget w;
        QCOMPARE(w.dragDelay(), EToolkit::holdTimes().dragMs);
        QCOMPARE(w.longClickDelay(), EToolkit::holdTimes().longClickMs);
        QVERIFY(w.dragDelay() < production.dragMs);
    }

    void shortPressInMoveModeClicksWithoutDrag()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        EBaseWidget *w = makeWidget(tv);
        w->setMoveMode(true);
        // The owner arms every drag, as the room screen does in edit mode.
        connect(w, &EBaseWidget::moveEmit, w, [w] { w->armDrag(true); });
        Spies s(w);

        tv.press(centreOf(w));
        QCOMPARE(s.moveEmit.count(), 1);
        QVERIFY(w->isPressed());
        tv.release(centreOf(w));
        QCOMPARE(s.clicked.count(), 1);
        QCOMPARE(s.startDrag.count(), 0);
        QCOMPARE(s.endDrag.count(), 0);
        // The drag timer must be dead after the release: holding on past the delay starts nothing.
        QVERIFY(!s.startDrag.wait(EToolkit::holdTimes().dragMs * 2));
        QCOMPARE(w->pos(), QPointF(100, 100));
    }

    void heldPressDragsWhenArmed()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        auto *plan = new QGraphicsRectItem(0, 0, 600, 500);
        plan->setPos(50, 40);
        tv.scene.addItem(plan);
        EBaseWidget *w = makeWidget(tv, plan);
        w->setPos(100, 100);
        w->setMoveMode(true);
        connect(w, &EBaseWidget::moveEmit, w, [w] { w->armDrag(true); });
        Spies s(w);

        const QPointF start = centreOf(w);
        tv.press(start);
        QVERIFY(s.startDrag.wait(EToolkit::holdTimes().dragMs * 20));
        QCOMPARE(s.startDrag.count(), 1);
        QVERIFY(w->isDragActive());

        // The item follows the finger: the point under it stays under it.
        const QPointF end = start + QPointF(70, -30);
        tv.drag(start, end);
        QCOMPARE(w->pos(), QPointF(170, 70));
        tv.release(end);
        QCOMPARE(s.endDrag.count(), 1);
        QCOMPARE(s.clicked.count(), 0);
        QVERIFY(!w->isDragActive());
        QVERIFY(!w->isPressed());
    }

    void heldPressWithoutArmingIsAClick()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        EBaseWidget *w = makeWidget(tv);
        w->setMoveMode(true); // nobody answers moveEmit: dragging is not allowed now
        Spies s(w);
        tv.press(centreOf(w));
        QVERIFY(!s.startDrag.wait(EToolkit::holdTimes().dragMs * 2));
        tv.drag(centreOf(w), centreOf(w) + QPointF(40, 40));
        QCOMPARE(w->pos(), QPointF(100, 100));
        tv.release(centreOf(w));
        QCOMPARE(s.clicked.count(), 1);
        QCOMPARE(s.endDrag.count(), 0);
    }

    void armingRules_data()
    {
        QTest::addColumn<bool>("moveMode");
        QTest::addColumn<bool>("allow");
        QTest::addColumn<bool>("pressed");
        QTest::addColumn<bool>("expectDrag");
        // clang-format off
        QTest::newRow("move mode, allowed, pressed") << true << true << true << true;
        QTest::newRow("move mode, refused") << true << false << true << false;
        QTest::newRow("move mode, after release") << true << true << false << false;
        QTest::newRow("not in move mode") << false << true << true << false;
        // clang-format on
    }

    void armingRules()
    {
        QFETCH(bool, moveMode);
        QFETCH(bool, allow);
        QFETCH(bool, pressed);
        QFETCH(bool, expectDrag);
        TestView tv;
        QVERIFY(tv.exposed());
        EBaseWidget *w = makeWidget(tv);
        w->setMoveMode(moveMode);
        Spies s(w);
        tv.press(centreOf(w));
        if (!pressed)
            tv.release(centreOf(w));
        w->armDrag(allow);
        QCOMPARE(s.startDrag.wait(EToolkit::holdTimes().dragMs * 2), expectDrag);
        if (pressed)
            tv.release(centreOf(w));
        // A drag ends in endDrag, anything else in exactly one click.
        QCOMPARE(s.endDrag.count(), expectDrag ? 1 : 0);
        QCOMPARE(s.clicked.count(), expectDrag ? 0 : 1);
    }

    void longClickFiresOnceAndReleaseIsSilent()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        EBaseWidget *w = makeWidget(tv);
        w->setLongClickMode(true);
        Spies s(w);
        tv.press(centreOf(w));
        QVERIFY(s.longClicked.wait(EToolkit::holdTimes().longClickMs * 20));
        QVERIFY(!w->isPressed());
        // Keep holding: the timer was stopped, so no second long click comes.
        QVERIFY(!s.longClicked.wait(EToolkit::holdTimes().longClickMs + 200));
        tv.release(centreOf(w));
        QCOMPARE(s.longClicked.count(), 1);
        QCOMPARE(s.clicked.count(), 0);
        QCOMPARE(s.moveEmit.count(), 0);
    }

    void shortPressInLongClickModeIsAClick()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        EBaseWidget *w = makeWidget(tv);
        w->setLongClickMode(true);
        Spies s(w);
        tv.click(centreOf(w));
        QCOMPARE(s.clicked.count(), 1);
        QVERIFY(!s.longClicked.wait(EToolkit::holdTimes().longClickMs + 200));
    }

    void disabledEmitsNothing_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("plain") << 0;
        QTest::newRow("move mode") << 1;
        QTest::newRow("long-click mode") << 2;
    }

    void disabledEmitsNothing()
    {
        QFETCH(int, mode);
        TestView tv;
        QVERIFY(tv.exposed());
        EBaseWidget *w = makeWidget(tv);
        w->setMoveMode(mode == 1);
        w->setLongClickMode(mode == 2);
        w->setCheckable(true);
        w->setEnabled(false);
        Spies s(w);
        tv.press(centreOf(w));
        w->armDrag(true);
        QVERIFY(!s.longClicked.wait(EToolkit::holdTimes().longClickMs + 200));
        tv.release(centreOf(w));
        QCOMPARE(s.total(), 0);
        QVERIFY(!w->isChecked());
        QVERIFY(!w->isPressed());
    }

    void disablingMidDragEndsTheDragOnce()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        EBaseWidget *w = makeWidget(tv);
        w->setMoveMode(true);
        connect(w, &EBaseWidget::moveEmit, w, [w] { w->armDrag(true); });
        Spies s(w);
        tv.press(centreOf(w));
        QVERIFY(s.startDrag.wait(EToolkit::holdTimes().dragMs * 20));
        w->setEnabled(false);
        // The owner hears the drag end so it can store the position; nothing is left half-done.
        QCOMPARE(s.endDrag.count(), 1);
        QVERIFY(!w->isDragActive());
        tv.release(centreOf(w));
        QCOMPARE(s.endDrag.count(), 1);
        QCOMPARE(s.clicked.count(), 0);
    }

    void checkableTogglesOnRelease()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        EBaseWidget *w = makeWidget(tv);
        QVERIFY(!w->isCheckable());
        w->setChecked(false); // from code: makes it checkable
        QVERIFY(w->isCheckable());
        QSignalSpy toggled(w, &EBaseWidget::toggled);
        QSignalSpy clicked(w, &EBaseWidget::clicked);
        // The state has changed by the time clicked() is heard.
        bool seenAtClick = false;
        connect(w, &EBaseWidget::clicked, w, [&] { seenAtClick = w->isChecked(); });
        tv.click(centreOf(w));
        QVERIFY(w->isChecked());
        QVERIFY(seenAtClick);
        tv.click(centreOf(w));
        QVERIFY(!w->isChecked());
        QCOMPARE(toggled.count(), 2);
        QCOMPARE(clicked.count(), 2);
    }

    void modesExcludeEachOther()
    {
        EBaseWidget w;
        w.setMoveMode(true);
        w.setLongClickMode(true);
        QVERIFY(w.isLongClickMode());
        QVERIFY(!w.isMoveMode());
        w.setMoveMode(true);
        QVERIFY(w.isMoveMode());
        QVERIFY(!w.isLongClickMode());
    }

    void switchingModeResetsAHeldPress()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        EBaseWidget *w = makeWidget(tv);
        w->setLongClickMode(true);
        Spies s(w);
        tv.press(centreOf(w));
        w->setMoveMode(true);
        QVERIFY(!w->isPressed());
        QVERIFY(!s.longClicked.wait(EToolkit::holdTimes().longClickMs + 200));
        tv.release(centreOf(w));
        QCOMPARE(s.total(), 0);
    }

    void otherButtonsAreIgnored()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        EBaseWidget *w = makeWidget(tv);
        w->setMoveMode(true);
        Spies s(w);
        tv.press(centreOf(w), Qt::RightButton);
        tv.release(centreOf(w), Qt::RightButton);
        QCOMPARE(s.total(), 0);
        QVERIFY(!w->isPressed());
    }

    void hoverHighlights()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        EBaseWidget *w = makeWidget(tv);
        tv.move(QPointF(10, 10));
        QVERIFY(!w->isHighlighted());
        tv.move(centreOf(w));
        QTRY_VERIFY(w->isHighlighted());
        tv.move(QPointF(10, 10));
        QTRY_VERIFY(!w->isHighlighted());
    }

    // Icons that open another page: each tap hides the page under the finger. Coming back, only
    // the icon under the pointer now may wear the hover frame, not every icon tapped before.
    void tappedIconsDoNotKeepTheirFrame()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        auto *page = new QGraphicsWidget;
        tv.scene.addItem(page);
        page->resize(800, 600);
        QList<EBaseWidget *> icons;
        for (int i = 0; i < 3; ++i) {
            auto *icon = new EBaseWidget(page);
            icon->setGeometry(100 + 200 * i, 100, 120, 80);
            connect(icon, &EBaseWidget::clicked, page, [page] { page->hide(); });
            icons << icon;
        }
        for (EBaseWidget *icon : qAsConst(icons)) {
            tv.move(centreOf(icon));
            QTRY_VERIFY(icon->isHighlighted());
            tv.click(centreOf(icon));
            QVERIFY(!page->isVisible());
            QVERIFY(!icon->isHighlighted());
            QVERIFY(!icon->isPressed());
            page->show();
            int framed = 0;
            for (const EBaseWidget *other : qAsConst(icons))
                framed += other->isHighlighted() ? 1 : 0;
            QVERIFY(framed <= 1);
        }
        tv.move(centreOf(icons.at(1)));
        QTRY_VERIFY(icons.at(1)->isHighlighted());
        QVERIFY(!icons.at(0)->isHighlighted());
        QVERIFY(!icons.at(2)->isHighlighted());
    }

    void deletingItselfInClickIsSafe()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        EBaseWidget *w = makeWidget(tv);
        w->setCheckable(true);
        bool clicked = false;
        connect(w, &EBaseWidget::toggled, w, [&] { delete w; });
        connect(w, &EBaseWidget::clicked, &tv.scene, [&] { clicked = true; });
        tv.click(QPointF(140, 130));
        // Gone during the toggle: no click is delivered from a dead widget.
        QVERIFY(!clicked);
        QVERIFY(tv.scene.items().isEmpty());
    }
};

QTEST_MAIN(tst_EBaseWidget)
#include "tst_ebasewidget.moc"
