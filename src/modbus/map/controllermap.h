// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QtGlobal>

// The home controller's memory as everything that reads or writes it sees it: the status block,
// the command words and their codes, the scene area, the lamp and thermostat records. The link,
// the model, the scenes screen, the controller simulator and the demo generator all name these
// numbers from here. Word n is register (register base + n); byte k of a block is byte k of its
// little-endian image (word n holds bytes 2n, low, and 2n + 1, high, of a block read from word 0).
namespace ControllerMap {

constexpr int kBytesPerRegister = 2;
// Register numbers are 16 bits on the wire: registers 0..0xFFFF exist, a larger number wraps.
constexpr int kRegisterCount = 0x10000;

// --- Status block: words 0..29, read at every poll ----------------------------------------------
constexpr int kStatusWord = 0;
constexpr int kStatusBlockBytes = 60;
constexpr int kStatusAlarmCount = 0; // active alarms; kNoAlarms, or 0 for a system error
constexpr int kStatusMessageId = 5;
constexpr int kStatusMessageState = 6; // the message state bits below
constexpr int kStatusMessageData = 7;
constexpr int kStatusMessageValue = 8; // 4 bytes, little-endian
constexpr int kStatusSoundNumber = 14; // low byte of the sound word: set by the controller
constexpr int kStatusSoundState = 15;  // high byte of the sound word: set by the panel
constexpr int kStatusSecurityState = 30;
constexpr int kStatusPageSelection = 32;
constexpr int kStatusControllerTime = 40; // 4 bytes, seconds since 1970-01-01 UTC
constexpr int kStatusParameters = 44;     // one byte per parameter id 1..kParameterCount
constexpr int kParameterCount = 16;

constexpr quint8 kNoAlarms = 0xFF;
// Security state codes of status byte kStatusSecurityState, in the controller's own numbering;
// the texts of all codes come from the "secure" list of config.xml.
namespace Security {
constexpr int Malfunction = 0;
constexpr int Disarmed = 1;
constexpr int Armed = 2;
constexpr int EnterPass = 3;
constexpr int WrongPass = 4;
constexpr int Alarm = 5; // a raised intrusion alarm
constexpr int Countdown = 6;
constexpr int Arming = 10;
constexpr int Disarming = 11;
constexpr int EnterOldPass = 12;
constexpr int EnterNewPass = 13;
constexpr int RepeatNewPass = 14;
constexpr int PassChanged = 15;
} // namespace Security
constexpr int kSecurityAlarm = Security::Alarm;

// Bits of a message's state byte. Active, SMS and siren are what the alerts screen shows and
// edits; the alarm and notified bits are how the controller marks a message that raised an alarm
// and one whose SMS went out.
constexpr quint8 kMessageActive = 0x04;
constexpr quint8 kMessageAlarm = 0x08;
constexpr quint8 kMessageSms = 0x10;
constexpr quint8 kMessageSiren = 0x20;
constexpr quint8 kMessageNotified = 0x80;

// --- Command words -------------------------------------------------------------------------------
constexpr int kAlarmWord = 6;        // alarm id, alarm data
constexpr int kSoundWord = 7;        // sound number (controller), sound state (panel)
constexpr int kLightCommandWord = 8; // 4 bytes over words 8 and 9
constexpr int kLightCommandBytes = 4;
constexpr int kLightGlobalCommand = 0; // bytes of the lighting command
constexpr int kLightSceneToSave = 1;   // global scene the room command's save goes into
constexpr int kLightRoomCommand = 2;
constexpr int kLightRoomNumber = 3;
constexpr int kHeatCommandWord = 10; // byte 0: heating command
constexpr int kHeatCommandBytes = 2;
constexpr int kPasswordWord = 13; // 32-bit little-endian code over words 13 and 14
constexpr int kTimeWord = 20;     // the controller time of the status block, written to set it

// Codes of the global, room and heating command bytes: 1..4 run scene 1..4, 100 and 101 switch
// everything on and off, 20 + m saves the current state as scene m.
constexpr int kFirstSceneCommand = 1;
constexpr int kLastSceneCommand = 4;
constexpr int kSceneCommandCount = kLastSceneCommand - kFirstSceneCommand + 1;
constexpr int kCommandAllOn = 100;
constexpr int kCommandAllOff = 101;
constexpr int kCommandSaveSceneBase = 20;

// Sound states the panel writes into the high byte of the sound word.
constexpr int kSoundStarted = 1;
constexpr int kSoundStopped = 2;
constexpr int kSoundNotFound = 3;
constexpr int kSoundError = 4;

// --- Scene area: words 30..149 ------------------------------------------------------------------
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

// Bytes of one global scene definition, in the panel's order.
constexpr int kActivatorLight = 0; // lighting scene code
constexpr int kActivatorHeat = 1;  // heating scene code
constexpr int kActivatorEngineering = 2;
constexpr int kActivatorMedia = 3;
constexpr int kActivatorReserved = 4;
constexpr int kActivatorHour = 5;
constexpr int kActivatorMinute = 6;
constexpr int kActivatorSwitch = 7;
constexpr int kActivatorAdvanced = 8;
constexpr int kActivatorTimer = 9;
// The definition byte the controller keeps at each of its 10 positions: byte 9 is stored 8th.
constexpr int kActivatorAtPosition[kActivatorBytes] = {0, 1, 2, 3, 4, 5, 6, 9, 7, 8};

// The highest word at a fixed place (the last global scene definition). A register base must
// leave room for it below kRegisterCount.
constexpr int kHighestFixedWord = kGlobalSceneWord + kGlobalSceneWordStride * kGlobalSceneCount - 1;

// --- Lamp records: 8 bytes at kLampBase + 8 x lamp number ----------------------------------------
constexpr int kLampBase = 612;
constexpr int kLampRecordBytes = 8;
constexpr int kLampState = 0;   // on bit, sensor bit, brightness in the high nibble
constexpr int kLampSwitch1 = 1; // bytes 1..3: bound wall switches, 0 for a free slot
constexpr int kLampSwitch2 = 2;
constexpr int kLampSwitch3 = 3;
constexpr int kLampSensor = 4;
constexpr int kLampRoom = 5; // the room page number, kept up to date by the link
constexpr int kLampSceneSwitch = 6;
constexpr int kLampSceneNumber = 7;
constexpr quint8 kLampOnBit = 0x01;
constexpr quint8 kLampSensorBit = 0x02;
constexpr int kLampBrightnessShift = 4;
constexpr quint8 kLampBrightnessMask = 0xF0;
constexpr int kLampBrightnessLevels = 16;
// The dimmer scale in use: levels 0..10 (100 % is 10). The nibble holds up to 15, but the panel
// ignores values above 10, so scenes and hubs keep to this scale too.
constexpr int kLampBrightnessMaximum = 10;

// --- Thermostat records: 4 bytes at kThermostatBase + 4 x thermostat number ---------------------
constexpr int kThermostatBase = 296;
constexpr int kThermostatRecordBytes = 4;
constexpr int kThermostatTemperature = 0; // measured, in kTemperatureStep units
constexpr int kThermostatSetPoint = 1;    // in kTemperatureStep units
constexpr int kThermostatLevel = 3;       // heating level, percent
constexpr double kTemperatureStep = 0.2;

// What the numbers above must keep true of each other.
static_assert(kStatusBlockBytes == kBytesPerRegister * kSceneAreaWord,
              "the scene area follows the status block");
static_assert(kStatusSoundNumber == kBytesPerRegister * kSoundWord &&
                  kStatusSoundState == kStatusSoundNumber + 1,
              "the sound number and state are the two bytes of the sound word");
static_assert(kStatusControllerTime == kBytesPerRegister * kTimeWord,
              "setting the time writes the clock the status block shows");
static_assert(kStatusParameters + kParameterCount == kStatusBlockBytes,
              "the parameters end the status block");
static_assert((kPasswordWord + 2) * kBytesPerRegister <= kStatusBlockBytes &&
                  (kHeatCommandWord + 1) * kBytesPerRegister <= kStatusBlockBytes,
              "the command words lie in the status block");
static_assert(kSceneTextStride == kBytesPerRegister * kSceneTextWordStride &&
                  kSceneTextWriteBytes <= kSceneTextStride &&
                  kSceneTextBytes < kSceneTextWriteBytes,
              "a written text fits its slot with its terminating NUL");
static_assert(kSceneTextCount * kSceneTextStride <= kGlobalSceneArea,
              "the scene texts end before the first global scene");
static_assert(kGlobalSceneWord == kSceneAreaWord + kGlobalSceneArea / kBytesPerRegister &&
                  kActivatorBytes == kBytesPerRegister * kGlobalSceneWordStride,
              "a global scene is written at the word where it is read");
static_assert(kGlobalSceneArea + kGlobalSceneCount * kActivatorBytes == kSceneAreaBytes &&
                  kHighestFixedWord == kSceneAreaWord + kSceneAreaBytes / kBytesPerRegister - 1,
              "the last global scene ends the scene area");
static_assert(kHighestFixedWord < kRegisterCount, "the fixed words exist");
static_assert(kThermostatBase + kThermostatRecordBytes ==
                  kBytesPerRegister * (kHighestFixedWord + 1),
              "thermostat 1, the first one in use, starts right after the scene area");
static_assert(kLampBase > kThermostatBase &&
                  kLampBase >= kBytesPerRegister * (kHighestFixedWord + 1),
              "lamp records lie above the scene area");
static_assert(kLampRecordBytes % kBytesPerRegister == 0 &&
                  kThermostatRecordBytes % kBytesPerRegister == 0 &&
                  kLampBase % kBytesPerRegister == 0 && kThermostatBase % kBytesPerRegister == 0,
              "every record starts and ends on a register");
static_assert((kLampBrightnessMask >> kLampBrightnessShift) == kLampBrightnessLevels - 1 &&
                  (kLampBrightnessMask & (kLampOnBit | kLampSensorBit)) == 0,
              "the brightness nibble leaves the on and sensor bits alone");

} // namespace ControllerMap
