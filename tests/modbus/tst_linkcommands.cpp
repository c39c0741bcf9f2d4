// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The controller link's typed commands against a libmodbus fake controller: each one reaches the
// link method of the same name with the same arguments, runs in the link thread, is queued even
// when issued there, and keeps its place among the calls queued before and after it.
#include "boolcontrolv1.h"
#include "btncontrolv1.h"
#include "bytecontrolv1.h"
#include "controlerdata.h"
#include "fakecontroller.h"
#include "heatcontrolv1.h"
#include "lightcontrolv1.h"
#include "linkharness.h"
#include "resbtcontrolv1.h"
#include "roomstructv1.h"
#include "switchcontrolv1.h"
#include "textwritecontrolv1.h"

#include <QtTest>
#include <condition_variable>
#include <functional>
#include <mutex>

using namespace LinkHarness;

using Typed = std::function<void(LinkCommands &)>;
using Named = std::function<void(ControlerData *)>;
Q_DECLARE_METATYPE(Typed)
Q_DECLARE_METATYPE(Named)

namespace {
const QString kLocal = QStringLiteral("127.0.0.1");
const QString kNobody = QStringLiteral("127.0.0.2");
constexpr int kOffset = 0x100;
// Registers below, relative to the offset, of the words the commands write.
constexpr int kAlarm = 6;
constexpr int kSound = 7;
constexpr int kLight = 8;
constexpr int kHeat = 10;
constexpr int kPassword = 13;
constexpr int kTime = 20;
constexpr int kSceneText2 = 46;
constexpr int kGlobalScene0 = 110;
constexpr int kGlobalScene1 = 115;

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

// The room every command works on, by index:
//  0 lamp 1 (reg 310: switches 5 and 7, sensor 3) · 1 lamp 2 (reg 314: switch 9, on)
//  2 bool, odd address, bit 3 (reg 1000) · 3 button, bit 7 (reg 1010)
//  4 byte button, value 0x42 (reg 1015) · 5 WORD byte (reg 1020) · 6 thermostat 2 (reg 152)
//  7 text write, maximum 8 (reg 1100) · 8 a switch
void buildRoom(BaseRoomV1 &room)
{
    room.setSystemType(BaseRoomV1::HeatSystem);
    room.createLight(QStringLiteral("lamp"), QString(), {})->setLmpNumber(1);
    room.createLight(QStringLiteral("lamp"), QString(), {})->setLmpNumber(2);
    auto *flag = room.createBool({}, {}, {});
    flag->setByteAddress(2001);
    flag->setBitNumber(3);
    auto *button = room.createBtn({}, {}, {});
    button->setByteAddress(2020);
    button->setBitNumber(7);
    auto *value = room.createResbt({}, {}, {});
    value->setByteAddress(2030);
    value->setVal(0x42);
    auto *word = room.createByte({}, {}, {});
    word->setByteAddress(2040);
    word->setTypeD(QStringLiteral("WORD"));
    room.createHeat({}, {}, {})->setSwcNumber(2);
    auto *text = room.createTextWrite({}, {}, {});
    text->setByteAddress(2200);
    text->setMaximum(8);
    room.createSwitch({}, {}, {});
}

RoomSnapshot roomSnapshot()
{
    RoomStructV1 room;
    buildRoom(room);
    return makeRoomSnapshot(room);
}

const QList<QPair<int, QByteArray>> kMemory{
    {kAlarm, bytes({0x11, 0x22})},
    {kSound, bytes({12, 0})},
    {kLight, bytes({9, 8, 7, 6})},
    {kHeat, bytes({7, 0x55})},
    {310, bytes({0x50, 5, 7, 0, 3, 0, 0, 0, 0x01, 9, 0, 0, 0, 0, 0, 0})},
    {1000, bytes({0xAA, 0x08})},
    {1010, bytes({0x01, 0x22})},
    {1015, bytes({0, 0x33})},
    {1020, bytes({0xFF, 0xFF, 0xFF, 0xFF})},
    {152, bytes({100, 80, 0, 33})},
};

template<typename T> QGenericArgument argument(const T &value)
{
    return QGenericArgument(QMetaType::typeName(qMetaTypeId<T>()), &value);
}

// The link method `name`, invoked by its name and queued, from the calling thread.
template<typename... Args> Named byName(const char *name, Args... args)
{
    return Named([=](ControlerData *link) {
        QVERIFY(QMetaObject::invokeMethod(link, name, Qt::QueuedConnection, argument(args)...));
    });
}

// One command, typed and by name, as a row's two columns.
#define COMMAND(name, ...)                                                                         \
    Typed([](LinkCommands &c) { c.name(__VA_ARGS__); }) << byName(#name, __VA_ARGS__)
#define COMMAND0(name) Typed([](LinkCommands &c) { c.name(); }) << byName(#name)

// Holds the link thread in a queued call until released, so that calls pile up behind it.
class Gate
{
public:
    void hold(QObject *link)
    {
        QMetaObject::invokeMethod(
            link,
            [this] {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_opened.wait(lock, [this] { return m_open; });
            },
            Qt::QueuedConnection);
    }
    void release()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_opened.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_opened;
    bool m_open = false;
};

} // namespace

// A link polling the fake controller on loopback with the test room selected (unless asked not
// to) and polled once. The main timer is stopped: the test drives the ticks.
class Rig : public QObject
{
public:
    Rig()
    {
        connect(
            &link, &ControlerData::ControlDataWriten, &link, [this] { threads.record(); },
            Qt::DirectConnection);
    }

    bool start(bool selectRoom = true)
    {
        for (const auto &entry : kMemory)
            controller.setBytes(kOffset + entry.first, entry.second);
        if (!controller.start(kLocal))
            return false;
        configureLoopback(&link, kLocal, kNobody, controller.port());
        link.SetControlerOffset(kOffset);
        link.SetUpdateTimeout(2000);
        link.start();
        if (!waitConnected(log))
            return false;
        inLinkThread(&link, [this] { link.stopMainTimer(); });
        if (selectRoom)
            link.commands().setRoom(roomSnapshot());
        tick();
        controller.clearRequests();
        return link.isReady();
    }
    void tick()
    {
        inLinkThread(&link, [this] { link.TimerCNT(); });
        QCoreApplication::processEvents();
    }
    // Everything the controller was asked since the start, one line per request.
    QStringList requestLog() const
    {
        QStringList out;
        for (const FakeController::Request &r : controller.requests()) {
            out << QStringLiteral("%1 %2 %3 %4")
                       .arg(r.function)
                       .arg(r.address - kOffset)
                       .arg(r.quantity)
                       .arg(QString::fromLatin1(r.written.toHex()));
        }
        return out;
    }
    QList<int> writtenRegisters() const
    {
        QList<int> out;
        for (const FakeController::Request &r : controller.requests(16))
            out << r.address - kOffset;
        return out;
    }
    QList<QByteArray> writtenAt(int reg) const
    {
        QList<QByteArray> out;
        for (const FakeController::Request &r : controller.requests(16)) {
            if (r.address - kOffset == reg)
                out << r.written;
        }
        return out;
    }

    FakeController controller;
    ControlerData link;
    StateLog log{&link};
    ThreadLog threads;
};

class TestLinkCommands : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void sameCommandAsByName_data();
    void sameCommandAsByName();
    void queuedAlsoFromTheLinkThread_data();
    void queuedAlsoFromTheLinkThread();
    void orderKeptWithCallsQueuedBefore();
};

void TestLinkCommands::initTestCase()
{
    registerControllerTypes();
}

void TestLinkCommands::sameCommandAsByName_data()
{
    QTest::addColumn<Typed>("typed");
    QTest::addColumn<Named>("named");
    QTest::addColumn<bool>("selectRoom");
    QTest::addColumn<QList<int>>("written"); // registers; empty: the command changes the reads

    using W = QList<int>;
    const W lampBlocks{152, 310, 1000};
    GActivators scene;
    scene.bytes = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

    // clang-format off
    QTest::newRow("setRoom") << Typed([](LinkCommands &c) { c.setRoom(roomSnapshot()); })
                             << byName("setRoom", roomSnapshot()) << false << W{};
    QTest::newRow("closeRoom") << COMMAND0(closeRoom) << true << W{};
    QTest::newRow("SetCurrentScenesRoom") << COMMAND0(SetCurrentScenesRoom) << true << W{};

    QTest::newRow("GlobalScene1Activate") << COMMAND0(GlobalScene1Activate) << true << W{kLight};
    QTest::newRow("GlobalScene2Activate") << COMMAND0(GlobalScene2Activate) << true << W{kLight};
    QTest::newRow("GlobalScene3Activate") << COMMAND0(GlobalScene3Activate) << true << W{kLight};
    QTest::newRow("GlobalScene4Activate") << COMMAND0(GlobalScene4Activate) << true << W{kLight};
    QTest::newRow("GlobalOnActivate") << COMMAND0(GlobalOnActivate) << true << W{kLight};
    QTest::newRow("GlobalOffActivate") << COMMAND0(GlobalOffActivate) << true << W{kLight};
    QTest::newRow("LightOnInRoom") << COMMAND(LightOnInRoom, 7) << true << W{kLight};
    QTest::newRow("LightOffInRoom") << COMMAND(LightOffInRoom, 7) << true << W{kLight};
    QTest::newRow("Miniscene1InRoom") << COMMAND(Miniscene1InRoom, 4) << true << W{kLight};
    QTest::newRow("Miniscene2InRoom") << COMMAND(Miniscene2InRoom, 4) << true << W{kLight};
    QTest::newRow("Miniscene3InRoom") << COMMAND(Miniscene3InRoom, 4) << true << W{kLight};
    QTest::newRow("Miniscene4InRoom") << COMMAND(Miniscene4InRoom, 4) << true << W{kLight};
    QTest::newRow("SaveGlobalMiniLight") << COMMAND(SaveGlobalMiniLight, 3, 2, 5) << true << W{kLight};

    QTest::newRow("GlobalHeatOnActivate") << COMMAND0(GlobalHeatOnActivate) << true << W{kHeat};
    QTest::newRow("GlobalHeatOffActivate") << COMMAND0(GlobalHeatOffActivate) << true << W{kHeat};
    QTest::newRow("GlobalHeatScene1Activate") << COMMAND0(GlobalHeatScene1Activate) << true << W{kHeat};
    QTest::newRow("GlobalHeatScene2Activate") << COMMAND0(GlobalHeatScene2Activate) << true << W{kHeat};
    QTest::newRow("GlobalHeatScene3Activate") << COMMAND0(GlobalHeatScene3Activate) << true << W{kHeat};
    QTest::newRow("GlobalHeatScene4Activate") << COMMAND0(GlobalHeatScene4Activate) << true << W{kHeat};
    QTest::newRow("FloorHeatSave") << COMMAND(FloorHeatSave, 3) << true << W{kHeat};

    QTest::newRow("SoundStateChanged") << COMMAND(SoundStateChanged, 12, 3) << true << W{kSound};
    QTest::newRow("SoundStarted") << COMMAND(SoundStarted, 12) << true << W{kSound};
    QTest::newRow("SoundStoped") << COMMAND(SoundStoped, 12) << true << W{kSound};
    QTest::newRow("SoundNotfound") << COMMAND(SoundNotfound, 12) << true << W{kSound};
    QTest::newRow("SoundError") << COMMAND(SoundError, 12) << true << W{kSound};

    QTest::newRow("SinchronizeTime") << COMMAND(SinchronizeTime, uint(0x11223344)) << true << W{kTime};
    QTest::newRow("WritePassword") << COMMAND(WritePassword, 0x01020304) << true << W{kPassword};
    QTest::newRow("WriteAlarm") << COMMAND(WriteAlarm, 0x34, char(0x5A)) << true << W{kAlarm};
    QTest::newRow("WriteSMS") << COMMAND(WriteSMS, QStringLiteral("Hello"), 2) << true << W{kSceneText2};
    QTest::newRow("WriteGlobalScene") << COMMAND(WriteGlobalScene, 1) << true << W{kGlobalScene1};
    QTest::newRow("SetActivators, then WriteGlobalScene")
        << Typed([scene](LinkCommands &c) { c.SetActivators(scene); c.WriteGlobalScene(0); })
        << Named([scene](ControlerData *link) {
               byName("SetActivators", scene)(link);
               byName("WriteGlobalScene", 0)(link);
           })
        << true << W{kGlobalScene0};

    QTest::newRow("EnableLight") << COMMAND(EnableLight, 0) << true << W{310};
    QTest::newRow("DisableLight") << COMMAND(DisableLight, 1) << true << W{314};
    QTest::newRow("ChangeLightBright") << COMMAND(ChangeLightBright, 0, 7) << true << W{310};
    QTest::newRow("AddSwitchToLamp") << COMMAND(AddSwitchToLamp, 1, 4) << true << W{314};
    QTest::newRow("DelSwitchFromLamp") << COMMAND(DelSwitchFromLamp, 0, 7) << true << W{310};
    QTest::newRow("BoolClick") << COMMAND(BoolClick, 2) << true << W{1000};
    QTest::newRow("BoolButton1Click") << COMMAND(BoolButton1Click, 3) << true << W{1010};
    QTest::newRow("ByteControlValClick") << COMMAND(ByteControlValClick, 4) << true << W{1015};
    QTest::newRow("ByteControlChange") << COMMAND(ByteControlChange, 5, 0x1234) << true << W{1020};
    QTest::newRow("ChangeHeatTemp") << COMMAND(ChangeHeatTemp, 6, 0x7B) << true << W{152};
    QTest::newRow("TextWriteControlChange") << COMMAND(TextWriteControlChange, 7, QStringLiteral("Hi")) << true << W{1100};

    QTest::newRow("SwitchLightClick") << COMMAND(SwitchLightClick, 5) << true << lampBlocks;
    QTest::newRow("SensorClick") << COMMAND(SensorClick, 3) << true << lampBlocks;
    QTest::newRow("DeleteSwitchInRoom") << COMMAND(DeleteSwitchInRoom, 9) << true << lampBlocks;
    QTest::newRow("ChangeSwitchType") << COMMAND(ChangeSwitchType, 7, 1, 2) << true << lampBlocks;
    QTest::newRow("SetSensorToLight") << COMMAND(SetSensorToLight, 1, 6) << true << lampBlocks;
    // clang-format on
}

// The typed command, issued from this (the GUI's) thread, does to the controller exactly what
// the link's method of that name does with the same arguments: the same requests with the same
// bytes, and the same reads on the next tick. Its writes prove it ran in the link thread: block
// access is refused anywhere else.
void TestLinkCommands::sameCommandAsByName()
{
    QFETCH(Typed, typed);
    QFETCH(Named, named);
    QFETCH(bool, selectRoom);
    QFETCH(QList<int>, written);

    Rig byType;
    QVERIFY(byType.start(selectRoom));
    typed(byType.link.commands());
    byType.tick(); // queued behind the command
    QCOMPARE(byType.writtenRegisters(), written);

    Rig byNameRig;
    QVERIFY(byNameRig.start(selectRoom));
    named(&byNameRig.link);
    byNameRig.tick();
    QCOMPARE(byType.requestLog(), byNameRig.requestLog());
    // A command on one control reports its write, from the link thread.
    const QSet<QThread *> signalled = byType.threads.threads();
    QCOMPARE(signalled.isEmpty(), byNameRig.threads.threads().isEmpty());
    if (!signalled.isEmpty())
        QCOMPARE(signalled, QSet<QThread *>{byType.link.linkThread()});

    if (written.isEmpty()) {
        // A command that only changes what is polled must change the next tick's reads.
        Rig idle;
        QVERIFY(idle.start(selectRoom));
        idle.tick();
        QVERIFY(byType.requestLog() != idle.requestLog());
    }
}

void TestLinkCommands::queuedAlsoFromTheLinkThread_data()
{
    sameCommandAsByName_data();
}

// Issued in the link thread itself (from a slot of the link, say), a command still waits for its
// turn in the queue: nothing reaches the controller before the issuing call has returned.
void TestLinkCommands::queuedAlsoFromTheLinkThread()
{
    QFETCH(Typed, typed);
    QFETCH(bool, selectRoom);
    QFETCH(QList<int>, written);

    Rig rig;
    QVERIFY(rig.start(selectRoom));
    int duringCall = -1;
    inLinkThread(&rig.link, [&] {
        typed(rig.link.commands());
        duringCall = rig.controller.requestCount();
    });
    QCOMPARE(duringCall, 0);
    rig.tick();
    QCOMPARE(rig.writtenRegisters(), written);
}

// Commands issued from the GUI thread while the link is busy run after everything queued to the
// link before them, whichever way that was queued, and before what comes after them. A scene
// definition handed over by SetActivators is the one the following write uses.
void TestLinkCommands::orderKeptWithCallsQueuedBefore()
{
    Rig rig;
    QVERIFY(rig.start());
    LinkCommands &commands = rig.link.commands();
    GActivators first;
    first.bytes = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    GActivators second;
    second.bytes = {2, 2, 2, 2, 2, 2, 2, 2, 2, 2};

    Gate gate;
    gate.hold(&rig.link);
    QVERIFY(
        QMetaObject::invokeMethod(&rig.link, "WritePassword", Qt::QueuedConnection, Q_ARG(int, 1)));
    commands.WritePassword(2);
    rig.link.WritePassword(3); // a direct call from another thread is forwarded, queued
    commands.SetActivators(first);
    commands.WriteGlobalScene(0);
    commands.SetActivators(second);
    QVERIFY(QMetaObject::invokeMethod(&rig.link, "WriteGlobalScene", Qt::QueuedConnection,
                                      Q_ARG(int, 1)));
    commands.WritePassword(4);
    gate.release();
    rig.tick();

    QCOMPARE(rig.writtenRegisters(), (QList<int>{kPassword, kPassword, kPassword, kGlobalScene0,
                                                 kGlobalScene1, kPassword}));
    QCOMPARE(rig.writtenAt(kPassword),
             (QList<QByteArray>{bytes({1, 0, 0, 0}), bytes({2, 0, 0, 0}), bytes({3, 0, 0, 0}),
                                bytes({4, 0, 0, 0})}));
    QCOMPARE(rig.writtenAt(kGlobalScene0), QList<QByteArray>{first.toControllerOrder()});
    QCOMPARE(rig.writtenAt(kGlobalScene1), QList<QByteArray>{second.toControllerOrder()});
}

QTEST_GUILESS_MAIN(TestLinkCommands)
#include "tst_linkcommands.moc"
