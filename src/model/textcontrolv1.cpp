// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "textcontrolv1.h"

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
