// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "sensorcontrolv1.h"

SensorControlV1::SensorControlV1() {}

SensorControlV1::~SensorControlV1() = default;

SensorControlV1 *SensorControlV1::clone() const
{
    return new SensorControlV1(*this);
}

int SensorControlV1::kind() const
{
    return ControlConstants::KindSensor;
}

std::unique_ptr<SensorControlV1> SensorControlV1::create(const QString &name, const QString &textB,
                                                         const QPointF &position)
{
    return createControl<SensorControlV1>(name, textB, position);
}
