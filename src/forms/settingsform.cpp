// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "settingsform.h"

#include "elabelwidget.h"
#include "formservices.h"

#include <QGraphicsLinearLayout>

SettingsForm::SettingsForm(QGraphicsItem *parent)
    : BaseForm(parent)
{
    auto *layout = new QGraphicsLinearLayout(Qt::Vertical);
    auto *title = new ELabelWidget(FormServices::text(61020));
    title->setAlignment(Qt::AlignCenter);
    layout->addItem(title);
    setLayout(layout);
}
