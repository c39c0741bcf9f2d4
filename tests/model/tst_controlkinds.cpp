// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "basecontrolv1.h"
#include "controlkinds.h"
#include "dynamiccontrolv1.h"
#include "loadreport.h"
#include "modeldump.h"
#include "projectreaderv1.h"
#include "projectwriterv1.h"
#include "roomstructv1.h"
#include "xmlnode.h"

#include <QtTest>
#include <algorithm>
#include <limits>
#include <memory>

// The kind descriptions are what the reader, the writer, the editor and the tools ask: a wrong
// default, a missing attribute or a tag that does not lead back to its kind would show in every
// one of them at once.
class TestControlKinds : public QObject
{
    Q_OBJECT

private slots:
    void registryIsConsistent();
    void tagAndKindLeadToEachOther_data();
    void tagAndKindLeadToEachOther();
    void unknownTagsAreRefused_data();
    void unknownTagsAreRefused();
    void defaultsAreAFreshRecords_data();
    void defaultsAreAFreshRecords();
    void valuesSurviveAWriteAndARead_data();
    void valuesSurviveAWriteAndARead();
    void readingOrderChangesNothing_data();
    void readingOrderChangesNothing();
    void keywordsKeepTheirText_data();
    void keywordsKeepTheirText();
};

namespace {

using Element = ControlKind::Element;

void addKindRows(bool recordsOnly)
{
    QTest::addColumn<int>("kind");
    for (const ControlKind *k : ControlKinds::all()) {
        if (recordsOnly && !k->hasRecord())
            continue;
        const QString name = k->tag.isEmpty() ? QString::number(k->kind) : k->tag;
        QTest::newRow(qPrintable(name)) << k->kind;
    }
}

// A value of the attribute's type that differs from its default and lies in its range, so that
// a round trip through a file cannot pass by falling back to the default.
QVariant otherValue(const ControlAttribute &a, int salt)
{
    switch (a.type) {
    case ControlAttribute::String:
        return QStringLiteral("%1-%2 \u00e9<&>").arg(a.name).arg(salt);
    case ControlAttribute::Keyword:
        for (const QString &choice : a.choices) {
            if (choice != a.defaultValue.toString())
                return choice;
        }
        return QVariant();
    case ControlAttribute::Boolean:
        return !a.defaultValue.toBool();
    case ControlAttribute::Integer: {
        const int low = a.minimum.isValid() ? a.minimum.toInt() : std::numeric_limits<int>::min();
        const int high = a.maximum.isValid() ? a.maximum.toInt() : std::numeric_limits<int>::max();
        int v = qBound(low, a.defaultValue.toInt() + 1 + salt % 3, high);
        if (v == a.defaultValue.toInt())
            v = qBound(low, a.defaultValue.toInt() - 1, high);
        return v;
    }
    case ControlAttribute::Real: {
        const double low = a.minimum.isValid() ? a.minimum.toDouble() : -1e9;
        const double high = a.maximum.isValid() ? a.maximum.toDouble() : 1e9;
        // Fractions that need all their digits in the file.
        return low + (high - low) * (0.2 + 0.0137 * (salt % 7));
    }
    }
    return QVariant();
}

std::unique_ptr<BaseControlV1> recordWithOtherValues(const ControlKind &kind)
{
    std::unique_ptr<BaseControlV1> record(kind.create());
    int salt = 0;
    for (const ControlAttribute &a : kind.attributes)
        a.assign(*record, otherValue(a, ++salt));
    return record;
}

} // namespace

void TestControlKinds::registryIsConsistent()
{
    QList<int> codes;
    QStringList tags;
    for (const ControlKind *k : ControlKinds::all()) {
        QVERIFY2(!codes.contains(k->kind), qPrintable(QString::number(k->kind)));
        codes << k->kind;
        if (!k->tag.isEmpty()) {
            QVERIFY2(!tags.contains(k->tag), qPrintable(k->tag));
            tags << k->tag;
        }
        QStringList names;
        for (const ControlAttribute &a : k->attributes) {
            QVERIFY2(!names.contains(a.name), qPrintable(k->tag + ' ' + a.name));
            names << a.name;
            QVERIFY(a.value && a.assign);
            QVERIFY2(a.type != ControlAttribute::Keyword || !a.choices.isEmpty(),
                     qPrintable(a.name));
        }
        QCOMPARE(k->controllerBound, ControlConstants::isControllerBound(k->kind));
        QCOMPARE(k->dataLength > 0, k->controllerBound);
        QCOMPARE(bool(k->create), k->element == Element::Control ||
                                      k->element == Element::Recognised || k->kind == 103);
    }
    QVERIFY(std::is_sorted(codes.cbegin(), codes.cend()));
    // Every code of the enumeration has its description: 17 kinds and the two element codes.
    QCOMPARE(codes, (QList<int>{1,   2,   3,   4,   5,   6,   7,   8,   9,   100,
                                101, 102, 103, 104, 105, 106, 107, 108, 109, 110}));
}

void TestControlKinds::tagAndKindLeadToEachOther_data()
{
    addKindRows(false);
}

void TestControlKinds::tagAndKindLeadToEachOther()
{
    QFETCH(int, kind);
    const ControlKind *k = ControlKinds::byKind(kind);
    QVERIFY(k);
    QCOMPARE(k->kind, kind);
    QCOMPARE(ControlConstants::tagForKind(kind), k->tag);
    if (k->tag.isEmpty()) {
        QCOMPARE(k->element, Element::None);
        return;
    }
    QCOMPARE(ControlKinds::byTag(k->tag), k);
    QCOMPARE(ControlConstants::kindForTag(k->tag), kind);
    // Tags are exact: another letter case is another (unknown) element.
    QCOMPARE(ControlKinds::byTag(k->tag.toUpper()), nullptr);
}

void TestControlKinds::unknownTagsAreRefused_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<bool>("reported");
    // clang-format off
    QTest::newRow("capitalised kind") << "Lamp" << true;
    QTest::newRow("kind with a space") << "lamp " << true;
    QTest::newRow("made-up element") << "dimmer" << true;
    QTest::newRow("page element in a room") << "floor" << true;
    QTest::newRow("global scene in a room") << "glscene" << true;
    QTest::newRow("root element in a room") << "subsystems" << true;
    QTest::newRow("base control") << "basecnt" << false;
    // clang-format on
}

void TestControlKinds::unknownTagsAreRefused()
{
    QFETCH(QString, tag);
    QFETCH(bool, reported);
    if (reported) {
        QCOMPARE(ControlKinds::byTag(tag), nullptr);
        QCOMPARE(ControlConstants::kindForTag(tag), 0);
    }
    XML::NodeElement element(tag);
    element.setAttribute(QStringLiteral("name"), QStringLiteral("x"));
    element.setAttribute(QStringLiteral("textB"), QStringLiteral("X"));
    RoomStructV1 room;
    room.setSystemType(BaseRoomV1::LightSystem);
    LoadReport report;
    QCOMPARE(ProjectReaderV1::readControl(element, &room, &report, QStringLiteral("f.xml")), -1);
    QCOMPARE(room.controlCount(), 0);
    QVERIFY(room.scenes().isEmpty());
    QCOMPARE(report.problems().size(), reported ? 1 : 0);
}

void TestControlKinds::defaultsAreAFreshRecords_data()
{
    addKindRows(false);
}

void TestControlKinds::defaultsAreAFreshRecords()
{
    QFETCH(int, kind);
    const ControlKind *k = ControlKinds::byKind(kind);
    if (!k->create) {
        QVERIFY(k->attributes.size() <= 1);
        return;
    }
    const std::unique_ptr<BaseControlV1> fresh(k->create());
    QCOMPARE(fresh->kind(), kind);
    QCOMPARE(fresh->isControllerBound(), k->controllerBound);
    if (const auto *bound = dynamic_cast<const DynamicControlV1 *>(fresh.get()))
        QCOMPARE(bound->dataLength(), k->dataLength);
    for (const ControlAttribute &a : k->attributes) {
        const QVariant value = a.value(*fresh);
        QVERIFY2(value.userType() == a.defaultValue.userType(),
                 qPrintable(a.name + ": " + value.typeName() + " vs " + a.defaultValue.typeName()));
        QVERIFY2(value == a.defaultValue,
                 qPrintable(a.name + ": " + value.toString() + " vs " + a.defaultValue.toString()));
    }
    // A new control is created through the description too, with the same defaults.
    RoomStructV1 room;
    BaseControlV1 *created = room.createControl(kind, QStringLiteral("n"), QStringLiteral("t"), {});
    QCOMPARE(created != nullptr, k->hasRecord());
    if (created) {
        QVariantMap expected = ModelDump::control(fresh.get());
        QVariantMap actual = ModelDump::control(created);
        for (const char *field : {"name", "textB", "runtimeId"}) {
            expected.remove(field);
            actual.remove(field);
        }
        QCOMPARE(actual, expected);
    }
}

void TestControlKinds::valuesSurviveAWriteAndARead_data()
{
    addKindRows(true);
}

void TestControlKinds::valuesSurviveAWriteAndARead()
{
    QFETCH(int, kind);
    const ControlKind *k = ControlKinds::byKind(kind);
    const std::unique_ptr<BaseControlV1> original = recordWithOtherValues(*k);
    for (const ControlAttribute &a : k->attributes) {
        QVERIFY2(a.value(*original) != a.defaultValue,
                 qPrintable(a.name + " kept its default: the round trip would prove nothing"));
    }

    const XML::NodeElementPtr element = ProjectWriterV1::buildControl(original.get());
    QVERIFY(element);
    QCOMPARE(element->tagName(), k->tag);
    QStringList written;
    for (const ControlAttribute &a : k->attributes) {
        if (a.isWritten())
            written << a.name;
    }
    QCOMPARE(element->attributes().keys(), written);

    RoomStructV1 room;
    const int index = ProjectReaderV1::readControl(*element, &room);
    QVERIFY(index >= 0);
    const BaseControlV1 *read = room.controlAt(index);
    QCOMPARE(read->kind(), kind);
    for (const ControlAttribute &a : k->attributes) {
        // What is read but never written comes back as a file without it gives it.
        const QVariant expected = a.isWritten() ? a.value(*original) : a.defaultValue;
        QVERIFY2(a.value(*read) == expected, qPrintable(a.name + ": " + a.value(*read).toString() +
                                                        " vs " + expected.toString()));
    }
    // Derived fields (an address from a number, the fetch length) follow as well.
    QVariantMap before = ModelDump::control(original.get());
    QVariantMap after = ModelDump::control(read);
    for (const ControlAttribute &a : k->attributes) {
        if (!a.isWritten()) {
            before.remove(a.name);
            after.remove(a.name);
        }
    }
    before.remove(QStringLiteral("runtimeId"));
    after.remove(QStringLiteral("runtimeId"));
    QCOMPARE(after, before);
}

void TestControlKinds::readingOrderChangesNothing_data()
{
    addKindRows(true);
}

void TestControlKinds::readingOrderChangesNothing()
{
    // The descriptions read attributes in the order they are written; the reader of old read
    // them in an order of its own. Setters with side effects (numbers, addresses, lengths) must
    // not care.
    QFETCH(int, kind);
    const ControlKind *k = ControlKinds::byKind(kind);
    QVector<QVariant> values;
    int salt = 0;
    for (const ControlAttribute &a : k->attributes)
        values << otherValue(a, ++salt);
    // An odd address and a length that changes the fetch length make the order visible if it
    // mattered.
    for (int i = 0; i < k->attributes.size(); ++i) {
        if (k->attributes.at(i).name == QLatin1String("byteAddress"))
            values[i] = 1027;
    }
    std::unique_ptr<BaseControlV1> forward(k->create());
    std::unique_ptr<BaseControlV1> backward(k->create());
    for (int i = 0; i < k->attributes.size(); ++i)
        k->attributes.at(i).assign(*forward, values.at(i));
    for (int i = k->attributes.size() - 1; i >= 0; --i)
        k->attributes.at(i).assign(*backward, values.at(i));
    QCOMPARE(ModelDump::control(backward.get()), ModelDump::control(forward.get()));
}

void TestControlKinds::keywordsKeepTheirText_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("attribute");
    for (const ControlKind *k : ControlKinds::all()) {
        for (const ControlAttribute &a : k->attributes) {
            if (a.type == ControlAttribute::Keyword)
                QTest::newRow(qPrintable(k->tag + ' ' + a.name)) << k->kind << a.name;
        }
    }
}

void TestControlKinds::keywordsKeepTheirText()
{
    QFETCH(int, kind);
    QFETCH(QString, attribute);
    const ControlKind *k = ControlKinds::byKind(kind);
    const ControlAttribute *a = k->attribute(attribute);
    QVERIFY(a);
    const std::unique_ptr<BaseControlV1> record(k->create());
    for (const QString &choice : a->choices) {
        a->assign(*record, choice);
        QCOMPARE(a->value(*record).toString(), choice);
    }
    // Text the record does not know falls back to the neutral value, the same as a fresh one's.
    a->assign(*record, QStringLiteral("no such keyword"));
    QCOMPARE(a->value(*record), a->defaultValue);
}

QTEST_GUILESS_MAIN(TestControlKinds)
#include "tst_controlkinds.moc"
