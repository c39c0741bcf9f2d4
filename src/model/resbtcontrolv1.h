// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controlconstants.h"
#include "dynamiccontrolv1.h"

// A button that writes a byte value; it shows whether the byte holds that value.
class ResbtControlV1 : public DynamicControlV1
{
public:
    ResbtControlV1();
    ~ResbtControlV1() override;

    ResbtControlV1 *clone() const override;
    int kind() const override;
    static std::unique_ptr<ResbtControlV1> create(const QString &name, const QString &textB,
                                                  const QPointF &position);
    // What the kind is to the project files, the editor and the tools.
    static const ControlKind &kindDescription();
    void decode(int minimumLength, BaseRoomV1 *page = nullptr) override;

    QString imageOn() const { return m_imageOn; }
    void setImageOn(const QString &value) { m_imageOn = value; }
    QString imageOff() const { return m_imageOff; }
    void setImageOff(const QString &value) { m_imageOff = value; }
    int val() const { return m_val; }
    void setVal(int value) { m_val = value; }
    quint8 byteValue() const { return m_byteValue; }
    void setByteValue(quint8 value) { m_byteValue = value; }

protected:
    ResbtControlV1(const ResbtControlV1 &) = default;

private:
    QString m_imageOn = QStringLiteral("img/on.png");
    QString m_imageOff = QStringLiteral("img/off.png");
    int m_val = 0;
    quint8 m_byteValue = 0;
};
