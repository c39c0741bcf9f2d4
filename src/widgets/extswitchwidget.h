// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "exticonbutton.h"

#include <QVector>

struct ExtWidgetKind;

// A wall switch on a plan: its switch picture, or its scene picture while the controller uses it as
// a scene switch.
class ExtSwitchWidget : public ExtIconButton
{
    Q_OBJECT
public:
    explicit ExtSwitchWidget(QGraphicsItem *parent = nullptr) : ExtIconButton(parent) {}

    // The control kinds this widget shows (ExtWidgetKinds).
    static QVector<ExtWidgetKind> widgetKinds();
};
