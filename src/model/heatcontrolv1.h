// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controlconstants.h"
#include "dynamiccontrolv1.h"

// A thermostat; its number selects its 4-byte record in controller memory.
class HeatControlV1 : public DynamicControlV1
{
public:
    HeatControlV1();
    ~HeatControlV1() override;

    HeatControlV1 *clone() const override;
    int kind() const override;
    static std::unique_ptr<HeatControlV1> create(const QString &name, const QString &textB,
                                                 const QPointF &position);
    // What the kind is to the project files, the editor and the tools.
    static const ControlKind &kindDescription();
    void decode(int minimumLength, BaseRoomV1 *page = nullptr) override;

    QString fontColor() const { return m_fontColor; }
    void setFontColor(const QString &value) { m_fontColor = value; }
    QString titleColor() const { return m_titleColor; }
    void setTitleColor(const QString &value) { m_titleColor = value; }
    int swcNumber() const { return m_swcNumber; }
    void setSwcNumber(int value);
    int fontSize() const { return m_fontSize; }
    void setFontSize(int value) { m_fontSize = value; }
    int width() const { return m_width; }
    void setWidth(int value) { m_width = value; }
    int height() const { return m_height; }
    void setHeight(int value) { m_height = value; }
    double temperature() const { return m_temperature; }
    void setTemperature(double value) { m_temperature = value; }
    int setPoint() const { return m_setPoint; }
    void setSetPoint(int value) { m_setPoint = value; }
    int heatLevel() const { return m_heatLevel; }
    void setHeatLevel(int value) { m_heatLevel = value; }

protected:
    HeatControlV1(const HeatControlV1 &) = default;

private:
    QString m_fontColor = QStringLiteral("black");
    QString m_titleColor = QStringLiteral("black");
    int m_swcNumber = 1;
    int m_fontSize = 12;
    int m_width = 180;
    int m_height = 100;
    double m_temperature = 0;
    int m_setPoint = 0;
    int m_heatLevel = 0;
};
