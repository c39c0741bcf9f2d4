// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "baseform.h"

// Placeholder page until the screen is built: shows its title on the page background.
class ConnSettForm : public BaseForm
{
    Q_OBJECT
public:
    explicit ConnSettForm(QGraphicsItem *parent = nullptr);

};
