// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// A new home from nothing, as an installer makes one: the files, the pages they load into, every
// palette entry placed on them, and all of it saved and read back; a folder that holds a home
// already is left alone; a folder of packages says what to do on its home page.
#include "basecontrolv1.h"
#include "controlkinds.h"
#include "eappsettings.h"
#include "ecoreapp.h"
#include "editorkinds.h"
#include "eiconwidget.h"
#include "eimagewidget.h"
#include "extroomformv1.h"
#include "floorstructv1.h"
#include "formservices.h"
#include "mainstructv1.h"
#include "newhome.h"
#include "roomsv1.h"
#include "roomstructv1.h"
#include "screentestsupport.h"
#include "uniaddcontrols.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Loads `folder` the way "-config" does, into a fresh core.
void loadHome(ScreenFixture *fixture, const QString &folder)
{
    Q_UNUSED(fixture)
    ECoreApp::instance()->setSettingsFilePath(folder);
    ECoreApp::instance()->loadStandardConfiguration();
}

// How many controls of each kind the page holds (deleted ones left out).
QMap<int, int> kindsOn(const BaseRoomV1 *page)
{
    QMap<int, int> kinds;
    for (const BaseControlV1 *c : page->controls()) {
        if (!c->isDeleted())
            ++kinds[c->kind()];
    }
    return kinds;
}

BaseRoomV1 *firstOfKind(BaseRoomV1::TYPESYSTEM system, int kind)
{
    for (BaseRoomV1 *p : FormServices::rooms()->pagesOfType(system)) {
        if (p->kind() == kind)
            return p;
    }
    return nullptr;
}

} // namespace

class tst_NewHome : public QObject
{
    Q_OBJECT

private slots:
    void newHomeLoadsWithItsPages();
    void everyPaletteEntryWorksAndIsKept();
    void anExistingHomeIsLeftAlone_data();
    void anExistingHomeIsLeftAlone();
    void packagesOnlySayWhatToDo();
};

void tst_NewHome::newHomeLoadsWithItsPages()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("house"));
    NewHome::Options options;
    options.address = QStringLiteral("127.0.0.7");
    options.port = 1502;
    QString error;
    QVERIFY2(NewHome::create(folder, options, &error), qPrintable(error));
    for (const QString &name : NewHome::files())
        QVERIFY2(QFile::exists(QDir(folder).filePath(name)), qPrintable(name));
    QVERIFY(!QImage(QDir(folder).filePath(QLatin1String(NewHome::kPlanPicture))).isNull());

    ScreenFixture fixture;
    loadHome(&fixture, folder);
    ECoreApp *app = ECoreApp::instance();
    QVERIFY(app->lastLoadReport().isEmpty());
    QCOMPARE(app->startMode(), StartMode::Standard);
    QCOMPARE(QDir(app->workingFolder()).canonicalPath(), QDir(folder).canonicalPath());
    QCOMPARE(app->settings().value(EAppSettings::IpAddress).toString(), options.address);
    QCOMPARE(app->settings().value(EAppSettings::IpPort).toInt(), 1502);
    QVERIFY(app->settings().value(EAppSettings::ShowSettings).toBool());
    RoomsV1 *rooms = FormServices::rooms();
    QVERIFY(rooms->mainPage());
    QVERIFY(rooms->mainPage()->controlCount() >= 2);
    for (BaseRoomV1::TYPESYSTEM system : {BaseRoomV1::LightSystem, BaseRoomV1::HeatSystem}) {
        QVERIFY(firstOfKind(system, BaseRoomV1::KindRoot));
        QVERIFY(firstOfKind(system, BaseRoomV1::KindFloor));
        BaseRoomV1 *room = firstOfKind(system, BaseRoomV1::KindRoom);
        QVERIFY(room);
        QCOMPARE(room->image(), QLatin1String(NewHome::kPlanPicture));
        QCOMPARE(room->scenes().size(), 4);
    }
    // The checker finds nothing to say about it.
    QCOMPARE(checkerProblems(folder), QStringList());
}

// Every entry of the palette places a control on the new home's pages; saved and read back,
// every one of them is there again.
void tst_NewHome::everyPaletteEntryWorksAndIsKept()
{
    QTemporaryDir dir;
    QVERIFY(NewHome::create(dir.path(), NewHome::Options()));
    auto *fixture = new ScreenFixture;
    loadHome(fixture, dir.path());
    // Weather and camera tiles go on the network once on screen: to a server of this test.
    SilentServer silent;
    QVERIFY(silent.listen());

    BaseRoomV1 *room = firstOfKind(BaseRoomV1::LightSystem, BaseRoomV1::KindRoom);
    BaseRoomV1 *floor = firstOfKind(BaseRoomV1::LightSystem, BaseRoomV1::KindFloor);
    QVERIFY(room && floor);
    room->setShowScenes(false);
    RecordingLink link;
    QMap<int, int> expected;
    int placed = 0;
    for (const PaletteEntry &entry : EditorKinds::paletteEntries()) {
        BaseRoomV1 *page = entry.kind == 0 ? floor : room;
        auto *form = new ExtRoomFormV1(page);
        form->setLink(&link);
        fixture->place(form);
        const int before = page->controlCount();
        const int pages = FormServices::rooms()->pageCount();
        form->AddButton();
        QVERIFY(form->palette());
        form->palette()->showEntry(entry.code);
        QVERIFY2(form->palette()->entryButton(entry.code)->isEnabled(), entry.name);
        fixture->click(form->palette()->entryButton(entry.code));
        QTRY_VERIFY(!form->palette());
        // Each on a free spot of the plan, from the bottom right towards the top left: a control
        // reaches right and down from where it was placed, so no click lands on an earlier one.
        const QSizeF plan = form->plan()->size();
        const QPointF spot(plan.width() * (0.83 - 0.15 * (placed % 6)),
                           plan.height() * (0.70 - 0.28 * (placed / 6)));
        ++placed;
        fixture->click(form, form->plan()->mapToItem(form, spot));
        if (entry.kind == 0) {
            QTRY_COMPARE(FormServices::rooms()->pageCount(), pages + 1);
        } else {
            QTRY_VERIFY2(page->controlCount() == before + 1, entry.name);
            QCOMPARE(page->controlAt(before)->kind(), entry.kind);
            ++expected[entry.kind];
        }
        delete form;
    }
    silent.takeCameras();
    QCOMPARE(kindsOn(room), expected);
    QVERIFY(ECoreApp::instance()->saveChanges());
    delete fixture;

    // Read back from the files in a fresh core.
    fixture = new ScreenFixture;
    loadHome(fixture, dir.path());
    QVERIFY(ECoreApp::instance()->lastLoadReport().isEmpty());
    room = firstOfKind(BaseRoomV1::LightSystem, BaseRoomV1::KindRoom);
    QVERIFY(room);
    QCOMPARE(kindsOn(room), expected);
    floor = firstOfKind(BaseRoomV1::LightSystem, BaseRoomV1::KindFloor);
    QCOMPARE(static_cast<FloorStructV1 *>(floor)->rooms().size(), 2);
    delete fixture;
    QCOMPARE(checkerProblems(dir.path()), QStringList());
}

void tst_NewHome::anExistingHomeIsLeftAlone_data()
{
    QTest::addColumn<QString>("present");
    QTest::newRow("settings") << "config.xml";
    QTest::newRow("a project file") << "light_config.xml";
    QTest::newRow("packages") << "configs.package";
}

void tst_NewHome::anExistingHomeIsLeftAlone()
{
    QFETCH(QString, present);
    QTemporaryDir dir;
    QFile file(dir.filePath(present));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("kept");
    file.close();
    QString error;
    QVERIFY(!NewHome::create(dir.path(), NewHome::Options(), &error));
    QVERIFY2(error.contains(present), qPrintable(error));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{present});
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("kept"));
}

// Packages are unpacked for the demo only: a folder of them opens to a home page that says so
// and names the command that unpacks them, instead of a blank page.
void tst_NewHome::packagesOnlySayWhatToDo()
{
    QTemporaryDir dir;
    QVERIFY(QFile::copy(QStringLiteral(":/resources/demo/configs.package"),
                        dir.filePath(QStringLiteral("configs.package"))));
    QVERIFY(QFile::copy(QStringLiteral(":/resources/demo/config.xml"),
                        dir.filePath(QStringLiteral("config.xml"))));
    QFile::setPermissions(dir.filePath(QStringLiteral("config.xml")),
                          QFile::ReadOwner | QFile::WriteOwner);
    ScreenFixture fixture;
    loadHome(&fixture, dir.path());
    BaseRoomV1 *home = FormServices::rooms()->mainPage();
    QVERIFY(home);
    auto *form = new ExtRoomFormV1(home);
    fixture.place(form);
    const QString text = form->loadProblemText();
    QVERIFY2(text.contains(QStringLiteral("configs.package")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("mkpackage --unpack ") +
                           QDir::toNativeSeparators(dir.path())),
             qPrintable(text));
    QVERIFY(ECoreApp::instance()->lastLoadReport().toStringList().join(' ').contains(
        QStringLiteral("mkpackage --unpack")));
}

QTEST_MAIN(tst_NewHome)
#include "tst_newhome.moc"
