// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// What the editor offers per control kind: a palette entry for every kind a person can place,
// and properties rows that edit attributes the kind really has, with editors that fit them.
#include "controlkinds.h"
#include "ecoreapp.h"
#include "editorkinds.h"
#include "eiconwidget.h"
#include "uniaddcontrols.h"
#include "unisettings.h"

#include <QSet>
#include <QSignalSpy>
#include <QtTest>

class tst_EditorKinds : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase() { ECoreApp::destroyInstance(); }
    void everyKindCanBePlacedAndEdited_data();
    void everyKindCanBePlacedAndEdited();
    void rowsFitTheirAttributes_data();
    void rowsFitTheirAttributes();
    void paletteShowsEveryEntry();
};

void tst_EditorKinds::everyKindCanBePlacedAndEdited_data()
{
    QTest::addColumn<int>("kind");
    for (const ControlKind *k : ControlKinds::all())
        QTest::newRow(qPrintable(k->tag.isEmpty() ? QString::number(k->kind) : k->tag)) << k->kind;
}

void tst_EditorKinds::everyKindCanBePlacedAndEdited()
{
    QFETCH(int, kind);
    const ControlKind *k = ControlKinds::byKind(kind);
    int entries = 0;
    for (const PaletteEntry &entry : EditorKinds::paletteEntries())
        entries += entry.kind == kind ? 1 : 0;
    // Every kind with a record in the files, and only those, is placed by the palette and
    // edited in the panel.
    QCOMPARE(entries, k->hasRecord() ? 1 : 0);
    QCOMPARE(EditorKinds::propertyRows(kind).isEmpty(), !k->hasRecord());
    if (const PaletteEntry *entry = EditorKinds::paletteEntryForKind(kind)) {
        QCOMPARE(EditorKinds::paletteEntry(entry->code), entry);
        QVERIFY(qstrlen(entry->name) > 0);
    }
}

void tst_EditorKinds::rowsFitTheirAttributes_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("attribute");
    for (const ControlKind *k : ControlKinds::all()) {
        for (const PropertyRow &row : EditorKinds::propertyRows(k->kind)) {
            QTest::newRow(qPrintable(k->tag + ' ' + QLatin1String(row.attribute)))
                << k->kind << int(row.field) << QString::fromLatin1(row.attribute);
        }
    }
}

void tst_EditorKinds::rowsFitTheirAttributes()
{
    QFETCH(int, kind);
    QFETCH(int, field);
    QFETCH(QString, attribute);
    const ControlAttribute *a = ControlKinds::byKind(kind)->attribute(attribute);
    QVERIFY2(a, "the kind has no such attribute");
    QVERIFY(a->isRead());
    using U = UniSettings;
    using T = ControlAttribute;
    QSet<int> types;
    switch (field) {
    case U::Dimmer:
    case U::ReadOnly:
    case U::Editable:
    case U::Fone:
        types = {T::Boolean};
        break;
    case U::Step:
        types = {T::Real};
        break;
    case U::Width:
    case U::Height:
    case U::BitNumber:
    case U::Minimum:
    case U::Maximum:
    case U::MaxVal:
    case U::Value:
    case U::Precision:
    case U::FontSize:
    case U::Number:
    case U::FontType:
        types = {T::Integer};
        break;
    case U::Address:
        QCOMPARE(attribute, QStringLiteral("byteAddress"));
        types = {T::Integer};
        break;
    case U::DataType:
    case U::SystemType:
        types = {T::Keyword};
        break;
    default:
        types = {T::String};
        break;
    }
    QVERIFY2(types.contains(a->type), qPrintable(QString::number(a->type)));
    // No field is shown twice for one kind.
    int uses = 0;
    for (const PropertyRow &row : EditorKinds::propertyRows(kind))
        uses += row.field == field ? 1 : 0;
    QCOMPARE(uses, 1);
}

void tst_EditorKinds::paletteShowsEveryEntry()
{
    UniAddControls palette;
    QSet<int> codes;
    QSet<QPair<int, int>> cells;
    for (const PaletteEntry &entry : EditorKinds::paletteEntries()) {
        QVERIFY(!codes.contains(entry.code));
        codes << entry.code;
        QVERIFY(!cells.contains({entry.row, entry.column}));
        cells << qMakePair(entry.row, entry.column);
        EIconWidget *button = palette.entryButton(entry.code);
        QVERIFY(button);
        QCOMPARE(button->text(), QString::fromLatin1(entry.label).replace("\r\n", "\n"));
        QCOMPARE(button->geometry().topLeft(), QPointF(entry.column * 85, entry.row * 87));
        QSignalSpy own(&palette, entry.signal);
        QSignalSpy chosen(&palette, &UniAddControls::entryChosen);
        emit button->clicked();
        QCOMPARE(own.count(), 1);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.first().first().toInt(), entry.code);
    }
    // The add codes the room screen keeps are 1 to 18, "Level" (7) among them.
    QCOMPARE(codes.size(), 18);
    for (int code = 1; code <= 18; ++code)
        QVERIFY(codes.contains(code));
    QCOMPARE(EditorKinds::paletteEntry(UniAddControls::EntryLevel)->kind, 0);
    QCOMPARE(EditorKinds::paletteEntry(19), nullptr);
}

QTEST_MAIN(tst_EditorKinds)
#include "tst_editorkinds.moc"
