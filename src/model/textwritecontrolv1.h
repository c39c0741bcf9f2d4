// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controlconstants.h"
#include "dynamiccontrolv1.h"

// A text field whose content the room screen writes to controller memory; nothing is decoded.
class TextWriteControlV1 : public DynamicControlV1
{
public:
    TextWriteControlV1();
    ~TextWriteControlV1() override;

    TextWriteControlV1 *clone() const override;
    int kind() const override;
    static std::unique_ptr<TextWriteControlV1> create(const QString &name, const QString &textB,
                                                      const QPointF &position);
    // What the kind is to the project files, the editor and the tools.
    static const ControlKind &kindDescription();

    QString fontFamily() const { return m_fontFamily; }
    void setFontFamily(const QString &value) { m_fontFamily = value; }
    QString fontColor() const { return m_fontColor; }
    void setFontColor(const QString &value) { m_fontColor = value; }
    int width() const { return m_width; }
    void setWidth(int value) { m_width = value; }
    int height() const { return m_height; }
    void setHeight(int value) { m_height = value; }
    int fontSize() const { return m_fontSize; }
    void setFontSize(int value) { m_fontSize = value; }
    int maximum() const { return m_maximum; }
    void setMaximum(int value) { m_maximum = value; }
    bool showRound() const { return m_showRound; }
    void setShowRound(bool value) { m_showRound = value; }

protected:
    TextWriteControlV1(const TextWriteControlV1 &) = default;

private:
    QString m_fontFamily = QStringLiteral("Arial");
    QString m_fontColor = QStringLiteral("black");
    int m_width = 180;
    int m_height = 80;
    int m_fontSize = 12;
    int m_maximum = 255;
    bool m_showRound = true;
};
