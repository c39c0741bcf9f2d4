// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controllermap.h"

#include <QByteArray>
#include <QString>

// Turns the payload of a command message into a checked command, or into a refusal with a reason
// that is safe to log (a refusal never repeats a security code). Pure: no state, no I/O, so it
// can be unit-tested and fuzzed on its own. What the command then does is the bridge's business.
struct BridgeCommand
{
    enum class Action {
        Invalid,
        Power,      // light, switch: on / off
        Brightness, // light: 0..10
        SetPoint,   // climate: raw set point in temperature steps
        Value,      // number: raw value
        Run,        // scene
        Arm,        // alarm panel: arm with code
        Disarm,     // alarm panel: disarm with code
    };
    Action action = Action::Invalid;
    bool on = false;
    int value = 0;
    int code = 0;    // alarm panel only; never logged
    QString refusal; // why the payload was refused (Invalid only)

    bool isValid() const { return action != Action::Invalid; }
};

// The limits of the entity a command is meant for.
struct BridgeCommandTarget
{
    enum class Component { Light, Climate, Switch, Number, Scene, AlarmPanel };
    Component component = Component::Light;
    // Climate: degrees; number: raw value. Both inclusive.
    double minimum = 0;
    double maximum = 0;
    double step = 1; // climate: the controller's temperature step
};

namespace BridgeCommandParser {

constexpr int kMaxPayloadBytes = 256;
// The panel's dimmer scale: a hub's 100 % is the level the wall shows as 100 %.
constexpr int kMaxBrightness = ControllerMap::kLampBrightnessMaximum;
constexpr int kMaxCodeDigits = 9; // the keypad's code length

// `topicAction` is the last topic level after the entity: "set", "brightness" or "temperature".
BridgeCommand parse(const BridgeCommandTarget &target, const QString &topicAction,
                    const QByteArray &payload);

} // namespace BridgeCommandParser
