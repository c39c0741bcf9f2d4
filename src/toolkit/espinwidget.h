// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

#include <QColor>
#include <memory>

struct ESpinWidgetPrivate;

// A busy indicator: a ring of spokes whose bright head turns one spoke per timer tick. The timer
// only runs while the indicator is running and visible.
class ESpinWidget : public EGraphicsWidget
{
    Q_OBJECT
    Q_PROPERTY(bool running READ isRunning WRITE setRunning)
    Q_PROPERTY(QColor color READ color WRITE setColor)
public:
    explicit ESpinWidget(QGraphicsItem *parent = nullptr);
    ~ESpinWidget() override;

    bool isRunning() const;
    void setRunning(bool running);
    QColor color() const;
    void setColor(const QColor &color);
    // Index of the spoke at the head of the animation.
    int frame() const;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

public slots:
    void start();
    void stop();
    void timerAnimate();

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    void updateTimer();
    std::unique_ptr<ESpinWidgetPrivate> d;
};
