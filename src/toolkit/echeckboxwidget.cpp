// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "echeckboxwidget.h"

ECheckboxWidget::ECheckboxWidget(QGraphicsItem *parent) : EIndicatorWidget(false, parent)
{
    connect(this, &EBaseWidget::toggled, this, &ECheckboxWidget::valueChanged);
}
