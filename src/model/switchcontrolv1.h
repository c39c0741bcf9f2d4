// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "basecontrolv1.h"
#include "controlconstants.h"

// A wall switch of the lighting controller; it becomes a scene switch when a lamp record names it.
class SwitchControlV1 : public BaseControlV1
{
public:
    SwitchControlV1();
    ~SwitchControlV1() override;

    SwitchControlV1 *clone() const override;
    int kind() const override;
    static std::unique_ptr<SwitchControlV1> create(const QString &name, const QString &textB,
                                                   const QPointF &position);
    // What the kind is to the project files, the editor and the tools.
    static const ControlKind &kindDescription();

    QString imageOn() const { return m_imageOn; }
    void setImageOn(const QString &value) { m_imageOn = value; }
    QString imageScene() const { return m_imageScene; }
    void setImageScene(const QString &value) { m_imageScene = value; }
    int swcNumber() const { return m_swcNumber; }
    void setSwcNumber(int value) { m_swcNumber = value; }
    quint8 sceneNumber() const { return m_sceneNumber; }
    void setSceneNumber(quint8 value) { m_sceneNumber = value; }
    int switchMode() const { return m_switchMode; }
    void setSwitchMode(int value) { m_switchMode = value; }

protected:
    SwitchControlV1(const SwitchControlV1 &) = default;

private:
    QString m_imageOn = QStringLiteral("img/switch.png");
    QString m_imageScene = QStringLiteral("img/switchscn.png");
    int m_swcNumber = 1;
    quint8 m_sceneNumber = 0;
    int m_switchMode = 0;
};
