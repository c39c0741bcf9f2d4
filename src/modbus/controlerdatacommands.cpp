// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The named commands of the controller link: read-modify-write of the command words, commands on
// one control's window, and the room-wide lamp commands worked on the blocks of the last poll.
#include "controlerdata.h"
#include "controlerdata_p.h"
#include "linkhandover.h"

#include "controlconstants.h"
#include "controllertext.h"
#include "dynamiccontrolv1.h"
#include "modbusconstants.h"

#include <QtEndian>
#include <algorithm>

using namespace ModbusLink;
using ControlConstants::Kind;

namespace {

// Position of an item's record in its block's data.
int recordPosition(const SubsUpdate &block, const SubsUpdateItem &item)
{
    return (item.registerNumber - block.start) * 2 + item.oddOffset;
}

bool recordComplete(const SubsUpdate &block, int position)
{
    return position >= 0 && position + kLampRecordBytes <= block.data.size();
}

quint8 byteAt(const QByteArray &data, int position)
{
    return quint8(data.at(position));
}

QByteArray littleEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

// Text in the controller's encoding, cut to `length` bytes between two characters and padded
// with NUL bytes to it: the text never reaches past the window it was meant for.
QByteArray fixedText(const QString &text, int length)
{
    QByteArray bytes = ControllerText::encode(text, length);
    bytes.append(QByteArray(length - bytes.size(), '\0'));
    return bytes;
}

enum class Lookup { Found, NotSelected, Missing };

Lookup findControl(const RoomSnapshot &room, bool ready, int index,
                   std::initializer_list<int> kinds, RoomControlWindow *out)
{
    if (!ready || !room.valid)
        return Lookup::NotSelected;
    if (index < 0 || index >= room.controls.size())
        return Lookup::Missing;
    const RoomControlWindow &c = room.controls.at(index);
    if (std::find(kinds.begin(), kinds.end(), c.kind) == kinds.end())
        return Lookup::Missing;
    *out = c;
    return Lookup::Found;
}

// The lamp's window as the room screen received it with the last answer: its fetch length from
// the last block holding its register (later blocks overwrite earlier ones there too).
QByteArray lampWindow(const QList<SubsUpdate> &blocks, int reg, int fetchLength)
{
    QByteArray window;
    for (const SubsUpdate &block : blocks) {
        if (block.data.isEmpty() || reg < block.start || reg >= block.end)
            continue;
        window = block.data.mid(qMax(0, 2 * (reg - block.start)), fetchLength);
    }
    return window;
}

// Calls `edit` for every lamp item of every block with its record (null when the block's data
// does not hold the whole record). `edit` returns false to skip the rest of that block's items.
template<typename Edit> void forEachLampRecord(QList<SubsUpdate> &blocks, Edit edit)
{
    for (SubsUpdate &block : blocks) {
        for (const SubsUpdateItem &item : qAsConst(block.items)) {
            if (item.kind != ControlConstants::KindLight)
                continue;
            const int p = recordPosition(block, item);
            if (!edit(item, recordComplete(block, p) ? block.data.data() + p : nullptr))
                break;
        }
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Shared steps of the commands

// Read-modify-write of a command area: the read only has to return something, and bytes it did
// not return count as 0.
bool ControlerData::ControlerDataPrivate::readArea(ControlerData *q, int reg, int size,
                                                   QByteArray *bytes)
{
    *bytes = q->getModbusData(reg, size);
    if (bytes->isEmpty())
        return false;
    if (bytes->size() < size)
        bytes->append(QByteArray(size - bytes->size(), '\0'));
    return true;
}

template<typename Edit>
void ControlerData::ControlerDataPrivate::areaCommand(ControlerData *q, int word, int size,
                                                      Edit edit)
{
    if (!ready)
        return;
    const int reg = registerOffset + word;
    QByteArray bytes;
    if (!readArea(q, reg, size, &bytes))
        return;
    edit(bytes.data());
    q->setModbusData(reg, bytes.left(size));
}

void ControlerData::ControlerDataPrivate::roomCommand(ControlerData *q, int command, int roomNumber)
{
    lightCommand(q, [=](char *b) {
        b[kLightRoomCommand] = char(command);
        b[kLightRoomNumber] = char(roomNumber);
    });
}

void ControlerData::ControlerDataPrivate::heatCommand(ControlerData *q, int command)
{
    areaCommand(q, kHeatCommandWord, kHeatCommandBytes, [=](char *b) { b[0] = char(command); });
}

// A command on one control's window (fetchLength bytes from its first register): look the control
// up in the room snapshot, read the window, let `edit` change the control's bytes (false: write
// nothing) and write the window back. `signal`: the command reports ControlDataWriten.
template<typename Edit>
void ControlerData::ControlerDataPrivate::windowCommand(ControlerData *q, int index,
                                                        std::initializer_list<int> kinds,
                                                        int minimumBytes, bool signal, Edit edit)
{
    // The index of a background control means nothing to the screen listening for the signal.
    signal = signal && !onBackground;
    RoomControlWindow c;
    const Lookup found = findControl(room, ready, index, kinds, &c);
    if (found == Lookup::NotSelected) {
        // Lets the widget drop its pending state: nothing will be written.
        if (signal) {
            LinkHandOver::publish();
            emit q->ControlDataWriten(index);
        }
        return;
    }
    if (found == Lookup::Missing || c.fetchLength < c.oddOffset + minimumBytes)
        return;
    const int reg = DynamicControlV1::firstRegister(registerOffset, c.byteAddress);
    // A window past the last register would wrap onto register 0 on the wire.
    if (qint64(reg) + (c.fetchLength + 1) / 2 > kRegisterCount)
        return;
    QByteArray window = q->getModbusData(reg, c.fetchLength);
    if (window.size() < c.fetchLength)
        return;
    if (!edit(c, window.data() + c.oddOffset))
        return;
    q->setModbusData(reg, window);
    if (signal) {
        LinkHandOver::publish();
        emit q->ControlDataWriten(index);
    }
}

void ControlerData::ControlerDataPrivate::writeBackBlocks(ControlerData *q)
{
    for (const SubsUpdate &block : qAsConst(requests)) {
        if (!block.data.isEmpty())
            q->setModbusData(block.start, block.data);
    }
}

// SwitchLightClick and SensorClick: the lamps whose record `match`es; if any of them has `bit` set
// it is cleared in all of them, else set in all of them. The records are those of the last poll,
// the link's own copy of what the room screen received: the controls' data belongs to the GUI.
template<typename Match>
void ControlerData::ControlerDataPrivate::toggleLamps(ControlerData *q, quint8 bit, Match match)
{
    if (!ready || !room.valid)
        return;
    QList<int> matching;
    bool anySet = false;
    const int offset = registerOffset;
    for (int i = 0; i < room.controls.size(); ++i) {
        const RoomControlWindow &c = room.controls.at(i);
        if (c.kind != ControlConstants::KindLight || c.deleted)
            continue;
        const QByteArray window = lampWindow(
            requests, DynamicControlV1::firstRegister(offset, c.byteAddress), c.fetchLength);
        if (window.size() < c.oddOffset + kLampRecordBytes)
            continue;
        const char *record = window.constData() + c.oddOffset;
        if (!match(record))
            continue;
        matching.append(i);
        anySet = anySet || (quint8(record[kLampState]) & bit);
    }
    forEachLampRecord(requests, [&](const SubsUpdateItem &item, char *record) {
        if (record && matching.contains(item.index)) {
            record[kLampState] = anySet ? char(quint8(record[kLampState]) & ~bit)
                                        : char(quint8(record[kLampState]) | bit);
        }
        return true;
    });
    writeBackBlocks(q);
    publishRequests();
}

// ---------------------------------------------------------------------------------------------
// Command words

void ControlerData::GlobalScene1Activate()
{
    VERANDIX_LINK_ENTRY(GlobalScene1Activate())
    d->lightCommand(this, [](char *b) { b[kLightGlobalCommand] = char(1); });
}

void ControlerData::GlobalScene2Activate()
{
    VERANDIX_LINK_ENTRY(GlobalScene2Activate())
    d->lightCommand(this, [](char *b) { b[kLightGlobalCommand] = char(2); });
}

void ControlerData::GlobalScene3Activate()
{
    VERANDIX_LINK_ENTRY(GlobalScene3Activate())
    d->lightCommand(this, [](char *b) { b[kLightGlobalCommand] = char(3); });
}

void ControlerData::GlobalScene4Activate()
{
    VERANDIX_LINK_ENTRY(GlobalScene4Activate())
    d->lightCommand(this, [](char *b) { b[kLightGlobalCommand] = char(4); });
}

void ControlerData::GlobalOnActivate()
{
    VERANDIX_LINK_ENTRY(GlobalOnActivate())
    d->lightCommand(this, [](char *b) { b[kLightGlobalCommand] = char(kCommandAllOn); });
}

void ControlerData::GlobalOffActivate()
{
    VERANDIX_LINK_ENTRY(GlobalOffActivate())
    d->lightCommand(this, [](char *b) { b[kLightGlobalCommand] = char(kCommandAllOff); });
}

void ControlerData::LightOnInRoom(int room)
{
    VERANDIX_LINK_ENTRY(LightOnInRoom(room))
    d->roomCommand(this, kCommandAllOn, room);
}

void ControlerData::LightOffInRoom(int room)
{
    VERANDIX_LINK_ENTRY(LightOffInRoom(room))
    d->roomCommand(this, kCommandAllOff, room);
}

void ControlerData::Miniscene1InRoom(int room)
{
    VERANDIX_LINK_ENTRY(Miniscene1InRoom(room))
    d->roomCommand(this, 1, room);
}

void ControlerData::Miniscene2InRoom(int room)
{
    VERANDIX_LINK_ENTRY(Miniscene2InRoom(room))
    d->roomCommand(this, 2, room);
}

void ControlerData::Miniscene3InRoom(int room)
{
    VERANDIX_LINK_ENTRY(Miniscene3InRoom(room))
    d->roomCommand(this, 3, room);
}

void ControlerData::Miniscene4InRoom(int room)
{
    VERANDIX_LINK_ENTRY(Miniscene4InRoom(room))
    d->roomCommand(this, 4, room);
}

void ControlerData::SaveGlobalMiniLight(int globalNumber, int miniNumber, int room)
{
    VERANDIX_LINK_ENTRY(SaveGlobalMiniLight(globalNumber, miniNumber, room))
    if (miniNumber <= 0)
        return;
    d->lightCommand(this, [=](char *b) {
        if (globalNumber > 0)
            b[kLightSceneToSave] = char(globalNumber);
        b[kLightRoomCommand] = char(miniNumber + kCommandSaveSceneBase);
        b[kLightRoomNumber] = char(room);
    });
}

void ControlerData::GlobalHeatOnActivate()
{
    VERANDIX_LINK_ENTRY(GlobalHeatOnActivate())
    d->heatCommand(this, kCommandAllOn);
}

void ControlerData::GlobalHeatOffActivate()
{
    VERANDIX_LINK_ENTRY(GlobalHeatOffActivate())
    d->heatCommand(this, kCommandAllOff);
}

void ControlerData::GlobalHeatScene1Activate()
{
    VERANDIX_LINK_ENTRY(GlobalHeatScene1Activate())
    d->heatCommand(this, 1);
}

void ControlerData::GlobalHeatScene2Activate()
{
    VERANDIX_LINK_ENTRY(GlobalHeatScene2Activate())
    d->heatCommand(this, 2);
}

void ControlerData::GlobalHeatScene3Activate()
{
    VERANDIX_LINK_ENTRY(GlobalHeatScene3Activate())
    d->heatCommand(this, 3);
}

void ControlerData::GlobalHeatScene4Activate()
{
    VERANDIX_LINK_ENTRY(GlobalHeatScene4Activate())
    d->heatCommand(this, 4);
}

void ControlerData::FloorHeatSave(int scnNum)
{
    VERANDIX_LINK_ENTRY(FloorHeatSave(scnNum))
    d->heatCommand(this, scnNum + kCommandSaveSceneBase);
}

void ControlerData::SoundStateChanged(int number, int state)
{
    VERANDIX_LINK_ENTRY(SoundStateChanged(number, state))
    if (!d->ready)
        return;
    const int reg = d->registerOffset + kSoundWord;
    QByteArray bytes;
    if (!d->readArea(this, reg, 2, &bytes))
        return;
    // Only answer for the sound the controller still asks for; it may have moved on meanwhile.
    if (byteAt(bytes, 0) != number)
        return;
    bytes[1] = char(state);
    setModbusData(reg, bytes.left(2));
}

void ControlerData::SoundStarted(int number)
{
    VERANDIX_LINK_ENTRY(SoundStarted(number))
    SoundStateChanged(number, kSoundStarted);
}

void ControlerData::SoundStoped(int number)
{
    VERANDIX_LINK_ENTRY(SoundStoped(number))
    SoundStateChanged(number, kSoundStopped);
}

void ControlerData::SoundNotfound(int number)
{
    VERANDIX_LINK_ENTRY(SoundNotfound(number))
    SoundStateChanged(number, kSoundNotFound);
}

void ControlerData::SoundError(int number)
{
    VERANDIX_LINK_ENTRY(SoundError(number))
    SoundStateChanged(number, kSoundError);
}

void ControlerData::SinchronizeTime(uint time)
{
    VERANDIX_LINK_ENTRY(SinchronizeTime(time))
    if (!d->ready)
        return;
    setModbusData(d->registerOffset + kTimeWord, littleEndian32(time));
}

void ControlerData::WritePassword(int passw)
{
    VERANDIX_LINK_ENTRY(WritePassword(passw))
    if (!d->ready)
        return;
    setModbusData(d->registerOffset + kPasswordWord, littleEndian32(quint32(passw)));
}

void ControlerData::WriteAlarm(int alarmId, char data)
{
    VERANDIX_LINK_ENTRY(WriteAlarm(alarmId, data))
    if (!d->ready)
        return;
    QByteArray bytes;
    bytes.append(char(alarmId & 0xFF));
    bytes.append(data);
    setModbusData(d->registerOffset + kAlarmWord, bytes);
}

void ControlerData::WriteSMS(const QString &text, int number)
{
    VERANDIX_LINK_ENTRY(WriteSMS(text, number))
    if (!d->ready)
        return;
    // Only the ten text slots exist: any other number would land in the scene definitions or
    // beyond the scene area.
    if (number < 0 || number >= kSceneTextCount)
        return;
    const QString shortText = ControllerText::fitted(text, kSceneTextBytes);
    if (number < d->scenes.names.size())
        d->scenes.names[number] = shortText;
    QByteArray bytes = fixedText(shortText, kSceneTextBytes);
    bytes.append('\0');
    setModbusData(d->registerOffset + kSceneAreaWord + kSceneTextWordStride * number, bytes);
}

void ControlerData::SetActivators(const GActivators &activat)
{
    VERANDIX_LINK_ENTRY(SetActivators(activat))
    d->scenes.currentActivators = activat;
}

void ControlerData::WriteGlobalScene(int number)
{
    VERANDIX_LINK_ENTRY(WriteGlobalScene(number))
    if (!d->ready)
        return;
    // Eight definitions exist; another number would overwrite memory past the scene area.
    if (number < 0 || number >= kGlobalSceneCount)
        return;
    const QByteArray bytes = d->scenes.currentActivators.toControllerOrder();
    setModbusData(d->registerOffset + kGlobalSceneWord + kGlobalSceneWordStride * number, bytes);
}

// ---------------------------------------------------------------------------------------------
// Commands on one control

void ControlerData::EnableLight(int index)
{
    VERANDIX_LINK_ENTRY(EnableLight(index))
    d->windowCommand(this, index, {Kind::KindLight}, kLampRecordBytes, true,
                     [](const RoomControlWindow &, char *b) {
                         b[kLampState] = char(b[kLampState] | kLampOnBit);
                         return true;
                     });
}

void ControlerData::DisableLight(int index)
{
    VERANDIX_LINK_ENTRY(DisableLight(index))
    d->windowCommand(this, index, {Kind::KindLight}, kLampRecordBytes, true,
                     [](const RoomControlWindow &, char *b) {
                         b[kLampState] = char(b[kLampState] & ~kLampOnBit);
                         return true;
                     });
}

void ControlerData::ChangeLightBright(int index, int bright)
{
    VERANDIX_LINK_ENTRY(ChangeLightBright(index, bright))
    d->windowCommand(this, index, {Kind::KindLight}, kLampRecordBytes, true,
                     [bright](const RoomControlWindow &, char *b) {
                         b[kLampState] =
                             char((quint8(b[kLampState]) & ~kLampBrightnessMask) |
                                  ((bright << kLampBrightnessShift) & kLampBrightnessMask));
                         return true;
                     });
}

void ControlerData::AddSwitchToLamp(int lmpIndex, int switchNum)
{
    VERANDIX_LINK_ENTRY(AddSwitchToLamp(lmpIndex, switchNum))
    d->windowCommand(this, lmpIndex, {Kind::KindLight}, kLampRecordBytes, false,
                     [switchNum](const RoomControlWindow &, char *b) {
                         for (int k = kLampSwitch1; k <= kLampSwitch3; ++k) {
                             if (quint8(b[k]) == switchNum)
                                 b[k] = 0;
                         }
                         for (int k = kLampSwitch1; k <= kLampSwitch3; ++k) {
                             if (b[k] == 0) {
                                 b[k] = char(switchNum);
                                 return true;
                             }
                         }
                         return false; // all three slots taken by other switches
                     });
}

void ControlerData::DelSwitchFromLamp(int lmpIndex, int switchNum)
{
    VERANDIX_LINK_ENTRY(DelSwitchFromLamp(lmpIndex, switchNum))
    d->windowCommand(this, lmpIndex, {Kind::KindLight}, kLampRecordBytes, false,
                     [switchNum](const RoomControlWindow &, char *b) {
                         bool cleared = false;
                         for (int k = kLampSwitch1; k <= kLampSwitch3; ++k) {
                             if (quint8(b[k]) == switchNum) {
                                 b[k] = 0;
                                 cleared = true;
                             }
                         }
                         return cleared;
                     });
}

void ControlerData::BoolClick(int bolIndex)
{
    VERANDIX_LINK_ENTRY(BoolClick(bolIndex))
    d->windowCommand(this, bolIndex, {Kind::KindBool}, 1, true,
                     [](const RoomControlWindow &c, char *b) {
                         // A bit number from a project file outside 0..7 names no bit of the byte.
                         if (c.readOnly || c.bitNumber < 0 || c.bitNumber > 7)
                             return false;
                         b[0] = char(quint8(b[0]) ^ (1u << c.bitNumber));
                         return true;
                     });
}

void ControlerData::BoolButton1Click(int bolIndex)
{
    VERANDIX_LINK_ENTRY(BoolButton1Click(bolIndex))
    d->windowCommand(this, bolIndex, {Kind::KindBtn}, 1, false,
                     [](const RoomControlWindow &c, char *b) {
                         if (c.bitNumber < 0 || c.bitNumber > 7)
                             return false;
                         b[0] = char(quint8(b[0]) | (1u << c.bitNumber));
                         return true;
                     });
}

void ControlerData::ByteControlValClick(int bolIndex)
{
    VERANDIX_LINK_ENTRY(ByteControlValClick(bolIndex))
    d->windowCommand(this, bolIndex, {Kind::KindResbt}, 1, false,
                     [](const RoomControlWindow &c, char *b) {
                         b[0] = char(c.val);
                         return true;
                     });
}

void ControlerData::ByteControlChange(int bolIndex, int value)
{
    VERANDIX_LINK_ENTRY(ByteControlChange(bolIndex, value))
    d->windowCommand(this, bolIndex, {Kind::KindByte, Kind::KindHSlider, Kind::KindVSlider}, 4,
                     true, [value](const RoomControlWindow &c, char *b) {
                         if (c.typeD == ControlConstants::TypeWord)
                             qToLittleEndian(quint16(value), b);
                         else if (c.typeD == ControlConstants::TypeDWord)
                             qToLittleEndian(quint32(value), b);
                         else
                             b[0] = char(value & 0xFF);
                         return true;
                     });
}

void ControlerData::ChangeHeatTemp(int index, int bright)
{
    VERANDIX_LINK_ENTRY(ChangeHeatTemp(index, bright))
    d->windowCommand(this, index, {Kind::KindHeat}, kThermostatRecordBytes, true,
                     [bright](const RoomControlWindow &, char *b) {
                         // The set point, in steps of kTemperatureStep degrees.
                         b[kThermostatSetPoint] = char(bright & 0xFF);
                         return true;
                     });
}

void ControlerData::TextWriteControlChange(int bolIndex, const QString &text)
{
    VERANDIX_LINK_ENTRY(TextWriteControlChange(bolIndex, text))
    RoomControlWindow c;
    if (findControl(d->room, d->ready, bolIndex, {Kind::KindTextWrite}, &c) != Lookup::Found)
        return;
    if (c.maximum < 1 || c.maximum > kMaxTextBytes)
        return;
    // Written at the control's register as it stands: the text window starts on a register.
    const int reg = DynamicControlV1::firstRegister(d->registerOffset, c.byteAddress);
    if (qint64(reg) + (c.maximum + 1) / 2 > kRegisterCount)
        return;
    setModbusData(reg, fixedText(text, c.maximum));
}

// ---------------------------------------------------------------------------------------------
// Commands on all lamps of the room

void ControlerData::SwitchLightClick(int number)
{
    VERANDIX_LINK_ENTRY(SwitchLightClick(number))
    d->toggleLamps(this, kLampOnBit, [number](const char *record) {
        for (int k = kLampSwitch1; k <= kLampSwitch3; ++k) {
            if (quint8(record[k]) == number)
                return true;
        }
        return false;
    });
}

void ControlerData::SensorClick(int snIndex)
{
    VERANDIX_LINK_ENTRY(SensorClick(snIndex))
    d->toggleLamps(this, kLampSensorBit, [snIndex](const char *record) {
        return quint8(record[kLampSensor]) == snIndex;
    });
}

void ControlerData::DeleteSwitchInRoom(int swNumber)
{
    VERANDIX_LINK_ENTRY(DeleteSwitchInRoom(swNumber))
    if (!d->ready || !d->room.valid)
        return;
    forEachLampRecord(d->requests, [swNumber](const SubsUpdateItem &, char *record) {
        if (!record)
            return true;
        for (int k = kLampSwitch1; k <= kLampSwitch3; ++k) {
            if (quint8(record[k]) == swNumber) {
                record[k] = 0;
                return true;
            }
        }
        if (quint8(record[kLampSceneSwitch]) == swNumber) {
            record[kLampSceneSwitch] = 0;
            record[kLampSceneNumber] = 0;
        }
        return true;
    });
    d->writeBackBlocks(this);
    d->publishRequests();
}

void ControlerData::ChangeSwitchType(int swNumber, int iSwitchType, int iNumScene)
{
    VERANDIX_LINK_ENTRY(ChangeSwitchType(swNumber, iSwitchType, iNumScene))
    if (!d->ready || !d->room.valid)
        return;
    bool given = false;
    forEachLampRecord(d->requests, [&](const SubsUpdateItem &, char *record) {
        if (!record)
            return false; // the rest of this block's lamps is left alone
        for (int k = kLampSwitch1; k <= kLampSwitch3; ++k) {
            if (quint8(record[k]) == swNumber)
                record[k] = 0;
        }
        if (quint8(record[kLampSceneSwitch]) == swNumber) {
            record[kLampSceneSwitch] = 0;
            record[kLampSceneNumber] = 0;
        }
        // A scene switch serves one lamp: the first of the room with a free scene slot.
        if (iSwitchType == 1 && record[kLampSceneSwitch] == 0 && !given) {
            record[kLampSceneSwitch] = char(swNumber);
            record[kLampSceneNumber] = char(iNumScene);
            given = true;
        }
        return true;
    });
    d->writeBackBlocks(this);
    d->publishRequests();
}

void ControlerData::SetSensorToLight(int lmpIndex, int snNum)
{
    VERANDIX_LINK_ENTRY(SetSensorToLight(lmpIndex, snNum))
    if (!d->ready || !d->room.valid)
        return;
    forEachLampRecord(d->requests, [&](const SubsUpdateItem &item, char *record) {
        if (record && item.index == lmpIndex)
            record[kLampSensor] = char(snNum);
        return true;
    });
    d->writeBackBlocks(this);
    d->publishRequests();
}
