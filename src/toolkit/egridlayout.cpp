// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "egridlayout.h"

#include <QWidget>

EGridLayout::EGridLayout(QGraphicsLayoutItem *parent) : QGraphicsGridLayout(parent)
{
    QGraphicsGridLayout::setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

void EGridLayout::addWidget(QGraphicsLayoutItem *item, int row, int column, int rowSpan,
                            int columnSpan, Qt::Alignment alignment)
{
    Q_ASSERT(item);
    if (!item || row < 0 || column < 0 || rowSpan < 1 || columnSpan < 1)
        return;
    addItem(item, row, column, rowSpan, columnSpan, alignment);
}

void EGridLayout::setColumnFixedWidth(int column, qreal width)
{
    width = qMax<qreal>(0, width);
    setColumnMinimumWidth(column, width);
    setColumnPreferredWidth(column, width);
    setColumnMaximumWidth(column, width);
    QGraphicsGridLayout::setColumnStretchFactor(column, 0);
}

void EGridLayout::setRowFixedHeight(int row, qreal height)
{
    height = qMax<qreal>(0, height);
    setRowMinimumHeight(row, height);
    setRowPreferredHeight(row, height);
    setRowMaximumHeight(row, height);
    QGraphicsGridLayout::setRowStretchFactor(row, 0);
}

void EGridLayout::setColumnStretch(int column, int stretch)
{
    // A stretching column must be free to shrink to nothing and grow without bound, whatever the
    // preferred sizes of the items in it say.
    setColumnMinimumWidth(column, 0);
    setColumnPreferredWidth(column, 0);
    setColumnMaximumWidth(column, QWIDGETSIZE_MAX);
    QGraphicsGridLayout::setColumnStretchFactor(column, qMax(1, stretch));
}

void EGridLayout::setRowStretch(int row, int stretch)
{
    setRowMinimumHeight(row, 0);
    setRowPreferredHeight(row, 0);
    setRowMaximumHeight(row, QWIDGETSIZE_MAX);
    QGraphicsGridLayout::setRowStretchFactor(row, qMax(1, stretch));
}

void EGridLayout::setColumnSizes(const QList<qreal> &widths)
{
    for (int i = 0; i < widths.size(); ++i) {
        if (widths.at(i) > 0)
            setColumnFixedWidth(i, widths.at(i));
        else
            setColumnStretch(i, 1);
    }
}

void EGridLayout::setRowSizes(const QList<qreal> &heights)
{
    for (int i = 0; i < heights.size(); ++i) {
        if (heights.at(i) > 0)
            setRowFixedHeight(i, heights.at(i));
        else
            setRowStretch(i, 1);
    }
}

void EGridLayout::setMargins(qreal left, qreal top, qreal right, qreal bottom)
{
    QGraphicsGridLayout::setContentsMargins(left, top, right, bottom);
}
