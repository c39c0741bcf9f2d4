// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "avcamcontrolv1.h"
#include "basecontrolv1.h"
#include "boolcontrolv1.h"
#include "btncontrolv1.h"
#include "bytecontrolv1.h"
#include "dyntextcontrolv1.h"
#include "fileorigin.h"
#include "floorstructv1.h"
#include "heatcontrolv1.h"
#include "hslidercontrolv1.h"
#include "ipcamcontrolv1.h"
#include "lightcontrolv1.h"
#include "mainstructv1.h"
#include "modeldump.h"
#include "projectreaderv1.h"
#include "projectwriterv1.h"
#include "resbtcontrolv1.h"
#include "roomstructv1.h"
#include "sensorcontrolv1.h"
#include "switchcontrolv1.h"
#include "systemcontrolv1.h"
#include "textcontrolv1.h"
#include "textwritecontrolv1.h"
#include "vslidercontrolv1.h"
#include "weathercontrolv1.h"
#include "xmldocument.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <limits>

namespace {

std::unique_ptr<MainStructV1> parseTree(const QString &fileName, const QString &xml)
{
    XmlDocument document;
    if (!document.parse(xml))
        return nullptr;
    return ProjectReaderV1::readSubsystem(document.root(), fileName);
}

// A single control element read inside a room of a lighting file.
QVariantMap readSingleControl(const QString &element)
{
    const auto root = parseTree(QStringLiteral("light_config.xml"),
                                QStringLiteral("<subsystems><floor name='f'><room name='r'>%1"
                                               "</room></floor></subsystems>")
                                    .arg(element));
    if (!root || root->floors().isEmpty() || root->floors().first()->rooms().isEmpty())
        return {};
    const RoomStructV1 *room = root->floors().first()->rooms().first();
    if (room->controlCount() != 1)
        return {{QStringLiteral("controlCount"), room->controlCount()}};
    return ModelDump::control(room->controls().first());
}

// Compact picture of a tree's structure: pages with their scene and control counts.
QString outline(const MainStructV1 *root)
{
    const auto pageText = [](const BaseRoomV1 *p) {
        return QStringLiteral("%1(s%2,c%3)")
            .arg(p->name())
            .arg(p->scenes().size())
            .arg(p->controlCount());
    };
    QStringList parts{pageText(root)};
    for (const FloorStructV1 *floor : root->floors()) {
        parts << pageText(floor);
        for (const RoomStructV1 *room : floor->rooms())
            parts << QStringLiteral("/") + pageText(room);
    }
    return parts.join(QLatin1Char(' '));
}

// What survives a round trip by design: the name of system buttons, weather tiles and cameras
// is not stored.
std::unique_ptr<MainStructV1> writeAndReadBack(const MainStructV1 *root, const QString &fileName)
{
    const QByteArray text = XmlDocument::toByteArray(ProjectWriterV1::buildTree(root));
    XmlDocument document;
    if (!document.parse(text))
        return nullptr;
    return ProjectReaderV1::readSubsystem(document.root(), fileName);
}

QStringList attributeNames(const XML::NodeElementPtr &element)
{
    QStringList names = element->attributes().keys();
    names.sort();
    return names;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

} // namespace

class TestProjectFiles : public QObject
{
    Q_OBJECT

private slots:
    void conversions_data();
    void conversions();
    void systemTypeByFileName_data();
    void systemTypeByFileName();
    void controlAttributes_data();
    void controlAttributes();
    void pageAttributes();
    void nesting_data();
    void nesting();
    void unreadableFiles_data();
    void unreadableFiles();
    void writtenAttributes_data();
    void writtenAttributes();
    void nameWrittenOnlyWhenSet_data();
    void nameWrittenOnlyWhenSet();
    void keywordsWrittenAsText_data();
    void keywordsWrittenAsText();
    void childOrderAndDeletedItems();
    void fixtureRoundTrip_data();
    void fixtureRoundTrip();
    void generatedRoundTrip();
    void absurdValuesStaySafe_data();
    void absurdValuesStaySafe();
};

void TestProjectFiles::conversions_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QVariant>("text");
    QTest::addColumn<QVariant>("expected");

    const QVariant absent;
    // clang-format off
    QTest::newRow("int plain") << "int" << QVariant("26063") << QVariant(26063);
    QTest::newRow("int negative") << "int" << QVariant("-3") << QVariant(-3);
    QTest::newRow("int plus sign") << "int" << QVariant("+7") << QVariant(7);
    QTest::newRow("int absent") << "int" << absent << QVariant(0);
    QTest::newRow("int empty") << "int" << QVariant("") << QVariant(0);
    QTest::newRow("int word") << "int" << QVariant("ten") << QVariant(0);
    QTest::newRow("int decimal") << "int" << QVariant("1.5") << QVariant(0);
    QTest::newRow("int overflow") << "int" << QVariant("99999999999") << QVariant(0);
    QTest::newRow("double long decimal") << "double" << QVariant("77.94871794871794") << QVariant(77.94871794871794);
    QTest::newRow("double negative") << "double" << QVariant("-3.533190578158458") << QVariant(-3.533190578158458);
    QTest::newRow("double exponent") << "double" << QVariant("1e2") << QVariant(100.0);
    QTest::newRow("double integer text") << "double" << QVariant("26063") << QVariant(26063.0);
    QTest::newRow("double comma") << "double" << QVariant("1,5") << QVariant(0.0);
    QTest::newRow("double absent") << "double" << absent << QVariant(0.0);
    QTest::newRow("double nan") << "double" << QVariant("nan") << QVariant(0.0);
    QTest::newRow("double inf") << "double" << QVariant("inf") << QVariant(0.0);
    QTest::newRow("bool absent") << "bool" << absent << QVariant(false);
    QTest::newRow("bool empty") << "bool" << QVariant("") << QVariant(false);
    QTest::newRow("bool zero") << "bool" << QVariant("0") << QVariant(false);
    QTest::newRow("bool false") << "bool" << QVariant("false") << QVariant(false);
    QTest::newRow("bool False") << "bool" << QVariant("False") << QVariant(false);
    QTest::newRow("bool FALSE") << "bool" << QVariant("FALSE") << QVariant(false);
    QTest::newRow("bool true") << "bool" << QVariant("true") << QVariant(true);
    QTest::newRow("bool one") << "bool" << QVariant("1") << QVariant(true);
    QTest::newRow("bool no is true") << "bool" << QVariant("no") << QVariant(true);
    // clang-format on
}

void TestProjectFiles::conversions()
{
    QFETCH(QString, type);
    QFETCH(QVariant, text);
    QFETCH(QVariant, expected);
    if (type == QLatin1String("int"))
        QCOMPARE(ProjectReaderV1::toInt(text), expected.toInt());
    else if (type == QLatin1String("double"))
        QCOMPARE(ProjectReaderV1::toDouble(text), expected.toDouble());
    else
        QCOMPARE(ProjectReaderV1::toBool(text), expected.toBool());
}

void TestProjectFiles::systemTypeByFileName_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("type");
    QTest::newRow("main") << "main_config.xml" << int(BaseRoomV1::MainSystem);
    QTest::newRow("light") << "light_config.xml" << int(BaseRoomV1::LightSystem);
    QTest::newRow("heat") << "heat_config.xml" << int(BaseRoomV1::HeatSystem);
    QTest::newRow("other") << "ohrana.xml" << int(BaseRoomV1::OtherSystem);
    QTest::newRow("main in other case") << "Main_config.xml" << int(BaseRoomV1::OtherSystem);
    QTest::newRow("light upper case") << "LIGHT_CONFIG.XML" << int(BaseRoomV1::OtherSystem);
}

void TestProjectFiles::systemTypeByFileName()
{
    QFETCH(QString, fileName);
    QFETCH(int, type);
    const auto root =
        parseTree(fileName, QStringLiteral("<subsystems><floor><room/></floor></subsystems>"));
    QVERIFY(root);
    QCOMPARE(int(root->systemType()), type);
    // Every page of the tree carries the root's type.
    QCOMPARE(int(root->floors().first()->systemType()), type);
    QCOMPARE(int(root->floors().first()->rooms().first()->systemType()), type);
}

void TestProjectFiles::controlAttributes_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("expected");

    // clang-format off
    QTest::newRow("lamp number sets address") << "<lamp lmpNumber='11'/>" << "byteAddress" << QVariant(700);
    QTest::newRow("lamp number absent: lamp 0") << "<lamp/>" << "byteAddress" << QVariant(612);
    QTest::newRow("lamp record fetch") << "<lamp lmpNumber='3'/>" << "fetchLength" << QVariant(8);
    QTest::newRow("lamp slider colour absent is empty") << "<lamp/>" << "sliderColor" << QVariant("");
    QTest::newRow("lamp image absent is empty") << "<lamp/>" << "imageOn" << QVariant("");
    QTest::newRow("lamp dimmer") << "<lamp dimmer='true'/>" << "dimmer" << QVariant(true);
    QTest::newRow("thermostat number sets address") << "<heat swcNumber='3'/>" << "byteAddress" << QVariant(308);
    QTest::newRow("thermostat number absent") << "<heat/>" << "byteAddress" << QVariant(296);
    QTest::newRow("thermostat width absent is 0") << "<heat/>" << "width" << QVariant(0);
    QTest::newRow("byte step absent is 0") << "<bytecnt/>" << "step" << QVariant(0.0);
    QTest::newRow("byte typeD DINT") << "<bytecnt typeD='DINT'/>" << "typeD" << QVariant(0);
    QTest::newRow("byte typeD lower-case word") << "<bytecnt typeD='word'/>" << "typeD" << QVariant(0);
    QTest::newRow("byte typeD WORD") << "<bytecnt typeD='WORD'/>" << "typeD" << QVariant(1);
    QTest::newRow("byte typeD DWORD") << "<bytecnt typeD='DWORD'/>" << "typeD" << QVariant(2);
    QTest::newRow("byte odd address fetch") << "<bytecnt byteAddress='57'/>" << "fetchLength" << QVariant(6);
    QTest::newRow("byte odd address offset") << "<bytecnt byteAddress='57'/>" << "oddOffset" << QVariant(1);
    QTest::newRow("byte editable") << "<bytecnt isEditable='1'/>" << "isEditable" << QVariant(true);
    QTest::newRow("text empty family") << "<textcnt fontFamily=''/>" << "fontFamily" << QVariant("Arial");
    QTest::newRow("text absent family") << "<textcnt/>" << "fontFamily" << QVariant("Arial");
    QTest::newRow("text align left") << "<textcnt textAlign='left'/>" << "textAlign" << QVariant(1);
    QTest::newRow("text align right") << "<textcnt textAlign='right'/>" << "textAlign" << QVariant(2);
    QTest::newRow("text align Center") << "<textcnt textAlign='Center'/>" << "textAlign" << QVariant(132);
    QTest::newRow("text align absent") << "<textcnt/>" << "textAlign" << QVariant(132);
    QTest::newRow("text align Left is centred") << "<textcnt textAlign='Left'/>" << "textAlign" << QVariant(132);
    QTest::newRow("dyn text empty family") << "<dyntextcnt fontFamily=''/>" << "fontFamily" << QVariant("Arial");
    QTest::newRow("dyn text maximum 0 keeps 1") << "<dyntextcnt maximum='0'/>" << "dataLength" << QVariant(1);
    QTest::newRow("dyn text maximum -4 keeps 1") << "<dyntextcnt maximum='-4'/>" << "dataLength" << QVariant(1);
    QTest::newRow("dyn text maximum 20 at odd address")
        << "<dyntextcnt byteAddress='1849' maximum='20'/>" << "fetchLength" << QVariant(22);
    QTest::newRow("bool read-only False") << "<boolcnt isReadOnly='False'/>" << "isReadOnly" << QVariant(false);
    QTest::newRow("bool read-only word") << "<boolcnt isReadOnly='yes'/>" << "isReadOnly" << QVariant(true);
    QTest::newRow("bool zIndex absent is 0") << "<boolcnt/>" << "zIndex" << QVariant(0.0);
    QTest::newRow("bool zIndex 2 rejected") << "<boolcnt zIndex='2'/>" << "zIndex" << QVariant(0.0);
    QTest::newRow("bool zIndex 0.25") << "<boolcnt zIndex='0.25'/>" << "zIndex" << QVariant(0.25);
    QTest::newRow("negative posX stored as 0") << "<switch posX='-5'/>" << "posX" << QVariant(0.0);
    QTest::newRow("negative posY kept") << "<switch posY='-3.533190578158458'/>" << "posY" << QVariant(-3.533190578158458);
    QTest::newRow("switch number absent is 0") << "<switch/>" << "swcNumber" << QVariant(0);
    QTest::newRow("sensor number") << "<sensor snrNumber='7'/>" << "snrNumber" << QVariant(7);
    QTest::newRow("weather city into caption") << "<weather name='w' cityName='Springfield'/>" << "textB" << QVariant("Springfield");
    QTest::newRow("weather name read") << "<weather name='w' cityName='Springfield'/>" << "name" << QVariant("w");
    QTest::newRow("system normal is none") << "<syscontrol systType='normal'/>" << "systType" << QVariant(111);
    QTest::newRow("system empty is none") << "<syscontrol systType=''/>" << "systType" << QVariant(111);
    QTest::newRow("system subst") << "<syscontrol systType='subst'/>" << "systType" << QVariant(100);
    QTest::newRow("system Light is none") << "<syscontrol systType='Light'/>" << "systType" << QVariant(111);
    QTest::newRow("system heat") << "<syscontrol systType='heat'/>" << "systType" << QVariant(9);
    QTest::newRow("system history") << "<syscontrol systType='history'/>" << "systType" << QVariant(120);
    QTest::newRow("system History is none") << "<syscontrol systType='History'/>" << "systType" << QVariant(111);
    QTest::newRow("camera name into caption") << "<ipcam camname='Porch' textB='x'/>" << "textB" << QVariant("Porch");
    QTest::newRow("camera port is text") << "<avcam port='0080'/>" << "port" << QVariant("0080");
    QTest::newRow("text write maximum") << "<textwritecnt maximum='16'/>" << "maximum" << QVariant(16);
    QTest::newRow("slider step") << "<vslider step='0.5'/>" << "step" << QVariant(0.5);
    QTest::newRow("slider typeD") << "<hslider typeD='DWORD'/>" << "typeD" << QVariant(2);
    QTest::newRow("byte button value") << "<resbt val='3' byteAddress='1801'/>" << "val" << QVariant(3);
    QTest::newRow("bit button size absent") << "<btncnt/>" << "width" << QVariant(0);
    QTest::newRow("basecnt creates nothing") << "<basecnt name='x'/>" << "controlCount" << QVariant(0);
    QTest::newRow("unknown tag creates nothing") << "<Lamp name='x'/>" << "controlCount" << QVariant(0);
    // clang-format on
}

void TestProjectFiles::controlAttributes()
{
    QFETCH(QString, element);
    QFETCH(QString, field);
    QFETCH(QVariant, expected);
    const QVariantMap fields = readSingleControl(element);
    QVERIFY2(fields.contains(field), qPrintable(QStringLiteral("no field %1").arg(field)));
    QCOMPARE(fields.value(field).toString(), expected.toString());
}

void TestProjectFiles::pageAttributes()
{
    const auto root = parseTree(
        QStringLiteral("light_config.xml"),
        QStringLiteral("<subsystems name='light' textB='Lighting' pageID='10' showScenes='true' "
                       "posX='50' width='200'>"
                       "<floor name='a' posX='-2' posY='-3.5' cont_image='none'/>"
                       "<floor name='b' zIndex='0.5' width='80' height='48' drawRect='1'/>"
                       "<floor name='c' zIndex='7'/>"
                       "</subsystems>"));
    QVERIFY(root);
    QCOMPARE(root->name(), QStringLiteral("light"));
    QCOMPARE(root->pageID(), 10);
    QVERIFY(root->showScenes());
    QCOMPARE(root->fileName(), QStringLiteral("light_config.xml"));
    // The root reads no position or size; absent texts are empty, not the defaults.
    QCOMPARE(root->posX(), 0.0);
    QCOMPARE(root->width(), 64);
    QCOMPARE(root->fontColor(), QString());
    QCOMPARE(root->floors().size(), 3);
    const FloorStructV1 *a = root->floors().at(0);
    QCOMPARE(a->zIndex(), 1.0);
    QCOMPARE(a->posX(), 0.0);
    QCOMPARE(a->posY(), -3.5);
    QCOMPARE(a->width(), 0);
    QCOMPARE(a->contImage(), QStringLiteral("none"));
    QVERIFY(!a->showScenes());
    const FloorStructV1 *b = root->floors().at(1);
    QCOMPARE(b->zIndex(), 0.5);
    QCOMPARE(b->width(), 80);
    QCOMPARE(b->height(), 48);
    QVERIFY(b->drawRect());
    QCOMPARE(root->floors().at(2)->zIndex(), 1.0);
}

void TestProjectFiles::nesting_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("expected");

    // clang-format off
    QTest::newRow("scenes kept in light rooms")
        << "light_config.xml"
        << "<subsystems name='R'><floor name='F'><scene textB='a'/><room name='r'><scene textB='b'/><scene textB='c'/></room></floor></subsystems>"
        << "R(s0,c0) F(s1,c0) /r(s2,c0)";
    QTest::newRow("scenes kept in heat floors")
        << "heat_config.xml"
        << "<subsystems name='R'><floor name='F'><scene textB='a'/></floor></subsystems>"
        << "R(s0,c0) F(s1,c0)";
    QTest::newRow("scenes ignored in further subsystems")
        << "ohrana.xml"
        << "<subsystems name='R'><floor name='F'><scene textB='a'/><room name='r'><scene textB='b'/></room></floor></subsystems>"
        << "R(s0,c0) F(s0,c0) /r(s0,c0)";
    QTest::newRow("scenes ignored on the main page")
        << "main_config.xml"
        << "<subsystems name='R'><scene textB='a'/></subsystems>"
        << "R(s0,c0)";
    QTest::newRow("global scenes kept under any root")
        << "ohrana.xml"
        << "<subsystems name='R'><glscene textB='a'/><glscene textB='b'/></subsystems>"
        << "R(s2,c0)";
    QTest::newRow("global scene in a floor ignored")
        << "light_config.xml"
        << "<subsystems name='R'><floor name='F'><glscene textB='a'/></floor></subsystems>"
        << "R(s0,c0) F(s0,c0)";
    QTest::newRow("room under the root ignored")
        << "light_config.xml"
        << "<subsystems name='R'><room name='r'><lamp/></room></subsystems>"
        << "R(s0,c0)";
    QTest::newRow("floor inside a floor ignored")
        << "light_config.xml"
        << "<subsystems name='R'><floor name='F'><floor name='G'><lamp/></floor></floor></subsystems>"
        << "R(s0,c0) F(s0,c0)";
    QTest::newRow("room inside a room ignored")
        << "light_config.xml"
        << "<subsystems name='R'><floor name='F'><room name='r'><room name='x'><lamp/></room><lamp/></room></floor></subsystems>"
        << "R(s0,c0) F(s0,c0) /r(s0,c1)";
    QTest::newRow("unknown element ignored with its children")
        << "light_config.xml"
        << "<subsystems name='R'><group><lamp/><floor name='F'/></group><lamp/></subsystems>"
        << "R(s0,c1)";
    QTest::newRow("controls on every level in document order")
        << "ohrana.xml"
        << "<subsystems name='R'><lamp/><floor name='F'><switch/><room name='r'><sensor/><heat/></room><boolcnt/></floor></subsystems>"
        << "R(s0,c1) F(s0,c2) /r(s0,c2)";
    QTest::newRow("root with another tag gives an empty tree")
        << "light_config.xml"
        << "<config name='R'><floor name='F'/></config>"
        << "(s0,c0)";
    // clang-format on
}

void TestProjectFiles::nesting()
{
    QFETCH(QString, fileName);
    QFETCH(QString, xml);
    QFETCH(QString, expected);
    const auto root = parseTree(fileName, xml);
    QVERIFY(root);
    QCOMPARE(outline(root.get()), expected);
}

void TestProjectFiles::unreadableFiles_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("type");
    QTest::newRow("missing light file") << "light_config.xml" << QByteArray() << 1;
    QTest::newRow("malformed further subsystem")
        << "ohrana.xml" << QByteArray("<subsystems name='x'><floor></subsystems>") << 3;
    QTest::newRow("wrong root on the main file")
        << "main_config.xml" << QByteArray("<config><floor name='f'/></config>") << 4;
}

void TestProjectFiles::unreadableFiles()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(int, type);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (!content.isNull()) {
        QFile file(dir.filePath(fileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    LoadReport problems;
    const auto root = ProjectReaderV1::readSubsystem(dir.path(), fileName, &problems);
    QVERIFY(root);
    QCOMPARE(int(root->systemType()), type);
    QVERIFY(root->name().isEmpty());
    // An empty file name keeps the tree from ever being written over the unreadable file.
    QVERIFY(root->fileName().isEmpty());
    QVERIFY(root->floors().isEmpty());
    QCOMPARE(problems.size(), 1);
    QCOMPARE(problems.problems().first().file, fileName);
    // A file that is there names the line where reading stopped; a missing one has none.
    QCOMPARE(problems.problems().first().line > 0, !content.isNull());
}

void TestProjectFiles::writtenAttributes_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("attributes");
    using namespace ControlConstants;
    const QStringList common{"name", "textB", "posX", "posY", "zIndex"};
    // clang-format off
    QTest::newRow("lamp") << int(KindLight) << common + QStringList{"dimmer", "isSlider", "imageOn", "imageOff", "sliderColor", "lmpNumber"};
    QTest::newRow("switch") << int(KindSwitch) << common + QStringList{"imageOn", "imageScene", "swcNumber"};
    QTest::newRow("sensor") << int(KindSensor) << common + QStringList{"imageOn", "imageOff", "imageDis", "snrNumber"};
    QTest::newRow("heat") << int(KindHeat) << common + QStringList{"width", "height", "swcNumber", "fontColor", "titleColor", "fontSize"};
    QTest::newRow("resbt") << int(KindResbt) << common + QStringList{"imageOn", "imageOff", "byteAddress", "val"};
    QTest::newRow("boolcnt") << int(KindBool) << common + QStringList{"imageOn", "imageOff", "byteAddress", "bitNumber", "isReadOnly"};
    QTest::newRow("bytecnt") << int(KindByte) << common + QStringList{"width", "height", "image", "byteAddress", "maximum", "minimum", "precisionView", "step", "maxval", "typeD", "isReadOnly", "isEditable", "fontColor", "titleColor", "showRound", "fontSize"};
    QTest::newRow("btncnt") << int(KindBtn) << common + QStringList{"width", "height", "image", "byteAddress", "bitNumber"};
    QTest::newRow("textcnt") << int(KindText) << common + QStringList{"width", "height", "fontType", "fontColor", "fontFamily", "fontSize", "showRound", "textAlign"};
    // Buttons, weather tiles and cameras write their names when they have one (see below).
    QTest::newRow("syscontrol") << int(KindSystem) << QStringList{"name", "fileName", "textB", "posX", "posY", "zIndex", "systType", "image"};
    QTest::newRow("weather") << int(KindWeather) << QStringList{"name", "cityName", "cityId", "posX", "posY", "zIndex"};
    QTest::newRow("dyntextcnt") << int(KindDynText) << common + QStringList{"width", "height", "fontType", "fontColor", "fontFamily", "fontSize", "showRound", "byteAddress", "textAlign", "maximum"};
    const QStringList camera{"name", "camname", "ipaddress", "posX", "posY", "zIndex", "width", "height", "showptz", "port", "initial", "ptzMoveLeft", "ptzMoveRight", "ptzMoveUp", "ptzMoveDown", "ptzMoveHome", "ptzZoomIn", "ptzZoomOut", "login", "password", "fps", "showRound"};
    QTest::newRow("ipcam") << int(KindIpCam) << camera;
    QTest::newRow("avcam") << int(KindAVCam) << camera;
    QTest::newRow("textwritecnt") << int(KindTextWrite) << common + QStringList{"width", "height", "byteAddress", "maximum", "fontColor", "showRound", "fontSize"};
    const QStringList slider = common + QStringList{"width", "height", "byteAddress", "maximum", "minimum", "precisionView", "step", "maxval", "sliderColor", "typeD", "showRound"};
    QTest::newRow("hslider") << int(KindHSlider) << slider;
    QTest::newRow("vslider") << int(KindVSlider) << slider;
    // clang-format on
}

void TestProjectFiles::writtenAttributes()
{
    QFETCH(int, kind);
    QFETCH(QStringList, attributes);
    RoomStructV1 room;
    BaseControlV1 *control = room.createControl(kind, QStringLiteral("n"), QStringLiteral("t"), {});
    QVERIFY(control);
    const XML::NodeElementPtr element = ProjectWriterV1::buildControl(control);
    QVERIFY(element);
    QCOMPARE(element->tagName(), ControlConstants::tagForKind(kind));
    QCOMPARE(attributeNames(element), sorted(attributes));
}

void TestProjectFiles::nameWrittenOnlyWhenSet_data()
{
    QTest::addColumn<int>("kind");
    using namespace ControlConstants;
    QTest::newRow("syscontrol") << int(KindSystem);
    QTest::newRow("weather") << int(KindWeather);
    QTest::newRow("ipcam") << int(KindIpCam);
    QTest::newRow("avcam") << int(KindAVCam);
}

// Files of these kinds often carry no name at all; an empty one is left out, so that saving
// such a file does not grow every element by an empty attribute. A name that is there survives.
void TestProjectFiles::nameWrittenOnlyWhenSet()
{
    QFETCH(int, kind);
    RoomStructV1 room;
    BaseControlV1 *control = room.createControl(kind, QString(), QStringLiteral("t"), {});
    QVERIFY(control);
    QVERIFY(!attributeNames(ProjectWriterV1::buildControl(control)).contains("name"));
    control->setName(QStringLiteral("front"));
    const XML::NodeElementPtr element = ProjectWriterV1::buildControl(control);
    QCOMPARE(element->attribute(QStringLiteral("name")).toString(), QStringLiteral("front"));
}

void TestProjectFiles::keywordsWrittenAsText_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<QString>("written");
    // clang-format off
    QTest::newRow("typeD DWORD") << "<bytecnt typeD='DWORD'/>" << "typeD" << "DWORD";
    QTest::newRow("typeD DINT normalised") << "<bytecnt typeD='DINT'/>" << "typeD" << "BYTE";
    QTest::newRow("slider WORD") << "<hslider typeD='WORD'/>" << "typeD" << "WORD";
    QTest::newRow("text centre") << "<textcnt textAlign='Center'/>" << "textAlign" << "center";
    QTest::newRow("text left") << "<textcnt textAlign='left'/>" << "textAlign" << "left";
    QTest::newRow("dyn text right") << "<dyntextcnt textAlign='right'/>" << "textAlign" << "right";
    QTest::newRow("system none") << "<syscontrol systType='normal'/>" << "systType" << "";
    QTest::newRow("system subst") << "<syscontrol systType='subst'/>" << "systType" << "subst";
    QTest::newRow("system history") << "<syscontrol systType='history'/>" << "systType" << "history";
    QTest::newRow("lamp writes its number") << "<lamp lmpNumber='11'/>" << "lmpNumber" << "11";
    QTest::newRow("thermostat writes its number") << "<heat swcNumber='3'/>" << "swcNumber" << "3";
    QTest::newRow("boolean as word") << "<boolcnt isReadOnly='1'/>" << "isReadOnly" << "true";
    QTest::newRow("double shortest form") << "<switch posX='77.94871794871794'/>" << "posX" << "77.94871794871794";
    // clang-format on
}

void TestProjectFiles::keywordsWrittenAsText()
{
    QFETCH(QString, element);
    QFETCH(QString, attribute);
    QFETCH(QString, written);
    const auto root = parseTree(QStringLiteral("ohrana.xml"),
                                QStringLiteral("<subsystems>%1</subsystems>").arg(element));
    QVERIFY(root);
    QCOMPARE(root->controlCount(), 1);
    BaseControlV1 *control = root->controls().first();
    // Unedited, the file's own text stays whatever it is ("DINT", "Center", "1").
    const XML::NodeElementPtr kept = ProjectWriterV1::buildControl(control);
    QVERIFY(kept);
    QVERIFY(control->fileOrigin() && control->fileOrigin()->element);
    QCOMPARE(kept->attribute(attribute).toString(),
             control->fileOrigin()->element->attribute(attribute).toString());
    // A record written from its values (made in the program, or this value edited) gets the
    // format's own text.
    control->setFileOrigin(nullptr);
    const XML::NodeElementPtr out = ProjectWriterV1::buildControl(control);
    QVERIFY(out);
    QCOMPARE(out->attribute(attribute).toString(), written);
}

void TestProjectFiles::childOrderAndDeletedItems()
{
    MainStructV1 root;
    root.setSystemType(BaseRoomV1::LightSystem);
    FloorStructV1 *floor = root.createFloor(QStringLiteral("f"), QStringLiteral("F"), {});
    FloorStructV1 *gone = root.createFloor(QStringLiteral("gone"), QStringLiteral("G"), {});
    gone->setDeleted(true);
    RoomStructV1 *room = floor->createRoom(QStringLiteral("r"), QStringLiteral("R"), {});
    RoomStructV1 *deletedRoom = floor->createRoom(QStringLiteral("dr"), QStringLiteral("D"), {});
    deletedRoom->createLight(QStringLiteral("lost"), QString(), {});
    deletedRoom->setScenes({QStringLiteral("lost scene")});
    deletedRoom->setDeleted(true);
    // Controls are created before the scenes are set: the file order must not follow that.
    floor->createSwitch(QStringLiteral("s"), QString(), {});
    floor->setScenes({QStringLiteral("a"), QStringLiteral("b")});
    root.createLight(QStringLiteral("l"), QString(), {});
    root.createText(QStringLiteral("x"), QString(), {})->setDeleted(true);
    root.setScenes({QStringLiteral("g1")});
    room->createSensor(QStringLiteral("p"), QString(), {});
    room->createBool(QStringLiteral("b"), QString(), {})->setDeleted(true);

    const XML::NodeElementPtr tree = ProjectWriterV1::buildTree(&root);
    const auto tags = [](const XML::NodeElementPtr &e) {
        QStringList out;
        for (const auto &child : e->children())
            out << child->tagName();
        return out;
    };
    QCOMPARE(tree->tagName(), QStringLiteral("subsystems"));
    QCOMPARE(attributeNames(tree),
             sorted({"showScenes", "image", "name", "textB", "fontColor", "pageID"}));
    QCOMPARE(tags(tree), QStringList({"glscene", "lamp", "floor"}));
    const XML::NodeElementPtr floorElement = tree->children().at(2);
    QCOMPARE(floorElement->attribute(QStringLiteral("name")).toString(), QStringLiteral("f"));
    QCOMPARE(attributeNames(floorElement),
             sorted({"name", "textB", "fontColor", "image", "showScenes", "drawRect", "pageID",
                     "posX", "posY", "zIndex", "width", "height", "cont_image"}));
    QCOMPARE(tags(floorElement), QStringList({"scene", "scene", "switch", "room"}));
    QCOMPARE(tags(floorElement->children().at(3)), QStringList({"sensor"}));
    QCOMPARE(attributeNames(floorElement->children().first()), QStringList({"textB"}));
}

void TestProjectFiles::fixtureRoundTrip_data()
{
    QTest::addColumn<QString>("fileName");
    for (const char *name : {"main_config.xml", "light_config.xml", "heat_config.xml",
                             "security.xml", "utilities.xml"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestProjectFiles::fixtureRoundTrip()
{
    QFETCH(QString, fileName);
    const QString folder = QFileInfo(QFINDTESTDATA("../data/project/config.xml")).absolutePath();
    QVERIFY(!folder.isEmpty());
    auto original = ProjectReaderV1::readSubsystem(folder, fileName);
    QVERIFY(!original->fileName().isEmpty());
    QVERIFY(!original->allPages().isEmpty());
    const auto copy = writeAndReadBack(original.get(), fileName);
    QVERIFY(copy);
    const QStringList differences = ModelDump::compareTrees(original.get(), copy.get());
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QLatin1Char('\n'))));
}

namespace {

// Random field values from the domain a project file can carry back unchanged.
class RandomFields
{
public:
    explicit RandomFields(quint32 seed) : m_random(seed) {}
    int integer(int low, int high) { return m_random.bounded(low, high + 1); }
    bool boolean() { return m_random.bounded(2) == 1; }
    double real() { return m_random.generateDouble() * 100; }
    double unit() { return m_random.generateDouble(); }
    QString text()
    {
        static const QStringList samples{
            "",           "Kitchen",   "a&b",         "<tag>",      "quote \" and '",
            "Ümlaut €",   "tab\there", "line\nbreak", "  spaced  ", "img/lighton.png",
            "//127.0.0.1"};
        return samples.at(integer(0, samples.size() - 1));
    }
    QString nonEmptyText()
    {
        const QString t = text();
        return t.isEmpty() ? QStringLiteral("x") : t;
    }

private:
    QRandomGenerator m_random;
};

void randomise(BaseControlV1 *c, RandomFields &r)
{
    using namespace ControlConstants;
    c->setName(r.text());
    c->setTextB(r.text());
    c->setPosX(r.real());
    c->setPosY(r.real() - 10);
    c->setZIndex(r.unit());
    if (auto *d = dynamic_cast<DynamicControlV1 *>(c)) {
        d->setByteAddress(r.integer(0, 4000));
        // Only byte controls and sliders store a value width.
        if (dynamic_cast<ByteControlV1 *>(c) || dynamic_cast<SliderControlV1 *>(c))
            d->setTypeD(r.integer(0, 2));
    }
    if (auto *x = dynamic_cast<LightControlV1 *>(c)) {
        x->setImageOn(r.text());
        x->setImageOff(r.text());
        x->setSliderColor(r.text());
        x->setLmpNumber(r.integer(0, 255));
        x->setDimmer(r.boolean());
        x->setSlider(r.boolean());
    } else if (auto *x = dynamic_cast<SwitchControlV1 *>(c)) {
        x->setImageOn(r.text());
        x->setImageScene(r.text());
        x->setSwcNumber(r.integer(-5, 255));
    } else if (auto *x = dynamic_cast<SensorControlV1 *>(c)) {
        x->setImageOn(r.text());
        x->setImageOff(r.text());
        x->setImageDis(r.text());
        x->setSnrNumber(r.integer(0, 255));
    } else if (auto *x = dynamic_cast<HeatControlV1 *>(c)) {
        x->setFontColor(r.text());
        x->setTitleColor(r.text());
        x->setSwcNumber(r.integer(0, 64));
        x->setFontSize(r.integer(6, 40));
        x->setWidth(r.integer(0, 500));
        x->setHeight(r.integer(0, 500));
    } else if (auto *x = dynamic_cast<ResbtControlV1 *>(c)) {
        x->setImageOn(r.text());
        x->setImageOff(r.text());
        x->setVal(r.integer(-1, 255));
    } else if (auto *x = dynamic_cast<BoolControlV1 *>(c)) {
        x->setImageOn(r.text());
        x->setImageOff(r.text());
        x->setBitNumber(r.integer(0, 9));
        x->setReadOnly(r.boolean());
    } else if (auto *x = dynamic_cast<ByteControlV1 *>(c)) {
        x->setImage(r.text());
        x->setFontColor(r.text());
        x->setTitleColor(r.text());
        x->setMaximum(r.integer(-100, 100000));
        x->setMinimum(r.integer(-100, 100));
        x->setPrecisionView(r.integer(0, 4));
        x->setMaxval(r.integer(0, 65535));
        x->setFontSize(r.integer(6, 40));
        x->setWidth(r.integer(0, 500));
        x->setHeight(r.integer(0, 500));
        x->setStep(r.unit() * 10);
        x->setShowRound(r.boolean());
        x->setReadOnly(r.boolean());
        x->setEditable(r.boolean());
    } else if (auto *x = dynamic_cast<BtnControlV1 *>(c)) {
        x->setImage(r.text());
        x->setWidth(r.integer(0, 500));
        x->setHeight(r.integer(0, 500));
        x->setBitNumber(r.integer(0, 7));
    } else if (auto *x = dynamic_cast<TextControlV1 *>(c)) {
        x->setFontColor(r.text());
        x->setFontFamily(r.nonEmptyText());
        x->setWidth(r.integer(0, 500));
        x->setHeight(r.integer(0, 500));
        x->setFontSize(r.integer(6, 40));
        x->setShowRound(r.boolean());
        x->setFontType(r.integer(25, 87));
        x->setTextAlign(QList<int>{1, 2, 132}.at(r.integer(0, 2)));
    } else if (auto *x = dynamic_cast<SystemControlV1 *>(c)) {
        x->setName(QString());
        x->setFileName(r.text());
        x->setImage(r.text());
        x->setSystType(RoomConstantsV1::FormNumbers(
            QList<int>{0, 1, 2, 3, 4, 5, 6, 8, 9, 100, 111}.at(r.integer(0, 10))));
    } else if (auto *x = dynamic_cast<WeatherControlV1 *>(c)) {
        x->setName(QString());
        x->setCityId(r.text());
    } else if (auto *x = dynamic_cast<CameraControlV1 *>(c)) {
        x->setName(QString());
        x->setIpaddress(r.text());
        x->setPort(r.text());
        x->setInitial(r.text());
        x->setPtzMoveLeft(r.text());
        x->setPtzMoveRight(r.text());
        x->setPtzMoveUp(r.text());
        x->setPtzMoveDown(r.text());
        x->setPtzMoveHome(r.text());
        x->setPtzZoomIn(r.text());
        x->setPtzZoomOut(r.text());
        x->setLogin(r.text());
        x->setPassword(r.text());
        x->setWidth(r.integer(0, 1000));
        x->setHeight(r.integer(0, 1000));
        x->setFps(r.integer(0, 30));
        x->setShowptz(r.boolean());
        x->setShowRound(r.boolean());
    } else if (auto *x = dynamic_cast<DynTextControlV1 *>(c)) {
        x->setFontFamily(r.nonEmptyText());
        x->setFontColor(r.text());
        x->setWidth(r.integer(0, 500));
        x->setHeight(r.integer(0, 500));
        x->setFontSize(r.integer(6, 40));
        x->setShowRound(r.boolean());
        x->setFontType(r.integer(25, 87));
        x->setTextAlign(QList<int>{1, 2, 132}.at(r.integer(0, 2)));
        x->setMaximum(r.integer(1, 120));
    } else if (auto *x = dynamic_cast<TextWriteControlV1 *>(c)) {
        x->setFontColor(r.text());
        x->setWidth(r.integer(0, 500));
        x->setHeight(r.integer(0, 500));
        x->setFontSize(r.integer(6, 40));
        x->setMaximum(r.integer(-1, 300));
        x->setShowRound(r.boolean());
    } else if (auto *x = dynamic_cast<SliderControlV1 *>(c)) {
        x->setShowRound(r.boolean());
        x->setMaximum(r.integer(0, 1000));
        x->setMinimum(r.integer(-50, 50));
        x->setPrecisionView(r.integer(0, 3));
        x->setMaxval(r.integer(0, 65535));
        x->setWidth(r.integer(0, 500));
        x->setHeight(r.integer(0, 500));
        x->setStep(r.unit());
        x->setSliderColor(r.text());
    }
}

void randomisePage(BaseRoomV1 *page, RandomFields &r, bool withScenes)
{
    page->setName(r.text());
    page->setTextB(r.text());
    page->setFontColor(r.text());
    page->setImage(r.text());
    page->setPageID(r.integer(-10, 10000));
    page->setShowScenes(r.boolean());
    if (page->kind() != BaseRoomV1::KindRoot) {
        page->setDrawRect(r.boolean());
        page->setPosX(r.real());
        page->setPosY(r.real() - 50);
        page->setZIndex(r.unit());
        page->setWidth(r.integer(0, 300));
        page->setHeight(r.integer(0, 300));
        page->setContImage(r.text());
    }
    if (withScenes) {
        QStringList scenes;
        for (int i = r.integer(0, 4); i > 0; --i)
            scenes << r.text();
        page->setScenes(scenes);
    }
    static const int kinds[] = {3,   4,   5,   6,   7,   8,   9,   100, 101,
                                102, 104, 105, 106, 107, 108, 109, 110};
    for (int i = r.integer(0, 12); i > 0; --i) {
        BaseControlV1 *c = page->createControl(kinds[r.integer(0, 16)], QString(), QString(), {});
        randomise(c, r);
    }
}

} // namespace

void TestProjectFiles::generatedRoundTrip()
{
    const char *files[] = {"light_config.xml", "heat_config.xml", "main_config.xml", "extra.xml"};
    for (quint32 seed = 1; seed <= 40; ++seed) {
        RandomFields r(seed);
        const QString fileName = QString::fromLatin1(files[seed % 4]);
        const auto type = BaseRoomV1::TYPESYSTEM(ProjectReaderV1::systemTypeForFile(fileName));
        const bool withScenes = type == BaseRoomV1::LightSystem || type == BaseRoomV1::HeatSystem;
        MainStructV1 root;
        root.setSystemType(type);
        root.setFileName(fileName);
        randomisePage(&root, r, true);
        for (int f = r.integer(0, 3); f > 0; --f) {
            FloorStructV1 *floor = root.createFloor(QString(), QString(), {});
            floor->setSystemType(type);
            randomisePage(floor, r, withScenes);
            for (int n = r.integer(0, 3); n > 0; --n) {
                RoomStructV1 *room = floor->createRoom(QString(), QString(), {});
                room->setSystemType(type);
                randomisePage(room, r, withScenes);
            }
        }
        const auto copy = writeAndReadBack(&root, fileName);
        QVERIFY(copy);
        const QStringList differences = ModelDump::compareTrees(&root, copy.get());
        QVERIFY2(differences.isEmpty(), qPrintable(QStringLiteral("seed %1:\n").arg(seed) +
                                                   differences.join(QLatin1Char('\n'))));
    }
}

void TestProjectFiles::absurdValuesStaySafe_data()
{
    QTest::addColumn<QString>("tag");
    for (const char *tag : {"lamp", "switch", "sensor", "heat", "resbt", "boolcnt", "bytecnt",
                            "btncnt", "textcnt", "syscontrol", "weather", "dyntextcnt", "ipcam",
                            "avcam", "textwritecnt", "hslider", "vslider"})
        QTest::newRow(tag) << QString::fromLatin1(tag);
}

// Numbers from a damaged or hostile file never lead to overflow, out-of-range reads or values the
// model's own rules exclude; the sanitizer build turns any slip into a failure.
void TestProjectFiles::absurdValuesStaySafe()
{
    QFETCH(QString, tag);
    const QStringList attributes{"lmpNumber", "swcNumber", "snrNumber", "byteAddress",
                                 "bitNumber", "maximum",   "posX",      "posY",
                                 "zIndex",    "step",      "width",     "typeD"};
    const QStringList values{"2147483647", "-2147483648", "99999999999", "nan", "-inf",
                             "1e308",      "-1",          "0",           "",    "DWORD"};
    QRandomGenerator random(7);
    for (const QString &attribute : attributes) {
        for (const QString &value : values) {
            const auto root =
                parseTree(QStringLiteral("light_config.xml"),
                          QStringLiteral("<subsystems><%1 %2='%3'/><sensor snrNumber='%3'/>"
                                         "<switch swcNumber='%3'/></subsystems>")
                              .arg(tag, attribute, value));
            QVERIFY(root);
            for (BaseControlV1 *c : root->controls()) {
                QVERIFY(c->posX() >= 0);
                QVERIFY(c->zIndex() >= 0 && c->zIndex() <= 1);
                QVERIFY(std::isfinite(c->posY()));
                if (auto *d = dynamic_cast<DynamicControlV1 *>(c)) {
                    QVERIFY(d->oddOffset() == 0 || d->oddOffset() == 1);
                    QVERIFY(d->fetchLength() >= 2 && d->fetchLength() % 2 == 0);
                    QVERIFY(d->firstRegister(std::numeric_limits<int>::max()) >= 0);
                }
                QVERIFY(ProjectWriterV1::buildControl(c));
            }
            QByteArray bytes(248, Qt::Uninitialized);
            for (char &byte : bytes)
                byte = char(random.bounded(256));
            for (int offset : {0, 500, std::numeric_limits<int>::max()}) {
                SubsUpdate block;
                block.start = 0;
                block.end = std::numeric_limits<int>::max();
                block.data = bytes;
                block.byteCount = bytes.size();
                root->applyAnswer({block}, offset);
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestProjectFiles)
#include "tst_projectfiles.moc"
