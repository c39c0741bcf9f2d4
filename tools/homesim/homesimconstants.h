// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controllermap.h"

#include <QtGlobal>

// What the simulator alone fixes: ports and defaults. The controller memory it serves is the one
// the panel reads, named in controllermap.h and used here under its names (the keypad's state
// codes too: Security::Disarmed and so on).
namespace HomeSim {

using namespace ControllerMap;

// Modbus: the simulator maps every register (kRegisterCount) from the register offset up.
constexpr int kDefaultPort = 1502;
// The weather informer of --http; the demo configuration names it.
constexpr int kDefaultWeatherPort = 8089;

} // namespace HomeSim
