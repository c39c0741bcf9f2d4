// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "baseform.h"

#include <QDateTime>
#include <QMap>
#include <QTimer>

class HistoryScreen;
class QThread;
struct ReservVariables;

// The history page of the main content: the archive and alarm log of the configuration in use as
// charts (HistoryScreen) on the page background. In the demo it first writes the demo home's past
// into the demo's temporary folder, so there is a year to look at from the first start.
class HistoryForm : public BaseForm
{
    Q_OBJECT
public:
    explicit HistoryForm(QGraphicsItem *parent = nullptr);
    ~HistoryForm() override;

    HistoryScreen *screen() const { return m_screen; }

    // Writes a year of the demo home's archive and alarm log into `folder`, ending at `now`,
    // unless the folder already holds it: today at once, the days before in a thread of its own
    // (false when nothing needed writing). The screen refreshes when they are all there. The
    // curves end at `current` (the controller's values by parameter id, see DemoHistory::Plan),
    // so the live rows that follow join them without a jump.
    bool prepareDemoHistory(const QString &folder, const QDateTime &now,
                            const QMap<int, double> &current = {});
    // The values of a status record in the archive's units, by parameter id.
    static QMap<int, double> archiveValues(const ReservVariables &record);
    // Waits until the days before today are written; true at once when none are being written.
    bool waitForDemoHistory(int ms = -1);

private:
    HistoryScreen *m_screen = nullptr;
    QThread *m_demoWriter = nullptr;
    // The demo's past waits for the controller's first values (or for kJoinWaitMs).
    QMetaObject::Connection m_firstValues;
    QTimer m_joinWait;
};
