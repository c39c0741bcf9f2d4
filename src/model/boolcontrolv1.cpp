// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "boolcontrolv1.h"

BoolControlV1::BoolControlV1()
{
    setDataLength(ControlConstants::kBoolDataLength);
}

BoolControlV1::~BoolControlV1() = default;

BoolControlV1 *BoolControlV1::clone() const
{
    return new BoolControlV1(*this);
}

int BoolControlV1::kind() const
{
    return ControlConstants::KindBool;
}

std::unique_ptr<BoolControlV1> BoolControlV1::create(const QString &name, const QString &textB,
                                                     const QPointF &position)
{
    return createControl<BoolControlV1>(name, textB, position);
}

void BoolControlV1::decode(int minimumLength, BaseRoomV1 *page)
{
    Q_UNUSED(page)
    if (m_bitNumber < 0 || m_bitNumber > 7)
        return;
    const QByteArray bytes = decodableBytes(minimumLength);
    if (bytes.isEmpty())
        return;
    m_bitValue = (quint8(bytes.at(0)) >> m_bitNumber) & 1;
}
