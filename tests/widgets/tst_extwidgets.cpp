// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The control widgets as a person uses them: values shown from the controller, what a click or a
// drag emits, and that a value set from code never emits.
#include "baseroomv1.h"
#include "bytecontrolv1.h"
#include "controlkinds.h"
#include "controllertext.h"
#include "dynamiccontrolv1.h"
#include "ebasewidget.h"
#include "echeckboxwidget.h"
#include "eimagewidget.h"
#include "enumericwidget.h"
#include "esliderwidget.h"
#include "etextedit.h"
#include "extbytecontrol.h"
#include "extheatwidget.h"
#include "exticonbutton.h"
#include "extlightwidget.h"
#include "extsceneswidget.h"
#include "extslidercontrol.h"
#include "extswitchwidget.h"
#include "exttextwidget.h"
#include "exttextwriterwidget.h"
#include "exttoolwidget.h"
#include "extwidgetfactory.h"
#include "extwidgetkinds.h"
#include "ibytecontrol.h"
#include "lightcontrolv1.h"
#include "switchcontrolv1.h"
#include "toolkittest.h"

#include <QHash>
#include <QSignalSpy>
#include <QtTest>

class tst_ExtWidgets : public QObject
{
    Q_OBJECT

private slots:
    void scaledConversion_data();
    void scaledConversion();
    void emptyRangeHasNoRawValue();
    void rawValuesStayInTheirType_data();
    void rawValuesStayInTheirType();

    void setPointSteps_data();
    void setPointSteps();
    void thermostatShowsValuesSilently();
    void byteValueColourInEveryMode_data();
    void byteValueColourInEveryMode();
    void thermostatStepButtonSendsOneStep();

    void lampBarDragSetsBrightness();
    void lampBrightnessFromCodeIsSilentAndGuarded();
    void lampClickOutsideBarIsAClick();

    void byteControlShowsScaledValue();
    void byteControlDirectEntry_data();
    void byteControlDirectEntry();
    void readOnlyByteControlOffersNoEntry();
    void enterCommitsTheDirectEntry();

    void sliderDragSendsRawValue();

    void factoryPlacesAndNamesWidgets();
    void factoryRefusesMismatches();
    void longCaptionKeepsThePictureInPlace_data();
    void longCaptionKeepsThePictureInPlace();
    void litLampNeverReadsZeroAndFullFits();
    void longTextFitsItsField_data();
    void longTextFitsItsField();
    void everyKindHasItsWidget_data();
    void everyKindHasItsWidget();
    void valueSignalsReachTheScreen_data();
    void valueSignalsReachTheScreen();
    void pollsShowUnlessAWriteIsPending_data();
    void pollsShowUnlessAWriteIsPending();
    void imageNameRule();

    void sceneBarTogglesSwitchChangeBox();
    void textWriterSendsOnSave();
    void textWriterCountsBytes_data();
    void textWriterCountsBytes();
};

void tst_ExtWidgets::scaledConversion_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("scale");
    QTest::addColumn<qint64>("raw");

    QTest::newRow("half of 0..100 on 255 rounds up")
        << 50.0 << 0.0 << 100.0 << 255.0 << qint64(128);
    QTest::newRow("top of the range") << 100.0 << 0.0 << 100.0 << 255.0 << qint64(255);
    QTest::newRow("negative half rounds up") << -2.5 << 0.0 << 255.0 << 255.0 << qint64(-2);
    QTest::newRow("negative below half rounds down") << -2.6 << 0.0 << 255.0 << 255.0 << qint64(-3);
    QTest::newRow("offset range") << 15.0 << 10.0 << 20.0 << 1000.0 << qint64(500);
    QTest::newRow("inverted range") << 0.0 << 100.0 << 0.0 << 255.0 << qint64(255);
}

void tst_ExtWidgets::scaledConversion()
{
    QFETCH(double, value);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, scale);
    QFETCH(qint64, raw);
    qint64 out = -999;
    QVERIFY(IByteControl::toRaw(value, maximum, minimum, scale, &out));
    QCOMPARE(out, raw);
    if (raw >= 0) {
        // Back to the display range within half a raw step.
        const double back = IByteControl::toDisplay(double(raw), maximum, minimum, scale);
        QVERIFY(qAbs(back - value) <= qAbs(maximum - minimum) / scale / 2 + 1e-9);
    }
}

void tst_ExtWidgets::emptyRangeHasNoRawValue()
{
    qint64 raw = 42;
    QVERIFY(!IByteControl::toRaw(5, 10, 10, 255, &raw));
    QVERIFY(!IByteControl::toRaw(5, 10, 0, 0, &raw));
    QCOMPARE(raw, qint64(42));
    // Nothing to scale by: the display falls back to the minimum instead of dividing by zero.
    QCOMPARE(IByteControl::toDisplay(100, 50, 7, 0), 7.0);
    QCOMPARE(IByteControl::toDisplay(255, 100, 0, 255), 100.0);
}

void tst_ExtWidgets::rawValuesStayInTheirType_data()
{
    QTest::addColumn<int>("typeD");
    QTest::addColumn<qint64>("raw");
    QTest::addColumn<qint64>("written");
    QTest::newRow("byte over 255") << 0 << qint64(300) << qint64(255);
    QTest::newRow("byte negative") << 0 << qint64(-3) << qint64(0);
    QTest::newRow("word over 65535") << 1 << qint64(70000) << qint64(65535);
    QTest::newRow("dword in range") << 2 << qint64(70000) << qint64(70000);
}

void tst_ExtWidgets::rawValuesStayInTheirType()
{
    QFETCH(int, typeD);
    QFETCH(qint64, raw);
    QFETCH(qint64, written);
    QCOMPARE(IByteControl::clampToType(raw, typeD), written);
}

void tst_ExtWidgets::setPointSteps_data()
{
    QTest::addColumn<double>("degrees");
    QTest::addColumn<int>("steps");
    QTest::newRow("16.2 is 81 steps, not 80") << 16.2 << 81;
    QTest::newRow("22.0") << 22.0 << 110;
    QTest::newRow("between steps rounds to nearest") << 21.5 << 108;
    QTest::newRow("above one byte saturates") << 60.0 << 255;
    QTest::newRow("below zero") << -1.0 << 0;
}

void tst_ExtWidgets::setPointSteps()
{
    QFETCH(double, degrees);
    QFETCH(int, steps);
    QCOMPARE(ExtHeatWidget::stepsForDegrees(degrees), steps);
    ExtHeatWidget heat;
    // As built: the labels in Arial 24 pixels like the field, the unit from the language table.
    QCOMPARE(heat.labelFont().pixelSize(), 24);
    QCOMPARE(heat.field()->font().pixelSize(), 24);
    heat.setValues(22.25, 110, 40);
    QCOMPARE(heat.temperatureText(), QStringLiteral("22.25") + ExtHeatWidget::degreesUnit());
    QVERIFY(ExtHeatWidget::degreesUnit().contains(QStringLiteral("C")));
    QSignalSpy spy(&heat, &ExtHeatWidget::ValueChange);
    heat.plusminusClick(degrees);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), steps);
}

void tst_ExtWidgets::byteValueColourInEveryMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("read-only") << int(ExtByteControl::ReadOnly);
    QTest::newRow("editable") << int(ExtByteControl::Editable);
    QTest::newRow("steps only") << int(ExtByteControl::StepsOnly);
}

// The value is drawn in the record's value colour whatever the edit mode.
void tst_ExtWidgets::byteValueColourInEveryMode()
{
    QFETCH(int, mode);
    ExtByteControl byte;
    byte.setValueColor(QColor(Qt::darkRed));
    byte.setEditMode(mode);
    QCOMPARE(byte.field()->colortext(), QColor(Qt::darkRed));
    byte.setEditMode(mode == ExtByteControl::ReadOnly ? ExtByteControl::Editable
                                                      : ExtByteControl::ReadOnly);
    QCOMPARE(byte.field()->colortext(), QColor(Qt::darkRed));
}

void tst_ExtWidgets::thermostatShowsValuesSilently()
{
    ExtHeatWidget heat;
    QSignalSpy spy(&heat, &ExtHeatWidget::ValueChange);
    heat.setValues(22.25, 110, 40);
    QCOMPARE(heat.field()->value(), 22.0);
    QCOMPARE(heat.temperatureText(), QStringLiteral("22.25°C"));
    QCOMPARE(heat.level(), 40);
    // A set-point beyond one byte from the controller cannot exist; the field stays in range.
    heat.setValues(20, 400, 0);
    QCOMPARE(heat.field()->value(), 51.0);
    QCOMPARE(spy.count(), 0);
}

void tst_ExtWidgets::thermostatStepButtonSendsOneStep()
{
    TestView tv;
    auto *heat = new ExtHeatWidget;
    tv.scene.addItem(heat);
    heat->resize(180, 100);
    heat->setValues(20.0, 81, 0);
    QVERIFY(tv.exposed());
    QCoreApplication::processEvents();
    QSignalSpy spy(heat, &ExtHeatWidget::ValueChange);
    const QRectF plus = heat->field()->plusRect();
    QVERIFY(!plus.isEmpty());
    tv.click(heat->field()->mapToScene(plus.center()));
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 82);
}

void tst_ExtWidgets::lampBarDragSetsBrightness()
{
    TestView tv;
    auto *lamp = new ExtLightWidget;
    tv.scene.addItem(lamp);
    lamp->setDimmer(true);
    lamp->setText(QStringLiteral("Lamp"));
    lamp->resize(100, 100 + 20);
    QVERIFY(tv.exposed());
    const QRectF bar = lamp->barRect();
    QCOMPARE(bar.height(), 100.0);
    QSignalSpy bright(lamp, &ExtLightWidget::BrightnessChanged);
    QSignalSpy clicks(lamp, &EBaseWidget::clicked);

    const QPointF top = lamp->mapToScene(QPointF(bar.center().x(), bar.top() + 5));
    tv.press(top);
    QCOMPARE(bright.count(), 1);
    QCOMPARE(bright.last().at(0).toInt(), 9);
    QVERIFY(lamp->isBarDragActive());
    // The poll arriving mid-drag must not move the bar under the finger.
    lamp->setBrightness(2);
    QCOMPARE(lamp->brightness(), 9);
    const QPointF bottom = lamp->mapToScene(QPointF(bar.center().x(), bar.bottom()));
    tv.move(bottom);
    QCOMPARE(bright.last().at(0).toInt(), 0);
    tv.release(bottom);
    QVERIFY(!lamp->isBarDragActive());
    QCOMPARE(clicks.count(), 0);
}

void tst_ExtWidgets::lampBrightnessFromCodeIsSilentAndGuarded()
{
    ExtLightWidget lamp;
    lamp.setDimmer(true);
    QSignalSpy bright(&lamp, &ExtLightWidget::BrightnessChanged);
    lamp.setBrightness(7);
    QCOMPARE(lamp.brightness(), 7);
    lamp.setBrightness(11);
    lamp.setBrightness(-1);
    QCOMPARE(lamp.brightness(), 7);
    QCOMPARE(bright.count(), 0);
}

void tst_ExtWidgets::lampClickOutsideBarIsAClick()
{
    TestView tv;
    auto *lamp = new ExtLightWidget;
    tv.scene.addItem(lamp);
    lamp->setDimmer(true);
    lamp->resize(100, 120);
    QVERIFY(tv.exposed());
    QSignalSpy bright(lamp, &ExtLightWidget::BrightnessChanged);
    QSignalSpy clicks(lamp, &EBaseWidget::clicked);
    tv.click(lamp->mapToScene(QPointF(10, 110)));
    QTRY_COMPARE(clicks.count(), 1);
    QCOMPARE(bright.count(), 0);
    // A disabled lamp takes no drag either.
    lamp->setEnabled(false);
    tv.click(lamp->mapToScene(lamp->barRect().center()));
    QCOMPARE(bright.count(), 0);
}

void tst_ExtWidgets::byteControlShowsScaledValue()
{
    ExtByteControl byte;
    byte.setRange(0, 100);
    byte.setScale(255);
    byte.setPrecision(3);
    QSignalSpy spy(&byte, &ExtByteControl::ValueChange);
    byte.setRawValue(128);
    QVERIFY(qAbs(byte.value() - 50.196) < 0.001);
    QCOMPARE(byte.displayText(), QStringLiteral("50.196"));
    QCOMPARE(spy.count(), 0);
}

void tst_ExtWidgets::byteControlDirectEntry_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("sent"); // -1: nothing sent

    QTest::newRow("over the range is clamped") << 0.0 << 100.0 << 255.0 << "150" << 255;
    QTest::newRow("in range") << 0.0 << 100.0 << 255.0 << "50" << 128;
    QTest::newRow("not a number") << 0.0 << 100.0 << 255.0 << "abc" << -1;
    QTest::newRow("scale beyond a byte saturates") << 0.0 << 100.0 << 300.0 << "100" << 255;
    QTest::newRow("empty range sends nothing") << 10.0 << 10.0 << 255.0 << "10" << -1;
}

void tst_ExtWidgets::byteControlDirectEntry()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, scale);
    QFETCH(QString, typed);
    QFETCH(int, sent);
    TestView tv;
    auto *byte = new ExtByteControl;
    tv.scene.addItem(byte);
    byte->resize(200, 80);
    byte->setRange(minimum, maximum);
    byte->setScale(scale);
    byte->setEditMode(ExtByteControl::Editable);
    QVERIFY(tv.exposed());
    QSignalSpy spy(byte, &ExtByteControl::ValueChange);
    QVERIFY(byte->editButton()->isVisible());
    tv.click(byte->editButton()->mapToScene(byte->editButton()->rect().center()));
    QTRY_VERIFY(byte->isEntryOpen());
    byte->entry()->setText(typed);
    tv.click(byte->editButton()->mapToScene(byte->editButton()->rect().center()));
    QTRY_VERIFY(!byte->isEntryOpen());
    if (sent < 0) {
        QCOMPARE(spy.count(), 0);
    } else {
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), sent);
    }
}

void tst_ExtWidgets::enterCommitsTheDirectEntry()
{
    TestView tv;
    auto *byte = new ExtByteControl;
    tv.scene.addItem(byte);
    byte->resize(200, 80);
    byte->setRange(0, 100);
    byte->setScale(255);
    byte->setEditMode(ExtByteControl::Editable);
    QVERIFY(tv.exposed());
    QSignalSpy spy(byte, &ExtByteControl::ValueChange);
    tv.click(byte->editButton()->mapToScene(byte->editButton()->rect().center()));
    QTRY_VERIFY(byte->isEntryOpen());
    byte->entry()->setText(QString());
    QTest::keyClicks(tv.view.viewport(), "50");
    QCOMPARE(byte->entry()->text(), QStringLiteral("50"));
    QTest::keyClick(tv.view.viewport(), Qt::Key_Return);
    QTRY_VERIFY(!byte->isEntryOpen());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 128);
    QVERIFY(!byte->editButton()->isChecked());
}

void tst_ExtWidgets::readOnlyByteControlOffersNoEntry()
{
    ExtByteControl byte;
    byte.setEditMode(ExtByteControl::ReadOnly);
    QVERIFY(!byte.editButton()->isVisible());
    QVERIFY(byte.field()->displayOnly());
    QSignalSpy spy(&byte, &ExtByteControl::ValueChange);
    byte.plusminusClick(10);
    byte.editChanged();
    QCOMPARE(spy.count(), 0);
}

void tst_ExtWidgets::sliderDragSendsRawValue()
{
    TestView tv;
    auto *slider = new ExtSliderControl(ExtSliderControl::Horizontal);
    tv.scene.addItem(slider);
    slider->resize(300, 60);
    slider->setRange(0, 100);
    slider->setStep(0);
    QVERIFY(tv.exposed());
    QCoreApplication::processEvents();
    QSignalSpy spy(slider, &ExtSliderControl::valueChanged);
    slider->setRawValue(255);
    QCOMPARE(slider->value(), 100.0);
    QCOMPARE(spy.count(), 0);
    ESliderWidget *inner = slider->slider();
    tv.click(inner->mapToScene(inner->positionForValue(50)));
    QTRY_VERIFY(spy.count() >= 1);
    QCOMPARE(spy.last().at(0).toInt(), 128);
}

void tst_ExtWidgets::factoryPlacesAndNamesWidgets()
{
    QGraphicsScene scene;
    auto *plan = new EImageWidget;
    scene.addItem(plan);
    plan->resize(800, 600);
    BaseRoomV1 room;
    LightControlV1 *lamp = room.createLight(QStringLiteral("l"), QStringLiteral("Lamp"), {50, 50});
    lamp->setZIndex(0.5);
    lamp->setDimmer(true);
    EBaseWidget *w = ExtWidgetFactory::createWidget(lamp, plan);
    QVERIFY(qobject_cast<ExtLightWidget *>(w));
    QCOMPARE(w->parentItem(), plan);
    QCOMPARE(w->objectName(), lamp->runtimeId());
    QCOMPARE(w->pos(), QPointF(400, 300));
    QCOMPARE(w->zValue(), 0.5);
    QVERIFY(w->isMoveMode());
    QVERIFY(static_cast<ExtLightWidget *>(w)->isDimmer());
    QCOMPARE(ExtWidgetFactory::toPixels(50, 50, QSizeF(1000, 500)), QPointF(500, 250));
    QCOMPARE(ExtWidgetFactory::toPercent(QPointF(500, 250), QSizeF(1000, 500)), QPointF(50, 50));

    SwitchControlV1 *sw = room.createSwitch(QStringLiteral("s"), QStringLiteral("Sw"), {10, 20});
    sw->setImageOn(QStringLiteral("none"));
    auto *button = qobject_cast<ExtSwitchWidget *>(ExtWidgetFactory::createWidget(sw, plan));
    QVERIFY(button);
    QCOMPARE(button->pos(), QPointF(80, 120));
    QVERIFY(button->image().isNull());
    QCOMPARE(button->text(), QStringLiteral("Sw"));
}

void tst_ExtWidgets::longCaptionKeepsThePictureInPlace_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("posX");
    QTest::newRow("switch mid-plan") << int(ControlConstants::KindSwitch) << 50.0;
    QTest::newRow("switch at the left edge") << int(ControlConstants::KindSwitch) << 1.0;
    QTest::newRow("sensor at the right edge") << int(ControlConstants::KindSensor) << 95.0;
    QTest::newRow("lamp mid-plan") << int(ControlConstants::KindLight) << 50.0;
    QTest::newRow("lamp at the left edge") << int(ControlConstants::KindLight) << 1.0;
}

// A caption made longer leaves the picture where the control's position puts it; the caption
// grows around it and stays on the plan.
void tst_ExtWidgets::longCaptionKeepsThePictureInPlace()
{
    QFETCH(int, kind);
    QFETCH(double, posX);
    QGraphicsScene scene;
    auto *plan = new EImageWidget;
    scene.addItem(plan);
    plan->resize(800, 600);
    BaseRoomV1 room;
    BaseControlV1 *control =
        room.createControl(kind, QStringLiteral("c"), QStringLiteral("A"), {posX, 40});
    QVERIFY(control);
    if (auto *lamp = dynamic_cast<LightControlV1 *>(control)) {
        lamp->setImageOn(QStringLiteral("lighton.png"));
        lamp->setImageOff(QStringLiteral("lightoff.png"));
    }
    EBaseWidget *w = ExtWidgetFactory::createWidget(control, plan);
    QVERIFY(w);
    auto pictureOnPlan = [w] {
        if (auto *lamp = qobject_cast<ExtLightWidget *>(w))
            return lamp->mapRectToParent(lamp->imageRect());
        return w->mapRectToParent(static_cast<EIconWidget *>(w)->iconRect());
    };
    auto captionOnPlan = [w] {
        if (auto *lamp = qobject_cast<ExtLightWidget *>(w))
            return lamp->mapRectToParent(lamp->captionRect());
        return w->mapRectToParent(static_cast<EIconWidget *>(w)->captionRect());
    };
    const QRectF before = pictureOnPlan();
    QVERIFY(!before.isEmpty());
    control->setTextB(QStringLiteral("The reading lamp above the sofa by the garden window"));
    QVERIFY(ExtWidgetFactory::applyProperties(w, control));
    ExtWidgetFactory::fitCaption(w, plan->size());
    w->update();
    QCoreApplication::processEvents();
    QPixmap canvas(800, 600);
    QPainter painter(&canvas);
    scene.render(&painter); // lays the caption out as a paint would
    painter.end();
    const QRectF after = pictureOnPlan();
    QVERIFY2(qAbs(after.left() - before.left()) < 1 && qAbs(after.top() - before.top()) < 1,
             qPrintable(QStringLiteral("picture moved from %1,%2 to %3,%4")
                            .arg(before.left())
                            .arg(before.top())
                            .arg(after.left())
                            .arg(after.top())));
    QCOMPARE(w->pos(), ExtWidgetFactory::toPixels(posX, 40, plan->size()));
    // The caption reaches no further than the plan, or than the widget itself where the widget
    // stands partly off the plan.
    const QRectF caption = captionOnPlan();
    const QRectF widget = w->geometry();
    QVERIFY2(caption.left() >= qMin<qreal>(0, widget.left()) - 0.5 &&
                 caption.right() <= qMax<qreal>(800, widget.right()) + 0.5,
             qPrintable(QStringLiteral("caption %1..%2").arg(caption.left()).arg(caption.right())));
    // The long caption does not fit: it is elided, not cut anywhere.
    QVERIFY(caption.width() < 800);
}

void tst_ExtWidgets::litLampNeverReadsZeroAndFullFits()
{
    BaseRoomV1 room;
    LightControlV1 *record = room.createLight(QStringLiteral("l"), QStringLiteral("Lamp"), {});
    record->setDimmer(true);
    record->setImageOn(QStringLiteral("lighton.png"));
    record->setImageOff(QStringLiteral("lightoff.png"));
    QGraphicsScene scene;
    auto *plan = new EImageWidget;
    scene.addItem(plan);
    plan->resize(800, 600);
    auto *lamp = qobject_cast<ExtLightWidget *>(ExtWidgetFactory::createWidget(record, plan));
    QVERIFY(lamp);
    const ExtWidgetKind *kind = ExtWidgetKinds::byKind(ControlConstants::KindLight);
    QVERIFY(kind);
    // clang-format off
    struct Row { int state; int brightness; bool lit; const char *percent; };
    const Row rows[] = {{0, 0, true, ""}, {0, 5, true, "50%"}, {0, 10, true, "100%"},
                        {1, 10, false, "100%"}, {1, 0, false, "0%"}, {0, 0, true, ""}};
    // clang-format on
    for (const Row &row : rows) {
        record->setLampState(row.state);
        record->setBrightness(row.brightness);
        kind->refresh(lamp, record);
        QCOMPARE(lamp->showsLit(), row.lit);
        QCOMPARE(lamp->imageName(), row.lit ? record->imageOn() : record->imageOff());
        QCOMPARE(lamp->percentText(), QString::fromLatin1(row.percent));
    }
    // Dragged to the bottom of the bar by the person: no "0%" on a lamp still lit.
    record->setBrightness(10);
    kind->refresh(lamp, record);
    QVERIFY(lamp->showsLit());
    QGraphicsView view(&scene);
    view.resize(900, 700);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QPointF bottom =
        lamp->mapToScene(lamp->barRect().center().x(), lamp->barRect().bottom() - 0.5);
    QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::NoModifier, view.mapFromScene(bottom));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, view.mapFromScene(bottom));
    QCOMPARE(lamp->brightness(), 0);
    QVERIFY(lamp->showsLit());
    QVERIFY(lamp->percentText().isEmpty());
    // "100%" fits the bar in the type it is drawn in.
    QVERIFY(QFontMetricsF(lamp->percentFont()).horizontalAdvance(QStringLiteral("100%")) <=
            lamp->barRect().width() - 2);
}

void tst_ExtWidgets::longTextFitsItsField_data()
{
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("elided");
    const QString forecast = QStringLiteral("Clearing at night");
    QTest::newRow("demo field, one line") << QSizeF(460, 40) << forecast << false;
    QTest::newRow("narrow, two lines fit") << QSizeF(120, 60) << forecast << false;
    QTest::newRow("narrow and low: elided") << QSizeF(120, 30) << forecast << true;
    QTest::newRow("one long word") << QSizeF(90, 60) << QStringLiteral("Thunderstorms") << true;
}

// A text longer than its field is wrapped where the height allows, else elided with the whole
// text as its tool tip; never cut off in the middle of a letter or a word without a sign.
void tst_ExtWidgets::longTextFitsItsField()
{
    QFETCH(QSizeF, size);
    QFETCH(QString, text);
    QFETCH(bool, elided);
    QGraphicsScene scene;
    auto *w = new ExtTextWidget;
    scene.addItem(w);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(20);
    w->setTextFont(font);
    w->resize(size);
    w->setDisplayText(text);
    QCOMPARE(w->isElided(), elided);
    const QFontMetricsF fm(font);
    const qreal inner = size.width() - 6;
    if (elided) {
        QVERIFY(w->shownText().endsWith(QChar(0x2026)));
        QVERIFY(fm.horizontalAdvance(w->shownText()) <= inner);
        QCOMPARE(w->toolTip(), text);
    } else {
        QCOMPARE(w->shownText(), text);
        const QRectF needed =
            fm.boundingRect(QRectF(0, 0, inner, 1e6), Qt::TextWordWrap, w->shownText());
        QVERIFY(needed.height() <= size.height());
        QVERIFY(w->toolTip().isEmpty());
    }
}

void tst_ExtWidgets::factoryRefusesMismatches()
{
    QGraphicsScene scene;
    auto *plan = new EImageWidget;
    scene.addItem(plan);
    BaseRoomV1 room;
    LightControlV1 *lamp = room.createLight(QStringLiteral("l"), QStringLiteral("Lamp"), {0, 0});
    QVERIFY(!ExtWidgetFactory::createWidget(lamp, nullptr));
    QVERIFY(!ExtWidgetFactory::createWidget(nullptr, plan));
    ExtSwitchWidget notALamp;
    QVERIFY(!ExtWidgetFactory::applyProperties(&notALamp, lamp));
}

namespace {

// A screen's view of a widget's value signal: what arrived, and from whom as the screen saw it.
class ValueReceiver : public QObject
{
public:
    QList<int> values;
    QList<QObject *> senders;
    void take(int value)
    {
        values << value;
        senders << sender();
    }
};

// The value a refresh would change on the widgets whose kinds decode one.
QVariant shownValue(EBaseWidget *w)
{
    if (auto *lamp = qobject_cast<ExtLightWidget *>(w))
        return lamp->brightness();
    if (auto *heat = qobject_cast<ExtHeatWidget *>(w))
        return heat->temperature();
    if (auto *byte = qobject_cast<ExtByteControl *>(w))
        return byte->value();
    if (auto *slider = qobject_cast<ExtSliderControl *>(w))
        return slider->value();
    if (auto *icon = qobject_cast<ExtIconButton *>(w))
        return icon->imageName();
    return QVariant();
}

} // namespace

void tst_ExtWidgets::everyKindHasItsWidget_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("widgetClass");
    QTest::addColumn<int>("click");
    QTest::addColumn<int>("value");
    struct Expected
    {
        const char *widgetClass;
        ExtClickAction click;
        ExtValueAction value;
    };
    using C = ExtClickAction;
    using V = ExtValueAction;
    // The kind -> widget table of the panel, and what a person's input on each asks for.
    // clang-format off
    const QHash<int, Expected> expected{
        {3, {"ExtSwitchWidget", C::WallSwitch, V::None}},
        {4, {"ExtSensorWidget", C::Sensor, V::None}},
        {5, {"ExtTextWidget", C::None, V::None}},
        {6, {"ExtIconButton", C::OpenLink, V::None}},
        {7, {"ExtWeatherWidget", C::None, V::None}},
        {8, {"ExtMjpegWidget", C::None, V::None}},
        {9, {"ExtAVWidget", C::None, V::None}},
        {100, {"ExtBoolControl", C::ToggleBit, V::None}},
        {101, {"ExtIconButton", C::PressBit, V::None}},
        {102, {"ExtByteControl", C::None, V::Value}},
        {104, {"ExtHeatWidget", C::None, V::SetPoint}},
        {105, {"ExtLightWidget", C::Lamp, V::Brightness}},
        {106, {"ExtByteButton", C::WriteByte, V::None}},
        {107, {"ExtTextWidget", C::None, V::None}},
        {108, {"ExtTextWriterWidget", C::None, V::Text}},
        {109, {"ExtSliderControl", C::None, V::Value}},
        {110, {"ExtSliderControl", C::None, V::Value}},
    };
    // clang-format on
    for (const ControlKind *k : ControlKinds::all()) {
        const Expected e = expected.value(k->kind, {"", C::None, V::None});
        QTest::newRow(qPrintable(k->tag.isEmpty() ? QString::number(k->kind) : k->tag))
            << k->kind << QString::fromLatin1(e.widgetClass) << int(e.click) << int(e.value);
    }
}

void tst_ExtWidgets::everyKindHasItsWidget()
{
    QFETCH(int, kind);
    QFETCH(QString, widgetClass);
    QFETCH(int, click);
    QFETCH(int, value);
    const ExtWidgetKind *entry = ExtWidgetKinds::byKind(kind);
    QCOMPARE(entry != nullptr, !widgetClass.isEmpty());
    if (!entry)
        return;
    QCOMPARE(int(entry->click), click);
    QCOMPARE(int(entry->value), value);
    QCOMPARE(bool(entry->connectValue), value != int(ExtValueAction::None));

    // Off any scene: cameras and the weather tile reach for the network only when shown.
    EImageWidget plan;
    plan.resize(800, 600);
    BaseRoomV1 room;
    BaseControlV1 *record = room.createControl(kind, QStringLiteral("n"), QStringLiteral("t"), {});
    QVERIFY(record);
    EBaseWidget *w = ExtWidgetFactory::createWidget(record, &plan);
    QVERIFY(w);
    QCOMPARE(QString::fromLatin1(w->metaObject()->className()), widgetClass);
    QCOMPARE(w->objectName(), record->runtimeId());
    QVERIFY(ExtWidgetFactory::applyProperties(w, record));
    if (auto *slider = qobject_cast<ExtSliderControl *>(w)) {
        QCOMPARE(slider->orientation(),
                 kind == 109 ? int(ExtSliderControl::Horizontal) : int(ExtSliderControl::Vertical));
    }
    // A widget of another class is refused, whatever the record.
    ExtTextWriterWidget other;
    QCOMPARE(ExtWidgetFactory::applyProperties(&other, record),
             widgetClass == "ExtTextWriterWidget");
}

void tst_ExtWidgets::valueSignalsReachTheScreen_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("signal");
    QTest::addColumn<bool>("carriesValue");
    QTest::newRow("byte") << 102 << QByteArray("ValueChange") << true;
    QTest::newRow("thermostat") << 104 << QByteArray("ValueChange") << true;
    QTest::newRow("lamp") << 105 << QByteArray("BrightnessChanged") << true;
    QTest::newRow("text write") << 108 << QByteArray("textChanged") << false;
    QTest::newRow("hslider") << 109 << QByteArray("valueChanged") << true;
    QTest::newRow("vslider") << 110 << QByteArray("valueChanged") << true;
}

void tst_ExtWidgets::valueSignalsReachTheScreen()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, signal);
    QFETCH(bool, carriesValue);
    EImageWidget plan;
    BaseRoomV1 room;
    BaseControlV1 *record = room.createControl(kind, {}, {}, {});
    EBaseWidget *w = ExtWidgetFactory::createWidget(record, &plan);
    QVERIFY(w);
    ValueReceiver screen;
    const ExtWidgetKind *entry = ExtWidgetKinds::byKind(kind);
    QVERIFY(entry && entry->connectValue);
    entry->connectValue(w, &screen, [&screen](int value) { screen.take(value); });
    const bool sent = carriesValue
                          ? QMetaObject::invokeMethod(w, signal.constData(), Q_ARG(int, 37))
                          : QMetaObject::invokeMethod(w, signal.constData());
    QVERIFY(sent);
    QCOMPARE(screen.values, QList<int>{carriesValue ? 37 : 0});
    // The screen finds the record by the sender's name: the sender must be the widget.
    QCOMPARE(screen.senders, QList<QObject *>{w});
}

void tst_ExtWidgets::pollsShowUnlessAWriteIsPending_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QVariant>("shown");
    // clang-format off
    QTest::newRow("lamp brightness") << 105 << QByteArray::fromHex("5100000000000000") << QVariant(5);
    QTest::newRow("thermostat temperature") << 104 << QByteArray::fromHex("646e0032") << QVariant(20.0);
    QTest::newRow("bool picture") << 100 << QByteArray::fromHex("0100") << QVariant(QStringLiteral("img/on.png"));
    QTest::newRow("byte value") << 102 << QByteArray::fromHex("2a000000") << QVariant(42.0);
    QTest::newRow("slider value") << 110 << QByteArray::fromHex("2a000000") << QVariant(42.0);
    // clang-format on
}

void tst_ExtWidgets::pollsShowUnlessAWriteIsPending()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, data);
    QFETCH(QVariant, shown);
    EImageWidget plan;
    BaseRoomV1 room;
    auto *record = dynamic_cast<DynamicControlV1 *>(room.createControl(kind, {}, {}, {}));
    QVERIFY(record);
    EBaseWidget *w = ExtWidgetFactory::createWidget(record, &plan);
    const ExtWidgetKind *entry = ExtWidgetKinds::byKind(kind);
    QVERIFY(w && entry && entry->refresh);
    const QVariant before = shownValue(w);
    QVERIFY(before != shown);
    record->setData(data);
    record->decode(record->fetchLength(), &room);
    record->setChanged(true);
    entry->refresh(w, record);
    QCOMPARE(shownValue(w), before);
    record->setChanged(false);
    entry->refresh(w, record);
    QCOMPARE(shownValue(w), shown);
}

void tst_ExtWidgets::imageNameRule()
{
    QVERIFY(ExtWidgetFactory::imageForName(QStringLiteral("none")).isNull());
    QCOMPARE(ExtWidgetFactory::imageForName(QString()),
             QImage(QStringLiteral(":/resources/graphics.png")));
    QCOMPARE(ExtWidgetFactory::imageForName(QString(), QStringLiteral("forward.png")),
             QImage(QStringLiteral(":/resources/forward.png")));
}

void tst_ExtWidgets::sceneBarTogglesSwitchChangeBox()
{
    TestView tv;
    auto *bar = new ExtScenesWidget;
    tv.scene.addItem(bar);
    bar->resize(170, 600);
    bar->setScenesVisible(true);
    bar->setDependencyVisible(true);
    bar->setSceneNames({QStringLiteral("Evening")});
    QVERIFY(tv.exposed());
    QCOMPARE(bar->button(ExtScenesWidget::Scene1)->text(), QStringLiteral("Evening"));
    QVERIFY(!bar->isButtonShown(ExtScenesWidget::SwitchChange));
    // The heating toggle has no command behind it and is never offered.
    QVERIFY(!bar->isButtonShown(ExtScenesWidget::Eco));
    QSignalSpy dependency(bar, &ExtScenesWidget::EditDependanceClick);
    EBaseWidget *dep = bar->button(ExtScenesWidget::Dependencies);
    tv.click(dep->mapToScene(dep->rect().center()));
    QTRY_COMPARE(dependency.count(), 1);
    QVERIFY(bar->isDependencyMode());
    QVERIFY(bar->isButtonShown(ExtScenesWidget::SwitchChange));
    EBaseWidget *box = bar->button(ExtScenesWidget::SwitchChange);
    tv.click(box->mapToScene(box->rect().center()));
    QTRY_VERIFY(bar->isSwitchChangeMode());
    tv.click(dep->mapToScene(dep->rect().center()));
    QTRY_COMPARE(dependency.count(), 2);
    QVERIFY(!bar->isDependencyMode());
    QVERIFY(!bar->isSwitchChangeMode());
    QVERIFY(!bar->isButtonShown(ExtScenesWidget::SwitchChange));
}

void tst_ExtWidgets::textWriterSendsOnSave()
{
    TestView tv;
    auto *writer = new ExtTextWriterWidget;
    tv.scene.addItem(writer);
    writer->resize(240, 80);
    QVERIFY(tv.exposed());
    QSignalSpy spy(writer, &ExtTextWriterWidget::textChanged);
    writer->setCurrentText(QStringLiteral("Hello"));
    QCOMPARE(spy.count(), 0);
    ExtToolWidget *send = writer->sendButton();
    tv.click(send->mapToScene(send->rect().center()));
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(writer->currentText(), QStringLiteral("Hello"));
}

void tst_ExtWidgets::textWriterCountsBytes_data()
{
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("counter");
    // The controller's encoding takes one byte per Cyrillic letter: a 16-byte window holds 16.
    QTest::newRow("cyrillic fills the window") << 16 << QStringLiteral("Ужин готов всем!")
                                               << QStringLiteral("Ужин готов всем!") << "16/16";
    QTest::newRow("cut between characters")
        << 8 << QStringLiteral("Ужин готов") << QStringLiteral("Ужин гот") << "8/8";
    QTest::newRow("short latin") << 16 << QStringLiteral("Hi") << QStringLiteral("Hi") << "2/16";
    QTest::newRow("empty") << 12 << QString() << QString() << "0/12";
}

// What the field shows and keeps is what the controller window takes, counted in its bytes.
void tst_ExtWidgets::textWriterCountsBytes()
{
    QFETCH(int, maximum);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QFETCH(QString, counter);
    QVERIFY(ControllerText::setCodecName("Windows-1251"));
    TestView tv;
    auto *writer = new ExtTextWriterWidget;
    tv.scene.addItem(writer);
    writer->resize(240, 80);
    writer->setMaxLength(maximum);
    QVERIFY(tv.exposed());
    writer->setCurrentText(typed);
    QCOMPARE(writer->currentText(), kept);
    QCOMPARE(writer->counterText(), counter);
    QVERIFY(ControllerText::encode(writer->currentText()).size() <= maximum);
}

QTEST_MAIN(tst_ExtWidgets)
#include "tst_extwidgets.moc"
