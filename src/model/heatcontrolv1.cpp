// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "heatcontrolv1.h"

#include "controlkind.h"

#include <limits>

HeatControlV1::HeatControlV1()
{
    setDataLength(ControlConstants::kHeatDataLength);
    setSwcNumber(1);
}

HeatControlV1::~HeatControlV1() = default;

HeatControlV1 *HeatControlV1::clone() const
{
    return new HeatControlV1(*this);
}

int HeatControlV1::kind() const
{
    return ControlConstants::KindHeat;
}

std::unique_ptr<HeatControlV1> HeatControlV1::create(const QString &name, const QString &textB,
                                                     const QPointF &position)
{
    return createControl<HeatControlV1>(name, textB, position);
}

const ControlKind &HeatControlV1::kindDescription()
{
    static const ControlKind kind = [] {
        using A = ControlAttribute;
        using C = HeatControlV1;
        ControlKind k =
            ControlKind::ofRecord<C>(ControlConstants::KindHeat, ControlConstants::kTagHeat,
                                     ControlConstants::kHeatDataLength);
        k.attributes = ControlAttributes::common();
        // The number selects the thermostat's record; the address follows from it and is not
        // stored.
        k.attributes += {
            A::field("width", &C::width, &C::setWidth, 180),
            A::field("height", &C::height, &C::setHeight, 100),
            A::field("swcNumber", &C::swcNumber, &C::setSwcNumber, 1),
            A::field("fontColor", &C::fontColor, &C::setFontColor, QStringLiteral("black")),
            A::field("titleColor", &C::titleColor, &C::setTitleColor, QStringLiteral("black")),
            A::field("fontSize", &C::fontSize, &C::setFontSize, 12),
        };
        return k;
    }();
    return kind;
}

void HeatControlV1::setSwcNumber(int value)
{
    m_swcNumber = value;
    // Thermostat records are 4 bytes each from a fixed base; computed wide because the number
    // comes from a file and may be absurd.
    const qint64 address = qint64(ControlConstants::kThermostatRecordBytes) * value +
                           ControlConstants::kThermostatBase;
    setByteAddress(int(
        qBound<qint64>(std::numeric_limits<int>::min(), address, std::numeric_limits<int>::max())));
}

void HeatControlV1::decode(int minimumLength, BaseRoomV1 *page)
{
    Q_UNUSED(page)
    const QByteArray bytes = decodableBytes(minimumLength);
    if (bytes.size() < ControlConstants::kThermostatRecordBytes)
        return;
    // Byte 2 of the record is not used by the panel.
    m_temperature = quint8(bytes.at(0)) * ControlConstants::kTemperatureStep;
    m_setPoint = quint8(bytes.at(1));
    m_heatLevel = quint8(bytes.at(3));
}
