// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "estackwidget.h"

#include <QList>

struct EStackWidgetPrivate
{
    QList<QGraphicsWidget *> pages;
    int current = -1;
    bool removing = false;
};

EStackWidget::EStackWidget(QGraphicsItem *parent)
    : EGraphicsWidget(parent), d(std::make_unique<EStackWidgetPrivate>())
{
    setFlag(ItemHasNoContents, true);
}

EStackWidget::~EStackWidget() = default;

int EStackWidget::addWidget(QGraphicsWidget *page)
{
    Q_ASSERT(page);
    if (!page)
        return -1;
    const int existing = d->pages.indexOf(page);
    if (existing >= 0)
        return existing;
    page->hide();
    // Listed before reparenting: the child-added notification must find it known.
    d->pages.append(page);
    page->setParentItem(this);
    page->setGeometry(innerRect());
    return d->pages.size() - 1;
}

void EStackWidget::removeWidget(QGraphicsWidget *page)
{
    const int index = d->pages.indexOf(page);
    if (index < 0)
        return;
    d->removing = true;
    page->hide();
    page->setParentItem(nullptr);
    d->removing = false;
    forget(index);
}

int EStackWidget::count() const
{
    return d->pages.size();
}

int EStackWidget::currentIndex() const
{
    return d->current;
}

QGraphicsWidget *EStackWidget::currentWidget() const
{
    return widget(d->current);
}

QGraphicsWidget *EStackWidget::widget(int index) const
{
    return (index >= 0 && index < d->pages.size()) ? d->pages.at(index) : nullptr;
}

int EStackWidget::indexOf(const QGraphicsWidget *page) const
{
    return d->pages.indexOf(const_cast<QGraphicsWidget *>(page));
}

void EStackWidget::setCurrentIndex(int index)
{
    if (d->pages.isEmpty() || index < 0 || index >= d->pages.size())
        return;
    if (QGraphicsWidget *old = widget(d->current); old && d->current != index)
        old->hide();
    QGraphicsWidget *page = d->pages.at(index);
    page->setGeometry(innerRect());
    page->show();
    d->current = index;
    emit currentChanged(index);
}

void EStackWidget::setCurrentWidget(QGraphicsWidget *page)
{
    setCurrentIndex(d->pages.indexOf(page));
}

void EStackWidget::geometryUpdated()
{
    if (QGraphicsWidget *page = currentWidget())
        page->setGeometry(innerRect());
}

QVariant EStackWidget::itemChange(GraphicsItemChange change, const QVariant &value)
{
    // A page being deleted unparents itself first; dropping it here keeps the list free of
    // dangling pointers.
    if (change == ItemChildRemovedChange && !d->removing) {
        const QGraphicsItem *child = value.value<QGraphicsItem *>();
        for (int i = 0; i < d->pages.size(); ++i) {
            if (static_cast<const QGraphicsItem *>(d->pages.at(i)) == child) {
                forget(i);
                break;
            }
        }
    }
    return EGraphicsWidget::itemChange(change, value);
}

void EStackWidget::forget(int index)
{
    d->pages.removeAt(index);
    if (index == d->current) {
        // The page on show went away: show its successor (or the new last page), or nothing.
        d->current = -1;
        if (!d->pages.isEmpty())
            setCurrentIndex(qMin(index, d->pages.size() - 1));
        else
            emit currentChanged(-1);
    } else if (index < d->current) {
        --d->current;
    }
    emit widgetRemoved(index);
}
