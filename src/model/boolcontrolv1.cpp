// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "boolcontrolv1.h"

#include "controlkind.h"

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

const ControlKind &BoolControlV1::kindDescription()
{
    static const ControlKind kind = [] {
        using A = ControlAttribute;
        using C = BoolControlV1;
        ControlKind k =
            ControlKind::ofRecord<C>(ControlConstants::KindBool, ControlConstants::kTagBool,
                                     ControlConstants::kBoolDataLength);
        k.bits = true;
        k.attributes = ControlAttributes::common();
        k.attributes += {
            A::field("imageOn", &C::imageOn, &C::setImageOn, QStringLiteral("img/on.png"),
                     A::Stored | A::Image),
            A::field("imageOff", &C::imageOff, &C::setImageOff, QStringLiteral("img/off.png"),
                     A::Stored | A::Image),
            ControlAttributes::byteAddress(),
            A::field("bitNumber", &C::bitNumber, &C::setBitNumber, 0).withRange(0, 7),
            A::field("isReadOnly", &C::isReadOnly, &C::setReadOnly, false),
        };
        return k;
    }();
    return kind;
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
