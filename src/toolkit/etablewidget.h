// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

#include <QColor>
#include <QStringList>
#include <memory>

class ETableItem;
struct ETableWidgetPrivate;

// A table of text, picture and check cells under a fixed header row. Columns have fixed widths
// or share the rest (width 0); columns and rows can be hidden. The rows scroll under the finger.
// A tap on a cell emits the item's clicked() and cellClicked(); a tap on an editable check cell
// toggles it and emits the item's valuechanged() and cellItemChanged().
class ETableWidget : public EGraphicsWidget
{
    Q_OBJECT
    Q_PROPERTY(qreal rowHeight READ rowHeight WRITE setRowHeight)
    Q_PROPERTY(QColor colortext READ colortext WRITE setColortext)
public:
    explicit ETableWidget(QGraphicsItem *parent = nullptr);
    ~ETableWidget() override;

    int columnCount() const;
    void setColumnCount(int count);
    int rowCount() const;
    // Grows with empty cells or drops the last rows (deleting their items).
    void setRowCount(int count);
    // The table takes the item (deleting any previous one in that cell); nullptr empties the cell.
    void setItem(int row, int column, ETableItem *item);
    ETableItem *item(int row, int column) const;
    // Appends a row of items (missing cells stay empty, extra ones are deleted); returns its index.
    int appendRow(const QList<ETableItem *> &items);
    void removeRow(int row);
    void clearRows();

    void setHeaderTexts(const QStringList &texts);
    void setHeaderText(int column, const QString &text);
    QStringList headerTexts() const;
    void setHeaderVisible(bool visible);
    bool isHeaderVisible() const;

    // A width <= 0 makes the column share the space left by the fixed ones.
    void setColumnWidth(int column, qreal width);
    void setColumnHidden(int column, bool hidden);
    bool isColumnHidden(int column) const;
    void setRowHidden(int row, bool hidden);
    bool isRowHidden(int row) const;
    qreal rowHeight() const;
    void setRowHeight(qreal height);
    QColor colortext() const;
    void setColortext(const QColor &color);

    qreal scrollOffset() const;
    void setScrollOffset(qreal offset);
    qreal maxScrollOffset() const;
    // A cell's rectangle in item coordinates at the current scroll (empty when hidden).
    QRectF cellRect(int row, int column) const;
    // The cell under a point as (row, column), or (-1, -1).
    QPoint cellAt(const QPointF &pos) const;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

signals:
    void cellItemChanged(ETableItem *item, int row, int column, bool val);
    void cellClicked(int row, int column);

protected:
    void geometryUpdated() override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void ungrabMouseEvent(QEvent *event) override;
    void wheelEvent(QGraphicsSceneWheelEvent *event) override;

private:
    void adopt(ETableItem *item, int row, int column);
    void renumber(int fromRow);
    void ensureLayout() const;
    void invalidate();
    void activate(int row, int column);
    std::unique_ptr<ETableWidgetPrivate> d;
};
