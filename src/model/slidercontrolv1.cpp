// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "slidercontrolv1.h"

#include "controlkind.h"

SliderControlV1::SliderControlV1()
{
    setDataLength(ControlConstants::kSliderDataLength);
}

SliderControlV1::~SliderControlV1() = default;

void SliderControlV1::decode(int minimumLength, BaseRoomV1 *page)
{
    Q_UNUSED(page)
    const QByteArray bytes = decodableBytes(minimumLength);
    if (bytes.isEmpty())
        return;
    m_value = valueByType(bytes);
}

QVector<ControlAttribute> SliderControlV1::sliderAttributes()
{
    using A = ControlAttribute;
    using C = SliderControlV1;
    QVector<A> attributes = ControlAttributes::common();
    attributes += {
        A::field("width", &C::width, &C::setWidth, 180),
        A::field("height", &C::height, &C::setHeight, 80),
        ControlAttributes::byteAddress(),
        A::field("maximum", &C::maximum, &C::setMaximum, 255),
        A::field("minimum", &C::minimum, &C::setMinimum, 0),
        A::field("precisionView", &C::precisionView, &C::setPrecisionView, 0),
        A::field("step", &C::step, &C::setStep, 1.0),
        A::field("maxval", &C::maxval, &C::setMaxval, 255),
        A::field("sliderColor", &C::sliderColor, &C::setSliderColor, QStringLiteral("#017afd")),
        ControlAttributes::typeD(),
        A::field("showRound", &C::showRound, &C::setShowRound, false),
    };
    return attributes;
}
