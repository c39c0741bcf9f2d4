// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QtGlobal>

// Register layout and command codes the panel reads and writes. Byte addresses are positions in the
// little-endian byte image: register (offset + n) holds image bytes 2n (low) and 2n + 1 (high).
namespace HomeSim {

// Status block, words 0..29.
constexpr int kStatusBlockBytes = 60;
constexpr int kAlarmCountByte = 0;
constexpr int kMessageIdByte = 5;
constexpr int kMessageStateByte = 6;
constexpr int kMessageDataByte = 7;
constexpr int kMessageValueByte = 8; // 32-bit little-endian
constexpr int kSoundNumberByte = 14; // word 7 low byte; the high byte is the panel's sound state
constexpr int kSoundStateByte = 15;
constexpr int kSecurityStateByte = 30;
constexpr int kPageSelectionByte = 32;
constexpr int kClockByte = 40;     // 32-bit little-endian seconds since 1970 UTC (words 20, 21)
constexpr int kParameterByte = 44; // 16 bytes, parameter ids 1..16
constexpr int kParameterCount = 16;
constexpr quint8 kNoAlarms = 0xFF;

// Command words.
constexpr int kAlarmWord = 6; // message id, new state byte
constexpr int kSoundWord = 7;
constexpr int kLightCommandWord =
    8; // bytes: global command, global scene to save, room command, room
constexpr int kHeatCommandWord = 10;
constexpr int kCodeWord = 13; // 32-bit code over words 13 and 14
constexpr int kClockWord = 20;

// Command codes shared by the global, room and heating command bytes.
constexpr int kSceneFirst = 1;
constexpr int kSceneLast = 4;
constexpr int kSceneCount = 4;
constexpr int kCommandOn = 100;
constexpr int kCommandOff = 101;
constexpr int kCommandSaveBase = 20; // 20 + m saves scene m

// Sound states written by the panel into the high byte of word 7.
constexpr int kSoundStarted = 1;
constexpr int kSoundStopped = 2;
constexpr int kSoundNotFound = 3;
constexpr int kSoundError = 4;

// Message state bits.
constexpr quint8 kStateActive = 0x04;
constexpr quint8 kStateAlarm = 0x08;
constexpr quint8 kStateSms = 0x10;
constexpr quint8 kStateSiren = 0x20;
constexpr quint8 kStateNotified = 0x80;

// Scene area, words 30..149.
constexpr int kSceneAreaWord = 30;
constexpr int kSceneAreaBytes = 240;

// Control records.
constexpr int kThermostatBase = 296; // byte address 296 + 4 n
constexpr int kThermostatRecordBytes = 4;
constexpr int kLampBase = 612; // byte address 612 + 8 n
constexpr int kLampRecordBytes = 8;
constexpr quint8 kLampOn = 0x01;
constexpr quint8 kLampSensorFlag = 0x02;
constexpr int kLampSwitch1 = 1;
constexpr int kLampSensor = 4;
constexpr int kLampRoom = 5;
constexpr int kLampSceneSwitch = 6;
constexpr int kLampSceneNumber = 7;

// Thermostat values count in steps of 0.2 degrees.
constexpr double kTemperatureStep = 0.2;

// Security keypad state codes (texts come from the "secure" list of config.xml).
namespace Security {
constexpr int Malfunction = 0;
constexpr int Disarmed = 1;
constexpr int Armed = 2;
constexpr int EnterPass = 3;
constexpr int WrongPass = 4;
constexpr int Alarm = 5;
constexpr int Countdown = 6;
constexpr int Arming = 10;
constexpr int Disarming = 11;
constexpr int EnterOldPass = 12;
constexpr int EnterNewPass = 13;
constexpr int RepeatNewPass = 14;
constexpr int PassChanged = 15;
} // namespace Security

// Modbus: registers 0..65535; the simulator maps everything from the register offset up.
constexpr int kRegisterSpace = 65536;
constexpr int kDefaultPort = 1502;
// The weather informer of --http; the demo configuration names it.
constexpr int kDefaultWeatherPort = 8089;

} // namespace HomeSim
