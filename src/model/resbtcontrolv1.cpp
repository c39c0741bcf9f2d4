// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "resbtcontrolv1.h"

ResbtControlV1::ResbtControlV1()
{
    setDataLength(ControlConstants::kResbtDataLength);
}

ResbtControlV1::~ResbtControlV1() = default;

ResbtControlV1 *ResbtControlV1::clone() const
{
    return new ResbtControlV1(*this);
}

int ResbtControlV1::kind() const
{
    return ControlConstants::KindResbt;
}

std::unique_ptr<ResbtControlV1> ResbtControlV1::create(const QString &name, const QString &textB,
                                                       const QPointF &position)
{
    return createControl<ResbtControlV1>(name, textB, position);
}

void ResbtControlV1::decode(int minimumLength, BaseRoomV1 *page)
{
    Q_UNUSED(page)
    const QByteArray bytes = decodableBytes(minimumLength);
    if (bytes.isEmpty())
        return;
    m_byteValue = quint8(bytes.at(0));
}
