// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "ecombowidget.h"

#include "ecombopopup.h"
#include "estatictext.h"

#include <QGraphicsScene>
#include <QPainter>
#include <QPointer>

struct EComboWidgetPrivate
{
    QStringList items;
    int current = -1;
    QPointer<EComboPopup> popup;
    EStaticText text;
    QRectF arrow;
};

EComboWidget::EComboWidget(QGraphicsItem *parent)
    : EBaseWidget(parent), d(std::make_unique<EComboWidgetPrivate>())
{
    d->text.setFont(font());
    d->text.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(this, qOverload<>(&EBaseWidget::clicked), this, &EComboWidget::showPopup);
}

EComboWidget::~EComboWidget()
{
    delete d->popup.data();
}

QStringList EComboWidget::items() const
{
    return d->items;
}
int EComboWidget::count() const
{
    return d->items.size();
}
int EComboWidget::currentIndex() const
{
    return d->current;
}
bool EComboWidget::isPopupVisible() const
{
    return !d->popup.isNull();
}
EComboPopup *EComboWidget::popup() const
{
    return d->popup.data();
}

void EComboWidget::setItems(const QStringList &items)
{
    hidePopup();
    d->items = items;
    d->current = items.isEmpty() ? -1 : qBound(0, d->current, items.size() - 1);
    d->text.setText(currentText());
    update();
}

void EComboWidget::addItem(const QString &text)
{
    d->items.append(text);
    if (d->current < 0)
        d->current = 0;
    d->text.setText(currentText());
    update();
}

void EComboWidget::addItems(const QStringList &texts)
{
    for (const QString &t : texts)
        addItem(t);
}

void EComboWidget::clear()
{
    setItems(QStringList());
}

QString EComboWidget::itemText(int index) const
{
    return d->items.value(index);
}

int EComboWidget::findText(const QString &text) const
{
    return d->items.indexOf(text);
}

QString EComboWidget::currentText() const
{
    return d->items.value(d->current);
}

void EComboWidget::setCurrentIndex(int index)
{
    if (index < -1 || index >= d->items.size())
        return;
    d->current = index;
    d->text.setText(currentText());
    update();
}

void EComboWidget::showPopup()
{
    if (d->popup || d->items.isEmpty() || !scene() || !isEnabled())
        return;
    auto *popup = new EComboPopup(this, d->items, d->current);
    d->popup = popup;
    connect(popup, &EComboPopup::chosen, this, &EComboWidget::choose);
    connect(popup, &EComboPopup::dismissed, this, &EComboWidget::hidePopup);
}

void EComboWidget::hidePopup()
{
    if (!d->popup)
        return;
    // Deleted later: the popup is usually inside its own mouse handler when it asks to close.
    EComboPopup *popup = d->popup.data();
    d->popup.clear();
    popup->hide();
    popup->deleteLater();
}

void EComboWidget::choose(int index)
{
    hidePopup();
    if (index < 0 || index >= d->items.size() || index == d->current)
        return;
    setCurrentIndex(index);
    emit indexChanged(index);
    emit valueChanged(currentText());
}

QRectF EComboWidget::textRect() const
{
    return d->text.rect();
}

void EComboWidget::geometryUpdated()
{
    const QRectF r = innerRect();
    const qreal a = qMin<qreal>(r.height(), 32);
    d->arrow = QRectF(r.right() - a, r.top(), a, r.height());
    d->text.setRect(QRectF(r.left() + 10, r.top(), qMax<qreal>(0, r.width() - a - 12), r.height()));
}

QVariant EComboWidget::itemChange(GraphicsItemChange change, const QVariant &value)
{
    // A list left open over a page that went away would swallow every tap.
    if ((change == ItemVisibleHasChanged && !value.toBool()) ||
        (change == ItemEnabledHasChanged && !value.toBool()) || (change == ItemSceneChange))
        hidePopup();
    return EBaseWidget::itemChange(change, value);
}

void EComboWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    EStyle::States s = styleState();
    if (d->popup)
        s |= EStyle::Pressed;
    painter->setRenderHint(QPainter::Antialiasing, true);
    EStyle::drawButton(painter, rect(), s);
    if (d->text.font() != font())
        d->text.setFont(font());
    const QColor c = EStyle::buttonText(s);
    painter->setPen(c);
    d->text.draw(painter);
    EStyle::drawChevron(painter, d->arrow, c, !d->popup);
}
