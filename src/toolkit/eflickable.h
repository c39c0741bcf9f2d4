// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

#include <memory>

struct EFlickablePrivate;

// A scrolling viewport over its content item (set with setContentItem()), dragged by the finger
// with a little inertia. Items inside keep working: a press goes to them first, and only when the
// finger travels more than kFlickThreshold does the area take the gesture over (the pressed item
// then loses the press without a click). A tap that does not scroll emits mouseClicked().
// A graphics-widget content is given the viewport's width (vertical flicking) or height
// (horizontal); its other extent is its own.
class EFlickable : public EGraphicsWidget
{
    Q_OBJECT
    Q_PROPERTY(qreal contentX READ contentX WRITE setContentX NOTIFY contentPositionChanged)
    Q_PROPERTY(qreal contentY READ contentY WRITE setContentY NOTIFY contentPositionChanged)
public:
    explicit EFlickable(QGraphicsItem *parent = nullptr);
    ~EFlickable() override;

    Qt::Orientations flickDirection() const;
    void setFlickDirection(Qt::Orientations directions);

    qreal contentX() const;
    qreal contentY() const;
    void setContentX(qreal x);
    void setContentY(qreal y);
    // Clamped to 0..max in each direction.
    void setContentPosition(const QPointF &pos);
    QPointF contentPosition() const;
    QSizeF contentSize() const;
    QPointF maxContentPosition() const;
    // Room to scroll beyond the content's right and bottom edges, in a direction where the
    // content is larger than the view anyway: what lies under tools floating at the view's
    // edge can then be scrolled out from under them.
    void setOverscroll(const QSizeF &extra);
    QSizeF overscroll() const;
    // Scrolls the least needed to show rect (content coordinates).
    void ensureVisible(const QRectF &rect, qreal margin = 8);
    bool isFlicking() const;
    bool isDragging() const;
    void stopFlick();

signals:
    void mouseClicked();
    void contentPositionChanged();

protected:
    void layoutContent() override;
    bool sceneEventFilter(QGraphicsItem *watched, QEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void ungrabMouseEvent(QEvent *event) override;
    void wheelEvent(QGraphicsSceneWheelEvent *event) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    void beginTracking(const QPointF &scenePos);
    void trackMove(const QPointF &scenePos);
    void endTracking();
    void flickTick();
    void updateIndicator();
    std::unique_ptr<EFlickablePrivate> d;
};
