// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "slidercontrolv1.h"

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
