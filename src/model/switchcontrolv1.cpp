// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "switchcontrolv1.h"

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
