// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "ebasewidget.h"
#include "ibytecontrol.h"

#include <QVector>
#include <memory>

struct ExtWidgetKind;

class ESliderWidget;
struct ExtSliderControlPrivate;

// A horizontal (1) or vertical (2) slider over a scaled controller value. The controller's value
// moves the handle silently; valueChanged() carries the raw value of the user's drag.
class ExtSliderControl : public EBaseWidget, public IByteControl
{
    Q_OBJECT
public:
    enum Orientation { Horizontal = 1, Vertical = 2 };

    explicit ExtSliderControl(int orientation = Horizontal, QGraphicsItem *parent = nullptr);
    // The control kinds this widget shows (ExtWidgetKinds).
    static QVector<ExtWidgetKind> widgetKinds();
    ~ExtSliderControl() override;

    int orientation() const;
    void setRange(double minimum, double maximum);
    double minimum() const;
    double maximum() const;
    void setStep(double step);
    void setColor(const QColor &color);
    void setScale(double scale);
    double scale() const;
    void setDataType(int typeD);
    void setFrame(bool on);

    // A raw controller value; moves the handle to its display value. Silent.
    void setRawValue(double raw);
    double value() const;
    ESliderWidget *slider() const;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

public slots:
    void valueChangedSlot(double val);

signals:
    void valueChanged(int value);

private:
    std::unique_ptr<ExtSliderControlPrivate> d;
};
