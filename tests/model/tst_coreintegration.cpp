// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "ecoreapp.h"
#include "fixturefolder.h"
#include "roomsv1.h"

#include <QDirIterator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The application core owns the project model: it loads it with a configuration and writes the
// edited subsystem files back when it is destroyed.
class TestCoreIntegration : public QObject
{
    Q_OBJECT

private slots:
    void loadsAndWritesBackThroughTheCore();
    void brokenProjectFilesAreReportedWithTheirLine_data();
    void brokenProjectFilesAreReportedWithTheirLine();
};

namespace {

using FixtureFolder::contents;
using FixtureFolder::copyFolder;

} // namespace

void TestCoreIntegration::loadsAndWritesBackThroughTheCore()
{
    QTemporaryDir dir;
    QVERIFY(copyFolder(QFileInfo(QFINDTESTDATA("../data/project/config.xml")).absolutePath(),
                       dir.path()));
    const QByteArray heatBefore = contents(dir.filePath(QStringLiteral("heat_config.xml")));
    const QByteArray lightBefore = contents(dir.filePath(QStringLiteral("light_config.xml")));

    ECoreApp *core = ECoreApp::instance();
    auto *rooms = new RoomsV1;
    core->setProjectModel(rooms, rooms);
    QCOMPARE(RoomsV1::fromCore(), rooms);
    // A standard configuration: only then are edits written back.
    core->setSettingsFilePath(dir.filePath(QStringLiteral("config.xml")));
    QSignalSpy stopped(core, &ECoreApp::resourcesStopLoading);
    core->loadConfiguration(dir.path());
    QCOMPARE(stopped.count(), 1);
    QCOMPARE(rooms->pageCount(), 25);
    QCOMPARE(rooms->mainPage()->name(), QStringLiteral("home"));

    BaseRoomV1 *kitchen = rooms->pageByName(QStringLiteral("kitchen"));
    QVERIFY(kitchen);
    kitchen->setModified(true);
    ECoreApp::destroyInstance();

    QCOMPARE(contents(dir.filePath(QStringLiteral("heat_config.xml"))), heatBefore);
    const QByteArray lightAfter = contents(dir.filePath(QStringLiteral("light_config.xml")));
    QVERIFY(lightAfter != lightBefore);
    QVERIFY(lightAfter.contains("kitchen_ceiling"));
}

void TestCoreIntegration::brokenProjectFilesAreReportedWithTheirLine_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("fragment");

    // clang-format off
    QTest::newRow("element not closed")
        << "light_config.xml" << QByteArray("</floor>") << QByteArray("</flor>")
        << "not well-formed XML";
    QTest::newRow("unknown control")
        << "heat_config.xml" << QByteArray("<heat ") << QByteArray("<gadget ")
        << "unknown element <gadget>";
    // clang-format on
}

void TestCoreIntegration::brokenProjectFilesAreReportedWithTheirLine()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(QString, fragment);
    QTemporaryDir dir;
    QVERIFY(copyFolder(QFileInfo(QFINDTESTDATA("../data/project/config.xml")).absolutePath(),
                       dir.path()));
    QByteArray text = contents(dir.filePath(file));
    const int at = text.indexOf(before);
    QVERIFY(at >= 0);
    text.replace(at, before.size(), after);
    const qint64 line = text.left(at).count('\n') + 1;
    {
        QFile out(dir.filePath(file));
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(text);
    }

    ECoreApp *core = ECoreApp::instance();
    auto *rooms = new RoomsV1;
    core->setProjectModel(rooms, rooms);
    core->setSettingsFilePath(dir.filePath(QStringLiteral("config.xml")));
    QSignalSpy found(core, &ECoreApp::loadProblemFound);
    core->loadConfiguration(dir.path());

    const QList<LoadProblem> problems = core->lastLoadReport().problems();
    QVERIFY2(problems.size() == 1, qPrintable(core->lastLoadReport().toStringList().join('\n')));
    QCOMPARE(problems.first().file, file);
    QCOMPARE(problems.first().line, line);
    QVERIFY2(problems.first().message.contains(fragment), qPrintable(problems.first().message));
    QCOMPARE(found.count(), 1);
    // The rest of the project is there all the same.
    QVERIFY(rooms->mainPage());
    QVERIFY(rooms->pageByName(QStringLiteral("kitchen")) || file == "light_config.xml");
    ECoreApp::destroyInstance();
}

QTEST_MAIN(TestCoreIntegration)
#include "tst_coreintegration.moc"
