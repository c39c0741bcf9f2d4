// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "exticonbutton.h"

#include <QVector>

struct ExtWidgetKind;

// A button that writes its own value into a controller byte; it shows its on picture while the byte
// holds that value.
class ExtByteButton : public ExtIconButton
{
    Q_OBJECT
public:
    explicit ExtByteButton(QGraphicsItem *parent = nullptr) : ExtIconButton(parent) {}

    // The control kinds this widget shows (ExtWidgetKinds).
    static QVector<ExtWidgetKind> widgetKinds();
};
