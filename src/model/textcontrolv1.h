// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "basecontrolv1.h"
#include "controlconstants.h"

#include <QStringList>

// A static text on a page.
class TextControlV1 : public BaseControlV1
{
public:
    TextControlV1();
    ~TextControlV1() override;

    TextControlV1 *clone() const override;
    int kind() const override;
    static std::unique_ptr<TextControlV1> create(const QString &name, const QString &textB,
                                                 const QPointF &position);
    // What the kind is to the project files, the editor and the tools.
    static const ControlKind &kindDescription();

    QString fontColor() const { return m_fontColor; }
    void setFontColor(const QString &value) { m_fontColor = value; }
    QString fontFamily() const { return m_fontFamily; }
    void setFontFamily(const QString &value) { m_fontFamily = value; }
    int width() const { return m_width; }
    void setWidth(int value) { m_width = value; }
    int height() const { return m_height; }
    void setHeight(int value) { m_height = value; }
    int fontSize() const { return m_fontSize; }
    void setFontSize(int value) { m_fontSize = value; }
    bool showRound() const { return m_showRound; }
    void setShowRound(bool value) { m_showRound = value; }
    int fontType() const { return m_fontType; }
    void setFontType(int value) { m_fontType = value; }
    int textAlign() const { return m_textAlign; }
    void setTextAlign(int value) { m_textAlign = value; }
    // "left" -> 1, "right" -> 2, anything else -> 132 (centred); and back.
    static int alignmentFromText(const QString &text);
    static QString alignmentToText(int alignment);
    // The texts alignmentFromText knows.
    static QStringList alignmentTexts();
    void setTextAlign(const QString &text) { m_textAlign = alignmentFromText(text); }
    QString textAlignText() const { return alignmentToText(m_textAlign); }

protected:
    TextControlV1(const TextControlV1 &) = default;

private:
    QString m_fontColor = QStringLiteral("#FFFFFF");
    QString m_fontFamily = QStringLiteral("Arial");
    int m_width = 80;
    int m_height = 80;
    int m_fontSize = 12;
    bool m_showRound = false;
    int m_fontType = 50;
    int m_textAlign = ControlConstants::kAlignCenter;
};
