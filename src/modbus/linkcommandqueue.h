// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "linkcommands.h"

class ControlerData;

// The controller link's own LinkCommands: every call is queued to the link object and runs in the
// link thread, between two poll ticks, after everything queued to the link before it. Owned by
// the link (ControlerData::commands() and backgroundCommands()); callable from any thread. The
// background queue addresses the controls of the link's background set.
class LinkCommandQueue final : public LinkCommands
{
public:
    enum class Target { ShownRoom, Background };
    explicit LinkCommandQueue(ControlerData *link, Target target = Target::ShownRoom);

    void setRoom(const RoomSnapshot &room) override;
    void closeRoom() override;
    void SetCurrentScenesRoom() override;

    void GlobalScene1Activate() override;
    void GlobalScene2Activate() override;
    void GlobalScene3Activate() override;
    void GlobalScene4Activate() override;
    void GlobalOnActivate() override;
    void GlobalOffActivate() override;
    void LightOnInRoom(int room) override;
    void LightOffInRoom(int room) override;
    void Miniscene1InRoom(int room) override;
    void Miniscene2InRoom(int room) override;
    void Miniscene3InRoom(int room) override;
    void Miniscene4InRoom(int room) override;
    void SaveGlobalMiniLight(int globalNumber, int miniNumber, int room) override;

    void GlobalHeatOnActivate() override;
    void GlobalHeatOffActivate() override;
    void GlobalHeatScene1Activate() override;
    void GlobalHeatScene2Activate() override;
    void GlobalHeatScene3Activate() override;
    void GlobalHeatScene4Activate() override;
    void FloorHeatSave(int scnNum) override;

    void SoundStateChanged(int number, int state) override;
    void SoundStarted(int number) override;
    void SoundStoped(int number) override;
    void SoundNotfound(int number) override;
    void SoundError(int number) override;

    void SinchronizeTime(uint time) override;
    void WritePassword(int passw) override;
    void WriteAlarm(int alarmId, char data) override;
    void WriteSMS(const QString &text, int number) override;
    void SetActivators(const GActivators &activat) override;
    void WriteGlobalScene(int number) override;

    void EnableLight(int index) override;
    void DisableLight(int index) override;
    void ChangeLightBright(int index, int bright) override;
    void AddSwitchToLamp(int lmpIndex, int switchNum) override;
    void DelSwitchFromLamp(int lmpIndex, int switchNum) override;
    void BoolClick(int bolIndex) override;
    void BoolButton1Click(int bolIndex) override;
    void ByteControlValClick(int bolIndex) override;
    void ByteControlChange(int bolIndex, int value) override;
    void ChangeHeatTemp(int index, int bright) override;
    void TextWriteControlChange(int bolIndex, const QString &text) override;

    void SwitchLightClick(int number) override;
    void SensorClick(int snIndex) override;
    void DeleteSwitchInRoom(int swNumber) override;
    void ChangeSwitchType(int swNumber, int iSwitchType, int iNumScene) override;
    void SetSensorToLight(int lmpIndex, int snNum) override;

private:
    template<typename... Params, typename... Args>
    void queue(void (ControlerData::*command)(Params...), Args... args);

    ControlerData *m_link;
    Target m_target;
};
