// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "elinearlayout.h"

// A horizontal row of items (see ELinearLayout).
class EHorizontalLayout : public ELinearLayout
{
public:
    explicit EHorizontalLayout(QGraphicsLayoutItem *parent = nullptr)
        : ELinearLayout(Qt::Horizontal, parent)
    {}
};
