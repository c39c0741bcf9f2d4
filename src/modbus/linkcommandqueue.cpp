// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "linkcommandqueue.h"

#include "controlerdata.h"
#include "linkhandover.h"

#include <QMetaObject>

LinkCommandQueue::LinkCommandQueue(ControlerData *link, Target target)
    : m_link(link), m_target(target)
{
    Q_ASSERT(link);
}

// Queues `command` with copies of its arguments to the link object. Always queued, also when the
// caller is the link thread itself: a command then still runs after the calls queued before it
// and never inside a poll tick that is in progress. A call left queued when the link is destroyed
// is dropped with it.
template<typename... Params, typename... Args>
void LinkCommandQueue::queue(void (ControlerData::*command)(Params...), Args... args)
{
    ControlerData *link = m_link;
    // The arguments are copied here and read in the link thread (see LinkHandOver).
    LinkHandOver::publish();
    if (m_target == Target::Background) {
        QMetaObject::invokeMethod(
            link,
            [link, command, args...] { link->runOnBackground([&] { (link->*command)(args...); }); },
            Qt::QueuedConnection);
        return;
    }
    QMetaObject::invokeMethod(
        link, [link, command, args...] { (link->*command)(args...); }, Qt::QueuedConnection);
}

void LinkCommandQueue::setRoom(const RoomSnapshot &room)
{
    if (m_target == Target::Background) {
        QMetaObject::invokeMethod(
            m_link, [link = m_link, room] { link->setBackground(room, -1); }, Qt::QueuedConnection);
        return;
    }
    queue(&ControlerData::setRoom, room);
}

void LinkCommandQueue::closeRoom()
{
    if (m_target == Target::Background) {
        QMetaObject::invokeMethod(
            m_link, [link = m_link] { link->clearBackground(); }, Qt::QueuedConnection);
        return;
    }
    queue(&ControlerData::closeRoom);
}

void LinkCommandQueue::SetCurrentScenesRoom()
{
    // The scene area is polled for the screen that shows it, never for the background set.
    if (m_target == Target::Background)
        return;
    queue(&ControlerData::SetCurrentScenesRoom);
}

void LinkCommandQueue::GlobalScene1Activate()
{
    queue(&ControlerData::GlobalScene1Activate);
}

void LinkCommandQueue::GlobalScene2Activate()
{
    queue(&ControlerData::GlobalScene2Activate);
}

void LinkCommandQueue::GlobalScene3Activate()
{
    queue(&ControlerData::GlobalScene3Activate);
}

void LinkCommandQueue::GlobalScene4Activate()
{
    queue(&ControlerData::GlobalScene4Activate);
}

void LinkCommandQueue::GlobalOnActivate()
{
    queue(&ControlerData::GlobalOnActivate);
}

void LinkCommandQueue::GlobalOffActivate()
{
    queue(&ControlerData::GlobalOffActivate);
}

void LinkCommandQueue::LightOnInRoom(int room)
{
    queue(&ControlerData::LightOnInRoom, room);
}

void LinkCommandQueue::LightOffInRoom(int room)
{
    queue(&ControlerData::LightOffInRoom, room);
}

void LinkCommandQueue::Miniscene1InRoom(int room)
{
    queue(&ControlerData::Miniscene1InRoom, room);
}

void LinkCommandQueue::Miniscene2InRoom(int room)
{
    queue(&ControlerData::Miniscene2InRoom, room);
}

void LinkCommandQueue::Miniscene3InRoom(int room)
{
    queue(&ControlerData::Miniscene3InRoom, room);
}

void LinkCommandQueue::Miniscene4InRoom(int room)
{
    queue(&ControlerData::Miniscene4InRoom, room);
}

void LinkCommandQueue::SaveGlobalMiniLight(int globalNumber, int miniNumber, int room)
{
    queue(&ControlerData::SaveGlobalMiniLight, globalNumber, miniNumber, room);
}

void LinkCommandQueue::GlobalHeatOnActivate()
{
    queue(&ControlerData::GlobalHeatOnActivate);
}

void LinkCommandQueue::GlobalHeatOffActivate()
{
    queue(&ControlerData::GlobalHeatOffActivate);
}

void LinkCommandQueue::GlobalHeatScene1Activate()
{
    queue(&ControlerData::GlobalHeatScene1Activate);
}

void LinkCommandQueue::GlobalHeatScene2Activate()
{
    queue(&ControlerData::GlobalHeatScene2Activate);
}

void LinkCommandQueue::GlobalHeatScene3Activate()
{
    queue(&ControlerData::GlobalHeatScene3Activate);
}

void LinkCommandQueue::GlobalHeatScene4Activate()
{
    queue(&ControlerData::GlobalHeatScene4Activate);
}

void LinkCommandQueue::FloorHeatSave(int scnNum)
{
    queue(&ControlerData::FloorHeatSave, scnNum);
}

void LinkCommandQueue::SoundStateChanged(int number, int state)
{
    queue(&ControlerData::SoundStateChanged, number, state);
}

void LinkCommandQueue::SoundStarted(int number)
{
    queue(&ControlerData::SoundStarted, number);
}

void LinkCommandQueue::SoundStoped(int number)
{
    queue(&ControlerData::SoundStoped, number);
}

void LinkCommandQueue::SoundNotfound(int number)
{
    queue(&ControlerData::SoundNotfound, number);
}

void LinkCommandQueue::SoundError(int number)
{
    queue(&ControlerData::SoundError, number);
}

void LinkCommandQueue::SinchronizeTime(uint time)
{
    queue(&ControlerData::SinchronizeTime, time);
}

void LinkCommandQueue::WritePassword(int passw)
{
    queue(&ControlerData::WritePassword, passw);
}

void LinkCommandQueue::WriteAlarm(int alarmId, char data)
{
    queue(&ControlerData::WriteAlarm, alarmId, data);
}

void LinkCommandQueue::WriteSMS(const QString &text, int number)
{
    queue(&ControlerData::WriteSMS, text, number);
}

void LinkCommandQueue::SetActivators(const GActivators &activat)
{
    queue(&ControlerData::SetActivators, activat);
}

void LinkCommandQueue::WriteGlobalScene(int number)
{
    queue(&ControlerData::WriteGlobalScene, number);
}

void LinkCommandQueue::EnableLight(int index)
{
    queue(&ControlerData::EnableLight, index);
}

void LinkCommandQueue::DisableLight(int index)
{
    queue(&ControlerData::DisableLight, index);
}

void LinkCommandQueue::ChangeLightBright(int index, int bright)
{
    queue(&ControlerData::ChangeLightBright, index, bright);
}

void LinkCommandQueue::AddSwitchToLamp(int lmpIndex, int switchNum)
{
    queue(&ControlerData::AddSwitchToLamp, lmpIndex, switchNum);
}

void LinkCommandQueue::DelSwitchFromLamp(int lmpIndex, int switchNum)
{
    queue(&ControlerData::DelSwitchFromLamp, lmpIndex, switchNum);
}

void LinkCommandQueue::BoolClick(int bolIndex)
{
    queue(&ControlerData::BoolClick, bolIndex);
}

void LinkCommandQueue::BoolButton1Click(int bolIndex)
{
    queue(&ControlerData::BoolButton1Click, bolIndex);
}

void LinkCommandQueue::ByteControlValClick(int bolIndex)
{
    queue(&ControlerData::ByteControlValClick, bolIndex);
}

void LinkCommandQueue::ByteControlChange(int bolIndex, int value)
{
    queue(&ControlerData::ByteControlChange, bolIndex, value);
}

void LinkCommandQueue::ChangeHeatTemp(int index, int bright)
{
    queue(&ControlerData::ChangeHeatTemp, index, bright);
}

void LinkCommandQueue::TextWriteControlChange(int bolIndex, const QString &text)
{
    queue(&ControlerData::TextWriteControlChange, bolIndex, text);
}

void LinkCommandQueue::SwitchLightClick(int number)
{
    queue(&ControlerData::SwitchLightClick, number);
}

void LinkCommandQueue::SensorClick(int snIndex)
{
    queue(&ControlerData::SensorClick, snIndex);
}

void LinkCommandQueue::DeleteSwitchInRoom(int swNumber)
{
    queue(&ControlerData::DeleteSwitchInRoom, swNumber);
}

void LinkCommandQueue::ChangeSwitchType(int swNumber, int iSwitchType, int iNumScene)
{
    queue(&ControlerData::ChangeSwitchType, swNumber, iSwitchType, iNumScene);
}

void LinkCommandQueue::SetSensorToLight(int lmpIndex, int snNum)
{
    queue(&ControlerData::SetSensorToLight, lmpIndex, snNum);
}
