// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "eindicatorwidget.h"

// A check box with its label (the widget's text); a tap anywhere on it toggles it.
// valueChanged() follows every change of the checked state, from the user or from code.
class ECheckboxWidget : public EIndicatorWidget
{
    Q_OBJECT
public:
    explicit ECheckboxWidget(QGraphicsItem *parent = nullptr);

signals:
    void valueChanged(bool value);
};
