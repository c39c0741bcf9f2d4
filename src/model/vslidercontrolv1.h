// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controlconstants.h"
#include "slidercontrolv1.h"

// A vertical slider over a controller value.
class VSliderControlV1 : public SliderControlV1
{
public:
    VSliderControlV1();
    ~VSliderControlV1() override;

    VSliderControlV1 *clone() const override;
    int kind() const override;
    static std::unique_ptr<VSliderControlV1> create(const QString &name, const QString &textB,
                                                    const QPointF &position);
    // What the kind is to the project files, the editor and the tools.
    static const ControlKind &kindDescription();

protected:
    VSliderControlV1(const VSliderControlV1 &) = default;
};
