// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controllermap.h"

#include <QtGlobal>

// What the simulator alone fixes: keypad states, ports and defaults. The controller memory it
// serves is the one the panel reads, named in controllermap.h and used here under its names.
namespace HomeSim {

using namespace ControllerMap;

// Security keypad state codes (texts come from the "secure" list of config.xml).
namespace Security {
constexpr int Malfunction = 0;
constexpr int Disarmed = 1;
constexpr int Armed = 2;
constexpr int EnterPass = 3;
constexpr int WrongPass = 4;
constexpr int Alarm = kSecurityAlarm;
constexpr int Countdown = 6;
constexpr int Arming = 10;
constexpr int Disarming = 11;
constexpr int EnterOldPass = 12;
constexpr int EnterNewPass = 13;
constexpr int RepeatNewPass = 14;
constexpr int PassChanged = 15;
} // namespace Security

// Modbus: the simulator maps every register (kRegisterCount) from the register offset up.
constexpr int kDefaultPort = 1502;
// The weather informer of --http; the demo configuration names it.
constexpr int kDefaultWeatherPort = 8089;

} // namespace HomeSim
