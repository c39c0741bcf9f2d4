// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "avcamcontrolv1.h"
#include "boolcontrolv1.h"
#include "btncontrolv1.h"
#include "bytecontrolv1.h"
#include "dyntextcontrolv1.h"
#include "heatcontrolv1.h"
#include "hslidercontrolv1.h"
#include "ipcamcontrolv1.h"
#include "lightcontrolv1.h"
#include "modeldump.h"
#include "resbtcontrolv1.h"
#include "roomstructv1.h"
#include "sensorcontrolv1.h"
#include "switchcontrolv1.h"
#include "systemcontrolv1.h"
#include "textcontrolv1.h"
#include "textwritecontrolv1.h"
#include "vslidercontrolv1.h"
#include "weathercontrolv1.h"

#include <QtTest>
#include <limits>

namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();

// The decoded fields of a record, by name.
QVariant decoded(const BaseControlV1 *c, const QString &field)
{
    if (auto *x = dynamic_cast<const LightControlV1 *>(c)) {
        const QVariantMap m{
            {"lampState", x->lampState()},         {"brightness", x->brightness()},
            {"switch1", int(x->switch1())},        {"switch2", int(x->switch2())},
            {"switch3", int(x->switch3())},        {"sensorNumber", int(x->sensorNumber())},
            {"sceneSwitch", int(x->sceneSwitch())}};
        return m.value(field);
    }
    if (auto *x = dynamic_cast<const HeatControlV1 *>(c)) {
        const QVariantMap m{{"temperature", x->temperature()},
                            {"setPoint", x->setPoint()},
                            {"heatLevel", x->heatLevel()}};
        return m.value(field);
    }
    if (auto *x = dynamic_cast<const BoolControlV1 *>(c))
        return x->bitValue();
    if (auto *x = dynamic_cast<const ResbtControlV1 *>(c))
        return int(x->byteValue());
    if (auto *x = dynamic_cast<const ByteControlV1 *>(c))
        return x->value();
    if (auto *x = dynamic_cast<const SliderControlV1 *>(c))
        return x->value();
    if (auto *x = dynamic_cast<const DynTextControlV1 *>(c))
        return x->text();
    return QVariant();
}

} // namespace

class TestControlRecords : public QObject
{
    Q_OBJECT

private slots:
    void binding_data();
    void binding();
    void firstRegister_data();
    void firstRegister();
    void typeD_data();
    void typeD();
    void defaults_data();
    void defaults();
    void creationAndPlacement();
    void cloneIsDeepAndIndependent_data();
    void cloneIsDeepAndIndependent();
    void decoding_data();
    void decoding();
    void shortDataChangesNothing_data();
    void shortDataChangesNothing();
    void lampUpdatesSensorAndSceneSwitch();
    void firstLampNamingASceneSwitchWins();
};

void TestControlRecords::binding_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("setter");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("byteAddress");
    QTest::addColumn<int>("oddOffset");
    QTest::addColumn<int>("fetchLength");
    using namespace ControlConstants;
    // clang-format off
    QTest::newRow("odd address, 1 byte") << int(KindBool) << "byteAddress" << 1849 << 1849 << 1 << 2;
    QTest::newRow("even address, 1 byte") << int(KindBool) << "byteAddress" << 1848 << 1848 << 0 << 2;
    QTest::newRow("odd address, 4 bytes") << int(KindByte) << "byteAddress" << 57 << 57 << 1 << 6;
    QTest::newRow("even address, 4 bytes") << int(KindByte) << "byteAddress" << 58 << 58 << 0 << 4;
    QTest::newRow("negative odd address") << int(KindBool) << "byteAddress" << -3 << -3 << 0 << 2;
    QTest::newRow("lamp 3") << int(KindLight) << "lmpNumber" << 3 << 636 << 0 << 8;
    QTest::newRow("lamp 11") << int(KindLight) << "lmpNumber" << 11 << 700 << 0 << 8;
    QTest::newRow("lamp 0") << int(KindLight) << "lmpNumber" << 0 << 612 << 0 << 8;
    QTest::newRow("lamp absurd number") << int(KindLight) << "lmpNumber" << kIntMax << kIntMax << 1 << 10;
    QTest::newRow("thermostat 2") << int(KindHeat) << "swcNumber" << 2 << 304 << 0 << 4;
    QTest::newRow("thermostat absurd negative") << int(KindHeat) << "swcNumber" << std::numeric_limits<int>::min() << std::numeric_limits<int>::min() << 0 << 4;
    QTest::newRow("dyn text 7 bytes odd") << int(KindDynText) << "maximum@101" << 7 << 101 << 1 << 8;
    QTest::newRow("dyn text 7 bytes even") << int(KindDynText) << "maximum@100" << 7 << 100 << 0 << 8;
    QTest::newRow("dyn text length 0 ignored") << int(KindDynText) << "maximum@100" << 0 << 100 << 0 << 2;
    QTest::newRow("dyn text length -1 ignored") << int(KindDynText) << "maximum@101" << -1 << 101 << 1 << 2;
    QTest::newRow("dyn text absurd length") << int(KindDynText) << "maximum@101" << kIntMax << 101 << 1 << kIntMax - 1;
    // clang-format on
}

void TestControlRecords::binding()
{
    QFETCH(int, kind);
    QFETCH(QString, setter);
    QFETCH(int, value);
    QFETCH(int, byteAddress);
    QFETCH(int, oddOffset);
    QFETCH(int, fetchLength);
    RoomStructV1 room;
    auto *c = static_cast<DynamicControlV1 *>(room.createControl(kind, {}, {}, {}));
    QVERIFY(c);
    if (setter == QLatin1String("byteAddress")) {
        c->setByteAddress(value);
    } else if (setter == QLatin1String("lmpNumber")) {
        static_cast<LightControlV1 *>(c)->setLmpNumber(value);
    } else if (setter == QLatin1String("swcNumber")) {
        static_cast<HeatControlV1 *>(c)->setSwcNumber(value);
    } else {
        c->setByteAddress(setter.section(QLatin1Char('@'), 1).toInt());
        static_cast<DynTextControlV1 *>(c)->setMaximum(value);
    }
    QCOMPARE(c->byteAddress(), byteAddress);
    QCOMPARE(c->oddOffset(), oddOffset);
    QCOMPARE(c->fetchLength(), fetchLength);
    QCOMPARE(c->fetchLength() % 2, 0);
}

void TestControlRecords::firstRegister_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("expected");
    QTest::newRow("no offset, odd address") << 0 << 1849 << 924;
    QTest::newRow("offset 500") << 500 << 10 << 505;
    QTest::newRow("negative offset") << -1 << 10 << 0;
    QTest::newRow("negative address") << 10 << -2 << 0;
    QTest::newRow("sum beyond int") << kIntMax << kIntMax << kIntMax;
}

void TestControlRecords::firstRegister()
{
    QFETCH(int, offset);
    QFETCH(int, address);
    QFETCH(int, expected);
    QCOMPARE(DynamicControlV1::firstRegister(offset, address), expected);
}

void TestControlRecords::typeD_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("writtenAs");
    QTest::newRow("BYTE") << "BYTE" << 0 << "BYTE";
    QTest::newRow("WORD") << "WORD" << 1 << "WORD";
    QTest::newRow("DWORD") << "DWORD" << 2 << "DWORD";
    QTest::newRow("DINT") << "DINT" << 0 << "BYTE";
    QTest::newRow("lower-case word") << "word" << 0 << "BYTE";
    QTest::newRow("empty") << "" << 0 << "BYTE";
}

void TestControlRecords::typeD()
{
    QFETCH(QString, text);
    QFETCH(int, type);
    QFETCH(QString, writtenAs);
    ByteControlV1 c;
    c.setTypeD(text);
    QCOMPARE(c.typeD(), type);
    QCOMPARE(c.typeDText(), writtenAs);
    QCOMPARE(DynamicControlV1::typeDToText(7), QStringLiteral("BYTE"));
}

void TestControlRecords::defaults_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QVariantMap>("expected");
    using namespace ControlConstants;
    // clang-format off
    QTest::newRow("switch") << int(KindSwitch) << QVariantMap{{"imageOn", "img/switch.png"}, {"imageScene", "img/switchscn.png"}, {"swcNumber", 1}, {"zIndex", 0.0}};
    QTest::newRow("sensor") << int(KindSensor) << QVariantMap{{"imageOn", "img/piron.png"}, {"imageOff", "img/piroff.png"}, {"imageDis", "img/pirdis.png"}, {"snrNumber", 1}};
    QTest::newRow("text") << int(KindText) << QVariantMap{{"fontColor", "#FFFFFF"}, {"fontFamily", "Arial"}, {"width", 80}, {"height", 80}, {"fontSize", 12}, {"showRound", false}, {"fontType", 50}, {"textAlign", 132}};
    QTest::newRow("system") << int(KindSystem) << QVariantMap{{"fileName", ""}, {"systType", 111}};
    QTest::newRow("weather") << int(KindWeather) << QVariantMap{{"cityId", ""}};
    QTest::newRow("ipcam") << int(KindIpCam) << QVariantMap{{"width", 300}, {"height", 300}, {"fps", 0}, {"showptz", false}, {"port", ""}};
    QTest::newRow("avcam") << int(KindAVCam) << QVariantMap{{"width", 300}, {"height", 300}, {"showRound", false}};
    QTest::newRow("bool") << int(KindBool) << QVariantMap{{"imageOn", "img/on.png"}, {"imageOff", "img/off.png"}, {"bitNumber", 0}, {"dataLength", 1}, {"fetchLength", 2}};
    QTest::newRow("bit button") << int(KindBtn) << QVariantMap{{"width", 120}, {"height", 30}, {"dataLength", 1}};
    QTest::newRow("byte") << int(KindByte) << QVariantMap{{"fontColor", "black"}, {"maximum", 255}, {"precisionView", 2}, {"maxval", 255}, {"width", 180}, {"height", 80}, {"step", 1.0}, {"showRound", true}, {"dataLength", 4}, {"fetchLength", 4}};
    QTest::newRow("thermostat") << int(KindHeat) << QVariantMap{{"swcNumber", 1}, {"byteAddress", 300}, {"width", 180}, {"height", 100}, {"dataLength", 4}};
    QTest::newRow("lamp") << int(KindLight) << QVariantMap{{"imageOn", "img/lighton.png"}, {"imageOff", "img/lightoff.png"}, {"sliderColor", "blue"}, {"lmpNumber", 1}, {"byteAddress", 620}, {"dataLength", 8}, {"fetchLength", 8}, {"dimmer", false}};
    QTest::newRow("byte button") << int(KindResbt) << QVariantMap{{"imageOn", "img/on.png"}, {"val", 0}, {"dataLength", 1}};
    QTest::newRow("dyn text") << int(KindDynText) << QVariantMap{{"fontFamily", "Arial"}, {"showRound", true}, {"textAlign", 132}, {"dataLength", 1}};
    QTest::newRow("text write") << int(KindTextWrite) << QVariantMap{{"fontColor", "black"}, {"maximum", 255}, {"showRound", true}, {"dataLength", 1}};
    QTest::newRow("hslider") << int(KindHSlider) << QVariantMap{{"sliderColor", "#017afd"}, {"precisionView", 0}, {"step", 1.0}, {"showRound", false}, {"dataLength", 4}};
    QTest::newRow("vslider") << int(KindVSlider) << QVariantMap{{"sliderColor", "#017afd"}, {"maxval", 255}, {"dataLength", 4}};
    // clang-format on
}

void TestControlRecords::defaults()
{
    QFETCH(int, kind);
    QFETCH(QVariantMap, expected);
    RoomStructV1 room;
    const BaseControlV1 *c = room.createControl(kind, {}, {}, {});
    QVERIFY(c);
    QCOMPARE(c->kind(), kind);
    QCOMPARE(c->isControllerBound(), ControlConstants::isControllerBound(kind));
    const QVariantMap fields = ModelDump::control(c);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QVERIFY2(fields.contains(it.key()), qPrintable(it.key()));
        QCOMPARE(fields.value(it.key()).toString(), it.value().toString());
    }
    if (const auto *sensor = dynamic_cast<const SensorControlV1 *>(c))
        QCOMPARE(sensor->sensorState(), 2);
    if (const auto *lamp = dynamic_cast<const LightControlV1 *>(c))
        QCOMPARE(lamp->lampState(), 1);
}

void TestControlRecords::creationAndPlacement()
{
    RoomStructV1 room;
    LightControlV1 *lamp =
        room.createLight(QStringLiteral("l1"), QStringLiteral("Lamp"), {-5, -3.5});
    QCOMPARE(lamp->name(), QStringLiteral("l1"));
    QCOMPARE(lamp->textB(), QStringLiteral("Lamp"));
    QCOMPARE(lamp->posX(), 0.0);
    QCOMPARE(lamp->posY(), -3.5);
    QVERIFY(lamp->runtimeId().startsWith(QLatin1String("rst")));
    bool numeric = false;
    lamp->runtimeId().mid(3).toULongLong(&numeric);
    QVERIFY(numeric);
    QCOMPARE(room.indexById(lamp->runtimeId()), 0);

    lamp->setZIndex(0.5);
    lamp->setZIndex(2);
    QCOMPARE(lamp->zIndex(), 0.5);
    lamp->setZIndex(-0.1);
    QCOMPARE(lamp->zIndex(), 0.5);
    lamp->setZIndex(std::numeric_limits<double>::quiet_NaN());
    QCOMPARE(lamp->zIndex(), 0.5);

    // addControl hands out a fresh id and revives a deleted record.
    auto copy = std::unique_ptr<BaseControlV1>(lamp->clone());
    copy->setDeleted(true);
    const QString oldId = copy->runtimeId();
    BaseControlV1 *raw = copy.get();
    QCOMPARE(room.addControl(std::move(copy)), 1);
    QVERIFY(raw->runtimeId() != oldId);
    QVERIFY(!raw->isDeleted());
    QCOMPARE(room.controlById(raw->runtimeId()), raw);
    QCOMPARE(room.controlById(QStringLiteral("rst0")), nullptr);
    QCOMPARE(room.controlAt(2), nullptr);
    QCOMPARE(room.controlAt(-1), nullptr);
    QCOMPARE(room.createControl(ControlConstants::KindDynamic, {}, {}, {}), nullptr);
    QCOMPARE(room.createControl(ControlConstants::KindScene, {}, {}, {}), nullptr);
}

void TestControlRecords::cloneIsDeepAndIndependent_data()
{
    QTest::addColumn<int>("kind");
    for (int kind : {3, 4, 5, 6, 7, 8, 9, 100, 101, 102, 104, 105, 106, 107, 108, 109, 110})
        QTest::newRow(qPrintable(ControlConstants::tagForKind(kind))) << kind;
}

void TestControlRecords::cloneIsDeepAndIndependent()
{
    QFETCH(int, kind);
    RoomStructV1 room;
    BaseControlV1 *original =
        room.createControl(kind, QStringLiteral("n"), QStringLiteral("t"), {12.5, 40});
    if (auto *d = dynamic_cast<DynamicControlV1 *>(original))
        d->setData(QByteArray::fromHex("0102030405060708"));
    std::unique_ptr<BaseControlV1> copy(original->clone());
    QCOMPARE(copy->kind(), kind);
    QCOMPARE(copy->runtimeId(), original->runtimeId());
    QCOMPARE(ModelDump::control(copy.get()), ModelDump::control(original));
    copy->setTextB(QStringLiteral("changed"));
    if (auto *d = dynamic_cast<DynamicControlV1 *>(copy.get())) {
        QCOMPARE(d->data(), QByteArray::fromHex("0102030405060708"));
        QByteArray bytes = d->data();
        bytes[0] = 9;
        d->setData(bytes);
        QCOMPARE(static_cast<DynamicControlV1 *>(original)->data().at(0), char(1));
    }
    QCOMPARE(original->textB(), QStringLiteral("t"));
}

void TestControlRecords::decoding_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("address");    // -1: keep the kind's own
    QTest::addColumn<QString>("option"); // typeD text or bit number
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("expected");
    using namespace ControlConstants;
    // clang-format off
    QTest::newRow("lamp on, brightness 5") << int(KindLight) << -1 << "" << QByteArray("5100000000000000") << "lampState" << QVariant(0);
    QTest::newRow("lamp brightness high nibble") << int(KindLight) << -1 << "" << QByteArray("5100000000000000") << "brightness" << QVariant(5);
    QTest::newRow("lamp off keeps brightness") << int(KindLight) << -1 << "" << QByteArray("f000000000000000") << "lampState" << QVariant(1);
    QTest::newRow("lamp brightness 15") << int(KindLight) << -1 << "" << QByteArray("f100000000000000") << "brightness" << QVariant(15);
    QTest::newRow("lamp switch 1") << int(KindLight) << -1 << "" << QByteArray("0103040500000000") << "switch1" << QVariant(3);
    QTest::newRow("lamp switch 3") << int(KindLight) << -1 << "" << QByteArray("0103040500000000") << "switch3" << QVariant(5);
    QTest::newRow("lamp sensor") << int(KindLight) << -1 << "" << QByteArray("0000000007000000") << "sensorNumber" << QVariant(7);
    QTest::newRow("lamp scene switch") << int(KindLight) << -1 << "" << QByteArray("00000000000c0209") << "sceneSwitch" << QVariant(2);
    QTest::newRow("thermostat temperature") << int(KindHeat) << -1 << "" << QByteArray("64690937") << "temperature" << QVariant(20.0);
    QTest::newRow("thermostat set-point") << int(KindHeat) << -1 << "" << QByteArray("64690937") << "setPoint" << QVariant(105);
    QTest::newRow("thermostat level skips byte 2") << int(KindHeat) << -1 << "" << QByteArray("64690937") << "heatLevel" << QVariant(55);
    QTest::newRow("thermostat bytes unsigned") << int(KindHeat) << -1 << "" << QByteArray("ff000000") << "temperature" << QVariant(51.0);
    QTest::newRow("bit 0 set") << int(KindBool) << 100 << "0" << QByteArray("0100") << "bitValue" << QVariant(true);
    QTest::newRow("bit 7 set") << int(KindBool) << 100 << "7" << QByteArray("8000") << "bitValue" << QVariant(true);
    QTest::newRow("bit 3 clear") << int(KindBool) << 100 << "3" << QByteArray("f700") << "bitValue" << QVariant(false);
    QTest::newRow("bit of odd address") << int(KindBool) << 101 << "1" << QByteArray("0002") << "bitValue" << QVariant(true);
    QTest::newRow("bit 8 never decodes") << int(KindBool) << 100 << "8" << QByteArray("ffff") << "bitValue" << QVariant(false);
    QTest::newRow("bit -1 never decodes") << int(KindBool) << 100 << "-1" << QByteArray("ffff") << "bitValue" << QVariant(false);
    QTest::newRow("byte unsigned") << int(KindByte) << 100 << "BYTE" << QByteArray("ff000000") << "value" << QVariant(255.0);
    QTest::newRow("byte at odd address") << int(KindByte) << 101 << "BYTE" << QByteArray("00200000000000") << "value" << QVariant(32.0);
    QTest::newRow("word little-endian") << int(KindByte) << 100 << "WORD" << QByteArray("34120000") << "value" << QVariant(4660.0);
    QTest::newRow("word at odd address") << int(KindByte) << 57 << "WORD" << QByteArray("00cdab000000") << "value" << QVariant(43981.0);
    QTest::newRow("dword little-endian") << int(KindByte) << 100 << "DWORD" << QByteArray("78563412") << "value" << QVariant(305419896.0);
    QTest::newRow("dword unsigned") << int(KindByte) << 100 << "DWORD" << QByteArray("ffffffff") << "value" << QVariant(4294967295.0);
    QTest::newRow("hslider word") << int(KindHSlider) << 100 << "WORD" << QByteArray("e8030000") << "value" << QVariant(1000.0);
    QTest::newRow("vslider byte") << int(KindVSlider) << 100 << "BYTE" << QByteArray("80000000") << "value" << QVariant(128.0);
    QTest::newRow("byte button") << int(KindResbt) << 101 << "" << QByteArray("11fe") << "byteValue" << QVariant(254);
    QTest::newRow("dyn text to first zero") << int(KindDynText) << 100 << "8" << QByteArray("4f4b005858585858") << "text" << QVariant("OK");
    // The controller's single-byte encoding, not the system's locale.
    QTest::newRow("dyn text in cyrillic") << int(KindDynText) << 100 << "8" << QByteArray("d3e6e8ed00000000") << "text" << QVariant(QStringLiteral("Ужин"));
    QTest::newRow("dyn text without zero") << int(KindDynText) << 100 << "4" << QByteArray("48656174") << "text" << QVariant("Heat");
    QTest::newRow("dyn text from odd offset") << int(KindDynText) << 101 << "3" << QByteArray("58414200") << "text" << QVariant("AB");
    QTest::newRow("dyn text starting with zero") << int(KindDynText) << 100 << "4" << QByteArray("00414243") << "text" << QVariant("");
    // clang-format on
}

void TestControlRecords::decoding()
{
    QFETCH(int, kind);
    QFETCH(int, address);
    QFETCH(QString, option);
    QFETCH(QByteArray, hex);
    QFETCH(QString, field);
    QFETCH(QVariant, expected);
    RoomStructV1 room;
    auto *c = static_cast<DynamicControlV1 *>(room.createControl(kind, {}, {}, {}));
    if (address >= 0)
        c->setByteAddress(address);
    if (auto *b = dynamic_cast<BoolControlV1 *>(c))
        b->setBitNumber(option.toInt());
    else if (auto *t = dynamic_cast<DynTextControlV1 *>(c))
        t->setMaximum(option.toInt());
    else if (!option.isEmpty())
        c->setTypeD(option);
    c->setData(QByteArray::fromHex(hex));
    c->decode(c->fetchLength(), &room);
    QCOMPARE(decoded(c, field).toString(), expected.toString());
}

void TestControlRecords::shortDataChangesNothing_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("field");
    using namespace ControlConstants;
    QTest::newRow("lamp") << int(KindLight) << "lampState";
    QTest::newRow("thermostat") << int(KindHeat) << "temperature";
    QTest::newRow("bool") << int(KindBool) << "bitValue";
    QTest::newRow("byte") << int(KindByte) << "value";
    QTest::newRow("byte button") << int(KindResbt) << "byteValue";
    QTest::newRow("slider") << int(KindHSlider) << "value";
    QTest::newRow("dyn text") << int(KindDynText) << "text";
}

void TestControlRecords::shortDataChangesNothing()
{
    QFETCH(int, kind);
    QFETCH(QString, field);
    RoomStructV1 room;
    auto *c = static_cast<DynamicControlV1 *>(room.createControl(kind, {}, {}, {}));
    c->setByteAddress(c->byteAddress() | 1); // odd: the data starts one byte in
    if (auto *t = dynamic_cast<DynTextControlV1 *>(c))
        t->setMaximum(5);
    c->setData(QByteArray(c->fetchLength(), char(0x11)));
    c->decode(c->fetchLength(), &room);
    const QVariant before = decoded(c, field);
    QVERIFY(before.isValid());
    for (int length = 0; length < c->fetchLength(); ++length) {
        c->setData(QByteArray(length, char(0xff)));
        c->decode(c->fetchLength(), &room);
        QCOMPARE(decoded(c, field), before);
    }
    // Even a caller that passes no minimum never reads past the bytes there are.
    c->setData(QByteArray(1, char(0xff)));
    c->decode(0, &room);
}

void TestControlRecords::lampUpdatesSensorAndSceneSwitch()
{
    RoomStructV1 room;
    SensorControlV1 *other = room.createSensor(QStringLiteral("s2"), {}, {});
    other->setSnrNumber(2);
    SensorControlV1 *sensor = room.createSensor(QStringLiteral("s4"), {}, {});
    sensor->setSnrNumber(4);
    SensorControlV1 *twin = room.createSensor(QStringLiteral("s4b"), {}, {});
    twin->setSnrNumber(4);
    SwitchControlV1 *sceneSwitch = room.createSwitch(QStringLiteral("w3"), {}, {});
    sceneSwitch->setSwcNumber(3);
    LightControlV1 *lamp = room.createLight(QStringLiteral("l"), {}, {});

    // On, sensor 4, scene switch 3 with scene 9.
    lamp->setData(QByteArray::fromHex("0100000004000309"));
    lamp->decode(lamp->fetchLength(), &room);
    QCOMPARE(sensor->sensorState(), 0);
    QCOMPARE(twin->sensorState(), 2); // only the first sensor with the number
    QCOMPARE(other->sensorState(), 2);
    QCOMPARE(sceneSwitch->switchMode(), 1);
    QCOMPARE(int(sceneSwitch->sceneNumber()), 9);

    // Off: the sensor shows 1. Scene switch 0 names no switch.
    sceneSwitch->setSwitchMode(0);
    lamp->setData(QByteArray::fromHex("0000000004000000"));
    lamp->decode(lamp->fetchLength(), &room);
    QCOMPARE(sensor->sensorState(), 1);
    QCOMPARE(sceneSwitch->switchMode(), 0);

    // Without its page a lamp decodes only itself.
    lamp->setData(QByteArray::fromHex("0100000004000309"));
    lamp->decode(lamp->fetchLength(), nullptr);
    QCOMPARE(lamp->lampState(), 0);
    QCOMPARE(sensor->sensorState(), 1);

    QCOMPARE(room.lampsOfSensor(4 + 256), QList<LightControlV1 *>{lamp});
    QCOMPARE(room.lampsOfSwitch(3).size(), 0);
    QCOMPARE(room.switches(), QList<SwitchControlV1 *>{sceneSwitch});
}

void TestControlRecords::firstLampNamingASceneSwitchWins()
{
    RoomStructV1 room;
    SwitchControlV1 *sceneSwitch = room.createSwitch(QStringLiteral("w"), {}, {});
    sceneSwitch->setSwcNumber(5);
    LightControlV1 *first = room.createLight(QStringLiteral("a"), {}, {});
    LightControlV1 *second = room.createLight(QStringLiteral("b"), {}, {});
    second->setLmpNumber(2);
    first->setData(QByteArray::fromHex("0000000000000507"));
    second->setData(QByteArray::fromHex("0000000000000508"));
    first->decode(8, &room);
    second->decode(8, &room);
    QCOMPARE(int(sceneSwitch->sceneNumber()), 7);
    QCOMPARE(int(second->sceneSwitch()), 5);
}

QTEST_GUILESS_MAIN(TestControlRecords)
#include "tst_controlrecords.moc"
