// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QGraphicsGridLayout>

// A grid for declaring screen layouts: fixed and stretching rows and columns, spans and margins.
// Unlike Qt's default it starts with no margins and no spacing, so the sizes a screen declares are
// the sizes it gets. Items deleted elsewhere leave the grid by themselves.
class EGridLayout : public QGraphicsGridLayout
{
public:
    explicit EGridLayout(QGraphicsLayoutItem *parent = nullptr);

    void addWidget(QGraphicsLayoutItem *item, int row, int column, int rowSpan = 1,
                   int columnSpan = 1, Qt::Alignment alignment = Qt::Alignment());

    // A column that is exactly this wide whatever the space (0 makes it vanish).
    void setColumnFixedWidth(int column, qreal width);
    void setRowFixedHeight(int row, qreal height);
    // A column that takes a share of the space left after the fixed ones.
    void setColumnStretch(int column, int stretch);
    void setRowStretch(int row, int stretch);
    // Declares all columns (or rows) at once: a size > 0 is fixed, 0 or less stretches with
    // factor 1.
    void setColumnSizes(const QList<qreal> &widths);
    void setRowSizes(const QList<qreal> &heights);
    void setMargins(qreal left, qreal top, qreal right, qreal bottom);
};
