// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "elinearlayout.h"

// A vertical column of items (see ELinearLayout).
class EVerticalLayout : public ELinearLayout
{
public:
    explicit EVerticalLayout(QGraphicsLayoutItem *parent = nullptr)
        : ELinearLayout(Qt::Vertical, parent)
    {}
};
