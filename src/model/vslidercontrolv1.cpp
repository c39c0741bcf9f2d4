// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "vslidercontrolv1.h"

#include "controlkind.h"

VSliderControlV1::VSliderControlV1() {}

VSliderControlV1::~VSliderControlV1() = default;

VSliderControlV1 *VSliderControlV1::clone() const
{
    return new VSliderControlV1(*this);
}

int VSliderControlV1::kind() const
{
    return ControlConstants::KindVSlider;
}

std::unique_ptr<VSliderControlV1>
VSliderControlV1::create(const QString &name, const QString &textB, const QPointF &position)
{
    return createControl<VSliderControlV1>(name, textB, position);
}

const ControlKind &VSliderControlV1::kindDescription()
{
    static const ControlKind kind =
        sliderKind<VSliderControlV1>(ControlConstants::KindVSlider, ControlConstants::kTagVSlider);
    return kind;
}
