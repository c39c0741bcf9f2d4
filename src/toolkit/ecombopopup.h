// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QGraphicsWidget>
#include <memory>

class EComboWidget;
struct EComboPopupPrivate;

// The open list of an EComboWidget. It is a top-level item covering the whole scene, so that a tap
// anywhere outside the list closes it instead of reaching the items below; the list itself is a
// panel at the combo's place and scale, below the combo or above it when there is no room.
class EComboPopup : public QGraphicsWidget
{
    Q_OBJECT
public:
    EComboPopup(EComboWidget *combo, const QStringList &items, int current);
    ~EComboPopup() override;

    // The list panel in scene coordinates, and the scene rectangle of one entry.
    QRectF panelSceneRect() const;
    QRectF rowSceneRect(int index) const;
    int rowCount() const;
    int firstVisibleRow() const;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

signals:
    void chosen(int index);
    void dismissed();

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QGraphicsSceneWheelEvent *event) override;

private:
    int rowAt(const QPointF &scenePos) const;
    std::unique_ptr<EComboPopupPrivate> d;
};
