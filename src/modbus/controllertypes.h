// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "subsupdate.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <array>

// Value types the controller link publishes to the screens through queued signals. Every one is
// copied on the way, so the GUI never touches the link's own records.

// A message (alarm) or parameter of the program settings, with what the controller last reported
// for it. Messages and parameters share the layout; they are separate types so that signals and
// slots keep them apart.
struct MessageRecord
{
    quint8 active = 0;   // messages: 1 once the controller has reported the message
    quint8 id = 0;       // message id or parameter id (1..16)
    quint8 dataByte = 0; // messages: status byte 7; parameters: the parameter's value byte
    quint8 stateByte =
        0;            // messages: status byte 6 (bit 2 active, 3 alarm, 4 SMS, 5 siren, 7 notified)
    qint32 value = 0; // messages: status bytes 8..11
    double maximum = 0;
    double minimum = 0;
    QString text;

    // (maximum - minimum) * dataByte / 255 + minimum: the value the data byte stands for.
    double scaledValue() const;
};

struct AlertStruct : MessageRecord
{
};

struct ArchiveStruct : MessageRecord
{
};

// The decoded status block, with the message and parameter lists it updates.
struct ReservVariables
{
    quint8 currentMessageId = 0; // status byte 5
    quint8 soundNumber = 0;      // status byte 14
    quint8 alarmCount = 0;       // status byte 0: 0xFF none, 0 system error
    quint8 securityState = 0;    // status byte 30
    quint8 pageSelection = 0;    // status byte 32: non-zero asks the panel to show that page
    bool soundUnchanged = true;  // the sound number equals the one of the previous decode
    QDateTime controllerTime;    // status bytes 40..43, seconds since 1970-01-01 UTC
    QByteArray parameterBytes;   // status bytes 44..59, indexed by parameter id - 1
    QList<AlertStruct> messages;
    QList<ArchiveStruct> parameters;
};

// One global scene definition as the controller stores it. The panel edits some of its bytes and
// carries the rest unchanged. In controller memory structure byte 9 travels between bytes 6 and 7.
struct GActivators
{
    std::array<quint8, 10> bytes{};

    // The 10 bytes in the controller's order: 0, 1, 2, 3, 4, 5, 6, 9, 7, 8.
    QByteArray toControllerOrder() const;
    // From 10 bytes in the controller's order; missing bytes read as 0.
    static GActivators fromControllerOrder(const QByteArray &bytes, int position = 0);

    bool operator==(const GActivators &other) const { return bytes == other.bytes; }
    bool operator!=(const GActivators &other) const { return !(*this == other); }
};

// The scene area as last read, plus the definition the scenes screen handed over last.
struct ScenesStruct
{
    QStringList names;             // 10 texts of up to 7 characters
    QList<GActivators> activators; // the 8 global scene definitions
    GActivators currentActivators; // set by SetActivators, written by WriteGlobalScene
};

Q_DECLARE_METATYPE(AlertStruct)
Q_DECLARE_METATYPE(ArchiveStruct)
Q_DECLARE_METATYPE(ReservVariables)
Q_DECLARE_METATYPE(GActivators)
Q_DECLARE_METATYPE(ScenesStruct)

// Registers every type above (and the lists of them, SubsUpdate and RoomSnapshot) for queued
// signals and queued invocations. Safe to call more than once.
void registerControllerTypes();
