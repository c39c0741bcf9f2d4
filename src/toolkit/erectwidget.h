// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

#include <QColor>
#include <memory>

struct ERectWidgetPrivate;

// A filled and/or bordered rectangle, optionally rounded: panels, separators, frames.
class ERectWidget : public EGraphicsWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(QColor borderColor READ borderColor WRITE setBorderColor)
    Q_PROPERTY(qreal borderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(qreal radius READ radius WRITE setRadius)
public:
    explicit ERectWidget(QGraphicsItem *parent = nullptr);
    ~ERectWidget() override;

    QColor color() const;
    void setColor(const QColor &color);
    QColor borderColor() const;
    void setBorderColor(const QColor &color);
    qreal borderWidth() const;
    void setBorderWidth(qreal width);
    qreal radius() const;
    void setRadius(qreal radius);
    // A vertical gradient fill from top to bottom instead of the flat colour.
    void setGradient(const QColor &top, const QColor &bottom);

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

private:
    std::unique_ptr<ERectWidgetPrivate> d;
};
