// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "textwritecontrolv1.h"

#include "controlkind.h"

TextWriteControlV1::TextWriteControlV1()
{
    setDataLength(ControlConstants::kTextWriteDataLength);
}

TextWriteControlV1::~TextWriteControlV1() = default;

TextWriteControlV1 *TextWriteControlV1::clone() const
{
    return new TextWriteControlV1(*this);
}

int TextWriteControlV1::kind() const
{
    return ControlConstants::KindTextWrite;
}

std::unique_ptr<TextWriteControlV1>
TextWriteControlV1::create(const QString &name, const QString &textB, const QPointF &position)
{
    return createControl<TextWriteControlV1>(name, textB, position);
}

const ControlKind &TextWriteControlV1::kindDescription()
{
    static const ControlKind kind = [] {
        using A = ControlAttribute;
        using C = TextWriteControlV1;
        ControlKind k = ControlKind::ofRecord<C>(ControlConstants::KindTextWrite,
                                                 ControlConstants::kTagTextWrite,
                                                 ControlConstants::kTextWriteDataLength);
        // The text goes to `maximum` bytes; a maximum outside what one write carries sends
        // nothing at all.
        k.valueBytes = [](const BaseControlV1 &c) {
            const int maximum = static_cast<const C &>(c).maximum();
            return maximum >= 1 && maximum <= ControlConstants::kMaxTextWriteBytes ? maximum : 0;
        };
        k.attributes = ControlAttributes::common();
        k.attributes += {
            A::field("width", &C::width, &C::setWidth, 180),
            A::field("height", &C::height, &C::setHeight, 80),
            ControlAttributes::byteAddress(),
            A::field("maximum", &C::maximum, &C::setMaximum, 255)
                .withRange(1, ControlConstants::kMaxTextWriteBytes),
            A::field("fontColor", &C::fontColor, &C::setFontColor, QStringLiteral("black")),
            A::field("showRound", &C::showRound, &C::setShowRound, true),
            A::field("fontSize", &C::fontSize, &C::setFontSize, 12),
        };
        return k;
    }();
    return kind;
}
