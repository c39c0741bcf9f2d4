// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "estackwidget.h"

#include <QGraphicsScene>
#include <QSignalSpy>
#include <QTest>

class tst_EStackWidget : public QObject
{
    Q_OBJECT

private:
    // A stack of `count` pages in a scene, sized 400 × 300.
    struct Fixture
    {
        explicit Fixture(int count)
        {
            stack = new EStackWidget;
            scene.addItem(stack);
            stack->resize(400, 300);
            for (int i = 0; i < count; ++i) {
                auto *page = new QGraphicsWidget;
                page->setObjectName(QStringLiteral("page%1").arg(i));
                pages.append(page);
                stack->addWidget(page);
            }
        }
        QGraphicsScene scene;
        EStackWidget *stack = nullptr;
        QList<QGraphicsWidget *> pages;
    };

private slots:
    void addingPagesHidesAndSizesThem()
    {
        Fixture f(0);
        auto *page = new QGraphicsWidget;
        page->resize(10, 10);
        QCOMPARE(f.stack->addWidget(page), 0);
        QCOMPARE(f.stack->addWidget(new QGraphicsWidget), 1);
        QCOMPARE(page->parentItem(), f.stack);
        QVERIFY(!page->isVisible());
        QCOMPARE(page->size(), QSizeF(400, 300));
        QCOMPARE(f.stack->currentIndex(), -1);
        // Adding the same page again keeps its place.
        QCOMPARE(f.stack->addWidget(page), 0);
        QCOMPARE(f.stack->count(), 2);
    }

    void setCurrentIndex_data()
    {
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("accepted");
        // clang-format off
        QTest::newRow("first") << 3 << 0 << true;
        QTest::newRow("last") << 3 << 2 << true;
        QTest::newRow("minus one") << 3 << -1 << false;
        QTest::newRow("count") << 3 << 3 << false;
        QTest::newRow("far out") << 3 << 1000 << false;
        QTest::newRow("empty stack") << 0 << 0 << false;
        // clang-format on
    }

    void setCurrentIndex()
    {
        QFETCH(int, pages);
        QFETCH(int, index);
        QFETCH(bool, accepted);
        Fixture f(pages);
        if (pages > 1)
            f.stack->setCurrentIndex(1);
        const int before = f.stack->currentIndex();
        QSignalSpy changed(f.stack, &EStackWidget::currentChanged);
        f.stack->setCurrentIndex(index);
        if (!accepted) {
            QCOMPARE(f.stack->currentIndex(), before);
            QCOMPARE(changed.count(), 0);
            return;
        }
        QCOMPARE(f.stack->currentIndex(), index);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), index);
        // Exactly the current page is visible, at the stack's size.
        for (int i = 0; i < pages; ++i)
            QCOMPARE(f.pages.at(i)->isVisible(), i == index);
        QCOMPARE(f.pages.at(index)->size(), QSizeF(400, 300));
    }

    void resizingResizesTheCurrentPage()
    {
        Fixture f(2);
        f.stack->setCurrentIndex(0);
        f.stack->resize(640, 480);
        QCOMPARE(f.pages.at(0)->size(), QSizeF(640, 480));
        // A hidden page is sized when it is shown.
        f.stack->setCurrentIndex(1);
        QCOMPARE(f.pages.at(1)->size(), QSizeF(640, 480));
    }

    void removingPages_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("removed");
        QTest::addColumn<int>("expectedCurrent");
        QTest::addColumn<QString>("expectedPage");
        // clang-format off
        QTest::newRow("before the current one") << 2 << 0 << 1 << "page2";
        QTest::newRow("after the current one") << 1 << 2 << 1 << "page1";
        QTest::newRow("the current one shows its successor") << 1 << 1 << 1 << "page2";
        QTest::newRow("the current last one shows the new last") << 2 << 2 << 1 << "page1";
        // clang-format on
    }

    void removingPages()
    {
        QFETCH(int, current);
        QFETCH(int, removed);
        QFETCH(int, expectedCurrent);
        QFETCH(QString, expectedPage);
        Fixture f(3);
        f.stack->setCurrentIndex(current);
        QSignalSpy removedSpy(f.stack, &EStackWidget::widgetRemoved);
        QGraphicsWidget *page = f.pages.at(removed);
        f.stack->removeWidget(page);
        QCOMPARE(removedSpy.count(), 1);
        QCOMPARE(removedSpy.at(0).at(0).toInt(), removed);
        QCOMPARE(f.stack->count(), 2);
        QCOMPARE(f.stack->currentIndex(), expectedCurrent);
        QCOMPARE(f.stack->currentWidget()->objectName(), expectedPage);
        QVERIFY(f.stack->currentWidget()->isVisible());
        // The caller owns the removed page now.
        QCOMPARE(page->parentItem(), nullptr);
        delete page;
    }

    void deletedPageIsForgotten()
    {
        Fixture f(3);
        f.stack->setCurrentIndex(2);
        QSignalSpy removedSpy(f.stack, &EStackWidget::widgetRemoved);
        delete f.pages.at(0);
        QCOMPARE(removedSpy.count(), 1);
        QCOMPARE(f.stack->count(), 2);
        QCOMPARE(f.stack->currentIndex(), 1);
        QCOMPARE(f.stack->currentWidget(), f.pages.at(2));
        // Deleting the page on show moves to another one instead of leaving a dangling current.
        QSignalSpy changed(f.stack, &EStackWidget::currentChanged);
        delete f.pages.at(2);
        QCOMPARE(f.stack->currentWidget(), f.pages.at(1));
        QCOMPARE(changed.count(), 1);
        delete f.pages.at(1);
        QCOMPARE(f.stack->count(), 0);
        QCOMPARE(f.stack->currentIndex(), -1);
        QCOMPARE(f.stack->currentWidget(), nullptr);
    }

    void reparentedPageLeavesTheStack()
    {
        Fixture f(2);
        QGraphicsWidget other;
        f.pages.at(1)->setParentItem(&other);
        QCOMPARE(f.stack->count(), 1);
        QCOMPARE(f.stack->indexOf(f.pages.at(1)), -1);
        f.pages.at(1)->setParentItem(nullptr);
    }
};

QTEST_MAIN(tst_EStackWidget)
#include "tst_estackwidget.moc"
