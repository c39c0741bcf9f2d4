// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controlconstants.h"
#include "slidercontrolv1.h"

// A horizontal slider over a controller value.
class HSliderControlV1 : public SliderControlV1
{
public:
    HSliderControlV1();
    ~HSliderControlV1() override;

    HSliderControlV1 *clone() const override;
    int kind() const override;
    static std::unique_ptr<HSliderControlV1> create(const QString &name, const QString &textB,
                                                    const QPointF &position);
    // What the kind is to the project files, the editor and the tools.
    static const ControlKind &kindDescription();

protected:
    HSliderControlV1(const HSliderControlV1 &) = default;
};
