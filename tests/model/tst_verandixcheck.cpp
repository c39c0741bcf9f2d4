// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "fixturefolder.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using FixtureFolder::copyFolder;

QString fixtureFolder()
{
    return QFileInfo(QFINDTESTDATA("../data/project/config.xml")).absolutePath();
}

QString checkerPath()
{
    return qEnvironmentVariable("VERANDIX_BUILD_DIR") +
           QStringLiteral("/tools/verandix-check/verandix-check");
}

// Replaces the one occurrence of `before` in a file of the folder.
bool edit(const QString &path, const QByteArray &before, const QByteArray &after)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray text = file.readAll();
    file.close();
    if (text.count(before) != 1)
        return false;
    text.replace(before, after);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(text) == text.size();
}

struct Result
{
    int exitCode = -1;
    QString output;
    QStringList problems;
};

Result runChecker(const QString &folder)
{
    QProcess process;
    process.start(checkerPath(), {folder});
    Result result;
    if (!process.waitForFinished(60000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromUtf8(process.readAllStandardOutput());
    for (const QString &line : result.output.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("  - ")))
            result.problems << line.mid(4);
    }
    return result;
}

} // namespace

class TestVerandixCheck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fixtureIsClean();
    void brokenCopies_data();
    void brokenCopies();
    void unreadableFolder();
    void historyButtonWantsALog_data();
    void historyButtonWantsALog();
    void pathsLeavingTheFolder_data();
    void pathsLeavingTheFolder();
};

void TestVerandixCheck::initTestCase()
{
    QVERIFY2(QFileInfo(checkerPath()).isExecutable(), qPrintable(checkerPath()));
}

void TestVerandixCheck::fixtureIsClean()
{
    const Result result = runChecker(fixtureFolder());
    QVERIFY2(result.problems.isEmpty(), qPrintable(result.problems.join(QLatin1Char('\n'))));
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.output.contains(QLatin1String("No problems found.")));
    // The tree: files, page numbers and control counts by kind.
    QVERIFY(result.output.contains(QLatin1String("light_config.xml  [light]")));
    QVERIFY(result.output.contains(
        QLatin1String("#3 room \"kitchen\" (Kitchen): switch 2, sensor 1, lamp 2")));
    QVERIFY(result.output.contains(
        QLatin1String("#17 root \"home\" (Home): textcnt 1, syscontrol 7, weather 1")));
}

void TestVerandixCheck::brokenCopies_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("expected");

    // clang-format off
    QTest::newRow("malformed file")
        << "utilities.xml" << QByteArray("</subsystems>") << QByteArray("</subsystem>")
        << "utilities.xml:23: not well-formed XML";
    QTest::newRow("wrong root element")
        << "heat_config.xml" << QByteArray("*") << QByteArray("<config><floor name='f'/></config>")
        << "heat_config.xml:1: root element is <config>";
    QTest::newRow("unknown element")
        << "light_config.xml" << QByteArray("<scene textB=\"Cooking\"/>") << QByteArray("<gadget textB=\"Cooking\"/>")
        << "light_config.xml:16: unknown element <gadget> in room \"kitchen\" ignored";
    QTest::newRow("room outside a floor")
        << "heat_config.xml" << QByteArray(" <glscene textB=\"Comfort\"/>") << QByteArray(" <room name=\"stray\"/>")
        << "heat_config.xml:5: misplaced element <room> in the root ignored";
    QTest::newRow("missing control image")
        << "light_config.xml" << QByteArray("imageDis=\"img/pirdis.png\" snrNumber=\"3\"") << QByteArray("imageDis=\"img/gone.png\" snrNumber=\"3\"")
        << "light_config.xml: room \"hall\": sensor \"hall_pir\": image \"img/gone.png\" is missing";
    QTest::newRow("missing plan image")
        << "utilities.xml" << QByteArray("image=\"plans/utilities.png\" pageID=\"60\"") << QByteArray("image=\"plans/cellar.png\" pageID=\"60\"")
        << "utilities.xml: root page: image \"plans/cellar.png\" is missing";
    QTest::newRow("image that is no picture")
        << "main_config.xml" << QByteArray("image=\"icons/exit.png\"") << QByteArray("image=\"config.xml\"")
        << "main_config.xml: root page: syscontrol \"btn_exit\": image \"config.xml\" cannot be read as a picture";
    QTest::newRow("two lamps with one number")
        << "light_config.xml" << QByteArray("lmpNumber=\"12\"") << QByteArray("lmpNumber=\"5\"")
        << "lamp number 5 is used by different controls: \"living_wall\"";
    QTest::newRow("two thermostats with one number")
        << "security.xml" << QByteArray("swcNumber=\"20\"") << QByteArray("swcNumber=\"1\"")
        << "thermostat number 1 is used by different controls: \"heat_living_floor\"";
    QTest::newRow("byte inside a double word")
        << "utilities.xml" << QByteArray("byteAddress=\"1013\"") << QByteArray("byteAddress=\"1010\"")
        << "utilities.xml: room \"boiler_room\": bytecnt \"energy_meter\" (bytes 1008..1011) overlaps bytecnt \"pressure_raw\" (bytes 1010..1010)";
    QTest::newRow("byte inside a thermostat record")
        << "security.xml" << QByteArray("byteAddress=\"1849\"") << QByteArray("byteAddress=\"378\"")
        << "security.xml: room \"sec_garage\": heat \"garage_frost\" (bytes 376..379) overlaps bytecnt \"garage_door_pos\" (bytes 378..378)";
    QTest::newRow("text write longer than the text it shares")
        << "utilities.xml" << QByteArray("maximum=\"16\" fontSize=\"12\" width=\"240\"") << QByteArray("maximum=\"17\" fontSize=\"12\" width=\"240\"")
        << "utilities.xml: room \"laundry\": dyntextcnt \"washer_state\" (bytes 1020..1035) overlaps textwritecnt \"washer_note\" (bytes 1020..1036)";
    QTest::newRow("text too long to poll")
        << "security.xml" << QByteArray("maximum=\"16\"") << QByteArray("maximum=\"300\"")
        << "security.xml: room \"sec_entrance\": dyntextcnt \"alarm_status\": can never be polled: it needs 300 bytes";
    QTest::newRow("subsystem button without target")
        << "security.xml" << QByteArray("fileName=\"utilities.xml\"") << QByteArray("fileName=\"cellar.xml\"")
        << "security.xml: root page: syscontrol \"to_utilities\": target file \"cellar.xml\" is not a project file";
    QTest::newRow("subsystem button with an empty file name")
        << "security.xml" << QByteArray("fileName=\"utilities.xml\"") << QByteArray("fileName=\"\"")
        << "security.xml: root page: syscontrol \"to_utilities\": opens a subsystem but names no file";
    QTest::newRow("subsystem button without a file name")
        << "security.xml" << QByteArray(" fileName=\"utilities.xml\"") << QByteArray("")
        << "security.xml: root page: syscontrol \"to_utilities\": opens a subsystem but names no file";
    QTest::newRow("subsystem button with a blank file name")
        << "security.xml" << QByteArray("fileName=\"utilities.xml\"") << QByteArray("fileName=\"  \"")
        << "security.xml: root page: syscontrol \"to_utilities\": opens a subsystem but names no file";
    QTest::newRow("position beyond the plan")
        << "light_config.xml" << QByteArray("posX=\"95\" posY=\"95\"") << QByteArray("posX=\"95\" posY=\"104.5\"")
        << "light_config.xml: room \"bathroom\": sensor \"bath_pir\": position (95, 104.5) lies outside 0..100 %";
    QTest::newRow("page button above the plan")
        << "heat_config.xml" << QByteArray("posX=\"55.25\" posY=\"20\"") << QByteArray("posX=\"55.25\" posY=\"-3.533190578158458\"")
        << "heat_config.xml: room \"heat_bathroom\": button position (55.25, -3.53";
    QTest::newRow("missing settings")
        << "config.xml" << QByteArray() << QByteArray()
        << "config.xml is missing";
    // clang-format on
}

void TestVerandixCheck::brokenCopies()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(copyFolder(fixtureFolder(), dir.path()));
    const QString path = dir.filePath(file);
    if (before.isEmpty()) {
        QVERIFY(QFile::remove(path));
    } else if (before == "*") {
        QFile whole(path);
        QVERIFY(whole.open(QIODevice::WriteOnly | QIODevice::Truncate));
        whole.write(after);
    } else
        QVERIFY2(edit(path, before, after), "the fixture text to break was not found once");
    const Result result = runChecker(dir.path());
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.problems.size() == 1, qPrintable(result.problems.join(QLatin1Char('\n'))));
    QVERIFY2(result.problems.first().startsWith(expected), qPrintable(result.problems.first()));
}

void TestVerandixCheck::historyButtonWantsALog_data()
{
    QTest::addColumn<QByteArray>("settings"); // added to config.xml
    QTest::addColumn<bool>("clean");
    QTest::newRow("nothing written") << QByteArray() << false;
    QTest::newRow("archive written") << QByteArray("<writearchive value=\"true\"/>") << true;
    QTest::newRow("alarm log written") << QByteArray("<writealarm value=\"true\"/>") << true;
}

void TestVerandixCheck::historyButtonWantsALog()
{
    // A button to the history screen is a known system type; it is only worth a word when the
    // settings keep nothing for that screen to show.
    QFETCH(QByteArray, settings);
    QFETCH(bool, clean);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(copyFolder(fixtureFolder(), dir.path()));
    QVERIFY(edit(dir.filePath(QStringLiteral("main_config.xml")), "systType=\"info\"",
                 "systType=\"history\""));
    if (!settings.isEmpty())
        QVERIFY(
            edit(dir.filePath(QStringLiteral("config.xml")), "</config>", settings + "</config>"));
    const Result result = runChecker(dir.path());
    QCOMPARE(result.exitCode, clean ? 0 : 1);
    if (!clean) {
        QCOMPARE(result.problems.size(), 1);
        QVERIFY2(
            result.problems.first().startsWith(QStringLiteral(
                "main_config.xml: root page: syscontrol \"btn_info\": opens the history screen")),
            qPrintable(result.problems.first()));
    }
}

void TestVerandixCheck::pathsLeavingTheFolder_data()
{
    // A picture and a sound beside the configuration folder, and a link inside it to the
    // picture: the panel reads all of them, the checker names each one.
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("expected");
    // clang-format off
    QTest::newRow("plan picture in the parent folder")
        << "utilities.xml" << QByteArray("image=\"plans/utilities.png\" pageID=\"60\"") << QByteArray("image=\"../outside.png\" pageID=\"60\"")
        << "utilities.xml: root page: image \"../outside.png\" lies outside the configuration folder";
    QTest::newRow("control picture two levels up")
        << "light_config.xml" << QByteArray("imageDis=\"img/pirdis.png\" snrNumber=\"3\"") << QByteArray("imageDis=\"img/../../outside.png\" snrNumber=\"3\"")
        << "light_config.xml: room \"hall\": sensor \"hall_pir\": image \"img/../../outside.png\" lies outside";
    QTest::newRow("picture through a link")
        << "light_config.xml" << QByteArray("imageDis=\"img/pirdis.png\" snrNumber=\"3\"") << QByteArray("imageDis=\"img/link.png\" snrNumber=\"3\"")
        << "light_config.xml: room \"hall\": sensor \"hall_pir\": image \"img/link.png\" lies outside";
    QTest::newRow("sound file in the parent folder")
        << "config.xml" << QByteArray("</config>") << QByteArray("<sound fileName=\"../alarm.wav\" value=\"7\"/></config>")
        << "config.xml: sound 7: file \"../alarm.wav\" lies outside the configuration folder";
    QTest::newRow("background picture up from its folder")
        << "config.xml" << QByteArray("</config>") << QByteArray("<foneimage value=\"../../outside.png\"/></config>")
        << "config.xml: foneimage: background \"../../outside.png\" lies outside";
    // clang-format on
}

void TestVerandixCheck::pathsLeavingTheFolder()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(QString, expected);
    QTemporaryDir base;
    QVERIFY(base.isValid());
    const QString folder = base.filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(copyFolder(fixtureFolder(), folder));
    QVERIFY(QFile::copy(folder + QStringLiteral("/img/pirdis.png"),
                        base.filePath(QStringLiteral("outside.png"))));
    QVERIFY(QFile::link(base.filePath(QStringLiteral("outside.png")),
                        folder + QStringLiteral("/img/link.png")));
    QFile sound(base.filePath(QStringLiteral("alarm.wav")));
    QVERIFY(sound.open(QIODevice::WriteOnly));
    sound.close();
    // Inside the folder, as before: no problem.
    QVERIFY2(runChecker(folder).problems.isEmpty(), "the fixture with a link beside it is clean");
    QVERIFY(edit(folder + QLatin1Char('/') + file, before, after));
    const Result result = runChecker(folder);
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.problems.size() == 1, qPrintable(result.problems.join(QLatin1Char('\n'))));
    QVERIFY2(result.problems.first().startsWith(expected), qPrintable(result.problems.first()));
}

void TestVerandixCheck::unreadableFolder()
{
    QTemporaryDir dir;
    QProcess process;
    process.start(checkerPath(), {dir.filePath(QStringLiteral("missing"))});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 2);
    process.start(checkerPath(), {fixtureFolder() + QStringLiteral("/config.xml")});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 2);
    process.start(checkerPath(), QStringList());
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 2);
}

QTEST_GUILESS_MAIN(TestVerandixCheck)
#include "tst_verandixcheck.moc"
