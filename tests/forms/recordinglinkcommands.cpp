// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "recordinglinkcommands.h"

QStringList RecordingLinkCommands::names() const
{
    QStringList out;
    for (const Call &c : calls)
        out << c.name;
    return out;
}

QStringList RecordingLinkCommands::texts() const
{
    QStringList out;
    for (const Call &c : calls) {
        QStringList parts{c.name};
        for (const QVariant &v : c.args)
            parts << v.toString();
        out << parts.join(QLatin1Char(' '));
    }
    return out;
}

QString RecordingLinkCommands::last() const
{
    const QStringList all = texts();
    return all.isEmpty() ? QString() : all.last();
}

void RecordingLinkCommands::clear()
{
    calls.clear();
    rooms.clear();
}

void RecordingLinkCommands::record(const char *name, const QVariantList &args)
{
    calls.append({QLatin1String(name), args});
}

void RecordingLinkCommands::setRoom(const RoomSnapshot &room)
{
    rooms << room;
    record("setRoom", {room.controls.size()});
}

void RecordingLinkCommands::closeRoom()
{
    record("closeRoom", {});
}

void RecordingLinkCommands::SetCurrentScenesRoom()
{
    record("SetCurrentScenesRoom", {});
}

void RecordingLinkCommands::GlobalScene1Activate()
{
    record("GlobalScene1Activate", {});
}

void RecordingLinkCommands::GlobalScene2Activate()
{
    record("GlobalScene2Activate", {});
}

void RecordingLinkCommands::GlobalScene3Activate()
{
    record("GlobalScene3Activate", {});
}

void RecordingLinkCommands::GlobalScene4Activate()
{
    record("GlobalScene4Activate", {});
}

void RecordingLinkCommands::GlobalOnActivate()
{
    record("GlobalOnActivate", {});
}

void RecordingLinkCommands::GlobalOffActivate()
{
    record("GlobalOffActivate", {});
}

void RecordingLinkCommands::LightOnInRoom(int room)
{
    record("LightOnInRoom", {room});
}

void RecordingLinkCommands::LightOffInRoom(int room)
{
    record("LightOffInRoom", {room});
}

void RecordingLinkCommands::Miniscene1InRoom(int room)
{
    record("Miniscene1InRoom", {room});
}

void RecordingLinkCommands::Miniscene2InRoom(int room)
{
    record("Miniscene2InRoom", {room});
}

void RecordingLinkCommands::Miniscene3InRoom(int room)
{
    record("Miniscene3InRoom", {room});
}

void RecordingLinkCommands::Miniscene4InRoom(int room)
{
    record("Miniscene4InRoom", {room});
}

void RecordingLinkCommands::SaveGlobalMiniLight(int globalNumber, int miniNumber, int room)
{
    record("SaveGlobalMiniLight", {globalNumber, miniNumber, room});
}

void RecordingLinkCommands::GlobalHeatOnActivate()
{
    record("GlobalHeatOnActivate", {});
}

void RecordingLinkCommands::GlobalHeatOffActivate()
{
    record("GlobalHeatOffActivate", {});
}

void RecordingLinkCommands::GlobalHeatScene1Activate()
{
    record("GlobalHeatScene1Activate", {});
}

void RecordingLinkCommands::GlobalHeatScene2Activate()
{
    record("GlobalHeatScene2Activate", {});
}

void RecordingLinkCommands::GlobalHeatScene3Activate()
{
    record("GlobalHeatScene3Activate", {});
}

void RecordingLinkCommands::GlobalHeatScene4Activate()
{
    record("GlobalHeatScene4Activate", {});
}

void RecordingLinkCommands::FloorHeatSave(int scnNum)
{
    record("FloorHeatSave", {scnNum});
}

void RecordingLinkCommands::SoundStateChanged(int number, int state)
{
    record("SoundStateChanged", {number, state});
}

void RecordingLinkCommands::SoundStarted(int number)
{
    record("SoundStarted", {number});
}

void RecordingLinkCommands::SoundStoped(int number)
{
    record("SoundStoped", {number});
}

void RecordingLinkCommands::SoundNotfound(int number)
{
    record("SoundNotfound", {number});
}

void RecordingLinkCommands::SoundError(int number)
{
    record("SoundError", {number});
}

void RecordingLinkCommands::SinchronizeTime(uint time)
{
    record("SinchronizeTime", {time});
}

void RecordingLinkCommands::WritePassword(int passw)
{
    record("WritePassword", {passw});
}

void RecordingLinkCommands::WriteAlarm(int alarmId, char data)
{
    // The state byte as the controller stores it, unsigned.
    record("WriteAlarm", {alarmId, int(quint8(data))});
}

void RecordingLinkCommands::WriteSMS(const QString &text, int number)
{
    record("WriteSMS", {text, number});
}

void RecordingLinkCommands::SetActivators(const GActivators &activat)
{
    record("SetActivators", {QVariant::fromValue(activat)});
}

void RecordingLinkCommands::WriteGlobalScene(int number)
{
    record("WriteGlobalScene", {number});
}

void RecordingLinkCommands::EnableLight(int index)
{
    record("EnableLight", {index});
}

void RecordingLinkCommands::DisableLight(int index)
{
    record("DisableLight", {index});
}

void RecordingLinkCommands::ChangeLightBright(int index, int bright)
{
    record("ChangeLightBright", {index, bright});
}

void RecordingLinkCommands::AddSwitchToLamp(int lmpIndex, int switchNum)
{
    record("AddSwitchToLamp", {lmpIndex, switchNum});
}

void RecordingLinkCommands::DelSwitchFromLamp(int lmpIndex, int switchNum)
{
    record("DelSwitchFromLamp", {lmpIndex, switchNum});
}

void RecordingLinkCommands::BoolClick(int bolIndex)
{
    record("BoolClick", {bolIndex});
}

void RecordingLinkCommands::BoolButton1Click(int bolIndex)
{
    record("BoolButton1Click", {bolIndex});
}

void RecordingLinkCommands::ByteControlValClick(int bolIndex)
{
    record("ByteControlValClick", {bolIndex});
}

void RecordingLinkCommands::ByteControlChange(int bolIndex, int value)
{
    record("ByteControlChange", {bolIndex, value});
}

void RecordingLinkCommands::ChangeHeatTemp(int index, int bright)
{
    record("ChangeHeatTemp", {index, bright});
}

void RecordingLinkCommands::TextWriteControlChange(int bolIndex, const QString &text)
{
    record("TextWriteControlChange", {bolIndex, text});
}

void RecordingLinkCommands::SwitchLightClick(int number)
{
    record("SwitchLightClick", {number});
}

void RecordingLinkCommands::SensorClick(int snIndex)
{
    record("SensorClick", {snIndex});
}

void RecordingLinkCommands::DeleteSwitchInRoom(int swNumber)
{
    record("DeleteSwitchInRoom", {swNumber});
}

void RecordingLinkCommands::ChangeSwitchType(int swNumber, int iSwitchType, int iNumScene)
{
    record("ChangeSwitchType", {swNumber, iSwitchType, iNumScene});
}

void RecordingLinkCommands::SetSensorToLight(int lmpIndex, int snNum)
{
    record("SetSensorToLight", {lmpIndex, snNum});
}
