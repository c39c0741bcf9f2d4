// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "systemcontrolv1.h"

SystemControlV1::SystemControlV1() {}

SystemControlV1::~SystemControlV1() = default;

SystemControlV1 *SystemControlV1::clone() const
{
    return new SystemControlV1(*this);
}

int SystemControlV1::kind() const
{
    return ControlConstants::KindSystem;
}

std::unique_ptr<SystemControlV1> SystemControlV1::create(const QString &name, const QString &textB,
                                                         const QPointF &position)
{
    return createControl<SystemControlV1>(name, textB, position);
}
