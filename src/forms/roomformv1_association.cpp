// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The room screen's association mode: which switches and sensor drive which lamps.
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

// ---- association mode ---------------------------------------------------------------------------

void RoomFormV1::clearMarks()
{
    for (EBaseWidget *w : qAsConst(d->widgets)) {
        if (auto *lamp = qobject_cast<ExtLightWidget *>(w))
            lamp->setMarked(false);
        else if (auto *icon = qobject_cast<ExtIconButton *>(w))
            icon->setMarked(false);
    }
}

void RoomFormV1::markSelection(QList<BaseControlV1 *> controls)
{
    for (BaseControlV1 *c : controls) {
        if (!c || c->isDeleted())
            continue;
        EBaseWidget *w = d->widgets.value(c->runtimeId());
        if (auto *lamp = qobject_cast<ExtLightWidget *>(w))
            lamp->setMarked(true);
        else if (auto *icon = qobject_cast<ExtIconButton *>(w))
            icon->setMarked(true);
    }
}

void RoomFormV1::EditDependance()
{
    d->selectedSwitch = -1;
    d->selectedSensor = -1;
    clearMarks();
    const bool on = d->scenes->isDependencyMode();
    for (EBaseWidget *w : qAsConst(d->widgets)) {
        if (auto *lamp = qobject_cast<ExtLightWidget *>(w))
            lamp->setDependencyMode(on);
    }
    update();
}

void RoomFormV1::LightClick()
{
    if (editClick(sender()))
        return;
    int index = -1;
    auto *lamp = dynamic_cast<LightControlV1 *>(controlOf(sender(), &index));
    auto *w = qobject_cast<ExtLightWidget *>(sender());
    if (!lamp || !w)
        return;
    emit ResetTimer();
    const bool dependency = d->scenes->isDependencyMode();
    const bool switchChange = d->scenes->isSwitchChangeMode();
    if (switchChange)
        return;
    if (!dependency) {
        clearMarks();
        if (LinkCommands *commands = linkCommands()) {
            if (lamp->lampState() != 0)
                commands->EnableLight(index);
            else
                commands->DisableLight(index);
        }
        QList<BaseControlV1 *> bound;
        for (int number : {int(lamp->switch1()), int(lamp->switch2()), int(lamp->switch3())}) {
            if (number != 0)
                bound << d->room->switchByNumber(number);
        }
        if (lamp->sensorNumber() != 0)
            bound << d->room->sensorByNumber(lamp->sensorNumber());
        markSelection(bound);
        return;
    }
    // Binding a switch or sensor to a lamp changes the controller's wiring: the administrator's
    // to do. After the PIN the next tap binds.
    if ((d->selectedSwitch >= 0 || d->selectedSensor >= 0) && !AdminAccess::isUnlocked()) {
        AdminAccess::request(this, [] {});
        return;
    }
    if (d->selectedSwitch >= 0) {
        const int sw = d->selectedSwitch;
        if (w->isMarked()) {
            w->setMarked(false);
            if (LinkCommands *commands = linkCommands())
                commands->DelSwitchFromLamp(index, sw);
        } else {
            // The controller keeps three switch slots per lamp: with all of them taken by other
            // switches the bind cannot happen, so the lamp must not look bound.
            const int taken[3] = {lamp->switch1(), lamp->switch2(), lamp->switch3()};
            bool possible = false;
            for (int s : taken)
                possible = possible || s == 0 || s == (sw & 0xFF);
            if (possible) {
                w->setMarked(true);
                if (LinkCommands *commands = linkCommands())
                    commands->AddSwitchToLamp(index, sw);
            }
        }
    }
    if (d->selectedSensor >= 0) {
        if (w->isMarked()) {
            w->setMarked(false);
            if (LinkCommands *commands = linkCommands())
                commands->SetSensorToLight(index, 0);
        } else {
            w->setMarked(true);
            if (LinkCommands *commands = linkCommands())
                commands->SetSensorToLight(index, d->selectedSensor);
        }
    }
}

void RoomFormV1::SwitchClick()
{
    if (editClick(sender()))
        return;
    auto *sw = dynamic_cast<SwitchControlV1 *>(controlOf(sender()));
    if (!sw)
        return;
    emit ResetTimer();
    const bool dependency = d->scenes->isDependencyMode();
    const bool switchChange = d->scenes->isSwitchChangeMode();
    if (!dependency) {
        clearMarks();
        if (sw->switchMode() != 0)
            runScene(sw->sceneNumber());
        else if (LinkCommands *commands = linkCommands())
            commands->SwitchLightClick(sw->swcNumber());
        return;
    }
    if (switchChange) {
        // The switch-type dialog belongs to the editing tools; without it nothing changes.
        return;
    }
    if (sw->switchMode() != 0)
        return;
    clearMarks();
    d->selectedSensor = -1;
    d->selectedSwitch = sw->swcNumber();
    QList<BaseControlV1 *> marked{sw};
    for (LightControlV1 *lamp : d->room->lampsOfSwitch(sw->swcNumber()))
        marked << lamp;
    markSelection(marked);
}

void RoomFormV1::SensorClick()
{
    if (editClick(sender()))
        return;
    auto *sensor = dynamic_cast<SensorControlV1 *>(controlOf(sender()));
    if (!sensor)
        return;
    emit ResetTimer();
    clearMarks();
    d->selectedSwitch = -1;
    if (!d->scenes->isDependencyMode()) {
        if (LinkCommands *commands = linkCommands())
            commands->SensorClick(sensor->snrNumber());
        return;
    }
    if (d->scenes->isSwitchChangeMode())
        return;
    d->selectedSensor = sensor->snrNumber();
    QList<BaseControlV1 *> marked{sensor};
    for (LightControlV1 *lamp : d->room->lampsOfSensor(sensor->snrNumber()))
        marked << lamp;
    markSelection(marked);
}
