// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "weathercontrolv1.h"

#include "controlkind.h"

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

const ControlKind &WeatherControlV1::kindDescription()
{
    static const ControlKind kind = [] {
        using A = ControlAttribute;
        using C = WeatherControlV1;
        ControlKind k =
            ControlKind::ofRecord<C>(ControlConstants::KindWeather, ControlConstants::kTagWeather);
        // The caption is the city's name; the tile has no name of its own in files.
        k.attributes = {ControlAttributes::name(A::Stored | A::WrittenWhenSet),
                        ControlAttributes::caption("cityName"),
                        A::field("cityId", &C::cityId, &C::setCityId, QString())};
        k.attributes += ControlAttributes::position();
        return k;
    }();
    return kind;
}
