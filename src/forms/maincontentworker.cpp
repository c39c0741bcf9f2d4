// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "maincontentworker.h"

#include "alertform.h"
#include "connsettform.h"
#include "estackwidget.h"
#include "exitform.h"
#include "extroomformv1.h"
#include "formservices.h"
#include "historyform.h"
#include "infoform.h"
#include "lazyroompage.h"
#include "mainstructv1.h"
#include "roomsv1.h"
#include "sceneform.h"
#include "secureform.h"
#include "settingsform.h"

#include <QSet>
#include <QTimer>

namespace {

// Titles of the fixed pages for the back caption, by language table id.
const int kFixedTitles[] = {61083, 61090, 61020, 61200, 61040, 61070, 61249};
const int kHistoryTitle = 61300;

// Steps of a load, one per event-loop turn: the seven fixed screens, the home page and the two
// subsystem roots, then one step per further room page, then the end.
enum LoadStep {
    FirstFixedStep = 0,
    LastFixedStep = 6,
    HomeStep,
    LightRootStep,
    HeatRootStep,
    RoomPagesStep,
    FinishStep,
};

} // namespace

MainContentWorker::MainContentWorker(QObject *parent) : QObject(parent) {}

ExtRoomFormV1 *MainContentWorker::roomForm(int stackIndex) const
{
    auto *page = m_stack ? qobject_cast<LazyRoomPage *>(m_stack->widget(stackIndex)) : nullptr;
    return page ? page->form() : nullptr;
}

ExtRoomFormV1 *MainContentWorker::createdRoomForm(int stackIndex) const
{
    auto *page = m_stack ? qobject_cast<LazyRoomPage *>(m_stack->widget(stackIndex)) : nullptr;
    return page ? page->createdForm() : nullptr;
}

QString MainContentWorker::pageTitle(int stackIndex) const
{
    for (const PageRecord &r : m_records) {
        if (r.stackIndex == stackIndex)
            return r.title;
    }
    if (stackIndex >= 0 && stackIndex < int(std::size(kFixedTitles)))
        return FormServices::text(kFixedTitles[stackIndex]);
    if (stackIndex >= 0 && stackIndex == m_historyPage)
        return FormServices::text(kHistoryTitle);
    return QString();
}

ExtRoomFormV1 *MainContentWorker::createRoomForm(BaseRoomV1 *room)
{
    auto *form = new ExtRoomFormV1(room);
    connect(form, &ExtRoomFormV1::gotoSystem, this, &MainContentWorker::gotoSystem);
    connect(form, &ExtRoomFormV1::gotoRoom, this, &MainContentWorker::gotoRoom);
    connect(form, &ExtRoomFormV1::updateRooms, this, &MainContentWorker::updateRooms);
    connect(form, &ExtRoomFormV1::updateRoomSettings, this, &MainContentWorker::updateRoomSettings);
    return form;
}

void MainContentWorker::addRoomPage(BaseRoomV1 *room, bool record)
{
    // The page's place and number exist from now on; its screen is built when first shown or
    // asked for (roomForm()).
    QPointer<MainContentWorker> self(this);
    auto *page = new LazyRoomPage(room, [self](BaseRoomV1 *r) -> ExtRoomFormV1 * {
        return self ? self->createRoomForm(r) : nullptr;
    });
    const int index = m_stack->addWidget(page);
    if (record && room) {
        PageRecord r;
        r.title = room->name();
        r.id = room->runtimeId();
        if (auto *root = dynamic_cast<MainStructV1 *>(room)) {
            // A tree whose file could not be read still answers to its file's buttons: its page
            // says what went wrong.
            r.fileName = root->fileName().isEmpty() ? root->problemFile() : root->fileName();
        }
        r.kind = room->kind();
        r.stackIndex = index;
        r.pageID = room->pageID();
        r.systemType = room->systemType();
        m_records.append(r);
    }
}

QList<BaseRoomV1 *> MainContentWorker::roomPagesInOrder() const
{
    QList<BaseRoomV1 *> pages;
    if (!m_rooms)
        return pages;
    // The light and heating roots already have pages 8 and 9; every further subsystem root is a
    // page of its own, reached by file name.
    const BaseRoomV1 *lightRoot = m_rooms->lightPage();
    const BaseRoomV1 *heatRoot = m_rooms->heatPage();
    for (BaseRoomV1::TYPESYSTEM type :
         {BaseRoomV1::LightSystem, BaseRoomV1::HeatSystem, BaseRoomV1::OtherSystem}) {
        for (BaseRoomV1 *page : m_rooms->pagesOfType(type)) {
            if (page != lightRoot && page != heatRoot && !page->isDeleted())
                pages.append(page);
        }
    }
    return pages;
}

bool MainContentWorker::createNextMissingRoomForm()
{
    // Asked of the project each time rather than planned once: a room added while pages are
    // being created gets its page in order, and nothing holds a page the project let go of.
    if (!m_stack)
        return false;
    QSet<QString> known;
    for (const PageRecord &r : qAsConst(m_records))
        known.insert(r.id);
    for (BaseRoomV1 *page : roomPagesInOrder()) {
        if (!known.contains(page->runtimeId())) {
            addRoomPage(page, true);
            return true;
        }
    }
    return false;
}

void MainContentWorker::createElementForms(EStackWidget *mainControl, RoomsV1 *rooms)
{
    // One load at a time: a second one would number its pages after the first one's.
    if (!mainControl || isLoading())
        return;
    m_stack = mainControl;
    m_rooms = rooms;
    m_records.clear();
    m_history.clear();
    m_historyPage = -1;
    m_recentScreens.clear();
    m_loadStep = FirstFixedStep;
    ++m_loadGeneration;
    scheduleLoadStep();
}

void MainContentWorker::cancelLoading()
{
    m_loadStep = -1;
    ++m_loadGeneration;
}

void MainContentWorker::scheduleLoadStep()
{
    const quint64 generation = m_loadGeneration;
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == m_loadGeneration && isLoading())
            runLoadStep();
    });
}

void MainContentWorker::runLoadStep()
{
    if (!m_stack) {
        // The page stack went away under the load: there is nothing left to fill.
        cancelLoading();
        return;
    }
    const int step = m_loadStep++;
    switch (step) {
    case FirstFixedStep:
        m_stack->addWidget(new InfoForm);
        break;
    case FirstFixedStep + 1:
        m_stack->addWidget(new SecureForm);
        break;
    case FirstFixedStep + 2: {
        auto *settings = new SettingsForm;
        connect(settings, &SettingsForm::ChangeFone, this, &MainContentWorker::ChangeFone);
        m_stack->addWidget(settings);
        break;
    }
    case FirstFixedStep + 3: {
        auto *alerts = new AlertForm;
        connect(alerts, &AlertForm::historyClicked, this,
                [this] { gotoSystem(RoomConstantsV1::FormHistory, QString()); });
        m_stack->addWidget(alerts);
        break;
    }
    case FirstFixedStep + 4:
        m_stack->addWidget(new ConnSettForm);
        break;
    case FirstFixedStep + 5: {
        auto *exitForm = new ExitForm;
        connect(exitForm, &ExitForm::backClick, this, &MainContentWorker::gotoBack);
        m_stack->addWidget(exitForm);
        break;
    }
    case LastFixedStep:
        m_stack->addWidget(new SceneForm);
        break;
    // Pages 7, 8 and 9 always exist, so the fixed numbers keep their meaning in a project
    // without a lighting or heating subsystem: an absent root gets an empty screen.
    case HomeStep:
        addRoomPage(m_rooms ? m_rooms->mainPage() : nullptr, true);
        emit createdSystemForms();
        break;
    case LightRootStep:
        addRoomPage(m_rooms ? m_rooms->lightPage() : nullptr, true);
        emit createdLights();
        break;
    case HeatRootStep:
        addRoomPage(m_rooms ? m_rooms->heatPage() : nullptr, true);
        emit createdHeats();
        break;
    case RoomPagesStep:
        if (createNextMissingRoomForm())
            m_loadStep = RoomPagesStep; // the next room page in the next turn
        else
            emit createdSubForms();
        break;
    case FinishStep:
    default:
        m_loadStep = -1;
        // After every room page, so that no page number of the project moves.
        m_historyPage = m_stack->addWidget(new HistoryForm);
        show(kHomePage);
        emit finished();
        return;
    }
    // A receiver of the signals above may have cancelled the load.
    if (isLoading())
        scheduleLoadStep();
}

void MainContentWorker::updateRooms()
{
    // A load in progress creates every missing page itself, in order.
    if (isLoading())
        return;
    while (createNextMissingRoomForm()) {
    }
}

void MainContentWorker::updateRoomSettings(BaseRoomV1 *room)
{
    if (!room)
        return;
    for (PageRecord &r : m_records) {
        if (r.id == room->runtimeId()) {
            r.title = room->name();
            emit updateRoom(r.stackIndex);
            return;
        }
    }
}

void MainContentWorker::show(int index)
{
    emit stackIndexChanged(index);
}

void MainContentWorker::gotoSystem(RoomConstantsV1::FormNumbers form, const QString &name)
{
    const int n = int(form);
    if (n >= 0 && n <= kHeatPage) {
        show(n);
        return;
    }
    if (form == RoomConstantsV1::FormHistory) {
        if (m_historyPage >= 0)
            show(m_historyPage);
        return;
    }
    // Only a subsystem's root page answers to its file name; floors and rooms carry none, so an
    // empty name would otherwise open the last of them.
    if (form != RoomConstantsV1::FormSubsystem || name.trimmed().isEmpty())
        return;
    int best = -1;
    for (const PageRecord &r : m_records) {
        if (r.systemType == BaseRoomV1::OtherSystem && r.kind == BaseRoomV1::KindRoot &&
            r.fileName == name)
            best = std::max(best, r.stackIndex);
    }
    if (best >= 0)
        show(best);
}

void MainContentWorker::gotoRoom(BaseRoomV1::TYPESYSTEM pageId, const QString &name)
{
    int best = -1;
    for (const PageRecord &r : m_records) {
        if (r.systemType == pageId && r.title == name)
            best = std::max(best, r.stackIndex);
    }
    if (best >= 0)
        show(best);
}

void MainContentWorker::selectControllerPage(int value)
{
    if (value <= 0)
        return;
    if (value <= kHomePage) {
        show(value);
        return;
    }
    int found = -1;
    for (const PageRecord &r : m_records) {
        if (r.pageID == value)
            found = r.stackIndex;
    }
    if (found >= 0)
        show(found);
}

void MainContentWorker::releaseOldScreens(int shownIndex)
{
    if (!m_stack || !qobject_cast<LazyRoomPage *>(m_stack->widget(shownIndex)))
        return;
    m_recentScreens.removeAll(shownIndex);
    m_recentScreens.append(shownIndex);
    // The pages Back leads to from here stay built as well, whatever their age (called before
    // the history takes this page in).
    const int n = int(m_history.size());
    const int previous = n >= 1 ? m_history.at(n - 1) : -1;
    const int beforePrevious = n >= 2 ? m_history.at(n - 2) : -1;
    for (int i = 0; m_recentScreens.size() > m_keptScreens && i < m_recentScreens.size();) {
        const int index = m_recentScreens.at(i);
        auto *page = qobject_cast<LazyRoomPage *>(m_stack->widget(index));
        if (index == shownIndex || index == previous || index == beforePrevious ||
            index == kHomePage || (page && page->isVisible())) {
            ++i;
            continue;
        }
        if (page)
            page->releaseForm();
        m_recentScreens.removeAt(i);
    }
}

void MainContentWorker::TabIndexChanged(int index)
{
    releaseOldScreens(index);
    const QString home = FormServices::text(61016).toUpper();
    if (index == kHomePage) {
        m_history.clear();
        emit stackTextChanged(home);
        return;
    }
    // The page shown again (going back lands on the history's last entry) is one entry; any
    // other page is a new step, even one visited before, so Back retraces the way that was
    // taken. The oldest steps fall off beyond the cap.
    if (!m_history.isEmpty() && m_history.last() == index)
        m_history.removeLast();
    if (m_history.isEmpty())
        emit stackTextChanged(home);
    else
        emit stackTextChanged(pageTitle(m_history.last()).toUpper());
    m_history.append(index);
    while (m_history.size() > kMaxHistory)
        m_history.removeFirst();
}

void MainContentWorker::refreshBackCaption()
{
    // The last entry is the page shown; Back leads to the one before it, or home.
    const int n = int(m_history.size());
    if (n < 2)
        emit stackTextChanged(FormServices::text(61016).toUpper());
    else
        emit stackTextChanged(pageTitle(m_history.at(n - 2)).toUpper());
}

void MainContentWorker::gotoBack()
{
    if (m_history.size() < 2) {
        show(kHomePage);
        return;
    }
    m_history.removeLast();
    show(m_history.last());
}
