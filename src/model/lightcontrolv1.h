// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controlconstants.h"
#include "dynamiccontrolv1.h"

// A lamp; its number selects its 8-byte record, which carries its state and its bindings.
class LightControlV1 : public DynamicControlV1
{
public:
    LightControlV1();
    ~LightControlV1() override;

    LightControlV1 *clone() const override;
    int kind() const override;
    static std::unique_ptr<LightControlV1> create(const QString &name, const QString &textB,
                                                  const QPointF &position);
    // What the kind is to the project files, the editor and the tools.
    static const ControlKind &kindDescription();
    void decode(int minimumLength, BaseRoomV1 *page = nullptr) override;

    QString imageOn() const { return m_imageOn; }
    void setImageOn(const QString &value) { m_imageOn = value; }
    QString imageOff() const { return m_imageOff; }
    void setImageOff(const QString &value) { m_imageOff = value; }
    QString sliderColor() const { return m_sliderColor; }
    void setSliderColor(const QString &value) { m_sliderColor = value; }
    int lmpNumber() const { return m_lmpNumber; }
    void setLmpNumber(int value);
    int brightness() const { return m_brightness; }
    void setBrightness(int value) { m_brightness = value; }
    quint8 switch1() const { return m_switch1; }
    void setSwitch1(quint8 value) { m_switch1 = value; }
    quint8 switch2() const { return m_switch2; }
    void setSwitch2(quint8 value) { m_switch2 = value; }
    quint8 switch3() const { return m_switch3; }
    void setSwitch3(quint8 value) { m_switch3 = value; }
    quint8 sensorNumber() const { return m_sensorNumber; }
    void setSensorNumber(quint8 value) { m_sensorNumber = value; }
    quint8 sceneSwitch() const { return m_sceneSwitch; }
    void setSceneSwitch(quint8 value) { m_sceneSwitch = value; }
    bool isDimmer() const { return m_dimmer; }
    void setDimmer(bool value) { m_dimmer = value; }
    bool isSlider() const { return m_isSlider; }
    void setSlider(bool value) { m_isSlider = value; }
    int lampState() const { return m_lampState; }
    void setLampState(int value) { m_lampState = value; }

protected:
    LightControlV1(const LightControlV1 &) = default;

private:
    QString m_imageOn = QStringLiteral("img/lighton.png");
    QString m_imageOff = QStringLiteral("img/lightoff.png");
    QString m_sliderColor = QStringLiteral("blue");
    int m_lmpNumber = 1;
    int m_brightness = 0;
    quint8 m_switch1 = 0;
    quint8 m_switch2 = 0;
    quint8 m_switch3 = 0;
    quint8 m_sensorNumber = 0;
    quint8 m_sceneSwitch = 0;
    bool m_dimmer = false;
    bool m_isSlider = false;
    int m_lampState = 1;
};
