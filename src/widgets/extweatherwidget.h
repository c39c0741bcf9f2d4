// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "ebasewidget.h"
#include "elocale.h"
#include "forecastclass.h"

#include <QVector>
#include <memory>

struct ExtWidgetKind;

class EIconWidget;
class EImageWidget;
class ELabelWidget;
class WeatherControlV1;
class WeatherData;
struct ExtWeatherWidgetPrivate;

// The weather tile on a plan: the town, the mean temperature, a condition icon, wind, humidity,
// pressure and felt temperature, and when it was updated. While on screen it refreshes every
// 15 minutes; pressing the tile or its refresh button refreshes at once.
class ExtWeatherWidget : public EBaseWidget, public AbstractLocalizable
{
    Q_OBJECT
public:
    explicit ExtWeatherWidget(WeatherControlV1 *record, QGraphicsItem *parent = nullptr);
    // The control kinds this widget shows (ExtWidgetKinds).
    static QVector<ExtWidgetKind> widgetKinds();
    ~ExtWeatherWidget() override;

    void applyRecord(WeatherControlV1 *record);
    WeatherData *weatherData() const;

    // The resource name of the condition icon for a forecast's time of day (1 and 2 are day),
    // cloudiness and precipitation.
    static QString conditionIcon(int tod, int cloudiness, int precipitation);

    QString cityText() const;
    QString temperatureText() const;
    QString detailText() const;
    QString updateText() const;
    QString iconName() const;
    bool isRefreshing() const;
    EIconWidget *refreshButton() const;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

public slots:
    void updateClick();
    void WeatherReady(ForecastClass::Forecast forecast);

protected:
    void applyTexts() override;
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    void updateOnScreen();
    std::unique_ptr<ExtWeatherWidgetPrivate> d;
};
