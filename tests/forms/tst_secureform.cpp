// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "screentestsupport.h"
#include "secureform.h"

#include <QtTest>

namespace {
const char *const kSettings = R"(
 <language value="en_US"/>
 <secure value="0" textB="Malfunction"/>
 <secure value="1" textB="Disarmed"/>
 <secure value="2" textB="Armed"/>
 <secure value="4" textB="Wrong pass!"/>
)";
}

class TestSecureForm : public QObject
{
    Q_OBJECT

private slots:
    void typing_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("shown");
        QTest::newRow("digits then back") << QStringList{"1", "2", "3", "back"} << "12";
        QTest::newRow("back to empty") << QStringList{"1", "2", "3", "back", "back", "back"} << "0";
        QTest::newRow("back on empty") << QStringList{"back"} << "0";
        QTest::newRow("ten digits keep nine")
            << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "7"} << "123456789";
        QTest::newRow("no leading zero") << QStringList{"0", "0", "5", "0"} << "50";
        QTest::newRow("clear") << QStringList{"4", "2", "CE"} << "0";
    }

    void typing()
    {
        QFETCH(QStringList, keys);
        QFETCH(QString, shown);
        ScreenFixture fixture;
        QVERIFY(fixture.loadSettings(kSettings));
        auto *form = new SecureForm;
        RecordingLink link;
        form->setLink(&link);
        fixture.place(form);
        for (const QString &key : keys) {
            QGraphicsWidget *button = form->button(key);
            QVERIFY2(button, qPrintable(key));
            fixture.click(button);
        }
        QCOMPARE(form->codeText(), shown);
        QCoreApplication::processEvents();
        QVERIFY(link.calls.isEmpty());
    }

    void codeShownAsDotsOrDigits_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("sent");
        const QChar dot(0x2022);
        QTest::newRow("default hides")
            << "" << QStringList{"1", "2", "3"} << QString(3, dot) << 123;
        QTest::newRow("false hides")
            << "false" << QStringList{"1", "2", "3"} << QString(3, dot) << 123;
        QTest::newRow("hidden, empty") << "" << QStringList{"4", "CE"} << "" << 0;
        QTest::newRow("hidden, back")
            << "" << QStringList{"1", "2", "3", "back"} << QString(2, dot) << 12;
        QTest::newRow("true shows") << "true" << QStringList{"1", "2", "3"} << "123" << 123;
        QTest::newRow("shown, empty") << "true" << QStringList{"4", "CE"} << "0" << 0;
    }

    void codeShownAsDotsOrDigits()
    {
        QFETCH(QString, setting);
        QFETCH(QStringList, keys);
        QFETCH(QString, shown);
        QFETCH(int, sent);
        ScreenFixture fixture;
        QString body = QString::fromLatin1(kSettings);
        if (!setting.isEmpty())
            body += QStringLiteral(" <keypad_show_digits value=\"%1\"/>\n").arg(setting);
        QVERIFY(fixture.loadSettings(body));
        auto *form = new SecureForm;
        RecordingLink link;
        form->setLink(&link);
        fixture.place(form);
        for (const QString &key : keys)
            fixture.click(form->button(key));
        QCOMPARE(form->shownCodeText(), shown);
        // Whatever the display shows, "Enter" sends the digits.
        fixture.click(form->button("Enter"));
        QTRY_COMPARE(link.calls.size(), 1);
        QCOMPARE(link.calls.at(0).args.at(0).toInt(), sent);
    }

    void enterSendsTheCode_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<int>("code");
        QTest::newRow("code") << QStringList{"1", "2", "3", "4"} << 1234;
        QTest::newRow("empty sends 0") << QStringList{"0"} << 0;
        QTest::newRow("nine digits")
            << QStringList{"9", "9", "9", "9", "9", "9", "9", "9", "9"} << 999999999;
    }

    void enterSendsTheCode()
    {
        QFETCH(QStringList, keys);
        QFETCH(int, code);
        ScreenFixture fixture;
        QVERIFY(fixture.loadSettings(kSettings));
        auto *form = new SecureForm;
        RecordingLink link;
        form->setLink(&link);
        fixture.place(form);
        for (const QString &key : keys)
            fixture.click(form->button(key));
        fixture.click(form->button("Enter"));
        QCOMPARE(form->codeText(), QStringLiteral("0"));
        QTRY_COMPARE(link.calls.size(), 1);
        QCOMPARE(link.calls.at(0).name, QStringLiteral("WritePassword"));
        QCOMPARE(link.calls.at(0).args.at(0).toInt(), code);
    }

    void stateText_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("text");
        QTest::newRow("wrong code") << 4 << "Wrong pass!";
        QTest::newRow("armed") << 2 << "Armed";
        QTest::newRow("code zero") << 0 << "Malfunction";
        QTest::newRow("unknown clears") << 200 << "";
    }

    void stateText()
    {
        QFETCH(int, state);
        QFETCH(QString, text);
        ScreenFixture fixture;
        QVERIFY(fixture.loadSettings(kSettings));
        auto *form = new SecureForm;
        RecordingLink link;
        form->setLink(&link);
        fixture.place(form);
        QCOMPARE(form->stateText(), QStringLiteral("Empty"));
        ReservVariables record;
        record.securityState = quint8(1);
        emit link.ReadyUpdateAlerts(record);
        QTRY_COMPARE(form->stateText(), QStringLiteral("Disarmed"));
        record.securityState = quint8(state);
        emit link.ReadyUpdateAlerts(record);
        QTRY_COMPARE(form->stateText(), text);
    }

    void hiddenPageIgnoresRecordsAndKeepsDigits()
    {
        ScreenFixture fixture;
        QVERIFY(fixture.loadSettings(kSettings));
        auto *form = new SecureForm;
        RecordingLink link;
        form->setLink(&link);
        fixture.place(form);
        fixture.click(form->button("7"));
        form->hide();
        ReservVariables record;
        record.securityState = 2;
        emit link.ReadyUpdateAlerts(record);
        QCoreApplication::processEvents();
        QCOMPARE(form->stateText(), QStringLiteral("Empty"));
        form->show();
        QCOMPARE(form->codeText(), QStringLiteral("7"));
        emit link.ReadyUpdateAlerts(record);
        QTRY_COMPARE(form->stateText(), QStringLiteral("Armed"));
    }
};

QTEST_MAIN(TestSecureForm)
#include "tst_secureform.moc"
