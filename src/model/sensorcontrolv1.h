// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "basecontrolv1.h"
#include "controlconstants.h"

// A motion sensor; its state comes from the lamp record that names it.
class SensorControlV1 : public BaseControlV1
{
public:
    SensorControlV1();
    ~SensorControlV1() override;

    SensorControlV1 *clone() const override;
    int kind() const override;
    static std::unique_ptr<SensorControlV1> create(const QString &name, const QString &textB,
                                                   const QPointF &position);
    // What the kind is to the project files, the editor and the tools.
    static const ControlKind &kindDescription();

    QString imageOn() const { return m_imageOn; }
    void setImageOn(const QString &value) { m_imageOn = value; }
    QString imageOff() const { return m_imageOff; }
    void setImageOff(const QString &value) { m_imageOff = value; }
    QString imageDis() const { return m_imageDis; }
    void setImageDis(const QString &value) { m_imageDis = value; }
    int snrNumber() const { return m_snrNumber; }
    void setSnrNumber(int value) { m_snrNumber = value; }
    int sensorState() const { return m_sensorState; }
    void setSensorState(int value) { m_sensorState = value; }
    // 0 or 1 from the lamp naming the sensor, 3 when none did in the last update, 2 before any.

protected:
    SensorControlV1(const SensorControlV1 &) = default;

private:
    QString m_imageOn = QStringLiteral("img/piron.png");
    QString m_imageOff = QStringLiteral("img/piroff.png");
    QString m_imageDis = QStringLiteral("img/pirdis.png");
    int m_snrNumber = 1;
    int m_sensorState = 2;
};
