// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "egraphicswidget.h"

struct EGraphicsWidgetPrivate
{
    QMarginsF margins;
    QGraphicsItem *content = nullptr;
    QSizeF lastSize;
};

EGraphicsWidget::EGraphicsWidget(QGraphicsItem *parent)
    : QGraphicsWidget(parent), d(std::make_unique<EGraphicsWidgetPrivate>())
{
    // Qt's default contents margins come from the style; ours are explicit and start at zero.
    QGraphicsWidget::setContentsMargins(0, 0, 0, 0);
    connect(this, &QGraphicsWidget::geometryChanged, this, &EGraphicsWidget::handleGeometryChange);
}

EGraphicsWidget::~EGraphicsWidget()
{
    // QGraphicsWidget's own destructor still moves and resizes the item (it leaves its parent),
    // after this part and its d are gone; the connection must not outlive them.
    disconnect(this, &QGraphicsWidget::geometryChanged, this, &EGraphicsWidget::handleGeometryChange);
}

void EGraphicsWidget::setMargins(qreal left, qreal top, qreal right, qreal bottom)
{
    setMargins(QMarginsF(left, top, right, bottom));
}

void EGraphicsWidget::setMargins(const QMarginsF &margins)
{
    if (margins == d->margins)
        return;
    d->margins = margins;
    // Qt's own contents margins drive graphics layouts; keeping both equal lets a layout set on
    // the widget respect the same margins as the content item.
    QGraphicsWidget::setContentsMargins(margins.left(), margins.top(), margins.right(),
                                        margins.bottom());
    layoutContent();
    geometryUpdated();
    update();
}

QMarginsF EGraphicsWidget::margins() const
{
    return d->margins;
}
qreal EGraphicsWidget::marginsLeft() const
{
    return d->margins.left();
}
qreal EGraphicsWidget::marginsTop() const
{
    return d->margins.top();
}
qreal EGraphicsWidget::marginsRight() const
{
    return d->margins.right();
}
qreal EGraphicsWidget::marginsBottom() const
{
    return d->margins.bottom();
}

void EGraphicsWidget::setMarginsLeft(qreal v)
{
    QMarginsF m = d->margins;
    m.setLeft(v);
    setMargins(m);
}

void EGraphicsWidget::setMarginsTop(qreal v)
{
    QMarginsF m = d->margins;
    m.setTop(v);
    setMargins(m);
}

void EGraphicsWidget::setMarginsRight(qreal v)
{
    QMarginsF m = d->margins;
    m.setRight(v);
    setMargins(m);
}

void EGraphicsWidget::setMarginsBottom(qreal v)
{
    QMarginsF m = d->margins;
    m.setBottom(v);
    setMargins(m);
}

void EGraphicsWidget::setContentItem(QGraphicsItem *item)
{
    if (item == d->content)
        return;
    QGraphicsItem *old = d->content;
    d->content = nullptr;
    delete old;
    d->content = item;
    if (item) {
        item->setParentItem(this);
        layoutContent();
    }
}

QGraphicsItem *EGraphicsWidget::contentItem() const
{
    return d->content;
}

QRectF EGraphicsWidget::innerRect() const
{
    const QRectF r = rect().marginsRemoved(d->margins);
    return r.isValid() ? r : QRectF(r.topLeft(), QSizeF(0, 0));
}

void EGraphicsWidget::layoutContent()
{
    if (!d->content)
        return;
    const QRectF inner = innerRect();
    if (d->content->isWidget())
        static_cast<QGraphicsWidget *>(d->content)->setGeometry(inner);
    else
        d->content->setPos(inner.topLeft());
}

void EGraphicsWidget::geometryUpdated() {}

QVariant EGraphicsWidget::itemChange(GraphicsItemChange change, const QVariant &value)
{
    // A content item that is deleted or moved to another parent detaches itself from us here, so
    // we never touch a dangling pointer.
    if (change == ItemChildRemovedChange && value.value<QGraphicsItem *>() == d->content)
        d->content = nullptr;
    return QGraphicsWidget::itemChange(change, value);
}

void EGraphicsWidget::handleGeometryChange()
{
    if (size() != d->lastSize) {
        d->lastSize = size();
        layoutContent();
        geometryUpdated();
    }
    emit onGeometryChanged(geometry());
}
