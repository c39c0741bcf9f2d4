// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "alertform.h"
#include "eradiobuttonwidget.h"
#include "etableitem.h"
#include "etablewidget.h"
#include "screentestsupport.h"

#include <QtTest>

namespace {
QString settings(bool hideColumns)
{
    return QStringLiteral(R"(
 <language value="en_US"/>
 <isHideAlertColumns value="%1"/>
 <message id="1" textB="Leak" minimum="0" maximum="1"/>
 <message id="2" textB="Smoke" minimum="0" maximum="100"/>
 <message id="3" textB="Door" minimum="-10" maximum="10"/>
)")
        .arg(hideColumns ? "true" : "false");
}

AlertStruct message(int id, bool active, quint8 state, qint32 value = 0)
{
    AlertStruct m;
    m.id = quint8(id);
    m.active = active;
    m.stateByte = state;
    m.value = value;
    m.minimum = 0;
    m.maximum = 100;
    m.dataByte = 51; // 20 % of the range
    return m;
}

// A page on a view with a clock the test moves by hand.
struct AlertPage
{
    explicit AlertPage(bool hideColumns = false)
    {
        ok = fixture.loadSettings(settings(hideColumns));
        form = new AlertForm;
        form->setLink(&link);
        form->setClock([this] { return now; });
        fixture.place(form);
    }
    // Publishes a record at `at` milliseconds and lets it arrive.
    void publish(const QList<AlertStruct> &messages, qint64 at, int current = 0)
    {
        now = at;
        ReservVariables record;
        record.currentMessageId = quint8(current);
        record.messages = messages;
        emit link.ReadyUpdateAlerts(record);
        QCoreApplication::processEvents();
    }
    QString cell(int row, int column) const { return form->table()->item(row, column)->text(); }

    ScreenFixture fixture;
    RecordingLink link;
    AlertForm *form = nullptr;
    qint64 now = 100000;
    bool ok = false;
};
} // namespace

class TestAlertForm : public QObject
{
    Q_OBJECT

private slots:
    void tableFromSettings()
    {
        AlertPage page;
        QVERIFY(page.ok);
        ETableWidget *table = page.form->table();
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->columnCount(), 9);
        QCOMPARE(table->headerTexts(), (QStringList{"ID", "Time", "Description", "Parameter",
                                                    "Type", "Active", "SMS", "Siren", "Notified"}));
        QCOMPARE(page.cell(1, AlertForm::IdColumn), QStringLiteral("2"));
        QCOMPARE(page.cell(1, AlertForm::DescriptionColumn), QStringLiteral("Smoke"));
        // Never reported: hidden under every filter.
        for (int filter = 0; filter < 3; ++filter) {
            page.form->filterButton(filter)->setChecked(true);
            for (int row = 0; row < 3; ++row)
                QVERIFY(table->isRowHidden(row));
        }
        QVERIFY(page.form->filterButton(2)->isChecked());
    }

    void refreshPace()
    {
        AlertPage page;
        QVERIFY(page.ok);
        const QList<AlertStruct> reported{message(1, true, 0x0C)};
        // Shown at 100000: a record within the second after showing changes nothing.
        page.publish(reported, 100900, 1);
        QVERIFY(page.form->table()->isRowHidden(0));
        QCOMPARE(page.form->currentAlertText(), QStringLiteral("current alert: "));
        page.publish(reported, 101100, 1);
        QVERIFY(!page.form->table()->isRowHidden(0));
        QCOMPARE(page.form->currentAlertText(), QStringLiteral("current alert: 1"));
        // 400 ms later: not refreshed; more than a second after the last refresh: refreshed.
        page.publish({message(1, true, 0x0C, 60)}, 101500, 2);
        QCOMPARE(page.cell(0, AlertForm::TimeColumn), QStringLiteral("-"));
        page.publish({message(1, true, 0x0C, 60)}, 102200, 2);
        QCOMPARE(page.form->currentAlertText(), QStringLiteral("current alert: 2"));
        QCOMPARE(page.cell(0, AlertForm::TimeColumn),
                 QDateTime::fromSecsSinceEpoch(60).toString("dd.MM.yyyy hh:mm:ss"));
        QCOMPARE(page.cell(0, AlertForm::ParameterColumn), QStringLiteral("20"));
    }

    void filters_data()
    {
        QTest::addColumn<bool>("active");
        QTest::addColumn<int>("state");
        QTest::addColumn<QList<bool>>("shown"); // all, messages, alarms
        QTest::newRow("never reported") << false << 0x0C << QList<bool>{false, false, false};
        QTest::newRow("active alarm") << true << 0x0C << QList<bool>{true, false, true};
        QTest::newRow("active message") << true << 0x04 << QList<bool>{true, true, false};
        QTest::newRow("cleared alarm") << true << 0x08 << QList<bool>{true, false, false};
        QTest::newRow("reported, idle") << true << 0x00 << QList<bool>{true, false, false};
    }

    void filters()
    {
        QFETCH(bool, active);
        QFETCH(int, state);
        QFETCH(QList<bool>, shown);
        AlertPage page;
        QVERIFY(page.ok);
        page.publish({message(1, active, quint8(state))}, 102000);
        ETableWidget *table = page.form->table();
        QCOMPARE(!table->isRowHidden(0), shown.at(2)); // "active alerts" is checked on show
        for (int filter = 0; filter < 3; ++filter) {
            page.fixture.click(page.form->filterButton(filter));
            QVERIFY(page.form->filterButton(filter)->isChecked());
            QCOMPARE(!table->isRowHidden(0), shown.at(filter));
        }
    }

    void checkBoxesWriteAlarm_data()
    {
        QTest::addColumn<bool>("hideColumns");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("written");
        QTest::newRow("SMS off") << false << int(AlertForm::SmsColumn) << 0x34 << 0x24;
        QTest::newRow("SMS on") << false << int(AlertForm::SmsColumn) << 0x0C << 0x1C;
        QTest::newRow("siren on") << false << int(AlertForm::SirenColumn) << 0x0C << 0x2C;
        QTest::newRow("siren off") << false << int(AlertForm::SirenColumn) << 0x2C << 0x0C;
        QTest::newRow("active off") << false << int(AlertForm::ActiveColumn) << 0x3C << 0x38;
        // An alarm cannot be switched on from the panel: the state goes back unchanged.
        QTest::newRow("active on") << false << int(AlertForm::ActiveColumn) << 0x38 << 0x38;
        QTest::newRow("active off, columns hidden")
            << true << int(AlertForm::ActiveColumn) << 0x0C << 0x08;
    }

    void checkBoxesWriteAlarm()
    {
        QFETCH(bool, hideColumns);
        QFETCH(int, column);
        QFETCH(int, state);
        QFETCH(int, written);
        AlertPage page(hideColumns);
        QVERIFY(page.ok);
        ETableWidget *table = page.form->table();
        QCOMPARE(table->isColumnHidden(AlertForm::SmsColumn), hideColumns);
        QCOMPARE(table->isColumnHidden(AlertForm::SirenColumn), hideColumns);
        QCOMPARE(table->isColumnHidden(AlertForm::NotifiedColumn), hideColumns);
        page.fixture.click(page.form->filterButton(0));
        page.publish({message(1, true, 0), message(2, true, quint8(state))}, 102000);
        QVERIFY(!table->isRowHidden(1));
        page.fixture.click(table, table->cellRect(1, column).center());
        QTRY_COMPARE(page.link.calls.size(), 1);
        QCOMPARE(page.link.calls.at(0).name, QStringLiteral("WriteAlarm"));
        QCOMPARE(page.link.calls.at(0).args, (QVariantList{2, written}));
    }

    void editsOfRowsWithoutMessageAreIgnored()
    {
        AlertPage page;
        QVERIFY(page.ok);
        page.form->cellItemChanged(nullptr, 5, AlertForm::SmsColumn, true);
        page.form->cellItemChanged(nullptr, -1, AlertForm::SmsColumn, true);
        page.form->cellItemChanged(nullptr, 0, 9, true);
        QCoreApplication::processEvents();
        QVERIFY(page.link.calls.isEmpty());
    }

    // An alarm id the settings have no text for is listed, under a generic name; with no alarm
    // left, nothing is "current".
    void unknownAlarmIsListedGenerically()
    {
        AlertPage page;
        QVERIFY(page.ok);
        ETableWidget *table = page.form->table();
        const int rows = table->rowCount();
        QList<AlertStruct> reported{message(1, false, 0), message(2, false, 0),
                                    message(3, false, 0), message(7, true, 0x0C)};
        reported.last().text.clear();
        ReservVariables record;
        record.alarmCount = 1;
        record.currentMessageId = 7;
        record.messages = reported;
        page.now = 102000;
        emit page.link.ReadyUpdateAlerts(record);
        QCoreApplication::processEvents();
        QCOMPARE(table->rowCount(), rows + 1);
        QCOMPARE(page.cell(rows, AlertForm::IdColumn), QStringLiteral("7"));
        QCOMPARE(page.cell(rows, AlertForm::DescriptionColumn), QStringLiteral("Alarm 7"));
        QVERIFY(!table->isRowHidden(rows));
        QCOMPARE(page.form->currentAlertText(), QStringLiteral("current alert: 7"));

        record.alarmCount = 0xFF;
        record.messages.last().stateByte = 0x08;
        page.now = 103100;
        emit page.link.ReadyUpdateAlerts(record);
        QCoreApplication::processEvents();
        QVERIFY(table->isRowHidden(rows)); // "active alerts" is the filter on show
        QVERIFY(!table->item(rows, AlertForm::ActiveColumn)->isChecked());
        QCOMPARE(page.form->currentAlertText(), QStringLiteral("current alert: "));
    }

    void hiddenPageIsFrozen()
    {
        AlertPage page;
        QVERIFY(page.ok);
        page.form->hide();
        page.publish({message(1, true, 0x0C)}, 105000, 1);
        QVERIFY(page.form->table()->isRowHidden(0));
        QCOMPARE(page.form->currentAlertText(), QStringLiteral("current alert: "));
    }

    void parameterFormat_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("cut, not rounded") << 12.349 << "12.34";
        QTest::newRow("negative toward zero") << -1.005 << "-1";
        QTest::newRow("binary fraction") << 0.29 << "0.29";
        QTest::newRow("whole") << 100.0 << "100";
        QTest::newRow("six digits") << 123456.78 << "123457";
        QTest::newRow("negative tiny") << -0.004 << "0";
    }

    void parameterFormat()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(AlertForm::formatParameter(value), text);
    }
};

QTEST_MAIN(TestAlertForm)
#include "tst_alertform.moc"
