// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

#include <QColor>
#include <memory>

struct EProgressWidgetPrivate;

// A horizontal progress bar with an optional percentage text.
class EProgressWidget : public EGraphicsWidget
{
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE setValue)
    Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(bool textVisible READ isTextVisible WRITE setTextVisible)
public:
    explicit EProgressWidget(QGraphicsItem *parent = nullptr);
    ~EProgressWidget() override;

    int value() const;
    // Clamped to minimum..maximum.
    void setValue(int value);
    int minimum() const;
    void setMinimum(int minimum);
    int maximum() const;
    void setMaximum(int maximum);
    void setRange(int minimum, int maximum);
    QColor color() const;
    void setColor(const QColor &color);
    bool isTextVisible() const;
    void setTextVisible(bool visible);
    // 0..1 share of the range that is done.
    qreal fraction() const;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

protected:
    void geometryUpdated() override;

private:
    void updateText();
    std::unique_ptr<EProgressWidgetPrivate> d;
};
