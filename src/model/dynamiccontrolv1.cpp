// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "dynamiccontrolv1.h"

#include "controlkind.h"

#include "controlconstants.h"

#include <QtEndian>
#include <limits>

DynamicControlV1::DynamicControlV1() = default;

DynamicControlV1::~DynamicControlV1() = default;

DynamicControlV1 *DynamicControlV1::clone() const
{
    return new DynamicControlV1(*this);
}

int DynamicControlV1::kind() const
{
    return ControlConstants::KindDynamic;
}

std::unique_ptr<DynamicControlV1>
DynamicControlV1::create(const QString &name, const QString &textB, const QPointF &position)
{
    return createControl<DynamicControlV1>(name, textB, position);
}

const ControlKind &DynamicControlV1::kindDescription()
{
    static const ControlKind kind = [] {
        // The common base of the bound kinds: it has no element of its own.
        ControlKind k = ControlKind::ofRecord<DynamicControlV1>(
            ControlConstants::KindDynamic, "", ControlConstants::kDynamicDataLength);
        k.tag.clear();
        k.element = ControlKind::Element::None;
        return k;
    }();
    return kind;
}

void DynamicControlV1::setByteAddress(int address)
{
    m_byteAddress = address;
    // An odd address starts in the high byte of its register; negative addresses are never polled.
    m_oddOffset = address % 2 > 0 ? 1 : 0;
    if (m_dataLength > 0)
        updateFetchLength();
}

void DynamicControlV1::setTypeD(const QString &text)
{
    m_typeD = typeDFromText(text);
}

QString DynamicControlV1::typeDText() const
{
    return typeDToText(m_typeD);
}

void DynamicControlV1::setDataLength(int length)
{
    if (length <= 0)
        return;
    m_dataLength = length;
    updateFetchLength();
}

void DynamicControlV1::updateFetchLength()
{
    // Whole registers only. A data length from a file can be as large as an int, so the sum is
    // formed wide and kept even when clamped.
    qint64 length = qint64(m_dataLength) + m_oddOffset;
    if (length % 2)
        ++length;
    const qint64 largestEven = std::numeric_limits<int>::max() - 1;
    m_fetchLength = int(qMin(length, largestEven));
}

int DynamicControlV1::firstRegister(int registerOffset) const
{
    return firstRegister(registerOffset, m_byteAddress);
}

int DynamicControlV1::firstRegister(int registerOffset, int byteAddress)
{
    if (registerOffset < 0 || byteAddress < 0)
        return 0;
    const qint64 reg = qint64(registerOffset) + byteAddress / ControlConstants::kBytesPerRegister;
    return int(qMin<qint64>(reg, std::numeric_limits<int>::max()));
}

int DynamicControlV1::typeDFromText(const QString &text)
{
    if (text == QLatin1String("WORD"))
        return ControlConstants::TypeWord;
    if (text == QLatin1String("DWORD"))
        return ControlConstants::TypeDWord;
    return ControlConstants::TypeByte;
}

QString DynamicControlV1::typeDToText(int type)
{
    switch (type) {
    case ControlConstants::TypeWord:
        return QStringLiteral("WORD");
    case ControlConstants::TypeDWord:
        return QStringLiteral("DWORD");
    default:
        return QStringLiteral("BYTE");
    }
}

int DynamicControlV1::typeDBytes(int type)
{
    return type == ControlConstants::TypeDWord ? 4 : type == ControlConstants::TypeWord ? 2 : 1;
}

QByteArray DynamicControlV1::decodableBytes(int minimumLength) const
{
    if (m_data.size() < minimumLength || m_data.size() <= m_oddOffset)
        return QByteArray();
    return m_data.mid(m_oddOffset);
}

double DynamicControlV1::valueByType(const QByteArray &bytes) const
{
    const auto *raw = reinterpret_cast<const uchar *>(bytes.constData());
    switch (m_typeD) {
    case ControlConstants::TypeWord:
        return bytes.size() >= 2 ? double(qFromLittleEndian<quint16>(raw)) : 0.0;
    case ControlConstants::TypeDWord:
        return bytes.size() >= 4 ? double(qFromLittleEndian<quint32>(raw)) : 0.0;
    default:
        return bytes.isEmpty() ? 0.0 : double(raw[0]);
    }
}
