// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "secureform.h"

#include "elabelwidget.h"
#include "formservices.h"

#include <QGraphicsLinearLayout>

SecureForm::SecureForm(QGraphicsItem *parent)
    : BaseForm(parent)
{
    auto *layout = new QGraphicsLinearLayout(Qt::Vertical);
    auto *title = new ELabelWidget(FormServices::text(61090));
    title->setAlignment(Qt::AlignCenter);
    layout->addItem(title);
    setLayout(layout);
}
