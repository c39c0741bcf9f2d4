// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "echeckboxwidget.h"

#include "estatictext.h"

#include <QPainter>

struct ECheckboxWidgetPrivate
{
    QColor color = EStyle::color(EStyle::kInk);
    QPen pen = QPen(EStyle::color(EStyle::kInk));
    QPen disabledPen = QPen(EStyle::color(EStyle::kInkMuted));
    EStaticText label;
};

ECheckboxWidget::ECheckboxWidget(QGraphicsItem *parent)
    : EBaseWidget(parent), d(std::make_unique<ECheckboxWidgetPrivate>())
{
    setCheckable(true);
    d->label.setFont(font());
    connect(this, &EBaseWidget::toggled, this, &ECheckboxWidget::valueChanged);
}

ECheckboxWidget::~ECheckboxWidget() = default;

QColor ECheckboxWidget::colortext() const
{
    return d->color;
}

void ECheckboxWidget::setColortext(const QColor &color)
{
    d->color = color;
    d->pen.setColor(color);
    update();
}

void ECheckboxWidget::geometryUpdated()
{
    const QRectF inner = innerRect();
    d->label.setRect(inner.adjusted(EStyle::kIndicatorSize + EStyle::kIndicatorGap, 0, 0, 0));
}

void ECheckboxWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        d->label.setFont(font());
    EBaseWidget::changeEvent(event);
}

QSizeF ECheckboxWidget::sizeHint(Qt::SizeHint which, const QSizeF &constraint) const
{
    if (which != Qt::PreferredSize)
        return EBaseWidget::sizeHint(which, constraint);
    const QSizeF t = d->label.naturalSize();
    return QSizeF(EStyle::kIndicatorSize + EStyle::kIndicatorGap + t.width() + marginsLeft() +
                      marginsRight(),
                  qMax<qreal>(EStyle::kTouchSize, t.height() + marginsTop() + marginsBottom()));
}

void ECheckboxWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (d->label.text() != text())
        d->label.setText(text());
    const QRectF inner = innerRect();
    painter->setRenderHint(QPainter::Antialiasing, true);
    EStyle::drawCheckIndicator(
        painter, QRectF(inner.left(), inner.top(), EStyle::kIndicatorSize, inner.height()),
        styleState(), false);
    painter->setPen(isEnabled() ? d->pen : d->disabledPen);
    d->label.draw(painter);
}
