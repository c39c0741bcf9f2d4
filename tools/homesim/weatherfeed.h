// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>

// The weather informer's XML forecast for the simulated towns. The weather runs through a cycle
// of conditions (clear, clouds, rain, snow, thunder) and temperatures, one step per period, so a
// panel that refreshes sees it change over the demo's timeline.
class WeatherFeed
{
public:
    explicit WeatherFeed(int periodSeconds = 60);

    // Names towns by id; other ids are served as "Town <id>".
    void setTowns(const QMap<QString, QString> &towns) { m_towns = towns; }
    QMap<QString, QString> towns() const { return m_towns; }

    // True if the id is one the informer would publish (letters, digits, '-' and '_').
    static bool isValidId(const QString &id);
    // The file for the town at the given number of seconds after the simulator started.
    QByteArray xml(const QString &id, qint64 elapsedSeconds, const QDateTime &now) const;

private:
    int m_period;
    QMap<QString, QString> m_towns;
};
