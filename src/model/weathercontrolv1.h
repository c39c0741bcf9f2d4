// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "basecontrolv1.h"
#include "controlconstants.h"

// A weather tile; the caption (textB) holds the city name.
class WeatherControlV1 : public BaseControlV1
{
public:
    WeatherControlV1();
    ~WeatherControlV1() override;

    WeatherControlV1 *clone() const override;
    int kind() const override;
    static std::unique_ptr<WeatherControlV1> create(const QString &name, const QString &textB,
                                                    const QPointF &position);
    // What the kind is to the project files, the editor and the tools.
    static const ControlKind &kindDescription();

    QString cityId() const { return m_cityId; }
    void setCityId(const QString &value) { m_cityId = value; }

protected:
    WeatherControlV1(const WeatherControlV1 &) = default;

private:
    QString m_cityId;
};
