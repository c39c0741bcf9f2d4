// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "hslidercontrolv1.h"

#include "controlkind.h"

HSliderControlV1::HSliderControlV1() {}

HSliderControlV1::~HSliderControlV1() = default;

HSliderControlV1 *HSliderControlV1::clone() const
{
    return new HSliderControlV1(*this);
}

int HSliderControlV1::kind() const
{
    return ControlConstants::KindHSlider;
}

std::unique_ptr<HSliderControlV1>
HSliderControlV1::create(const QString &name, const QString &textB, const QPointF &position)
{
    return createControl<HSliderControlV1>(name, textB, position);
}

const ControlKind &HSliderControlV1::kindDescription()
{
    static const ControlKind kind =
        sliderKind<HSliderControlV1>(ControlConstants::KindHSlider, ControlConstants::kTagHSlider);
    return kind;
}
