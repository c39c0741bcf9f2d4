// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "textcontrolv1.h"

#include "controlkind.h"

TextControlV1::TextControlV1() {}

TextControlV1::~TextControlV1() = default;

TextControlV1 *TextControlV1::clone() const
{
    return new TextControlV1(*this);
}

int TextControlV1::kind() const
{
    return ControlConstants::KindText;
}

std::unique_ptr<TextControlV1> TextControlV1::create(const QString &name, const QString &textB,
                                                     const QPointF &position)
{
    return createControl<TextControlV1>(name, textB, position);
}

const ControlKind &TextControlV1::kindDescription()
{
    static const ControlKind kind = [] {
        using A = ControlAttribute;
        using C = TextControlV1;
        ControlKind k =
            ControlKind::ofRecord<C>(ControlConstants::KindText, ControlConstants::kTagText);
        k.attributes = ControlAttributes::common();
        k.attributes += {
            A::field("width", &C::width, &C::setWidth, 80),
            A::field("height", &C::height, &C::setHeight, 80),
            A::field("fontType", &C::fontType, &C::setFontType, 50),
            A::field("fontColor", &C::fontColor, &C::setFontColor, QStringLiteral("#FFFFFF")),
            A::field("fontFamily", &C::fontFamily, &C::setFontFamily, QStringLiteral("Arial"))
                .withEmptyValue(QStringLiteral("Arial")),
            A::field("fontSize", &C::fontSize, &C::setFontSize, 12),
            A::field("showRound", &C::showRound, &C::setShowRound, false),
            A::keyword("textAlign", &C::textAlignText, &C::setTextAlign, QStringLiteral("center"),
                       alignmentTexts()),
        };
        return k;
    }();
    return kind;
}

int TextControlV1::alignmentFromText(const QString &text)
{
    if (text == QLatin1String("left"))
        return ControlConstants::kAlignLeft;
    if (text == QLatin1String("right"))
        return ControlConstants::kAlignRight;
    return ControlConstants::kAlignCenter;
}

QString TextControlV1::alignmentToText(int alignment)
{
    switch (alignment) {
    case ControlConstants::kAlignLeft:
        return QStringLiteral("left");
    case ControlConstants::kAlignRight:
        return QStringLiteral("right");
    default:
        return QStringLiteral("center");
    }
}

QStringList TextControlV1::alignmentTexts()
{
    return {alignmentToText(ControlConstants::kAlignLeft),
            alignmentToText(ControlConstants::kAlignRight),
            alignmentToText(ControlConstants::kAlignCenter)};
}
