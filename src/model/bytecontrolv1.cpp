// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bytecontrolv1.h"

ByteControlV1::ByteControlV1()
{
    setDataLength(ControlConstants::kByteDataLength);
}

ByteControlV1::~ByteControlV1() = default;

ByteControlV1 *ByteControlV1::clone() const
{
    return new ByteControlV1(*this);
}

int ByteControlV1::kind() const
{
    return ControlConstants::KindByte;
}

std::unique_ptr<ByteControlV1> ByteControlV1::create(const QString &name, const QString &textB,
                                                     const QPointF &position)
{
    return createControl<ByteControlV1>(name, textB, position);
}

void ByteControlV1::decode(int minimumLength, BaseRoomV1 *page)
{
    Q_UNUSED(page)
    const QByteArray bytes = decodableBytes(minimumLength);
    if (bytes.isEmpty())
        return;
    m_value = valueByType(bytes);
}
