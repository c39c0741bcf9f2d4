// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controlconstants.h"
#include "controllermap.h"

#include <QtGlobal>

// What the Modbus TCP frames and the link's own timing fix, named once for the whole controller
// link. The controller's memory map (status block, command words, scene area, records) is
// controllermap.h; the link names its numbers as its own.
namespace ModbusLink {

using namespace ControllerMap;

// --- Frames -------------------------------------------------------------------------------------
constexpr int kMbapHeaderBytes = 7;   // transaction id, protocol id, length, unit id
constexpr int kMbapLengthBytes = 6;   // the part of the header in front of what "length" counts
constexpr int kReadRequestBytes = 12; // MBAP header + function + address + quantity
constexpr int kWriteRequestHeaderBytes = 13; // ... + quantity + byte count, then the values
constexpr int kReadAnswerHeaderBytes = 9;    // MBAP header + function + byte count
constexpr int kExceptionLength = 3; // "length" field of an exception answer: unit, function, code
constexpr int kMaxMbapLength = 254; // unit id + the longest PDU (253 bytes) a peer may send
constexpr quint8 kExceptionFlag = 0x80;
constexpr quint8 kUnitId = 0;
constexpr quint16 kTransactionId = 0;

constexpr quint8 kReadHoldingRegisters = 3;
constexpr quint8 kReadInputRegisters = 4;
constexpr quint8 kWriteMultipleRegisters = 16;

// Largest block the link reads or writes in one piece (124 registers). A read of 124 registers
// is one request; a write of more than 123 registers is refused by compliant servers, so longer
// writes go out in consecutive requests of at most kMaxWriteRegisters.
constexpr int kMaxBlockBytes = ControlConstants::kMaxBlockBytes; // 248
constexpr int kMaxWriteRegisters = 123;
constexpr int kMaxWriteBytes = 2 * kMaxWriteRegisters;

// --- Link timing --------------------------------------------------------------------------------
constexpr int kDefaultWaitMs = 5000;    // connection and response wait
constexpr int kReconnectTickMs = 60000; // the forced-reconnect counter counts minutes
constexpr int kDefaultPollIntervalMs = 500;
constexpr int kMinPollIntervalMs = 100;
constexpr int kMaxPollIntervalMs = 2000;
constexpr int kDefaultPort = 502;
constexpr const char kDefaultPrimaryAddress[] = "192.168.55.200";
constexpr const char kDefaultSecondaryAddress[] = "192.168.55.203";

// A register base must leave room for the highest fixed word below kRegisterCount, or status
// polls and commands would wrap onto unrelated registers.
constexpr int kMaxRegisterOffset = kRegisterCount - 1 - kHighestFixedWord;
// A negative register base switches polling off; -1 is the one the settings use for it.
constexpr int kNoPolling = -1;

// Longest text a text-write control may send.
constexpr int kMaxTextBytes = ControlConstants::kMaxTextWriteBytes; // 247

} // namespace ModbusLink
