// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "exticonbutton.h"

#include <QVector>

struct ExtWidgetKind;

// A motion sensor on a plan: one of three pictures for on, off and not in use.
class ExtSensorWidget : public ExtIconButton
{
    Q_OBJECT
public:
    explicit ExtSensorWidget(QGraphicsItem *parent = nullptr) : ExtIconButton(parent) {}

    // The control kinds this widget shows (ExtWidgetKinds).
    static QVector<ExtWidgetKind> widgetKinds();
};
