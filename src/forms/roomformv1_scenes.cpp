// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The room screen's scene bar: what it offers and runs on a room, a floor and a subsystem root.
#include "roomformv1.h"
#include "roomformv1_p.h"

#include "adminaccess.h"
#include "controlconstants.h"
#include "controlerdata.h"
#include "eappsettings.h"
#include "ecoreapp.h"
#include "egridlayout.h"
#include "eimagewidget.h"
#include "elabelwidget.h"
#include "exticonbutton.h"
#include "extlightwidget.h"
#include "extsceneswidget.h"
#include "exttextwriterwidget.h"
#include "exttoolboxwidget.h"
#include "extwidgetfactory.h"
#include "extwidgetkinds.h"
#include "floorstructv1.h"
#include "formservices.h"
#include "lightcontrolv1.h"
#include "linkcommands.h"
#include "mainstructv1.h"
#include "roomsnapshot.h"
#include "roomstructv1.h"
#include "roomsv1.h"
#include "scenesavedialog.h"
#include "sensorcontrolv1.h"
#include "switchcontrolv1.h"
#include "systemcontrolv1.h"

#include <QCoreApplication>
#include <QHash>
#include <QLoggingCategory>
#include <QPointer>

using namespace ControlConstants;
using namespace RoomFormV1Layout;

void RoomFormV1::configureScenes()
{
    ExtScenesWidget *bar = d->scenes;
    BaseRoomV1 *room = d->room;
    if (!room || !room->showScenes()) {
        bar->hide();
        return;
    }
    const int type = room->systemType();
    const int kind = room->kind();
    RoomsV1 *rooms = FormServices::rooms();
    bool shown = true;
    if (type == BaseRoomV1::LightSystem && kind == BaseRoomV1::KindRoom) {
        bar->setScenesVisible(true);
        bar->setSaveVisible(true);
        bar->setDependencyVisible(true);
        bar->setSceneNames(room->scenes());
    } else if (type == BaseRoomV1::LightSystem && kind == BaseRoomV1::KindRoot) {
        bar->setScenesVisible(true);
        bar->setSaveVisible(false);
        bar->setDependencyVisible(false);
        bar->setSceneNames(room->scenes());
    } else if (type == BaseRoomV1::HeatSystem &&
               (kind == BaseRoomV1::KindRoot || kind == BaseRoomV1::KindFloor)) {
        bar->setScenesVisible(true);
        bar->setSaveVisible(true);
        bar->setDependencyVisible(false);
        BaseRoomV1 *root = kind == BaseRoomV1::KindRoot ? room : nullptr;
        if (!root && rooms)
            root = rooms->heatSystem();
        bar->setSceneNames(root ? root->scenes() : room->scenes());
    } else {
        shown = false;
    }
    bar->setVisible(shown);
}

// ---- scene bar --------------------------------------------------------------------------------

void RoomFormV1::runScene(int number)
{
    if (!d->room || number < 1 || number > 4)
        return;
    using RoomScene = void (LinkCommands::*)(int);
    using GlobalScene = void (LinkCommands::*)();
    static constexpr RoomScene roomScenes[] = {
        &LinkCommands::Miniscene1InRoom, &LinkCommands::Miniscene2InRoom,
        &LinkCommands::Miniscene3InRoom, &LinkCommands::Miniscene4InRoom};
    static constexpr GlobalScene lightScenes[] = {
        &LinkCommands::GlobalScene1Activate, &LinkCommands::GlobalScene2Activate,
        &LinkCommands::GlobalScene3Activate, &LinkCommands::GlobalScene4Activate};
    static constexpr GlobalScene heatScenes[] = {
        &LinkCommands::GlobalHeatScene1Activate, &LinkCommands::GlobalHeatScene2Activate,
        &LinkCommands::GlobalHeatScene3Activate, &LinkCommands::GlobalHeatScene4Activate};
    const int type = d->room->systemType();
    const int kind = d->room->kind();
    emit ResetTimer();
    LinkCommands *commands = linkCommands();
    if (!commands)
        return;
    if (type == BaseRoomV1::LightSystem && kind == BaseRoomV1::KindRoom)
        (commands->*roomScenes[number - 1])(d->room->pageNumber());
    else if (type == BaseRoomV1::LightSystem && kind == BaseRoomV1::KindRoot)
        (commands->*lightScenes[number - 1])();
    else if (type == BaseRoomV1::HeatSystem &&
             (kind == BaseRoomV1::KindRoot || kind == BaseRoomV1::KindFloor))
        (commands->*heatScenes[number - 1])();
}

void RoomFormV1::GlobalScene1()
{
    runScene(1);
}

void RoomFormV1::GlobalScene2()
{
    runScene(2);
}

void RoomFormV1::GlobalScene3()
{
    runScene(3);
}

void RoomFormV1::GlobalScene4()
{
    runScene(4);
}

void RoomFormV1::GlobalAllOn()
{
    switchAll(true);
}

void RoomFormV1::GlobalAllOff()
{
    switchAll(false);
}

void RoomFormV1::switchAll(bool on)
{
    if (!d->room)
        return;
    const int type = d->room->systemType();
    const int kind = d->room->kind();
    emit ResetTimer();
    LinkCommands *commands = linkCommands();
    if (!commands)
        return;
    if (type == BaseRoomV1::LightSystem && kind == BaseRoomV1::KindRoom) {
        if (on)
            commands->LightOnInRoom(d->room->pageNumber());
        else
            commands->LightOffInRoom(d->room->pageNumber());
    } else if (type == BaseRoomV1::LightSystem && kind == BaseRoomV1::KindRoot) {
        if (on)
            commands->GlobalOnActivate();
        else
            commands->GlobalOffActivate();
    } else if (type == BaseRoomV1::HeatSystem &&
               (kind == BaseRoomV1::KindRoot || kind == BaseRoomV1::KindFloor)) {
        if (on)
            commands->GlobalHeatOnActivate();
        else
            commands->GlobalHeatOffActivate();
    }
}

// The floor-heating commands are not part of the controller's command set; the toggle that would
// call them is never offered, and these slots only keep the screen's interface whole.
void RoomFormV1::AllHeatOnOff()
{
    qCWarning(lcRoom) << "floor heating toggle has no controller command";
}

void RoomFormV1::AllHeatFloorOn()
{
    AllHeatOnOff();
}

void RoomFormV1::AllHeatFloorOff()
{
    AllHeatOnOff();
}

void RoomFormV1::SceneSave()
{
    if (!d->room)
        return;
    emit ResetTimer();
    // Saving a scene rewrites it in the controller for the whole house.
    if (!AdminAccess::isUnlocked()) {
        AdminAccess::request(this, [this] { SceneSave(); });
        return;
    }
    if (!d->saveDialog) {
        d->saveDialog = new SaveSceneDialog(this);
        d->saveDialog->setZValue(10);
        connect(d->saveDialog, &SaveSceneDialog::SaveClicked, this, &RoomFormV1::DialogSaveOK);
        connect(d->saveDialog, &SaveSceneDialog::CloseClicked, this, &RoomFormV1::DialogDontSave);
    }
    BaseRoomV1 *root = nullptr;
    if (RoomsV1 *rooms = FormServices::rooms()) {
        if (d->room->systemType() == BaseRoomV1::LightSystem)
            root = rooms->lightSystem();
        else if (d->room->systemType() == BaseRoomV1::HeatSystem)
            root = rooms->heatSystem();
    }
    if (!root && d->room->kind() == BaseRoomV1::KindRoot)
        root = d->room;
    d->saveDialog->retranslate();
    d->saveDialog->init(d->room, root);
    d->saveDialog->setGeometry(QRectF(QPointF(0, 0), size()));
    d->saveDialog->show();
}

void RoomFormV1::DialogSaveOK()
{
    if (!d->room || !d->saveDialog)
        return;
    // The dialog may have stood open past the idle time.
    if (!AdminAccess::isUnlocked()) {
        AdminAccess::request(this, [this] { DialogSaveOK(); });
        return;
    }
    const int g = d->saveDialog->globalScene();
    const int m = d->saveDialog->miniScene();
    LinkCommands *commands = linkCommands();
    if (commands && d->room->systemType() == BaseRoomV1::LightSystem) {
        if (m >= 1)
            commands->SaveGlobalMiniLight(g, m, d->room->pageNumber());
    } else if (commands && d->room->systemType() == BaseRoomV1::HeatSystem) {
        if (g >= 1)
            commands->FloorHeatSave(g);
    }
    DialogDontSave();
}

void RoomFormV1::DialogDontSave()
{
    if (d->room)
        d->room->setModified(true);
    configureScenes();
    if (d->saveDialog)
        d->saveDialog->hide();
}
