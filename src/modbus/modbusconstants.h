// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controlconstants.h"

#include <QtGlobal>

// Everything the Modbus TCP frames and the controller's register layout fix, named once for the
// whole controller link. Word n is register registerOffset + n; byte k of a block is byte k of its
// little-endian image (register r of the block holds bytes 2r, low, and 2r + 1, high).
namespace ModbusLink {

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

// Register numbers are 16 bits on the wire: registers 0..0xFFFF exist, a larger number wraps.
constexpr int kRegisterCount = 0x10000;

// --- Status block (words 0..29) -----------------------------------------------------------------
constexpr int kStatusWord = 0;
constexpr int kStatusBlockBytes = 60;
constexpr int kStatusAlarmCount = 0;
constexpr int kStatusMessageId = 5;
constexpr int kStatusMessageState = 6;
constexpr int kStatusMessageData = 7;
constexpr int kStatusMessageValue = 8; // 4 bytes, little-endian
constexpr int kStatusSoundNumber = 14;
constexpr int kStatusSecurityState = 30;
constexpr int kStatusPageSelection = 32;
constexpr int kStatusControllerTime = 40; // 4 bytes, seconds since 1970-01-01 UTC
constexpr int kStatusParameters = 44;
constexpr int kParameterCount = 16;

// --- Command words ------------------------------------------------------------------------------
constexpr int kAlarmWord = 6;        // alarm id, alarm data
constexpr int kSoundWord = 7;        // sound number (controller), sound state (panel)
constexpr int kLightCommandWord = 8; // 4 bytes: global command, global scene, room command, room
constexpr int kLightCommandBytes = 4;
constexpr int kHeatCommandWord = 10; // byte 0: heating command
constexpr int kHeatCommandBytes = 2;
constexpr int kPasswordWord = 13; // 32-bit little-endian code
constexpr int kTimeWord = 20;     // 32-bit little-endian seconds since 1970-01-01 UTC

// Global (byte 0 of the lighting words), room (byte 2) and heating commands.
constexpr int kCommandAllOn = 100;
constexpr int kCommandAllOff = 101;
constexpr int kCommandSaveSceneBase = 20; // 20 + m saves the current state as scene m

// Sound states written into the high byte of the sound word.
constexpr int kSoundStarted = 1;
constexpr int kSoundStopped = 2;
constexpr int kSoundNotFound = 3;
constexpr int kSoundError = 4;

// --- Scene area (words 30..149) -----------------------------------------------------------------
constexpr int kSceneAreaWord = 30;
constexpr int kSceneAreaBytes = 240;
constexpr int kSceneTextCount = 10;
constexpr int kSceneTextStride = 16; // bytes per text slot in the area (8 words)
constexpr int kSceneTextWordStride = 8;
constexpr int kSceneTextBytes = 7; // characters of a text; the 8th byte written is NUL
constexpr int kSceneTextWriteBytes = 8;
constexpr int kGlobalSceneCount = 8;
constexpr int kGlobalSceneArea = 160; // byte of the first global scene in the area
constexpr int kGlobalSceneWord = 110;
constexpr int kGlobalSceneWordStride = 5;
constexpr int kActivatorBytes = 10;

// The highest word the link addresses on its own (the last global scene definition). A register
// base must leave room for it below kRegisterCount, or status polls and commands would wrap onto
// unrelated registers.
constexpr int kHighestFixedWord = kGlobalSceneWord + kGlobalSceneWordStride * kGlobalSceneCount - 1;
constexpr int kMaxRegisterOffset = kRegisterCount - 1 - kHighestFixedWord;
// A negative register base switches polling off; -1 is the one the settings use for it.
constexpr int kNoPolling = -1;

// --- Lamp records -------------------------------------------------------------------------------
constexpr int kLampRecordBytes = ControlConstants::kLampRecordBytes; // 8
constexpr int kLampState = 0;   // bit 0 on, bit 1 sensor flag, bits 4..7 brightness
constexpr int kLampSwitch1 = 1; // bytes 1..3: bound wall switches
constexpr int kLampSwitch3 = 3;
constexpr int kLampSensor = 4;
constexpr int kLampRoom = 5;
constexpr int kLampSceneSwitch = 6;
constexpr int kLampSceneNumber = 7;
constexpr quint8 kLampOnBit = 0x01;
constexpr quint8 kLampSensorBit = 0x02;

// Longest text a text-write control may send.
constexpr int kMaxTextBytes = ControlConstants::kMaxTextWriteBytes; // 247

} // namespace ModbusLink
