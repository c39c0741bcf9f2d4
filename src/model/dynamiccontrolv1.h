// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "basecontrolv1.h"

#include <QByteArray>

// A control bound to a window of controller memory: byte address, value width, and the whole
// registers the link reads for it. Base of every controller-bound kind (100..110); kind 103 itself.
class DynamicControlV1 : public BaseControlV1
{
public:
    DynamicControlV1();
    ~DynamicControlV1() override;

    DynamicControlV1 *clone() const override;
    int kind() const override;

    static std::unique_ptr<DynamicControlV1> create(const QString &name, const QString &textB,
                                                    const QPointF &position);
    // What the kind is to the project files, the editor and the tools.
    static const ControlKind &kindDescription();

    int byteAddress() const { return m_byteAddress; }
    void setByteAddress(int address);
    int typeD() const { return m_typeD; }
    void setTypeD(int type) { m_typeD = type; }
    void setTypeD(const QString &text);
    QString typeDText() const;
    int dataLength() const { return m_dataLength; }
    void setDataLength(int length); // 0 or less is ignored
    int fetchLength() const { return m_fetchLength; }
    int oddOffset() const { return m_oddOffset; }
    QByteArray data() const { return m_data; }
    void setData(const QByteArray &data) { m_data = data; }
    bool isChanged() const { return m_changed; }
    void setChanged(bool on) { m_changed = on; }

    // Register holding the first byte: registerOffset + byteAddress / 2, or 0 when either is
    // negative. Computed wide so that absurd addresses from a file cannot overflow.
    int firstRegister(int registerOffset) const;
    static int firstRegister(int registerOffset, int byteAddress);

    // "WORD" -> 1, "DWORD" -> 2, anything else -> 0 (BYTE); and back.
    static int typeDFromText(const QString &text);
    static QString typeDToText(int type);
    // Bytes of a value of that width: 1, 2 or 4.
    static int typeDBytes(int type);

protected:
    DynamicControlV1(const DynamicControlV1 &) = default;
    // The bytes of `data` from the odd offset on, or an empty array when fewer than
    // `minimumLength` bytes were read (then nothing may be decoded).
    QByteArray decodableBytes(int minimumLength) const;
    // Unsigned value of `bytes` at `offset` by the typeD width, little-endian; 0 if too short.
    double valueByType(const QByteArray &bytes) const;

private:
    void updateFetchLength();

    int m_byteAddress = 0;
    int m_typeD = 0;
    int m_dataLength = 1;
    int m_fetchLength = 2;
    int m_oddOffset = 0;
    QByteArray m_data;
    bool m_changed = false;
};
