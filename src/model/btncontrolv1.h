// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controlconstants.h"
#include "dynamiccontrolv1.h"

// A push button bound to one bit; the room screen sends its command, nothing is decoded.
class BtnControlV1 : public DynamicControlV1
{
public:
    BtnControlV1();
    ~BtnControlV1() override;

    BtnControlV1 *clone() const override;
    int kind() const override;
    static std::unique_ptr<BtnControlV1> create(const QString &name, const QString &textB,
                                                const QPointF &position);
    // What the kind is to the project files, the editor and the tools.
    static const ControlKind &kindDescription();

    QString image() const { return m_image; }
    void setImage(const QString &value) { m_image = value; }
    int width() const { return m_width; }
    void setWidth(int value) { m_width = value; }
    int height() const { return m_height; }
    void setHeight(int value) { m_height = value; }
    int bitNumber() const { return m_bitNumber; }
    void setBitNumber(int value) { m_bitNumber = value; }

protected:
    BtnControlV1(const BtnControlV1 &) = default;

private:
    QString m_image;
    int m_width = 120;
    int m_height = 30;
    int m_bitNumber = 0;
};
