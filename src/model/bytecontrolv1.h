// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controlconstants.h"
#include "dynamiccontrolv1.h"

// A number read (and, if editable, written) at the control's byte address.
class ByteControlV1 : public DynamicControlV1
{
public:
    ByteControlV1();
    ~ByteControlV1() override;

    ByteControlV1 *clone() const override;
    int kind() const override;
    static std::unique_ptr<ByteControlV1> create(const QString &name, const QString &textB,
                                                 const QPointF &position);
    // What the kind is to the project files, the editor and the tools.
    static const ControlKind &kindDescription();
    void decode(int minimumLength, BaseRoomV1 *page = nullptr) override;

    QString image() const { return m_image; }
    void setImage(const QString &value) { m_image = value; }
    QString fontColor() const { return m_fontColor; }
    void setFontColor(const QString &value) { m_fontColor = value; }
    QString titleColor() const { return m_titleColor; }
    void setTitleColor(const QString &value) { m_titleColor = value; }
    int maximum() const { return m_maximum; }
    void setMaximum(int value) { m_maximum = value; }
    int minimum() const { return m_minimum; }
    void setMinimum(int value) { m_minimum = value; }
    int precisionView() const { return m_precisionView; }
    void setPrecisionView(int value) { m_precisionView = value; }
    int maxval() const { return m_maxval; }
    void setMaxval(int value) { m_maxval = value; }
    int width() const { return m_width; }
    void setWidth(int value) { m_width = value; }
    int height() const { return m_height; }
    void setHeight(int value) { m_height = value; }
    int fontSize() const { return m_fontSize; }
    void setFontSize(int value) { m_fontSize = value; }
    double step() const { return m_step; }
    void setStep(double value) { m_step = value; }
    bool showRound() const { return m_showRound; }
    void setShowRound(bool value) { m_showRound = value; }
    double value() const { return m_value; }
    void setValue(double value) { m_value = value; }

protected:
    ByteControlV1(const ByteControlV1 &) = default;

private:
    QString m_image;
    QString m_fontColor = QStringLiteral("black");
    QString m_titleColor = QStringLiteral("black");
    int m_maximum = 255;
    int m_minimum = 0;
    int m_precisionView = 2;
    int m_maxval = 255;
    int m_width = 180;
    int m_height = 80;
    int m_fontSize = 12;
    double m_step = 1.0;
    bool m_showRound = true;
    double m_value = 0;
};
