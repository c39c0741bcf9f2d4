// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bytecontrolv1.h"
#include "fixturefolder.h"
#include "floorstructv1.h"
#include "lightcontrolv1.h"
#include "mainstructv1.h"
#include "modeldump.h"
#include "roomstructv1.h"
#include "roomsv1.h"
#include "sensorcontrolv1.h"
#include "switchcontrolv1.h"
#include "textcontrolv1.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using FixtureFolder::contents;

const QStringList kFixtureFiles{"heat_config.xml", "light_config.xml", "main_config.xml",
                                "security.xml", "utilities.xml"};

QString fixtureFolder()
{
    return QFileInfo(QFINDTESTDATA("../data/project/config.xml")).absolutePath();
}

// A writable copy of the fixture's project files.
bool copyFixture(const QTemporaryDir &dir)
{
    for (const QString &name : kFixtureFiles) {
        if (!QFile::copy(fixtureFolder() + QLatin1Char('/') + name, dir.filePath(name)))
            return false;
    }
    return true;
}

QMap<QString, QByteArray> snapshot(const QTemporaryDir &dir)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
        files.insert(name, contents(dir.filePath(name)));
    return files;
}

QStringList changedFiles(const QMap<QString, QByteArray> &before, const QTemporaryDir &dir)
{
    QStringList changed;
    const auto after = snapshot(dir);
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (before.value(it.key()) != it.value())
            changed << it.key();
    }
    return changed;
}

BaseRoomV1 *pageNamed(const RoomsV1 &rooms, const char *name)
{
    return rooms.pageByName(QString::fromLatin1(name));
}

SubsUpdate block(int start, const QByteArray &hex)
{
    SubsUpdate b;
    b.start = start;
    b.data = QByteArray::fromHex(hex);
    b.byteCount = b.data.size();
    b.end = start + b.data.size() / 2;
    return b;
}

} // namespace

class TestRoomsV1 : public QObject
{
    Q_OBJECT

private slots:
    void numbering();
    void laterTreeOfATypeWins();
    void loadProjectReplacesThePreviousProject();
    void lookups();
    void uniqueName();
    void createSubPage_data();
    void createSubPage();
    void pagePositionRules();
    void markChanged_data();
    void markChanged();
    void applyAnswerEmptyKeepsStates();
    void applyAnswerResetsThenLampsRestore();
    void applyAnswerPlacesBytes_data();
    void applyAnswerPlacesBytes();
    void applyAnswerLaterBlockWins();
    void saveChoosesFiles_data();
    void saveChoosesFiles();
    void saveLeavesOutDeletedItems();
    void saveNeverWritesAnUnreadTree_data();
    void saveNeverWritesAnUnreadTree();
};

void TestRoomsV1::numbering()
{
    RoomsV1 rooms;
    // Any list order: light, heat and main are numbered first, the others in list order.
    QVERIFY(rooms.load(fixtureFolder(), {"utilities.xml", "main_config.xml", "security.xml",
                                         "heat_config.xml", "light_config.xml"}));
    QCOMPARE(rooms.pageCount(), 9 + 7 + 1 + 4 + 4);
    for (int i = 0; i < rooms.pageCount(); ++i)
        QCOMPARE(rooms.pageAt(i)->pageNumber(), i + 1);
    QCOMPARE(rooms.pageAt(0), rooms.lightPage());
    // Depth first: a floor is followed by its rooms.
    const QStringList expectedStart{"light",       "light_ground", "kitchen",  "living", "hall",
                                    "light_first", "bedroom",      "bathroom", "study",  "heat"};
    for (int i = 0; i < expectedStart.size(); ++i)
        QCOMPARE(rooms.pageAt(i)->name(), expectedStart.at(i));
    QCOMPARE(rooms.mainPage()->pageNumber(), 17);
    QCOMPARE(pageNamed(rooms, "utilities")->pageNumber(), 18);
    QCOMPARE(pageNamed(rooms, "security")->pageNumber(), 22);
    QCOMPARE(rooms.pageByNumber(22), pageNamed(rooms, "security"));

    QSet<QString> ids;
    for (const BaseRoomV1 *page : rooms.pages()) {
        QVERIFY(page->runtimeId().startsWith(QLatin1String("rst")));
        ids.insert(page->runtimeId());
        for (const BaseControlV1 *control : page->controls())
            ids.insert(control->runtimeId());
    }
    int controls = 0;
    for (const BaseRoomV1 *page : rooms.pages())
        controls += page->controlCount();
    QCOMPARE(ids.size(), rooms.pageCount() + controls);

    QCOMPARE(rooms.pagesOfType(BaseRoomV1::OtherSystem).first()->name(),
             QStringLiteral("utilities"));
    QCOMPARE(rooms.pagesOfType(BaseRoomV1::HeatSystem).size(), 7);
    QCOMPARE(rooms.firstPage(BaseRoomV1::OtherSystem), pageNamed(rooms, "utilities"));
    QCOMPARE(rooms.firstPage(BaseRoomV1::NoSystem), nullptr);
    QCOMPARE(rooms.pageAt(rooms.pageCount()), nullptr);
    QCOMPARE(rooms.pageAt(-1), nullptr);
}

void TestRoomsV1::laterTreeOfATypeWins()
{
    RoomsV1 rooms;
    rooms.load(fixtureFolder(), {"light_config.xml", "light_config.xml"});
    QCOMPARE(rooms.pageCount(), 9);
    QVERIFY(rooms.lightSystem());
    QCOMPARE(rooms.lightPage(), rooms.lightSystem());
    // A second load replaces the light tree and numbers everything again.
    MainStructV1 *before = rooms.lightSystem();
    rooms.load(fixtureFolder(), {"heat_config.xml", "light_config.xml"});
    QVERIFY(rooms.lightSystem() != before);
    QCOMPARE(rooms.pageCount(), 16);
    QCOMPARE(rooms.lightPage()->pageNumber(), 1);
    QCOMPARE(rooms.heatPage()->pageNumber(), 10);
}

void TestRoomsV1::loadProjectReplacesThePreviousProject()
{
    RoomsV1 rooms;
    QVERIFY(rooms.loadProject(fixtureFolder(), kFixtureFiles));
    QCOMPARE(rooms.otherSystems().size(), 2);
    QVERIFY(rooms.loadProject(fixtureFolder(), {"main_config.xml"}));
    QCOMPARE(rooms.lightSystem(), nullptr);
    QCOMPARE(rooms.heatSystem(), nullptr);
    QVERIFY(rooms.otherSystems().isEmpty());
    QCOMPARE(rooms.pageCount(), 1);
}

void TestRoomsV1::lookups()
{
    RoomsV1 rooms;
    rooms.load(fixtureFolder(), kFixtureFiles);
    BaseRoomV1 *kitchen = pageNamed(rooms, "kitchen");
    QVERIFY(kitchen);
    QCOMPARE(kitchen->kind(), int(BaseRoomV1::KindRoom));
    QCOMPARE(rooms.pageById(kitchen->runtimeId()), kitchen);
    QCOMPARE(rooms.pageById(QStringLiteral("rst")), nullptr);
    QCOMPARE(rooms.pageByName(QStringLiteral("nowhere")), nullptr);
    QCOMPARE(rooms.systemByFileName(QStringLiteral("security.xml"))->name(),
             QStringLiteral("security"));
    QCOMPARE(rooms.systemByFileName(QStringLiteral("Security.xml")), nullptr);
    QCOMPARE(rooms.systemByFileName(QString()), nullptr);

    FloorStructV1 *floor = rooms.lightSystem()->floors().first();
    QCOMPARE(rooms.lightSystem()->floorById(floor->runtimeId()), floor);
    // A deleted room is still found.
    RoomStructV1 *room = floor->rooms().first();
    room->setDeleted(true);
    QCOMPARE(floor->roomById(room->runtimeId()), room);
    QCOMPARE(floor->roomById(QStringLiteral("rst0")), nullptr);

    QCOMPARE(kitchen->sensorByNumber(1)->name(), QStringLiteral("kitchen_pir"));
    QCOMPARE(kitchen->sensorByNumber(9), nullptr);
    QCOMPARE(kitchen->switchByNumber(2)->name(), QStringLiteral("kitchen_window"));
    QCOMPARE(kitchen->switches().size(), 2);
}

void TestRoomsV1::uniqueName()
{
    RoomsV1 empty;
    QCOMPARE(empty.uniqueName(QStringLiteral("room")), QStringLiteral("room"));

    RoomsV1 rooms;
    rooms.load(fixtureFolder(), kFixtureFiles);
    QCOMPARE(rooms.uniqueName(QStringLiteral("room")), QStringLiteral("room"));
    const QString taken = QStringLiteral("kitchen");
    for (int i = 0; i < 20; ++i) {
        const QString name = rooms.uniqueName(taken);
        QVERIFY(name.startsWith(taken));
        QVERIFY(name != taken);
        bool digits = false;
        name.mid(taken.size()).toLongLong(&digits);
        QVERIFY(digits);
        QCOMPARE(rooms.pageByName(name), nullptr);
    }
}

void TestRoomsV1::createSubPage_data()
{
    QTest::addColumn<QString>("parent");
    QTest::addColumn<int>("kind"); // of the page created, -1 for none
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("scenes");
    QTest::newRow("floor on the light root")
        << "light" << int(BaseRoomV1::KindFloor) << "floor" << 4;
    QTest::newRow("room on a heat floor")
        << "heat_first" << int(BaseRoomV1::KindRoom) << "room" << 4;
    QTest::newRow("room on a further floor")
        << "sec_ground" << int(BaseRoomV1::KindRoom) << "room" << 0;
    QTest::newRow("floor on the main page") << "home" << int(BaseRoomV1::KindFloor) << "floor" << 0;
    QTest::newRow("nothing on a room") << "kitchen" << -1 << "" << 0;
}

void TestRoomsV1::createSubPage()
{
    QFETCH(QString, parent);
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(int, scenes);
    RoomsV1 rooms;
    rooms.load(fixtureFolder(), kFixtureFiles);
    const int before = rooms.pageCount();
    BaseRoomV1 *page = rooms.pageByName(parent);
    QVERIFY(page);
    BaseRoomV1 *created = rooms.createSubPage(page, {132, 82}, {800, 500}, QStringLiteral("Scene"));
    if (kind < 0) {
        QCOMPARE(created, nullptr);
        QVERIFY(!page->isModified());
        QCOMPARE(rooms.pageCount(), before);
        return;
    }
    QVERIFY(created);
    QCOMPARE(created->kind(), kind);
    QCOMPARE(created->name(), name);
    QCOMPARE(created->textB(), name);
    QCOMPARE(created->posX(), 12.5);
    QCOMPARE(created->posY(), 10.0);
    QCOMPARE(created->systemType(), page->systemType());
    QCOMPARE(created->scenes().size(), scenes);
    if (scenes)
        QCOMPARE(created->scenes().last(), QStringLiteral("Scene 4"));
    QVERIFY(page->isModified());
    QCOMPARE(rooms.pageCount(), before + 1);
    QCOMPARE(rooms.pages().last(), created);
    // A new page takes the next free number, so its room commands address it alone.
    int highest = 0;
    for (const BaseRoomV1 *other : rooms.pages()) {
        if (other != created)
            highest = qMax(highest, other->pageNumber());
    }
    QCOMPARE(created->pageNumber(), highest + 1);
    QCOMPARE(rooms.pageById(created->runtimeId()), created);
    // A second page gets another name.
    BaseRoomV1 *second = rooms.createSubPage(page, {0, 0}, {0, 0}, QStringLiteral("Scene"));
    QVERIFY(second->name() != created->name());
    QCOMPARE(second->pageNumber(), created->pageNumber() + 1);
    QCOMPARE(second->posX(), 0.0);
    QCOMPARE(second->posY(), 0.0);
}

void TestRoomsV1::pagePositionRules()
{
    RoomStructV1 room;
    QCOMPARE(room.zIndex(), 1.0);
    QCOMPARE(room.fontColor(), QStringLiteral("#000"));
    QCOMPARE(room.width(), 64);
    QVERIFY(room.showScenes());
    room.setPosX(-5);
    QCOMPARE(room.posX(), 0.0);
    room.setPosY(-5);
    QCOMPARE(room.posY(), -5.0);
    room.setZIndex(2);
    QCOMPARE(room.zIndex(), 1.0);
    room.setZIndex(0);
    QCOMPARE(room.zIndex(), 0.0);
}

void TestRoomsV1::markChanged_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<bool>("expected");
    QTest::newRow("bound control") << 1 << false << true;
    QTest::newRow("deleted bound control") << 1 << true << false;
    QTest::newRow("plain control") << 0 << false << false;
    QTest::newRow("index past the end") << 2 << false << false;
    QTest::newRow("negative index") << -1 << false << false;
}

void TestRoomsV1::markChanged()
{
    QFETCH(int, index);
    QFETCH(bool, deleted);
    QFETCH(bool, expected);
    RoomStructV1 room;
    room.createText(QStringLiteral("t"), {}, {});
    ByteControlV1 *byte = room.createByte(QStringLiteral("b"), {}, {});
    byte->setDeleted(deleted);
    room.markChanged(index, true);
    QCOMPARE(byte->isChanged(), expected);
    byte->setChanged(true);
    room.clearChanged();
    QCOMPARE(byte->isChanged(), deleted); // deleted controls are left alone
}

void TestRoomsV1::applyAnswerEmptyKeepsStates()
{
    RoomStructV1 room;
    SwitchControlV1 *wallSwitch = room.createSwitch(QStringLiteral("w"), {}, {});
    SensorControlV1 *sensor = room.createSensor(QStringLiteral("s"), {}, {});
    wallSwitch->setSwitchMode(1);
    sensor->setSensorState(0);
    room.applyAnswer({}, 0);
    QCOMPARE(wallSwitch->switchMode(), 1);
    QCOMPARE(sensor->sensorState(), 0);
}

void TestRoomsV1::applyAnswerResetsThenLampsRestore()
{
    RoomStructV1 room;
    SwitchControlV1 *unnamed = room.createSwitch(QStringLiteral("w1"), {}, {});
    unnamed->setSwcNumber(1);
    SwitchControlV1 *named = room.createSwitch(QStringLiteral("w2"), {}, {});
    named->setSwcNumber(2);
    SensorControlV1 *lonely = room.createSensor(QStringLiteral("s1"), {}, {});
    lonely->setSnrNumber(1);
    SensorControlV1 *watched = room.createSensor(QStringLiteral("s2"), {}, {});
    watched->setSnrNumber(2);
    LightControlV1 *lamp = room.createLight(QStringLiteral("l"), {}, {}); // lamp 1: bytes 620..627
    unnamed->setSwitchMode(1);
    lonely->setSensorState(0);

    // Register 310 holds byte 620. The lamp is on, names sensor 2 and scene switch 2 (scene 6).
    room.applyAnswer({block(310, "0100000002000206")}, 0);
    QCOMPARE(lamp->lampState(), 0);
    QCOMPARE(unnamed->switchMode(), 0);
    QCOMPARE(lonely->sensorState(), 3);
    QCOMPARE(named->switchMode(), 1);
    QCOMPARE(int(named->sceneNumber()), 6);
    QCOMPARE(watched->sensorState(), 0);

    // A block that serves no control still resets the derived states.
    room.applyAnswer({block(0, "0000")}, 0);
    QCOMPARE(named->switchMode(), 0);
    QCOMPARE(watched->sensorState(), 3);
    QCOMPARE(lamp->lampState(), 0);
}

void TestRoomsV1::applyAnswerPlacesBytes_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("blockStart");
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<double>("value");
    // clang-format off
    QTest::newRow("first register of the block") << 100 << 0 << 50 << QByteArray("2a000000") << 42.0;
    QTest::newRow("inside the block") << 104 << 0 << 50 << QByteArray("000000002b000000") << 43.0;
    QTest::newRow("odd address") << 105 << 0 << 50 << QByteArray("00000000002c000000000000") << 44.0;
    QTest::newRow("register offset applied") << 10 << 500 << 505 << QByteArray("2d000000") << 45.0;
    QTest::newRow("block ends early: short data") << 104 << 0 << 50 << QByteArray("000000002b00") << 0.0;
    QTest::newRow("register is the block's end") << 108 << 0 << 50 << QByteArray("0000000000000000") << 0.0;
    QTest::newRow("register before the block") << 98 << 0 << 50 << QByteArray("2e000000") << 0.0;
    QTest::newRow("negative offset: register 0") << 100 << -4 << 0 << QByteArray("2f000000") << 47.0;
    QTest::newRow("empty block data") << 100 << 0 << 50 << QByteArray("") << 0.0;
    // clang-format on
}

void TestRoomsV1::applyAnswerPlacesBytes()
{
    QFETCH(int, address);
    QFETCH(int, offset);
    QFETCH(int, blockStart);
    QFETCH(QByteArray, hex);
    QFETCH(double, value);
    RoomStructV1 room;
    ByteControlV1 *byte = room.createByte(QStringLiteral("b"), {}, {});
    byte->setByteAddress(address);
    ByteControlV1 *deleted = room.createByte(QStringLiteral("d"), {}, {});
    deleted->setByteAddress(address);
    deleted->setDeleted(true);
    SubsUpdate b = block(blockStart, hex);
    if (hex.isEmpty())
        b.end = blockStart + 10;
    room.applyAnswer({b}, offset);
    QCOMPARE(byte->value(), value);
    QCOMPARE(deleted->value(), 0.0);
    QVERIFY(deleted->data().isEmpty());
}

void TestRoomsV1::applyAnswerLaterBlockWins()
{
    RoomStructV1 room;
    ByteControlV1 *byte = room.createByte(QStringLiteral("b"), {}, {});
    byte->setByteAddress(20);
    room.applyAnswer({block(10, "01000000"), block(8, "00000000020000000000")}, 0);
    QCOMPARE(byte->value(), 2.0);
    QCOMPARE(byte->data(), QByteArray::fromHex("02000000"));
}

void TestRoomsV1::saveChoosesFiles_data()
{
    QTest::addColumn<QString>("editedPage");
    QTest::addColumn<QStringList>("rewritten");
    QTest::newRow("no edit") << "" << QStringList();
    QTest::newRow("light room") << "kitchen" << QStringList{"light_config.xml"};
    QTest::newRow("heat floor") << "heat_ground" << QStringList{"heat_config.xml"};
    QTest::newRow("main page") << "home" << QStringList{"main_config.xml"};
    // Further subsystems share a system type, not a file: the others keep their bytes.
    QTest::newRow("one further subsystem rewrites only its file")
        << "sec_garage" << QStringList{"security.xml"};
}

void TestRoomsV1::saveChoosesFiles()
{
    QFETCH(QString, editedPage);
    QFETCH(QStringList, rewritten);
    QTemporaryDir dir;
    QVERIFY(copyFixture(dir));
    const auto before = snapshot(dir);
    RoomsV1 rooms;
    rooms.load(dir.path(), kFixtureFiles);
    if (!editedPage.isEmpty()) {
        BaseRoomV1 *page = rooms.pageByName(editedPage);
        QVERIFY(page);
        QVERIFY(page->controlCount() > 0);
        page->controls().first()->setPosY(33.25);
        page->setModified(true);
    }
    QCOMPARE(rooms.save(dir.path()), !rewritten.isEmpty());
    QCOMPARE(changedFiles(before, dir), rewritten);
    if (rewritten.isEmpty())
        return;
    // What was written reads back as the tree in memory, edit included.
    RoomsV1 reread;
    reread.load(dir.path(), kFixtureFiles);
    QCOMPARE(reread.pageByName(editedPage)->controls().first()->posY(), 33.25);
    // Names included: buttons, weather tiles and cameras keep theirs too.
    const MainStructV1 *edited = rooms.systemByFileName(rewritten.first());
    const MainStructV1 *copy = reread.systemByFileName(rewritten.first());
    const QStringList differences = ModelDump::compareTrees(edited, copy);
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QLatin1Char('\n'))));
}

void TestRoomsV1::saveLeavesOutDeletedItems()
{
    QTemporaryDir dir;
    QVERIFY(copyFixture(dir));
    RoomsV1 rooms;
    rooms.load(dir.path(), kFixtureFiles);
    BaseRoomV1 *kitchen = pageNamed(rooms, "kitchen");
    kitchen->setDeleted(true);
    BaseRoomV1 *living = pageNamed(rooms, "living");
    living->controls().first()->setDeleted(true);
    living->setModified(true);
    QVERIFY(rooms.saveProject(dir.path()));

    const QByteArray text = contents(dir.filePath(QStringLiteral("light_config.xml")));
    QVERIFY(!text.contains("kitchen"));
    QVERIFY(!text.contains("Cooking"));
    QVERIFY(!text.contains("living_main"));
    QVERIFY(text.contains("living_floor"));
    QVERIFY(text.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    RoomsV1 reread;
    reread.load(dir.path(), kFixtureFiles);
    QCOMPARE(reread.pageCount(), rooms.pageCount() - 1);
    QCOMPARE(reread.pageByName(QStringLiteral("living"))->controlCount(),
             living->controlCount() - 1);
}

void TestRoomsV1::saveNeverWritesAnUnreadTree_data()
{
    QTest::addColumn<QByteArray>("content"); // null: the file is removed after loading
    QTest::newRow("malformed at load time")
        << QByteArray("<subsystems><floor name='a'></subsystems>");
    QTest::newRow("removed after loading") << QByteArray();
}

void TestRoomsV1::saveNeverWritesAnUnreadTree()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    QVERIFY(copyFixture(dir));
    const QString path = dir.filePath(QStringLiteral("security.xml"));
    if (!content.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    RoomsV1 rooms;
    rooms.load(dir.path(), kFixtureFiles);
    if (content.isNull())
        QVERIFY(QFile::remove(path));
    pageNamed(rooms, "utilities")->setModified(true);
    // An edit on the security tree's page (empty when its file was unreadable): that tree is
    // due to be written.
    for (MainStructV1 *root : rooms.otherSystems()) {
        if (root->fileName().isEmpty() || root->fileName() == QLatin1String("security.xml"))
            root->setModified(true);
    }
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".*")));
    // The other subsystem is still written, but the failure is reported.
    QVERIFY(!rooms.saveProject(dir.path()));
    QCOMPARE(QFile::exists(path), !content.isNull());
    if (!content.isNull())
        QCOMPARE(contents(path), content);
    QVERIFY(contents(dir.filePath(QStringLiteral("utilities.xml")))
                .startsWith("<?xml version=\"1.0\""));
}

QTEST_GUILESS_MAIN(TestRoomsV1)
#include "tst_roomsv1.moc"
