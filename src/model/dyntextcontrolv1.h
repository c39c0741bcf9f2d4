// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controlconstants.h"
#include "dynamiccontrolv1.h"

// A text read from controller memory; its `maximum` is the number of text bytes.
class DynTextControlV1 : public DynamicControlV1
{
public:
    DynTextControlV1();
    ~DynTextControlV1() override;

    DynTextControlV1 *clone() const override;
    int kind() const override;
    static std::unique_ptr<DynTextControlV1> create(const QString &name, const QString &textB,
                                                    const QPointF &position);
    // What the kind is to the project files, the editor and the tools.
    static const ControlKind &kindDescription();
    void decode(int minimumLength, BaseRoomV1 *page = nullptr) override;

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
    bool showRound() const { return m_showRound; }
    void setShowRound(bool value) { m_showRound = value; }
    int fontType() const { return m_fontType; }
    void setFontType(int value) { m_fontType = value; }
    int textAlign() const { return m_textAlign; }
    void setTextAlign(int value) { m_textAlign = value; }
    QString text() const { return m_text; }
    void setText(const QString &value) { m_text = value; }
    int maximum() const { return dataLength(); }
    void setMaximum(int length) { setDataLength(length); }
    void setTextAlign(const QString &text);
    QString textAlignText() const;

protected:
    DynTextControlV1(const DynTextControlV1 &) = default;

private:
    QString m_fontFamily = QStringLiteral("Arial");
    QString m_fontColor = QStringLiteral("#FFFFFF");
    int m_width = 80;
    int m_height = 80;
    int m_fontSize = 12;
    bool m_showRound = true;
    int m_fontType = 50;
    int m_textAlign = ControlConstants::kAlignCenter;
    QString m_text;
};
