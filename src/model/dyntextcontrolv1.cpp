// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "dyntextcontrolv1.h"

#include "textcontrolv1.h"

DynTextControlV1::DynTextControlV1()
{
    setDataLength(ControlConstants::kDynamicDataLength);
}

DynTextControlV1::~DynTextControlV1() = default;

DynTextControlV1 *DynTextControlV1::clone() const
{
    return new DynTextControlV1(*this);
}

int DynTextControlV1::kind() const
{
    return ControlConstants::KindDynText;
}

std::unique_ptr<DynTextControlV1>
DynTextControlV1::create(const QString &name, const QString &textB, const QPointF &position)
{
    return createControl<DynTextControlV1>(name, textB, position);
}

void DynTextControlV1::setTextAlign(const QString &text)
{
    m_textAlign = TextControlV1::alignmentFromText(text);
}

QString DynTextControlV1::textAlignText() const
{
    return TextControlV1::alignmentToText(m_textAlign);
}

void DynTextControlV1::decode(int minimumLength, BaseRoomV1 *page)
{
    Q_UNUSED(page)
    QByteArray bytes = decodableBytes(minimumLength);
    if (bytes.isEmpty())
        return;
    // The controller pads texts with zero bytes; the text ends at the first one.
    const int end = bytes.indexOf('\0');
    if (end >= 0)
        bytes.truncate(end);
    m_text = QString::fromLocal8Bit(bytes);
}
