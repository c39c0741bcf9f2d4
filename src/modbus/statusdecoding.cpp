// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "statusdecoding.h"

#include "controllertext.h"
#include "modbusconstants.h"

#include <QtEndian>
#include <algorithm>

using namespace ModbusLink;

namespace {
quint8 byteAt(const QByteArray &data, int position)
{
    return quint8(data.at(position));
}
} // namespace

bool decodeStatusBlock(const QByteArray &status, ReservVariables *variables)
{
    if (!variables || status.size() < kStatusBlockBytes)
        return false;
    ReservVariables &v = *variables;
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
    // Only the first record with the reported id; records are never reset to "reported".
    auto message = std::find_if(v.messages.begin(), v.messages.end(),
                                [&v](const AlertStruct &m) { return m.id == v.currentMessageId; });
    if (message == v.messages.end() && v.currentMessageId != 0) {
        // An id config.xml has no text for is still an alarm: it is kept (the screens name it
        // generically) rather than dropped. The raw data byte is its parameter.
        AlertStruct unknown;
        unknown.id = v.currentMessageId;
        unknown.maximum = 255;
        v.messages.append(unknown);
        message = v.messages.end() - 1;
    }
    if (message != v.messages.end()) {
        message->active = 1;
        message->stateByte = byteAt(status, kStatusMessageState);
        message->dataByte = byteAt(status, kStatusMessageData);
        message->value = qFromLittleEndian<qint32>(status.constData() + kStatusMessageValue);
    }
    // The block carries one message at a time, so another message's cleared state would only
    // show when its turn comes round again. "No alarms" settles it for all of them at once.
    if (v.alarmCount == kNoAlarms) {
        for (AlertStruct &m : v.messages) {
            if (m.stateByte & kMessageAlarm)
                m.stateByte &= quint8(~kMessageActive);
        }
    }
    v.securityState = byteAt(status, kStatusSecurityState);
    v.pageSelection = byteAt(status, kStatusPageSelection);
    return true;
}

void decodeSceneArea(const QByteArray &bytes, ScenesStruct *scenes)
{
    if (!scenes)
        return;
    QByteArray area = bytes.left(kSceneAreaBytes);
    area.append(QByteArray(kSceneAreaBytes - area.size(), '\0'));
    scenes->names.clear();
    for (int i = 0; i < kSceneTextCount; ++i) {
        const QByteArray text = area.mid(kSceneTextStride * i, kSceneTextBytes);
        const int end = text.indexOf('\0');
        scenes->names.append(ControllerText::decode(end < 0 ? text : text.left(end)));
    }
    scenes->activators.clear();
    for (int j = 0; j < kGlobalSceneCount; ++j) {
        scenes->activators.append(
            GActivators::fromControllerOrder(area, kGlobalSceneArea + kActivatorBytes * j));
    }
}
