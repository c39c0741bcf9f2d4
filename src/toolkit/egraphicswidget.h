// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QGraphicsWidget>
#include <QMarginsF>
#include <memory>

struct EGraphicsWidgetPrivate;

// Base of every drawn widget: an item of the one graphics scene with four margins and an optional
// content item that is kept inside those margins whenever the widget's geometry changes. A graphics
// layout set on the widget also lays out inside the margins.
class EGraphicsWidget : public QGraphicsWidget
{
    Q_OBJECT
    Q_PROPERTY(qreal marginsLeft READ marginsLeft WRITE setMarginsLeft)
    Q_PROPERTY(qreal marginsTop READ marginsTop WRITE setMarginsTop)
    Q_PROPERTY(qreal marginsRight READ marginsRight WRITE setMarginsRight)
    Q_PROPERTY(qreal marginsBottom READ marginsBottom WRITE setMarginsBottom)
public:
    explicit EGraphicsWidget(QGraphicsItem *parent = nullptr);
    ~EGraphicsWidget() override;

    void setMargins(qreal left, qreal top, qreal right, qreal bottom);
    void setMargins(const QMarginsF &margins);
    QMarginsF margins() const;
    qreal marginsLeft() const;
    qreal marginsTop() const;
    qreal marginsRight() const;
    qreal marginsBottom() const;
    void setMarginsLeft(qreal v);
    void setMarginsTop(qreal v);
    void setMarginsRight(qreal v);
    void setMarginsBottom(qreal v);

    // The widget takes the item as a child. A graphics widget is given the whole inner rectangle;
    // any other item is placed at the inner rectangle's top-left. Passing nullptr removes the
    // content item (deleting it); a content item deleted elsewhere is forgotten.
    void setContentItem(QGraphicsItem *item);
    QGraphicsItem *contentItem() const;
    // The rectangle inside the margins, in item coordinates.
    QRectF innerRect() const;

signals:
    void onGeometryChanged(const QRectF &newGeometry);

protected:
    // Places the content item; called after every geometry or margin change.
    virtual void layoutContent();
    // Called after every geometry or margin change, before onGeometryChanged(); subclasses update
    // their cached shapes and texts here instead of in paint().
    virtual void geometryUpdated();
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    void handleGeometryChange();
    std::unique_ptr<EGraphicsWidgetPrivate> d;
};
