// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "roomsnapshot.h"
#include "subsupdate.h"

#include <QAbstractSocket>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantList>

// A stand-in for the controller link as a room screen uses it: records every named call in order
// (and every room snapshot handed over) and lets a test publish poll answers and write reports.
class RoomRecordingLink : public QObject
{
    Q_OBJECT
public:
    struct Call
    {
        QString name;
        QVariantList args;
    };
    QList<Call> calls;
    QList<RoomSnapshot> rooms;

    QStringList names() const
    {
        QStringList out;
        for (const Call &c : calls)
            out << c.name;
        return out;
    }
    QString last() const
    {
        if (calls.isEmpty())
            return QString();
        QStringList parts{calls.last().name};
        for (const QVariant &v : calls.last().args)
            parts << v.toString();
        return parts.join(QLatin1Char(' '));
    }

    Q_INVOKABLE void setRoom(const RoomSnapshot &room)
    {
        rooms << room;
        rec("setRoom", {room.controls.size()});
    }
    Q_INVOKABLE void closeRoom() { rec("closeRoom", {}); }
    Q_INVOKABLE void BoolClick(int i) { rec("BoolClick", {i}); }
    Q_INVOKABLE void BoolButton1Click(int i) { rec("BoolButton1Click", {i}); }
    Q_INVOKABLE void ByteControlValClick(int i) { rec("ByteControlValClick", {i}); }
    Q_INVOKABLE void ByteControlChange(int i, int v) { rec("ByteControlChange", {i, v}); }
    Q_INVOKABLE void ChangeHeatTemp(int i, int v) { rec("ChangeHeatTemp", {i, v}); }
    Q_INVOKABLE void ChangeLightBright(int i, int v) { rec("ChangeLightBright", {i, v}); }
    Q_INVOKABLE void TextWriteControlChange(int i, const QString &t)
    {
        rec("TextWriteControlChange", {i, t});
    }
    Q_INVOKABLE void SwitchLightClick(int n) { rec("SwitchLightClick", {n}); }
    Q_INVOKABLE void SensorClick(int n) { rec("SensorClick", {n}); }
    Q_INVOKABLE void EnableLight(int i) { rec("EnableLight", {i}); }
    Q_INVOKABLE void DisableLight(int i) { rec("DisableLight", {i}); }
    Q_INVOKABLE void AddSwitchToLamp(int i, int n) { rec("AddSwitchToLamp", {i, n}); }
    Q_INVOKABLE void DelSwitchFromLamp(int i, int n) { rec("DelSwitchFromLamp", {i, n}); }
    Q_INVOKABLE void SetSensorToLight(int i, int n) { rec("SetSensorToLight", {i, n}); }
    Q_INVOKABLE void Miniscene1InRoom(int r) { rec("Miniscene1InRoom", {r}); }
    Q_INVOKABLE void Miniscene2InRoom(int r) { rec("Miniscene2InRoom", {r}); }
    Q_INVOKABLE void Miniscene3InRoom(int r) { rec("Miniscene3InRoom", {r}); }
    Q_INVOKABLE void Miniscene4InRoom(int r) { rec("Miniscene4InRoom", {r}); }
    Q_INVOKABLE void GlobalScene1Activate() { rec("GlobalScene1Activate", {}); }
    Q_INVOKABLE void GlobalScene2Activate() { rec("GlobalScene2Activate", {}); }
    Q_INVOKABLE void GlobalScene3Activate() { rec("GlobalScene3Activate", {}); }
    Q_INVOKABLE void GlobalScene4Activate() { rec("GlobalScene4Activate", {}); }
    Q_INVOKABLE void GlobalHeatScene1Activate() { rec("GlobalHeatScene1Activate", {}); }
    Q_INVOKABLE void GlobalHeatScene2Activate() { rec("GlobalHeatScene2Activate", {}); }
    Q_INVOKABLE void GlobalHeatScene3Activate() { rec("GlobalHeatScene3Activate", {}); }
    Q_INVOKABLE void GlobalHeatScene4Activate() { rec("GlobalHeatScene4Activate", {}); }
    Q_INVOKABLE void LightOnInRoom(int r) { rec("LightOnInRoom", {r}); }
    Q_INVOKABLE void LightOffInRoom(int r) { rec("LightOffInRoom", {r}); }
    Q_INVOKABLE void GlobalOnActivate() { rec("GlobalOnActivate", {}); }
    Q_INVOKABLE void GlobalOffActivate() { rec("GlobalOffActivate", {}); }
    Q_INVOKABLE void GlobalHeatOnActivate() { rec("GlobalHeatOnActivate", {}); }
    Q_INVOKABLE void GlobalHeatOffActivate() { rec("GlobalHeatOffActivate", {}); }
    Q_INVOKABLE void SaveGlobalMiniLight(int g, int m, int r)
    {
        rec("SaveGlobalMiniLight", {g, m, r});
    }
    Q_INVOKABLE void FloorHeatSave(int n) { rec("FloorHeatSave", {n}); }
    Q_INVOKABLE void ChangeSwitchType(int n, int type, int scene)
    {
        rec("ChangeSwitchType", {n, type, scene});
    }

signals:
    void ReadyUpdateControls(const QList<SubsUpdate> &answer, int contOffset);
    void ControlDataWriten(int index);
    void controlerStateChanged(QAbstractSocket::SocketState state, int ip);

private:
    void rec(const char *name, const QVariantList &args)
    {
        calls.append({QLatin1String(name), args});
    }
};
