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
#include "mainstructv1.h"
#include "roomsv1.h"
#include "sceneform.h"
#include "secureform.h"
#include "settingsform.h"

#include <QCoreApplication>

namespace {

// Titles of the fixed pages for the back caption, by language table id.
const int kFixedTitles[] = {61083, 61090, 61020, 61200, 61040, 61070, 61249};
const int kHistoryTitle = 61300;

void keepAlive()
{
    QCoreApplication::processEvents();
}

} // namespace

MainContentWorker::MainContentWorker(QObject *parent)
    : QObject(parent)
{
}

ExtRoomFormV1 *MainContentWorker::roomForm(int stackIndex) const
{
    return m_stack ? qobject_cast<ExtRoomFormV1 *>(m_stack->widget(stackIndex)) : nullptr;
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

ExtRoomFormV1 *MainContentWorker::addRoomForm(BaseRoomV1 *room, bool record)
{
    auto *form = new ExtRoomFormV1(room);
    const int index = m_stack->addWidget(form);
    connect(form, &ExtRoomFormV1::gotoSystem, this, &MainContentWorker::gotoSystem);
    connect(form, &ExtRoomFormV1::gotoRoom, this, &MainContentWorker::gotoRoom);
    connect(form, &ExtRoomFormV1::updateRooms, this, &MainContentWorker::updateRooms);
    connect(form, &ExtRoomFormV1::updateRoomSettings, this,
            &MainContentWorker::updateRoomSettings);
    if (record && room) {
        PageRecord r;
        r.title = room->name();
        r.id = room->runtimeId();
        if (auto *root = dynamic_cast<MainStructV1 *>(room))
            r.fileName = root->fileName();
        r.kind = room->kind();
        r.stackIndex = index;
        r.pageID = room->pageID();
        r.systemType = room->systemType();
        m_records.append(r);
    }
    return form;
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

void MainContentWorker::createRoomForms(const QList<BaseRoomV1 *> &rooms)
{
    for (BaseRoomV1 *room : rooms) {
        keepAlive();
        addRoomForm(room, true);
    }
}

void MainContentWorker::createElementForms(EStackWidget *mainControl, RoomsV1 *rooms)
{
    if (!mainControl)
        return;
    m_stack = mainControl;
    m_rooms = rooms;
    m_records.clear();
    m_history.clear();
    m_historyPage = -1;

    keepAlive();
    m_stack->addWidget(new InfoForm);
    keepAlive();
    m_stack->addWidget(new SecureForm);
    keepAlive();
    auto *settings = new SettingsForm;
    connect(settings, &SettingsForm::ChangeFone, this, &MainContentWorker::ChangeFone);
    m_stack->addWidget(settings);
    keepAlive();
    auto *alerts = new AlertForm;
    connect(alerts, &AlertForm::historyClicked, this,
            [this] { gotoSystem(RoomConstantsV1::FormHistory, QString()); });
    m_stack->addWidget(alerts);
    keepAlive();
    m_stack->addWidget(new ConnSettForm);
    keepAlive();
    auto *exitForm = new ExitForm;
    connect(exitForm, &ExitForm::backClick, this, &MainContentWorker::gotoBack);
    m_stack->addWidget(exitForm);
    keepAlive();
    m_stack->addWidget(new SceneForm);

    // Pages 7, 8 and 9 always exist, so the fixed numbers keep their meaning in a project
    // without a lighting or heating subsystem: an absent root gets an empty screen.
    keepAlive();
    addRoomForm(rooms ? rooms->mainPage() : nullptr, true);
    emit createdSystemForms();
    keepAlive();
    addRoomForm(rooms ? rooms->lightPage() : nullptr, true);
    emit createdLights();
    keepAlive();
    addRoomForm(rooms ? rooms->heatPage() : nullptr, true);
    emit createdHeats();

    createRoomForms(roomPagesInOrder());
    emit createdSubForms();
    keepAlive();
    m_historyPage = m_stack->addWidget(new HistoryForm);
    show(kHomePage);
    emit finished();
}

void MainContentWorker::updateRooms()
{
    QList<BaseRoomV1 *> missing;
    for (BaseRoomV1 *page : roomPagesInOrder()) {
        const QString id = page->runtimeId();
        const bool known = std::any_of(m_records.cbegin(), m_records.cend(),
                                       [&id](const PageRecord &r) { return r.id == id; });
        if (!known)
            missing.append(page);
    }
    createRoomForms(missing);
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
    if (form != RoomConstantsV1::FormSubsystem)
        return;
    int best = -1;
    for (const PageRecord &r : m_records) {
        if (r.systemType == BaseRoomV1::OtherSystem && r.fileName == name)
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

void MainContentWorker::TabIndexChanged(int index)
{
    const QString home = FormServices::text(61016).toUpper();
    if (index == kHomePage) {
        m_history.clear();
        emit stackTextChanged(home);
        return;
    }
    // Coming back to a page already in the history cuts the history back to that visit, so
    // alternating between pages never grows it; going back lands there too.
    const int earlier = m_history.indexOf(index);
    if (earlier >= 0)
        m_history.erase(m_history.begin() + earlier, m_history.end());
    if (m_history.isEmpty())
        emit stackTextChanged(home);
    else
        emit stackTextChanged(pageTitle(m_history.last()).toUpper());
    m_history.append(index);
    while (m_history.size() > kMaxHistory)
        m_history.removeFirst();
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
