// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

// Base of every full-page screen: paints the page's light-blue vertical gradient behind its
// content, unless a screen (the home plan) switches the background off.
class BaseForm : public EGraphicsWidget
{
    Q_OBJECT
public:
    explicit BaseForm(QGraphicsItem *parent = nullptr);

    bool drawBackground() const { return m_drawBackground; }
    void setDrawBackground(bool on);

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

private:
    bool m_drawBackground = true;
};
