// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "textwritecontrolv1.h"

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
