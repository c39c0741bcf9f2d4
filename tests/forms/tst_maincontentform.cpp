// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The main content on a view: page numbering, navigation by system, room and controller page,
// the back history with its captions, and the top bar's layout rules.
#include "alertform.h"
#include "basecontrolv1.h"
#include "eappsettings.h"
#include "ecoreapp.h"
#include "eflickable.h"
#include "eimagewidget.h"
#include "elocale.h"
#include "estackwidget.h"
#include "extroomformv1.h"
#include "exttoolwidget.h"
#include "historyform.h"
#include "lazyroompage.h"
#include "maincontentform.h"
#include "maincontentworker.h"
#include "recordinglinkcommands.h"
#include "roomconstantsv1.h"
#include "roomsv1.h"

#include <QDir>
#include <QFile>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestMainContentForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void pagesAreNumbered_data();
    void pagesAreNumbered();
    void backCaptionsFollowTheHistory();
    void alternatingPagesFillTheHistoryUpToItsCap();
    void backCaptionFollowsTheLanguage_data();
    void backCaptionFollowsTheLanguage();
    void navigationByNameAndNumber();
    void controllerSelectsPages_data();
    void controllerSelectsPages();
    void backButtonWidth_data();
    void backButtonWidth();
    void homeButtonHiddenAtHome();
    void emptyBackgroundSettingKeepsThePicture();
    void loadRunsInLaterTurnsAndOnce_data();
    void loadRunsInLaterTurnsAndOnce();
    void cancelledLoadCreatesNothingMore();
    void roomScreensBuiltWhenFirstShown_data();
    void roomScreensBuiltWhenFirstShown();
    void oldScreensAreReleasedAndRebuilt();

private:
    // Loads the fixture project without the given files and puts an empty main content on a scene.
    void prepare(const QStringList &leaveOut = {});
    // prepare(), then builds the main content's pages and waits for the last one.
    void build(const QStringList &leaveOut = {});
    RoomsV1 *rooms() const;
    // The room pages that get a screen of their own from page kFirstRoomPage on, in page order.
    QList<BaseRoomV1 *> expectedRoomPages() const;
    int pageOf(const QString &roomName) const;

    QTemporaryDir m_dir;
    QGraphicsScene *m_scene = nullptr;
    MainContentForm *m_form = nullptr;
};

void TestMainContentForm::init()
{
    ECoreApp::destroyInstance();
    ECoreApp *app = ECoreApp::instance();
    auto *rooms = new RoomsV1;
    app->setProjectModel(rooms, rooms);
}

void TestMainContentForm::cleanup()
{
    delete m_scene;
    m_scene = nullptr;
    m_form = nullptr;
    ECoreApp::destroyInstance();
}

void TestMainContentForm::prepare(const QStringList &leaveOut)
{
    static int counter = 0;
    const QString folder = m_dir.filePath(QString::number(++counter));
    QDir().mkpath(folder);
    const QString fixture = QFINDTESTDATA("../data/project");
    for (const QString &name : QDir(fixture).entryList({QStringLiteral("*.xml")}, QDir::Files)) {
        if (!leaveOut.contains(name))
            QFile::copy(fixture + QLatin1Char('/') + name, folder + QLatin1Char('/') + name);
    }
    ECoreApp *app = ECoreApp::instance();
    app->setSettingsFilePath(folder);
    app->loadStandardConfiguration();
    m_scene = new QGraphicsScene;
    m_form = new MainContentForm;
    m_scene->addItem(m_form);
    m_form->resize(1280, 740);
}

void TestMainContentForm::build(const QStringList &leaveOut)
{
    prepare(leaveOut);
    // The pages are created one per event-loop turn; the form says when the last one is there.
    QSignalSpy finished(m_form, &MainContentForm::controlsFinished);
    m_form->createForms(rooms());
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.count(), 1);
}

RoomsV1 *TestMainContentForm::rooms() const
{
    return qobject_cast<RoomsV1 *>(ECoreApp::instance()->projectModelObject());
}

QList<BaseRoomV1 *> TestMainContentForm::expectedRoomPages() const
{
    QList<BaseRoomV1 *> expected;
    RoomsV1 *project = rooms();
    for (auto type : {BaseRoomV1::LightSystem, BaseRoomV1::HeatSystem, BaseRoomV1::OtherSystem}) {
        for (BaseRoomV1 *page : project->pagesOfType(type)) {
            if (page != project->lightPage() && page != project->heatPage())
                expected.append(page);
        }
    }
    return expected;
}

int TestMainContentForm::pageOf(const QString &roomName) const
{
    for (const auto &record : m_form->worker()->records()) {
        if (record.title == roomName)
            return record.stackIndex;
    }
    return -1;
}

void TestMainContentForm::pagesAreNumbered_data()
{
    QTest::addColumn<QStringList>("leaveOut");
    QTest::addColumn<bool>("lightRoot");
    QTest::addColumn<bool>("heatRoot");
    QTest::newRow("whole project") << QStringList{} << true << true;
    QTest::newRow("no lighting") << QStringList{"light_config.xml"} << false << true;
    QTest::newRow("neither lighting nor heating")
        << QStringList{"light_config.xml", "heat_config.xml"} << false << false;
}

void TestMainContentForm::pagesAreNumbered()
{
    QFETCH(QStringList, leaveOut);
    QFETCH(bool, lightRoot);
    QFETCH(bool, heatRoot);
    build(leaveOut);
    EStackWidget *stack = m_form->stack();
    RoomsV1 *rooms = qobject_cast<RoomsV1 *>(ECoreApp::instance()->projectModelObject());
    QCOMPARE(stack->currentIndex(), int(MainContentWorker::kHomePage));
    // Pages 7, 8 and 9 keep their meaning even when a root is missing: the fixed numbers the
    // controller and the system buttons use never open an unrelated room.
    auto room = [this](int index) {
        ExtRoomFormV1 *form = m_form->worker()->roomForm(index);
        return form ? form->room() : nullptr;
    };
    QCOMPARE(room(7), rooms->mainPage());
    QCOMPARE(room(8) != nullptr, lightRoot);
    QCOMPARE(room(9) != nullptr, heatRoot);
    if (lightRoot)
        QCOMPARE(room(8), rooms->lightPage());
    // Every further page of the project has exactly one screen, lights first.
    QList<BaseRoomV1 *> expected;
    for (auto type : {BaseRoomV1::LightSystem, BaseRoomV1::HeatSystem, BaseRoomV1::OtherSystem}) {
        for (BaseRoomV1 *page : rooms->pagesOfType(type)) {
            if (page != rooms->lightPage() && page != rooms->heatPage())
                expected.append(page);
        }
    }
    // ... and the history page follows them, so adding it moved no room's number.
    QCOMPARE(stack->count(), MainContentWorker::kFirstRoomPage + expected.size() + 1);
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(room(MainContentWorker::kFirstRoomPage + i), expected.at(i));
    const int history = m_form->worker()->historyPage();
    QCOMPARE(history, stack->count() - 1);
    QVERIFY(qobject_cast<HistoryForm *>(stack->widget(history)));
}

void TestMainContentForm::backCaptionsFollowTheHistory()
{
    build();
    EStackWidget *stack = m_form->stack();
    const int kitchen = pageOf(QStringLiteral("kitchen"));
    const int living = pageOf(QStringLiteral("living"));
    QVERIFY(kitchen > 0 && living > 0);
    m_form->worker()->gotoRoom(BaseRoomV1::LightSystem, QStringLiteral("kitchen"));
    QCOMPARE(stack->currentIndex(), kitchen);
    QCOMPARE(m_form->backButton()->text(), QStringLiteral("HOME"));
    m_form->worker()->gotoRoom(BaseRoomV1::LightSystem, QStringLiteral("living"));
    QCOMPARE(stack->currentIndex(), living);
    QCOMPARE(m_form->backButton()->text(), QStringLiteral("KITCHEN"));
    m_form->gotoBack();
    QCOMPARE(stack->currentIndex(), kitchen);
    QCOMPARE(m_form->backButton()->text(), QStringLiteral("HOME"));
    m_form->gotoBack();
    QCOMPARE(stack->currentIndex(), int(MainContentWorker::kHomePage));
    QVERIFY(m_form->worker()->history().isEmpty());
    // A page visited again is a new step: Home, kitchen, living, kitchen, then Back goes to the
    // living room, whose name the back button showed.
    m_form->worker()->gotoRoom(BaseRoomV1::LightSystem, QStringLiteral("kitchen"));
    m_form->worker()->gotoRoom(BaseRoomV1::LightSystem, QStringLiteral("living"));
    m_form->worker()->gotoRoom(BaseRoomV1::LightSystem, QStringLiteral("kitchen"));
    QCOMPARE(m_form->backButton()->text(), QStringLiteral("LIVING"));
    m_form->gotoBack();
    QCOMPARE(stack->currentIndex(), living);
    QCOMPARE(m_form->backButton()->text(), QStringLiteral("KITCHEN"));
    m_form->gotoBack();
    QCOMPARE(stack->currentIndex(), kitchen);
    QCOMPARE(m_form->backButton()->text(), QStringLiteral("HOME"));
    m_form->gotoBack();
    QCOMPARE(stack->currentIndex(), int(MainContentWorker::kHomePage));
    // A renamed page is found and captioned by its new name.
    BaseRoomV1 *kitchenPage = m_form->worker()->roomForm(kitchen)->room();
    kitchenPage->setName(QStringLiteral("scullery"));
    m_form->worker()->updateRoomSettings(kitchenPage);
    m_form->worker()->gotoRoom(BaseRoomV1::LightSystem, QStringLiteral("scullery"));
    QCOMPARE(stack->currentIndex(), kitchen);
    m_form->worker()->gotoRoom(BaseRoomV1::LightSystem, QStringLiteral("living"));
    QCOMPARE(m_form->backButton()->text(), QStringLiteral("SCULLERY"));
    m_form->gotoBack();
    m_form->gotoBack();
    // The same page twice in a row is one entry.
    m_form->worker()->gotoSystem(RoomConstantsV1::FormLight, QString());
    m_form->worker()->gotoSystem(RoomConstantsV1::FormLight, QString());
    QCOMPARE(m_form->worker()->history(), QList<int>{8});
}

void TestMainContentForm::backCaptionFollowsTheLanguage_data()
{
    QTest::addColumn<QString>("via"); // the page the back button leads to
    QTest::addColumn<QString>("russian");
    QTest::addColumn<QString>("english");
    QTest::newRow("home") << "" << QString::fromUtf8("ДОМ") << "HOME";
    QTest::newRow("connection page")
        << "connection" << QString::fromUtf8("НАСТРОЙКИ СВЯЗИ") << "CONNECTION SETTINGS";
}

// The back caption is said again in the new language: after Russian and back to English it no
// longer reads "ДОМ".
void TestMainContentForm::backCaptionFollowsTheLanguage()
{
    QFETCH(QString, via);
    QFETCH(QString, russian);
    QFETCH(QString, english);
    build();
    ELocale *locale = ECoreApp::instance()->locale();
    QVERIFY(locale->load(QStringLiteral("ru_RU")));
    if (!via.isEmpty())
        m_form->worker()->gotoSystem(RoomConstantsV1::FormConnection, QString());
    m_form->worker()->gotoRoom(BaseRoomV1::LightSystem, QStringLiteral("kitchen"));
    QCOMPARE(m_form->backButton()->text(), russian);
    QVERIFY(locale->load(QStringLiteral("en_US")));
    QCOMPARE(m_form->backButton()->text(), english);
    // Going back still lands where the caption says.
    m_form->gotoBack();
    QCOMPARE(m_form->stack()->currentIndex(), via.isEmpty() ? int(MainContentWorker::kHomePage)
                                                            : int(RoomConstantsV1::FormConnection));
}

void TestMainContentForm::alternatingPagesFillTheHistoryUpToItsCap()
{
    build();
    const int kitchen = pageOf(QStringLiteral("kitchen"));
    const int living = pageOf(QStringLiteral("living"));
    for (int i = 0; i < 500; ++i) {
        m_form->stackIndexChanged(i % 2 ? kitchen : living);
        m_form->stackIndexChanged(3);
    }
    QCOMPARE(m_form->worker()->history().size(), int(MainContentWorker::kMaxHistory));
    // Visiting many distinct pages in a row is capped too.
    for (int round = 0; round < 20; ++round) {
        for (int page = 0; page < m_form->stack()->count(); ++page) {
            if (page != MainContentWorker::kHomePage)
                m_form->stackIndexChanged(page);
        }
    }
    QVERIFY(m_form->worker()->history().size() <= MainContentWorker::kMaxHistory);
}

void TestMainContentForm::navigationByNameAndNumber()
{
    build();
    EStackWidget *stack = m_form->stack();
    MainContentWorker *worker = m_form->worker();
    worker->gotoSystem(RoomConstantsV1::FormHeat, QString());
    QCOMPARE(stack->currentIndex(), 9);
    worker->gotoSystem(RoomConstantsV1::FormNone, QString());
    QCOMPARE(stack->currentIndex(), 9);
    worker->gotoRoom(BaseRoomV1::LightSystem, QStringLiteral("no such room"));
    QCOMPARE(stack->currentIndex(), 9);
    // A room's name under another subsystem type is not found.
    worker->gotoRoom(BaseRoomV1::HeatSystem, QStringLiteral("kitchen"));
    QCOMPARE(stack->currentIndex(), 9);
    worker->gotoSystem(RoomConstantsV1::FormSubsystem, QStringLiteral("security.xml"));
    const int security = stack->currentIndex();
    QVERIFY(security >= MainContentWorker::kFirstRoomPage);
    QCOMPARE(worker->roomForm(security)->room()->systemType(), BaseRoomV1::OtherSystem);
    m_form->stackIndexChanged(stack->count());
    QCOMPARE(stack->currentIndex(), security);
    // A subsystem button that names no file opens nothing: floors and rooms carry no file name,
    // and one of them used to be opened in its place.
    worker->gotoSystem(RoomConstantsV1::FormSubsystem, QString());
    QCOMPARE(stack->currentIndex(), security);
    worker->gotoSystem(RoomConstantsV1::FormSubsystem, QStringLiteral(" "));
    QCOMPARE(stack->currentIndex(), security);

    // The history screen by its system type, with its title as the way back; and from the alerts.
    worker->gotoSystem(RoomConstantsV1::FormHistory, QString());
    QCOMPARE(stack->currentIndex(), worker->historyPage());
    worker->gotoSystem(RoomConstantsV1::FormLight, QString());
    QCOMPARE(m_form->backButton()->text(), worker->pageTitle(worker->historyPage()).toUpper());
    m_form->CloseSystem();
    m_form->stackIndexChanged(3);
    auto *alerts = qobject_cast<AlertForm *>(stack->widget(3));
    QVERIFY(alerts);
    emit alerts->historyClicked();
    QCOMPARE(stack->currentIndex(), worker->historyPage());
    m_form->gotoBack();
    QCOMPARE(stack->currentIndex(), 3);
}

void TestMainContentForm::controllerSelectsPages_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("expected"); // a number, or the name of a room
    QTest::newRow("zero") << 0 << "7";
    QTest::newRow("alerts") << 3 << "3";
    QTest::newRow("home") << 7 << "7";
    QTest::newRow("kitchen by its pageID") << 12 << "kitchen";
    QTest::newRow("unknown pageID") << 200 << "7";
}

void TestMainContentForm::controllerSelectsPages()
{
    QFETCH(int, value);
    QFETCH(QString, expected);
    build();
    m_form->showControllerPage(value);
    bool isNumber = false;
    const int number = expected.toInt(&isNumber);
    QCOMPARE(m_form->stack()->currentIndex(), isNumber ? number : pageOf(expected));
}

void TestMainContentForm::backButtonWidth_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("caption");
    QTest::newRow("narrow") << 869 << false;
    QTest::newRow("wide") << 870 << true;
}

void TestMainContentForm::backButtonWidth()
{
    QFETCH(int, width);
    QFETCH(bool, caption);
    build();
    m_form->resize(width, 600);
    QCOMPARE(m_form->backButton()->showCaption(), caption);
    QCOMPARE(m_form->backButton()->maximumWidth(), caption ? 300.0 : 66.0);
}

void TestMainContentForm::homeButtonHiddenAtHome()
{
    build();
    QVERIFY(!m_form->homeButton()->isVisible());
    m_form->stackIndexChanged(2);
    QVERIFY(m_form->homeButton()->isVisible());
    QVERIFY(m_form->homeButton()->isEnabled());
    m_form->GotoHome();
    QCOMPARE(m_form->stack()->currentIndex(), 7);
    QVERIFY(!m_form->homeButton()->isVisible());
    // Disabled buttons do nothing: the connection page opens only on a connection problem.
    m_form->setConnectionState(
        {QStringLiteral("connected_ip1-ok.png"), 61010, QStringLiteral("x"), false});
    m_form->ShowConnections();
    QCOMPARE(m_form->stack()->currentIndex(), 7);
}

void TestMainContentForm::emptyBackgroundSettingKeepsThePicture()
{
    build();
    EAppSettings &settings = ECoreApp::instance()->settings();
    const QString folder = ECoreApp::instance()->workingFolder() + QStringLiteral("/fone");
    QDir().mkpath(folder);
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    QVERIFY(picture.save(folder + QStringLiteral("/blue.png")));
    settings.setValue(EAppSettings::FoneImage, QStringLiteral("blue.png"));
    m_form->ChangeFone();
    EImageWidget *background = nullptr;
    for (QGraphicsItem *item : m_form->childItems()) {
        auto *image = dynamic_cast<EImageWidget *>(item);
        if (image && image->zValue() < 0)
            background = image;
    }
    QVERIFY(background);
    QVERIFY(!background->image().isNull());
    settings.setValue(EAppSettings::FoneImage, QString());
    m_form->ChangeFone();
    QVERIFY(!background->image().isNull());
}

void TestMainContentForm::loadRunsInLaterTurnsAndOnce_data()
{
    QTest::addColumn<QString>("midLoad"); // what is asked for once the home page exists
    QTest::newRow("nothing") << QString();
    QTest::newRow("a second load") << QStringLiteral("createForms");
    QTest::newRow("pages for added rooms") << QStringLiteral("updateRooms");
}

void TestMainContentForm::loadRunsInLaterTurnsAndOnce()
{
    QFETCH(QString, midLoad);
    prepare();
    MainContentWorker *worker = m_form->worker();
    EStackWidget *stack = m_form->stack();
    QStringList seen;
    int countBefore = -1;
    int countAfter = -1;
    connect(m_form, &MainContentForm::systemFormsFinished, this, [&] {
        seen << QStringLiteral("system");
        countBefore = stack->count();
        if (midLoad == QLatin1String("createForms"))
            m_form->createForms(rooms());
        else if (midLoad == QLatin1String("updateRooms"))
            worker->updateRooms();
        countAfter = stack->count();
    });
    connect(m_form, &MainContentForm::lightFormsFinished, this, [&] { seen << "light"; });
    connect(m_form, &MainContentForm::heatFormsFinished, this, [&] { seen << "heat"; });
    connect(m_form, &MainContentForm::subsystemFormsFinished, this, [&] { seen << "subsystems"; });
    QSignalSpy finished(m_form, &MainContentForm::controlsFinished);
    connect(m_form, &MainContentForm::controlsFinished, this, [&] { seen << "finished"; });

    m_form->createForms(rooms());
    // Nothing is built inside the call, so no caller is ever re-entered half-way through it.
    QCOMPARE(stack->count(), 0);
    QVERIFY(seen.isEmpty());
    QVERIFY(worker->isLoading());
    QVERIFY(finished.wait(20000));
    QVERIFY(!worker->isLoading());
    QCOMPARE(seen, (QStringList{"system", "light", "heat", "subsystems", "finished"}));
    // A request in the middle of a load creates nothing of its own, then or later.
    QCOMPARE(countBefore, int(MainContentWorker::kHomePage) + 1);
    QCOMPARE(countAfter, countBefore);
    const QList<BaseRoomV1 *> expected = expectedRoomPages();
    // The room pages, then the history page.
    QCOMPARE(stack->count(), MainContentWorker::kFirstRoomPage + expected.size() + 1);
    for (int i = 0; i < expected.size(); ++i) {
        ExtRoomFormV1 *form = m_form->worker()->roomForm(MainContentWorker::kFirstRoomPage + i);
        QVERIFY(form);
        QCOMPARE(form->room(), expected.at(i));
    }
    QCOMPARE(m_form->worker()->records().size(), 3 + expected.size());
    QCOMPARE(stack->currentIndex(), int(MainContentWorker::kHomePage));
    QCOMPARE(finished.count(), 1);
}

void TestMainContentForm::cancelledLoadCreatesNothingMore()
{
    prepare();
    MainContentWorker *worker = m_form->worker();
    connect(m_form, &MainContentForm::systemFormsFinished, worker,
            &MainContentWorker::cancelLoading);
    QSignalSpy lights(m_form, &MainContentForm::lightFormsFinished);
    QSignalSpy finished(m_form, &MainContentForm::controlsFinished);
    m_form->createForms(rooms());
    QTRY_VERIFY(!worker->isLoading());
    const int count = m_form->stack()->count();
    QCOMPARE(count, int(MainContentWorker::kHomePage) + 1);
    // Far more turns than the rest of the load would need: none of them may add a page.
    for (int turn = 0; turn < 200; ++turn)
        QCoreApplication::processEvents();
    QCOMPARE(m_form->stack()->count(), count);
    QCOMPARE(lights.count(), 0);
    QCOMPARE(finished.count(), 0);
}

void TestMainContentForm::roomScreensBuiltWhenFirstShown_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("shown");
    QTest::newRow("controller's page selection") << "controller" << true;
    QTest::newRow("room button by name") << "name" << true;
    QTest::newRow("page number, as the tour does") << "number" << true;
    QTest::newRow("asked for while hidden") << "demand" << false;
}

void TestMainContentForm::roomScreensBuiltWhenFirstShown()
{
    QFETCH(QString, how);
    QFETCH(bool, shown);
    build();
    MainContentWorker *worker = m_form->worker();
    EStackWidget *stack = m_form->stack();
    const QList<BaseRoomV1 *> expected = expectedRoomPages();
    QVERIFY(expected.size() >= 2);
    // Every page has its place and number (the history page after the rooms); only the home
    // page, which is on screen, has a screen.
    QCOMPARE(stack->count(), MainContentWorker::kFirstRoomPage + expected.size() + 1);
    QVERIFY(worker->createdRoomForm(MainContentWorker::kHomePage));
    for (int i = 0; i < expected.size(); ++i)
        QVERIFY(!worker->createdRoomForm(MainContentWorker::kFirstRoomPage + i));

    // The last room page with a page number of its own, never shown so far.
    int index = -1;
    BaseRoomV1 *room = nullptr;
    for (int i = expected.size() - 1; i >= 0 && !room; --i) {
        if (expected.at(i)->pageID() > MainContentWorker::kHomePage &&
            expected.at(i)->systemType() == BaseRoomV1::LightSystem) {
            room = expected.at(i);
            index = MainContentWorker::kFirstRoomPage + i;
        }
    }
    QVERIFY(room);
    RecordingLinkCommands link;
    auto *page = qobject_cast<LazyRoomPage *>(stack->widget(index));
    QVERIFY(page);
    connect(page, &LazyRoomPage::formCreated, this,
            [&link](ExtRoomFormV1 *form) { form->setLink(&link); });

    if (how == QLatin1String("controller"))
        worker->selectControllerPage(room->pageID());
    else if (how == QLatin1String("name"))
        worker->gotoRoom(room->systemType(), room->name());
    else if (how == QLatin1String("number"))
        stack->setCurrentIndex(index);
    else
        QVERIFY(worker->roomForm(index));

    ExtRoomFormV1 *form = worker->createdRoomForm(index);
    QVERIFY(form);
    QCOMPARE(form->room(), room);
    // The screen lives in its page, inside the area that scrolls it on pages smaller than a plan.
    QCOMPARE(form->parentItem(), static_cast<QGraphicsItem *>(page->scrollArea()));
    QCOMPARE(page->scrollArea()->parentItem(), static_cast<QGraphicsItem *>(page));
    QCOMPARE(stack->currentIndex() == index, shown);
    if (shown) {
        // On screen at the page's full size and polled like any room shown.
        QCOMPARE(form->size(), stack->size());
        QVERIFY(form->isVisible());
        QVERIFY(form->isActive());
        QCOMPARE(link.names().count(QStringLiteral("setRoom")), 1);
        QCOMPARE(link.rooms.last().pageNumber, makeRoomSnapshot(*room).pageNumber);
        QCOMPARE(link.rooms.last().controls.size(), makeRoomSnapshot(*room).controls.size());
        // Shown again: the same screen, not a second one.
        stack->setCurrentIndex(MainContentWorker::kHomePage);
        QCOMPARE(link.names().count(QStringLiteral("closeRoom")), 1);
        stack->setCurrentIndex(index);
        QCOMPARE(worker->createdRoomForm(index), form);
        QCOMPARE(link.names().count(QStringLiteral("setRoom")), 2);
    } else {
        QVERIFY(!form->isVisible());
        QVERIFY(!form->isActive());
        QVERIFY(link.calls.isEmpty());
        QCOMPARE(worker->roomForm(index), form);
    }
    // Other rooms are still unbuilt.
    int built = 0;
    for (int i = 0; i < expected.size(); ++i)
        built += worker->createdRoomForm(MainContentWorker::kFirstRoomPage + i) ? 1 : 0;
    QCOMPARE(built, 1);
}

void TestMainContentForm::oldScreensAreReleasedAndRebuilt()
{
    build();
    MainContentWorker *worker = m_form->worker();
    EStackWidget *stack = m_form->stack();
    worker->setKeptScreens(2);
    const int kitchen = pageOf(QStringLiteral("kitchen"));
    QVERIFY(kitchen >= MainContentWorker::kFirstRoomPage);
    QList<int> others;
    for (int i = MainContentWorker::kFirstRoomPage; i < stack->count() && others.size() < 3; ++i) {
        if (i != kitchen)
            others.append(i);
    }
    QCOMPARE(others.size(), 3);

    stack->setCurrentIndex(kitchen);
    ExtRoomFormV1 *first = worker->createdRoomForm(kitchen);
    QVERIFY(first && first->isVisible());
    BaseRoomV1 *room = first->room();
    QVERIFY(!room->controls().isEmpty());
    const QString control = room->controls().first()->runtimeId();
    QVERIFY(first->widgetById(control));
    const QPointF placed = first->widgetById(control)->pos();
    const QSize planSize = first->plan()->image().size();
    QVERIFY(!planSize.isEmpty());
    QCOMPARE(planSize, first->plan()->size().toSize());

    // Three other rooms later the kitchen is neither recent nor where Back leads: let go of.
    QPointer<ExtRoomFormV1> old(first);
    for (int index : others)
        stack->setCurrentIndex(index);
    QVERIFY(!worker->createdRoomForm(kitchen));
    QTRY_VERIFY(!old);
    for (int index : others.mid(1))
        QVERIFY(worker->createdRoomForm(index));

    // Shown again: built anew, the plan at the size drawn and the controls where they were.
    stack->setCurrentIndex(kitchen);
    ExtRoomFormV1 *again = worker->createdRoomForm(kitchen);
    QVERIFY(again && again->isVisible());
    QCOMPARE(again->room(), room);
    QCOMPARE(again->plan()->image().size(), planSize);
    QVERIFY(again->widgetById(control));
    QCOMPARE(again->widgetById(control)->pos(), placed);
}

QTEST_MAIN(TestMainContentForm)
#include "tst_maincontentform.moc"
