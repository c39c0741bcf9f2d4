// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controllertypes.h"
#include "roomsnapshot.h"

#include <QObject>
#include <QString>

// The commands the screens send to the controller link, one method per command, named and typed
// as the link's own methods. Every call returns at once: the link's implementation queues it into
// the link thread, where it runs between two poll ticks in the order the calls were made. A test
// puts a recording object implementing this interface where the link would be.
class LinkCommands
{
public:
    virtual ~LinkCommands() = default;

    // Which page the link polls: a room screen hands over its page as a value snapshot when it
    // is shown and lets go of it when hidden; the scenes screen asks for the scene area.
    virtual void setRoom(const RoomSnapshot &room) = 0;
    virtual void closeRoom() = 0;
    virtual void SetCurrentScenesRoom() = 0;

    // Lighting: global scenes, all on / off, per-room miniscenes and saving the current state
    // into a scene (the lighting command words).
    virtual void GlobalScene1Activate() = 0;
    virtual void GlobalScene2Activate() = 0;
    virtual void GlobalScene3Activate() = 0;
    virtual void GlobalScene4Activate() = 0;
    virtual void GlobalOnActivate() = 0;
    virtual void GlobalOffActivate() = 0;
    virtual void LightOnInRoom(int room) = 0;
    virtual void LightOffInRoom(int room) = 0;
    virtual void Miniscene1InRoom(int room) = 0;
    virtual void Miniscene2InRoom(int room) = 0;
    virtual void Miniscene3InRoom(int room) = 0;
    virtual void Miniscene4InRoom(int room) = 0;
    virtual void SaveGlobalMiniLight(int globalNumber, int miniNumber, int room) = 0;

    // Heating: all on / off, global heating scenes and saving one (the heating command word).
    virtual void GlobalHeatOnActivate() = 0;
    virtual void GlobalHeatOffActivate() = 0;
    virtual void GlobalHeatScene1Activate() = 0;
    virtual void GlobalHeatScene2Activate() = 0;
    virtual void GlobalHeatScene3Activate() = 0;
    virtual void GlobalHeatScene4Activate() = 0;
    virtual void FloorHeatSave(int scnNum) = 0;

    // Sound feedback: how playing the sound the controller asked for went.
    virtual void SoundStateChanged(int number, int state) = 0;
    virtual void SoundStarted(int number) = 0;
    virtual void SoundStoped(int number) = 0;
    virtual void SoundNotfound(int number) = 0;
    virtual void SoundError(int number) = 0;

    // Plain writes: clock, keypad code, an alarm's state, a scene's text and definition.
    // SetActivators hands over the definition the next WriteGlobalScene writes.
    virtual void SinchronizeTime(uint time) = 0;
    virtual void WritePassword(int passw) = 0;
    virtual void WriteAlarm(int alarmId, char data) = 0;
    virtual void WriteSMS(const QString &text, int number) = 0;
    virtual void SetActivators(const GActivators &activat) = 0;
    virtual void WriteGlobalScene(int number) = 0;

    // One control of the polled room, by its index in the room's control list.
    virtual void EnableLight(int index) = 0;
    virtual void DisableLight(int index) = 0;
    virtual void ChangeLightBright(int index, int bright) = 0;
    virtual void AddSwitchToLamp(int lmpIndex, int switchNum) = 0;
    virtual void DelSwitchFromLamp(int lmpIndex, int switchNum) = 0;
    virtual void BoolClick(int bolIndex) = 0;
    virtual void BoolButton1Click(int bolIndex) = 0;
    virtual void ByteControlValClick(int bolIndex) = 0;
    virtual void ByteControlChange(int bolIndex, int value) = 0;
    virtual void ChangeHeatTemp(int index, int bright) = 0;
    virtual void TextWriteControlChange(int bolIndex, const QString &text) = 0;

    // All lamps of the polled room: by switch, by sensor, and the switch and sensor bindings.
    virtual void SwitchLightClick(int number) = 0;
    virtual void SensorClick(int snIndex) = 0;
    virtual void DeleteSwitchInRoom(int swNumber) = 0;
    virtual void ChangeSwitchType(int swNumber, int iSwitchType, int iNumScene) = 0;
    virtual void SetSensorToLight(int lmpIndex, int snNum) = 0;
};

Q_DECLARE_INTERFACE(LinkCommands, "org.verandix.LinkCommands/1")
