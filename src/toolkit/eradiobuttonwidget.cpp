// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "eradiobuttonwidget.h"

#include "estatictext.h"

#include <QPainter>

struct ERadioButtonWidgetPrivate
{
    QColor color = EStyle::color(EStyle::kInk);
    QPen pen = QPen(EStyle::color(EStyle::kInk));
    QPen disabledPen = QPen(EStyle::color(EStyle::kInkMuted));
    EStaticText label;
};

ERadioButtonWidget::ERadioButtonWidget(QGraphicsItem *parent)
    : EBaseWidget(parent), d(std::make_unique<ERadioButtonWidgetPrivate>())
{
    setCheckable(true);
    d->label.setFont(font());
    connect(this, &EBaseWidget::toggled, this, [this](bool on) {
        if (on)
            uncheckSiblings();
        emit valueChanged(on);
    });
    connect(this, qOverload<>(&EBaseWidget::clicked), this, [this] { emit clicked(isChecked()); });
}

ERadioButtonWidget::~ERadioButtonWidget() = default;

QColor ERadioButtonWidget::colortext() const
{
    return d->color;
}

void ERadioButtonWidget::setColortext(const QColor &color)
{
    d->color = color;
    d->pen.setColor(color);
    update();
}

void ERadioButtonWidget::nextCheckState()
{
    if (!isChecked())
        setChecked(true);
}

void ERadioButtonWidget::uncheckSiblings()
{
    QGraphicsItem *parent = parentItem();
    if (!parent)
        return;
    const QList<QGraphicsItem *> siblings = parent->childItems();
    for (QGraphicsItem *item : siblings) {
        if (item == this || !item->isWidget())
            continue;
        if (auto *radio = qobject_cast<ERadioButtonWidget *>(static_cast<QGraphicsWidget *>(item)))
            radio->setChecked(false);
    }
}

void ERadioButtonWidget::geometryUpdated()
{
    d->label.setRect(innerRect().adjusted(EStyle::kIndicatorSize + EStyle::kIndicatorGap, 0, 0, 0));
}

void ERadioButtonWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        d->label.setFont(font());
    EBaseWidget::changeEvent(event);
}

QSizeF ERadioButtonWidget::sizeHint(Qt::SizeHint which, const QSizeF &constraint) const
{
    if (which != Qt::PreferredSize)
        return EBaseWidget::sizeHint(which, constraint);
    const QSizeF t = d->label.naturalSize();
    return QSizeF(EStyle::kIndicatorSize + EStyle::kIndicatorGap + t.width() + marginsLeft() +
                      marginsRight(),
                  qMax<qreal>(EStyle::kTouchSize, t.height() + marginsTop() + marginsBottom()));
}

void ERadioButtonWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (d->label.text() != text())
        d->label.setText(text());
    const QRectF inner = innerRect();
    painter->setRenderHint(QPainter::Antialiasing, true);
    EStyle::drawCheckIndicator(
        painter, QRectF(inner.left(), inner.top(), EStyle::kIndicatorSize, inner.height()),
        styleState(), true);
    painter->setPen(isEnabled() ? d->pen : d->disabledPen);
    d->label.draw(painter);
}
