// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "resbtcontrolv1.h"

#include "controlkind.h"

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

const ControlKind &ResbtControlV1::kindDescription()
{
    static const ControlKind kind = [] {
        using A = ControlAttribute;
        using C = ResbtControlV1;
        ControlKind k =
            ControlKind::ofRecord<C>(ControlConstants::KindResbt, ControlConstants::kTagResbt,
                                     ControlConstants::kResbtDataLength);
        k.attributes = ControlAttributes::common();
        k.attributes += {
            A::field("imageOn", &C::imageOn, &C::setImageOn, QStringLiteral("img/on.png"),
                     A::Stored | A::Image),
            A::field("imageOff", &C::imageOff, &C::setImageOff, QStringLiteral("img/off.png"),
                     A::Stored | A::Image),
            ControlAttributes::byteAddress(),
            A::field("val", &C::val, &C::setVal, 0),
        };
        return k;
    }();
    return kind;
}

void ResbtControlV1::decode(int minimumLength, BaseRoomV1 *page)
{
    Q_UNUSED(page)
    const QByteArray bytes = decodableBytes(minimumLength);
    if (bytes.isEmpty())
        return;
    m_byteValue = quint8(bytes.at(0));
}
