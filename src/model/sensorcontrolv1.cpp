// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "sensorcontrolv1.h"

#include "controlkind.h"

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

const ControlKind &SensorControlV1::kindDescription()
{
    static const ControlKind kind = [] {
        using A = ControlAttribute;
        using C = SensorControlV1;
        ControlKind k =
            ControlKind::ofRecord<C>(ControlConstants::KindSensor, ControlConstants::kTagSensor);
        k.attributes = ControlAttributes::common();
        k.attributes += {
            A::field("imageOn", &C::imageOn, &C::setImageOn, QStringLiteral("img/piron.png"),
                     A::Stored | A::Image),
            A::field("imageOff", &C::imageOff, &C::setImageOff, QStringLiteral("img/piroff.png"),
                     A::Stored | A::Image),
            A::field("imageDis", &C::imageDis, &C::setImageDis, QStringLiteral("img/pirdis.png"),
                     A::Stored | A::Image),
            A::field("snrNumber", &C::snrNumber, &C::setSnrNumber, 1),
        };
        return k;
    }();
    return kind;
}
