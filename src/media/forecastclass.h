// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QMetaType>
#include <QObject>
#include <QString>

// Holds the forecast of one town as the weather informer last reported it.
class ForecastClass : public QObject
{
    Q_OBJECT
public:
    struct Forecast
    {
        QString townName;
        QString townId;
        int day = 0;
        int month = 0;
        int year = 0;
        int hour = 0;
        int tod = 0;
        int predict = 0;
        int weekday = 0;
        int cloudiness = 0;
        int precipitation = 0;
        int rpower = 0;
        int spower = 0;
        int windMin = 0;
        int windMax = 0;
        int windDirection = 0;
        int pressureMax = 0;
        int pressureMin = 0;
        int heatMax = 0;
        int heatMin = 0;
        int temperatureMax = 0;
        int temperatureMin = 0;
        int relwetMax = 0;
        int relwetMin = 0;
    };

    explicit ForecastClass(QObject *parent = nullptr) : QObject(parent) {}

    Forecast &forecast() { return m_forecast; }
    const Forecast &forecast() const { return m_forecast; }

    // The integer mean of a pair as shown on the weather tile, computed in 64 bits so that
    // hostile extremes cannot overflow; truncates towards zero.
    static int mean(int a, int b) { return int((qint64(a) + qint64(b)) / 2); }

private:
    Forecast m_forecast;
};

Q_DECLARE_METATYPE(ForecastClass::Forecast)
