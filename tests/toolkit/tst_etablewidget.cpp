// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "toolkittest.h"

#include "etableitem.h"
#include "etablewidget.h"

#include <QSignalSpy>

Q_DECLARE_METATYPE(ETableItem *)

// The alerts table: text, picture and check cells, hidden columns and rows, taps and scrolling.
class tst_ETableWidget : public QObject
{
    Q_OBJECT

private:
    struct Fixture
    {
        explicit Fixture(int rows = 5)
        {
            table = new ETableWidget;
            tv.scene.addItem(table);
            table->setGeometry(50, 50, 500, 200);
            table->setColumnCount(5);
            table->setHeaderTexts({QStringLiteral("ID"), QStringLiteral("Text"),
                                   QStringLiteral("Type"), QStringLiteral("Active"),
                                   QStringLiteral("SMS")});
            table->setColumnWidth(0, 40);
            table->setColumnWidth(2, 40);
            table->setColumnWidth(3, 70);
            table->setColumnWidth(4, 70);
            table->setRowHeight(25);
            QImage dot(8, 8, QImage::Format_ARGB32);
            dot.fill(Qt::red);
            for (int r = 0; r < rows; ++r)
                table->appendRow({ETableItem::text(QString::number(r)),
                                  ETableItem::text(QStringLiteral("message %1").arg(r)),
                                  ETableItem::image(dot), ETableItem::check(r % 2 == 0),
                                  ETableItem::check(false)});
        }
        QPointF cellCentre(int row, int column) const
        {
            return table->mapToScene(table->cellRect(row, column).center());
        }
        TestView tv;
        ETableWidget *table = nullptr;
    };

private slots:
    void initTestCase() { qRegisterMetaType<ETableItem *>(); }

    void tapsOnCells_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<int>("changes");
        QTest::addColumn<bool>("value");
        // clang-format off
        QTest::newRow("check cell on -> off") << 2 << 3 << true << 1 << false;
        QTest::newRow("check cell off -> on") << 1 << 4 << true << 1 << true;
        QTest::newRow("read-only check cell") << 1 << 4 << false << 0 << false;
        QTest::newRow("text cell") << 1 << 1 << true << 0 << false;
        QTest::newRow("picture cell") << 0 << 2 << true << 0 << false;
        // clang-format on
    }

    void tapsOnCells()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(bool, editable);
        QFETCH(int, changes);
        QFETCH(bool, value);
        Fixture f;
        QVERIFY(f.tv.exposed());
        ETableItem *item = f.table->item(row, column);
        item->setEditable(editable);
        const bool before = item->isChecked();
        QSignalSpy cellChanged(f.table, &ETableWidget::cellItemChanged);
        QSignalSpy clicked(f.table, &ETableWidget::cellClicked);
        QSignalSpy itemClicked(item, &ETableItem::clicked);
        QSignalSpy itemValue(item, &ETableItem::valuechanged);
        f.tv.click(f.cellCentre(row, column));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).toInt(), row);
        QCOMPARE(clicked.at(0).at(1).toInt(), column);
        QCOMPARE(itemClicked.count(), 1);
        QCOMPARE(cellChanged.count(), changes);
        QCOMPARE(itemValue.count(), changes);
        if (changes) {
            QCOMPARE(cellChanged.at(0).at(0).value<ETableItem *>(), item);
            QCOMPARE(cellChanged.at(0).at(1).toInt(), row);
            QCOMPARE(cellChanged.at(0).at(2).toInt(), column);
            QCOMPARE(cellChanged.at(0).at(3).toBool(), value);
            QCOMPARE(item->isChecked(), value);
        } else {
            QCOMPARE(item->isChecked(), before);
        }
    }

    void hiddenColumnsAndRowsAreSkipped()
    {
        Fixture f;
        QVERIFY(f.tv.exposed());
        f.table->setColumnHidden(2, true);
        f.table->setRowHidden(0, true);
        QVERIFY(f.table->cellRect(0, 1).isEmpty());
        QVERIFY(f.table->cellRect(1, 2).isEmpty());
        // Row 1 is now the first line under the header, and column 3 follows column 1.
        QCOMPARE(f.table->cellRect(1, 1).top(), 25.0);
        QCOMPARE(f.table->cellRect(1, 3).left(), f.table->cellRect(1, 1).right());
        QSignalSpy cellChanged(f.table, &ETableWidget::cellItemChanged);
        f.tv.click(f.cellCentre(1, 3));
        QCOMPARE(cellChanged.count(), 1);
        QCOMPARE(cellChanged.at(0).at(1).toInt(), 1);
        QCOMPARE(cellChanged.at(0).at(2).toInt(), 3);
    }

    void tapOnTheHeaderDoesNothing()
    {
        Fixture f;
        QVERIFY(f.tv.exposed());
        QSignalSpy clicked(f.table, &ETableWidget::cellClicked);
        f.tv.click(f.table->mapToScene(QPointF(300, 12)));
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(f.table->cellAt(QPointF(300, 12)), QPoint(-1, -1));
    }

    void swipeScrollsWithoutToggling()
    {
        Fixture f(30);
        QVERIFY(f.tv.exposed());
        QVERIFY(f.table->maxScrollOffset() > 0);
        QSignalSpy cellChanged(f.table, &ETableWidget::cellItemChanged);
        const QPointF a = f.cellCentre(6, 3);
        const QPointF b = a - QPointF(0, 100);
        f.tv.press(a);
        f.tv.drag(a, b);
        f.tv.release(b);
        QCOMPARE(f.table->scrollOffset(), 100.0);
        QCOMPARE(cellChanged.count(), 0);
        // Cells moved with the scroll: row 4 is now where row 0 was.
        QCOMPARE(f.table->cellRect(4, 0).top(), 25.0);
        // Scrolling never passes the end.
        f.table->setScrollOffset(1e9);
        QCOMPARE(f.table->scrollOffset(), f.table->maxScrollOffset());
        f.table->setRowHidden(29, true);
        QVERIFY(f.table->scrollOffset() <= f.table->maxScrollOffset());
    }

    void valuesFromCodeAreSilent()
    {
        Fixture f;
        QSignalSpy cellChanged(f.table, &ETableWidget::cellItemChanged);
        ETableItem *item = f.table->item(0, 3);
        QSignalSpy itemValue(item, &ETableItem::valuechanged);
        item->setChecked(!item->isChecked());
        QCOMPARE(cellChanged.count(), 0);
        QCOMPARE(itemValue.count(), 0);
    }

    void rowsAndItemsAreOwned()
    {
        Fixture f(3);
        QPointer<ETableItem> gone = f.table->item(1, 1);
        f.table->removeRow(1);
        QVERIFY(gone.isNull());
        QCOMPARE(f.table->rowCount(), 2);
        // Items below the removed row know their new row.
        QCOMPARE(f.table->item(1, 1)->row(), 1);
        QCOMPARE(f.table->item(1, 1)->text(), QStringLiteral("message 2"));
        QPointer<ETableItem> replaced = f.table->item(0, 1);
        f.table->setItem(0, 1, ETableItem::text(QStringLiteral("new")));
        QVERIFY(replaced.isNull());
        QCOMPARE(f.table->item(10, 0), nullptr);
        QCOMPARE(f.table->item(-1, 0), nullptr);
        f.table->setColumnCount(2);
        QCOMPARE(f.table->item(0, 3), nullptr);
        f.table->clearRows();
        QCOMPARE(f.table->rowCount(), 0);
    }

    void screenRebuildingInsideTheSignalIsSafe()
    {
        Fixture f;
        QVERIFY(f.tv.exposed());
        // A screen that rebuilds its rows when one is ticked must not crash the table.
        connect(f.table, &ETableWidget::cellClicked, f.table, [&f] { f.table->clearRows(); });
        QSignalSpy cellChanged(f.table, &ETableWidget::cellItemChanged);
        f.tv.click(f.cellCentre(1, 3));
        QCOMPARE(f.table->rowCount(), 0);
        QCOMPARE(cellChanged.count(), 0);
    }
};

QTEST_MAIN(tst_ETableWidget)
#include "tst_etablewidget.moc"
