// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "linkcommandqueue.h"

#include "controlerdata.h"

#include <QMetaObject>

namespace {

// Queues `command` with copies of its arguments to the link object. Always queued, also when the
// caller is the link thread itself: a command then still runs after the calls queued before it
// and never inside a poll tick that is in progress. A call left queued when the link is destroyed
// is dropped with it.
template<typename... Params, typename... Args>
void queue(ControlerData *link, void (ControlerData::*command)(Params...), Args... args)
{
    QMetaObject::invokeMethod(
        link, [link, command, args...] { (link->*command)(args...); }, Qt::QueuedConnection);
}

} // namespace

LinkCommandQueue::LinkCommandQueue(ControlerData *link) : m_link(link)
{
    Q_ASSERT(link);
}

void LinkCommandQueue::setRoom(const RoomSnapshot &room)
{
    queue(m_link, &ControlerData::setRoom, room);
}

void LinkCommandQueue::closeRoom()
{
    queue(m_link, &ControlerData::closeRoom);
}

void LinkCommandQueue::SetCurrentScenesRoom()
{
    queue(m_link, &ControlerData::SetCurrentScenesRoom);
}

void LinkCommandQueue::GlobalScene1Activate()
{
    queue(m_link, &ControlerData::GlobalScene1Activate);
}

void LinkCommandQueue::GlobalScene2Activate()
{
    queue(m_link, &ControlerData::GlobalScene2Activate);
}

void LinkCommandQueue::GlobalScene3Activate()
{
    queue(m_link, &ControlerData::GlobalScene3Activate);
}

void LinkCommandQueue::GlobalScene4Activate()
{
    queue(m_link, &ControlerData::GlobalScene4Activate);
}

void LinkCommandQueue::GlobalOnActivate()
{
    queue(m_link, &ControlerData::GlobalOnActivate);
}

void LinkCommandQueue::GlobalOffActivate()
{
    queue(m_link, &ControlerData::GlobalOffActivate);
}

void LinkCommandQueue::LightOnInRoom(int room)
{
    queue(m_link, &ControlerData::LightOnInRoom, room);
}

void LinkCommandQueue::LightOffInRoom(int room)
{
    queue(m_link, &ControlerData::LightOffInRoom, room);
}

void LinkCommandQueue::Miniscene1InRoom(int room)
{
    queue(m_link, &ControlerData::Miniscene1InRoom, room);
}

void LinkCommandQueue::Miniscene2InRoom(int room)
{
    queue(m_link, &ControlerData::Miniscene2InRoom, room);
}

void LinkCommandQueue::Miniscene3InRoom(int room)
{
    queue(m_link, &ControlerData::Miniscene3InRoom, room);
}

void LinkCommandQueue::Miniscene4InRoom(int room)
{
    queue(m_link, &ControlerData::Miniscene4InRoom, room);
}

void LinkCommandQueue::SaveGlobalMiniLight(int globalNumber, int miniNumber, int room)
{
    queue(m_link, &ControlerData::SaveGlobalMiniLight, globalNumber, miniNumber, room);
}

void LinkCommandQueue::GlobalHeatOnActivate()
{
    queue(m_link, &ControlerData::GlobalHeatOnActivate);
}

void LinkCommandQueue::GlobalHeatOffActivate()
{
    queue(m_link, &ControlerData::GlobalHeatOffActivate);
}

void LinkCommandQueue::GlobalHeatScene1Activate()
{
    queue(m_link, &ControlerData::GlobalHeatScene1Activate);
}

void LinkCommandQueue::GlobalHeatScene2Activate()
{
    queue(m_link, &ControlerData::GlobalHeatScene2Activate);
}

void LinkCommandQueue::GlobalHeatScene3Activate()
{
    queue(m_link, &ControlerData::GlobalHeatScene3Activate);
}

void LinkCommandQueue::GlobalHeatScene4Activate()
{
    queue(m_link, &ControlerData::GlobalHeatScene4Activate);
}

void LinkCommandQueue::FloorHeatSave(int scnNum)
{
    queue(m_link, &ControlerData::FloorHeatSave, scnNum);
}

void LinkCommandQueue::SoundStateChanged(int number, int state)
{
    queue(m_link, &ControlerData::SoundStateChanged, number, state);
}

void LinkCommandQueue::SoundStarted(int number)
{
    queue(m_link, &ControlerData::SoundStarted, number);
}

void LinkCommandQueue::SoundStoped(int number)
{
    queue(m_link, &ControlerData::SoundStoped, number);
}

void LinkCommandQueue::SoundNotfound(int number)
{
    queue(m_link, &ControlerData::SoundNotfound, number);
}

void LinkCommandQueue::SoundError(int number)
{
    queue(m_link, &ControlerData::SoundError, number);
}

void LinkCommandQueue::SinchronizeTime(uint time)
{
    queue(m_link, &ControlerData::SinchronizeTime, time);
}

void LinkCommandQueue::WritePassword(int passw)
{
    queue(m_link, &ControlerData::WritePassword, passw);
}

void LinkCommandQueue::WriteAlarm(int alarmId, char data)
{
    queue(m_link, &ControlerData::WriteAlarm, alarmId, data);
}

void LinkCommandQueue::WriteSMS(const QString &text, int number)
{
    queue(m_link, &ControlerData::WriteSMS, text, number);
}

void LinkCommandQueue::SetActivators(const GActivators &activat)
{
    queue(m_link, &ControlerData::SetActivators, activat);
}

void LinkCommandQueue::WriteGlobalScene(int number)
{
    queue(m_link, &ControlerData::WriteGlobalScene, number);
}

void LinkCommandQueue::EnableLight(int index)
{
    queue(m_link, &ControlerData::EnableLight, index);
}

void LinkCommandQueue::DisableLight(int index)
{
    queue(m_link, &ControlerData::DisableLight, index);
}

void LinkCommandQueue::ChangeLightBright(int index, int bright)
{
    queue(m_link, &ControlerData::ChangeLightBright, index, bright);
}

void LinkCommandQueue::AddSwitchToLamp(int lmpIndex, int switchNum)
{
    queue(m_link, &ControlerData::AddSwitchToLamp, lmpIndex, switchNum);
}

void LinkCommandQueue::DelSwitchFromLamp(int lmpIndex, int switchNum)
{
    queue(m_link, &ControlerData::DelSwitchFromLamp, lmpIndex, switchNum);
}

void LinkCommandQueue::BoolClick(int bolIndex)
{
    queue(m_link, &ControlerData::BoolClick, bolIndex);
}

void LinkCommandQueue::BoolButton1Click(int bolIndex)
{
    queue(m_link, &ControlerData::BoolButton1Click, bolIndex);
}

void LinkCommandQueue::ByteControlValClick(int bolIndex)
{
    queue(m_link, &ControlerData::ByteControlValClick, bolIndex);
}

void LinkCommandQueue::ByteControlChange(int bolIndex, int value)
{
    queue(m_link, &ControlerData::ByteControlChange, bolIndex, value);
}

void LinkCommandQueue::ChangeHeatTemp(int index, int bright)
{
    queue(m_link, &ControlerData::ChangeHeatTemp, index, bright);
}

void LinkCommandQueue::TextWriteControlChange(int bolIndex, const QString &text)
{
    queue(m_link, &ControlerData::TextWriteControlChange, bolIndex, text);
}

void LinkCommandQueue::SwitchLightClick(int number)
{
    queue(m_link, &ControlerData::SwitchLightClick, number);
}

void LinkCommandQueue::SensorClick(int snIndex)
{
    queue(m_link, &ControlerData::SensorClick, snIndex);
}

void LinkCommandQueue::DeleteSwitchInRoom(int swNumber)
{
    queue(m_link, &ControlerData::DeleteSwitchInRoom, swNumber);
}

void LinkCommandQueue::ChangeSwitchType(int swNumber, int iSwitchType, int iNumScene)
{
    queue(m_link, &ControlerData::ChangeSwitchType, swNumber, iSwitchType, iNumScene);
}

void LinkCommandQueue::SetSensorToLight(int lmpIndex, int snNum)
{
    queue(m_link, &ControlerData::SetSensorToLight, lmpIndex, snNum);
}
