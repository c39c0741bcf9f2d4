// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controlconstants.h"
#include "dynamiccontrolv1.h"

// One bit of controller memory shown as one of two images.
class BoolControlV1 : public DynamicControlV1
{
public:
    BoolControlV1();
    ~BoolControlV1() override;

    BoolControlV1 *clone() const override;
    int kind() const override;
    static std::unique_ptr<BoolControlV1> create(const QString &name, const QString &textB,
                                                 const QPointF &position);
    // What the kind is to the project files, the editor and the tools.
    static const ControlKind &kindDescription();
    void decode(int minimumLength, BaseRoomV1 *page = nullptr) override;

    QString imageOn() const { return m_imageOn; }
    void setImageOn(const QString &value) { m_imageOn = value; }
    QString imageOff() const { return m_imageOff; }
    void setImageOff(const QString &value) { m_imageOff = value; }
    int bitNumber() const { return m_bitNumber; }
    void setBitNumber(int value) { m_bitNumber = value; }
    bool bitValue() const { return m_bitValue; }
    void setBitValue(bool value) { m_bitValue = value; }

protected:
    BoolControlV1(const BoolControlV1 &) = default;

private:
    QString m_imageOn = QStringLiteral("img/on.png");
    QString m_imageOff = QStringLiteral("img/off.png");
    int m_bitNumber = 0;
    bool m_bitValue = false;
};
