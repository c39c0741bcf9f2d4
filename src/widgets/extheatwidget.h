// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "ebasewidget.h"

#include <QVector>
#include <memory>

struct ExtWidgetKind;

class ENumericWidget;
struct ExtHeatWidgetPrivate;

// A thermostat: the set-point field with steps of 0.2 degrees, the measured temperature and a
// bar for the heating level. The set-point travels as a whole number of steps in one controller
// byte; ValueChange() reports only the user's changes.
class ExtHeatWidget : public EBaseWidget
{
    Q_OBJECT
public:
    explicit ExtHeatWidget(QGraphicsItem *parent = nullptr);
    // The control kinds this widget shows (ExtWidgetKinds).
    static QVector<ExtWidgetKind> widgetKinds();
    ~ExtHeatWidget() override;

    void setCaption(const QString &caption);
    QString caption() const;
    void setCaptionColor(const QColor &color);
    void setTemperatureColor(const QColor &color);
    void setNumericFont(const QFont &font);
    void setLabelFont(const QFont &font);
    void setDrawBackground(bool on);

    // Temperature in degrees, set-point in steps of 0.2 degrees, heating level 0..100. Silent.
    void setValues(double temperature, int setPointSteps, int level);
    double temperature() const;
    int setPointSteps() const;
    int level() const;
    QString temperatureText() const;
    // The font of the temperature and caption labels.
    QFont labelFont() const;
    // What follows the temperature: "°C" from the language table.
    static QString degreesUnit();
    ENumericWidget *field() const;

    // Steps for a set-point in degrees: the nearest step, within what one byte carries.
    static int stepsForDegrees(double degrees);

    // A held step button repeats at a pace a person can stop on, and the set-point goes out at
    // most once per `sendIntervalMs` while it moves (always the latest value), and once more
    // when the button is let go. The defaults are kFirstRepeatMs, kRepeatMs, kSendIntervalMs.
    static constexpr int kFirstRepeatMs = 500;
    static constexpr int kRepeatMs = 250;
    static constexpr int kSendIntervalMs = 250;
    void setTimings(int firstRepeatMs, int repeatMs, int sendIntervalMs);

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

public slots:
    void plusminusClick(double value);

private slots:
    void sendPending();

signals:
    void ValueChange(int value);

private:
    std::unique_ptr<ExtHeatWidgetPrivate> d;
};
