// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "toolkittest.h"

#include "echeckboxwidget.h"
#include "eiconwidget.h"
#include "eimagewidget.h"
#include "eprogresswidget.h"
#include "eradiobuttonwidget.h"
#include "esliderwidget.h"
#include "espinwidget.h"
#include "toolkitconstants.h"

#include <QPainter>
#include <QSignalSpy>

// Sliders, check boxes, radio buttons, pictures and the small display widgets.
class tst_EValueWidgets : public QObject
{
    Q_OBJECT

private slots:
    void sliderFollowsTheFinger_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<double>("fraction");
        QTest::addColumn<double>("expected");
        // clang-format off
        QTest::newRow("horizontal, middle") << int(Qt::Horizontal) << 0.5 << 128.0;
        QTest::newRow("horizontal, start") << int(Qt::Horizontal) << 0.0 << 0.0;
        QTest::newRow("horizontal, past the end") << int(Qt::Horizontal) << 1.3 << 255.0;
        QTest::newRow("vertical, top is maximum") << int(Qt::Vertical) << 0.0 << 255.0;
        QTest::newRow("vertical, bottom is minimum") << int(Qt::Vertical) << 1.0 << 0.0;
        // clang-format on
    }

    void sliderFollowsTheFinger()
    {
        QFETCH(int, orientation);
        QFETCH(double, fraction);
        QFETCH(double, expected);
        TestView tv;
        QVERIFY(tv.exposed());
        auto *s = new ESliderWidget(Qt::Orientation(orientation));
        tv.scene.addItem(s);
        const bool horizontal = orientation == Qt::Horizontal;
        s->setGeometry(100, 100, horizontal ? 300 : 40, horizontal ? 40 : 300);
        s->setRange(0, 255);
        s->setStep(1);
        s->setValue(60);
        QSignalSpy changed(s, &ESliderWidget::valueChanged);
        // Grab the handle and slide it to the given share of the travel.
        const QPointF from = s->mapToScene(s->positionForValue(60));
        const QPointF zero = s->mapToScene(s->positionForValue(horizontal ? 0 : 255));
        const QPointF full = s->mapToScene(s->positionForValue(horizontal ? 255 : 0));
        const QPointF to = zero + (full - zero) * fraction;
        tv.press(from);
        QCOMPARE(changed.count(), 0); // grabbing the handle does not move it
        tv.drag(from, to);
        tv.release(to);
        // Half of 0..255 with step 1 lands on 128 (127.5 rounds up).
        QCOMPARE(s->value(), expected);
        QVERIFY(changed.count() >= 1);
        QCOMPARE(changed.last().at(0).toDouble(), expected);
    }

    void sliderTapOnTrackJumps()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        auto *s = new ESliderWidget;
        tv.scene.addItem(s);
        s->setGeometry(100, 100, 300, 40);
        s->setRange(0, 10);
        s->setStep(2);
        QSignalSpy changed(s, &ESliderWidget::valueChanged);
        tv.click(s->mapToScene(s->positionForValue(7.2)));
        // Snapped to the step grid counted from the minimum.
        QCOMPARE(s->value(), 8.0);
        QCOMPARE(changed.count(), 1);
    }

    void sliderValueFromCodeIsSilent()
    {
        ESliderWidget s;
        QSignalSpy changed(&s, &ESliderWidget::valueChanged);
        s.setRange(10, 20);
        s.setValue(15);
        s.setValue(99);
        QCOMPARE(s.value(), 20.0);
        s.setValue(qInf());
        QCOMPARE(s.value(), 20.0);
        s.setRange(30, 0); // swapped limits are put right
        QCOMPARE(s.minimum(), 0.0);
        QCOMPARE(s.maximum(), 30.0);
        QCOMPARE(changed.count(), 0);
    }

    void disabledSliderIgnoresTheFinger()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        auto *s = new ESliderWidget;
        tv.scene.addItem(s);
        s->setGeometry(100, 100, 300, 40);
        s->setEnabled(false);
        QSignalSpy changed(s, &ESliderWidget::valueChanged);
        tv.click(s->mapToScene(s->positionForValue(90)));
        QCOMPARE(s->value(), 0.0);
        QCOMPARE(changed.count(), 0);
    }

    void checkboxReportsEveryChange()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        auto *c = new ECheckboxWidget;
        tv.scene.addItem(c);
        c->setGeometry(100, 100, 200, 44);
        QSignalSpy value(c, &ECheckboxWidget::valueChanged);
        tv.click(centreOf(c));
        c->setChecked(false);
        QCOMPARE(value.count(), 2);
        QCOMPARE(value.at(0).at(0).toBool(), true);
        QCOMPARE(value.at(1).at(0).toBool(), false);
    }

    void radioButtonsOfOneParentExcludeEachOther()
    {
        TestView tv;
        QVERIFY(tv.exposed());
        auto *group = new QGraphicsWidget;
        tv.scene.addItem(group);
        QList<ERadioButtonWidget *> radios;
        for (int i = 0; i < 3; ++i) {
            auto *r = new ERadioButtonWidget(group);
            r->setGeometry(100, 100 + i * 50, 200, 44);
            radios.append(r);
        }
        auto *elsewhere = new ERadioButtonWidget;
        tv.scene.addItem(elsewhere);
        elsewhere->setChecked(true);
        radios.at(0)->setChecked(true);
        QSignalSpy clicked1(radios.at(1), qOverload<bool>(&ERadioButtonWidget::clicked));
        QSignalSpy value0(radios.at(0), &ERadioButtonWidget::valueChanged);
        tv.click(centreOf(radios.at(1)));
        QVERIFY(radios.at(1)->isChecked());
        QVERIFY(!radios.at(0)->isChecked());
        QVERIFY(elsewhere->isChecked()); // another parent, another group
        QCOMPARE(clicked1.count(), 1);
        QCOMPARE(clicked1.at(0).at(0).toBool(), true);
        QCOMPARE(value0.count(), 1);
        QCOMPARE(value0.at(0).at(0).toBool(), false);
        // Tapping the checked one keeps it checked.
        tv.click(centreOf(radios.at(1)));
        QVERIFY(radios.at(1)->isChecked());
        QCOMPARE(clicked1.count(), 2);
        QCOMPARE(clicked1.at(1).at(0).toBool(), true);
        // Checking from code unchecks the others too.
        radios.at(2)->setChecked(true);
        QVERIFY(!radios.at(1)->isChecked());
    }

    void radioPropertiesAsScreensUseThem()
    {
        ERadioButtonWidget r;
        QVERIFY(r.setProperty("checkwidget", true));
        QVERIFY(r.isChecked());
        QVERIFY(r.setProperty("enablewidget", false));
        QVERIFY(!r.isEnabled());
        QVERIFY(r.setProperty("labelT", QStringLiteral("All elements")));
        QCOMPARE(r.text(), QStringLiteral("All elements"));
        QVERIFY(r.setProperty("marginsLeft", 7.0));
        QCOMPARE(r.margins().left(), 7.0);
    }

    void fillModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QRectF>("painted");
        // A 100 × 50 picture in a 200 × 200 widget.
        // clang-format off
        QTest::newRow("stretch") << int(EImageWidget::Stretch) << QRectF(0, 0, 200, 200);
        QTest::newRow("fit") << int(EImageWidget::PreserveAspectFit) << QRectF(0, 50, 200, 100);
        QTest::newRow("crop") << int(EImageWidget::PreserveAspectCrop) << QRectF(0, 0, 200, 200);
        QTest::newRow("tile") << int(EImageWidget::Tile) << QRectF(0, 0, 200, 200);
        QTest::newRow("tile vertically") << int(EImageWidget::TileVertically) << QRectF(0, 0, 200, 200);
        QTest::newRow("tile horizontally") << int(EImageWidget::TileHorizontally) << QRectF(0, 0, 200, 200);
        // clang-format on
    }

    void fillModes()
    {
        QFETCH(int, mode);
        QFETCH(QRectF, painted);
        // Left half red, right half blue: what lands where tells the modes apart.
        QImage pic(100, 50, QImage::Format_ARGB32);
        pic.fill(Qt::red);
        QPainter(&pic).fillRect(50, 0, 50, 50, Qt::blue);
        EImageWidget w;
        w.setImage(pic);
        w.setFillMode(EImageWidget::FillMode(mode));
        w.resize(200, 200);
        QCOMPARE(w.paintedRect(), painted);

        QImage out(200, 200, QImage::Format_ARGB32);
        out.fill(Qt::white);
        QPainter p(&out);
        w.paint(&p, nullptr);
        p.end();
        auto colour = [&out](int x, int y) { return QColor(out.pixel(x, y)); };
        switch (mode) {
        case EImageWidget::Stretch:
            QCOMPARE(colour(20, 190), QColor(Qt::red));
            QCOMPARE(colour(180, 10), QColor(Qt::blue));
            break;
        case EImageWidget::PreserveAspectFit:
            QCOMPARE(colour(100, 20), QColor(Qt::white)); // bars above and below
            QCOMPARE(colour(20, 100), QColor(Qt::red));
            break;
        case EImageWidget::PreserveAspectCrop:
            // Scaled to 400 × 200 and centred: the middle shows the seam, the edges one colour.
            QCOMPARE(colour(5, 100), QColor(Qt::red));
            QCOMPARE(colour(195, 100), QColor(Qt::blue));
            break;
        case EImageWidget::Tile:
            QCOMPARE(colour(20, 60), QColor(Qt::red));  // second row of tiles
            QCOMPARE(colour(120, 10), QColor(Qt::red)); // second column
            QCOMPARE(colour(170, 10), QColor(Qt::blue));
            break;
        case EImageWidget::TileVertically:
            // Width fitted (100 high tiles), repeated downwards.
            QCOMPARE(colour(20, 150), QColor(Qt::red));
            QCOMPARE(colour(180, 150), QColor(Qt::blue));
            break;
        case EImageWidget::TileHorizontally:
            // Height fitted (400 wide tiles): only the red half fits across.
            QCOMPARE(colour(20, 150), QColor(Qt::red));
            QCOMPARE(colour(190, 150), QColor(Qt::red));
            break;
        }
    }

    void unreadablePictureLeavesTheWidgetEmpty()
    {
        EImageWidget w;
        w.resize(50, 50);
        QVERIFY(!w.setSource(QStringLiteral("/nonexistent/picture.png")));
        QVERIFY(w.image().isNull());
        QVERIFY(w.paintedRect().isNull());
    }

    void disabledIconIsGrey()
    {
        QImage pic(20, 20, QImage::Format_ARGB32);
        pic.fill(QColor(255, 0, 0));
        EIconWidget icon;
        icon.setImage(pic);
        icon.setMargins(0, 0, 0, 0);
        icon.setShowCaption(false);
        icon.resize(20, 20);
        auto render = [&icon]() {
            QImage out(20, 20, QImage::Format_ARGB32);
            out.fill(Qt::black);
            QPainter p(&out);
            icon.paint(&p, nullptr);
            return QColor(out.pixel(10, 10));
        };
        const QColor normal = render();
        QVERIFY(normal.red() > 200 && normal.green() < 50);
        icon.setEnabled(false);
        const QColor grey = render();
        QCOMPARE(grey.red(), grey.green());
        QCOMPARE(grey.green(), grey.blue());
    }

    void progressAndSpinner()
    {
        EProgressWidget p;
        p.setRange(0, 200);
        p.setValue(50);
        QCOMPARE(p.fraction(), 0.25);
        p.setValue(500);
        QCOMPARE(p.value(), 200);
        p.setRange(5, 5); // an empty range shows as done instead of dividing by zero
        QCOMPARE(p.fraction(), 1.0);

        TestView tv;
        auto *spin = new ESpinWidget;
        tv.scene.addItem(spin);
        const int start = spin->frame();
        spin->timerAnimate();
        QCOMPARE(spin->frame(), (start + 1) % EToolkit::kSpinSpokes);
        for (int i = 0; i < EToolkit::kSpinSpokes; ++i)
            spin->timerAnimate();
        QCOMPARE(spin->frame(), (start + 1) % EToolkit::kSpinSpokes);
    }
};

QTEST_MAIN(tst_EValueWidgets)
#include "tst_evaluewidgets.moc"
