// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controllertypes.h"
#include "linkcommands.h"
#include "roomsnapshot.h"
#include "subsupdate.h"

#include <QAbstractSocket>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantList>

// A stand-in for the controller link: implements every command, records each call in order with
// its arguments (and every room snapshot handed over), and carries the link's signals so that a
// test can publish poll answers, status records, scene data, write reports and socket states.
class RecordingLinkCommands : public QObject, public LinkCommands
{
    Q_OBJECT
    Q_INTERFACES(LinkCommands)
public:
    struct Call
    {
        QString name;
        QVariantList args;
    };
    QList<Call> calls;
    QList<RoomSnapshot> rooms;

    QStringList names() const;
    // Every call as its name followed by its arguments, separated by blanks.
    QStringList texts() const;
    // The last call in that form; empty when there was none.
    QString last() const;
    // Forgets the calls and the snapshots.
    void clear();

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

signals:
    void ReadyUpdateControls(const QList<SubsUpdate> &answer, int contOffset);
    void ReadyUpdateAlerts(const ReservVariables &currentVariables);
    void ReadyUpdateScenes(const ScenesStruct &currentScenes);
    void ControlDataWriten(int index);
    void controlerStateChanged(QAbstractSocket::SocketState socket_state, int ip);

private:
    void record(const char *name, const QVariantList &args);
};
