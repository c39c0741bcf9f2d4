// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "controlconstants.h"
#include "requestplanner.h"
#include "roomsnapshot.h"

#include <QtTest>

namespace {

// A window: register, fetch length, odd offset; the index is its position in the row's list.
struct W
{
    int reg;
    int length;
    int odd = 0;
};

QList<SubsUpdateItem> windows(std::initializer_list<W> list)
{
    QList<SubsUpdateItem> out;
    int index = 0;
    for (const W &w : list) {
        SubsUpdateItem item;
        item.index = index++;
        item.registerNumber = w.reg;
        item.fetchLength = w.length;
        item.oddOffset = w.odd;
        item.kind = ControlConstants::KindByte;
        out.append(item);
    }
    return out;
}

// start, end, byte count, then the indices of the block's items in order.
using Plan = QList<QList<int>>;

Plan planOf(const QList<SubsUpdate> &blocks)
{
    Plan plan;
    for (const SubsUpdate &block : blocks) {
        QList<int> row{block.start, block.end, block.byteCount};
        for (const SubsUpdateItem &item : block.items)
            row.append(item.index);
        plan.append(row);
    }
    return plan;
}

RoomControlWindow control(int kind, int byteAddress, int fetchLength, bool deleted = false)
{
    RoomControlWindow c;
    c.kind = kind;
    c.byteAddress = byteAddress;
    c.fetchLength = fetchLength;
    c.oddOffset = byteAddress % 2;
    c.deleted = deleted;
    return c;
}

} // namespace

Q_DECLARE_METATYPE(QList<SubsUpdateItem>)
Q_DECLARE_METATYPE(RoomControlWindow)

class TestRequestPlanner : public QObject
{
    Q_OBJECT
private slots:
    void plan_data();
    void plan();
    void blocksNeverExceedTheLimit();
    void snapshotWindows_data();
    void snapshotWindows();
};

void TestRequestPlanner::plan_data()
{
    QTest::addColumn<QList<SubsUpdateItem>>("input");
    QTest::addColumn<int>("limit");
    QTest::addColumn<Plan>("expected");

    // clang-format off
    QTest::newRow("nothing to read") << windows({}) << 248 << Plan{};
    QTest::newRow("two neighbouring lamps share a block")
        << windows({{306, 8}, {310, 8}}) << 248 << Plan{{306, 314, 16, 0, 1}};
    QTest::newRow("address order, not list order")
        << windows({{330, 8}, {310, 8}}) << 248 << Plan{{310, 334, 48, 1, 0}};
    QTest::newRow("equal registers keep list order")
        << windows({{50, 2}, {40, 2}, {50, 4}}) << 248 << Plan{{40, 52, 24, 1, 0, 2}};
    QTest::newRow("300 registers apart make two blocks")
        << windows({{300, 4}, {0, 4}}) << 248 << Plan{{0, 2, 4, 1}, {300, 302, 4, 0}};
    QTest::newRow("exactly 248 bytes stay one block")
        << windows({{0, 4}, {122, 4}}) << 248 << Plan{{0, 124, 248, 0, 1}};
    QTest::newRow("250 bytes make two blocks")
        << windows({{0, 4}, {123, 4}}) << 248 << Plan{{0, 2, 4, 0}, {123, 125, 4, 1}};
    QTest::newRow("a window over the limit is never read")
        << windows({{1000, 250}, {314, 8}}) << 248 << Plan{{314, 318, 8, 1}};
    QTest::newRow("a window of exactly the limit is read")
        << windows({{10, 248}}) << 248 << Plan{{10, 134, 248, 0}};
    QTest::newRow("empty and negative windows are skipped")
        << windows({{10, 0}, {-4, 2}, {12, 2}}) << 248 << Plan{{12, 13, 2, 2}};
    QTest::newRow("odd length rounds up to whole registers")
        << windows({{20, 3, 1}}) << 248 << Plan{{20, 22, 4, 0}};
    QTest::newRow("a window inside the previous one does not grow the block")
        << windows({{100, 20}, {102, 2}}) << 248 << Plan{{100, 110, 20, 0, 1}};
    QTest::newRow("the limit is a parameter")
        << windows({{0, 4}, {2, 4}, {4, 4}}) << 8 << Plan{{0, 4, 8, 0, 1}, {4, 6, 4, 2}};
    QTest::newRow("a new block starts from the window that did not fit")
        << windows({{0, 200}, {110, 40}, {120, 40}}) << 248 << Plan{{0, 100, 200, 0}, {110, 140, 60, 1, 2}};
    QTest::newRow("registers near the int limit do not overflow")
        << windows({{0, 2}, {2147483000, 2}}) << 248 << Plan{{0, 1, 2, 0}, {2147483000, 2147483001, 2, 1}};
    // clang-format on
}

void TestRequestPlanner::plan()
{
    QFETCH(QList<SubsUpdateItem>, input);
    QFETCH(int, limit);
    QFETCH(Plan, expected);
    const QList<SubsUpdate> blocks = planBlockReads(input, limit);
    QCOMPARE(planOf(blocks), expected);
    for (const SubsUpdate &block : blocks)
        QVERIFY(block.data.isEmpty());
}

// Whatever the layout, every planned block fits one read and holds each of its windows whole,
// and every window that fits a read is planned exactly once.
void TestRequestPlanner::blocksNeverExceedTheLimit()
{
    QRandomGenerator random(20261207);
    for (int round = 0; round < 200; ++round) {
        QList<SubsUpdateItem> input;
        const int count = random.bounded(1, 60);
        for (int i = 0; i < count; ++i) {
            SubsUpdateItem item;
            item.index = i;
            item.registerNumber = random.bounded(0, 2000);
            item.fetchLength = random.bounded(1, 260);
            input.append(item);
        }
        int fitting = 0;
        for (const SubsUpdateItem &item : qAsConst(input))
            fitting += item.fetchLength <= 248 ? 1 : 0;
        int planned = 0;
        for (const SubsUpdate &block : planBlockReads(input, 248)) {
            QVERIFY(block.byteCount <= 248);
            QCOMPARE(block.byteCount, (block.end - block.start) * 2);
            for (const SubsUpdateItem &item : block.items) {
                QVERIFY(item.registerNumber >= block.start);
                QVERIFY(item.registerNumber + (item.fetchLength + 1) / 2 <= block.end);
                ++planned;
            }
        }
        QCOMPARE(planned, fitting);
    }
}

void TestRequestPlanner::snapshotWindows_data()
{
    QTest::addColumn<QList<RoomControlWindow>>("controls");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QList<int>>("expected"); // index, register, odd offset per window

    using C = QList<RoomControlWindow>;
    using ControlConstants::Kind;
    // clang-format off
    QTest::newRow("offset added, byte address halved")
        << C{control(Kind::KindLight, 620, 8)} << 0x100 << QList<int>{0, 0x100 + 310, 0};
    QTest::newRow("odd byte address")
        << C{control(Kind::KindBool, 2001, 2)} << 0 << QList<int>{0, 1000, 1};
    QTest::newRow("plain and deleted controls are left out")
        << C{control(Kind::KindSwitch, 0, 0), control(Kind::KindLight, 612, 8, true), control(Kind::KindByte, 4, 2)}
        << 0 << QList<int>{2, 2, 0};
    QTest::newRow("negative offset polls nothing")
        << C{control(Kind::KindByte, 4, 2)} << -1 << QList<int>{};
    QTest::newRow("last register still reachable")
        << C{control(Kind::KindByte, 2 * 0xFFFF, 2)} << 0 << QList<int>{0, 0xFFFF, 0};
    QTest::newRow("a window past register 0xFFFF would wrap")
        << C{control(Kind::KindByte, 2 * 0xFFFF, 4), control(Kind::KindByte, 0, 2)} << 0 << QList<int>{1, 0, 0};
    QTest::newRow("offset pushes a window past the register map")
        << C{control(Kind::KindLight, 612, 8)} << 0xFF6A << QList<int>{};
    // clang-format on
}

void TestRequestPlanner::snapshotWindows()
{
    QFETCH(QList<RoomControlWindow>, controls);
    QFETCH(int, offset);
    QFETCH(QList<int>, expected);
    RoomSnapshot room;
    room.valid = true;
    room.controls = controls;
    QList<int> got;
    for (const SubsUpdateItem &item : room.windows(offset))
        got << item.index << item.registerNumber << item.oddOffset;
    QCOMPARE(got, expected);

    room.valid = false; // the default value selects nothing
    QVERIFY(room.windows(offset).isEmpty());
}

QTEST_GUILESS_MAIN(TestRequestPlanner)
#include "tst_requestplanner.moc"
