// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controllermap.h"

#include <QColor>
#include <QList>
#include <QString>

// Names and numbers the demo's files agree on: file names, controller addresses, plan and icon
// sizes, message and sound numbers shared by the settings and the simulator timeline.
namespace DemoConstants {

constexpr int kPlanWidth = 1024;
constexpr int kPlanHeight = 700;
constexpr int kIconSize = 64;       // lamp, switch, sensor, bit, room and floor buttons
constexpr int kSystemIconSize = 80; // buttons of the home page
constexpr int kButtonIconSize = 32; // images of bit push buttons

inline const QString kMainFile = QStringLiteral("main_config.xml");
inline const QString kLightFile = QStringLiteral("light_config.xml");
inline const QString kHeatFile = QStringLiteral("heat_config.xml");
inline const QString kSettingsFile = QStringLiteral("config.xml");
inline const QString kScenarioFile = QStringLiteral("demo.scenario");
inline const QString kAddressPlanFile = QStringLiteral("address-plan.md");

// Controller memory (bytes, register offset 0): the status block, the scene area and the lamp and
// thermostat records are where the controller's memory map puts them; the demo's own controls
// start at kFirstSubsystemByte, one block per subsystem.
using namespace ControllerMap;
constexpr int kByteControlLength = 4; // byte, word and slider controls read four bytes
constexpr int kTextBytes = 16;        // dynamic texts and the text writer (even: whole registers)
constexpr int kFirstSubsystemByte = 1024;
constexpr int kSubsystemBlockBytes = 64;

constexpr int kThermostatWidth = 180;
constexpr int kThermostatHeight = 100;

constexpr const char *kLoopback = "127.0.0.1";
constexpr int kControllerPort = 1502;
constexpr int kCameraPortGate = 8090;
constexpr int kCameraPortGarden = 8091;
constexpr int kCameraPortDoor = 8092;

// Message ids of the settings that the simulator timeline raises.
constexpr int kMessageKitchenLeak = 1;
constexpr int kMessageFrontDoor = 8;
constexpr int kMessageGateOpen = 9;
// Sound numbers of the settings.
constexpr int kSoundAlarm = 1;
constexpr int kSoundChime = 2;
constexpr int kSoundLeak = 3;
constexpr int kSoundSmoke = 4;

constexpr int kScenarioCycles = 15;
constexpr int kScenarioCycleSeconds = 120;

struct SubsystemInfo
{
    QString file;
    QString caption;
    QString icon;       // button on the home page
    QString background; // plan of the subsystem's root page
    QString glyph;
    QColor accent;
    int firstByte;
};

inline const QList<SubsystemInfo> kSubsystems = {
    {QStringLiteral("security.xml"), QStringLiteral("Security"), QStringLiteral("sub_security.png"),
     QStringLiteral("bg_security.png"), QStringLiteral("shield"), QColor(0xe5, 0x48, 0x4d), 1024},
    {QStringLiteral("leaks.xml"), QStringLiteral("Water leaks"), QStringLiteral("sub_leaks.png"),
     QStringLiteral("bg_leaks.png"), QStringLiteral("drop"), QColor(0x3e, 0xa6, 0xff), 1088},
    {QStringLiteral("electricity.xml"), QStringLiteral("Electricity"),
     QStringLiteral("sub_electricity.png"), QStringLiteral("bg_electricity.png"),
     QStringLiteral("bolt"), QColor(0xf5, 0xc5, 0x18), 1152},
    {QStringLiteral("ventilation.xml"), QStringLiteral("Ventilation"),
     QStringLiteral("sub_ventilation.png"), QStringLiteral("bg_ventilation.png"),
     QStringLiteral("fan"), QColor(0x4d, 0xd0, 0xa8), 1216},
    {QStringLiteral("boiler.xml"), QStringLiteral("Boiler room"), QStringLiteral("sub_boiler.png"),
     QStringLiteral("bg_boiler.png"), QStringLiteral("boiler"), QColor(0xff, 0x70, 0x43), 1280},
    {QStringLiteral("garden.xml"), QStringLiteral("Garden"), QStringLiteral("sub_garden.png"),
     QStringLiteral("bg_garden.png"), QStringLiteral("tree"), QColor(0x7c, 0xb3, 0x42), 1344},
    {QStringLiteral("gates.xml"), QStringLiteral("Gates"), QStringLiteral("sub_gates.png"),
     QStringLiteral("bg_gates.png"), QStringLiteral("gate"), QColor(0xab, 0x47, 0xbc), 1408},
    {QStringLiteral("cameras.xml"), QStringLiteral("Cameras"), QStringLiteral("sub_cameras.png"),
     QStringLiteral("bg_cameras.png"), QStringLiteral("camera"), QColor(0x26, 0xc6, 0xda), 1472},
    {QStringLiteral("media.xml"), QStringLiteral("Media"), QStringLiteral("sub_media.png"),
     QStringLiteral("bg_media.png"), QStringLiteral("music"), QColor(0xec, 0x40, 0x7a), 1536},
    {QStringLiteral("weather.xml"), QStringLiteral("Weather"), QStringLiteral("sub_weather.png"),
     QStringLiteral("bg_weather.png"), QStringLiteral("cloud_sun"), QColor(0x90, 0xca, 0xf9), 1600},
};

inline const SubsystemInfo &subsystem(const QString &file)
{
    for (const SubsystemInfo &s : kSubsystems) {
        if (s.file == file)
            return s;
    }
    Q_ASSERT_X(false, "subsystem", "unknown subsystem file");
    return kSubsystems.first();
}

} // namespace DemoConstants
