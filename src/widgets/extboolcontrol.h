// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "exticonbutton.h"

#include <QVector>

struct ExtWidgetKind;

// One bit of controller memory shown as an on or off picture; a click asks for the bit to be
// inverted.
class ExtBoolControl : public ExtIconButton
{
    Q_OBJECT
public:
    explicit ExtBoolControl(QGraphicsItem *parent = nullptr) : ExtIconButton(parent) {}

    // The control kinds this widget shows (ExtWidgetKinds).
    static QVector<ExtWidgetKind> widgetKinds();
};
