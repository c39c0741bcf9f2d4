// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controllermap.h"

#include <QString>

// Every number and name that the controller memory layout and the project file format fix for the
// project model: kind codes, record addresses and sizes, element tags and the fixed file names.
namespace ControlConstants {

// Kind codes of control records. 1 and 2 exist only as element codes for the reader.
enum Kind : int {
    KindBase = 1,
    KindScene = 2,
    KindSwitch = 3,
    KindSensor = 4,
    KindText = 5,
    KindSystem = 6,
    KindWeather = 7,
    KindIpCam = 8,
    KindAVCam = 9,
    KindBool = 100,
    KindBtn = 101,
    KindByte = 102,
    KindDynamic = 103,
    KindHeat = 104,
    KindLight = 105,
    KindResbt = 106,
    KindDynText = 107,
    KindTextWrite = 108,
    KindHSlider = 109,
    KindVSlider = 110,
};

constexpr int kFirstBoundKind = 100;
constexpr int kLastBoundKind = 110;
// A record is bound to controller memory exactly when its code lies in 100..110.
constexpr bool isControllerBound(int kind)
{
    return kind >= kFirstBoundKind && kind <= kLastBoundKind;
}

// Controller memory layout, from the controller's memory map.
using ControllerMap::kBytesPerRegister;
using ControllerMap::kLampBase;        // byte address of lamp record 0
using ControllerMap::kLampRecordBytes; // state, 3 switches, sensor, room, scene switch/number
using ControllerMap::kThermostatBase;  // byte address of thermostat record 0
using ControllerMap::kThermostatRecordBytes;
constexpr int kMaxBlockBytes = 248;     // largest block the link reads in one request
constexpr int kMaxTextWriteBytes = 247; // longest text a text-write control sends

// Data lengths of the controller-bound kinds (bytes of the control's own value).
constexpr int kBoolDataLength = 1;
constexpr int kBtnDataLength = 1;
constexpr int kByteDataLength = 4;
constexpr int kDynamicDataLength = 1;
constexpr int kHeatDataLength = kThermostatRecordBytes;
constexpr int kLightDataLength = kLampRecordBytes;
constexpr int kResbtDataLength = 1;
constexpr int kTextWriteDataLength = 1;
constexpr int kSliderDataLength = 4;

// Value width of byte controls and sliders ("typeD").
enum DataType : int { TypeByte = 0, TypeWord = 1, TypeDWord = 2 };

// Text alignment values of text controls: left, right, and centred both ways (Qt::AlignCenter).
constexpr int kAlignLeft = 1;
constexpr int kAlignRight = 2;
constexpr int kAlignCenter = 132;

// Thermostat temperatures count in steps of 0.2 degrees.
using ControllerMap::kTemperatureStep;

// Subsystem files with fixed roles; any other project file is a further subsystem.
constexpr const char kMainFile[] = "main_config.xml";
constexpr const char kLightFile[] = "light_config.xml";
constexpr const char kHeatFile[] = "heat_config.xml";

// Element tags of the project files.
constexpr const char kTagSubsystems[] = "subsystems";
constexpr const char kTagGlobalScene[] = "glscene";
constexpr const char kTagFloor[] = "floor";
constexpr const char kTagRoom[] = "room";
constexpr const char kTagScene[] = "scene";
constexpr const char kTagBase[] = "basecnt";
constexpr const char kTagSwitch[] = "switch";
constexpr const char kTagSensor[] = "sensor";
constexpr const char kTagText[] = "textcnt";
constexpr const char kTagSystem[] = "syscontrol";
constexpr const char kTagWeather[] = "weather";
constexpr const char kTagIpCam[] = "ipcam";
constexpr const char kTagAVCam[] = "avcam";
constexpr const char kTagBool[] = "boolcnt";
constexpr const char kTagBtn[] = "btncnt";
constexpr const char kTagByte[] = "bytecnt";
constexpr const char kTagHeat[] = "heat";
constexpr const char kTagLight[] = "lamp";
constexpr const char kTagResbt[] = "resbt";
constexpr const char kTagDynText[] = "dyntextcnt";
constexpr const char kTagTextWrite[] = "textwritecnt";
constexpr const char kTagHSlider[] = "hslider";
constexpr const char kTagVSlider[] = "vslider";

// Element tag of a kind; empty for kinds that are never written (103). Asks ControlKinds.
QString tagForKind(int kind);
// Kind of an element tag (exact, case-sensitive); 0 for anything that is not a control or scene.
int kindForTag(const QString &tag);

} // namespace ControlConstants
