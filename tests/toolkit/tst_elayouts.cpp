// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "egraphicswidget.h"
#include "egridlayout.h"
#include "egroupboxwidget.h"
#include "ehorizontallayout.h"
#include "eiconwidget.h"
#include "elabelwidget.h"
#include "everticallayout.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QSignalSpy>
#include <QTest>

// Layouts and margins as screens declare them: fixed and stretching rows and columns, spans,
// margins, and children that come and go.
class tst_ELayouts : public QObject
{
    Q_OBJECT

private:
    static void settle(QGraphicsWidget *w)
    {
        if (w->layout())
            w->layout()->activate();
        QCoreApplication::processEvents();
    }

private slots:
    void gridColumnsFollowTheWidth_data()
    {
        QTest::addColumn<qreal>("width");
        QTest::addColumn<QList<qreal>>("expected");
        // Columns 170, stretch, 70, 140 (the room screen's grid).
        // clang-format off
        QTest::newRow("800 wide") << qreal(800) << QList<qreal>{170, 420, 70, 140};
        QTest::newRow("1280 wide") << qreal(1280) << QList<qreal>{170, 900, 70, 140};
        QTest::newRow("narrower than the fixed columns") << qreal(300) << QList<qreal>{170, 0, 70, 140};
        // clang-format on
    }

    void gridColumnsFollowTheWidth()
    {
        QFETCH(qreal, width);
        QFETCH(QList<qreal>, expected);
        QGraphicsScene scene;
        auto *form = new EGraphicsWidget;
        scene.addItem(form);
        auto *grid = new EGridLayout;
        grid->setColumnSizes({170, 0, 70, 140});
        grid->setRowSizes({5, 40, 0});
        QList<EGraphicsWidget *> cells;
        for (int c = 0; c < 4; ++c) {
            auto *w = new EGraphicsWidget;
            cells.append(w);
            grid->addWidget(w, 2, c);
        }
        form->setLayout(grid);
        form->resize(width, 600);
        settle(form);
        for (int c = 0; c < 4; ++c)
            QCOMPARE(cells.at(c)->size().width(), expected.at(c));
        // Rows 5 and 40 are fixed; the last row takes the rest.
        QCOMPARE(cells.at(0)->geometry().top(), 45.0);
        QCOMPARE(cells.at(0)->size().height(), 555.0);
    }

    void spansAndMargins()
    {
        QGraphicsScene scene;
        auto *form = new EGraphicsWidget;
        scene.addItem(form);
        form->setMargins(10, 20, 30, 40);
        auto *grid = new EGridLayout;
        grid->setColumnSizes({100, 0});
        grid->setRowSizes({50, 0});
        auto *title = new EGraphicsWidget;
        auto *body = new EGraphicsWidget;
        grid->addWidget(title, 0, 0, 1, 2);
        grid->addWidget(body, 1, 1);
        form->setLayout(grid);
        form->resize(500, 400);
        settle(form);
        // The layout lives inside the widget's margins.
        QCOMPARE(title->geometry(), QRectF(10, 20, 460, 50));
        QCOMPARE(body->geometry(), QRectF(110, 70, 360, 290));
        form->setMargins(0, 0, 0, 0);
        settle(form);
        QCOMPARE(title->geometry(), QRectF(0, 0, 500, 50));
    }

    void deletedChildrenLeaveTheLayout()
    {
        QGraphicsScene scene;
        auto *form = new EGraphicsWidget;
        scene.addItem(form);
        auto *row = new EHorizontalLayout;
        auto *a = new EGraphicsWidget;
        auto *b = new EGraphicsWidget;
        auto *c = new EGraphicsWidget;
        row->addWidget(a, 1);
        row->addWidget(b, 1);
        row->addWidget(c, 1);
        form->setLayout(row);
        form->resize(300, 50);
        settle(form);
        QCOMPARE(b->size().width(), 100.0);
        delete b;
        QCOMPARE(row->count(), 2);
        form->resize(400, 50);
        settle(form);
        QCOMPARE(a->size().width(), 200.0);
        QCOMPARE(c->geometry().left(), 200.0);
    }

    void verticalLayoutWithFixedGap()
    {
        QGraphicsScene scene;
        auto *form = new EGraphicsWidget;
        scene.addItem(form);
        auto *col = new EVerticalLayout;
        auto *top = new EGraphicsWidget;
        auto *bottom = new EGraphicsWidget;
        top->setMinimumHeight(30);
        top->setMaximumHeight(30);
        col->addWidget(top);
        col->addSpacing(10);
        col->addWidget(bottom, 1);
        form->setLayout(col);
        form->resize(200, 200);
        settle(form);
        QCOMPARE(top->geometry(), QRectF(0, 0, 200, 30));
        QCOMPARE(bottom->geometry(), QRectF(0, 40, 200, 160));
    }

    void contentItemStaysInsideTheMargins()
    {
        QGraphicsScene scene;
        auto *w = new EGraphicsWidget;
        scene.addItem(w);
        auto *content = new ELabelWidget(QStringLiteral("x"));
        w->setContentItem(content);
        QCOMPARE(content->parentItem(), w);
        QSignalSpy geometry(w, &EGraphicsWidget::onGeometryChanged);
        w->setGeometry(5, 5, 200, 100);
        QVERIFY(geometry.count() >= 1);
        QCOMPARE(geometry.last().at(0).toRectF(), QRectF(5, 5, 200, 100));
        w->setMargins(4, 6, 8, 10);
        QCOMPARE(content->geometry(), QRectF(4, 6, 188, 84));
        w->resize(100, 50);
        QCOMPARE(content->geometry(), QRectF(4, 6, 88, 34));
        // Margins larger than the widget give an empty content, never a negative one.
        w->resize(10, 10);
        QVERIFY(content->size().width() >= 0 && content->size().height() >= 0);
        // A content item deleted elsewhere is forgotten; a resize afterwards is harmless.
        delete content;
        QCOMPARE(w->contentItem(), nullptr);
        w->resize(300, 300);
    }

    void groupBoxKeepsContentClearOfItsTitle()
    {
        QGraphicsScene scene;
        auto *box = new EGroupBoxWidget;
        scene.addItem(box);
        box->setLabelT(QStringLiteral("Another settings"));
        auto *grid = new EGridLayout;
        auto *child = new EGraphicsWidget;
        grid->addWidget(child, 0, 0);
        box->setLayout(grid);
        box->resize(300, 200);
        settle(box);
        const qreal titleBottom = QFontMetricsF(box->font()).height();
        QVERIFY(child->geometry().top() > titleBottom);
        QVERIFY(child->geometry().left() > 0);
        QVERIFY(box->rect().contains(child->geometry()));
        // A larger title font pushes the content down with it.
        const qreal before = child->geometry().top();
        QFont big = box->font();
        big.setPixelSize(30);
        box->setFont(big);
        settle(box);
        QVERIFY(child->geometry().top() > before);
    }

    void sizedToContents()
    {
        QImage pic(48, 32, QImage::Format_ARGB32);
        pic.fill(Qt::blue);
        EIconWidget icon;
        icon.setMargins(0, 0, 0, 0);
        icon.setImage(pic);
        icon.adjustToContents();
        QCOMPARE(icon.size(), QSizeF(48, 32));
        icon.setText(QStringLiteral("A rather long caption"));
        icon.adjustToContents();
        // The caption is wider than the picture and sits below it.
        QVERIFY(icon.size().width() > 48);
        QVERIFY(icon.size().height() > 32 + QFontMetricsF(icon.font()).height() - 1);
        QVERIFY(icon.iconRect().bottom() <= 32.5);

        // Two-line texts ("\r\n" as the system writes them) are two lines high.
        ELabelWidget one(QStringLiteral("00:00:00"));
        ELabelWidget two(QStringLiteral("00.00.0000\r\n00:00:00"));
        one.adjustToContents();
        two.adjustToContents();
        QCOMPARE(two.size().height(), 2 * one.size().height());
    }

    void replacingTheContentDeletesTheOldOne()
    {
        EGraphicsWidget w;
        QPointer<ELabelWidget> first = new ELabelWidget;
        w.setContentItem(first);
        w.setContentItem(new ELabelWidget);
        QVERIFY(first.isNull());
        w.setContentItem(nullptr);
        QCOMPARE(w.contentItem(), nullptr);
    }
};

QTEST_MAIN(tst_ELayouts)
#include "tst_elayouts.moc"
