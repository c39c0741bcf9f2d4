// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The benchmark project generator: the project it writes loads with the asked-for rooms, controls
// and plans, and two runs write the same bytes.
#include "baseroomv1.h"
#include "benchproject.h"
#include "ecoreapp.h"
#include "loadreport.h"
#include "roomsv1.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Digest of every file under the folder, by relative path.
QMap<QString, QByteArray> digests(const QString &folder)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            out.insert(QDir(folder).relativeFilePath(path),
                       QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1));
    }
    return out;
}

} // namespace

class TestBenchProject : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { ECoreApp::destroyInstance(); }
    void loadsAsAsked_data();
    void loadsAsAsked();
    void sameBytesTwice();
};

void TestBenchProject::loadsAsAsked_data()
{
    QTest::addColumn<int>("rooms");
    QTest::addColumn<int>("controls");
    QTest::addColumn<int>("perFloor");
    QTest::newRow("two rooms, one floor") << 2 << 5 << 12;
    QTest::newRow("floors filled unevenly") << 7 << 3 << 3;
    QTest::newRow("rooms without controls") << 3 << 0 << 2;
}

void TestBenchProject::loadsAsAsked()
{
    QFETCH(int, rooms);
    QFETCH(int, controls);
    QFETCH(int, perFloor);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    BenchProjectOptions options;
    options.rooms = rooms;
    options.controls = controls;
    options.roomsPerFloor = perFloor;
    QString error;
    QVERIFY2(writeBenchProject(dir.path(), options, &error), qPrintable(error));

    ECoreApp *app = ECoreApp::instance();
    auto *model = new RoomsV1;
    app->setProjectModel(model, model);
    app->setSettingsFilePath(dir.path());
    app->loadStandardConfiguration();
    QStringList problems;
    for (const LoadProblem &p : app->lastLoadReport().problems())
        problems << p.toString();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));

    QList<BaseRoomV1 *> found;
    QSet<int> pageIds;
    int floors = 0;
    for (BaseRoomV1 *page : model->pagesOfType(BaseRoomV1::LightSystem)) {
        pageIds.insert(page->pageID());
        if (page->kind() == BaseRoomV1::KindFloor)
            ++floors;
        else if (page->kind() == BaseRoomV1::KindRoom)
            found.append(page);
    }
    QCOMPARE(found.size(), rooms);
    QCOMPARE(floors, (rooms + perFloor - 1) / perFloor);
    QCOMPARE(pageIds.size(), 1 + floors + rooms); // every page has a number of its own
    QSet<QString> plans;
    for (BaseRoomV1 *room : found) {
        QCOMPARE(room->controls().size(), controls);
        plans.insert(room->image());
        QImageReader reader(dir.filePath(room->image()));
        QCOMPARE(reader.size(), QSize(1600, 1200));
    }
    QCOMPARE(plans.size(), rooms); // a plan picture for every room
}

void TestBenchProject::sameBytesTwice()
{
    QTemporaryDir a;
    QTemporaryDir b;
    BenchProjectOptions options;
    options.rooms = 3;
    options.controls = 4;
    QString error;
    QVERIFY(writeBenchProject(a.path(), options, &error));
    QVERIFY(writeBenchProject(b.path(), options, &error));
    const auto first = digests(a.path());
    QCOMPARE(first, digests(b.path()));
    // Plans differ from room to room.
    QVERIFY(first.value(benchPlanPath(0)) != first.value(benchPlanPath(1)));
}

QTEST_MAIN(TestBenchProject)
#include "tst_benchproject.moc"
