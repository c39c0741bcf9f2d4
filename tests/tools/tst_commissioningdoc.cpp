// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The commissioning guide's tables of the file format are the program's own descriptions: a kind,
// an attribute, a default or a settings key that changes without the guide fails here, with the
// command that brings the guide up to date.
#include "projectformat.h"

#include <QFile>
#include <QtTest>

class tst_CommissioningDoc : public QObject
{
    Q_OBJECT

private slots:
    void generatedPartsAreCurrent_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("expected");
        QTest::newRow("controls") << "controls" << ProjectFormat::controlTables();
        QTest::newRow("settings") << "settings" << ProjectFormat::settingsTable();
    }

    void generatedPartsAreCurrent()
    {
        QFETCH(QString, part);
        QFETCH(QString, expected);
        QFile file(QStringLiteral(VERANDIX_SOURCE_DIR "/docs/commissioning.md"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString document = QString::fromUtf8(file.readAll());
        const QString written = ProjectFormat::generatedPart(document, part);
        QVERIFY2(!written.isNull(), "the markers of the part are missing");
        QVERIFY2(written.trimmed() == expected.trimmed(),
                 "docs/commissioning.md is out of date: replace its generated parts with the "
                 "output of `verandix-check --describe-format`");
    }

    // Every kind with an element and every attribute of it appear, so a table cannot lose rows.
    void tablesNameEveryAttribute()
    {
        const QString tables = ProjectFormat::controlTables();
        for (const char *expected : {"`<lamp>` (kind 105)", "| `lmpNumber` | integer |",
                                     "| `imageOn` | picture | `img/lighton.png` |",
                                     "`<syscontrol>` (kind 6)", "`<scene>`"})
            QVERIFY2(tables.contains(QLatin1String(expected)), expected);
        QVERIFY(ProjectFormat::settingsTable().contains(QStringLiteral("| `reconnecttime` |")));
    }
};

QTEST_MAIN(tst_CommissioningDoc)
#include "tst_commissioningdoc.moc"
