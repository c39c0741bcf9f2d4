// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "toolkittest.h"

#include "ebasewidget.h"
#include "eflickable.h"
#include "eflickabletextedit.h"
#include "etextedit.h"
#include "everticallayout.h"

#include <QSignalSpy>

// Finger scrolling over live items, and the text editors.
class tst_EFlickable : public QObject
{
    Q_OBJECT

private:
    // A 300 × 200 viewport over a column of 10 buttons of 60 pixels.
    struct Fixture
    {
        Fixture()
        {
            flick = new EFlickable;
            tv.scene.addItem(flick);
            flick->setGeometry(100, 100, 300, 200);
            auto *content = new QGraphicsWidget;
            auto *column = new EVerticalLayout;
            for (int i = 0; i < 10; ++i) {
                auto *b = new EBaseWidget;
                b->setText(QString::number(i));
                b->setMinimumHeight(60);
                b->setMaximumHeight(60);
                column->addWidget(b);
                buttons.append(b);
            }
            content->setLayout(column);
            content->resize(300, 600);
            flick->setContentItem(content);
            column->activate();
        }
        TestView tv;
        EFlickable *flick = nullptr;
        QList<EBaseWidget *> buttons;
    };

private slots:
    void tapReachesTheItemUnderTheFinger()
    {
        Fixture f;
        QVERIFY(f.tv.exposed());
        QSignalSpy clicked(f.buttons.at(1), &EBaseWidget::clicked);
        QSignalSpy tapped(f.flick, &EFlickable::mouseClicked);
        f.tv.click(centreOf(f.buttons.at(1)));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(tapped.count(), 1);
        QCOMPARE(f.flick->contentY(), 0.0);
    }

    void swipeScrollsAndCancelsThePress()
    {
        Fixture f;
        QVERIFY(f.tv.exposed());
        EBaseWidget *b = f.buttons.at(2);
        QSignalSpy clicked(b, &EBaseWidget::clicked);
        QSignalSpy tapped(f.flick, &EFlickable::mouseClicked);
        const QPointF a = centreOf(b);
        const QPointF to = a - QPointF(0, 120);
        f.tv.press(a);
        QVERIFY(b->isPressed());
        f.tv.drag(a, to);
        QVERIFY(!b->isPressed());
        f.tv.release(to);
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(tapped.count(), 0);
        // The content moved with the finger, less the distance it took to recognise the swipe.
        QVERIFY(f.flick->contentY() > 100);
        QVERIFY(f.flick->contentY() <= 120);
        QCOMPARE(centreOf(b).y(), a.y() - f.flick->contentY());
    }

    // A control being dragged to a new place follows the finger; the area must not scroll away
    // under it or take the gesture.
    void dragInMoveModeKeepsTheGesture()
    {
        Fixture f;
        QVERIFY(f.tv.exposed());
        EBaseWidget *b = f.buttons.at(2);
        b->setMoveMode(true);
        b->setDragDelay(10);
        connect(b, &EBaseWidget::moveEmit, b, [b] { b->armDrag(true); });
        QSignalSpy ended(b, &EBaseWidget::endDrag);
        const QPointF a = centreOf(b);
        const QPointF to = a - QPointF(0, 120);
        f.tv.press(a);
        QTRY_VERIFY(b->isDragActive());
        f.tv.drag(a, to);
        QVERIFY(b->isDragActive());
        QCOMPARE(f.flick->contentY(), 0.0);
        QVERIFY(!f.flick->isDragging());
        f.tv.release(to);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(f.flick->contentY(), 0.0);
    }

    void smallWobbleIsStillATap()
    {
        Fixture f;
        QVERIFY(f.tv.exposed());
        QSignalSpy clicked(f.buttons.at(0), &EBaseWidget::clicked);
        const QPointF a = centreOf(f.buttons.at(0));
        f.tv.press(a);
        f.tv.move(a + QPointF(2, 3));
        f.tv.release(a + QPointF(2, 3));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(f.flick->contentY(), 0.0);
    }

    void positionStaysInRange_data()
    {
        QTest::addColumn<qreal>("requested");
        QTest::addColumn<qreal>("expected");
        // clang-format off
        QTest::newRow("inside") << qreal(150) << qreal(150);
        QTest::newRow("before the start") << qreal(-50) << qreal(0);
        QTest::newRow("past the end") << qreal(5000) << qreal(400);
        QTest::newRow("not a number") << qreal(qQNaN()) << qreal(0);
        // clang-format on
    }

    void positionStaysInRange()
    {
        QFETCH(qreal, requested);
        QFETCH(qreal, expected);
        Fixture f;
        f.flick->setContentY(requested);
        QCOMPARE(f.flick->contentY(), expected);
        QCOMPARE(f.flick->maxContentPosition().y(), 400.0);
        // Horizontal flicking is off: x never moves.
        f.flick->setContentX(30);
        QCOMPARE(f.flick->contentX(), 0.0);
    }

    void shrinkingContentPullsTheViewBack()
    {
        QGraphicsScene scene;
        auto *flick = new EFlickable;
        scene.addItem(flick);
        flick->setGeometry(0, 0, 300, 200);
        auto *content = new QGraphicsWidget;
        content->resize(300, 600);
        flick->setContentItem(content);
        flick->setContentY(400);
        content->resize(300, 300);
        QCOMPARE(flick->contentY(), 100.0);
        QCOMPARE(content->pos(), QPointF(0, -100));
        flick->resize(300, 400);
        QCOMPARE(flick->contentY(), 0.0);
    }

    void ensureVisibleScrollsTheLeast()
    {
        Fixture f;
        f.flick->ensureVisible(QRectF(0, 420, 10, 20), 0);
        QCOMPARE(f.flick->contentY(), 240.0);
        f.flick->ensureVisible(QRectF(0, 300, 10, 20), 0);
        QCOMPARE(f.flick->contentY(), 240.0);
        f.flick->ensureVisible(QRectF(0, 100, 10, 20), 0);
        QCOMPARE(f.flick->contentY(), 100.0);
    }

    void typingAndSignals()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        auto *edit = new ETextEdit;
        tv.scene.addItem(edit);
        edit->setGeometry(100, 100, 300, 100);
        QSignalSpy focusIn(edit, &ETextEdit::focusSetted);
        QSignalSpy focusOut(edit, &ETextEdit::focusLosted);
        QSignalSpy changed(edit, &ETextEdit::onTextChanged);
        QSignalSpy cursor(edit, &ETextEdit::cursorPositionChanged);
        tv.click(centreOf(edit));
        QCOMPARE(focusIn.count(), 1);
        QTest::keyClicks(&tv.view, QStringLiteral("abc"));
        QCOMPARE(edit->text(), QStringLiteral("abc"));
        QCOMPARE(changed.last().at(0).toString(), QStringLiteral("abc"));
        QVERIFY(cursor.count() >= 3);
        const int before = cursor.count();
        QTest::keyClick(&tv.view, Qt::Key_Left);
        QCOMPARE(cursor.count(), before + 1);
        QCOMPARE(edit->textCursor().position(), 2);
        // Selection with the keyboard, then typing over it.
        QTest::keyClick(&tv.view, Qt::Key_Home, Qt::ShiftModifier);
        QCOMPARE(edit->textCursor().selectedText(), QStringLiteral("ab"));
        QTest::keyClicks(&tv.view, QStringLiteral("X"));
        QCOMPARE(edit->text(), QStringLiteral("Xc"));
        edit->clearFocus();
        QCOMPARE(focusOut.count(), 1);
    }

    void singleLineField()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        auto *edit = new ETextEdit;
        tv.scene.addItem(edit);
        edit->setGeometry(100, 100, 120, 40);
        edit->setSingleLine(true);
        edit->setMaxLength(10);
        QSignalSpy returned(edit, &ETextEdit::returnPressed);
        edit->setEditFocus();
        QTest::keyClicks(&tv.view, QStringLiteral("12345"));
        QTest::keyClick(&tv.view, Qt::Key_Return);
        QCOMPARE(returned.count(), 1);
        QCOMPARE(edit->text(), QStringLiteral("12345"));
        QTest::keyClicks(&tv.view, QStringLiteral("6789ABCDEF"));
        QCOMPARE(edit->text(), QStringLiteral("123456789A"));
        edit->setText(QStringLiteral("two\nlines"));
        QCOMPARE(edit->text(), QStringLiteral("two lines"));
        // The field scrolls sideways so the cursor at the end stays inside it.
        const QRectF c = edit->cursorRect();
        QVERIFY(c.right() <= edit->rect().right());
        QVERIFY(c.left() >= 0);
    }

    void flickableEditorFollowsTheCursor()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        auto *edit = new EFlickableTextEdit;
        tv.scene.addItem(edit);
        edit->setGeometry(100, 100, 200, 80);
        QSignalSpy changed(edit, &EFlickableTextEdit::onTextChanged);
        edit->textEdit()->setEditFocus();
        for (int i = 0; i < 8; ++i) {
            QTest::keyClicks(&tv.view, QStringLiteral("line %1").arg(i));
            QTest::keyClick(&tv.view, Qt::Key_Return);
        }
        QVERIFY(changed.count() > 0);
        QVERIFY(edit->text().startsWith(QStringLiteral("line 0\nline 1")));
        // The editor grew with its text and the view scrolled down to the cursor.
        QVERIFY(edit->textEdit()->size().height() > 80);
        QVERIFY(edit->contentY() > 0);
        const QRectF cursorInView =
            edit->mapFromItem(edit->textEdit(), edit->textEdit()->cursorRect()).boundingRect();
        QVERIFY(edit->rect().contains(cursorInView));
        QTest::keyClick(&tv.view, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(edit->contentY(), 0.0);
    }
};

QTEST_MAIN(tst_EFlickable)
#include "tst_eflickable.moc"
