// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "connsettform.h"
#include "eappsettings.h"
#include "ecoreapp.h"
#include "ehexnumericwidget.h"
#include "enumericwidget.h"
#include "exttoolwidget.h"
#include "screentestsupport.h"

#include <QtTest>

namespace {
QString settings(const QString &address)
{
    return QStringLiteral(R"(
 <language value="en_US"/>
 <ipaddress value="%1"/>
 <ipport value="1502"/>
 <timeout value="2000"/>
 <offset value="1F4"/>
 <reconnecttime value="60"/>
)")
        .arg(address);
}

QVariant stored(int key)
{
    return ECoreApp::instance()->settings().value(key);
}

// The number a click on the "+" of a field leaves in it.
void stepUp(ScreenFixture &fixture, ENumericWidget *field)
{
    fixture.click(field, field->plusRect().center());
}
} // namespace

class TestConnSettForm : public QObject
{
    Q_OBJECT

private slots:
    void fieldsShowTheStoredValues()
    {
        ScreenFixture fixture;
        QVERIFY(fixture.loadSettings(settings("127.0.0.1")));
        auto *form = new ConnSettForm;
        RecordingLink link;
        form->setLink(&link);
        fixture.place(form);
        QCOMPARE(form->addressField(0)->value(), 127.0);
        QCOMPARE(form->addressField(3)->value(), 1.0);
        // The demo's port and the link's longest polling period fit the fields unclamped.
        QCOMPARE(form->portField()->value(), 1502.0);
        QCOMPARE(form->pollingField()->value(), 2000.0);
        QCOMPARE(form->offsetField()->val(), QStringLiteral("1F4"));
        QCOMPARE(form->reconnectField()->value(), 60.0);
        QVERIFY(!form->isModified());
    }

    void onlyChangedFieldsAreStored_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("storedAddress");
        QTest::addColumn<int>("storedPort");
        QTest::addColumn<int>("storedTimeout");
        QTest::addColumn<QString>("storedOffset");
        QTest::newRow("nothing changed") << "127.0.0.1"
                                         << ""
                                         << "127.0.0.1" << 1502 << 2000 << "1F4";
        QTest::newRow("port") << "127.0.0.1"
                              << "port"
                              << "127.0.0.1" << 1503 << 2000 << "1F4";
        QTest::newRow("three-part address kept") << "10.0.5"
                                                 << "port"
                                                 << "10.0.5" << 1503 << 2000 << "1F4";
        QTest::newRow("address part") << "127.0.0.1"
                                      << "address"
                                      << "127.0.0.2" << 1502 << 2000 << "1F4";
        QTest::newRow("offset") << "127.0.0.1"
                                << "offset"
                                << "127.0.0.1" << 1502 << 2000 << "1F5";
    }

    void onlyChangedFieldsAreStored()
    {
        QFETCH(QString, address);
        QFETCH(QString, field);
        QFETCH(QString, storedAddress);
        QFETCH(int, storedPort);
        QFETCH(int, storedTimeout);
        QFETCH(QString, storedOffset);
        ScreenFixture fixture;
        QVERIFY(fixture.loadSettings(settings(address)));
        auto *form = new ConnSettForm;
        RecordingLink link;
        form->setLink(&link);
        fixture.place(form);
        if (field == "port")
            stepUp(fixture, form->portField());
        else if (field == "offset")
            stepUp(fixture, form->offsetField());
        if (field == "address") {
            // The parts are typed: tap the field, type, confirm.
            fixture.click(form->addressField(3));
            QTest::keyClick(fixture.view()->viewport(), Qt::Key_Backspace);
            QTest::keyClicks(fixture.view()->viewport(), "2");
            QTest::keyClick(fixture.view()->viewport(), Qt::Key_Return);
        }
        QCOMPARE(form->isModified(), !field.isEmpty());
        form->hide();
        QCOMPARE(stored(EAppSettings::IpAddress).toString(), storedAddress);
        QCOMPARE(stored(EAppSettings::IpPort).toInt(), storedPort);
        QCOMPARE(stored(EAppSettings::Timeout).toInt(), storedTimeout);
        QCOMPARE(stored(EAppSettings::Offset).toString(), storedOffset);
        QCOMPARE(stored(EAppSettings::ReconnectTime).toInt(), 60);
        // Shown again: nothing pending.
        form->show();
        QVERIFY(!form->isModified());
    }

    void pollingRangeIsTheLinks()
    {
        ScreenFixture fixture;
        QVERIFY(fixture.loadSettings(settings("127.0.0.1")));
        auto *form = new ConnSettForm;
        fixture.place(form);
        QCOMPARE(form->pollingField()->minimum(), 100.0);
        QCOMPARE(form->pollingField()->maximum(), 2000.0);
        QCOMPARE(form->portField()->minimum(), 1.0);
        QCOMPARE(form->portField()->maximum(), 65535.0);
    }

    void synchronizeSendsThePanelTime()
    {
        ScreenFixture fixture;
        QVERIFY(fixture.loadSettings(settings("127.0.0.1")));
        auto *form = new ConnSettForm;
        RecordingLink link;
        form->setLink(&link);
        fixture.place(form);
        const uint before = uint(QDateTime::currentSecsSinceEpoch());
        fixture.click(form->synchronizeButton());
        QTRY_COMPARE(link.calls.size(), 1);
        const uint after = uint(QDateTime::currentSecsSinceEpoch());
        QCOMPARE(link.calls.at(0).name, QStringLiteral("SinchronizeTime"));
        const uint sent = link.calls.at(0).args.at(0).toUInt();
        QVERIFY(sent >= before && sent <= after);
    }

    void clocks_data()
    {
        QTest::addColumn<QDateTime>("controller");
        QTest::addColumn<QString>("shown");
        const QDateTime set(QDate(2026, 3, 14), QTime(9, 26, 53));
        QTest::newRow("set") << set << "14.03.2026\r\n09:26:53";
        QTest::newRow("not set yet")
            << QDateTime::fromSecsSinceEpoch(3600, Qt::UTC) << "00.00.0000\r\n00:00:00";
        QTest::newRow("invalid") << QDateTime() << "00.00.0000\r\n00:00:00";
    }

    void clocks()
    {
        QFETCH(QDateTime, controller);
        QFETCH(QString, shown);
        ScreenFixture fixture;
        QVERIFY(fixture.loadSettings(settings("127.0.0.1")));
        auto *form = new ConnSettForm;
        RecordingLink link;
        form->setLink(&link);
        fixture.place(form);
        QCOMPARE(form->controllerTimeText(), QStringLiteral("00.00.0000\r\n00:00:00"));
        ReservVariables record;
        record.controllerTime = controller;
        emit link.ReadyUpdateAlerts(record);
        QTRY_VERIFY(form->panelTimeText() != QStringLiteral("00.00.0000\r\n00:00:00"));
        // The panel's clock runs by itself now: let the queued record arrive as well.
        QCoreApplication::processEvents();
        QCOMPARE(form->controllerTimeText(), shown);
        QVERIFY(form->panelTimeText().startsWith(QDate::currentDate().toString("dd.MM.yyyy")));
    }

    void addressPartTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("storedAddress");
        QTest::newRow("1999 refused") << "1999" << true << "127.0.0.1";
        QTest::newRow("256 refused") << "256" << true << "127.0.0.1";
        QTest::newRow("255 taken") << "255" << false << "127.0.0.255";
        QTest::newRow("0 taken") << "0" << false << "127.0.0.0";
    }

    void addressPartTyped()
    {
        QFETCH(QString, typed);
        QFETCH(bool, refused);
        QFETCH(QString, storedAddress);
        ScreenFixture fixture;
        QVERIFY(fixture.loadSettings(settings("127.0.0.1")));
        auto *form = new ConnSettForm;
        RecordingLink link;
        form->setLink(&link);
        fixture.place(form);
        ENumericWidget *part = form->addressField(3);
        fixture.click(part);
        QTest::keyClick(fixture.view()->viewport(), Qt::Key_Backspace);
        QTest::keyClicks(fixture.view()->viewport(), typed);
        QTest::keyClick(fixture.view()->viewport(), Qt::Key_Return);
        // A refused part keeps what it showed and stays marked; nothing is stored for it.
        QCOMPARE(part->hasRefusedInput(), refused);
        QCOMPARE(part->value(), refused ? 1.0 : typed.toDouble());
        form->hide();
        QCOMPARE(stored(EAppSettings::IpAddress).toString(), storedAddress);
    }

    // The port takes five digits at most; a number above 65535 is refused where it was typed
    // (outlined, the old port kept) instead of quietly becoming 65535.
    void portTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shownWhileTyping");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("storedPort");
        QTest::newRow("nine digits stop at five") << "123456789" << "12345" << false << 12345;
        QTest::newRow("65535 taken") << "65535" << "65535" << false << 65535;
        QTest::newRow("65536 refused") << "65536" << "65536" << true << 1502;
        QTest::newRow("99999 refused") << "99999" << "99999" << true << 1502;
        QTest::newRow("0 refused") << "0" << "0" << true << 1502;
        QTest::newRow("502 taken") << "502" << "502" << false << 502;
    }

    void portTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shownWhileTyping);
        QFETCH(bool, refused);
        QFETCH(int, storedPort);
        ScreenFixture fixture;
        QVERIFY(fixture.loadSettings(settings("127.0.0.1")));
        auto *form = new ConnSettForm;
        RecordingLink link;
        form->setLink(&link);
        fixture.place(form);
        ENumericWidget *port = form->portField();
        fixture.click(port, port->valueRect().center());
        QVERIFY(port->isEditing());
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(fixture.view()->viewport(), Qt::Key_Backspace);
        QTest::keyClicks(fixture.view()->viewport(), typed);
        QCOMPARE(port->editText(), shownWhileTyping);
        QTest::keyClick(fixture.view()->viewport(), Qt::Key_Return);
        QCOMPARE(port->hasRefusedInput(), refused);
        QCOMPARE(port->value(), refused ? 1502.0 : double(storedPort));
        form->hide();
        QCOMPARE(stored(EAppSettings::IpPort).toInt(), storedPort);
    }

    void panelClockRunsWhileTheControllerIsAway()
    {
        ScreenFixture fixture;
        QVERIFY(fixture.loadSettings(settings("127.0.0.1")));
        auto *form = new ConnSettForm;
        RecordingLink link; // never reports a status record
        form->setLink(&link);
        fixture.place(form);
        const QString today = QDate::currentDate().toString("dd.MM.yyyy");
        QTRY_VERIFY(form->panelTimeText().startsWith(today));
        const QString first = form->panelTimeText();
        QTRY_VERIFY_WITH_TIMEOUT(form->panelTimeText() != first, 5000);
        QCOMPARE(form->controllerTimeText(), QStringLiteral("00.00.0000\r\n00:00:00"));
    }
};

QTEST_MAIN(TestConnSettForm)
#include "tst_connsettform.moc"
