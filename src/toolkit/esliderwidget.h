// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

#include <QColor>
#include <memory>

struct ESliderWidgetPrivate;

// A horizontal or vertical slider (maximum at the top when vertical). A press anywhere on the
// track moves the handle under the finger, which then drags it; values snap to the step counted
// from the minimum. valueChanged() reports the user's changes only: setting the value from code
// (for instance from the controller's answer) is silent, so the value never echoes back.
class ESliderWidget : public EGraphicsWidget
{
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue)
    Q_PROPERTY(double minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(double maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(double step READ step WRITE setStep)
    Q_PROPERTY(Qt::Orientation orientation READ orientation WRITE setOrientation)
    Q_PROPERTY(QColor color READ color WRITE setColor)
public:
    explicit ESliderWidget(QGraphicsItem *parent = nullptr);
    explicit ESliderWidget(Qt::Orientation orientation, QGraphicsItem *parent = nullptr);
    ~ESliderWidget() override;

    double value() const;
    // Clamped to the range; silent.
    void setValue(double value);
    double minimum() const;
    void setMinimum(double minimum);
    double maximum() const;
    void setMaximum(double maximum);
    void setRange(double minimum, double maximum);
    // 0 lets the value move freely.
    double step() const;
    void setStep(double step);
    Qt::Orientation orientation() const;
    void setOrientation(Qt::Orientation orientation);
    QColor color() const;
    void setColor(const QColor &color);
    bool isSliderDown() const;

    // The handle's centre for a value, and the value under a point, in item coordinates.
    QPointF positionForValue(double value) const;
    double valueForPosition(const QPointF &pos) const;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

signals:
    void valueChanged(double value);
    void sliderPressed();
    void sliderReleased();

protected:
    void geometryUpdated() override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void ungrabMouseEvent(QEvent *event) override;
    void hoverEnterEvent(QGraphicsSceneHoverEvent *event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent *event) override;

private:
    void moveTo(const QPointF &pos);
    double snapped(double value) const;
    std::unique_ptr<ESliderWidgetPrivate> d;
};
