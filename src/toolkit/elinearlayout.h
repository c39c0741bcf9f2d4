// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QGraphicsLinearLayout>

// A row or column of items, with no margins and no spacing until set, so declared sizes are exact.
// Items deleted elsewhere leave the layout by themselves. EHorizontalLayout and EVerticalLayout
// fix the orientation.
class ELinearLayout : public QGraphicsLinearLayout
{
public:
    ELinearLayout(Qt::Orientation orientation, QGraphicsLayoutItem *parent = nullptr);

    void addWidget(QGraphicsLayoutItem *item, int stretch = 0,
                   Qt::Alignment alignment = Qt::Alignment());
    // A fixed gap after the last item, or a stretching gap when size is 0 or less.
    void addSpacing(qreal size);
    void setMargins(qreal left, qreal top, qreal right, qreal bottom);
};
