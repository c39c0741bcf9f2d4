// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The room screen and the controller link: the polling session while the page is shown, the
// commands a person's input becomes, and the answers that refresh the widgets.
#include "roomformv1.h"
#include "roomformv1_p.h"

#include "boolcontrolv1.h"
#include "btncontrolv1.h"
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
#include "resbtcontrolv1.h"
#include "roomsnapshot.h"
#include "roomstructv1.h"
#include "roomsv1.h"
#include "scenesavedialog.h"
#include "sensorcontrolv1.h"
#include "switchcontrolv1.h"
#include "systemcontrolv1.h"
#include "textwritecontrolv1.h"

#include <QCoreApplication>
#include <QGraphicsColorizeEffect>
#include <QHash>
#include <QLoggingCategory>
#include <QPointer>

using namespace ControlConstants;
using namespace RoomFormV1Layout;

// ---- the link session -----------------------------------------------------------------------

void RoomFormV1::setLink(QObject *link)
{
    d->testLink = link;
    d->linkOverridden = link != nullptr;
}

QObject *RoomFormV1::link() const
{
    if (d->linkOverridden)
        return d->testLink.data();
    return FormServices::link();
}

bool RoomFormV1::isActive() const
{
    return d->active;
}

void RoomFormV1::activate()
{
    if (d->active || !d->room)
        return;
    loadPlan();
    retranslate();
    d->toolbox->setVisible(editingOn());
    configureScenes();
    d->room->clearChanged();
    d->pendingAge.clear();
    // What the widgets show is from the last visit until the controller answers again.
    setValuesKnown(false);
    QObject *l = link();
    if (!l)
        return;
    d->active = true;
    sendRoom();
    // By signature, not by member pointer: the link may be any object with these signals (the
    // controller link, or a stand-in in tests).
    connect(l, SIGNAL(ReadyUpdateControls(QList<SubsUpdate>, int)), this,
            SLOT(ReadyUpdateControls(QList<SubsUpdate>, int)));
    connect(l, SIGNAL(ControlDataWriten(int)), this, SLOT(ControlDataWriten(int)));
    connect(l, SIGNAL(controlerStateChanged(QAbstractSocket::SocketState, int)), this,
            SLOT(controlerStateChanged(QAbstractSocket::SocketState, int)));
    d->connectedLink = l;
}

void RoomFormV1::deactivate()
{
    closeDialogs();
    if (!d->active)
        return;
    d->active = false;
    if (QObject *l = d->connectedLink.data()) {
        disconnect(l, SIGNAL(ReadyUpdateControls(QList<SubsUpdate>, int)), this,
                   SLOT(ReadyUpdateControls(QList<SubsUpdate>, int)));
        disconnect(l, SIGNAL(ControlDataWriten(int)), this, SLOT(ControlDataWriten(int)));
        disconnect(l, SIGNAL(controlerStateChanged(QAbstractSocket::SocketState, int)), this,
                   SLOT(controlerStateChanged(QAbstractSocket::SocketState, int)));
        if (LinkCommands *commands = FormServices::linkCommands(l))
            commands->closeRoom();
    }
    d->connectedLink.clear();
}

void RoomFormV1::sendRoom()
{
    if (!d->room || !d->active)
        return;
    // The link works from a value copy: the records stay in this thread.
    if (LinkCommands *commands = linkCommands())
        commands->setRoom(makeRoomSnapshot(*d->room));
}

LinkCommands *RoomFormV1::linkCommands() const
{
    return FormServices::linkCommands(link());
}

// ---- refresh from the controller ------------------------------------------------------------

void RoomFormV1::refreshWidget(BaseControlV1 *control)
{
    EBaseWidget *w = d->widgets.value(control->runtimeId());
    if (!w)
        return;
    const ExtWidgetKind *kind = ExtWidgetKinds::byKind(control->kind());
    if (kind && kind->refresh)
        kind->refresh(w, control);
}

void RoomFormV1::refreshWidgets()
{
    if (!d->room)
        return;
    for (BaseControlV1 *c : d->room->controls()) {
        if (!c->isDeleted())
            refreshWidget(c);
    }
}

// ---- answers from the controller ---------------------------------------------------------------

void RoomFormV1::ReadyUpdateControls(const QList<SubsUpdate> &answer, int offset)
{
    if (!d->room || !d->active)
        return;
    bool anyData = false;
    for (const SubsUpdate &block : answer)
        anyData = anyData || !block.data.isEmpty();
    // Commands whose confirmation never came (a lost write, a link that dropped it) must not
    // freeze their widget for good.
    for (auto it = d->pendingAge.begin(); it != d->pendingAge.end();) {
        if (++it.value() > kMaxPendingPolls) {
            d->room->markChanged(it.key(), false);
            it = d->pendingAge.erase(it);
        } else {
            ++it;
        }
    }
    if (!anyData)
        return;
    setValuesKnown(true);

    // Switch and sensor pictures come from the lamp records; a poll in which no lamp window was
    // read says nothing about them, so their last states are kept.
    QHash<SwitchControlV1 *, int> switchModes;
    QHash<SensorControlV1 *, int> sensorStates;
    bool lampRead = false;
    for (BaseControlV1 *c : d->room->controls()) {
        if (auto *sw = dynamic_cast<SwitchControlV1 *>(c)) {
            switchModes.insert(sw, sw->switchMode());
        } else if (auto *sensor = dynamic_cast<SensorControlV1 *>(c)) {
            sensorStates.insert(sensor, sensor->sensorState());
        } else if (auto *lamp = dynamic_cast<LightControlV1 *>(c);
                   lamp && !lamp->isDeleted() && !lampRead) {
            const int reg = lamp->firstRegister(offset);
            for (const SubsUpdate &block : answer) {
                if (!block.data.isEmpty() && reg >= block.start && reg < block.end)
                    lampRead = true;
            }
        }
    }
    d->room->applyAnswer(answer, offset);
    if (!lampRead) {
        for (auto it = switchModes.cbegin(); it != switchModes.cend(); ++it)
            it.key()->setSwitchMode(it.value());
        for (auto it = sensorStates.cbegin(); it != sensorStates.cend(); ++it)
            it.key()->setSensorState(it.value());
    }
    refreshWidgets();
}

void RoomFormV1::ControlDataWriten(int index)
{
    if (!d->room)
        return;
    d->room->markChanged(index, false);
    d->pendingAge.remove(index);
}

void RoomFormV1::controlerStateChanged(QAbstractSocket::SocketState state, int ipadr)
{
    Q_UNUSED(ipadr)
    if (!d->room)
        return;
    d->room->clearChanged();
    d->pendingAge.clear();
    // Without the controller a lamp is not "off", it is unknown; it shows its value again with
    // the first answer after the connection is back.
    if (state != QAbstractSocket::ConnectedState)
        setValuesKnown(false);
}

namespace {
// Kinds whose picture or number is the controller's state; buttons that only send, text writers
// and static items look the same with or without a connection.
bool showsControllerValue(int kind)
{
    switch (kind) {
    case ControlConstants::KindSwitch:
    case ControlConstants::KindSensor:
    case ControlConstants::KindBool:
    case ControlConstants::KindByte:
    case ControlConstants::KindHeat:
    case ControlConstants::KindLight:
    case ControlConstants::KindResbt:
    case ControlConstants::KindDynText:
    case ControlConstants::KindHSlider:
    case ControlConstants::KindVSlider:
        return true;
    default:
        return false;
    }
}
} // namespace

void RoomFormV1::setValuesKnown(bool known)
{
    d->valuesKnown = known;
    if (!d->room)
        return;
    for (BaseControlV1 *c : d->room->controls()) {
        EBaseWidget *w = d->widgets.value(c->runtimeId());
        if (!w || !showsControllerValue(c->kind()))
            continue;
        if (known) {
            w->setGraphicsEffect(nullptr);
        } else if (!w->graphicsEffect()) {
            auto *grey = new QGraphicsColorizeEffect;
            grey->setColor(QColor(128, 128, 128));
            grey->setStrength(1.0);
            w->setGraphicsEffect(grey);
        }
        w->setOpacity(known ? 1.0 : 0.55);
    }
}

bool RoomFormV1::showsUnknown(const QString &runtimeId) const
{
    const EBaseWidget *w = d->widgets.value(runtimeId);
    return w && w->graphicsEffect() != nullptr;
}

void RoomFormV1::markPending(int index)
{
    d->room->markChanged(index, true);
    d->pendingAge.insert(index, 0);
}

// ---- commands ---------------------------------------------------------------------------------

bool RoomFormV1::sendValue(void (LinkCommands::*command)(int, int), int value)
{
    int index = -1;
    BaseControlV1 *c = controlOf(sender(), &index);
    LinkCommands *commands = linkCommands();
    // A read-only control never writes, and nothing is marked pending that no write will clear.
    if (!c || c->isReadOnly() || !c->isControllerBound() || !commands)
        return false;
    emit ResetTimer();
    markPending(index);
    (commands->*command)(index, value);
    return true;
}

void RoomFormV1::HeatTemp(int value)
{
    if (editClick(sender()))
        return;
    sendValue(&LinkCommands::ChangeHeatTemp, value);
}

void RoomFormV1::LightBrightChange(int bright)
{
    if (editClick(sender()))
        return;
    sendValue(&LinkCommands::ChangeLightBright, bright);
}

void RoomFormV1::ByteButtonValueChange(int value)
{
    if (editClick(sender()))
        return;
    sendValue(&LinkCommands::ByteControlChange, value);
}

void RoomFormV1::SliderValueChange(int value)
{
    if (editClick(sender()))
        return;
    sendValue(&LinkCommands::ByteControlChange, value);
}

void RoomFormV1::TextWriterChanged()
{
    if (editClick(sender()))
        return;
    int index = -1;
    BaseControlV1 *c = controlOf(sender(), &index);
    auto *w = qobject_cast<ExtTextWriterWidget *>(sender());
    if (!c || !w || !dynamic_cast<TextWriteControlV1 *>(c) || c->isReadOnly())
        return;
    emit ResetTimer();
    if (LinkCommands *commands = linkCommands())
        commands->TextWriteControlChange(index, w->currentText());
}

void RoomFormV1::BoolButtonClicked()
{
    if (editClick(sender()))
        return;
    int index = -1;
    BaseControlV1 *c = controlOf(sender(), &index);
    LinkCommands *commands = linkCommands();
    if (!c || !dynamic_cast<BoolControlV1 *>(c) || c->isReadOnly() || !commands)
        return;
    emit ResetTimer();
    markPending(index);
    commands->BoolClick(index);
}

void RoomFormV1::BtnButtonClicked()
{
    if (editClick(sender()))
        return;
    int index = -1;
    BaseControlV1 *c = controlOf(sender(), &index);
    if (!c || !dynamic_cast<BtnControlV1 *>(c) || c->isReadOnly())
        return;
    emit ResetTimer();
    if (LinkCommands *commands = linkCommands())
        commands->BoolButton1Click(index);
}

void RoomFormV1::ByteButtonClicked()
{
    if (editClick(sender()))
        return;
    int index = -1;
    BaseControlV1 *c = controlOf(sender(), &index);
    if (!c || !dynamic_cast<ResbtControlV1 *>(c) || c->isReadOnly())
        return;
    emit ResetTimer();
    if (LinkCommands *commands = linkCommands())
        commands->ByteControlValClick(index);
}
