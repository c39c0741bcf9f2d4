// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "weathercontrolv1.h"

WeatherControlV1::WeatherControlV1() {}

WeatherControlV1::~WeatherControlV1() = default;

WeatherControlV1 *WeatherControlV1::clone() const
{
    return new WeatherControlV1(*this);
}

int WeatherControlV1::kind() const
{
    return ControlConstants::KindWeather;
}

std::unique_ptr<WeatherControlV1>
WeatherControlV1::create(const QString &name, const QString &textB, const QPointF &position)
{
    return createControl<WeatherControlV1>(name, textB, position);
}
