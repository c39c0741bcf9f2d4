// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "fixturefolder.h"
#include "ecoreapp.h"
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
    QCOMPARE(core->rooms(), rooms);
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

QTEST_MAIN(TestCoreIntegration)
#include "tst_coreintegration.moc"
