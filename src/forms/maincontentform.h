// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"
#include "elocale.h"

#include <QDateTime>

class EImageWidget;
class ELabelWidget;
class EStackWidget;
class ExtCalendarWidget;
class ExtToolWidget;
class MainContentWorker;
class RoomsV1;

// The application proper: the 60-pixel top bar (back, home, connection, alarm, calendar, clock,
// view button) over the page stack that holds every screen.
class MainContentForm : public EGraphicsWidget, public AbstractLocalizable
{
    Q_OBJECT
public:
    static constexpr int kBarHeight = 60;

    // What a status button shows, kept so a language change can paint it again in the new
    // language instead of falling back to "no connection".
    struct ButtonState
    {
        QString icon;
        int textId = 0;
        QString argument; // replaces %1 of the text, or is the whole text without a text id
        bool enabled = false;
        // A security alarm rather than a message alarm: a tap opens the keypad, not the list.
        bool security = false;
    };

    explicit MainContentForm(QGraphicsItem *parent = nullptr);
    ~MainContentForm() override;

    void setFonts(const QFont &caption, const QFont &clock, const QFont &month, const QFont &day);
    void createForms(RoomsV1 *rooms);
    void setAlarmState(const ButtonState &state);
    void setConnectionState(const ButtonState &state);
    ButtonState alarmState() const { return m_alarmState; }
    ButtonState connectionState() const { return m_connectionState; }
    void setDateTime(const QDateTime &now);
    void setViewButtonIcon(const QString &icon);
    void showControllerPage(int value);
    // Hides the pages (and their background) while the window is collapsed to the top bar.
    void setPagesVisible(bool visible);

    EStackWidget *stack() const { return m_stack; }
    MainContentWorker *worker() const { return m_worker; }
    ExtToolWidget *backButton() const { return m_back; }
    ExtToolWidget *homeButton() const { return m_home; }
    ExtToolWidget *connectionButton() const { return m_connection; }
    ExtToolWidget *alarmButton() const { return m_alarm; }
    ExtToolWidget *viewButton() const { return m_view; }
    ExtCalendarWidget *calendar() const { return m_calendar; }
    QString clockText() const;
    qint64 inactivityTime() const { return m_inactivity; }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

signals:
    void showHideClicked();
    void onViewLongClicked();
    void controlsFinished();
    void systemFormsFinished();
    void lightFormsFinished();
    void heatFormsFinished();
    void subsystemFormsFinished();

public slots:
    void changedLocale(const QString &locale);
    void ChangeFone();
    void stackIndexChanged(int index);
    void stackTextChanged(const QString &text);
    void updateRoomSettings(int index);
    void controlsIsLoaded();
    void systemFormsIsLoaded();
    void lightFormsIsLoaded();
    void heatFormsIsLoaded();
    void subsustemFormsIsLoaded();
    void ShowAlerts();
    void GotoHome();
    void ShowConnections();
    void CloseSystem();
    void TabIndexChanged(int index);
    void gotoBack();
    void ResetHideTimer();

protected:
    void applyTexts() override;
    void geometryUpdated() override;

private:
    void applyButton(ExtToolWidget *button, const ButtonState &state);
    void updateBackButton();

    ExtToolWidget *m_back = nullptr;
    ExtToolWidget *m_home = nullptr;
    ExtToolWidget *m_connection = nullptr;
    ExtToolWidget *m_alarm = nullptr;
    ExtToolWidget *m_view = nullptr;
    ExtCalendarWidget *m_calendar = nullptr;
    ELabelWidget *m_clock = nullptr;
    EStackWidget *m_stack = nullptr;
    EImageWidget *m_background = nullptr;
    MainContentWorker *m_worker = nullptr;
    ButtonState m_alarmState;
    ButtonState m_connectionState;
    bool m_statusShown = false;
    qint64 m_inactivity = 0;
};
