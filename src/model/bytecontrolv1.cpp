// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bytecontrolv1.h"

#include "controlkind.h"

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

const ControlKind &ByteControlV1::kindDescription()
{
    static const ControlKind kind = [] {
        using A = ControlAttribute;
        using C = ByteControlV1;
        ControlKind k =
            ControlKind::ofRecord<C>(ControlConstants::KindByte, ControlConstants::kTagByte,
                                     ControlConstants::kByteDataLength);
        k.valueBytes = [](const BaseControlV1 &c) {
            return typeDBytes(static_cast<const C &>(c).typeD());
        };
        k.attributes = ControlAttributes::common();
        k.attributes += {
            A::field("width", &C::width, &C::setWidth, 180),
            A::field("height", &C::height, &C::setHeight, 80),
            A::field("image", &C::image, &C::setImage, QString(), A::Stored | A::Image),
            ControlAttributes::byteAddress(),
            A::field("maximum", &C::maximum, &C::setMaximum, 255),
            A::field("minimum", &C::minimum, &C::setMinimum, 0),
            A::field("precisionView", &C::precisionView, &C::setPrecisionView, 2),
            A::field("step", &C::step, &C::setStep, 1.0),
            A::field("maxval", &C::maxval, &C::setMaxval, 255),
            ControlAttributes::typeD(),
            A::field("isReadOnly", &C::isReadOnly, &C::setReadOnly, false),
            A::field("isEditable", &C::isEditable, &C::setEditable, false),
            A::field("fontColor", &C::fontColor, &C::setFontColor, QStringLiteral("black")),
            A::field("titleColor", &C::titleColor, &C::setTitleColor, QStringLiteral("black")),
            A::field("showRound", &C::showRound, &C::setShowRound, true),
            A::field("fontSize", &C::fontSize, &C::setFontSize, 12),
        };
        return k;
    }();
    return kind;
}

void ByteControlV1::decode(int minimumLength, BaseRoomV1 *page)
{
    Q_UNUSED(page)
    const QByteArray bytes = decodableBytes(minimumLength);
    if (bytes.isEmpty())
        return;
    m_value = valueByType(bytes);
}
