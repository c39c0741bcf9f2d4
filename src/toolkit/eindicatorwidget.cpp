// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "eindicatorwidget.h"

#include "estatictext.h"

#include <QPainter>

struct EIndicatorWidgetPrivate
{
    bool round = false;
    QColor color = EStyle::color(EStyle::kInk);
    QPen pen = QPen(EStyle::color(EStyle::kInk));
    QPen disabledPen = QPen(EStyle::color(EStyle::kInkMuted));
    EStaticText label;
};

EIndicatorWidget::EIndicatorWidget(bool round, QGraphicsItem *parent)
    : EBaseWidget(parent), d(std::make_unique<EIndicatorWidgetPrivate>())
{
    d->round = round;
    setCheckable(true);
    d->label.setFont(font());
}

EIndicatorWidget::~EIndicatorWidget() = default;

QColor EIndicatorWidget::colortext() const
{
    return d->color;
}

void EIndicatorWidget::setColortext(const QColor &color)
{
    d->color = color;
    d->pen.setColor(color);
    update();
}

void EIndicatorWidget::geometryUpdated()
{
    d->label.setRect(innerRect().adjusted(EStyle::kIndicatorSize + EStyle::kIndicatorGap, 0, 0, 0));
}

void EIndicatorWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        d->label.setFont(font());
    EBaseWidget::changeEvent(event);
}

QSizeF EIndicatorWidget::sizeHint(Qt::SizeHint which, const QSizeF &constraint) const
{
    if (which != Qt::PreferredSize)
        return EBaseWidget::sizeHint(which, constraint);
    const QSizeF t = d->label.naturalSize();
    return QSizeF(EStyle::kIndicatorSize + EStyle::kIndicatorGap + t.width() + marginsLeft() +
                      marginsRight(),
                  qMax<qreal>(EStyle::kTouchSize, t.height() + marginsTop() + marginsBottom()));
}

void EIndicatorWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (d->label.text() != text())
        d->label.setText(text());
    const QRectF inner = innerRect();
    painter->setRenderHint(QPainter::Antialiasing, true);
    EStyle::drawCheckIndicator(
        painter, QRectF(inner.left(), inner.top(), EStyle::kIndicatorSize, inner.height()),
        styleState(), d->round);
    painter->setPen(isEnabled() ? d->pen : d->disabledPen);
    d->label.draw(painter);
}
