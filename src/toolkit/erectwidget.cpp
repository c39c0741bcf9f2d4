// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "erectwidget.h"

#include "toolkitstyle.h"

#include <QLinearGradient>
#include <QPainter>

struct ERectWidgetPrivate
{
    QColor color = EStyle::color(EStyle::kSurface);
    QColor borderColor = Qt::transparent;
    qreal borderWidth = 0;
    qreal radius = 0;
    QBrush brush = QBrush(EStyle::color(EStyle::kSurface));
    QPen pen = QPen(Qt::NoPen);

    void rebuildPen()
    {
        pen = (borderWidth > 0 && borderColor.alpha() > 0) ? QPen(borderColor, borderWidth)
                                                           : QPen(Qt::NoPen);
    }
};

ERectWidget::ERectWidget(QGraphicsItem *parent)
    : EGraphicsWidget(parent), d(std::make_unique<ERectWidgetPrivate>())
{
    setAcceptedMouseButtons(Qt::NoButton);
}

ERectWidget::~ERectWidget() = default;

QColor ERectWidget::color() const
{
    return d->color;
}
QColor ERectWidget::borderColor() const
{
    return d->borderColor;
}
qreal ERectWidget::borderWidth() const
{
    return d->borderWidth;
}
qreal ERectWidget::radius() const
{
    return d->radius;
}

void ERectWidget::setColor(const QColor &color)
{
    d->color = color;
    d->brush = QBrush(color);
    update();
}

void ERectWidget::setBorderColor(const QColor &color)
{
    d->borderColor = color;
    d->rebuildPen();
    update();
}

void ERectWidget::setBorderWidth(qreal width)
{
    d->borderWidth = qMax<qreal>(0, width);
    d->rebuildPen();
    update();
}

void ERectWidget::setRadius(qreal radius)
{
    d->radius = qMax<qreal>(0, radius);
    update();
}

void ERectWidget::setGradient(const QColor &top, const QColor &bottom)
{
    QLinearGradient g(0, 0, 0, 1);
    g.setCoordinateMode(QGradient::ObjectMode);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    d->brush = QBrush(g);
    d->color = top;
    update();
}

void ERectWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const qreal inset = d->pen.style() == Qt::NoPen ? 0 : d->borderWidth / 2;
    const QRectF r = rect().adjusted(inset, inset, -inset, -inset);
    painter->setPen(d->pen);
    painter->setBrush(d->brush);
    if (d->radius > 0) {
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->drawRoundedRect(r, d->radius, d->radius);
    } else {
        painter->drawRect(r);
    }
}
