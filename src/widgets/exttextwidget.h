// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "ebasewidget.h"

#include <QColor>
#include <QStaticText>
#include <QVector>

struct ExtWidgetKind;

// A static text on a plan, or the text of a controller value: on an optional dark rounded frame,
// in the record's font, colour and alignment (always centred vertically).
class ExtTextWidget : public EBaseWidget
{
    Q_OBJECT
public:
    explicit ExtTextWidget(QGraphicsItem *parent = nullptr);
    // The control kinds this widget shows (ExtWidgetKinds).
    static QVector<ExtWidgetKind> widgetKinds();

    QString displayText() const { return m_text; }
    void setDisplayText(const QString &text);
    QColor textColor() const { return m_color; }
    void setTextColor(const QColor &color);
    void setTextFont(const QFont &font);
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);
    bool frame() const { return m_frame; }
    void setFrame(bool on);
    // What is drawn: the text on as many lines as the height holds, or, when it does not fit
    // even so, one line elided with "…" and the whole text as the tool tip.
    QString shownText() const { return m_shown; }
    bool isElided() const { return m_elided; }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

protected:
    void geometryUpdated() override;
    void changeEvent(QEvent *event) override;

private:
    void relayout();

    QString m_text;
    QString m_shown;
    bool m_elided = false;
    bool m_wrap = false;
    QColor m_color = Qt::white;
    Qt::Alignment m_alignment = Qt::AlignCenter;
    bool m_frame = false;
};
