// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// Reading the daily archive and alarm-log files: every line form the panel's writers produce
// (and the damage a power cut or an editor leaves), both text encodings, and the local times of
// day boundaries and daylight-saving changes.
#include "alarmlogparser.h"
#include "alarmlogwriter.h"
#include "archivefiles.h"
#include "archiveparser.h"
#include "archivewriter.h"
#include "controllertypes.h"
#include "csvformat.h"
#include "csvtext.h"
#include "demohistory.h"
#include "localtimeconverter.h"
#include "tempfolder.h"

#include <QTextCodec>
#include <QtTest>

using namespace ArchiveFiles;

namespace {

// Sets the local 8-bit encoding for one test, as an installation's system would have it.
class LocalCodec
{
public:
    explicit LocalCodec(const QByteArray &name) : m_previous(QTextCodec::codecForLocale())
    {
        QTextCodec::setCodecForLocale(QTextCodec::codecForName(name));
    }
    ~LocalCodec() { QTextCodec::setCodecForLocale(m_previous); }

private:
    QTextCodec *m_previous;
};

QByteArray values(const char *first, const char *second)
{
    QByteArray s = QByteArray(first) + ';' + second + ';';
    for (int i = 2; i < 16; ++i)
        s += "0;";
    return s;
}

const QByteArray kRow = "01.02.2024 10:00:00;01.02.2024 09:59:57;" + values("20", "10,5") + "\r\n";
const QByteArray kHeader = header();

qint64 local(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s)).toMSecsSinceEpoch();
}

} // namespace

class tst_HistoryParser : public QObject
{
    Q_OBJECT

private slots:
    void archiveLines_data();
    void archiveLines();
    void unfinishedLineWaits();
    void pieceByPieceEqualsWhole();
    void archiveWriterRoundTrip_data();
    void archiveWriterRoundTrip();
    void alarmWriterRoundTrip_data();
    void alarmWriterRoundTrip();
    void alarmLines_data();
    void alarmLines();
    void localTimes_data();
    void localTimes();
    void numbers_data();
    void numbers();
    void demoHistoryIsInTheWritersForm_data();
    void demoHistoryIsInTheWritersForm();
};

void tst_HistoryParser::archiveLines_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("headers");
    QTest::addColumn<int>("garbage");
    QTest::addColumn<double>("first");  // parameter 1 of the first row
    QTest::addColumn<double>("second"); // parameter 2 of the first row

    const double nan = std::nan("");
    // clang-format off
    QTest::newRow("row as written") << kRow << 1 << 0 << 0 << 20.0 << 10.5;
    QTest::newRow("header then row") << kHeader + kRow << 1 << 1 << 0 << 20.0 << 10.5;
    QTest::newRow("header repeated after a restart")
        << kHeader + kRow + kHeader + kRow << 2 << 2 << 0 << 20.0 << 10.5;
    QTest::newRow("line feed alone") << QByteArray(kRow).replace("\r\n", "\n") << 1 << 0 << 0 << 20.0 << 10.5;
    QTest::newRow("no separator after the last field")
        << QByteArray(kRow).replace(";\r\n", "\r\n") << 1 << 0 << 0 << 20.0 << 10.5;
    QTest::newRow("negative and exponent")
        << "01.02.2024 10:00:00;;" + values("-12,75", "1,5e+06") + "\r\n" << 1 << 0 << 0 << -12.75 << 1.5e6;
    QTest::newRow("decimal point") << "01.02.2024 10:00:00;;" + values("3.25", "7") + "\r\n"
                                   << 1 << 0 << 0 << 3.25 << 7.0;
    QTest::newRow("raw bytes without records")
        << "01.02.2024 10:00:00;01.02.2024 10:00:00;" + values("51", "255") + "\r\n" << 1 << 0 << 0 << 51.0 << 255.0;
    QTest::newRow("empty value is missing") << "01.02.2024 10:00:00;;" + values("", "4") + "\r\n"
                                            << 1 << 0 << 0 << nan << 4.0;
    QTest::newRow("empty lines between rows") << "\r\n" + kRow + "\r\n\r\n" + kRow << 2 << 0 << 0 << 20.0 << 10.5;
    QTest::newRow("too few fields") << QByteArray("01.02.2024 10:00:00;;1;2;\r\n") + kRow << 1 << 0 << 1 << 20.0 << 10.5;
    QTest::newRow("too many fields") << "01.02.2024 10:00:00;;" + values("1", "2") + "9;\r\n" + kRow
                                     << 1 << 0 << 1 << 20.0 << 10.5;
    QTest::newRow("no such day") << "31.02.2024 10:00:00;;" + values("1", "2") + "\r\n" + kRow
                                 << 1 << 0 << 1 << 20.0 << 10.5;
    QTest::newRow("text where a number belongs") << "01.02.2024 10:00:00;;" + values("warm", "2") + "\r\n" + kRow
                                                 << 1 << 0 << 1 << 20.0 << 10.5;
    QTest::newRow("two rows run together (power cut)")
        << QByteArray("01.02.2024 09:59:00;01.02.2024 09:58:57;20;1") + kRow + kRow << 1 << 0 << 1 << 20.0 << 10.5;
    QTest::newRow("binary junk") << QByteArray("\x00\x01\xff\xfe;;\x80\r\n", 9) + kRow << 1 << 0 << 1 << 20.0 << 10.5;
    QTest::newRow("a damaged header with numbers") << "Program time;Controller time;" + values("1", "2") + "\r\n" + kRow
                                                   << 1 << 0 << 1 << 20.0 << 10.5;
    // clang-format on
}

void tst_HistoryParser::archiveLines()
{
    QFETCH(QByteArray, text);
    QFETCH(int, rows);
    QFETCH(int, headers);
    QFETCH(int, garbage);
    QFETCH(double, first);
    QFETCH(double, second);
    ArchiveParser parser;
    QVector<ArchiveRow> read;
    const qint64 used = parser.parse(text, false, [&](const ArchiveRow &r) { read.append(r); });
    QCOMPARE(used, qint64(text.size()));
    QCOMPARE(parser.rows(), rows);
    QCOMPARE(read.size(), rows);
    QCOMPARE(parser.headerLines(), headers);
    QCOMPARE(parser.garbageLines(), garbage);
    QCOMPARE(read.first().time, local(2024, 2, 1, 10, 0, 0));
    if (std::isnan(first))
        QVERIFY(std::isnan(read.first().values[0]));
    else
        QCOMPARE(read.first().values[0], first);
    QCOMPARE(read.first().values[1], second);
    if (headers)
        QCOMPARE(parser.captions().value(15), QStringLiteral("Data 16"));
}

void tst_HistoryParser::unfinishedLineWaits()
{
    // The panel appends a row while the screen reads: the half-written last line is not garbage,
    // it is read once complete.
    const QByteArray whole = kHeader + kRow + kRow;
    const QByteArray cut = whole.left(whole.size() - 25);
    ArchiveParser parser;
    int rows = 0;
    const qint64 used = parser.parse(cut, false, [&](const ArchiveRow &) { ++rows; });
    QCOMPARE(rows, 1);
    QCOMPARE(used, qint64(kHeader.size() + kRow.size()));
    QCOMPARE(parser.garbageLines(), 0);
    parser.parse(whole.mid(int(used)), false, [&](const ArchiveRow &) { ++rows; });
    QCOMPARE(rows, 2);
    QCOMPARE(parser.garbageLines(), 0);

    // In a file of a past day nothing will complete it: it is read as it stands.
    ArchiveParser past;
    QCOMPARE(past.parse(cut, true, nullptr), qint64(cut.size()));
    QCOMPARE(past.rows(), 1);
    QCOMPARE(past.garbageLines(), 1);
}

void tst_HistoryParser::pieceByPieceEqualsWhole()
{
    QByteArray text = kHeader;
    for (int i = 0; i < 50; ++i)
        text += row(local(2024, 3, 5, 10, i, 0), {double(i), i * 0.5});
    ArchiveParser whole;
    QVector<qint64> expected;
    whole.parse(text, false, [&](const ArchiveRow &r) { expected.append(r.time); });
    // Pieces of every awkward size, as reads of a growing file would deliver them.
    for (int piece : {1, 7, 64, 333}) {
        ArchiveParser parser;
        QVector<qint64> times;
        qint64 offset = 0;
        for (qint64 end = piece; offset < text.size();
             end = std::min<qint64>(end + piece, text.size())) {
            offset += parser.parse(text.constData() + offset, end - offset, false,
                                   [&](const ArchiveRow &r) { times.append(r.time); });
            if (end == text.size())
                break;
        }
        QCOMPARE(times, expected);
        QCOMPARE(parser.garbageLines(), 0);
        QCOMPARE(parser.headerLines(), 1);
    }
}

void tst_HistoryParser::archiveWriterRoundTrip_data()
{
    QTest::addColumn<QByteArray>("codec");
    QTest::newRow("UTF-8") << QByteArray("UTF-8");
    QTest::newRow("Windows-1251") << QByteArray("Windows-1251");
}

void tst_HistoryParser::archiveWriterRoundTrip()
{
    // The panel's own writer in the local 8-bit encoding of an installation, read back.
    QFETCH(QByteArray, codec);
    const LocalCodec local(codec);
    TempFolder folder;
    ReservVariables record;
    record.controllerTime = QDateTime(QDate(2024, 5, 6), QTime(7, 59, 58));
    record.parameterBytes = QByteArray(16, char(51));
    ArchiveStruct outdoor;
    outdoor.id = 3;
    outdoor.minimum = 0;
    outdoor.maximum = 100;
    outdoor.dataByte = 51;
    outdoor.text = QStringLiteral("Температура снаружи, °C");
    ArchiveStruct water;
    water.id = 9;
    water.minimum = 0;
    water.maximum = 10.5;
    water.dataByte = 255;
    water.text = QStringLiteral("Давление воды, бар");
    record.parameters = {outdoor, water};
    const QDateTime first(QDate(2024, 5, 6), QTime(8, 0, 0));
    ArchiveWriter::write(record, folder.path(), nullptr, first);
    ArchiveWriter::write(record, folder.path(), nullptr, first.addSecs(60));
    const QByteArray bytes =
        folder.read(QStringLiteral("Archive/") + ArchiveWriter::fileName(first.date()));
    QVERIFY(!bytes.isEmpty());
    // The Cyrillic caption is not UTF-8 in the Windows-1251 file.
    QCOMPARE(bytes.contains(QStringLiteral("Давление").toUtf8()), codec == "UTF-8");

    ArchiveParser parser;
    QVector<ArchiveRow> rows;
    parser.parse(bytes, false, [&](const ArchiveRow &r) { rows.append(r); });
    QCOMPARE(parser.garbageLines(), 0);
    QCOMPARE(parser.headerLines(), 1);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(parser.captions().value(2), outdoor.text);
    QCOMPARE(parser.captions().value(8), water.text);
    QCOMPARE(rows.at(0).time, first.toMSecsSinceEpoch());
    QCOMPARE(rows.at(1).time, first.addSecs(60).toMSecsSinceEpoch());
    QCOMPARE(rows.at(0).values[2], 20.0);
    QCOMPARE(rows.at(0).values[8], 10.5);
    // Ids without a record carry the raw byte.
    QCOMPARE(rows.at(0).values[0], 51.0);
}

void tst_HistoryParser::alarmWriterRoundTrip_data()
{
    archiveWriterRoundTrip_data();
}

void tst_HistoryParser::alarmWriterRoundTrip()
{
    QFETCH(QByteArray, codec);
    const LocalCodec local(codec);
    TempFolder folder;
    AlarmLogWriter writer;
    AlertStruct leak;
    leak.id = 4;
    leak.text = QStringLiteral("Протечка на кухне");
    leak.maximum = 1;
    ReservVariables record;
    record.messages = {leak};
    const QDateTime start(QDate(2024, 5, 6), QTime(8, 0, 0));
    writer.write(record, folder.path(), nullptr, start); // the first call only takes the list
    record.messages[0].stateByte = 0x0C;                 // active alarm
    record.messages[0].value = 1714975000;
    writer.write(record, folder.path(), nullptr, start.addSecs(5));
    record.messages[0].stateByte = 0x08; // cleared
    writer.write(record, folder.path(), nullptr, start.addSecs(65));
    // A second run of the panel the same day starts with another header.
    AlarmLogWriter restarted;
    restarted.write(record, folder.path(), nullptr, start.addSecs(120));
    record.messages[0].stateByte = 0x04; // active message
    restarted.write(record, folder.path(), nullptr, start.addSecs(125));
    const QByteArray bytes =
        folder.read(QStringLiteral("Alarms/") + AlarmLogWriter::fileName(start.date()));

    AlarmLogParser parser;
    QVector<AlarmEvent> events;
    parser.parse(bytes, false, [&](const AlarmEvent &e) { events.append(e); });
    QCOMPARE(parser.garbageLines(), 0);
    QCOMPARE(parser.headerLines(), 2);
    QCOMPARE(events.size(), 3);
    QCOMPARE(events.at(0).id, 4);
    QCOMPARE(events.at(0).text, leak.text);
    QCOMPARE(events.at(0).time, start.addSecs(5).toMSecsSinceEpoch());
    QCOMPARE(events.at(0).alertTime, 1714975000LL * 1000);
    QVERIFY(events.at(0).active && events.at(0).alarm);
    QVERIFY(!events.at(1).active && events.at(1).alarm);
    QVERIFY(events.at(2).active && !events.at(2).alarm);
}

void tst_HistoryParser::alarmLines_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("events");
    QTest::addColumn<int>("headers");
    QTest::addColumn<int>("garbage");
    const qint64 t = local(2024, 1, 9, 12, 0, 0);
    const QByteArray event = alarmRow(3, t, QStringLiteral("Front door open"), true, false);
    QTest::newRow("event") << event << 1 << 0 << 0;
    QTest::newRow("empty captions header (no language table)")
        << QByteArray(";;;;;;;;;;\r\n") + event << 1 << 1 << 0;
    QTest::newRow("short line") << QByteArray("3;09.01.2024 12:00:00;\r\n") + event << 1 << 0 << 1;
    QTest::newRow("id is not a number")
        << QByteArray(event).replace("3;", "x;") + event << 1 << 0 << 1;
    QTest::newRow("text with a comma and quotes")
        << alarmRow(7, t, QStringLiteral("Gate \"B\", left"), false, true) << 1 << 0 << 0;
}

void tst_HistoryParser::alarmLines()
{
    QFETCH(QByteArray, text);
    QFETCH(int, events);
    QFETCH(int, headers);
    QFETCH(int, garbage);
    AlarmLogParser parser;
    QVector<AlarmEvent> read;
    parser.parse(text, false, [&](const AlarmEvent &e) { read.append(e); });
    QCOMPARE(read.size(), events);
    QCOMPARE(parser.headerLines(), headers);
    QCOMPARE(parser.garbageLines(), garbage);
    QCOMPARE(read.last().time, local(2024, 1, 9, 12, 0, 0));
}

void tst_HistoryParser::localTimes_data()
{
    QTest::addColumn<QStringList>("rows");     // local times in file order
    QTest::addColumn<QStringList>("expected"); // the instants, in UTC
    // clang-format off
    QTest::newRow("clocks go back: the repeated hour twice, in order")
        << QStringList{"27.10.2024 01:30:00", "27.10.2024 02:00:00", "27.10.2024 02:59:00",
                       "27.10.2024 02:00:00", "27.10.2024 02:30:00", "27.10.2024 03:00:00"}
        << QStringList{"2024-10-26T23:30:00Z", "2024-10-27T00:00:00Z", "2024-10-27T00:59:00Z",
                       "2024-10-27T01:00:00Z", "2024-10-27T01:30:00Z", "2024-10-27T02:00:00Z"};
    QTest::newRow("clocks go forward: no hour in between")
        << QStringList{"31.03.2024 01:59:00", "31.03.2024 03:00:00", "31.03.2024 03:01:00"}
        << QStringList{"2024-03-31T00:59:00Z", "2024-03-31T01:00:00Z", "2024-03-31T01:01:00Z"};
    QTest::newRow("the year ends") << QStringList{"31.12.2024 23:59:59", "01.01.2025 00:00:00"}
                                   << QStringList{"2024-12-31T22:59:59Z", "2024-12-31T23:00:00Z"};
    QTest::newRow("leap day, summer") << QStringList{"29.02.2024 12:00:00", "15.07.2024 12:00:00"}
                                      << QStringList{"2024-02-29T11:00:00Z", "2024-07-15T10:00:00Z"};
    QTest::newRow("a restart a few seconds back is not the repeated hour")
        << QStringList{"27.10.2024 02:30:10", "27.10.2024 02:30:05"}
        << QStringList{"2024-10-27T00:30:10Z", "2024-10-27T00:30:05Z"};
    // clang-format on
}

void tst_HistoryParser::localTimes()
{
    QFETCH(QStringList, rows);
    QFETCH(QStringList, expected);
    LocalTimeConverter converter;
    qint64 previous = std::numeric_limits<qint64>::min() / 2;
    for (int i = 0; i < rows.size(); ++i) {
        const QByteArray text = rows.at(i).toLatin1();
        qint64 at = 0;
        QVERIFY(CsvText::parseDateTime({text.constData(), text.constData() + text.size()},
                                       converter, previous, &at));
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(at, Qt::UTC).toString(Qt::ISODate), expected.at(i));
        previous = at;
    }
}

void tst_HistoryParser::numbers_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << QByteArray("42") << true << 42.0;
    QTest::newRow("comma") << QByteArray("0,001") << true << 0.001;
    QTest::newRow("plus sign") << QByteArray("+7,5") << true << 7.5;
    QTest::newRow("spaces around") << QByteArray(" 3,5 ") << true << 3.5;
    QTest::newRow("exponent") << QByteArray("2,5e-05") << true << 2.5e-5;
    QTest::newRow("two commas") << QByteArray("1,2,3") << false << 0.0;
    QTest::newRow("unit glued on") << QByteArray("21C") << false << 0.0;
    QTest::newRow("very long") << QByteArray(100, '1') << false << 0.0;
}

void tst_HistoryParser::numbers()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    double read = 0;
    QCOMPARE(CsvText::parseNumber({text.constData(), text.constData() + text.size()}, &read), ok);
    if (ok)
        QCOMPARE(read, value);
}

void tst_HistoryParser::demoHistoryIsInTheWritersForm_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<int>("rows");
    QTest::newRow("an ordinary day") << QDate(2024, 7, 1) << 144;
    QTest::newRow("clocks go back") << QDate(2024, 10, 27) << 150;
    QTest::newRow("clocks go forward") << QDate(2024, 3, 31) << 138;
}

void tst_HistoryParser::demoHistoryIsInTheWritersForm()
{
    // The demo's past must read exactly like what the panel writes: every number in the
    // writer's own form, every time as the writer formats it, values inside their ranges.
    QFETCH(QDate, day);
    QFETCH(int, rows);
    TempFolder folder;
    const QList<DemoHistory::Record> parameters = {{1, QStringLiteral("Outdoor, C"), -40, 50},
                                                   {9, QStringLiteral("Pressure, bar"), 0, 10}};
    QStringList captions{QStringLiteral("Program time"), QStringLiteral("Controller time")};
    for (int id = 1; id <= 16; ++id)
        captions << QStringLiteral("Data %1").arg(id);
    DemoHistory::Plan plan;
    plan.end = QDateTime(day, QTime(23, 59, 59));
    plan.days = 1;
    plan.fineDays = 0;
    plan.alarms = false;
    const DemoHistory::Written written =
        DemoHistory::write(folder.path(), parameters, {}, captions, {}, plan);
    QCOMPARE(written.rows, qint64(rows));
    const QByteArray bytes = folder.read(QStringLiteral("Archive/") + archiveName(day));
    ArchiveParser parser;
    QVector<ArchiveRow> read;
    parser.parse(bytes, false, [&](const ArchiveRow &r) { read.append(r); });
    QCOMPARE(parser.garbageLines(), 0);
    QCOMPARE(parser.headerLines(), 1);
    QCOMPARE(read.size(), rows);
    const QList<QByteArray> lines = bytes.split('\n');
    for (int i = 0; i < read.size(); ++i) {
        const ArchiveRow &r = read.at(i);
        if (i > 0)
            QCOMPARE(r.time - read.at(i - 1).time, qint64(600000));
        const QList<QByteArray> fields = lines.at(i + 1).split(';');
        QCOMPARE(QString::fromLatin1(fields.at(0)),
                 CsvFormat::dateTime(QDateTime::fromMSecsSinceEpoch(r.time)));
        for (int id : {1, 9})
            QCOMPARE(QString::fromLatin1(fields.at(1 + id)),
                     CsvFormat::real(r.values[size_t(id - 1)]));
        QVERIFY(r.values[0] >= -40 && r.values[0] <= 50);
        QVERIFY(r.values[8] >= 0 && r.values[8] <= 10);
        // Without a record: the raw byte.
        QCOMPARE(r.values[1], std::round(r.values[1]));
        QVERIFY(r.values[1] >= 0 && r.values[1] <= 255);
    }
}

QTEST_GUILESS_MAIN(tst_HistoryParser)
#include "tst_historyparser.moc"
