// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "basecontrolv1.h"

#include "controlkind.h"

#include "controlconstants.h"

BaseControlV1::~BaseControlV1() = default;

BaseControlV1 *BaseControlV1::clone() const
{
    return new BaseControlV1(*this);
}

int BaseControlV1::kind() const
{
    return ControlConstants::KindBase;
}

std::unique_ptr<BaseControlV1> BaseControlV1::create(const QString &name, const QString &textB,
                                                     const QPointF &position)
{
    return createControl<BaseControlV1>(name, textB, position);
}

const ControlKind &BaseControlV1::kindDescription()
{
    static const ControlKind kind = [] {
        // Recognised in files, where it stands for nothing: the reader creates no record for it.
        ControlKind k = ControlKind::ofRecord<BaseControlV1>(ControlConstants::KindBase,
                                                             ControlConstants::kTagBase);
        k.element = ControlKind::Element::Recognised;
        return k;
    }();
    return kind;
}

void BaseControlV1::decode(int minimumLength, BaseRoomV1 *page)
{
    Q_UNUSED(minimumLength)
    Q_UNUSED(page)
}

bool BaseControlV1::isControllerBound() const
{
    return ControlConstants::isControllerBound(kind());
}

void BaseControlV1::setPosX(double x)
{
    m_posX = x < 0 ? 0 : x;
}

void BaseControlV1::setZIndex(double z)
{
    // Written so that NaN is rejected as well.
    if (z >= 0 && z <= 1)
        m_zIndex = z;
}
