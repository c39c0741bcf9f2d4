// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "exticonbutton.h"

#include "extwidgetfactory.h"

#include <QPainter>

namespace {
const QColor kMarkFill(255, 214, 64, 150);
const QColor kMarkPen(255, 170, 0, 230);
} // namespace

ExtIconButton::ExtIconButton(QGraphicsItem *parent) : EIconWidget(parent) {}

void ExtIconButton::setImageName(const QString &name, const QString &emptyFallback)
{
    if (m_hasName && name == m_imageName)
        return;
    m_imageName = name;
    m_hasName = true;
    setImage(ExtWidgetFactory::imageForName(name, emptyFallback));
}

void ExtIconButton::setMarked(bool marked)
{
    if (marked == m_marked)
        return;
    m_marked = marked;
    update();
}

void ExtIconButton::paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
                          QWidget *widget)
{
    if (m_marked) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setPen(QPen(kMarkPen, 2));
        painter->setBrush(kMarkFill);
        painter->drawRoundedRect(rect().adjusted(1, 1, -1, -1), 5, 5);
        painter->restore();
    }
    EIconWidget::paint(painter, option, widget);
}
