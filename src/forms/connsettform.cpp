// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "connsettform.h"

#include "elabelwidget.h"
#include "formservices.h"

#include <QGraphicsLinearLayout>

ConnSettForm::ConnSettForm(QGraphicsItem *parent)
    : BaseForm(parent)
{
    auto *layout = new QGraphicsLinearLayout(Qt::Vertical);
    auto *title = new ELabelWidget(FormServices::text(61040));
    title->setAlignment(Qt::AlignCenter);
    layout->addItem(title);
    setLayout(layout);
}
