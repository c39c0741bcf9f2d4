// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "toolkittest.h"

#include "ecombopopup.h"
#include "ecombowidget.h"
#include "toolkitconstants.h"

#include <QSignalSpy>
#include <QWheelEvent>

class tst_EComboWidget : public QObject
{
    Q_OBJECT

private:
    struct Fixture
    {
        explicit Fixture(int items = 4, qreal y = 100)
        {
            combo = new EComboWidget;
            tv.scene.addItem(combo);
            combo->setGeometry(100, y, 200, 40);
            for (int i = 0; i < items; ++i)
                combo->addItem(QStringLiteral("item %1").arg(i));
        }
        TestView tv;
        EComboWidget *combo = nullptr;
    };

private slots:
    void choosingAnEntry_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("expectedIndex");
        QTest::addColumn<int>("signalCount");
        // clang-format off
        QTest::newRow("another entry") << 2 << 2 << 1;
        QTest::newRow("the current entry again") << 0 << 0 << 0;
        QTest::newRow("the last entry") << 3 << 3 << 1;
        // clang-format on
    }

    void choosingAnEntry()
    {
        QFETCH(int, row);
        QFETCH(int, expectedIndex);
        QFETCH(int, signalCount);
        Fixture f;
        QVERIFY(f.tv.exposed());
        QCOMPARE(f.combo->currentIndex(), 0);
        QSignalSpy index(f.combo, &EComboWidget::indexChanged);
        QSignalSpy value(f.combo, &EComboWidget::valueChanged);
        f.tv.click(centreOf(f.combo));
        QVERIFY(f.combo->isPopupVisible());
        EComboPopup *popup = f.combo->popup();
        // The list opens below the combo, over everything else.
        QVERIFY(popup->panelSceneRect().top() >= f.combo->sceneBoundingRect().bottom());
        f.tv.click(popup->rowSceneRect(row).center());
        QTRY_VERIFY(!f.combo->isPopupVisible());
        QCOMPARE(f.combo->currentIndex(), expectedIndex);
        QCOMPARE(index.count(), signalCount);
        QCOMPARE(value.count(), signalCount);
        if (signalCount) {
            QCOMPARE(index.at(0).at(0).toInt(), expectedIndex);
            QCOMPARE(value.at(0).at(0).toString(), QStringLiteral("item %1").arg(expectedIndex));
        }
    }

    void tapOutsideClosesWithoutChoosing()
    {
        Fixture f;
        QVERIFY(f.tv.exposed());
        auto *below = new EBaseWidget;
        f.tv.scene.addItem(below);
        below->setGeometry(500, 400, 100, 50);
        QSignalSpy belowClicked(below, &EBaseWidget::clicked);
        QSignalSpy index(f.combo, &EComboWidget::indexChanged);
        f.tv.click(centreOf(f.combo));
        QVERIFY(f.combo->isPopupVisible());
        // The tap that closes the list does not reach the item under it.
        f.tv.click(centreOf(below));
        QTRY_VERIFY(!f.combo->isPopupVisible());
        QCOMPARE(belowClicked.count(), 0);
        QCOMPARE(index.count(), 0);
        QCOMPARE(f.combo->currentIndex(), 0);
    }

    void slidingOffAnEntryDoesNotChoose()
    {
        Fixture f;
        QVERIFY(f.tv.exposed());
        QSignalSpy index(f.combo, &EComboWidget::indexChanged);
        f.tv.click(centreOf(f.combo));
        EComboPopup *popup = f.combo->popup();
        const QPointF a = popup->rowSceneRect(1).center();
        const QPointF b = popup->rowSceneRect(2).center();
        f.tv.press(a);
        f.tv.move(b);
        f.tv.release(b);
        QCOMPARE(index.count(), 0);
    }

    void opensAboveWhenNoRoomBelow()
    {
        Fixture f(4, 540);
        QVERIFY(f.tv.exposed());
        f.tv.click(centreOf(f.combo));
        QVERIFY(f.combo->isPopupVisible());
        QVERIFY(f.combo->popup()->panelSceneRect().bottom() <= f.combo->sceneBoundingRect().top());
    }

    void longListScrollsUnderTheFinger()
    {
        Fixture f(20);
        QVERIFY(f.tv.exposed());
        QSignalSpy index(f.combo, &EComboWidget::indexChanged);
        f.tv.click(centreOf(f.combo));
        EComboPopup *popup = f.combo->popup();
        QCOMPARE(popup->firstVisibleRow(), 0);
        const QRectF panel = popup->panelSceneRect();
        QCOMPARE(qRound(panel.height() / 40), EToolkit::kComboMaxVisibleRows);
        const QPointF a(panel.center().x(), panel.bottom() - 10);
        const QPointF b(panel.center().x(), panel.top() + 10);
        f.tv.press(a);
        f.tv.drag(a, b);
        f.tv.release(b);
        // A scroll chooses nothing and keeps the list open.
        QVERIFY(popup->firstVisibleRow() > 0);
        QVERIFY(f.combo->isPopupVisible());
        QCOMPARE(index.count(), 0);
        const int row = popup->firstVisibleRow() + 1;
        f.tv.click(popup->rowSceneRect(row).center());
        QTRY_COMPARE(f.combo->currentIndex(), row);
        QCOMPARE(index.count(), 1);
    }

    void wheelReachesTheLastEntry()
    {
        // Seven entries, six in view: the last one must be reachable with a mouse wheel.
        Fixture f(7);
        QVERIFY(f.tv.exposed());
        f.tv.click(centreOf(f.combo));
        EComboPopup *popup = f.combo->popup();
        QCOMPARE(popup->firstVisibleRow(), 0);
        const QPoint at = f.tv.view.mapFromScene(popup->panelSceneRect().center());
        QWheelEvent wheel(at, f.tv.view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(f.tv.view.viewport(), &wheel);
        QCOMPARE(popup->firstVisibleRow(), 1);
        QVERIFY(f.combo->isPopupVisible());
        f.tv.click(popup->rowSceneRect(6).center());
        QTRY_COMPARE(f.combo->currentIndex(), 6);
    }

    void hidingTheComboClosesItsList()
    {
        Fixture f;
        QVERIFY(f.tv.exposed());
        f.tv.click(centreOf(f.combo));
        QVERIFY(f.combo->isPopupVisible());
        f.combo->hide();
        QVERIFY(!f.combo->isPopupVisible());
        // No invisible list is left to swallow taps.
        QTRY_COMPARE(f.tv.scene.items().size(), 1);
    }

    void deletingTheComboWhileOpen()
    {
        Fixture f;
        QVERIFY(f.tv.exposed());
        f.tv.click(centreOf(f.combo));
        QPointer<EComboPopup> popup = f.combo->popup();
        delete f.combo;
        QVERIFY(popup.isNull());
        QVERIFY(f.tv.scene.items().isEmpty());
    }

    void disabledOrEmptyDoesNotOpen()
    {
        Fixture f(0);
        QVERIFY(f.tv.exposed());
        f.tv.click(centreOf(f.combo));
        QVERIFY(!f.combo->isPopupVisible());
        f.combo->addItem(QStringLiteral("a"));
        f.combo->setEnabled(false);
        f.tv.click(centreOf(f.combo));
        QVERIFY(!f.combo->isPopupVisible());
    }

    void setCurrentIndexFromCode()
    {
        EComboWidget combo;
        combo.setItems({QStringLiteral("a"), QStringLiteral("b")});
        QSignalSpy index(&combo, &EComboWidget::indexChanged);
        combo.setCurrentIndex(1);
        QCOMPARE(combo.currentText(), QStringLiteral("b"));
        combo.setCurrentIndex(2);
        combo.setCurrentIndex(-2);
        QCOMPARE(combo.currentIndex(), 1);
        combo.setCurrentIndex(-1);
        QCOMPARE(combo.currentText(), QString());
        combo.clear();
        QCOMPARE(combo.currentIndex(), -1);
        QCOMPARE(index.count(), 0);
    }
};

QTEST_MAIN(tst_EComboWidget)
#include "tst_ecombowidget.moc"
