// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "controlkind.h"

#include "basecontrolv1.h"
#include "dynamiccontrolv1.h"

namespace ControlAttributes {

ControlAttribute name(int flags)
{
    return ControlAttribute::field("name", &BaseControlV1::name, &BaseControlV1::setName, QString(),
                                   flags);
}

ControlAttribute caption(const char *attributeName)
{
    return ControlAttribute::field(attributeName, &BaseControlV1::textB, &BaseControlV1::setTextB,
                                   QString());
}

QVector<ControlAttribute> position()
{
    // Percent of the plan; the stacking order only counts in [0, 1].
    return {
        ControlAttribute::field("posX", &BaseControlV1::posX, &BaseControlV1::setPosX, 0.0)
            .withRange(0.0, 100.0),
        ControlAttribute::field("posY", &BaseControlV1::posY, &BaseControlV1::setPosY, 0.0)
            .withRange(0.0, 100.0),
        ControlAttribute::field("zIndex", &BaseControlV1::zIndex, &BaseControlV1::setZIndex, 0.0)
            .withRange(0.0, 1.0),
    };
}

QVector<ControlAttribute> common()
{
    return QVector<ControlAttribute>{name(), caption()} + position();
}

ControlAttribute byteAddress()
{
    return ControlAttribute::field("byteAddress", &DynamicControlV1::byteAddress,
                                   &DynamicControlV1::setByteAddress, 0);
}

ControlAttribute typeD()
{
    using C = DynamicControlV1;
    return ControlAttribute::keyword(
        "typeD", &C::typeDText, &C::setTypeD, C::typeDToText(ControlConstants::TypeByte),
        {C::typeDToText(ControlConstants::TypeByte), C::typeDToText(ControlConstants::TypeWord),
         C::typeDToText(ControlConstants::TypeDWord)});
}

} // namespace ControlAttributes
