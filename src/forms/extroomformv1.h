// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "roomformv1.h"

#include <QHash>
#include <QPointF>
#include <functional>

class SwitchTypeDialog;
class UniAddControls;
class UniSettings;
class EditHistory;
class EIconWidget;
class ELabelWidget;
class ERectWidget;
class ExtToolWidget;

// The room screen of the main content: the operating screen plus the edit actions of the
// toolbox (add a control at the next press on the plan, delete the next clicked control). The
// add-controls and properties dialogs plug into the slots kept here.
class ExtRoomFormV1 : public RoomFormV1
{
    Q_OBJECT
public:
    enum EditAction { ActionNone = 0, ActionAdd = 1, ActionDelete = 2, ActionProperties = 3 };

    explicit ExtRoomFormV1(BaseRoomV1 *room, QGraphicsItem *parent = nullptr);
    ~ExtRoomFormV1() override;

    int editAction() const { return m_action; }
    int addCode() const { return m_addCode; }
    // The switch type panel; null until it was first opened.
    SwitchTypeDialog *switchTypeDialog() const { return m_switchDialog; }
    // The add palette while it is open; null otherwise.
    UniAddControls *palette() const { return m_palette; }
    // The properties panel; null until it was first opened.
    UniSettings *settingsPanel() const { return m_settings; }
    // This session's edits of the shown page, for Undo and Redo.
    EditHistory *history() const { return m_history; }
    EIconWidget *undoButton() const { return m_undoButton; }
    EIconWidget *redoButton() const { return m_redoButton; }
    // The question before a floor or room with content is deleted: its text (empty while it is
    // not asked) and its answer buttons.
    QString deleteQuestion() const;
    QSizeF floatingToolsRoom() const override;
    ExtToolWidget *deleteYesButton() const { return m_deleteYes; }
    ExtToolWidget *deleteNoButton() const { return m_deleteNo; }

signals:
    void updateRooms();
    void updateRoomSettings(BaseRoomV1 *room);

public slots:
    void AddSystButton();
    void AddButton();
    void DelButton();
    void ShowSettings();
    void firstAddControl();
    void boolAddControl();
    void byteAddControl();
    void textAddControl();
    void bytebtnAddControl();
    void boolbtnAddControl();
    void lightAddClick();
    void sensorAddClick();
    void switchAddClick();
    void heatAddClick();
    void weatherAddClick();
    void closeCntClick();
    void dyntextAddClick();
    void ipcamAddClick();
    void avcamAddClick();
    void textwriteAddClick();
    void hsliderAddClick();
    void vsliderAddClick();
    void DontSaveLightSettings();
    void SaveLightSettings();
    // Both association modes on: a click on a switch opens the switch type panel.
    void SwitchClick() override;
    // The panel's Save sends the chosen type to the controller; Cancel only closes it.
    void switchTypeSave();
    void switchTypeClose();
    void undoEdit();
    void redoEdit();

protected:
    bool editClick(QObject *sender) override;
    void closeDialogs() override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QGraphicsSceneResizeEvent *event) override;
    void visibleAreaChanged() override;

private:
    // Puts the undo and redo arrows and the open dialogs into the part of the screen in view.
    void placeEditTools();
    void armAdd(int code);
    void endAction();
    void addElementAt(const QPointF &formPos);
    void addSubPageAt(const QPointF &formPos);
    void openSwitchType(BaseControlV1 *control);
    void openSettings(BaseControlV1 *control, BaseRoomV1 *page);
    // Records an edit just made; `wasModified` is the page's flag before it, which undoing the
    // edit restores (so that an undone session writes no file at exit).
    void recordEdit(const QString &text, bool wasModified, std::function<void()> undo,
                    std::function<void()> redo);
    void rebuildWidget(const QString &runtimeId);
    void rebuildRoomIcon(BaseRoomV1 *subPage);
    void updateHistoryButtons();
    // Follows a widget's drags so that a move can be undone.
    void hookWidget(const QString &runtimeId);
    QPointF positionOf(const QString &runtimeId) const;
    // Deletes a floor or room of this page (undoable); asks first when it holds anything.
    void askDeleteSubPage(BaseRoomV1 *sub);
    void deleteSubPage(BaseRoomV1 *sub, bool wasModified);
    void closeDeleteQuestion();
    void setPositionOf(const QString &runtimeId, const QPointF &pos);

    int m_action = ActionNone;
    int m_addCode = 0;
    SwitchTypeDialog *m_switchDialog = nullptr;
    UniAddControls *m_palette = nullptr;
    UniSettings *m_settings = nullptr;
    EditHistory *m_history = nullptr;
    EIconWidget *m_undoButton = nullptr;
    EIconWidget *m_redoButton = nullptr;
    // What the properties panel edits, by runtime id: a control, else the page shown.
    QString m_settingsControl;
    // A floor or room edited from its icon on this page (its name, caption and icon); null when
    // the panel edits a control or the page shown. Pages are only flagged deleted in a session.
    BaseRoomV1 *m_settingsSubPage = nullptr;
    struct DragStart
    {
        QPointF pos;
        bool wasModified = false;
    };
    QHash<QString, DragStart> m_dragStart;
    // The switch the panel was opened for, by runtime id: the record may go away meanwhile.
    QString m_switchId;
    ERectWidget *m_deletePanel = nullptr;
    ELabelWidget *m_deleteText = nullptr;
    ExtToolWidget *m_deleteYes = nullptr;
    ExtToolWidget *m_deleteNo = nullptr;
    BaseRoomV1 *m_deleteTarget = nullptr;
    bool m_deleteWasModified = false;
};
