// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "exttextwidget.h"

#include <QPainter>

ExtTextWidget::ExtTextWidget(QGraphicsItem *parent) : EBaseWidget(parent) {}

void ExtTextWidget::setDisplayText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    update();
}

void ExtTextWidget::setTextColor(const QColor &color)
{
    if (!color.isValid() || color == m_color)
        return;
    m_color = color;
    update();
}

void ExtTextWidget::setTextFont(const QFont &font)
{
    setFont(font);
    update();
}

void ExtTextWidget::setAlignment(Qt::Alignment alignment)
{
    const Qt::Alignment a = (alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
    if (a == m_alignment)
        return;
    m_alignment = a;
    update();
}

void ExtTextWidget::setFrame(bool on)
{
    if (on == m_frame)
        return;
    m_frame = on;
    update();
}

void ExtTextWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    if (m_frame) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0, 0, 0, 200));
        painter->drawRoundedRect(rect(), 3, 3);
    }
    painter->setFont(font());
    painter->setPen(m_color);
    painter->drawText(rect().adjusted(3, 0, -3, 0), int(m_alignment) | Qt::TextWordWrap, m_text);
}
