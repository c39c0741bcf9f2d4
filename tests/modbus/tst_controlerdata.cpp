// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "boolcontrolv1.h"
#include "btncontrolv1.h"
#include "bytecontrolv1.h"
#include "controlerdata.h"
#include "dyntextcontrolv1.h"
#include "fakecontroller.h"
#include "heatcontrolv1.h"
#include "hslidercontrolv1.h"
#include "lightcontrolv1.h"
#include "linkharness.h"
#include "modbusconstants.h"
#include "resbtcontrolv1.h"
#include "roomstructv1.h"
#include "switchcontrolv1.h"
#include "textwritecontrolv1.h"

#include <QtTest>
#include <functional>
#include <numeric>

using namespace LinkHarness;

using RoomSetup = std::function<void(BaseRoomV1 &)>;
using Command = std::function<void(ControlerData *)>;
using Memory = QList<QPair<int, QByteArray>>; // register relative to the offset, bytes
Q_DECLARE_METATYPE(RoomSetup)
Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(Memory)

namespace {
const QString kLocal = QStringLiteral("127.0.0.1");
const QString kNobody = QStringLiteral("127.0.0.2");
constexpr int kOffset = 0x100;

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

LightControlV1 *addLamp(BaseRoomV1 &room, int number)
{
    LightControlV1 *lamp = room.createLight(QStringLiteral("lamp"), QString(), {});
    lamp->setLmpNumber(number);
    return lamp;
}

// lamp byte address 612 + 8n, in registers relative to the offset
int lampRegister(int number)
{
    return (612 + 8 * number) / 2;
}

template<typename Control> Control *addBound(Control *control, int byteAddress)
{
    control->setByteAddress(byteAddress);
    return control;
}

// The room of the command table, by index:
//  0 lamp 1 (reg 310) · 1 bool, odd address, bit 3 (reg 1000) · 2 read-only bool (reg 1005)
//  3 button, bit 7 (reg 1010) · 4 byte button, value 0x42 (reg 1015) · 5 WORD byte (reg 1020)
//  6 DWORD byte (reg 1025) · 7 BYTE slider, odd address (reg 1030) · 8 thermostat 2 (reg 152)
//  9 text write, maximum 255 (reg 1050) · 10 text write, maximum 8 (reg 1100) · 11 a switch
void commandRoom(BaseRoomV1 &room)
{
    addLamp(room, 1);
    addBound(room.createBool({}, {}, {}), 2001)->setBitNumber(3);
    addBound(room.createBool({}, {}, {}), 2010)->setReadOnly(true);
    addBound(room.createBtn({}, {}, {}), 2020)->setBitNumber(7);
    addBound(room.createResbt({}, {}, {}), 2030)->setVal(0x42);
    addBound(room.createByte({}, {}, {}), 2040)->setTypeD(QStringLiteral("WORD"));
    addBound(room.createByte({}, {}, {}), 2050)->setTypeD(QStringLiteral("DWORD"));
    addBound(room.createHSlider({}, {}, {}), 2061);
    room.createHeat({}, {}, {})->setSwcNumber(2);
    addBound(room.createTextWrite({}, {}, {}), 2100);
    addBound(room.createTextWrite({}, {}, {}), 2200)->setMaximum(8);
    room.createSwitch({}, {}, {});
}

// A command invoked by name, queued, the way the screens call the link.
template<typename T> QGenericArgument argument(const T &value)
{
    return QGenericArgument(QMetaType::typeName(qMetaTypeId<T>()), &value);
}

template<typename... Args> Command call(const char *name, Args... args)
{
    return Command([=](ControlerData *link) {
        QVERIFY(QMetaObject::invokeMethod(link, name, argument(args)...));
    });
}

} // namespace

// A link polling a libmodbus fake controller on loopback. The main timer is stopped once the
// link is connected: the tests drive the poll ticks themselves, one blocking call at a time.
class Rig : public QObject
{
public:
    Rig()
    {
        room.setSystemType(BaseRoomV1::HeatSystem);
        connect(&link, &ControlerData::ReadyUpdateAlerts, this,
                [this](const ReservVariables &v) { alerts.append(v); });
        connect(&link, &ControlerData::ReadyUpdateControls, this,
                [this](const QList<SubsUpdate> &answer, int) { answers.append(answer); });
        connect(&link, &ControlerData::ReadyUpdateScenes, this,
                [this](const ScenesStruct &s) { scenes.append(s); });
        connect(&link, &ControlerData::ControlDataWriten, this,
                [this](int index) { written.append(index); });
    }

    bool start(int offset = kOffset, bool selectRoom = true)
    {
        if (!controller.isRunning() && !controller.start(kLocal))
            return false;
        configureLoopback(&link, kLocal, kNobody, controller.port());
        link.SetControlerOffset(offset);
        link.SetUpdateTimeout(2000);
        link.start();
        if (!waitConnected(log))
            return false;
        inLinkThread(&link, [this] { link.stopMainTimer(); });
        if (selectRoom)
            QMetaObject::invokeMethod(&link, "setRoom",
                                      Q_ARG(RoomSnapshot, makeRoomSnapshot(room)));
        tick();
        return true;
    }
    // One poll tick in the link thread; its signals are delivered before this returns.
    void tick()
    {
        inLinkThread(&link, [this] { link.TimerCNT(); });
        QCoreApplication::processEvents();
    }
    // Waits until everything invoked on the link so far has run, then delivers its signals.
    void sync()
    {
        inLinkThread(&link, [] {});
        QCoreApplication::processEvents();
    }
    QList<SubsUpdate> requests()
    {
        QList<SubsUpdate> list;
        inLinkThread(&link, [&] { list = link.getRequest(); });
        return list;
    }
    void load(const Memory &memory)
    {
        for (const auto &entry : memory)
            controller.setBytes(kOffset + entry.first, entry.second);
    }
    Memory writes() const
    {
        Memory out;
        for (const FakeController::Request &r : controller.requests(16))
            out.append({r.address - kOffset, r.written});
        return out;
    }

    FakeController controller;
    RoomStructV1 room;
    ControlerData link;
    StateLog log{&link};
    QList<ReservVariables> alerts;
    QList<QList<SubsUpdate>> answers;
    QList<ScenesStruct> scenes;
    QList<int> written;
};

class TestControlerData : public QObject
{
    Q_OBJECT
private slots:
    void requestPlanning_data();
    void requestPlanning();
    void roomSelectedWhileDisconnected();
    void statusDecoding();
    void messagesFollowTheController();
    void notReady();
    void lampRoomNumbers_data();
    void lampRoomNumbers();
    void scenePoll();
    void commands_data();
    void commands();
    void roomWideLampCommands_data();
    void roomWideLampCommands();
    void controllerKilledAndRestarted();
    void readsInTheTickThatReconnects();
    void backgroundReads_data();
    void backgroundReads();
    void backgroundCommands();
};

void TestControlerData::requestPlanning_data()
{
    QTest::addColumn<RoomSetup>("setup");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QList<QList<int>>>("blocks"); // start, end, byte count, item indices...

    QTest::newRow("two neighbouring lamps share a block") << RoomSetup([](BaseRoomV1 &r) {
        addLamp(r, 0);
        addLamp(r, 1);
    }) << 0 << QList<QList<int>>{{306, 314, 16, 0, 1}};
    QTest::newRow("controls 300 registers apart") << RoomSetup([](BaseRoomV1 &r) {
        addBound(r.createByte({}, {}, {}), 600);
        addBound(r.createByte({}, {}, {}), 0);
    }) << 0 << QList<QList<int>>{{0, 2, 4, 1}, {300, 302, 4, 0}};
    QTest::newRow("a window of 250 bytes is never read") << RoomSetup([](BaseRoomV1 &r) {
        addBound(r.createDynText({}, {}, {}), 2000)->setMaximum(249);
        addLamp(r, 2);
    }) << 0 << QList<QList<int>>{{314, 318, 8, 1}};
    QTest::newRow("deleted and unbound controls are skipped") << RoomSetup([](BaseRoomV1 &r) {
        r.createSwitch({}, {}, {});
        addLamp(r, 3)->setDeleted(true);
        addLamp(r, 4);
    }) << 0 << QList<QList<int>>{{322, 326, 8, 2}};
    QTest::newRow("address order, offset added") << RoomSetup([](BaseRoomV1 &r) {
        addLamp(r, 5);
        addLamp(r, 1);
    }) << kOffset << QList<QList<int>>{{kOffset + 310, kOffset + 330, 40, 1, 0}};
    QTest::newRow("exactly 248 bytes stay one block") << RoomSetup([](BaseRoomV1 &r) {
        addBound(r.createByte({}, {}, {}), 0);
        addBound(r.createByte({}, {}, {}), 244);
    }) << 0 << QList<QList<int>>{{0, 124, 248, 0, 1}};
    QTest::newRow("250 bytes make two blocks") << RoomSetup([](BaseRoomV1 &r) {
        addBound(r.createByte({}, {}, {}), 0);
        addBound(r.createByte({}, {}, {}), 246);
    }) << 0 << QList<QList<int>>{{0, 2, 4, 0}, {123, 125, 4, 1}};
}

void TestControlerData::requestPlanning()
{
    QFETCH(RoomSetup, setup);
    QFETCH(int, offset);
    QFETCH(QList<QList<int>>, blocks);

    Rig rig;
    setup(rig.room);
    QVERIFY(rig.start(offset));
    QList<QList<int>> planned;
    for (const SubsUpdate &block : rig.requests()) {
        QList<int> row{block.start, block.end, block.byteCount};
        for (const SubsUpdateItem &item : block.items)
            row.append(item.index);
        planned.append(row);
    }
    QCOMPARE(planned, blocks);
}

void TestControlerData::roomSelectedWhileDisconnected()
{
    Rig rig;
    addLamp(rig.room, 0);
    QVERIFY(rig.controller.start(kLocal));
    const quint16 port = rig.controller.port();
    rig.controller.stop();

    configureLoopback(&rig.link, kLocal, kNobody, port);
    rig.link.SetControlerOffset(0);
    rig.link.SetUpdateTimeout(100);
    rig.link.start();
    QMetaObject::invokeMethod(&rig.link, "setRoom",
                              Q_ARG(RoomSnapshot, makeRoomSnapshot(rig.room)));
    QVERIFY(rig.requests().isEmpty());

    // The poll tick keeps reconnecting; once the controller is there the list is planned.
    QVERIFY(rig.controller.start(kLocal, port));
    QVERIFY(waitConnected(rig.log));
    QCOMPARE(rig.requests().size(), 1);
    QTRY_VERIFY(!rig.answers.isEmpty());
}

// The block carries one message at a time: an id config.xml lacks is kept, and "no alarms"
// takes the active mark off every alarm at once rather than when each one's turn comes again.
void TestControlerData::messagesFollowTheController()
{
    Rig rig;
    QByteArray status(60, '\0');
    status[0] = char(1);
    status[5] = char(7);
    status[6] = char(0x0C);
    rig.controller.setBytes(kOffset, status);
    AlertStruct known;
    known.id = 7;
    known.text = QStringLiteral("Door open");
    rig.link.setMessParameters({known}, {});
    QVERIFY(rig.start(kOffset, false));
    QCOMPARE(rig.alerts.last().messages.size(), 1);
    QCOMPARE(rig.alerts.last().messages.at(0).stateByte, quint8(0x0C));

    status[0] = char(2);
    status[5] = char(42);
    status[7] = char(0x33);
    rig.controller.setBytes(kOffset, status);
    rig.tick();
    QList<AlertStruct> m = rig.alerts.last().messages;
    QCOMPARE(m.size(), 2);
    QCOMPARE(m.at(1).id, quint8(42));
    QCOMPARE(m.at(1).active, quint8(1));
    QCOMPARE(m.at(1).stateByte, quint8(0x0C));
    QVERIFY(m.at(1).text.isEmpty());
    QCOMPARE(m.at(0).stateByte, quint8(0x0C));

    // Both cleared; the block still names message 42, now inactive.
    status[0] = char(0xFF);
    status[6] = char(0x08);
    rig.controller.setBytes(kOffset, status);
    rig.tick();
    m = rig.alerts.last().messages;
    QCOMPARE(m.size(), 2);
    QCOMPARE(m.at(0).stateByte, quint8(0x08));
    QCOMPARE(m.at(1).stateByte, quint8(0x08));
    QCOMPARE(m.at(0).active, quint8(1));
}

void TestControlerData::statusDecoding()
{
    Rig rig;
    QByteArray status(60, '\0');
    status[0] = char(3);    // alarm count
    status[5] = char(7);    // message id
    status[6] = char(0x0C); // its state byte
    status[7] = char(0x80); // its data byte
    status.replace(8, 4, bytes({0x78, 0x56, 0x34, 0x12}));
    status[14] = char(9);                                   // sound
    status[30] = char(4);                                   // security state
    status[32] = char(2);                                   // page selection
    status.replace(40, 4, bytes({0x00, 0xE1, 0xF5, 0x05})); // 100000000 s
    for (int i = 0; i < 16; ++i)
        status[44 + i] = char(0xA0 + i);
    rig.controller.setBytes(kOffset, status);

    AlertStruct first;
    first.id = 7;
    AlertStruct second = first;
    AlertStruct other;
    other.id = 8;
    QList<ArchiveStruct> parameters;
    for (int id : {3, 16, 0, 17}) {
        ArchiveStruct p;
        p.id = quint8(id);
        parameters.append(p);
    }
    rig.link.setMessParameters({first, second, other}, parameters);
    QVERIFY(rig.start(kOffset, false));
    QCOMPARE(rig.alerts.size(), 1);

    const ReservVariables v = rig.alerts.first();
    QCOMPARE(v.alarmCount, quint8(3));
    QCOMPARE(v.currentMessageId, quint8(7));
    QCOMPARE(v.soundNumber, quint8(9));
    QCOMPARE(v.soundUnchanged, false);
    QCOMPARE(v.securityState, quint8(4));
    QCOMPARE(v.pageSelection, quint8(2));
    QCOMPARE(v.controllerTime.toSecsSinceEpoch(), qint64(100000000));
    QCOMPARE(v.parameterBytes, status.mid(44, 16));
    // The first record with the reported id takes the values; a second one with that id does not.
    QCOMPARE(v.messages.at(0).active, quint8(1));
    QCOMPARE(v.messages.at(0).stateByte, quint8(0x0C));
    QCOMPARE(v.messages.at(0).dataByte, quint8(0x80));
    QCOMPARE(v.messages.at(0).value, qint32(0x12345678));
    QCOMPARE(v.messages.at(1).active, quint8(0));
    QCOMPARE(v.messages.at(2).active, quint8(0));
    QCOMPARE(v.parameters.at(0).dataByte, quint8(0xA2));
    QCOMPARE(v.parameters.at(1).dataByte, quint8(0xAF));
    QCOMPARE(v.parameters.at(2).dataByte, quint8(0));
    QCOMPARE(v.parameters.at(3).dataByte, quint8(0));

    rig.tick();
    QCOMPARE(rig.alerts.size(), 2);
    QCOMPARE(rig.alerts.last().soundUnchanged, true);
}

// Without a decoded status block nothing is written; commands that report back to a widget do
// so at once so that it can restore its state. A negative offset polls nothing at all.
void TestControlerData::notReady()
{
    Rig rig;
    addLamp(rig.room, 1);
    // The fixed words would lie past the last register: the offset is refused, nothing polled.
    QVERIFY(rig.start(0xFFF0));
    QCOMPARE(rig.link.controlerOffset(), -1);
    QVERIFY(rig.alerts.isEmpty());
    QVERIFY(!rig.link.isReady());
    QMetaObject::invokeMethod(&rig.link, "EnableLight", Q_ARG(int, 0));
    QMetaObject::invokeMethod(&rig.link, "AddSwitchToLamp", Q_ARG(int, 0), Q_ARG(int, 5));
    QMetaObject::invokeMethod(&rig.link, "GlobalOnActivate");
    rig.sync();
    QCOMPARE(rig.written, QList<int>{0});
    QVERIFY(rig.controller.requests(16).isEmpty());

    rig.controller.clearRequests();
    rig.link.SetControlerOffset(-1);
    rig.tick();
    rig.link.SetControlerOffset(0x10000); // no register can be addressed from there
    rig.sync();
    QCOMPARE(rig.link.controlerOffset(), -1);
    rig.tick();
    QCOMPARE(rig.controller.requestCount(), 0);
}

void TestControlerData::lampRoomNumbers_data()
{
    QTest::addColumn<int>("systemType");
    QTest::addColumn<int>("lamps");
    QTest::addColumn<int>("storedRoom");
    QTest::addColumn<int>("writeRequests");

    QTest::newRow("lighting room, numbers outdated") << int(BaseRoomV1::LightSystem) << 2 << 0 << 1;
    QTest::newRow("lighting room, numbers right") << int(BaseRoomV1::LightSystem) << 2 << 5 << 0;
    QTest::newRow("heating room") << int(BaseRoomV1::HeatSystem) << 2 << 0 << 0;
    // 31 lamps fill one block of 124 registers: more than one write request may carry.
    QTest::newRow("full block") << int(BaseRoomV1::LightSystem) << 31 << 0 << 2;
}

// Lamps of a lighting room carry the room's page number in record byte 5; the link corrects it
// by writing the room's blocks back, and the correction reaches the controller for every lamp.
void TestControlerData::lampRoomNumbers()
{
    QFETCH(int, systemType);
    QFETCH(int, lamps);
    QFETCH(int, storedRoom);
    QFETCH(int, writeRequests);

    Rig rig;
    rig.room.setSystemType(BaseRoomV1::TYPESYSTEM(systemType));
    rig.room.setPageNumber(0x105); // only its low byte is stored
    QByteArray image;
    for (int n = 0; n < lamps; ++n) {
        addLamp(rig.room, n);
        const QByteArray record = bytes({0x11 * (n % 15), n, 0, 0, 0, storedRoom, 0, 0});
        image.append(record);
    }
    rig.controller.setBytes(kOffset + lampRegister(0), image);
    QVERIFY(rig.start(kOffset, false));
    rig.controller.clearRequests();
    QMetaObject::invokeMethod(&rig.link, "setRoom",
                              Q_ARG(RoomSnapshot, makeRoomSnapshot(rig.room)));
    rig.tick();

    QCOMPARE(rig.answers.size(), 1);
    QCOMPARE(rig.answers.last().size(), 1);
    QCOMPARE(rig.answers.last().first().data, image); // published as read, before the fix
    QCOMPARE(rig.controller.requests(16).size(), writeRequests);
    const QByteArray after = rig.controller.bytes(kOffset + lampRegister(0), image.size());
    for (int n = 0; n < lamps; ++n) {
        const bool fixed = systemType == BaseRoomV1::LightSystem;
        QCOMPARE(int(after.at(8 * n + 5)), fixed ? 5 : storedRoom);
        QCOMPARE(after.mid(8 * n, 5), image.mid(8 * n, 5));
    }
}

void TestControlerData::scenePoll()
{
    Rig rig;
    QByteArray area(240, '\0');
    area.replace(0, 9, QByteArrayLiteral("SEVENXYZZ")); // 7 characters, no terminator
    area.replace(16, 5, QByteArray("ABC\0D", 5));
    for (int i = 0; i < 10; ++i)
        area[160 + 10 + i] = char(i); // global scene 1 in controller order
    rig.controller.setBytes(kOffset + 30, area);
    QVERIFY(rig.start());
    QMetaObject::invokeMethod(&rig.link, "SetCurrentScenesRoom");
    rig.tick();

    QCOMPARE(rig.scenes.size(), 1);
    const ScenesStruct s = rig.scenes.first();
    QCOMPARE(s.names.size(), 10);
    QCOMPARE(s.names.at(0), QStringLiteral("SEVENXY"));
    QCOMPARE(s.names.at(1), QStringLiteral("ABC"));
    QCOMPARE(s.names.at(2), QString());
    QCOMPARE(s.activators.size(), 8);
    GActivators expected;
    expected.bytes = {0, 1, 2, 3, 4, 5, 6, 8, 9, 7};
    QCOMPARE(s.activators.at(1), expected);
    QCOMPARE(s.activators.at(0), GActivators());

    // Selecting a room ends the scene polling.
    QMetaObject::invokeMethod(&rig.link, "setRoom",
                              Q_ARG(RoomSnapshot, makeRoomSnapshot(rig.room)));
    rig.tick();
    QCOMPARE(rig.scenes.size(), 1);
}

void TestControlerData::commands_data()
{
    QTest::addColumn<Memory>("memory");
    QTest::addColumn<Command>("command");
    QTest::addColumn<Memory>("writes");
    QTest::addColumn<QList<int>>("signalled");

    const Memory lightWords{{8, bytes({9, 8, 7, 6})}};
    const Memory heatWord{{10, bytes({7, 0x55})}};
    const QByteArray lamp = bytes({0x50, 5, 7, 0, 3, 0, 0, 0});
    const QList<int> none;

    // clang-format off
    QTest::newRow("global scene 3") << lightWords << call("GlobalScene3Activate") << Memory{{8, bytes({3, 8, 7, 6})}} << none;
    QTest::newRow("all lights off") << lightWords << call("GlobalOffActivate") << Memory{{8, bytes({101, 8, 7, 6})}} << none;
    QTest::newRow("lights on in room 7") << lightWords << call("LightOnInRoom", 7) << Memory{{8, bytes({9, 8, 100, 7})}} << none;
    QTest::newRow("miniscene 2 in room 4") << lightWords << call("Miniscene2InRoom", 4) << Memory{{8, bytes({9, 8, 2, 4})}} << none;
    QTest::newRow("save miniscene, global scene kept") << lightWords << call("SaveGlobalMiniLight", 0, 2, 5) << Memory{{8, bytes({9, 8, 22, 5})}} << none;
    QTest::newRow("save miniscene into global scene 3") << lightWords << call("SaveGlobalMiniLight", 3, 2, 5) << Memory{{8, bytes({9, 3, 22, 5})}} << none;
    QTest::newRow("miniscene 0 is not saved") << lightWords << call("SaveGlobalMiniLight", 1, 0, 5) << Memory{} << none;
    QTest::newRow("heating on") << heatWord << call("GlobalHeatOnActivate") << Memory{{10, bytes({100, 0x55})}} << none;
    QTest::newRow("heating scene 4") << heatWord << call("GlobalHeatScene4Activate") << Memory{{10, bytes({4, 0x55})}} << none;
    QTest::newRow("save heating scene 3") << heatWord << call("FloorHeatSave", 3) << Memory{{10, bytes({23, 0x55})}} << none;
    QTest::newRow("sound started, the one asked for") << Memory{{7, bytes({12, 0})}} << call("SoundStarted", 12) << Memory{{7, bytes({12, 1})}} << none;
    QTest::newRow("sound error, another sound") << Memory{{7, bytes({12, 0})}} << call("SoundError", 13) << Memory{} << none;
    QTest::newRow("time synchronisation") << Memory{} << call("SinchronizeTime", uint(0x11223344)) << Memory{{20, bytes({0x44, 0x33, 0x22, 0x11})}} << none;
    QTest::newRow("password") << Memory{} << call("WritePassword", 0x01020304) << Memory{{13, bytes({4, 3, 2, 1})}} << none;
    QTest::newRow("alarm") << Memory{} << call("WriteAlarm", 0x1234, char(0x5A)) << Memory{{6, bytes({0x34, 0x5A})}} << none;
    QTest::newRow("scene text cut to 7 characters") << Memory{} << call("WriteSMS", QStringLiteral("ABCDEFGHIJ"), 2) << Memory{{46, QByteArrayLiteral("ABCDEFG\0")}} << none;
    QTest::newRow("scene text slot out of range") << Memory{} << call("WriteSMS", QStringLiteral("A"), 10) << Memory{} << none;
    QTest::newRow("global scene in controller order") << Memory{}
        << Command([](ControlerData *link) {
               GActivators a;
               a.bytes = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
               link->SetActivators(a); // a direct call from another thread is forwarded, in order
               QMetaObject::invokeMethod(link, "WriteGlobalScene", Q_ARG(int, 1));
           })
        << Memory{{115, bytes({0, 1, 2, 3, 4, 5, 6, 9, 7, 8})}} << none;
    QTest::newRow("lamp on") << Memory{{310, lamp}} << call("EnableLight", 0) << Memory{{310, bytes({0x51, 5, 7, 0, 3, 0, 0, 0})}} << QList<int>{0};
    QTest::newRow("lamp off") << Memory{{310, bytes({0x51, 5})}} << call("DisableLight", 0) << Memory{{310, bytes({0x50, 5, 0, 0, 0, 0, 0, 0})}} << QList<int>{0};
    QTest::newRow("lamp brightness") << Memory{{310, bytes({0x51})}} << call("ChangeLightBright", 0, 7) << Memory{{310, bytes({0x71, 0, 0, 0, 0, 0, 0, 0})}} << QList<int>{0};
    QTest::newRow("switch already bound is bound again") << Memory{{310, lamp}} << call("AddSwitchToLamp", 0, 5) << Memory{{310, lamp}} << none;
    QTest::newRow("switch added to the free slot") << Memory{{310, lamp}} << call("AddSwitchToLamp", 0, 9) << Memory{{310, bytes({0x50, 5, 7, 9, 3, 0, 0, 0})}} << none;
    QTest::newRow("no free switch slot") << Memory{{310, bytes({0, 4, 7, 8})}} << call("AddSwitchToLamp", 0, 9) << Memory{} << none;
    QTest::newRow("removing a switch the lamp lacks") << Memory{{310, lamp}} << call("DelSwitchFromLamp", 0, 9) << Memory{} << none;
    QTest::newRow("removing a bound switch") << Memory{{310, lamp}} << call("DelSwitchFromLamp", 0, 7) << Memory{{310, bytes({0x50, 5, 0, 0, 3, 0, 0, 0})}} << none;
    QTest::newRow("bool on an odd address") << Memory{{1000, bytes({0xAA, 0x08})}} << call("BoolClick", 1) << Memory{{1000, bytes({0xAA, 0x00})}} << QList<int>{1};
    QTest::newRow("read-only bool") << Memory{} << call("BoolClick", 2) << Memory{} << none;
    QTest::newRow("bool button sets bit 7") << Memory{{1010, bytes({0x01, 0x22})}} << call("BoolButton1Click", 3) << Memory{{1010, bytes({0x81, 0x22})}} << none;
    QTest::newRow("byte button writes its value") << Memory{{1015, bytes({0, 0x33})}} << call("ByteControlValClick", 4) << Memory{{1015, bytes({0x42, 0x33})}} << none;
    QTest::newRow("word, little-endian") << Memory{{1020, bytes({0xFF, 0xFF, 0xFF, 0xFF})}} << call("ByteControlChange", 5, 0x1234) << Memory{{1020, bytes({0x34, 0x12, 0xFF, 0xFF})}} << QList<int>{5};
    QTest::newRow("double word") << Memory{} << call("ByteControlChange", 6, 0x01020304) << Memory{{1025, bytes({4, 3, 2, 1})}} << QList<int>{6};
    QTest::newRow("byte slider on an odd address") << Memory{{1030, bytes({0x11, 0x22, 0x33, 0x44, 0x55, 0x66})}} << call("ByteControlChange", 7, 0x1FF) << Memory{{1030, bytes({0x11, 0xFF, 0x33, 0x44, 0x55, 0x66})}} << QList<int>{7};
    QTest::newRow("thermostat set point") << Memory{{152, bytes({100, 80, 0, 33})}} << call("ChangeHeatTemp", 8, 0x7B) << Memory{{152, bytes({100, 0x7B, 0, 33})}} << QList<int>{8};
    QTest::newRow("text window over 247 bytes") << Memory{} << call("TextWriteControlChange", 9, QStringLiteral("abc")) << Memory{} << none;
    QTest::newRow("text padded to its maximum") << Memory{} << call("TextWriteControlChange", 10, QStringLiteral("Hello")) << Memory{{1100, QByteArrayLiteral("Hello\0\0\0")}} << none;
    // One byte per letter in the controller's encoding, whatever the system's locale is.
    QTest::newRow("cyrillic text fills its window") << Memory{} << call("TextWriteControlChange", 10, QStringLiteral("Ужин гот")) << Memory{{1100, bytes({0xD3, 0xE6, 0xE8, 0xED, 0x20, 0xE3, 0xEE, 0xF2})}} << none;
    QTest::newRow("cyrillic text cut between letters") << Memory{} << call("TextWriteControlChange", 10, QStringLiteral("Ужин готов")) << Memory{{1100, bytes({0xD3, 0xE6, 0xE8, 0xED, 0x20, 0xE3, 0xEE, 0xF2})}} << none;
    QTest::newRow("cyrillic scene text") << Memory{} << call("WriteSMS", QStringLiteral("Ужин готов"), 2) << Memory{{46, bytes({0xD3, 0xE6, 0xE8, 0xED, 0x20, 0xE3, 0xEE, 0})}} << none;
    QTest::newRow("lamp command on a bool") << Memory{} << call("EnableLight", 1) << Memory{} << none;
    QTest::newRow("index past the end") << Memory{} << call("EnableLight", 99) << Memory{} << none;
    // clang-format on
}

void TestControlerData::commands()
{
    QFETCH(Memory, memory);
    QFETCH(Command, command);
    QFETCH(Memory, writes);
    QFETCH(QList<int>, signalled);

    Rig rig;
    commandRoom(rig.room);
    rig.load(memory);
    QVERIFY(rig.start());
    ThreadLog threads;
    connect(
        &rig.link, &ControlerData::ControlDataWriten, &rig.link, [&] { threads.record(); },
        Qt::DirectConnection);
    rig.controller.clearRequests();

    command(&rig.link);
    rig.sync();
    QCOMPARE(rig.writes(), writes);
    QCOMPARE(rig.written, signalled);
    if (!signalled.isEmpty())
        QCOMPARE(threads.threads(), QSet<QThread *>{rig.link.linkThread()});
}

void TestControlerData::roomWideLampCommands_data()
{
    QTest::addColumn<QList<QByteArray>>("records"); // lamps 0, 1, 2 in one block
    QTest::addColumn<Command>("command");
    QTest::addColumn<QList<QByteArray>>("expected"); // empty: nothing written

    using R = QList<QByteArray>;
    // clang-format off
    QTest::newRow("switch with one lamp on turns both off")
        << R{bytes({0x01, 3, 0, 0}), bytes({0x00, 0, 3, 0}), bytes({0x01, 4})} << call("SwitchLightClick", 3)
        << R{bytes({0x00, 3, 0, 0}), bytes({0x00, 0, 3, 0}), bytes({0x01, 4})};
    QTest::newRow("switch with all lamps off turns them on")
        << R{bytes({0x10, 0, 0, 3}), bytes({0x00, 3}), bytes({0x00, 4})} << call("SwitchLightClick", 3)
        << R{bytes({0x11, 0, 0, 3}), bytes({0x01, 3}), bytes({0x00, 4})};
    QTest::newRow("sensor flag cleared where set")
        << R{bytes({0x02, 0, 0, 0, 6}), bytes({0x01, 0, 0, 0, 6}), bytes({0x02, 0, 0, 0, 7})} << call("SensorClick", 6)
        << R{bytes({0x00, 0, 0, 0, 6}), bytes({0x01, 0, 0, 0, 6}), bytes({0x02, 0, 0, 0, 7})};
    QTest::newRow("deleting a switch clears the first match only")
        << R{bytes({0, 4, 4, 0}), bytes({0, 0, 0, 0, 0, 0, 4, 2}), bytes({0, 5})} << call("DeleteSwitchInRoom", 4)
        << R{bytes({0, 0, 4, 0}), bytes({0}), bytes({0, 5})};
    QTest::newRow("scene switch given to the first free lamp")
        << R{bytes({0, 4}), bytes({0}), bytes({0})} << call("ChangeSwitchType", 4, 1, 2)
        << R{bytes({0, 0, 0, 0, 0, 0, 4, 2}), bytes({0}), bytes({0})};
    QTest::newRow("ordinary type only removes the switch")
        << R{bytes({0, 4}), bytes({0, 0, 0, 0, 0, 0, 4, 9}), bytes({0})} << call("ChangeSwitchType", 4, 0, 2)
        << R{bytes({0}), bytes({0}), bytes({0})};
    QTest::newRow("sensor bound to one lamp")
        << R{bytes({0}), bytes({0}), bytes({0})} << call("SetSensorToLight", 1, 9)
        << R{bytes({0}), bytes({0, 0, 0, 0, 9}), bytes({0})};
    // clang-format on
}

// The room-wide lamp commands work on the link's copy of the last poll and write whole blocks.
// The records' own data (the GUI's copy) is deliberately made to disagree: it must not be read.
void TestControlerData::roomWideLampCommands()
{
    QFETCH(QList<QByteArray>, records);
    QFETCH(Command, command);
    QFETCH(QList<QByteArray>, expected);

    const auto padded = [](QByteArray r) { return r.append(QByteArray(8 - r.size(), '\0')); };
    Rig rig;
    rig.room.setSystemType(BaseRoomV1::LightSystem);
    QByteArray image;
    for (int n = 0; n < records.size(); ++n) {
        addLamp(rig.room, n)->setData(QByteArray(8, char(0xFF)));
        image.append(padded(records.at(n)));
    }
    rig.controller.setBytes(kOffset + lampRegister(0), image);
    QVERIFY(rig.start()); // polls once: the records' room number (0) is already right
    rig.controller.clearRequests();

    command(&rig.link);
    rig.sync();
    QByteArray want;
    for (const QByteArray &r : expected)
        want.append(padded(r));
    QCOMPARE(rig.writes(), (Memory{{lampRegister(0), want}}));
}

// The controller goes away while the link polls and comes back on the same port: the link reports
// the loss, reconnects by itself, and every block it publishes holds that block's bytes or none.
void TestControlerData::controllerKilledAndRestarted()
{
    Rig rig;
    QByteArray low;
    QByteArray high;
    for (int i = 0; i < 12; ++i) {
        addBound(rig.room.createByte({}, {}, {}), 4 * i);
        addBound(rig.room.createByte({}, {}, {}), 1000 + 4 * i);
        low.append(bytes({0x10 + i, 0x20 + i, 0x30 + i, 0x40 + i}));
        high.append(bytes({0x90 + i, 0xA0 + i, 0xB0 + i, 0xC0 + i}));
    }
    rig.controller.setBytes(kOffset, low);
    rig.controller.setBytes(kOffset + 500, high);
    ThreadLog threads;
    connect(
        &rig.link, &ControlerData::ReadyUpdateControls, &rig.link, [&] { threads.record(); },
        Qt::DirectConnection);
    connect(
        &rig.link, &ControlerData::ReadyUpdateAlerts, &rig.link, [&] { threads.record(); },
        Qt::DirectConnection);

    int checked = 0;
    connect(&rig.link, &ControlerData::ReadyUpdateControls, &rig,
            [&](const QList<SubsUpdate> &answer, int offset) {
                rig.room.applyAnswer(answer, offset);
                for (int i = 0; i < rig.room.controlCount(); ++i) {
                    auto *c = static_cast<ByteControlV1 *>(rig.room.controlAt(i));
                    if (c->data().isEmpty())
                        continue;
                    const QByteArray &own = c->byteAddress() < 1000 ? low : high;
                    const int at = (c->byteAddress() % 1000);
                    QCOMPARE(c->data(), own.mid(at, 4));
                    ++checked;
                }
            });

    QVERIFY(rig.start());
    QCOMPARE(rig.requests().size(), 2);
    inLinkThread(&rig.link, [&] {
        rig.link.SetUpdateTimeout(100);
        rig.link.startMainTimer();
    });
    QTRY_VERIFY(rig.answers.size() >= 3);

    const quint16 port = rig.controller.port();
    rig.controller.stop();
    QTRY_VERIFY(rig.log.count(QAbstractSocket::UnconnectedState) >= 1);
    QTRY_VERIFY(!rig.link.isReady());
    const int answersBefore = rig.answers.size();
    QVERIFY(rig.controller.start(kLocal, port));
    QVERIFY(waitConnected(rig.log, 2));
    QTRY_VERIFY(rig.answers.size() >= answersBefore + 3);
    QVERIFY(checked >= 24 * 3);
    QCOMPARE(rig.log.lastAddress(), 1);
    QCOMPARE(threads.threads(), QSet<QThread *>{rig.link.linkThread()});
}

// The tick that finds the controller back reads it at once: status and the room's blocks come
// with the reconnect, not one poll period later.
void TestControlerData::readsInTheTickThatReconnects()
{
    Rig rig;
    addLamp(rig.room, 0);
    QVERIFY(rig.start());
    const quint16 port = rig.controller.port();
    rig.controller.stop();
    QTRY_VERIFY(rig.log.count(QAbstractSocket::UnconnectedState) >= 1);

    const int alertsBefore = rig.alerts.size();
    const int answersBefore = rig.answers.size();
    rig.tick(); // nobody there: no read, nothing published
    QCOMPARE(rig.alerts.size(), alertsBefore);
    QVERIFY(!rig.link.isReady());

    QVERIFY(rig.controller.start(kLocal, port));
    rig.tick();
    QCOMPARE(rig.alerts.size(), alertsBefore + 1);
    QCOMPARE(rig.answers.size(), answersBefore + 1);
    QVERIFY(rig.link.isReady());
}

// The background set of these tests: three blocks far apart (a byte control at 4000 and one at
// 4004 share the first), and lamp 7 at index 1 for the commands.
void backgroundSet(BaseRoomV1 &set)
{
    addBound(set.createByte({}, {}, {}), 4000);
    addLamp(set, 7);
    addBound(set.createByte({}, {}, {}), 4004);
    addBound(set.createByte({}, {}, {}), 6000);
}

// Reads (anything but writes) per tick, as start registers relative to the offset, in order.
QList<int> reads(const FakeController &controller)
{
    QList<int> out;
    for (const FakeController::Request &r : controller.requests()) {
        if (r.function != 16)
            out.append(r.address - kOffset);
    }
    return out;
}

void TestControlerData::backgroundReads_data()
{
    QTest::addColumn<int>("periodMs"); // -1: no background set; -2: set, then cleared
    QTest::addColumn<QList<int>>("backgroundReadsPerBlock");
    QTest::addColumn<int>("rounds");

    const int hour = 3600 * 1000;
    // Seven ticks of a 2 s poll, three blocks: a round every period, spread over its ticks.
    QTest::newRow("no background set") << -1 << QList<int>{0, 0, 0} << 0;
    QTest::newRow("set and cleared again") << -2 << QList<int>{0, 0, 0} << 0;
    QTest::newRow("shorter than the poll: all every tick") << 500 << QList<int>{7, 7, 7} << 7;
    QTest::newRow("period of the poll: all every tick") << 2000 << QList<int>{7, 7, 7} << 7;
    // ticks: 0+1 | 2 | 0+1 | 2 | 0+1 | 2 | 0+1
    QTest::newRow("two ticks: two blocks, then one") << 4000 << QList<int>{4, 4, 3} << 3;
    // ticks: 0 | 1 | 2 | 0 | 1 | 2 | 0
    QTest::newRow("three ticks: one block each") << 6000 << QList<int>{3, 2, 2} << 2;
    // A period of 4.5 ticks is read every 4 ticks, never later: 0 | 1 | 2 | - | 0 | 1 | 2
    QTest::newRow("between ticks: rounded down") << 9000 << QList<int>{2, 2, 2} << 2;
    QTest::newRow("an hour: the first round only") << hour << QList<int>{1, 1, 1} << 1;
}

void TestControlerData::backgroundReads()
{
    QFETCH(int, periodMs);
    QFETCH(QList<int>, backgroundReadsPerBlock);
    QFETCH(int, rounds);
    constexpr int kTicks = 7;
    const int lampBlock = lampRegister(1);
    const QList<int> blocks{lampRegister(7), 2000, 3000};

    Rig rig;
    addLamp(rig.room, 1);
    RoomStructV1 set;
    backgroundSet(set);
    rig.load({{2000, bytes({0x5A})}, {3000, bytes({0xA5})}});
    QList<QList<SubsUpdate>> background;
    connect(&rig.link, &ControlerData::ReadyUpdateBackground, &rig,
            [&](const QList<SubsUpdate> &answer, int offset) {
                QCOMPARE(offset, kOffset);
                background.append(answer);
            });
    QVERIFY(rig.start());
    if (periodMs != -1)
        rig.link.setBackground(makeRoomSnapshot(set), qMax(0, periodMs));
    if (periodMs == -2)
        rig.link.backgroundCommands().closeRoom();
    rig.sync();
    // The background set is planned into the fewest blocks, like a room.
    rig.controller.clearRequests();

    const int answersBefore = rig.answers.size();
    for (int tick = 0; tick < kTicks; ++tick) {
        const int before = reads(rig.controller).size();
        rig.tick();
        const QList<int> tickReads = reads(rig.controller).mid(before);
        // Every tick reads the status block and the shown room first, then background blocks.
        QVERIFY2(tickReads.size() >= 2, qPrintable(QString::number(tick)));
        QCOMPARE(tickReads.at(0), int(ModbusLink::kStatusWord));
        QCOMPARE(tickReads.at(1), lampBlock);
        for (int block : tickReads.mid(2))
            QVERIFY(blocks.contains(block));
    }
    QCOMPARE(rig.answers.size(), answersBefore + kTicks);

    const QList<int> all = reads(rig.controller);
    QList<int> perBlock;
    for (int block : blocks)
        perBlock.append(all.count(block));
    QCOMPARE(perBlock, backgroundReadsPerBlock);
    QCOMPARE(all.size(), 2 * kTicks + std::accumulate(perBlock.begin(), perBlock.end(), 0));

    QCOMPARE(background.size(), rounds);
    if (rounds > 0) {
        // The round's blocks carry the controller's bytes at the controls' windows.
        const QList<SubsUpdate> &answer = background.last();
        QCOMPARE(answer.size(), blocks.size());
        QCOMPARE(answer.at(1).start, kOffset + 2000);
        QCOMPARE(answer.at(1).data.left(1), bytes({0x5A}));
        QCOMPARE(answer.at(2).data.left(1), bytes({0xA5}));
        // The shown room's request list is its own.
        QCOMPARE(rig.requests().size(), 1);
        QCOMPARE(rig.requests().at(0).start, kOffset + lampBlock);
    }
}

void TestControlerData::backgroundCommands()
{
    Rig rig;
    addLamp(rig.room, 1); // index 0 of the shown room
    RoomStructV1 set;
    backgroundSet(set);
    QVERIFY(rig.start());
    rig.link.setBackground(makeRoomSnapshot(set), 0);
    rig.sync();
    rig.controller.clearRequests();

    // Index 1 of the background set is lamp 7: it is switched, not the shown room's lamp.
    rig.link.backgroundCommands().EnableLight(1);
    // Index 0 of the background set is no lamp: nothing, although the shown room's is one.
    rig.link.backgroundCommands().EnableLight(0);
    rig.sync();
    const Memory writes = rig.writes();
    QCOMPARE(writes.size(), 1);
    QCOMPARE(writes.at(0).first, lampRegister(7));
    QCOMPARE(quint8(writes.at(0).second.at(0)) & 1, 1);
    // The screen showing the room hears nothing about indices of another list.
    QVERIFY(rig.written.isEmpty());

    // A switch toggling lamps of the background set works on its blocks; what the screens read
    // as the shown room's plan stays the shown room's.
    auto starts = [](const QList<SubsUpdate> &list) {
        QList<int> out;
        for (const SubsUpdate &block : list)
            out << block.start << block.end;
        return out;
    };
    const QList<int> shownPlan = starts(rig.requests());
    QVERIFY(!shownPlan.isEmpty());
    rig.link.backgroundCommands().SwitchLightClick(7);
    rig.sync();
    QCOMPARE(starts(rig.requests()), shownPlan);

    // The shown room's commands still mean the shown room.
    rig.controller.clearRequests();
    rig.link.commands().EnableLight(0);
    rig.sync();
    QCOMPARE(rig.writes().size(), 1);
    QCOMPARE(rig.writes().at(0).first, lampRegister(1));
    QCOMPARE(rig.written, QList<int>{0});
}

QTEST_GUILESS_MAIN(TestControlerData)
#include "tst_controlerdata.moc"
