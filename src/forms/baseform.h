// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

#include <memory>

class EFlickable;
class QGraphicsLayout;
struct BaseFormPrivate;

// Base of every full-page screen: paints the page's light-blue vertical gradient behind its
// content, unless a screen (the home plan) switches the background off. A screen laid out with
// setPageLayout() scrolls when the page is smaller than the layout needs, so every control stays
// reachable on a small wall panel.
class BaseForm : public EGraphicsWidget
{
    Q_OBJECT
public:
    explicit BaseForm(QGraphicsItem *parent = nullptr);
    ~BaseForm() override;

    bool drawBackground() const { return m_drawBackground; }
    void setDrawBackground(bool on);

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

    // Lays the page out with layout on a content area that fills the page and keeps at least the
    // layout's minimum size; where that is larger than the page, the finger scrolls it. Replaces a
    // layout set before (its widgets stay on the content area).
    void setPageLayout(QGraphicsLayout *layout);
    // The scrolling area of setPageLayout(), null before it.
    EFlickable *pageArea() const;
    // The item the page layout lays out on, null before setPageLayout().
    QGraphicsWidget *pageContent() const;

protected:
    void geometryUpdated() override;

private:
    void fitPageContent();

    bool m_drawBackground = true;
    std::unique_ptr<BaseFormPrivate> d;
};
