// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "eradiobuttonwidget.h"

ERadioButtonWidget::ERadioButtonWidget(QGraphicsItem *parent) : EIndicatorWidget(true, parent)
{
    connect(this, &EBaseWidget::toggled, this, [this](bool on) {
        if (on)
            uncheckSiblings();
        emit valueChanged(on);
    });
    connect(this, qOverload<>(&EBaseWidget::clicked), this, [this] { emit clicked(isChecked()); });
}

void ERadioButtonWidget::nextCheckState()
{
    if (!isChecked())
        setChecked(true);
}

void ERadioButtonWidget::uncheckSiblings()
{
    QGraphicsItem *parent = parentItem();
    if (!parent)
        return;
    const QList<QGraphicsItem *> siblings = parent->childItems();
    for (QGraphicsItem *item : siblings) {
        if (item == this || !item->isWidget())
            continue;
        if (auto *radio = qobject_cast<ERadioButtonWidget *>(static_cast<QGraphicsWidget *>(item)))
            radio->setChecked(false);
    }
}
