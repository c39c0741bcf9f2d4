// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "switchcontrolv1.h"

#include "controlkind.h"

SwitchControlV1::SwitchControlV1() {}

SwitchControlV1::~SwitchControlV1() = default;

SwitchControlV1 *SwitchControlV1::clone() const
{
    return new SwitchControlV1(*this);
}

int SwitchControlV1::kind() const
{
    return ControlConstants::KindSwitch;
}

std::unique_ptr<SwitchControlV1> SwitchControlV1::create(const QString &name, const QString &textB,
                                                         const QPointF &position)
{
    return createControl<SwitchControlV1>(name, textB, position);
}

const ControlKind &SwitchControlV1::kindDescription()
{
    static const ControlKind kind = [] {
        using A = ControlAttribute;
        using C = SwitchControlV1;
        ControlKind k =
            ControlKind::ofRecord<C>(ControlConstants::KindSwitch, ControlConstants::kTagSwitch);
        k.attributes = ControlAttributes::common();
        k.attributes += {
            A::field("imageOn", &C::imageOn, &C::setImageOn, QStringLiteral("img/switch.png"),
                     A::Stored | A::Image),
            A::field("imageScene", &C::imageScene, &C::setImageScene,
                     QStringLiteral("img/switchscn.png"), A::Stored | A::Image),
            A::field("swcNumber", &C::swcNumber, &C::setSwcNumber, 1),
        };
        return k;
    }();
    return kind;
}
