// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "alarmlogwriter.h"
#include "archivewriter.h"
#include "controllertypes.h"
#include "elocale.h"
#include "tempfolder.h"

#include <QTextCodec>
#include <QtTest>

namespace {

const QDateTime kNow(QDate(2026, 3, 9), QTime(14, 5, 7));

ArchiveStruct parameter(int id, double minimum, double maximum, int dataByte, const QString &text)
{
    ArchiveStruct p;
    p.id = quint8(id);
    p.minimum = minimum;
    p.maximum = maximum;
    p.dataByte = quint8(dataByte);
    p.text = text;
    return p;
}

AlertStruct message(int id, int state, qint32 value)
{
    AlertStruct m;
    m.id = quint8(id);
    m.stateByte = quint8(state);
    m.value = value;
    m.minimum = 0;
    m.maximum = 51;
    m.dataByte = 10;
    m.text = QStringLiteral("Утечка");
    return m;
}

// The file's lines (in the local 8-bit encoding), each split at ";" with the empty field after
// the last separator dropped.
QList<QStringList> rows(const QByteArray &file)
{
    QList<QStringList> out;
    const QString text = QString::fromLocal8Bit(file);
    for (const QString &line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        QStringList fields = line.split(QLatin1Char(';'));
        if (fields.last().isEmpty())
            fields.removeLast();
        out.append(fields);
    }
    return out;
}

} // namespace

class TestControllerLogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void archiveRows_data();
    void archiveRows();
    void archiveHeaderOncePerDay();
    void alarmRows_data();
    void alarmRows();
    void alarmHeaderEveryRun();
    void unusableFolder();

private:
    ELocale m_locale;
};

void TestControllerLogs::initTestCase()
{
    // The files are written in the local 8-bit encoding; fix it so that the Cyrillic words
    // survive whatever locale the test runs under.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

void TestControllerLogs::archiveRows_data()
{
    QTest::addColumn<QList<ArchiveStruct>>("parameters");
    QTest::addColumn<int>("column"); // parameter id
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("value");

    const QString data = m_locale.text(61113);
    QTest::newRow("scaled to its range")
        << QList<ArchiveStruct>{parameter(3, 0, 100, 51, QStringLiteral("t outside"))} << 3
        << "t outside"
        << "20";
    QTest::newRow("decimal comma")
        << QList<ArchiveStruct>{parameter(5, 0, 10.5, 255, QStringLiteral("U"))} << 5 << "U"
        << "10,5";
    QTest::newRow("six significant digits")
        << QList<ArchiveStruct>{parameter(1, -40, 60, 100, QStringLiteral("T"))} << 1 << "T"
        << "-0,784314";
    QTest::newRow("no record: the raw byte")
        << QList<ArchiveStruct>{} << 16 << data + QStringLiteral(" 16") << "175";
}

void TestControllerLogs::archiveRows()
{
    QFETCH(QList<ArchiveStruct>, parameters);
    QFETCH(int, column);

    TempFolder folder;
    ReservVariables v;
    v.controllerTime = QDateTime(QDate(2026, 3, 9), QTime(14, 4, 0));
    for (int i = 0; i < 16; ++i)
        v.parameterBytes.append(char(0xA0 + i));
    v.parameters = parameters;
    ArchiveWriter::write(v, folder.path(), &m_locale, kNow);

    const QList<QStringList> lines = rows(folder.read(QStringLiteral("Archive/Out_09_03_26.csv")));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).size(), 18);
    QCOMPARE(lines.at(1).size(), 18);
    QCOMPARE(lines.at(0).at(0), m_locale.text(61111));
    QCOMPARE(lines.at(0).at(1), m_locale.text(61112));
    QTEST(lines.at(0).at(1 + column), "caption");
    QCOMPARE(lines.at(1).at(0), QStringLiteral("09.03.2026 14:05:07"));
    QCOMPARE(lines.at(1).at(1), QStringLiteral("09.03.2026 14:04:00"));
    QTEST(lines.at(1).at(1 + column), "value");
}

void TestControllerLogs::archiveHeaderOncePerDay()
{
    TempFolder folder;
    ReservVariables v;
    v.parameterBytes = QByteArray(16, '\x01');
    ArchiveWriter::write(v, folder.path(), &m_locale, kNow);
    ArchiveWriter::write(v, folder.path(), &m_locale, kNow.addSecs(60));
    ArchiveWriter::write(v, folder.path(), &m_locale, kNow.addDays(1));

    const QByteArray today = folder.read(QStringLiteral("Archive/Out_09_03_26.csv"));
    QCOMPARE(rows(today).size(), 3);
    QVERIFY(today.endsWith(";1;\r\n"));
    QCOMPARE(rows(folder.read(QStringLiteral("Archive/Out_10_03_26.csv"))).size(), 2);
}

void TestControllerLogs::alarmRows_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<qint32>("value");
    QTest::addColumn<QStringList>("row"); // empty: no row

    QTest::newRow("unchanged") << 0 << 0 << QStringList();
    QTest::newRow("active alarm") << 0x0C << 0
                                  << QStringList{"4",
                                                 "09.03.2026 14:05:07",
                                                 QDateTime::fromSecsSinceEpoch(0).toString(
                                                     "dd.MM.yyyy hh:mm:ss"),
                                                 "Утечка",
                                                 "2",
                                                 "Да",
                                                 "авария",
                                                 "Нет",
                                                 "Нет",
                                                 "Нет"};
    QTest::newRow("message, SMS, siren, notified, new time")
        << 0xB0 << 100000000
        << QStringList{"4",
                       "09.03.2026 14:05:07",
                       QDateTime::fromSecsSinceEpoch(100000000).toString("dd.MM.yyyy hh:mm:ss"),
                       "Утечка",
                       "2",
                       "Нет",
                       "сообшение",
                       "Да",
                       "Да",
                       "Да"};
}

void TestControllerLogs::alarmRows()
{
    QFETCH(int, state);
    QFETCH(qint32, value);
    QFETCH(QStringList, row);

    TempFolder folder;
    AlarmLogWriter writer;
    ReservVariables v;
    v.messages = {message(3, 0, 0), message(4, 0, 0)};
    writer.write(v, folder.path(), &m_locale, kNow); // the starting point: header, no rows
    v.messages[1] = message(4, state, value);
    writer.write(v, folder.path(), &m_locale, kNow);
    writer.write(v, folder.path(), &m_locale, kNow); // nothing changed since

    const QList<QStringList> lines = rows(folder.read(QStringLiteral("Alarms/Alarm_09_03_26.csv")));
    QCOMPARE(lines.size(), row.isEmpty() ? 1 : 2);
    QCOMPARE(lines.first().size(), 10);
    QCOMPARE(lines.first().first(), m_locale.text(61114));
    QCOMPARE(lines.first().last(), m_locale.text(61122));
    if (!row.isEmpty())
        QCOMPARE(lines.last(), row);
}

void TestControllerLogs::alarmHeaderEveryRun()
{
    TempFolder folder;
    ReservVariables v;
    v.messages = {message(3, 0, 0)};
    {
        AlarmLogWriter firstRun;
        firstRun.write(v, folder.path(), &m_locale, kNow);
        firstRun.write(v, folder.path(), &m_locale, kNow);
    }
    AlarmLogWriter secondRun;
    secondRun.write(v, folder.path(), &m_locale, kNow);
    const QList<QStringList> lines = rows(folder.read(QStringLiteral("Alarms/Alarm_09_03_26.csv")));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0), lines.at(1));
}

void TestControllerLogs::unusableFolder()
{
    TempFolder folder;
    QFile blocker(folder.filePath(QStringLiteral("Archive")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ReservVariables v;
    ArchiveWriter::write(v, folder.path(), &m_locale, kNow);
    AlarmLogWriter().write(v, folder.filePath(QStringLiteral("missing")), &m_locale, kNow);
    QVERIFY(QFileInfo(folder.filePath(QStringLiteral("Archive"))).isFile());
    QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("missing"))));
}

QTEST_GUILESS_MAIN(TestControllerLogs)
#include "tst_controllerlogs.moc"
