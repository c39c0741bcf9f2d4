// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "toolkittest.h"

#include "ehexnumericwidget.h"
#include "enumericwidget.h"
#include "etoolkittiming.h"
#include "toolkitconstants.h"

#include <QPainter>
#include <QSignalSpy>
#include <QStyleOptionGraphicsItem>

class tst_ENumericWidget : public QObject
{
    Q_OBJECT

private:
    ENumericWidget *makeField(TestView &tv, ENumericWidget *w = nullptr)
    {
        if (!w)
            w = new ENumericWidget;
        tv.scene.addItem(w);
        w->setGeometry(100, 100, 200, 44);
        return w;
    }

    // The field as the scene draws it: item pixels one to one, as on an unscaled page.
    static QImage renderField(TestView &tv, ENumericWidget *w)
    {
        const QRectF r = w->sceneBoundingRect();
        QImage img(r.size().toSize(), QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        tv.scene.render(&p, QRectF(img.rect()), r);
        return img;
    }

    // Pixels that differ by more than a trace of antialiasing.
    static int differingPixels(const QImage &a, const QImage &b)
    {
        int n = 0;
        for (int y = 0; y < qMin(a.height(), b.height()); ++y) {
            for (int x = 0; x < qMin(a.width(), b.width()); ++x) {
                const QRgb p = a.pixel(x, y);
                const QRgb q = b.pixel(x, y);
                if (qAbs(qRed(p) - qRed(q)) > 40 || qAbs(qGreen(p) - qGreen(q)) > 40 ||
                    qAbs(qBlue(p) - qBlue(q)) > 40 || qAbs(qAlpha(p) - qAlpha(q)) > 40)
                    ++n;
            }
        }
        return n;
    }

private slots:
    void initTestCase() { useShortHoldTimes(); }

    void lookFollowsState_data()
    {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("stepButtons");
        QTest::addColumn<bool>("displayOnly");
        QTest::addColumn<bool>("pressPlus");
        QTest::addColumn<double>("value");
        // clang-format off
        QTest::newRow("plus held down") << QSizeF(200, 44) << true  << true  << false << true  << 5.0;
        QTest::newRow("resized")        << QSizeF(260, 50) << true  << true  << false << false << 5.0;
        QTest::newRow("disabled")       << QSizeF(200, 44) << false << true  << false << false << 5.0;
        QTest::newRow("display only")   << QSizeF(200, 44) << true  << true  << true  << false << 5.0;
        QTest::newRow("no buttons")     << QSizeF(200, 44) << true  << false << false << false << 5.0;
        QTest::newRow("new value")      << QSizeF(200, 44) << true  << true  << false << false << 3.0;
        // clang-format on
    }

    // A field whose state changed after it was painted looks exactly like a field painted in
    // that state from the start: no picture of an earlier state survives the change.
    void lookFollowsState()
    {
        QFETCH(QSizeF, size);
        QFETCH(bool, enabled);
        QFETCH(bool, stepButtons);
        QFETCH(bool, displayOnly);
        QFETCH(bool, pressPlus);
        QFETCH(double, value);
        TestView tv;
        QVERIFY(tv.exposed());
        auto configure = [](ENumericWidget *w) {
            w->setRange(0, 5); // at the maximum: a held plus cannot change the value
            w->setValue(5);
        };
        ENumericWidget *changed = makeField(tv);
        configure(changed);
        const QImage before = renderField(tv, changed);

        auto apply = [&](ENumericWidget *w) {
            w->resize(size);
            w->setEnabled(enabled);
            w->setStepButtonsVisible(stepButtons);
            w->setDisplayOnly(displayOnly);
            w->setValue(value);
            if (pressPlus)
                tv.press(w->mapToScene(w->plusRect().center()));
        };
        apply(changed);
        const QImage after = renderField(tv, changed);
        if (pressPlus)
            tv.release(changed->mapToScene(changed->plusRect().center()));
        QVERIFY(after != before);

        auto *fresh = new ENumericWidget;
        tv.scene.addItem(fresh);
        fresh->setGeometry(100, 300, 200, 44);
        configure(fresh);
        apply(fresh);
        QCOMPARE(renderField(tv, fresh), after);
        if (pressPlus) {
            tv.release(fresh->mapToScene(fresh->plusRect().center()));
            QCOMPARE(renderField(tv, changed), before);
        }
    }

    void scaledPaintingLooksTheSame_data()
    {
        QTest::addColumn<bool>("pressed");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("normal") << false << true;
        QTest::newRow("pressed") << true << true;
        QTest::newRow("disabled") << false << false;
    }

    // Under a scaling view the frame is painted directly, one to one it is blitted from a picture
    // painted once: both must show the same field.
    void scaledPaintingLooksTheSame()
    {
        QFETCH(bool, pressed);
        QFETCH(bool, enabled);
        TestView tv;
        QVERIFY(tv.exposed());
        ENumericWidget *w = makeField(tv);
        w->setEnabled(enabled);
        if (pressed)
            tv.press(w->mapToScene(w->minusRect().center()));
        auto paintWith = [w](const QTransform &t) {
            QImage img(w->size().toSize(), QImage::Format_ARGB32_Premultiplied);
            img.fill(Qt::transparent);
            QPainter p(&img);
            p.setTransform(t);
            QStyleOptionGraphicsItem option;
            w->paint(&p, &option);
            return img;
        };
        const QTransform nearlyOne = QTransform::fromScale(1.0001, 1.0001);
        QVERIFY(nearlyOne.type() == QTransform::TxScale);
        const QImage blitted = paintWith(QTransform());
        const QImage direct = paintWith(nearlyOne);
        QVERIFY(differingPixels(blitted, QImage(w->size().toSize(), blitted.format())) > 0);
        QVERIFY2(differingPixels(blitted, direct) * 100 < blitted.width() * blitted.height(),
                 "the blitted frame differs from the painted one");
        if (pressed)
            tv.release(w->mapToScene(w->minusRect().center()));
    }

    void defaults()
    {
        ENumericWidget w;
        QCOMPARE(w.minimum(), 0.0);
        QCOMPARE(w.maximum(), 100.0);
        QCOMPARE(w.step(), 1.0);
        QCOMPARE(w.font().family(), QStringLiteral("Arial"));
        QCOMPARE(w.font().pixelSize(), 12);
    }

    void stepButtons_data()
    {
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<double>("step");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<double>("start");
        QTest::addColumn<bool>("plus");
        QTest::addColumn<double>("expected");
        QTest::addColumn<bool>("emitted");
        // clang-format off
        QTest::newRow("plus") << 0.0 << 100.0 << 1.0 << 0 << 5.0 << true << 6.0 << true;
        QTest::newRow("minus") << 0.0 << 100.0 << 1.0 << 0 << 5.0 << false << 4.0 << true;
        QTest::newRow("clamped at the maximum") << 0.0 << 10.0 << 3.0 << 0 << 9.0 << true << 10.0 << true;
        QTest::newRow("at the maximum: nothing") << 0.0 << 10.0 << 1.0 << 0 << 10.0 << true << 10.0 << false;
        QTest::newRow("at the minimum: nothing") << 0.0 << 10.0 << 1.0 << 0 << 0.0 << false << 0.0 << false;
        QTest::newRow("fraction steps do not drift") << 5.0 << 35.0 << 0.2 << 1 << 20.1 << true << 20.3 << true;
        QTest::newRow("zero step does nothing") << 0.0 << 10.0 << 0.0 << 0 << 5.0 << true << 5.0 << false;
        // clang-format on
    }

    void stepButtons()
    {
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(double, step);
        QFETCH(int, decimals);
        QFETCH(double, start);
        QFETCH(bool, plus);
        QFETCH(double, expected);
        QFETCH(bool, emitted);
        TestView tv;
        QVERIFY(tv.exposed());
        ENumericWidget *w = makeField(tv);
        w->setRange(min, max);
        w->setStep(step);
        w->setDecimals(decimals);
        w->setValue(start);
        QSignalSpy changed(w, &ENumericWidget::valueChanged);
        const QRectF button = plus ? w->plusRect() : w->minusRect();
        tv.click(w->mapToScene(button.center()));
        QVERIFY(qFuzzyCompare(w->value() + 1, expected + 1));
        QCOMPARE(changed.count(), emitted ? 1 : 0);
        if (emitted)
            QVERIFY(qFuzzyCompare(changed.at(0).at(0).toDouble() + 1, expected + 1));
    }

    void heldButtonRepeatsAndStopsOnRelease()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        ENumericWidget *w = makeField(tv);
        w->setRange(0, 1000);
        QSignalSpy changed(w, &ENumericWidget::valueChanged);
        const QPointF plus = w->mapToScene(w->plusRect().center());
        tv.press(plus);
        QCOMPARE(w->value(), 1.0); // the press itself steps once
        // After the hold delay the repeat runs on its own.
        QTRY_VERIFY_WITH_TIMEOUT(w->value() >= 5.0, EToolkit::holdTimes().autoRepeatMs * 20);
        tv.release(plus);
        const double atRelease = w->value();
        const int signalsAtRelease = changed.count();
        QCOMPARE(double(signalsAtRelease), atRelease);
        QVERIFY(!changed.wait(EToolkit::kAutoRepeatIntervalMs * 10));
        QCOMPARE(w->value(), atRelease);
    }

    void repeatStopsAtTheLimit()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        ENumericWidget *w = makeField(tv);
        w->setRange(0, 3);
        QSignalSpy changed(w, &ENumericWidget::valueChanged);
        const QPointF plus = w->mapToScene(w->plusRect().center());
        tv.press(plus);
        QTRY_COMPARE_WITH_TIMEOUT(w->value(), 3.0, EToolkit::holdTimes().autoRepeatMs * 20);
        QVERIFY(!changed.wait(EToolkit::kAutoRepeatIntervalMs * 10));
        tv.release(plus);
        QCOMPARE(changed.count(), 3);
    }

    void valueFromCodeIsSilentAndClamped()
    {
        ENumericWidget w;
        QSignalSpy changed(&w, &ENumericWidget::valueChanged);
        w.setValue(50);
        w.setValue(500);
        QCOMPARE(w.value(), 100.0);
        w.setValue(qQNaN());
        QCOMPARE(w.value(), 100.0);
        w.setRange(0, 10);
        QCOMPARE(w.value(), 10.0);
        QCOMPARE(changed.count(), 0);
    }

    void typing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("commitKey");
        QTest::addColumn<double>("expected");
        QTest::addColumn<bool>("emitted");
        // clang-format off
        QTest::newRow("number") << "42" << int(Qt::Key_Return) << 42.0 << true;
        QTest::newRow("comma as decimal mark") << "7,5" << int(Qt::Key_Enter) << 7.5 << true;
        QTest::newRow("above the maximum is clamped") << "150" << int(Qt::Key_Return) << 100.0 << true;
        QTest::newRow("below the minimum is clamped") << "-3" << int(Qt::Key_Return) << 0.0 << true;
        QTest::newRow("not a number changes nothing") << "1-2" << int(Qt::Key_Return) << 20.0 << false;
        QTest::newRow("empty changes nothing") << "" << int(Qt::Key_Return) << 20.0 << false;
        QTest::newRow("escape cancels") << "55" << int(Qt::Key_Escape) << 20.0 << false;
        // clang-format on
    }

    void typing()
    {
        QFETCH(QString, typed);
        QFETCH(int, commitKey);
        QFETCH(double, expected);
        QFETCH(bool, emitted);
        TestView tv;
        QVERIFY(tv.exposed());
        ENumericWidget *w = makeField(tv);
        w->setDecimals(1);
        w->setModes(true, true, false);
        w->setValue(20);
        QSignalSpy changed(w, &ENumericWidget::valueChanged);
        tv.click(w->mapToScene(w->valueRect().center()));
        QVERIFY(w->isEditing());
        // Typing replaces the shown text: clear it first as a user would.
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(&tv.view, Qt::Key_Backspace);
        QTest::keyClicks(&tv.view, typed);
        QCOMPARE(w->editText(), typed);
        QTest::keyClick(&tv.view, Qt::Key(commitKey));
        QVERIFY(!w->isEditing());
        QCOMPARE(w->value(), expected);
        QCOMPARE(changed.count(), emitted ? 1 : 0);
    }

    void leavingTheFieldCommits()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        ENumericWidget *w = makeField(tv);
        w->setModes(false, true, false);
        auto *other = new ENumericWidget;
        makeField(tv, other)->setPos(100, 300);
        other->setModes(false, true, false);
        QSignalSpy changed(w, &ENumericWidget::valueChanged);
        tv.click(centreOf(w));
        QTest::keyClick(&tv.view, Qt::Key_Backspace);
        QTest::keyClicks(&tv.view, QStringLiteral("9"));
        tv.click(centreOf(other));
        QCOMPARE(w->value(), 9.0);
        QCOMPARE(changed.count(), 1);
    }

    void displayOnlyIgnoresTheFinger()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        ENumericWidget *w = makeField(tv);
        w->setModes(true, true, true);
        QVERIFY(w->plusRect().isEmpty());
        QSignalSpy changed(w, &ENumericWidget::valueChanged);
        tv.click(QPointF(295, 122));
        tv.click(centreOf(w));
        QVERIFY(!w->isEditing());
        QCOMPARE(changed.count(), 0);
    }

    void disabledIgnoresTheFinger()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        ENumericWidget *w = makeField(tv);
        w->setEnabled(false);
        QSignalSpy changed(w, &ENumericWidget::valueChanged);
        tv.click(w->mapToScene(w->plusRect().center()));
        QCOMPARE(w->value(), 0.0);
        QCOMPARE(changed.count(), 0);
    }

    void hexText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qint64>("value");
        // clang-format off
        QTest::newRow("plain") << "1F4" << true << qint64(500);
        QTest::newRow("lower case with prefix") << "0x1f4" << true << qint64(500);
        QTest::newRow("zero") << "0" << true << qint64(0);
        QTest::newRow("eight digits") << "FFFFFFFF" << true << qint64(0xFFFFFFFF);
        QTest::newRow("too long") << "123456789" << false << qint64(0);
        QTest::newRow("not hex") << "12G" << false << qint64(0);
        QTest::newRow("negative") << "-5" << false << qint64(0);
        QTest::newRow("empty") << "" << false << qint64(0);
        QTest::newRow("prefix only") << "0x" << false << qint64(0);
        // clang-format on
    }

    void hexText()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(qint64, value);
        qint64 v = -1;
        QCOMPARE(EHexnumericWidget::parseHex(text, &v), ok);
        if (ok)
            QCOMPARE(v, value);
    }

    void hexFieldStepsAndReportsText()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        auto *hex = new EHexnumericWidget;
        makeField(tv, hex);
        QVERIFY(hex->setMin(QStringLiteral("0")));
        QVERIFY(hex->setMax(QStringLiteral("5000")));
        QVERIFY(hex->setVal(QStringLiteral("9")));
        QVERIFY(!hex->setVal(QStringLiteral("zz")));
        QCOMPARE(hex->val(), QStringLiteral("9"));
        QSignalSpy changed(hex, qOverload<const QString &>(&EHexnumericWidget::valueChanged));
        tv.click(hex->mapToScene(hex->plusRect().center()));
        QCOMPARE(hex->val(), QStringLiteral("A"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("A"));
        QCOMPARE(hex->displayText(), QStringLiteral("A"));
        // Typed hex above the limit is clamped to it.
        tv.click(hex->mapToScene(hex->valueRect().center()));
        QTest::keyClick(&tv.view, Qt::Key_Backspace);
        QTest::keyClicks(&tv.view, QStringLiteral("ffff"));
        QTest::keyClick(&tv.view, Qt::Key_Return);
        QCOMPARE(hex->val(), QStringLiteral("5000"));
        QCOMPARE(changed.last().at(0).toString(), QStringLiteral("5000"));
    }
};

QTEST_MAIN(tst_ENumericWidget)
#include "tst_enumericwidget.moc"
