// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// Command payloads from a hub under any bytes: parsing must never crash, a command that passes
// must lie within the limits of its entity (brightness 0..10, a set-point within the climate
// range, a value within the number's range, a code the keypad could type), and a refusal must say
// why without repeating a code.
//
// Input: byte 0 chooses the component, byte 1 the topic's last level, the rest is the payload.
#include "bridgecommandparser.h"
#include "fuzzsupport.h"

#include <QtMath>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    using Component = BridgeCommandTarget::Component;
    using Action = BridgeCommand::Action;
    static const Component components[] = {Component::Light,  Component::Climate,
                                           Component::Switch, Component::Number,
                                           Component::Scene,  Component::AlarmPanel};
    static const char *const actions[] = {"set", "brightness", "temperature", "mode"};
    BridgeCommandTarget target;
    target.component = components[data[0] % 6];
    target.minimum = target.component == Component::Climate ? 5 : -100;
    target.maximum = target.component == Component::Climate ? 35 : 1000;
    target.step = 0.2;
    const QString action = QLatin1String(actions[data[1] % 4]);
    const QByteArray payload = FuzzSupport::bytes(data + 2, size - 2);

    const BridgeCommand c = BridgeCommandParser::parse(target, action, payload);
    if (!c.isValid()) {
        if (c.refusal.isEmpty())
            FuzzSupport::fail("refusal without a reason");
        if (c.code != 0)
            FuzzSupport::fail("a refused command carries a code");
        return 0;
    }
    if (payload.size() > BridgeCommandParser::kMaxPayloadBytes)
        FuzzSupport::fail("an over-long payload passed");
    switch (c.action) {
    case Action::Brightness:
        if (c.value < 0 || c.value > BridgeCommandParser::kMaxBrightness)
            FuzzSupport::fail("brightness out of range");
        break;
    case Action::SetPoint:
        if (c.value * target.step < target.minimum - target.step ||
            c.value * target.step > target.maximum + target.step)
            FuzzSupport::fail("set-point out of range");
        break;
    case Action::Value:
        if (c.value < target.minimum || c.value > target.maximum)
            FuzzSupport::fail("value out of range");
        break;
    case Action::Arm:
    case Action::Disarm:
        if (c.code <= 0 || c.code > 999999999)
            FuzzSupport::fail("a code the keypad cannot type");
        if (target.component != Component::AlarmPanel)
            FuzzSupport::fail("a code for something else than the alarm panel");
        break;
    default:
        break;
    }
    return 0;
}
