// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "baseform.h"
#include "baseroomv1.h"
#include "elocale.h"
#include "roomconstantsv1.h"
#include "subsupdate.h"

#include <QAbstractSocket>
#include <memory>

class BaseControlV1;
class EBaseWidget;
class EImageWidget;
class ELabelWidget;
class ExtScenesWidget;
class ExtToolboxWidget;
class LinkCommands;
class SaveSceneDialog;
struct RoomFormV1Private;

// The screen of one plan page for operating the home: the plan with a live widget per control and
// an icon per sub-room, the title, the scene bar and the edit toolbox. While shown it has the
// controller link poll its room, shows the answers on the widgets and turns every user action
// into the link's named command. Only a person's action sends: values set from a poll never do.
class RoomFormV1 : public BaseForm, public AbstractLocalizable
{
    Q_OBJECT
public:
    explicit RoomFormV1(BaseRoomV1 *room, QGraphicsItem *parent = nullptr);
    ~RoomFormV1() override;

    BaseRoomV1 *room() const;
    // Re-reads title, plan picture and scene bar after the room's properties changed.
    void updateSettings();

    // The link object commands go to; null means the application's link. Tests put a recording
    // stand-in here.
    void setLink(QObject *link);
    QObject *link() const;
    // True between becoming visible (room handed to the link) and being hidden.
    bool isActive() const;
    // Becoming visible or hidden; called from the show and hide events, callable by a host that
    // switches pages by other means.
    void activate();
    void deactivate();

    EImageWidget *plan() const;
    // Shows the plan picture from the shared plan cache, at the size drawn (done on every show).
    void loadPlan();
    ExtScenesWidget *scenesWidget() const;
    ExtToolboxWidget *toolbox() const;
    ELabelWidget *titleLabel() const;
    SaveSceneDialog *sceneSaveDialog() const;
    // The widget of a control or sub-room by its runtime id.
    EBaseWidget *widgetById(const QString &runtimeId) const;
    int selectedSwitch() const;
    int selectedSensor() const;
    // What the page says about the file it could not be read from, or about packages that were
    // never unpacked (empty when it was read).
    QString loadProblemText() const;
    // Whether edits made on this page can reach a file: not on the page of a file that could not
    // be read, whose tree is never written (it would replace the file with an empty one).
    bool canBeEdited() const;
    // The part of the screen in view, in the screen's coordinates. A screen larger than its page
    // scrolls there (the page reports which part shows); the toolbox and the dialogs stay in
    // that part. Empty: the whole screen.
    QRectF visibleArea() const;
    void setVisibleArea(const QRectF &area);
    // How far beyond its right and bottom edges the screen should scroll, so that whatever lies
    // under the tools kept at the edges of the part in view can be brought out from under them.
    virtual QSizeF floatingToolsRoom() const;
    // The name of the property that marks items floating at the edges of the part in view.
    static const char *floatingProperty() { return "floatsOverContent"; }
    // The notice a button that opens nothing shows (empty when none is shown).
    QString noticeText() const;
    // Whether the control's widget shows its value as unknown (greyed): no connection to the
    // controller, or none of its answers since the page was shown.
    bool showsUnknown(const QString &runtimeId) const;
    // Polls after which a write-pending flag that was never confirmed is dropped.
    static constexpr int kMaxPendingPolls = 6;

signals:
    void gotoSystem(RoomConstantsV1::FormNumbers form, const QString &name);
    void gotoRoom(BaseRoomV1::TYPESYSTEM type, const QString &name);
    void ResetTimer();

public slots:
    void AllHeatOnOff();
    void AllHeatFloorOn();
    void AllHeatFloorOff();
    void GlobalScene1();
    void GlobalScene2();
    void GlobalScene3();
    void GlobalScene4();
    void GlobalAllOn();
    void GlobalAllOff();
    void SceneSave();
    void DialogSaveOK();
    void DialogDontSave();
    void EditDependance();
    void DragWidget();
    void EndDragWidget();
    void moveRequest();
    virtual void RoomClick();
    virtual void LightClick();
    virtual void SwitchClick();
    virtual void SensorClick();
    virtual void ByteButtonClicked();
    virtual void BoolButtonClicked();
    virtual void BtnButtonClicked();
    virtual void showSystem();
    virtual void HeatTemp(int value);
    virtual void LightBrightChange(int bright);
    virtual void ByteButtonValueChange(int value);
    virtual void SliderValueChange(int value);
    virtual void TextWriterChanged();
    void ReadyUpdateControls(const QList<SubsUpdate> &answer, int offset);
    void ControlDataWriten(int index);
    void controlerStateChanged(QAbstractSocket::SocketState state, int ipadr);

protected:
    void applyTexts() override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;

    // Editing hook: a click on a widget while an edit action is armed is the edit's. Returns true
    // when the click was taken; the operating behaviour then does nothing.
    virtual bool editClick(QObject *sender);
    // Closes the dialogs and leaves every mode; also when the screen is hidden.
    virtual void closeDialogs();

    // Hands the room to the link again (after it was shown or edited).
    void sendRoom();
    // The commands of link(); null when there is no link.
    LinkCommands *linkCommands() const;
    // Creates, places and connects the widget of control `control`; null if it has none.
    EBaseWidget *addControlWidget(BaseControlV1 *control);
    EBaseWidget *addRoomIcon(BaseRoomV1 *subRoom);
    void removeWidget(const QString &runtimeId);
    void placeWidgets();
    void placeOverlays();
    void refreshWidget(BaseControlV1 *control);
    void refreshWidgets();
    // Greys the widgets of controller values while their values are not known, and back.
    void setValuesKnown(bool known);
    void configureScenes();
    // The control behind a sender widget, and its index; null / -1 when none.
    BaseControlV1 *controlOf(QObject *sender, int *index = nullptr) const;
    BaseRoomV1 *subRoomOf(QObject *sender) const;
    bool showSettingsOn() const;
    // The edit tools are offered: the setting is on and the page can be edited.
    bool editingOn() const;
    // A short notice at the foot of the part in view, until the next press or hide.
    void showNotice(const QString &text);
    // Called when the part in view changed; the editing screen moves its own tools along.
    virtual void visibleAreaChanged();

private:
    // The note over the plan of a page that has nothing to show (a file that could not be read,
    // a project still in its packages).
    void showLoadProblem(const QString &text);
    void hideNotice();
    void applyProblemTexts();
    void markPending(int index);
    bool sendValue(void (LinkCommands::*command)(int, int), int value);
    void runScene(int number);
    // All on (true) or all off in this room, on the light root, or on heating pages.
    void switchAll(bool on);
    void clearMarks();
    void markSelection(QList<BaseControlV1 *> controls);
    std::unique_ptr<RoomFormV1Private> d;
};
