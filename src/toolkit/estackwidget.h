// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

#include <memory>

struct EStackWidgetPrivate;

// A stack of pages of which one (the current) is shown at the stack's full size. The stack owns
// its pages; a page deleted elsewhere or moved to another parent leaves the stack as if removed.
class EStackWidget : public EGraphicsWidget
{
    Q_OBJECT
    Q_PROPERTY(int currentIndex READ currentIndex WRITE setCurrentIndex NOTIFY currentChanged)
    Q_PROPERTY(int count READ count)
public:
    explicit EStackWidget(QGraphicsItem *parent = nullptr);
    ~EStackWidget() override;

    // Reparents the page to the stack, hides it, sizes it to the stack and returns its index. A
    // page already in the stack keeps its place and its index is returned.
    int addWidget(QGraphicsWidget *page);
    // Takes the page out (it is hidden and stays alive, parentless: the caller owns it).
    void removeWidget(QGraphicsWidget *page);

    int count() const;
    int currentIndex() const;
    QGraphicsWidget *currentWidget() const;
    QGraphicsWidget *widget(int index) const;
    int indexOf(const QGraphicsWidget *page) const;

public slots:
    // Ignored when the stack is empty or index is outside 0..count-1.
    void setCurrentIndex(int index);
    void setCurrentWidget(QGraphicsWidget *page);

signals:
    void currentChanged(int index);
    void widgetRemoved(int index);

protected:
    void geometryUpdated() override;
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    void forget(int index);
    std::unique_ptr<EStackWidgetPrivate> d;
};
