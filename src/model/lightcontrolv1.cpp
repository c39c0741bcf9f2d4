// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "lightcontrolv1.h"

#include "controlkind.h"

#include "baseroomv1.h"
#include "sensorcontrolv1.h"
#include "switchcontrolv1.h"

#include <limits>

LightControlV1::LightControlV1()
{
    setDataLength(ControlConstants::kLightDataLength);
    setLmpNumber(1);
}

LightControlV1::~LightControlV1() = default;

LightControlV1 *LightControlV1::clone() const
{
    return new LightControlV1(*this);
}

int LightControlV1::kind() const
{
    return ControlConstants::KindLight;
}

std::unique_ptr<LightControlV1> LightControlV1::create(const QString &name, const QString &textB,
                                                       const QPointF &position)
{
    return createControl<LightControlV1>(name, textB, position);
}

const ControlKind &LightControlV1::kindDescription()
{
    static const ControlKind kind = [] {
        using A = ControlAttribute;
        using C = LightControlV1;
        ControlKind k =
            ControlKind::ofRecord<C>(ControlConstants::KindLight, ControlConstants::kTagLight,
                                     ControlConstants::kLightDataLength);
        k.attributes = ControlAttributes::common();
        // The number selects the lamp's record; the address follows from it and is not stored.
        k.attributes += {
            A::field("dimmer", &C::isDimmer, &C::setDimmer, false),
            A::field("isSlider", &C::isSlider, &C::setSlider, false),
            A::field("imageOn", &C::imageOn, &C::setImageOn, QStringLiteral("img/lighton.png"),
                     A::Stored | A::Image),
            A::field("imageOff", &C::imageOff, &C::setImageOff, QStringLiteral("img/lightoff.png"),
                     A::Stored | A::Image),
            A::field("sliderColor", &C::sliderColor, &C::setSliderColor, QStringLiteral("blue")),
            A::field("lmpNumber", &C::lmpNumber, &C::setLmpNumber, 1),
        };
        return k;
    }();
    return kind;
}

void LightControlV1::setLmpNumber(int value)
{
    m_lmpNumber = value;
    // Lamp records are 8 bytes each from a fixed base; computed wide because the number comes
    // from a file and may be absurd.
    const qint64 address =
        qint64(ControlConstants::kLampRecordBytes) * value + ControlConstants::kLampBase;
    setByteAddress(int(
        qBound<qint64>(std::numeric_limits<int>::min(), address, std::numeric_limits<int>::max())));
}

void LightControlV1::decode(int minimumLength, BaseRoomV1 *page)
{
    const QByteArray bytes = decodableBytes(minimumLength);
    if (bytes.size() < ControlConstants::kLampRecordBytes)
        return;
    const auto b = [&bytes](int i) { return quint8(bytes.at(i)); };
    const bool on = b(0) & 1;
    m_lampState = on ? 0 : 1;
    m_brightness = b(0) >> 4;
    m_switch1 = b(1);
    m_switch2 = b(2);
    m_switch3 = b(3);
    m_sensorNumber = b(4);
    // Byte 5 is the lamp's room number, kept up to date by the controller link; not shown.
    m_sceneSwitch = b(6);
    if (!page)
        return;
    // The lamp record is the only place the controller reports sensor and scene switch states,
    // so the lamp passes them on to those controls of its page.
    if (SensorControlV1 *sensor = page->sensorByNumber(b(4)))
        sensor->setSensorState(on ? 0 : 1);
    if (b(6) > 0) {
        SwitchControlV1 *sceneSwitch = page->switchByNumber(b(6));
        // The first lamp that names a switch in an answer decides its scene number.
        if (sceneSwitch && sceneSwitch->switchMode() != 1) {
            sceneSwitch->setSwitchMode(1);
            sceneSwitch->setSceneNumber(b(7));
        }
    }
}
