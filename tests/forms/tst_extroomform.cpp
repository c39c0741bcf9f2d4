// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// Editing on the room screen against a recording stand-in for the link: the switch type panel,
// new floors and rooms from the level entry, and that every edit reaches the link as a new copy
// of the room.
#include "adminaccess.h"
#include "adminpindialog.h"
#include "controlconstants.h"
#include "controlkinds.h"
#include "dynamiccontrolv1.h"
#include "eappsettings.h"
#include "ebasewidget.h"
#include "ecombowidget.h"
#include "ecoreapp.h"
#include "edithistory.h"
#include "eiconwidget.h"
#include "eimagewidget.h"
#include "etoolkittiming.h"
#include "extroomformv1.h"
#include "extsceneswidget.h"
#include "exttoolboxwidget.h"
#include "exttoolwidget.h"
#include "floorstructv1.h"
#include "formservices.h"
#include "heatcontrolv1.h"
#include "lightcontrolv1.h"
#include "mainstructv1.h"
#include "roomrecordinglink.h"
#include "roomsnapshot.h"
#include "roomstructv1.h"
#include "roomsv1.h"
#include "screentestsupport.h"
#include "sensorcontrolv1.h"
#include "switchcontrolv1.h"
#include "switchtypedialog.h"
#include "uniaddcontrols.h"
#include "unisettings.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

namespace {

using EditLink = RoomRecordingLink;

// The demo home, with its weather and camera tiles left off the plans: they go on the network as
// soon as they are on screen, towards services this test does not run.
bool loadDemoOffline(ScreenFixture *fx)
{
    if (!fx->loadDemo())
        return false;
    for (BaseRoomV1 *page : FormServices::rooms()->pages()) {
        for (BaseControlV1 *c : page->controls()) {
            const int kind = c->kind();
            if (kind == ControlConstants::KindWeather || kind == ControlConstants::KindIpCam ||
                kind == ControlConstants::KindAVCam)
                c->setDeleted(true);
        }
    }
    return true;
}

// A lighting room of the loaded project without network tiles, which would go on the network
// once shown.
BaseRoomV1 *offlineLightRoom()
{
    for (BaseRoomV1 *p : FormServices::rooms()->pages()) {
        if (p->kind() != BaseRoomV1::KindRoom || p->systemType() != BaseRoomV1::LightSystem)
            continue;
        bool offline = true;
        for (BaseControlV1 *c : p->controls()) {
            const int kind = c->kind();
            offline = offline && kind != ControlConstants::KindWeather &&
                      kind != ControlConstants::KindIpCam && kind != ControlConstants::KindAVCam;
        }
        if (offline)
            return p;
    }
    return nullptr;
}

} // namespace

class tst_ExtRoomForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void switchTypePanelSendsTheChoice_data();
    void switchTypePanelSendsTheChoice();
    void levelEntryAddsPagesWithTheirOwnNumbers_data();
    void levelEntryAddsPagesWithTheirOwnNumbers();
    void addedControlReachesTheLinkAsANewCopy();
    void propertiesPanelEditsTheClickedControl();
    void toolboxAsksForTheAdministrationPin();
    void propertiesOfAFloorFromItsIcon();
    void undoAndRedoReturnPageFileAndPolling();
    void editsAreWrittenAtExitAndReadBack();
    void anEditUndoneAfterItWasWrittenIsWrittenAgain();
    void leavingThePageEndsAnArmedAction_data();
    void leavingThePageEndsAnArmedAction();
    void heldDragMovesAndUndoPutsBack();
    void paletteEntriesByPage_data();
    void paletteEntriesByPage();
    void paletteAddsEveryKind_data();
    void paletteAddsEveryKind();
    void newControlsFindTheirPictures_data();
    void newControlsFindTheirPictures();
    void aNewControlDrivesOnlyItself_data();
    void aNewControlDrivesOnlyItself();
    void deletingAFloorWithContentAsksFirst();
    void aDraggedControlStaysOnItsPlan_data();
    void aDraggedControlStaysOnItsPlan();

private:
    ExtRoomFormV1 *makeForm(BaseRoomV1 *room);
    void flush() { QCoreApplication::processEvents(); }

    ScreenFixture *m_fx = nullptr;
    EditLink *m_link = nullptr;
    RoomStructV1 *m_room = nullptr;
    ExtRoomFormV1 *m_form = nullptr;
    SwitchControlV1 *m_switch = nullptr;
};

void tst_ExtRoomForm::initTestCase()
{
    // A drag still needs a real hold, just not the program's half second; a press and release
    // sent back to back never count as one.
    EToolkit::HoldTimes times = EToolkit::holdTimes();
    times.dragMs = 150;
    times.longClickMs = 250;
    times.autoRepeatMs = 250;
    EToolkit::setHoldTimes(times);
}

void tst_ExtRoomForm::init()
{
    m_fx = new ScreenFixture;
    m_link = new EditLink;
    m_room = new RoomStructV1;
    m_room->setSystemType(BaseRoomV1::LightSystem);
    m_room->setPageNumber(7);
    m_room->setScenes({QStringLiteral("Dinner"), QStringLiteral("Night"), QStringLiteral("Film"),
                       QStringLiteral("Away")});
    auto *lamp = m_room->createLight(QStringLiteral("lamp"), QStringLiteral("Lamp"), {25, 10});
    lamp->setLmpNumber(1);
    m_switch = m_room->createSwitch(QStringLiteral("sw"), QStringLiteral("Switch"), {25, 40});
    m_switch->setSwcNumber(5);
    // As last reported by the controller: a scene switch running the room's second scene.
    m_switch->setSwitchMode(1);
    m_switch->setSceneNumber(2);
}

void tst_ExtRoomForm::cleanup()
{
    delete m_form;
    m_form = nullptr;
    delete m_room;
    m_room = nullptr;
    delete m_link;
    m_link = nullptr;
    delete m_fx;
    m_fx = nullptr;
}

ExtRoomFormV1 *tst_ExtRoomForm::makeForm(BaseRoomV1 *room)
{
    auto *form = new ExtRoomFormV1(room);
    form->setLink(m_link);
    m_fx->place(form);
    flush();
    return form;
}

void tst_ExtRoomForm::switchTypePanelSendsTheChoice_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("sceneRow");
    QTest::addColumn<QString>("sent");
    QTest::newRow("scene switch to all on") << true << 1 << 5 << "ChangeSwitchType 5 1 100";
    QTest::newRow("scene switch to scene 4") << true << 1 << 4 << "ChangeSwitchType 5 1 4";
    QTest::newRow("back to a plain switch") << true << 0 << 0 << "ChangeSwitchType 5 0 0";
    QTest::newRow("cancel sends nothing") << false << 0 << 0 << "";
}

void tst_ExtRoomForm::switchTypePanelSendsTheChoice()
{
    QFETCH(bool, save);
    QFETCH(int, type);
    QFETCH(int, sceneRow);
    QFETCH(QString, sent);
    m_form = makeForm(m_room);
    ExtScenesWidget *bar = m_form->scenesWidget();
    m_fx->click(bar->button(ExtScenesWidget::Dependencies));
    QTRY_VERIFY(bar->isDependencyMode());
    QTRY_VERIFY(bar->button(ExtScenesWidget::SwitchChange)->isVisible());
    m_fx->click(bar->button(ExtScenesWidget::SwitchChange));
    QTRY_VERIFY(bar->isSwitchChangeMode());
    m_link->calls.clear();

    m_fx->click(m_form->widgetById(m_switch->runtimeId()));
    QTRY_VERIFY(m_form->switchTypeDialog() && m_form->switchTypeDialog()->isVisible());
    SwitchTypeDialog *dialog = m_form->switchTypeDialog();
    // The panel opens with what the controller reported for this switch.
    QCOMPARE(dialog->typeIndex(), 1);
    QCOMPARE(dialog->sceneCode(), 2);
    QCOMPARE(dialog->sceneList()->itemText(1), QStringLiteral("Dinner"));
    QCOMPARE(m_link->names(), QStringList());

    dialog->typeList()->setCurrentIndex(type);
    dialog->changeType(type);
    dialog->sceneList()->setCurrentIndex(sceneRow);
    m_fx->click(save ? dialog->saveButton() : dialog->cancelButton());
    QTRY_VERIFY(!dialog->isVisible());
    flush();
    if (sent.isEmpty())
        QCOMPARE(m_link->names(), QStringList());
    else
        QCOMPARE(m_link->last(), sent);
    // The record follows the controller's next answer, not the panel.
    QCOMPARE(m_switch->switchMode(), 1);
    QCOMPARE(int(m_switch->sceneNumber()), 2);
    QVERIFY(!m_room->isModified());
}

void tst_ExtRoomForm::levelEntryAddsPagesWithTheirOwnNumbers_data()
{
    QTest::addColumn<bool>("onRoot");
    QTest::newRow("room on a floor") << false;
    QTest::newRow("floor on the root") << true;
}

void tst_ExtRoomForm::levelEntryAddsPagesWithTheirOwnNumbers()
{
    QFETCH(bool, onRoot);
    QVERIFY(loadDemoOffline(m_fx));
    RoomsV1 *rooms = FormServices::rooms();
    QVERIFY(rooms && rooms->lightSystem() && !rooms->lightSystem()->floors().isEmpty());
    BaseRoomV1 *page = onRoot ? static_cast<BaseRoomV1 *>(rooms->lightSystem())
                              : rooms->lightSystem()->floors().first();
    page->setShowScenes(false);
    m_form = makeForm(page);
    QSignalSpy updated(m_form, &ExtRoomFormV1::updateRooms);
    QSet<int> numbers;
    for (const BaseRoomV1 *p : rooms->pages())
        numbers.insert(p->pageNumber());
    const int before = rooms->pageCount();
    for (int n = 1; n <= 2; ++n) {
        m_link->calls.clear();
        m_form->firstAddControl();
        m_fx->click(m_form, m_form->plan()->mapToItem(m_form, QPointF(100 * n, 120)));
        QTRY_COMPARE(rooms->pageCount(), before + n);
        BaseRoomV1 *created = rooms->pages().last();
        QCOMPARE(created->kind(), int(onRoot ? BaseRoomV1::KindFloor : BaseRoomV1::KindRoom));
        // Each new page gets a number no other page has, so its room commands address it alone.
        QVERIFY(created->pageNumber() > 0);
        QVERIFY(!numbers.contains(created->pageNumber()));
        numbers.insert(created->pageNumber());
        QVERIFY(m_form->widgetById(created->runtimeId()));
        QCOMPARE(updated.count(), n);
        QTRY_COMPARE(m_link->names(), QStringList{QStringLiteral("setRoom")});
        QVERIFY(page->isModified());
    }
}

void tst_ExtRoomForm::addedControlReachesTheLinkAsANewCopy()
{
    m_room->setShowScenes(false);
    m_form = makeForm(m_room);
    QTRY_COMPARE(m_link->rooms.size(), 1);
    const int before = m_room->controlCount();
    m_form->lightAddClick();
    m_fx->click(m_form, m_form->plan()->mapToItem(m_form, QPointF(200, 100)));
    QTRY_COMPARE(m_link->rooms.size(), 2);
    QCOMPARE(m_link->rooms.last().controls.size(), before + 1);
    QCOMPARE(m_link->rooms.last().pageNumber, 7);
    // The copy the link received earlier stays as it was: the link never sees the records.
    QCOMPARE(m_link->rooms.first().controls.size(), before);
    auto *added = dynamic_cast<LightControlV1 *>(m_room->controlAt(before));
    QVERIFY(added);
    const int address = m_link->rooms.last().controls.last().byteAddress;
    added->setLmpNumber(9);
    QCOMPARE(m_link->rooms.last().controls.last().byteAddress, address);

    // Deleting sends the room once more, with the control marked so it is no longer polled.
    m_form->DelButton();
    m_fx->click(m_form->widgetById(added->runtimeId()));
    QTRY_COMPARE(m_link->rooms.size(), 3);
    QVERIFY(m_link->rooms.last().controls.last().deleted);
}

void tst_ExtRoomForm::propertiesPanelEditsTheClickedControl()
{
    m_room->setShowScenes(false);
    m_form = makeForm(m_room);
    QTRY_COMPARE(m_link->rooms.size(), 1);
    auto *lamp = dynamic_cast<LightControlV1 *>(m_room->controlAt(0));
    QVERIFY(lamp);
    m_form->ShowSettings();
    m_fx->click(m_form->widgetById(lamp->runtimeId()));
    QTRY_VERIFY(m_form->settingsPanel() && m_form->settingsPanel()->isVisible());
    UniSettings *panel = m_form->settingsPanel();
    QCOMPARE(panel->fieldValue(UniSettings::Text).toString(), QStringLiteral("Lamp"));
    panel->setFieldValue(UniSettings::Number, 4);
    m_fx->click(panel->saveButton());
    QTRY_VERIFY(!panel->isVisible());
    QCOMPARE(lamp->lmpNumber(), 4);
    QVERIFY(m_room->isModified());
    // The link polls the lamp at its new address at once.
    QTRY_COMPARE(m_link->rooms.size(), 2);
    QCOMPARE(m_link->rooms.last().controls.first().byteAddress, lamp->byteAddress());
    QVERIFY(m_form->widgetById(lamp->runtimeId()));
    QCOMPARE(m_form->editAction(), int(ExtRoomFormV1::ActionNone));

    // Cancel changes nothing and sends nothing; a press on the plan edits the page itself.
    m_room->setModified(false);
    m_form->ShowSettings();
    m_fx->click(m_form, m_form->plan()->mapToItem(m_form, QPointF(300, 200)));
    QTRY_VERIFY(panel->isVisible());
    QCOMPARE(panel->fieldValue(UniSettings::Name).toString(), m_room->name());
    panel->setFieldValue(UniSettings::Text, QStringLiteral("changed"));
    m_fx->click(panel->cancelButton());
    QTRY_VERIFY(!panel->isVisible());
    flush();
    QVERIFY(m_room->textB() != QStringLiteral("changed"));
    QVERIFY(!m_room->isModified());
    QCOMPARE(m_link->rooms.size(), 2);
}

// With an administration PIN set, the toolbox asks for it before the first edit of the session;
// a wrong one leaves the screen as it was.
void tst_ExtRoomForm::toolboxAsksForTheAdministrationPin()
{
    QVERIFY(m_fx->loadSettings(
        QStringLiteral(" <language value=\"en_US\"/>\n <admin_pin value=\"12\"/>\n")));
    m_form = makeForm(m_room);
    m_fx->click(m_form->toolbox()->propertiesButton());
    QPointer<AdminPinDialog> pin = AdminAccess::openPanel(m_form);
    QVERIFY(pin && pin->isVisible());
    QCOMPARE(m_form->editAction(), int(ExtRoomFormV1::ActionNone));
    for (const char *key : {"1", "3", "ok"})
        m_fx->click(pin->key(key));
    QVERIFY(pin->isVisible());
    QCOMPARE(pin->messageText(), QStringLiteral("Wrong PIN"));
    QCOMPARE(m_form->editAction(), int(ExtRoomFormV1::ActionNone));
    QVERIFY(m_form->toolbox()->statusText().isEmpty());
    for (const char *key : {"1", "2", "ok"})
        m_fx->click(pin->key(key));
    QCOMPARE(m_form->editAction(), int(ExtRoomFormV1::ActionProperties));
    QVERIFY(!m_form->toolbox()->statusText().isEmpty());
    // Unlocked for the session: the next edit asks nothing.
    m_fx->click(m_form->toolbox()->deleteButton());
    QCOMPARE(m_form->editAction(), int(ExtRoomFormV1::ActionDelete));
    QVERIFY(!AdminAccess::openPanel(m_form));
}

// In properties mode a floor's icon on the root page opens that floor's properties (not the
// root's, and without leaving the mode early); its new caption shows on a new icon at once, the
// other screens hear of it, and undoing puts the caption and the root's flag back.
void tst_ExtRoomForm::propertiesOfAFloorFromItsIcon()
{
    QVERIFY(loadDemoOffline(m_fx));
    RoomsV1 *rooms = FormServices::rooms();
    QVERIFY(rooms && rooms->lightSystem() && !rooms->lightSystem()->floors().isEmpty());
    MainStructV1 *root = rooms->lightSystem();
    FloorStructV1 *floor = root->floors().first();
    root->setShowScenes(false);
    m_form = makeForm(root);
    QSignalSpy updated(m_form, &ExtRoomFormV1::updateRooms);
    QList<BaseRoomV1 *> renamed;
    connect(m_form, &ExtRoomFormV1::updateRoomSettings, this,
            [&renamed](BaseRoomV1 *page) { renamed << page; });
    const QString caption = floor->textB();
    const QString name = floor->name();
    const QString rootCaption = root->textB();
    EBaseWidget *icon = m_form->widgetById(floor->runtimeId());
    QVERIFY(icon);

    m_form->ShowSettings();
    m_fx->click(icon);
    QTRY_VERIFY(m_form->settingsPanel() && m_form->settingsPanel()->isVisible());
    UniSettings *panel = m_form->settingsPanel();
    QCOMPARE(panel->fieldValue(UniSettings::Name).toString(), floor->name());
    QCOMPARE(panel->fieldValue(UniSettings::Text).toString(), caption);
    panel->setFieldValue(UniSettings::Text, QStringLiteral("Upstairs"));
    panel->setFieldValue(UniSettings::Name, QStringLiteral("Upper floor"));
    m_fx->click(panel->saveButton());
    QTRY_VERIFY(!panel->isVisible());
    QCOMPARE(floor->textB(), QStringLiteral("Upstairs"));
    QCOMPARE(floor->name(), QStringLiteral("Upper floor"));
    // The main content hears of the new name, so the icon still opens the page.
    QCOMPARE(renamed.count(), 1);
    QCOMPARE(renamed.last(), static_cast<BaseRoomV1 *>(floor));
    QCOMPARE(m_form->widgetById(floor->runtimeId())->property("roomName").toString(),
             QStringLiteral("Upper floor"));
    QCOMPARE(root->textB(), rootCaption);
    QVERIFY(root->isModified());
    QCOMPARE(updated.count(), 1);
    EBaseWidget *remade = m_form->widgetById(floor->runtimeId());
    QVERIFY(remade && remade->isVisible());
    QCOMPARE(m_form->editAction(), int(ExtRoomFormV1::ActionNone));

    m_form->undoEdit();
    QCOMPARE(floor->textB(), caption);
    QCOMPARE(floor->name(), name);
    QVERIFY(!root->isModified());
    QVERIFY(m_form->widgetById(floor->runtimeId()));
    QCOMPARE(updated.count(), 2);
    QCOMPARE(renamed.count(), 2);
}

void tst_ExtRoomForm::undoAndRedoReturnPageFileAndPolling()
{
    ECoreApp::instance()->settings().setValue(EAppSettings::ShowSettings, true);
    m_room->setShowScenes(false);
    m_form = makeForm(m_room);
    QTRY_COMPARE(m_link->rooms.size(), 1);
    QVERIFY(m_form->undoButton()->isVisible());
    QVERIFY(!m_form->undoButton()->isEnabled());
    const auto polled = [this] { return m_link->rooms.last().windows(0).size(); };
    const int windowsBefore = polled();
    const int before = m_room->controlCount();

    // Add, then undo with the keyboard: the lamp is gone from the plan, the poll and the file.
    m_form->lightAddClick();
    m_fx->click(m_form, m_form->plan()->mapToItem(m_form, QPointF(200, 100)));
    QTRY_COMPARE(m_room->controlCount(), before + 1);
    BaseControlV1 *added = m_room->controlAt(before);
    const QString id = added->runtimeId();
    QTRY_COMPARE(polled(), windowsBefore + 1);
    QVERIFY(m_form->undoButton()->isEnabled());
    m_form->setFocus();
    QTest::keyClick(m_fx->view()->viewport(), Qt::Key_Z, Qt::ControlModifier);
    QTRY_VERIFY(added->isDeleted());
    QVERIFY(!m_form->widgetById(id));
    QVERIFY(!m_room->isModified());
    QTRY_COMPARE(polled(), windowsBefore);
    QVERIFY(m_form->redoButton()->isEnabled());
    QTest::keyClick(m_fx->view()->viewport(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QTRY_VERIFY(!added->isDeleted());
    QVERIFY(m_form->widgetById(id));
    QVERIFY(m_room->isModified());
    QTRY_COMPARE(polled(), windowsBefore + 1);

    // A property change, undone from the toolbox button.
    auto *lamp = static_cast<LightControlV1 *>(m_room->controlAt(0));
    const int number = lamp->lmpNumber();
    const int address = lamp->byteAddress();
    m_form->ShowSettings();
    m_fx->click(m_form->widgetById(lamp->runtimeId()));
    QTRY_VERIFY(m_form->settingsPanel() && m_form->settingsPanel()->isVisible());
    m_form->settingsPanel()->setFieldValue(UniSettings::Number, 9);
    m_fx->click(m_form->settingsPanel()->saveButton());
    QTRY_COMPARE(lamp->lmpNumber(), 9);
    m_fx->click(m_form->undoButton());
    QTRY_COMPARE(lamp->lmpNumber(), number);
    QCOMPARE(lamp->byteAddress(), address);
    QTRY_COMPARE(m_link->rooms.last().controls.first().byteAddress, address);

    // Delete, undone: the control is back on the plan.
    m_form->DelButton();
    m_fx->click(m_form->widgetById(lamp->runtimeId()));
    QTRY_VERIFY(lamp->isDeleted());
    m_form->undoEdit();
    QVERIFY(!lamp->isDeleted());
    QVERIFY(m_form->widgetById(lamp->runtimeId()));

    // Everything undone: the page is as loaded and would not be written.
    while (m_form->history()->canUndo())
        m_form->undoEdit();
    QVERIFY(!m_room->isModified());
    QVERIFY(added->isDeleted());
    QTRY_COMPARE(polled(), windowsBefore);
}

void tst_ExtRoomForm::editsAreWrittenAtExitAndReadBack()
{
    QVERIFY(m_fx->loadDemo());
    BaseRoomV1 *page = offlineLightRoom();
    QVERIFY(page);
    const QString pageName = page->name();
    const QString folder = ECoreApp::instance()->workingFolder();
    const QStringList files = ECoreApp::instance()->projectFiles();
    QVERIFY(!files.isEmpty());
    const QStringList problemsBefore = checkerProblems(folder);
    QVERIFY(!problemsBefore.contains(QStringLiteral("failed")));
    QHash<QString, QByteArray> before;
    for (const QString &f : files) {
        QFile file(QDir(folder).filePath(f));
        QVERIFY(file.open(QIODevice::ReadOnly));
        before.insert(f, file.readAll());
    }

    page->setShowScenes(false);
    m_form = makeForm(page);
    const int count = page->controlCount();
    m_form->lightAddClick();
    m_fx->click(m_form, m_form->plan()->mapToItem(m_form, QPointF(200, 100)));
    QTRY_COMPARE(page->controlCount(), count + 1);
    BaseControlV1 *added = page->controlAt(count);
    m_form->ShowSettings();
    m_fx->click(m_form->widgetById(added->runtimeId()));
    QTRY_VERIFY(m_form->settingsPanel() && m_form->settingsPanel()->isVisible());
    m_form->settingsPanel()->setFieldValue(UniSettings::Number, 42);
    m_form->settingsPanel()->setFieldValue(UniSettings::Text, QStringLiteral("Reading lamp"));
    m_fx->click(m_form->settingsPanel()->saveButton());
    QTRY_VERIFY(!m_form->settingsPanel()->isVisible());
    const double posX = added->posX();
    const double posY = added->posY();
    delete m_form;
    m_form = nullptr;

    // The program ends: the edited tree is written back, nothing else.
    ECoreApp::destroyInstance();
    int changed = 0;
    for (const QString &f : files) {
        QFile file(QDir(folder).filePath(f));
        QVERIFY(file.open(QIODevice::ReadOnly));
        if (file.readAll() != before.value(f))
            ++changed;
    }
    QCOMPARE(changed, 1);
    // The edited project is as sound as before.
    const QStringList problemsAfter = checkerProblems(folder);
    QVERIFY2(problemsAfter == problemsBefore, qPrintable(problemsAfter.join(QLatin1Char('\n'))));

    RoomsV1 reread;
    reread.load(folder, files);
    BaseRoomV1 *again = reread.pageByName(pageName);
    QVERIFY(again);
    QCOMPARE(again->controlCount(), count + 1);
    auto *lamp = dynamic_cast<LightControlV1 *>(again->controlAt(count));
    QVERIFY(lamp);
    QCOMPARE(lamp->lmpNumber(), 42);
    QCOMPARE(lamp->textB(), QStringLiteral("Reading lamp"));
    QCOMPARE(lamp->name(), QStringLiteral("Light"));
    QVERIFY(qAbs(lamp->posX() - posX) < 1e-6);
    QVERIFY(qAbs(lamp->posY() - posY) < 1e-6);
}

// Edits are written while the person works; undoing one that is already in the file must bring
// the file back too, not leave the page marked as if the file still matched it.
void tst_ExtRoomForm::anEditUndoneAfterItWasWrittenIsWrittenAgain()
{
    QVERIFY(m_fx->loadDemo());
    ECoreApp *app = ECoreApp::instance();
    BaseRoomV1 *page = offlineLightRoom();
    QVERIFY(page);
    const QString pageName = page->name();
    page->setShowScenes(false);
    m_form = makeForm(page);
    const int count = page->controlCount();
    m_form->lightAddClick();
    m_fx->click(m_form, m_form->plan()->mapToItem(m_form, QPointF(200, 100)));
    QTRY_COMPARE(page->controlCount(), count + 1);
    QVERIFY(page->isModified());

    const auto controlsInFile = [&] {
        RoomsV1 reread;
        reread.load(app->workingFolder(), app->projectFiles());
        const BaseRoomV1 *again = reread.pageByName(pageName);
        return again ? again->controlCount() : -1;
    };
    QVERIFY(app->saveChanges());
    QVERIFY(!page->isModified());
    QCOMPARE(controlsInFile(), count + 1);

    m_form->undoEdit();
    QTRY_VERIFY(page->controlAt(count)->isDeleted());
    QVERIFY(page->isModified());
    QVERIFY(app->saveChanges());
    QCOMPARE(controlsInFile(), count);

    // Redone and undone again with no write between: the file still holds the undone state.
    m_form->redoEdit();
    QVERIFY(page->isModified());
    m_form->undoEdit();
    QVERIFY(app->saveChanges());
    QCOMPARE(controlsInFile(), count);
}

void tst_ExtRoomForm::leavingThePageEndsAnArmedAction_data()
{
    QTest::addColumn<int>("action");
    QTest::newRow("delete") << int(ExtRoomFormV1::ActionDelete);
    QTest::newRow("properties") << int(ExtRoomFormV1::ActionProperties);
}

// A person arms an edit, goes to another page and comes back: the next tap on a lamp switches it.
void tst_ExtRoomForm::leavingThePageEndsAnArmedAction()
{
    QFETCH(int, action);
    ECoreApp::instance()->settings().setValue(EAppSettings::ShowSettings, true);
    m_room->setShowScenes(false);
    m_form = makeForm(m_room);
    QTRY_COMPARE(m_link->rooms.size(), 1);
    if (action == ExtRoomFormV1::ActionDelete)
        m_form->DelButton();
    else
        m_form->ShowSettings();
    QCOMPARE(m_form->editAction(), action);
    QVERIFY(!m_form->toolbox()->statusText().isEmpty());

    m_form->hide();
    m_form->show();
    flush();
    QCOMPARE(m_form->editAction(), int(ExtRoomFormV1::ActionNone));
    QVERIFY(m_form->toolbox()->statusText().isEmpty());
    BaseControlV1 *lamp = m_room->controlAt(0);
    m_link->calls.clear();
    m_fx->click(m_form->widgetById(lamp->runtimeId()));
    QVERIFY(!lamp->isDeleted());
    QVERIFY(!m_form->settingsPanel() || !m_form->settingsPanel()->isVisible());
    QTRY_VERIFY(m_link->names().contains(QStringLiteral("EnableLight")) ||
                m_link->names().contains(QStringLiteral("DisableLight")));
}

void tst_ExtRoomForm::heldDragMovesAndUndoPutsBack()
{
    ECoreApp::instance()->settings().setValue(EAppSettings::ShowSettings, true);
    m_room->setShowScenes(false);
    m_form = makeForm(m_room);
    QTRY_COMPARE(m_link->rooms.size(), 1);
    QGraphicsView *view = m_fx->view();
    Qt::MouseButtons held;
    const auto send = [view, &held](QEvent::Type type, const QPointF &scenePos,
                                    Qt::MouseButton button) {
        const QPoint p = view->mapFromScene(scenePos);
        QMouseEvent ev(type, p, view->viewport()->mapToGlobal(p), button, held, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &ev);
    };
    EBaseWidget *w = m_form->widgetById(m_switch->runtimeId());
    QVERIFY(w);
    const double x0 = m_switch->posX();
    const double y0 = m_switch->posY();
    QSignalSpy started(w, &EBaseWidget::startDrag);
    QSignalSpy ended(w, &EBaseWidget::endDrag);
    const QPointF start = w->mapToScene(w->rect().center());
    const QPointF end = start + QPointF(120, 60);
    held = Qt::LeftButton;
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    // The drag arms only after the press was held.
    QVERIFY(started.wait(5000));
    // Marked when the drag ends, so the autosave writes the page once, with its new place.
    QVERIFY(!m_room->isModified());
    for (int i = 1; i <= 8; ++i)
        send(QEvent::MouseMove, start + (end - start) * (i / 8.0), Qt::NoButton);
    held = Qt::NoButton;
    send(QEvent::MouseButtonRelease, end, Qt::LeftButton);
    QTRY_COMPARE(ended.count(), 1);
    QVERIFY(qAbs(m_switch->posX() - x0) > 1);
    QVERIFY(qAbs(m_switch->posY() - y0) > 1);
    QVERIFY(m_room->isModified());
    QVERIFY(m_form->history()->canUndo());

    m_form->undoEdit();
    QCOMPARE(m_switch->posX(), x0);
    QCOMPARE(m_switch->posY(), y0);
    QVERIFY(!m_room->isModified());
    QTRY_VERIFY(qAbs(w->mapToScene(w->rect().center()).x() - start.x()) < 2);
    m_form->redoEdit();
    QVERIFY(qAbs(m_switch->posX() - x0) > 1);
    QVERIFY(m_room->isModified());
}

void tst_ExtRoomForm::paletteEntriesByPage_data()
{
    QTest::addColumn<QString>("page"); // "room", or a root/floor of the demo by system
    QTest::addColumn<bool>("level");
    QTest::addColumn<bool>("switches");
    QTest::newRow("light room") << "room" << false << true;
    QTest::newRow("light floor") << "lightfloor" << true << false;
    QTest::newRow("light root") << "lightroot" << true << false;
    QTest::newRow("heating root") << "heatroot" << true << false;
    QTest::newRow("main page") << "main" << false << false;
}

void tst_ExtRoomForm::paletteEntriesByPage()
{
    QFETCH(QString, page);
    QFETCH(bool, level);
    QFETCH(bool, switches);
    BaseRoomV1 *shown = m_room;
    if (page != QLatin1String("room")) {
        QVERIFY(loadDemoOffline(m_fx));
        RoomsV1 *rooms = FormServices::rooms();
        if (page == QLatin1String("lightfloor"))
            shown = rooms->lightSystem()->floors().first();
        else if (page == QLatin1String("lightroot"))
            shown = rooms->lightSystem();
        else if (page == QLatin1String("heatroot"))
            shown = rooms->heatSystem();
        else
            shown = rooms->mainSystem();
        QVERIFY(shown);
    }
    m_form = makeForm(shown);
    m_form->AddButton();
    UniAddControls *palette = m_form->palette();
    QVERIFY(palette && palette->isVisible());
    QCOMPARE(palette->entryButton(UniAddControls::EntryLevel)->isEnabled(), level);
    QCOMPARE(palette->entryButton(UniAddControls::EntrySwitch)->isEnabled(), switches);
    QCOMPARE(palette->entryButton(UniAddControls::EntrySensor)->isEnabled(), switches);
    QVERIFY(palette->entryButton(UniAddControls::EntryLight)->isEnabled());
    QVERIFY(palette->entryButton(UniAddControls::EntryHeat)->isEnabled());
    QVERIFY(palette->entryButton(UniAddControls::EntryText)->isEnabled());
    // A disabled entry does nothing; closing leaves no action armed.
    if (!switches) {
        m_fx->click(palette->entryButton(UniAddControls::EntrySwitch));
        flush();
        QCOMPARE(m_form->editAction(), int(ExtRoomFormV1::ActionNone));
    }
    m_fx->click(palette->closeButton());
    QTRY_VERIFY(!m_form->palette());
    QCOMPARE(m_form->editAction(), int(ExtRoomFormV1::ActionNone));
}

void tst_ExtRoomForm::paletteAddsEveryKind_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    using namespace ControlConstants;
    // Weather and camera tiles go on the network as soon as they are on screen, so they are left
    // out here; they come from the same entry table as the rest.
    QTest::newRow("system") << int(UniAddControls::EntrySystem) << int(KindSystem) << "System";
    QTest::newRow("light") << int(UniAddControls::EntryLight) << int(KindLight) << "Light";
    QTest::newRow("switch") << int(UniAddControls::EntrySwitch) << int(KindSwitch) << "Switch";
    QTest::newRow("sensor") << int(UniAddControls::EntrySensor) << int(KindSensor) << "Sensor";
    QTest::newRow("thermostat") << int(UniAddControls::EntryHeat) << int(KindHeat) << "Thermostate";
    QTest::newRow("byte") << int(UniAddControls::EntryByte) << int(KindByte) << "Byte";
    QTest::newRow("byte button") << int(UniAddControls::EntryByteBtn) << int(KindResbt)
                                 << "ByteBtn";
    QTest::newRow("bit button") << int(UniAddControls::EntryBoolBtn) << int(KindBtn) << "BoolBtn";
    QTest::newRow("bit") << int(UniAddControls::EntryBool) << int(KindBool) << "Bool";
    QTest::newRow("text write") << int(UniAddControls::EntryTextWrite) << int(KindTextWrite)
                                << "Textwrite";
    QTest::newRow("text") << int(UniAddControls::EntryText) << int(KindText) << "Text";
    QTest::newRow("dyn text") << int(UniAddControls::EntryDynText) << int(KindDynText) << "Dyntext";
    QTest::newRow("hslider") << int(UniAddControls::EntryHSlider) << int(KindHSlider) << "HSlider";
    QTest::newRow("vslider") << int(UniAddControls::EntryVSlider) << int(KindVSlider) << "VSlider";
}

void tst_ExtRoomForm::paletteAddsEveryKind()
{
    QFETCH(int, entry);
    QFETCH(int, kind);
    QFETCH(QString, name);
    m_room->setShowScenes(false);
    m_form = makeForm(m_room);
    const int before = m_room->controlCount();
    const int sent = m_link->rooms.size();
    m_form->AddButton();
    QVERIFY(m_form->palette());
    m_form->palette()->showEntry(entry);
    m_fx->click(m_form->palette()->entryButton(entry));
    QTRY_VERIFY(!m_form->palette());
    QCOMPARE(m_form->editAction(), int(ExtRoomFormV1::ActionAdd));
    m_fx->click(m_form, m_form->plan()->mapToItem(m_form, QPointF(232, 132)));
    QTRY_COMPARE(m_room->controlCount(), before + 1);
    BaseControlV1 *added = m_room->controlAt(before);
    QCOMPARE(added->kind(), kind);
    QCOMPARE(added->name(), name);
    QCOMPARE(added->textB(), name);
    const QSizeF plan = m_form->plan()->size();
    QVERIFY(qAbs(added->posX() - 200 / plan.width() * 100) < 0.5);
    QVERIFY(qAbs(added->posY() - 100 / plan.height() * 100) < 0.5);
    QVERIFY(m_room->isModified());
    QTRY_COMPARE(m_link->rooms.size(), sent + 1);
    QCOMPARE(m_link->rooms.last().controls.size(), before + 1);
}

void tst_ExtRoomForm::newControlsFindTheirPictures_data()
{
    QTest::addColumn<bool>("demo");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QVariantMap>("pictures");
    using E = UniAddControls;
    // The demo home has its pictures under their bare names.
    // clang-format off
    QTest::newRow("demo lamp") << true << int(E::EntryLight) << QStringList{}
        << QVariantMap{{"imageOn", "lighton.png"}, {"imageOff", "lightoff.png"}};
    QTest::newRow("demo sensor") << true << int(E::EntrySensor) << QStringList{}
        << QVariantMap{{"imageOn", "piron.png"}, {"imageOff", "piroff.png"}, {"imageDis", "pirdis.png"}};
    QTest::newRow("demo text") << true << int(E::EntryText) << QStringList{}
        << QVariantMap{{"fontFamily", "Arial"}};
    // A configuration made from the demo home has them so too: a new control takes those rather
    // than showing its default "img/" ones as missing.
    QTest::newRow("lamp, bare pictures") << false << int(E::EntryLight) << QStringList{"lighton.png", "lightoff.png"}
        << QVariantMap{{"imageOn", "lighton.png"}, {"imageOff", "lightoff.png"}};
    QTest::newRow("lamp, default pictures there too") << false << int(E::EntryLight) << QStringList{"lighton.png", "lightoff.png", "img/lighton.png", "img/lightoff.png"}
        << QVariantMap{{"imageOn", "img/lighton.png"}, {"imageOff", "img/lightoff.png"}};
    QTest::newRow("lamp, no pictures") << false << int(E::EntryLight) << QStringList{}
        << QVariantMap{{"imageOn", "img/lighton.png"}, {"imageOff", "img/lightoff.png"}};
    QTest::newRow("lamp, one bare picture") << false << int(E::EntryLight) << QStringList{"lightoff.png"}
        << QVariantMap{{"imageOn", "img/lighton.png"}, {"imageOff", "lightoff.png"}};
    QTest::newRow("switch") << false << int(E::EntrySwitch) << QStringList{"switch.png", "switchscn.png"}
        << QVariantMap{{"imageOn", "switch.png"}, {"imageScene", "switchscn.png"}};
    QTest::newRow("sensor") << false << int(E::EntrySensor) << QStringList{"piron.png", "piroff.png", "pirdis.png"}
        << QVariantMap{{"imageOn", "piron.png"}, {"imageOff", "piroff.png"}, {"imageDis", "pirdis.png"}};
    QTest::newRow("bit") << false << int(E::EntryBool) << QStringList{"on.png", "off.png"}
        << QVariantMap{{"imageOn", "on.png"}, {"imageOff", "off.png"}};
    QTest::newRow("byte button") << false << int(E::EntryByteBtn) << QStringList{"on.png", "off.png"}
        << QVariantMap{{"imageOn", "on.png"}, {"imageOff", "off.png"}};
    QTest::newRow("bit button has no default picture") << false << int(E::EntryBoolBtn) << QStringList{"on.png", "off.png"}
        << QVariantMap{{"image", ""}};
    // clang-format on
}

void tst_ExtRoomForm::newControlsFindTheirPictures()
{
    QFETCH(bool, demo);
    QFETCH(int, entry);
    QFETCH(QStringList, files);
    QFETCH(QVariantMap, pictures);
    if (!demo)
        QVERIFY(m_fx->loadSettings(QString()));
    QCOMPARE(ECoreApp::instance()->startMode() == StartMode::Demo, demo);
    const QDir folder(ECoreApp::instance()->workingFolder());
    QVERIFY(files.isEmpty() || folder.path() == m_fx->folder());
    QVERIFY(files.isEmpty() || folder.mkpath(QStringLiteral("img")));
    for (const QString &name : files) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    m_room->setShowScenes(false);
    m_form = makeForm(m_room);
    const int before = m_room->controlCount();
    m_form->AddButton();
    QVERIFY(m_form->palette());
    m_form->palette()->showEntry(entry);
    m_fx->click(m_form->palette()->entryButton(entry));
    QTRY_VERIFY(!m_form->palette());
    m_fx->click(m_form, m_form->plan()->mapToItem(m_form, QPointF(232, 132)));
    QTRY_COMPARE(m_room->controlCount(), before + 1);
    const BaseControlV1 *added = m_room->controlAt(before);
    const ControlKind *kind = ControlKinds::byKind(added->kind());
    QVERIFY(kind);
    for (auto it = pictures.cbegin(); it != pictures.cend(); ++it) {
        const ControlAttribute *attribute = kind->attribute(it.key());
        QVERIFY2(attribute, qPrintable(it.key()));
        QCOMPARE(attribute->value(*added).toString(), it.value().toString());
    }
}

void tst_ExtRoomForm::aNewControlDrivesOnlyItself_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("tapSends");
    using E = UniAddControls;
    QTest::newRow("lamp") << int(E::EntryLight) << "EnableLight";
    QTest::newRow("switch") << int(E::EntrySwitch) << "SwitchLightClick";
    QTest::newRow("sensor") << int(E::EntrySensor) << "SensorClick";
    QTest::newRow("thermostat") << int(E::EntryHeat) << QString();
}

// The demo home uses number 1 of every kind already; a control added from the palette must not
// take it again, or tapping the new one switches the old one.
void tst_ExtRoomForm::aNewControlDrivesOnlyItself()
{
    QFETCH(int, entry);
    QFETCH(QString, tapSends);
    QVERIFY(loadDemoOffline(m_fx));
    BaseRoomV1 *page = offlineLightRoom();
    QVERIFY(page);
    const QString folder = ECoreApp::instance()->workingFolder();
    const QStringList problemsBefore = checkerProblems(folder);
    QVERIFY(!problemsBefore.contains(QStringLiteral("failed")));
    page->setShowScenes(false);
    m_form = makeForm(page);
    const int count = page->controlCount();
    m_form->AddButton();
    QVERIFY(m_form->palette());
    m_form->palette()->showEntry(entry);
    m_fx->click(m_form->palette()->entryButton(entry));
    QTRY_VERIFY(!m_form->palette());
    m_fx->click(m_form, m_form->plan()->mapToItem(m_form, QPointF(240, 140)));
    QTRY_COMPARE(page->controlCount(), count + 1);
    BaseControlV1 *added = page->controlAt(count);
    const int number = ControlKinds::controllerNumber(added);
    QVERIFY(number > 0);
    int sameKind = 0;
    for (BaseRoomV1 *p : FormServices::rooms()->pages()) {
        for (BaseControlV1 *c : p->controls()) {
            if (c == added || c->kind() != added->kind())
                continue;
            ++sameKind;
            QVERIFY2(ControlKinds::controllerNumber(c) != number,
                     qPrintable(p->name() + QLatin1Char(' ') + c->name()));
        }
    }
    QVERIFY(sameKind > 0);

    if (!tapSends.isEmpty()) {
        m_link->clear();
        m_fx->click(m_form->widgetById(added->runtimeId()));
        QTRY_VERIFY(!m_link->calls.isEmpty());
        const QString expected = tapSends == QLatin1String("EnableLight")
                                     ? QStringLiteral("EnableLight %1").arg(count)
                                     : QStringLiteral("%1 %2").arg(tapSends).arg(number);
        QCOMPARE(m_link->texts(), QStringList{expected});
    }
    if (added->kind() == ControlConstants::KindLight) {
        // The window the link polls and writes for it is its own.
        QVERIFY(!m_link->rooms.isEmpty() || !m_link->calls.isEmpty());
        const int address = static_cast<DynamicControlV1 *>(added)->byteAddress();
        QCOMPARE(address, ControlConstants::kLampBase + 8 * number);
    }

    delete m_form;
    m_form = nullptr;
    ECoreApp::destroyInstance();
    const QStringList problemsAfter = checkerProblems(folder);
    QVERIFY2(problemsAfter == problemsBefore, qPrintable(problemsAfter.join(QLatin1Char('\n'))));
}

// A floor takes its rooms and their controls with it: the delete tool asks, naming what goes,
// and only "Yes" deletes; undo brings it all back.
void tst_ExtRoomForm::deletingAFloorWithContentAsksFirst()
{
    QVERIFY(loadDemoOffline(m_fx));
    MainStructV1 *root = FormServices::rooms()->lightSystem();
    QVERIFY(root);
    root->setShowScenes(false);
    FloorStructV1 *floor = root->floors().first();
    int rooms = 0;
    int controls = 0;
    for (BaseControlV1 *c : floor->controls())
        controls += c->isDeleted() ? 0 : 1;
    for (RoomStructV1 *r : floor->rooms()) {
        ++rooms;
        for (BaseControlV1 *c : r->controls())
            controls += c->isDeleted() ? 0 : 1;
    }
    QVERIFY(rooms > 0 && controls > 0);
    m_form = makeForm(root);
    QVERIFY(m_form->deleteQuestion().isEmpty());

    m_form->DelButton();
    m_fx->click(m_form->widgetById(floor->runtimeId()));
    const QString expected = QStringLiteral("Delete %1 with %2 rooms and %3 controls?")
                                 .arg(floor->textB())
                                 .arg(rooms)
                                 .arg(controls);
    QTRY_COMPARE(m_form->deleteQuestion(), expected);
    QVERIFY(!floor->isDeleted());
    m_fx->click(m_form->deleteNoButton());
    QTRY_VERIFY(m_form->deleteQuestion().isEmpty());
    QVERIFY(!floor->isDeleted());
    QVERIFY(m_form->widgetById(floor->runtimeId()));
    QCOMPARE(m_form->editAction(), int(ExtRoomFormV1::ActionNone));

    m_form->DelButton();
    m_fx->click(m_form->widgetById(floor->runtimeId()));
    QTRY_COMPARE(m_form->deleteQuestion(), expected);
    m_fx->click(m_form->deleteYesButton());
    QTRY_VERIFY(floor->isDeleted());
    QVERIFY(!m_form->widgetById(floor->runtimeId()));
    QVERIFY(root->isModified());

    m_form->undoEdit();
    QVERIFY(!floor->isDeleted());
    QTRY_VERIFY(m_form->widgetById(floor->runtimeId()));
}

void tst_ExtRoomForm::aDraggedControlStaysOnItsPlan_data()
{
    QTest::addColumn<QPointF>("pull");
    QTest::newRow("past the bottom right") << QPointF(3000, 2000);
    QTest::newRow("past the top left") << QPointF(-3000, -2000);
    QTest::newRow("past the right only") << QPointF(3000, 0);
}

// However far the finger goes, the control's whole rectangle stays on its plan, and so does the
// place stored for it.
void tst_ExtRoomForm::aDraggedControlStaysOnItsPlan()
{
    QFETCH(QPointF, pull);
    ECoreApp::instance()->settings().setValue(EAppSettings::ShowSettings, true);
    m_room->setShowScenes(false);
    m_form = makeForm(m_room);
    QGraphicsView *view = m_fx->view();
    Qt::MouseButtons held;
    const auto send = [view, &held](QEvent::Type type, const QPointF &scenePos,
                                    Qt::MouseButton button) {
        const QPoint p = view->mapFromScene(scenePos);
        QMouseEvent ev(type, p, view->viewport()->mapToGlobal(p), button, held, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &ev);
    };
    EBaseWidget *w = m_form->widgetById(m_switch->runtimeId());
    QVERIFY(w);
    QSignalSpy started(w, &EBaseWidget::startDrag);
    QSignalSpy ended(w, &EBaseWidget::endDrag);
    const QPointF start = w->mapToScene(w->rect().center());
    held = Qt::LeftButton;
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    QVERIFY(started.wait(5000));
    for (int i = 1; i <= 8; ++i)
        send(QEvent::MouseMove, start + pull * (i / 8.0), Qt::NoButton);
    held = Qt::NoButton;
    send(QEvent::MouseButtonRelease, start + pull, Qt::LeftButton);
    QTRY_COMPARE(ended.count(), 1);

    const QRectF plan(QPointF(0, 0), m_form->plan()->size());
    const QRectF onPlan(w->pos(), w->size());
    QVERIFY2(plan.adjusted(-0.5, -0.5, 0.5, 0.5).contains(onPlan),
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                            .arg(onPlan.x())
                            .arg(onPlan.y())
                            .arg(onPlan.width())
                            .arg(onPlan.height())));
    QVERIFY(m_switch->posX() >= 0 && m_switch->posX() <= 100);
    QVERIFY(m_switch->posY() >= 0 && m_switch->posY() <= 100);
    // It went as far as it could in the direction pulled.
    if (pull.x() > 0)
        QVERIFY(qAbs(onPlan.right() - plan.right()) < 1);
    if (pull.x() < 0)
        QVERIFY(qAbs(onPlan.left()) < 1);
    if (pull.y() < 0)
        QVERIFY(qAbs(onPlan.top()) < 1);
}

QTEST_MAIN(tst_ExtRoomForm)
#include "tst_extroomform.moc"
