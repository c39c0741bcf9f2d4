// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The properties panel: which editors each kind offers, what Save writes back, and that values
// the person did not touch survive a save even when the editors cannot show them.
#include "bytecontrolv1.h"
#include "cameracontrolv1.h"
#include "controlkind.h"
#include "controlkinds.h"
#include "echeckboxwidget.h"
#include "ecombowidget.h"
#include "ecoreapp.h"
#include "elabelwidget.h"
#include "elocale.h"
#include "enumericwidget.h"
#include "lightcontrolv1.h"
#include "projectwriterv1.h"
#include "roomconstantsv1.h"
#include "roomstructv1.h"
#include "systemcontrolv1.h"
#include "textcontrolv1.h"
#include "textwritecontrolv1.h"
#include "toolkitstyle.h"
#include "unisettings.h"
#include "weathercontrolv1.h"
#include "xmldocument.h"

#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

#include <cmath>

class tst_UniSettings : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase() { ECoreApp::destroyInstance(); }
    void editorsByKind_data();
    void editorsByKind();
    void saveWritesTheChangedEditors();
    void untouchedValuesSurviveASave_data();
    void untouchedValuesSurviveASave();
    void untouchedSaveChangesNothing_data();
    void untouchedSaveChangesNothing();
    void systemButtonKeepsAnUnsetType();
    void pageProperties();
    void cameraAndTownAreEdited();
    void labelsAndNumbersFit_data();
    void labelsAndNumbersFit();
    void sameSizeAtAnyWindowSize();
    void systemTypesShowNames_data();
    void systemTypesShowNames();
    void checkBoxCaptionsAreReadable();
};

void tst_UniSettings::editorsByKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<int>>("enabled");
    QTest::newRow("light") << int(ControlConstants::KindLight)
                           << QList<int>{UniSettings::Name,    UniSettings::Text,
                                         UniSettings::Number,  UniSettings::Dimmer,
                                         UniSettings::ImageOn, UniSettings::ImageOff};
    QTest::newRow("weather") << int(ControlConstants::KindWeather)
                             << QList<int>{UniSettings::Text, UniSettings::CityCode};
    QTest::newRow("system") << int(ControlConstants::KindSystem)
                            << QList<int>{UniSettings::Name, UniSettings::Text, UniSettings::Image,
                                          UniSettings::SystemType};
    QTest::newRow("text write") << int(ControlConstants::KindTextWrite)
                                << QList<int>{UniSettings::Name,    UniSettings::Text,
                                              UniSettings::Width,   UniSettings::Height,
                                              UniSettings::Address, UniSettings::FontColor,
                                              UniSettings::Fone,    UniSettings::FontSize,
                                              UniSettings::Maximum};
    using U = UniSettings;
    using namespace ControlConstants;
    // clang-format off
    QTest::newRow("switch") << int(KindSwitch) << QList<int>{U::Name, U::Text, U::Number, U::ImageScene, U::ImageOn};
    QTest::newRow("sensor") << int(KindSensor) << QList<int>{U::Name, U::Text, U::Number, U::ImageOn, U::ImageOff, U::Image};
    QTest::newRow("thermostat") << int(KindHeat) << QList<int>{U::Name, U::Text, U::Number, U::FontColor, U::FontSize, U::Width, U::Height};
    QTest::newRow("bool") << int(KindBool) << QList<int>{U::Name, U::Text, U::ImageOff, U::ImageOn, U::Address, U::BitNumber, U::ReadOnly};
    QTest::newRow("byte") << int(KindByte) << QList<int>{U::Name, U::Text, U::Width, U::Height, U::Image, U::Address, U::Maximum, U::Minimum, U::MaxVal, U::Step, U::DataType, U::Precision, U::ReadOnly, U::Editable, U::FontColor, U::Fone, U::FontSize};
    QTest::newRow("bit button") << int(KindBtn) << QList<int>{U::Name, U::Text, U::Width, U::Height, U::Image, U::Address, U::BitNumber};
    QTest::newRow("byte button") << int(KindResbt) << QList<int>{U::Name, U::Text, U::ImageOff, U::ImageOn, U::Address, U::Value};
    QTest::newRow("text") << int(KindText) << QList<int>{U::Name, U::Text, U::Width, U::Height, U::FontName, U::FontSize, U::FontColor, U::Fone, U::FontType};
    QTest::newRow("dyn text") << int(KindDynText) << QList<int>{U::Name, U::Text, U::Width, U::Height, U::Address, U::FontName, U::FontSize, U::FontColor, U::Fone, U::Maximum, U::FontType};
    const QList<int> camera{U::Text, U::Width, U::Height, U::Fone, U::CameraAddress, U::CameraPort, U::StreamPath, U::Login, U::Password, U::PtzLeft, U::PtzRight, U::PtzUp, U::PtzDown, U::PtzHome, U::PtzZoomIn, U::PtzZoomOut};
    QTest::newRow("mjpeg camera") << int(KindIpCam) << camera;
    QTest::newRow("av camera") << int(KindAVCam) << camera;
    QTest::newRow("hslider") << int(KindHSlider) << QList<int>{U::Name, U::Text, U::Width, U::Height, U::Address, U::Maximum, U::Minimum, U::MaxVal, U::Step, U::DataType, U::Precision, U::Fone};
    QTest::newRow("vslider") << int(KindVSlider) << QList<int>{U::Name, U::Text, U::Width, U::Height, U::Address, U::Maximum, U::Minimum, U::MaxVal, U::Step, U::DataType, U::Precision, U::Fone};
    // clang-format on
}

void tst_UniSettings::editorsByKind()
{
    QFETCH(int, kind);
    QFETCH(QList<int>, enabled);
    RoomStructV1 room;
    BaseControlV1 *c = room.createControl(kind, QStringLiteral("x"), QStringLiteral("X"), {});
    QVERIFY(c);
    UniSettings panel;
    panel.setControl(c);
    for (int f = 0; f < UniSettings::FieldCount; ++f)
        QCOMPARE(panel.isFieldEnabled(UniSettings::Field(f)), enabled.contains(f));
    panel.clear();
    QVERIFY(!panel.hasTarget());
    QVERIFY(!panel.isFieldEnabled(UniSettings::Text));
}

void tst_UniSettings::saveWritesTheChangedEditors()
{
    RoomStructV1 room;
    auto *lamp = room.createLight(QStringLiteral("l"), QStringLiteral("L"), {});
    auto *writer = room.createTextWrite(QStringLiteral("w"), QStringLiteral("W"), {});
    auto *byte = room.createByte(QStringLiteral("b"), QStringLiteral("B"), {});
    UniSettings panel;
    QSignalSpy saved(&panel, &UniSettings::SaveClicked);

    panel.setControl(lamp);
    panel.setFieldValue(UniSettings::Number, 3);
    panel.setFieldValue(UniSettings::Text, QStringLiteral("Ceiling"));
    panel.setFieldValue(UniSettings::Dimmer, true);
    panel.saveControls();
    QCOMPARE(lamp->lmpNumber(), 3);
    QCOMPARE(lamp->byteAddress(), 636);
    QCOMPARE(lamp->textB(), QStringLiteral("Ceiling"));
    QVERIFY(lamp->isDimmer());
    QCOMPARE(lamp->name(), QStringLiteral("l"));

    // The controller's text field is whole registers: an odd length is cut to even.
    panel.setControl(writer);
    panel.setFieldValue(UniSettings::Maximum, 101);
    panel.saveControls();
    QCOMPARE(writer->maximum(), 100);

    panel.setControl(byte);
    panel.setFieldValue(UniSettings::DataType, 2);
    panel.setFieldValue(UniSettings::Address, QStringLiteral(" 301 "));
    panel.saveControls();
    QCOMPARE(byte->typeD(), 2);
    QCOMPARE(byte->byteAddress(), 301);
    QCOMPARE(saved.count(), 3);

    // A BYTE value may still be shown on a larger scale: its maximum is the person's to choose.
    panel.setControl(byte);
    panel.setFieldValue(UniSettings::DataType, 0);
    panel.setFieldValue(UniSettings::Maximum, 1000);
    panel.saveControls();
    QCOMPARE(byte->typeD(), 0);
    QCOMPARE(byte->maximum(), 1000);
}

void tst_UniSettings::untouchedValuesSurviveASave_data()
{
    QTest::addColumn<int>("fontSize");
    QTest::addColumn<QString>("fontFamily");
    QTest::addColumn<int>("fontType");
    QTest::newRow("font size over the editor's range") << 100 << "Arial" << 75;
    QTest::newRow("font not in the list") << 12 << "Verdana" << 50;
    QTest::newRow("weight neither bold nor normal") << 12 << "Times" << 60;
}

void tst_UniSettings::untouchedValuesSurviveASave()
{
    QFETCH(int, fontSize);
    QFETCH(QString, fontFamily);
    QFETCH(int, fontType);
    RoomStructV1 room;
    auto *text = room.createText(QStringLiteral("t"), QStringLiteral("T"), {});
    text->setFontSize(fontSize);
    text->setFontFamily(fontFamily);
    text->setFontType(fontType);
    UniSettings panel;
    panel.setControl(text);
    panel.setFieldValue(UniSettings::Text, QStringLiteral("Hello"));
    panel.saveControls();
    QCOMPARE(text->textB(), QStringLiteral("Hello"));
    QCOMPARE(text->fontSize(), fontSize);
    QCOMPARE(text->fontFamily(), fontFamily);
    QCOMPARE(text->fontType(), fontType);
    // A value the person does choose is stored.
    panel.setControl(text);
    panel.setFieldValue(UniSettings::FontSize, 20);
    panel.setFieldValue(UniSettings::FontName, 5);
    panel.setFieldValue(UniSettings::FontType, 1);
    panel.saveControls();
    QCOMPARE(text->fontSize(), 20);
    QCOMPARE(text->fontFamily(), QStringLiteral("Courier New"));
    QCOMPARE(text->fontType(), 75);
    // Undoing that choice brings back the values as they were, shown or not.
    QVERIFY(panel.lastUndo());
    panel.lastUndo()();
    QCOMPARE(text->fontSize(), fontSize);
    QCOMPARE(text->fontFamily(), fontFamily);
    QCOMPARE(text->fontType(), fontType);
    panel.lastRedo()();
    QCOMPARE(text->fontFamily(), QStringLiteral("Courier New"));
    QCOMPARE(text->fontType(), 75);
}

void tst_UniSettings::untouchedSaveChangesNothing_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("variant");
    for (const ControlKind *k : ControlKinds::all()) {
        if (!k->hasRecord())
            continue;
        for (int variant = 0; variant < 2; ++variant)
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(k->tag).arg(
                variant ? QStringLiteral("far values") : QStringLiteral("odd values"))))
                << k->kind << variant;
    }
}

// Opening the properties of a record with unusual but valid values and saving without touching
// anything leaves the record, and so its file, exactly as they were: the panel writes what the
// person changed, never what its editors could not show (a BYTE value's maximum above 255).
void tst_UniSettings::untouchedSaveChangesNothing()
{
    QFETCH(int, kind);
    QFETCH(int, variant);
    const ControlKind *description = ControlKinds::byKind(kind);
    QVERIFY(description);
    RoomStructV1 room;
    BaseControlV1 *record = room.createControl(kind, QStringLiteral("c"), QStringLiteral("C"), {});
    QVERIFY(record);
    int salt = 0;
    for (const ControlAttribute &a : description->attributes) {
        ++salt;
        QVariant v;
        switch (a.type) {
        case ControlAttribute::String:
            v = QStringLiteral("%1 \u00e9<&> %2").arg(a.name).arg(salt);
            break;
        case ControlAttribute::Keyword:
            if (!a.choices.isEmpty())
                v = a.choices.at((salt + variant) % a.choices.size());
            break;
        case ControlAttribute::Boolean:
            v = (salt + variant) % 2 == 0;
            break;
        case ControlAttribute::Integer: {
            const qint64 low = a.minimum.isValid() ? a.minimum.toLongLong() : -100000;
            const qint64 high = a.maximum.isValid() ? a.maximum.toLongLong() : 100000;
            // Far beyond what an editor offers, or an odd value inside it.
            v = int(variant ? (salt % 2 ? high : low) : qBound(low, qint64(257 + salt), high));
            break;
        }
        case ControlAttribute::Real: {
            const double low = a.minimum.isValid() ? a.minimum.toDouble() : -1e6;
            const double high = a.maximum.isValid() ? a.maximum.toDouble() : 1e6;
            v = variant ? (salt % 2 ? high : low) : low + (high - low) * 0.123456789;
            break;
        }
        }
        if (v.isValid() && a.assign)
            a.assign(*record, v);
    }
    const QByteArray before = XmlDocument::toByteArray(ProjectWriterV1::buildControl(record));
    QVariantList valuesBefore;
    for (const ControlAttribute &a : description->attributes)
        valuesBefore << (a.value ? a.value(*record) : QVariant());
    UniSettings panel;
    panel.setControl(record);
    panel.saveControls();
    QStringList changed;
    for (int i = 0; i < description->attributes.size(); ++i) {
        const ControlAttribute &a = description->attributes.at(i);
        const QVariant now = a.value ? a.value(*record) : QVariant();
        if (now != valuesBefore.at(i))
            changed << QStringLiteral("%1: %2 -> %3")
                           .arg(a.name, valuesBefore.at(i).toString(), now.toString());
    }
    QVERIFY2(changed.isEmpty(), qPrintable(changed.join(QStringLiteral("; "))));
    QCOMPARE(XmlDocument::toByteArray(ProjectWriterV1::buildControl(record)), before);
}

void tst_UniSettings::systemButtonKeepsAnUnsetType()
{
    RoomStructV1 room;
    auto *button = room.createSystem(QStringLiteral("s"), QStringLiteral("S"), {});
    const auto unset = button->systType();
    QVERIFY(button->systTypeText().isEmpty());
    UniSettings panel;
    panel.setControl(button);
    panel.setFieldValue(UniSettings::Name, QStringLiteral("other.xml"));
    panel.saveControls();
    QCOMPARE(button->fileName(), QStringLiteral("other.xml"));
    QCOMPARE(button->systType(), unset);
    panel.setControl(button);
    panel.setFieldValue(UniSettings::SystemType, 8);
    panel.saveControls();
    QCOMPARE(button->systTypeText(), QStringLiteral("light"));
}

void tst_UniSettings::pageProperties()
{
    RoomStructV1 room;
    room.setContImage(QStringLiteral("cont.png"));
    room.setImage(QStringLiteral("plan.png"));
    UniSettings panel;
    panel.setPage(&room);
    QVERIFY(panel.hasTarget());
    QCOMPARE(panel.fieldValue(UniSettings::ImageOn).toString(), QStringLiteral("cont.png"));
    QVERIFY(!panel.isFieldEnabled(UniSettings::Number));
    panel.setFieldValue(UniSettings::Image, QStringLiteral("new.png"));
    panel.setFieldValue(UniSettings::Scenes, !room.showScenes());
    const bool scenes = !room.showScenes();
    panel.saveControls();
    QCOMPARE(room.image(), QStringLiteral("new.png"));
    QCOMPARE(room.contImage(), QStringLiteral("cont.png"));
    QCOMPARE(room.showScenes(), scenes);
}

// A camera put on a plan from the palette has no stream until its address, port and path are
// set; the panel is where a person sets them, and the town code of a weather tile.
void tst_UniSettings::cameraAndTownAreEdited()
{
    RoomStructV1 room;
    auto *camera = dynamic_cast<CameraControlV1 *>(room.createControl(
        ControlConstants::KindIpCam, QStringLiteral("c"), QStringLiteral("C"), {}));
    QVERIFY(camera);
    UniSettings panel;
    panel.setControl(camera);
    // clang-format off
    const QList<QPair<UniSettings::Field, QString>> typed{
        {UniSettings::CameraAddress, "127.0.0.1"}, {UniSettings::CameraPort, "8090"},
        {UniSettings::StreamPath, "/s.mjpg"}, {UniSettings::Login, "admin"},
        {UniSettings::Password, "secret"}, {UniSettings::PtzLeft, "/ptz?move=left"},
        {UniSettings::PtzRight, "/ptz?move=right"}, {UniSettings::PtzUp, "/ptz?move=up"},
        {UniSettings::PtzDown, "/ptz?move=down"}, {UniSettings::PtzHome, "/ptz?move=home"},
        {UniSettings::PtzZoomIn, "/ptz?zoom=in"}, {UniSettings::PtzZoomOut, "/ptz?zoom=out"}};
    // clang-format on
    for (const auto &field : typed)
        panel.setFieldValue(field.first, field.second);
    panel.saveControls();
    QCOMPARE(camera->ipaddress(), QStringLiteral("127.0.0.1"));
    QCOMPARE(camera->port(), QStringLiteral("8090"));
    QCOMPARE(camera->initial(), QStringLiteral("/s.mjpg"));
    QCOMPARE(camera->login(), QStringLiteral("admin"));
    QCOMPARE(camera->password(), QStringLiteral("secret"));
    QCOMPARE(camera->ptzMoveLeft(), QStringLiteral("/ptz?move=left"));
    QCOMPARE(camera->ptzMoveRight(), QStringLiteral("/ptz?move=right"));
    QCOMPARE(camera->ptzMoveUp(), QStringLiteral("/ptz?move=up"));
    QCOMPARE(camera->ptzMoveDown(), QStringLiteral("/ptz?move=down"));
    QCOMPARE(camera->ptzMoveHome(), QStringLiteral("/ptz?move=home"));
    QCOMPARE(camera->ptzZoomIn(), QStringLiteral("/ptz?zoom=in"));
    QCOMPARE(camera->ptzZoomOut(), QStringLiteral("/ptz?zoom=out"));
    // Loaded again, the panel shows what was saved.
    panel.setControl(camera);
    QCOMPARE(panel.fieldValue(UniSettings::StreamPath).toString(), QStringLiteral("/s.mjpg"));

    auto *weather = dynamic_cast<WeatherControlV1 *>(room.createControl(
        ControlConstants::KindWeather, QStringLiteral("w"), QStringLiteral("W"), {}));
    QVERIFY(weather);
    panel.setControl(weather);
    panel.setFieldValue(UniSettings::Text, QStringLiteral("Riga"));
    panel.setFieldValue(UniSettings::CityCode, QStringLiteral("26422"));
    panel.saveControls();
    QCOMPARE(weather->cityId(), QStringLiteral("26422"));
    QCOMPARE(weather->textB(), QStringLiteral("Riga"));
}

void tst_UniSettings::labelsAndNumbersFit_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "en_US";
    QTest::newRow("Russian") << "ru_RU";
}

// Every caption is whole, and the numbers people set most (a lamp's number, a maximum of 100)
// can be read in their fields.
void tst_UniSettings::labelsAndNumbersFit()
{
    QFETCH(QString, language);
    QVERIFY(ECoreApp::instance()->locale()->load(language));
    QGraphicsScene scene;
    auto *panel = new UniSettings;
    scene.addItem(panel);
    panel->resize(1280, 680);
    panel->show();
    QCoreApplication::processEvents();
    for (int f = 0; f < UniSettings::FieldCount; ++f) {
        auto *label = qobject_cast<ELabelWidget *>(panel->label(UniSettings::Field(f)));
        if (!label)
            continue;
        const QString text = label->labelT();
        QVERIFY2(!text.isEmpty(), qPrintable(QString::number(f)));
        const qreal needed = QFontMetricsF(label->font()).horizontalAdvance(text);
        QVERIFY2(
            needed <= label->size().width(),
            qPrintable(
                QStringLiteral("%1: %2 > %3").arg(text).arg(needed).arg(label->size().width())));
    }
    RoomStructV1 room;
    auto *lamp = room.createLight(QStringLiteral("l"), QStringLiteral("L"), {});
    lamp->setLmpNumber(26);
    auto *byte = room.createByte(QStringLiteral("b"), QStringLiteral("B"), {});
    byte->setMaximum(100);
    const QList<QPair<BaseControlV1 *, UniSettings::Field>> numbers{{lamp, UniSettings::Number},
                                                                    {byte, UniSettings::Maximum}};
    for (const auto &shown : numbers) {
        panel->setControl(shown.first);
        QCoreApplication::processEvents();
        auto *field = qobject_cast<ENumericWidget *>(panel->editor(shown.second));
        QVERIFY(field);
        const QString text = field->displayText();
        QVERIFY(text == QLatin1String("26") || text == QLatin1String("100"));
        const qreal needed = QFontMetricsF(field->font()).horizontalAdvance(text);
        // The value area less the text's inner padding.
        QVERIFY2(needed <= field->valueRect().width() - 8,
                 qPrintable(QStringLiteral("%1 needs %2 of %3")
                                .arg(text)
                                .arg(needed)
                                .arg(field->valueRect().width())));
    }
    QVERIFY(ECoreApp::instance()->locale()->load(QStringLiteral("en_US")));
}

void tst_UniSettings::sameSizeAtAnyWindowSize()
{
    QGraphicsScene scene;
    auto *panel = new UniSettings;
    scene.addItem(panel);
    panel->show();
    QSizeF first;
    for (const QSizeF &screen : {QSizeF(1280, 680), QSizeF(1024, 708), QSizeF(900, 500)}) {
        panel->resize(screen);
        const QRectF block = panel->contentRect();
        if (first.isEmpty())
            first = block.size();
        QCOMPARE(block.size(), first);
        QCOMPARE(block.center(), QRectF(QPointF(), screen).center());
        QCOMPARE(panel->editor(UniSettings::Name)->size().width(),
                 panel->editor(UniSettings::Number)->size().width());
    }
    QCOMPARE(first, QSizeF(UniSettings::kContentWidth, UniSettings::kContentHeight));
    // A screen smaller than the block shows all of it, scaled down.
    panel->resize(740, 400);
    QVERIFY(QRectF(0, 0, 740, 400).contains(panel->contentRect()));
}

void tst_UniSettings::systemTypesShowNames_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("substName");
    QTest::addColumn<QString>("fileLabel");
    QTest::newRow("English") << "en_US" << "Subsystem" << "File name:";
    QTest::newRow("Russian") << "ru_RU" << QString::fromUtf8("Раздел")
                             << QString::fromUtf8("Имя файла:");
}

// A person picks a system button's target by its name, in the panel's language, and sees that
// the field above holds a file name; the file keeps the ids.
void tst_UniSettings::systemTypesShowNames()
{
    QFETCH(QString, language);
    QFETCH(QString, substName);
    QFETCH(QString, fileLabel);
    QVERIFY(ECoreApp::instance()->locale()->load(language));
    RoomStructV1 room;
    auto *button = room.createSystem(QStringLiteral("s"), QStringLiteral("S"), {});
    button->setSystType(QStringLiteral("subst"));
    auto *lamp = room.createLight(QStringLiteral("l"), QStringLiteral("L"), {});
    UniSettings panel;
    panel.retranslate();
    panel.setControl(button);
    auto *list = qobject_cast<EComboWidget *>(panel.editor(UniSettings::SystemType));
    QVERIFY(list);
    QCOMPARE(list->currentText(), substName);
    const QStringList ids{"secure", "settings", "alerts", "connection", "info", "exit",
                          "subst",  "heat",     "light",  "scenes",     "history"};
    QCOMPARE(list->count(), ids.size());
    for (const QString &item : list->items())
        QVERIFY2(!ids.contains(item), qPrintable(item));
    // Every name can be read whole in the closed list.
    panel.resize(1280, 680);
    QCoreApplication::processEvents();
    const QFontMetricsF metrics(list->font());
    for (const QString &item : list->items())
        QVERIFY2(metrics.horizontalAdvance(item) <= list->textRect().width(),
                 qPrintable(QStringLiteral("%1 is %2 wide, the list shows %3")
                                .arg(item)
                                .arg(metrics.horizontalAdvance(item))
                                .arg(list->textRect().width())));
    auto *nameLabel = qobject_cast<ELabelWidget *>(panel.label(UniSettings::Name));
    QCOMPARE(nameLabel->labelT(), fileLabel);
    // A change of language while the panel is open keeps the entry chosen.
    panel.setFieldValue(UniSettings::SystemType, 8);
    panel.retranslate();
    QCOMPARE(panel.fieldValue(UniSettings::SystemType).toInt(), 8);
    panel.saveControls();
    QCOMPARE(button->systTypeText(), QStringLiteral("light"));
    // Other kinds name their item in that field.
    panel.setControl(lamp);
    QCOMPARE(nameLabel->labelT(), ECoreApp::instance()->locale()->text(61220));
    QVERIFY(ECoreApp::instance()->locale()->load(QStringLiteral("en_US")));
}

namespace {
// WCAG relative luminance and contrast ratio of two colours.
double luminance(QRgb c)
{
    const auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}
} // namespace

// The captions of the check boxes that apply stand out from the dark panel, even over the
// brightest plan (a white one).
void tst_UniSettings::checkBoxCaptionsAreReadable()
{
    QGraphicsScene scene;
    scene.setBackgroundBrush(Qt::white);
    auto *panel = new UniSettings;
    scene.addItem(panel);
    panel->resize(1280, 680);
    RoomStructV1 room;
    panel->setControl(room.createByte(QStringLiteral("b"), QStringLiteral("B"), {}));
    panel->show();
    QCoreApplication::processEvents();
    int enabled = 0;
    for (UniSettings::Field f : {UniSettings::Dimmer, UniSettings::ReadOnly, UniSettings::Editable,
                                 UniSettings::TextRect, UniSettings::Fone, UniSettings::Scenes}) {
        auto *box = qobject_cast<ECheckboxWidget *>(panel->editor(f));
        QVERIFY(box);
        // Disabled ones are greyed on purpose: they do not apply to the item loaded.
        if (!box->isEnabled())
            continue;
        ++enabled;
        // The caption's part of the box, right of the square.
        const qreal left = box->marginsLeft() + EStyle::kIndicatorSize + EStyle::kIndicatorGap;
        const QRectF text = box->mapRectToScene(
            QRectF(left, 0, box->size().width() - left, box->size().height()));
        QImage image(text.size().toSize(), QImage::Format_RGB32);
        QPainter painter(&image);
        scene.render(&painter, QRectF(QPointF(), text.size()), text);
        painter.end();
        const QRgb background = image.pixel(image.width() - 1, image.height() - 1);
        double best = 1;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                best = qMax(best, contrast(image.pixel(x, y), background));
        }
        QVERIFY2(best >= 4.5,
                 qPrintable(QStringLiteral("%1: contrast %2").arg(box->text()).arg(best)));
    }
    QCOMPARE(enabled, 3); // only read, editable, background
}

QTEST_MAIN(tst_UniSettings)
#include "tst_unisettings.moc"
