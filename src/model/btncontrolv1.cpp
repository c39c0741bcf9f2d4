// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "btncontrolv1.h"

#include "controlkind.h"

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

const ControlKind &BtnControlV1::kindDescription()
{
    static const ControlKind kind = [] {
        using A = ControlAttribute;
        using C = BtnControlV1;
        ControlKind k = ControlKind::ofRecord<C>(
            ControlConstants::KindBtn, ControlConstants::kTagBtn, ControlConstants::kBtnDataLength);
        k.bits = true;
        k.attributes = ControlAttributes::common();
        k.attributes += {
            A::field("width", &C::width, &C::setWidth, 120),
            A::field("height", &C::height, &C::setHeight, 30),
            A::field("image", &C::image, &C::setImage, QString(), A::Stored | A::Image),
            ControlAttributes::byteAddress(),
            A::field("bitNumber", &C::bitNumber, &C::setBitNumber, 0).withRange(0, 7),
        };
        return k;
    }();
    return kind;
}
