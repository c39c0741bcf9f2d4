// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "btncontrolv1.h"

BtnControlV1::BtnControlV1()
{
    setDataLength(ControlConstants::kBtnDataLength);
}

BtnControlV1::~BtnControlV1() = default;

BtnControlV1 *BtnControlV1::clone() const
{
    return new BtnControlV1(*this);
}

int BtnControlV1::kind() const
{
    return ControlConstants::KindBtn;
}

std::unique_ptr<BtnControlV1> BtnControlV1::create(const QString &name, const QString &textB,
                                                   const QPointF &position)
{
    return createControl<BtnControlV1>(name, textB, position);
}
