// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "baseform.h"

#include <QLinearGradient>
#include <QPainter>

BaseForm::BaseForm(QGraphicsItem *parent)
    : EGraphicsWidget(parent)
{
}

void BaseForm::setDrawBackground(bool on)
{
    if (on == m_drawBackground)
        return;
    m_drawBackground = on;
    update();
}

void BaseForm::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!m_drawBackground)
        return;
    const QRectF r(0, 0, size().width() - 1, size().height() - 1);
    QLinearGradient gradient(r.topLeft(), r.bottomLeft());
    gradient.setColorAt(0, QColor(208, 219, 234, 200));
    gradient.setColorAt(0.5, QColor(112, 146, 190, 200));
    gradient.setColorAt(1, QColor(255, 255, 255, 200));
    painter->setPen(Qt::NoPen);
    painter->setBrush(gradient);
    painter->drawRect(r);
}
