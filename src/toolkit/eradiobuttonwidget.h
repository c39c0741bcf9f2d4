// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "eindicatorwidget.h"

// A radio button with its label. Radio buttons with the same parent item form one group: checking
// one (by a tap or from code) unchecks the others, and tapping a checked one keeps it checked.
// clicked(bool) follows a tap with the new state; valueChanged(bool) follows every change.
class ERadioButtonWidget : public EIndicatorWidget
{
    Q_OBJECT
    Q_PROPERTY(bool enablewidget READ isEnabled WRITE setEnabled)
    Q_PROPERTY(bool checkwidget READ isChecked WRITE setChecked)
public:
    explicit ERadioButtonWidget(QGraphicsItem *parent = nullptr);

signals:
    void clicked(bool value);
    void valueChanged(bool value);

protected:
    void nextCheckState() override;

private:
    void uncheckSiblings();
};
