// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "controlerdata.h"

#include "baseroomv1.h"
#include "boolcontrolv1.h"
#include "btncontrolv1.h"
#include "controlconstants.h"
#include "dynamiccontrolv1.h"
#include "eappsettings.h"
#include "ecoreapp.h"
#include "modbusconstants.h"
#include "modbuslog.h"
#include "resbtcontrolv1.h"
#include "textwritecontrolv1.h"

#include <QMutexLocker>
#include <QRecursiveMutex>
#include <QtEndian>
#include <algorithm>
#include <atomic>

using namespace ModbusLink;
using ControlConstants::Kind;

ControlerData *ECoreApp::controller() const
{
    return qobject_cast<ControlerData *>(controllerObject());
}

namespace {

// What the link needs of one control of the selected room. Taken when the room is selected, in
// the link thread; the records themselves belong to the GUI thread, which rewrites their data
// on every poll answer, so nothing here reads a record afterwards.
struct ControlSnapshot
{
    int kind = 0;
    bool deleted = false;
    bool readOnly = false;
    int byteAddress = 0;
    int fetchLength = 0;
    int oddOffset = 0;
    int typeD = 0;
    int bitNumber = 0;
    int val = 0;
    int maximum = 0;
};

struct RoomSnapshot
{
    bool selected = false;
    int pageNumber = 0;
    int systemType = 0;
    QList<ControlSnapshot> controls;
};

RoomSnapshot snapshotOf(const BaseRoomV1 *room)
{
    RoomSnapshot snapshot;
    snapshot.selected = true;
    snapshot.pageNumber = room->pageNumber();
    snapshot.systemType = int(room->systemType());
    for (const BaseControlV1 *control : room->controls()) {
        ControlSnapshot c;
        if (control) {
            c.kind = control->kind();
            c.deleted = control->isDeleted();
            c.readOnly = control->isReadOnly();
            if (auto dynamic = dynamic_cast<const DynamicControlV1 *>(control)) {
                c.byteAddress = dynamic->byteAddress();
                c.fetchLength = dynamic->fetchLength();
                c.oddOffset = dynamic->oddOffset();
                c.typeD = dynamic->typeD();
            }
            if (auto boolControl = dynamic_cast<const BoolControlV1 *>(control))
                c.bitNumber = boolControl->bitNumber();
            if (auto button = dynamic_cast<const BtnControlV1 *>(control))
                c.bitNumber = button->bitNumber();
            if (auto byteButton = dynamic_cast<const ResbtControlV1 *>(control))
                c.val = byteButton->val();
            if (auto textWrite = dynamic_cast<const TextWriteControlV1 *>(control))
                c.maximum = textWrite->maximum();
        }
        snapshot.controls.append(c);
    }
    return snapshot;
}

// Groups the controller-bound controls, in address order, into blocks of at most 248 bytes.
QList<SubsUpdate> planRequests(const RoomSnapshot &room, int registerOffset)
{
    QList<SubsUpdateItem> items;
    for (int i = 0; i < room.controls.size(); ++i) {
        const ControlSnapshot &c = room.controls.at(i);
        if (!ControlConstants::isControllerBound(c.kind) || c.deleted)
            continue;
        SubsUpdateItem item;
        item.index = i;
        item.registerNumber = DynamicControlV1::firstRegister(registerOffset, c.byteAddress);
        item.fetchLength = c.fetchLength;
        item.oddOffset = c.oddOffset;
        item.kind = c.kind;
        items.append(item);
    }
    // Stable, so that controls sharing a register keep their list order inside the block.
    std::stable_sort(items.begin(), items.end(),
                     [](const SubsUpdateItem &a, const SubsUpdateItem &b) {
                         return a.registerNumber < b.registerNumber;
                     });

    QList<SubsUpdate> blocks;
    for (const SubsUpdateItem &item : qAsConst(items)) {
        const int size = item.fetchLength;
        if (size > kMaxBlockBytes || size <= 0)
            continue;
        bool open = blocks.isEmpty();
        if (!open) {
            const qint64 span = size + (qint64(item.registerNumber) - blocks.last().start) * 2;
            open = span > kMaxBlockBytes;
        }
        if (open) {
            SubsUpdate block;
            block.start = block.end = item.registerNumber;
            blocks.append(block);
        }
        SubsUpdate &block = blocks.last();
        block.end = qMax(block.end, item.registerNumber + (size + 1) / 2);
        block.byteCount = (block.end - block.start) * 2;
        block.items.append(item);
    }
    return blocks;
}

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

// Text in the local 8-bit encoding, cut to `length` bytes and padded with NUL bytes to it. A
// multi-byte encoding must never push the text past the window it was meant for.
QByteArray fixedText(const QString &text, int length)
{
    QByteArray bytes = text.toLocal8Bit().left(length);
    bytes.append(QByteArray(length - bytes.size(), '\0'));
    return bytes;
}

enum class Lookup { Found, NotSelected, Missing };

Lookup findControl(const RoomSnapshot &room, bool ready, int index,
                   std::initializer_list<int> kinds, ControlSnapshot *out)
{
    if (!ready || !room.selected)
        return Lookup::NotSelected;
    if (index < 0 || index >= room.controls.size())
        return Lookup::Missing;
    const ControlSnapshot &c = room.controls.at(index);
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

struct ControlerData::ControlerDataPrivate
{
    // Guards the room, the request list, the flags and the scene data. Recursive because the
    // socket state hook (which rebuilds the request list) can be reached from a write or read made
    // while the lock is held.
    mutable QRecursiveMutex mutex;
    bool ready = false;
    std::atomic<bool> terminating{false};
    bool scenesRequested = false;
    int registerOffset = -1;
    RoomSnapshot room;
    QList<SubsUpdate> requests;
    ScenesStruct scenes;
    ReservVariables variables;

    void forgetRoom()
    {
        scenesRequested = false;
        room = RoomSnapshot();
        requests.clear();
    }

    // Read-modify-write of a command area: the read only has to return something, and bytes it
    // did not return count as 0.
    bool readArea(ControlerData *q, int reg, int size, QByteArray *bytes)
    {
        *bytes = q->getModbusData(reg, size);
        if (bytes->isEmpty())
            return false;
        if (bytes->size() < size)
            bytes->append(QByteArray(size - bytes->size(), '\0'));
        return true;
    }

    template<typename Edit> void areaCommand(ControlerData *q, int word, int size, Edit edit)
    {
        if (!q->isReady())
            return;
        const int reg = q->controlerOffset() + word;
        QByteArray bytes;
        if (!readArea(q, reg, size, &bytes))
            return;
        edit(bytes.data());
        q->setModbusData(reg, bytes.left(size));
    }

    template<typename Edit> void lightCommand(ControlerData *q, Edit edit)
    {
        areaCommand(q, kLightCommandWord, kLightCommandBytes, edit);
    }

    void roomCommand(ControlerData *q, int command, int roomNumber)
    {
        lightCommand(q, [=](char *b) {
            b[2] = char(command);
            b[3] = char(roomNumber);
        });
    }

    void heatCommand(ControlerData *q, int command)
    {
        areaCommand(q, kHeatCommandWord, kHeatCommandBytes, [=](char *b) { b[0] = char(command); });
    }

    // A command on one control's window (fetchLength bytes from its first register): look the
    // control up under the lock, read without it, let `edit` change the control's bytes (false:
    // write nothing) and write the window back. `signal`: the command reports ControlDataWriten.
    template<typename Edit>
    void windowCommand(ControlerData *q, int index, std::initializer_list<int> kinds,
                       int minimumBytes, bool signal, Edit edit)
    {
        ControlSnapshot c;
        int offset = 0;
        Lookup found;
        {
            QMutexLocker lock(&mutex);
            found = findControl(room, ready, index, kinds, &c);
            offset = registerOffset;
        }
        if (found == Lookup::NotSelected) {
            // Lets the widget drop its pending state: nothing will be written.
            if (signal)
                emit q->ControlDataWriten(index);
            return;
        }
        if (found == Lookup::Missing || c.fetchLength < c.oddOffset + minimumBytes)
            return;
        const int reg = DynamicControlV1::firstRegister(offset, c.byteAddress);
        QByteArray window = q->getModbusData(reg, c.fetchLength);
        if (window.size() < c.fetchLength)
            return;
        if (!edit(c, window.data() + c.oddOffset))
            return;
        q->setModbusData(reg, window);
        if (signal)
            emit q->ControlDataWriten(index);
    }

    void writeBackBlocks(ControlerData *q)
    {
        for (const SubsUpdate &block : qAsConst(requests)) {
            if (!block.data.isEmpty())
                q->setModbusData(block.start, block.data);
        }
    }

    // SwitchLightClick and SensorClick: the lamps whose record `match`es; if any of them has
    // `bit` set it is cleared in all of them, else set in all of them. The records are those of
    // the last poll, the link's own copy: the controls' data belongs to the GUI thread.
    template<typename Match> void toggleLamps(ControlerData *q, quint8 bit, Match match)
    {
        QMutexLocker lock(&mutex);
        if (!ready || !room.selected)
            return;
        QList<int> matching;
        bool anySet = false;
        for (int i = 0; i < room.controls.size(); ++i) {
            const ControlSnapshot &c = room.controls.at(i);
            if (c.kind != ControlConstants::KindLight || c.deleted)
                continue;
            const QByteArray window =
                lampWindow(requests, DynamicControlV1::firstRegister(registerOffset, c.byteAddress),
                           c.fetchLength);
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
    }
};

ControlerData::ControlerData(QObject *parent)
    : BaseTCPModbus(parent), d(std::make_unique<ControlerDataPrivate>())
{
    registerControllerTypes();
    qRegisterMetaType<const BaseRoomV1 *>("const BaseRoomV1*");
    for (int i = 0; i < kGlobalSceneCount; ++i)
        d->scenes.activators.append(GActivators());
}

ControlerData::~ControlerData()
{
    // Stop the thread while the derived part still exists: the thread runs its virtual slots.
    if (isRunning()) {
        terminateMainThread();
        quit();
        wait();
    }
}

void ControlerData::configure(const EAppSettings &settings, bool debugModbus)
{
    setIpAdressAndPort(settings.value(EAppSettings::IpAddress).toString(),
                       settings.value(EAppSettings::IpPort).toInt());
    setIpAdress2(settings.value(EAppSettings::IpAddress2).toString());
    setReadFunctionMB(settings.value(EAppSettings::ReadFunctionMb).toInt());
    SetUpdateTimeout(settings.value(EAppSettings::Timeout).toInt());
    SetControlerOffset(settings.registerOffset());
    setReconnectOnTime(settings.value(EAppSettings::ReconnectTime).toInt());
    setIsDebugModbus(debugModbus);

    QList<AlertStruct> messages;
    for (const EAppSettings::MessageText &m : settings.messages()) {
        AlertStruct record;
        record.id = m.id;
        record.text = m.text;
        record.minimum = m.minimum;
        record.maximum = m.maximum;
        messages.append(record);
    }
    QList<ArchiveStruct> parameters;
    for (const EAppSettings::MessageText &p : settings.parameters()) {
        ArchiveStruct record;
        record.id = p.id;
        record.text = p.text;
        record.minimum = p.minimum;
        record.maximum = p.maximum;
        parameters.append(record);
    }
    setMessParameters(messages, parameters);
}

int ControlerData::controlerOffset() const
{
    QMutexLocker lock(&d->mutex);
    return d->registerOffset;
}

bool ControlerData::isReady() const
{
    QMutexLocker lock(&d->mutex);
    return d->ready;
}

void ControlerData::setMessParameters(const QList<AlertStruct> &messages,
                                      const QList<ArchiveStruct> &parameters)
{
    QMutexLocker lock(&d->mutex);
    d->variables.messages = messages;
    d->variables.parameters = parameters;
}

// ---------------------------------------------------------------------------------------------
// Polling

void ControlerData::TimerCNT()
{
    if (d->terminating) {
        stopMainTimer();
        return;
    }
    if (controlerOffset() < 0)
        return;
    if (!isSocketConnected()) {
        {
            QMutexLocker lock(&d->mutex);
            d->ready = false;
        }
        reconnectToControler();
        return;
    }

    QMutexLocker lock(&d->mutex);
    const int offset = d->registerOffset;
    const QByteArray status = getModbusData(offset + kStatusWord, kStatusBlockBytes);
    if (status.size() < kStatusBlockBytes)
        return;

    ReservVariables &v = d->variables;
    const quint8 oldSound = v.soundNumber;
    v.soundNumber = byteAt(status, kStatusSoundNumber);
    v.soundUnchanged = v.soundNumber == oldSound;

    v.parameterBytes = status.mid(kStatusParameters, kParameterCount);
    for (ArchiveStruct &parameter : v.parameters) {
        if (parameter.id >= 1 && parameter.id <= kParameterCount)
            parameter.dataByte = byteAt(v.parameterBytes, parameter.id - 1);
    }

    v.alarmCount = byteAt(status, kStatusAlarmCount);
    v.controllerTime = QDateTime::fromSecsSinceEpoch(
        qint64(qFromLittleEndian<quint32>(status.constData() + kStatusControllerTime)));
    v.currentMessageId = byteAt(status, kStatusMessageId);
    for (AlertStruct &message : v.messages) {
        if (message.id != v.currentMessageId)
            continue;
        message.active = 1;
        message.stateByte = byteAt(status, kStatusMessageState);
        message.dataByte = byteAt(status, kStatusMessageData);
        message.value = qFromLittleEndian<qint32>(status.constData() + kStatusMessageValue);
        break;
    }
    v.securityState = byteAt(status, kStatusSecurityState);
    d->ready = true;
    v.pageSelection = byteAt(status, kStatusPageSelection);
    emit ReadyUpdateAlerts(v);

    if (!d->requests.isEmpty()) {
        for (SubsUpdate &block : d->requests) {
            block.data.clear();
            block.data.append(getModbusData(block.start, block.byteCount));
        }
        emit ReadyUpdateControls(d->requests, offset);

        // Lamps of a lighting room carry the number of their room page: keep it up to date so
        // that the controller's room commands reach the right lamps.
        if (d->room.systemType == BaseRoomV1::LightSystem) {
            const char roomNumber = char(d->room.pageNumber & 0xFF);
            bool changed = false;
            for (SubsUpdate &block : d->requests) {
                if (block.data.isEmpty())
                    continue;
                for (int i = 0; i < d->room.controls.size(); ++i) {
                    const ControlSnapshot &c = d->room.controls.at(i);
                    if (c.kind != ControlConstants::KindLight || c.deleted)
                        continue;
                    const int reg = DynamicControlV1::firstRegister(offset, c.byteAddress);
                    if (reg < block.start || reg >= block.end)
                        continue;
                    const int p = c.oddOffset + (reg - block.start) * 2 + kLampRoom;
                    if (p < block.data.size() && block.data.at(p) != roomNumber) {
                        block.data[p] = roomNumber;
                        changed = true;
                    }
                }
            }
            if (changed) {
                for (const SubsUpdate &block : qAsConst(d->requests))
                    setModbusData(block.start, block.data);
            }
        }
    }

    if (d->scenesRequested) {
        QByteArray area = getModbusData(offset + kSceneAreaWord, kSceneAreaBytes);
        area.append(QByteArray(kSceneAreaBytes - area.size(), '\0'));
        d->scenes.names.clear();
        for (int i = 0; i < kSceneTextCount; ++i) {
            const QByteArray text = area.mid(kSceneTextStride * i, kSceneTextBytes);
            const int end = text.indexOf('\0');
            d->scenes.names.append(QString::fromLocal8Bit(end < 0 ? text : text.left(end)));
        }
        d->scenes.activators.clear();
        for (int j = 0; j < kGlobalSceneCount; ++j) {
            d->scenes.activators.append(
                GActivators::fromControllerOrder(area, kGlobalSceneArea + kActivatorBytes * j));
        }
        emit ReadyUpdateScenes(d->scenes);
    }
}

void ControlerData::socketStateHook(int state)
{
    BaseTCPModbus::socketStateHook(state);
    if (state != QAbstractSocket::ConnectedState)
        return;
    QMutexLocker lock(&d->mutex);
    if (d->room.selected)
        d->requests = planRequests(d->room, d->registerOffset);
}

// ---------------------------------------------------------------------------------------------
// Room selection

void ControlerData::setRoom(const BaseRoomV1 *room)
{
    if (!room)
        return;
    {
        QMutexLocker lock(&d->mutex);
        d->forgetRoom();
    }
    QMutexLocker lock(&d->mutex);
    d->room = snapshotOf(room);
    if (isSocketConnected())
        d->requests = planRequests(d->room, d->registerOffset);
}

void ControlerData::closeRoom()
{
    QMutexLocker lock(&d->mutex);
    d->forgetRoom();
}

void ControlerData::SetCurrentScenesRoom()
{
    QMutexLocker lock(&d->mutex);
    d->forgetRoom();
    d->scenesRequested = true;
}

QList<SubsUpdate> ControlerData::getRequest() const
{
    QMutexLocker lock(&d->mutex);
    return d->requests;
}

void ControlerData::terminateMainThread()
{
    closeRoom();
    d->terminating = true;
}

void ControlerData::SetControlerOffset(int val)
{
    // Registers are 16-bit numbers: a base beyond them addresses nothing (and would overflow the
    // register arithmetic), so it is treated like a negative one: nothing is polled.
    if (val > kMaxRegisterOffset) {
        qCWarning(lcModbus) << "register offset" << val << "is beyond the register space";
        val = -1;
    }
    QMutexLocker lock(&d->mutex);
    d->registerOffset = val;
}

// ---------------------------------------------------------------------------------------------
// Command words

void ControlerData::GlobalScene1Activate()
{
    d->lightCommand(this, [](char *b) { b[0] = char(1); });
}

void ControlerData::GlobalScene2Activate()
{
    d->lightCommand(this, [](char *b) { b[0] = char(2); });
}

void ControlerData::GlobalScene3Activate()
{
    d->lightCommand(this, [](char *b) { b[0] = char(3); });
}

void ControlerData::GlobalScene4Activate()
{
    d->lightCommand(this, [](char *b) { b[0] = char(4); });
}

void ControlerData::GlobalOnActivate()
{
    d->lightCommand(this, [](char *b) { b[0] = char(kCommandAllOn); });
}

void ControlerData::GlobalOffActivate()
{
    d->lightCommand(this, [](char *b) { b[0] = char(kCommandAllOff); });
}

void ControlerData::LightOnInRoom(int room)
{
    d->roomCommand(this, kCommandAllOn, room);
}

void ControlerData::LightOffInRoom(int room)
{
    d->roomCommand(this, kCommandAllOff, room);
}

void ControlerData::Miniscene1InRoom(int room)
{
    d->roomCommand(this, 1, room);
}

void ControlerData::Miniscene2InRoom(int room)
{
    d->roomCommand(this, 2, room);
}

void ControlerData::Miniscene3InRoom(int room)
{
    d->roomCommand(this, 3, room);
}

void ControlerData::Miniscene4InRoom(int room)
{
    d->roomCommand(this, 4, room);
}

void ControlerData::SaveGlobalMiniLight(int globalNumber, int miniNumber, int room)
{
    if (miniNumber <= 0)
        return;
    d->lightCommand(this, [=](char *b) {
        if (globalNumber > 0)
            b[1] = char(globalNumber);
        b[2] = char(miniNumber + kCommandSaveSceneBase);
        b[3] = char(room);
    });
}

void ControlerData::GlobalHeatOnActivate()
{
    d->heatCommand(this, kCommandAllOn);
}

void ControlerData::GlobalHeatOffActivate()
{
    d->heatCommand(this, kCommandAllOff);
}

void ControlerData::GlobalHeatScene1Activate()
{
    d->heatCommand(this, 1);
}

void ControlerData::GlobalHeatScene2Activate()
{
    d->heatCommand(this, 2);
}

void ControlerData::GlobalHeatScene3Activate()
{
    d->heatCommand(this, 3);
}

void ControlerData::GlobalHeatScene4Activate()
{
    d->heatCommand(this, 4);
}

void ControlerData::FloorHeatSave(int scnNum)
{
    d->heatCommand(this, scnNum + kCommandSaveSceneBase);
}

void ControlerData::SoundStateChanged(int number, int state)
{
    if (!isReady())
        return;
    const int reg = controlerOffset() + kSoundWord;
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
    SoundStateChanged(number, kSoundStarted);
}

void ControlerData::SoundStoped(int number)
{
    SoundStateChanged(number, kSoundStopped);
}

void ControlerData::SoundNotfound(int number)
{
    SoundStateChanged(number, kSoundNotFound);
}

void ControlerData::SoundError(int number)
{
    SoundStateChanged(number, kSoundError);
}

void ControlerData::SinchronizeTime(uint time)
{
    if (!isReady())
        return;
    setModbusData(controlerOffset() + kTimeWord, littleEndian32(time));
}

void ControlerData::WritePassword(int passw)
{
    if (!isReady())
        return;
    setModbusData(controlerOffset() + kPasswordWord, littleEndian32(quint32(passw)));
}

void ControlerData::WriteAlarm(int alarmId, char data)
{
    if (!isReady())
        return;
    QByteArray bytes;
    bytes.append(char(alarmId & 0xFF));
    bytes.append(data);
    setModbusData(controlerOffset() + kAlarmWord, bytes);
}

void ControlerData::WriteSMS(const QString &text, int number)
{
    if (!isReady())
        return;
    // Only the ten text slots exist: any other number would land in the scene definitions or
    // beyond the scene area.
    if (number < 0 || number >= kSceneTextCount)
        return;
    const QString shortText = text.left(kSceneTextBytes);
    {
        QMutexLocker lock(&d->mutex);
        if (number < d->scenes.names.size())
            d->scenes.names[number] = shortText;
    }
    QByteArray bytes = fixedText(shortText, kSceneTextBytes);
    bytes.append('\0');
    setModbusData(controlerOffset() + kSceneAreaWord + kSceneTextWordStride * number, bytes);
}

void ControlerData::SetActivators(const GActivators &activat)
{
    QMutexLocker lock(&d->mutex);
    d->scenes.currentActivators = activat;
}

void ControlerData::WriteGlobalScene(int number)
{
    if (!isReady())
        return;
    // Eight definitions exist; another number would overwrite memory past the scene area.
    if (number < 0 || number >= kGlobalSceneCount)
        return;
    QByteArray bytes;
    {
        QMutexLocker lock(&d->mutex);
        bytes = d->scenes.currentActivators.toControllerOrder();
    }
    setModbusData(controlerOffset() + kGlobalSceneWord + kGlobalSceneWordStride * number, bytes);
}

// ---------------------------------------------------------------------------------------------
// Commands on one control

void ControlerData::EnableLight(int index)
{
    d->windowCommand(this, index, {Kind::KindLight}, kLampRecordBytes, true,
                     [](const ControlSnapshot &, char *b) {
                         b[kLampState] = char(b[kLampState] | kLampOnBit);
                         return true;
                     });
}

void ControlerData::DisableLight(int index)
{
    d->windowCommand(this, index, {Kind::KindLight}, kLampRecordBytes, true,
                     [](const ControlSnapshot &, char *b) {
                         b[kLampState] = char(b[kLampState] & ~kLampOnBit);
                         return true;
                     });
}

void ControlerData::ChangeLightBright(int index, int bright)
{
    d->windowCommand(this, index, {Kind::KindLight}, kLampRecordBytes, true,
                     [bright](const ControlSnapshot &, char *b) {
                         b[kLampState] =
                             char((quint8(b[kLampState]) & 0x0F) | ((bright & 0x0F) << 4));
                         return true;
                     });
}

void ControlerData::AddSwitchToLamp(int lmpIndex, int switchNum)
{
    d->windowCommand(this, lmpIndex, {Kind::KindLight}, kLampRecordBytes, false,
                     [switchNum](const ControlSnapshot &, char *b) {
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
    d->windowCommand(this, lmpIndex, {Kind::KindLight}, kLampRecordBytes, false,
                     [switchNum](const ControlSnapshot &, char *b) {
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
    d->windowCommand(this, bolIndex, {Kind::KindBool}, 1, true,
                     [](const ControlSnapshot &c, char *b) {
                         // A bit number from a project file outside 0..7 names no bit of the byte.
                         if (c.readOnly || c.bitNumber < 0 || c.bitNumber > 7)
                             return false;
                         b[0] = char(quint8(b[0]) ^ (1u << c.bitNumber));
                         return true;
                     });
}

void ControlerData::BoolButton1Click(int bolIndex)
{
    d->windowCommand(this, bolIndex, {Kind::KindBtn}, 1, false,
                     [](const ControlSnapshot &c, char *b) {
                         if (c.bitNumber < 0 || c.bitNumber > 7)
                             return false;
                         b[0] = char(quint8(b[0]) | (1u << c.bitNumber));
                         return true;
                     });
}

void ControlerData::ByteControlValClick(int bolIndex)
{
    d->windowCommand(this, bolIndex, {Kind::KindResbt}, 1, false,
                     [](const ControlSnapshot &c, char *b) {
                         b[0] = char(c.val);
                         return true;
                     });
}

void ControlerData::ByteControlChange(int bolIndex, int value)
{
    d->windowCommand(this, bolIndex, {Kind::KindByte, Kind::KindHSlider, Kind::KindVSlider}, 4,
                     true, [value](const ControlSnapshot &c, char *b) {
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
    d->windowCommand(this, index, {Kind::KindHeat}, 4, true,
                     [bright](const ControlSnapshot &, char *b) {
                         b[1] = char(bright & 0xFF); // the set point, in 0.2 degree steps
                         return true;
                     });
}

void ControlerData::TextWriteControlChange(int bolIndex, const QString &text)
{
    ControlSnapshot c;
    int offset = 0;
    {
        QMutexLocker lock(&d->mutex);
        if (findControl(d->room, d->ready, bolIndex, {Kind::KindTextWrite}, &c) != Lookup::Found)
            return;
        offset = d->registerOffset;
    }
    if (c.maximum < 1 || c.maximum > kMaxTextBytes)
        return;
    // Written at the control's register as it stands: the text window starts on a register.
    setModbusData(DynamicControlV1::firstRegister(offset, c.byteAddress),
                  fixedText(text.left(c.maximum), c.maximum));
}

// ---------------------------------------------------------------------------------------------
// Commands on all lamps of the room

void ControlerData::SwitchLightClick(int number)
{
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
    d->toggleLamps(this, kLampSensorBit, [snIndex](const char *record) {
        return quint8(record[kLampSensor]) == snIndex;
    });
}

void ControlerData::DeleteSwitchInRoom(int swNumber)
{
    QMutexLocker lock(&d->mutex);
    if (!d->ready || !d->room.selected)
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
}

void ControlerData::ChangeSwitchType(int swNumber, int iSwitchType, int iNumScene)
{
    QMutexLocker lock(&d->mutex);
    if (!d->ready || !d->room.selected)
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
}

void ControlerData::SetSensorToLight(int lmpIndex, int snNum)
{
    QMutexLocker lock(&d->mutex);
    if (!d->ready || !d->room.selected)
        return;
    forEachLampRecord(d->requests, [&](const SubsUpdateItem &item, char *record) {
        if (record && item.index == lmpIndex)
            record[kLampSensor] = char(snNum);
        return true;
    });
    d->writeBackBlocks(this);
}
