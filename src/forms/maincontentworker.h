// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "baseroomv1.h"
#include "roomconstantsv1.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class EStackWidget;
class ExtRoomFormV1;
class RoomsV1;

// Creates every page of the main content and keeps the navigation bookkeeping: one record per
// room page, the page-number rules, the room lookup and the back history. Pages are created one
// per event-loop turn, so the window stays live during a long load without running a nested
// event loop in the middle of it. A room page gets its place and number at once and its screen
// when it is first shown or asked for.
class MainContentWorker : public QObject
{
    Q_OBJECT
public:
    // Fixed pages; room screens follow from kFirstRoomPage on.
    static constexpr int kHomePage = 7;
    static constexpr int kLightPage = 8;
    static constexpr int kHeatPage = 9;
    static constexpr int kFirstRoomPage = 10;
    // Alternating pages never grow the history past this.
    static constexpr int kMaxHistory = 64;
    // Room screens kept built after they were shown: the most recently shown ones. Older hidden
    // screens are let go of and built again when shown, so memory follows what is shown.
    static constexpr int kKeptScreens = 10;

    struct PageRecord
    {
        QString title;
        QString id;
        QString fileName;
        int kind = 0;
        int stackIndex = -1;
        int pageID = 0;
        BaseRoomV1::TYPESYSTEM systemType = BaseRoomV1::NoSystem;
    };

    explicit MainContentWorker(QObject *parent = nullptr);

    const QList<PageRecord> &records() const { return m_records; }
    const QList<int> &history() const { return m_history; }
    // The screen of a room page, built now if it was not yet (pages are built when first shown).
    ExtRoomFormV1 *roomForm(int stackIndex) const;
    // The history page follows the room pages created at load, so their numbers never move;
    // -1 before the pages are built.
    int historyPage() const { return m_historyPage; }
    // The screen of a room page if it was built, else nullptr.
    ExtRoomFormV1 *createdRoomForm(int stackIndex) const;
    // How many shown room screens stay built (kKeptScreens unless changed).
    void setKeptScreens(int count) { m_keptScreens = qMax(1, count); }
    // Title used for the back caption of a page: the room's name, or the fixed page's own title.
    QString pageTitle(int stackIndex) const;

    // The page the controller asks for: 1..7 by number, 8 and above by the room's pageID.
    void selectControllerPage(int value);
    // True from createElementForms() until finished() (or cancelLoading()).
    bool isLoading() const { return m_loadStep >= 0; }
    // Stops a load in progress: no further page is created and no further signal comes.
    void cancelLoading();

signals:
    void stackIndexChanged(int index);
    void stackTextChanged(const QString &text);
    void ChangeFone();
    void updateRoom(int index);
    void createdSystemForms();
    void createdLights();
    void createdHeats();
    void createdSubForms();
    void finished();

public slots:
    void gotoBack();
    void gotoRoom(BaseRoomV1::TYPESYSTEM pageId, const QString &name);
    void gotoSystem(RoomConstantsV1::FormNumbers form, const QString &name);
    void updateRooms();
    void updateRoomSettings(BaseRoomV1 *room);
    void createElementForms(EStackWidget *mainControl, RoomsV1 *rooms);
    void TabIndexChanged(int index);
    // Says the back caption again in the current language (the page it leads to is unchanged).
    void refreshBackCaption();

private:
    ExtRoomFormV1 *createRoomForm(BaseRoomV1 *room);
    void addRoomPage(BaseRoomV1 *room, bool record);
    bool createNextMissingRoomForm();
    QList<BaseRoomV1 *> roomPagesInOrder() const;
    void show(int index);
    void releaseOldScreens(int shownIndex);
    void scheduleLoadStep();
    void runLoadStep();

    QPointer<EStackWidget> m_stack;
    QPointer<RoomsV1> m_rooms;
    QList<PageRecord> m_records;
    QList<int> m_history;
    // Stack indices of built room screens, most recently shown last.
    QList<int> m_recentScreens;
    int m_keptScreens = kKeptScreens;
    // Next step of the load in progress, -1 when none runs. A step scheduled for an earlier load
    // (cancelled or replaced) sees another generation and does nothing.
    int m_loadStep = -1;
    quint64 m_loadGeneration = 0;
    int m_historyPage = -1;
};
