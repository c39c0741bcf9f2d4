// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "elinearlayout.h"

ELinearLayout::ELinearLayout(Qt::Orientation orientation, QGraphicsLayoutItem *parent)
    : QGraphicsLinearLayout(orientation, parent)
{
    QGraphicsLinearLayout::setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

void ELinearLayout::addWidget(QGraphicsLayoutItem *item, int stretch, Qt::Alignment alignment)
{
    Q_ASSERT(item);
    if (!item)
        return;
    addItem(item);
    setStretchFactor(item, qMax(0, stretch));
    if (alignment)
        setAlignment(item, alignment);
}

void ELinearLayout::addSpacing(qreal size)
{
    if (size <= 0) {
        addStretch(1);
        return;
    }
    // A linear layout has no spacer items; a fixed gap is the spacing after the last item (or the
    // leading margin when the layout is still empty).
    if (count() == 0) {
        qreal l, t, r, b;
        getContentsMargins(&l, &t, &r, &b);
        if (orientation() == Qt::Horizontal)
            l += size;
        else
            t += size;
        setContentsMargins(l, t, r, b);
        return;
    }
    setItemSpacing(count() - 1, spacing() + size);
}

void ELinearLayout::setMargins(qreal left, qreal top, qreal right, qreal bottom)
{
    QGraphicsLinearLayout::setContentsMargins(left, top, right, bottom);
}
