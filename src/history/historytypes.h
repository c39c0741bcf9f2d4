// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "historyconstants.h"

#include <QList>
#include <QMetaType>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>
#include <algorithm>
#include <array>
#include <limits>

// Value types of the history: what a file row holds, what a person asks to see and what the
// store answers. Times are milliseconds since 1970-01-01 UTC throughout; a missing value is NaN.

// One archive row: the program time and the 16 parameter values by id (index id - 1).
struct ArchiveRow
{
    qint64 time = 0;
    std::array<double, HistoryFormat::kParameterCount> values{};
};

// One alarm-log row: a message whose state or value changed, as the panel saw it.
struct AlarmEvent
{
    qint64 time = 0;      // program time of the row
    qint64 alertTime = 0; // the controller's own time of the message; 0 when unreadable
    int id = 0;
    QString text;
    double value = std::numeric_limits<double>::quiet_NaN();
    bool active = false;
    bool alarm = false; // an alarm rather than a message
    bool sms = false;
    bool siren = false;
    bool notified = false;

    bool operator==(const AlarmEvent &o) const
    {
        return time == o.time && id == o.id && text == o.text && active == o.active &&
               alarm == o.alarm;
    }
};

// Minimum, maximum, sum and count of one parameter over a span of time.
struct SpanStats
{
    float minimum = std::numeric_limits<float>::infinity();
    float maximum = -std::numeric_limits<float>::infinity();
    float sum = 0;
    quint32 count = 0;

    void add(double v)
    {
        const float f = float(v);
        minimum = std::min(minimum, f);
        maximum = std::max(maximum, f);
        sum += f;
        ++count;
    }
    void merge(const SpanStats &o)
    {
        if (!o.count)
            return;
        minimum = std::min(minimum, o.minimum);
        maximum = std::max(maximum, o.maximum);
        sum += o.sum;
        count += o.count;
    }
    double mean() const { return count ? double(sum) / count : 0.0; }
};

// How many points a chart line may carry: the minimum and maximum of every pixel column keep
// every peak; largest-triangle-three-buckets keeps the shape with one point per column.
enum class Decimation { MinMax, Lttb };

struct HistoryQuery
{
    qint64 from = 0;
    qint64 to = 0;
    QVector<int> parameters; // ids 1..16
    int pixels = 1000;       // width of the plot in pixels
    Decimation decimation = Decimation::MinMax;
    quint64 serial = 0;
};

// One parameter's answer: the line, cut into pieces where the archive has a gap, and, where a
// pixel stands for many rows, the band between their minimum and maximum.
struct HistorySeries
{
    int parameter = 0;
    QList<QVector<QPointF>> segments;
    QList<QVector<QPointF>> lows;
    QList<QVector<QPointF>> highs;
    double minimum = std::numeric_limits<double>::quiet_NaN();
    double maximum = std::numeric_limits<double>::quiet_NaN();
    int points() const
    {
        int n = 0;
        for (const QVector<QPointF> &s : segments)
            n += s.size();
        return n;
    }
};

struct HistoryResult
{
    HistoryQuery query;
    QVector<HistorySeries> series;
    QVector<AlarmEvent> events;
    // Column captions of the newest archive header, by id - 1 (empty where none was read).
    QStringList captions;
    qint64 firstTime = 0; // of the whole archive; 0 when it is empty
    qint64 lastTime = 0;
    int garbageLines = 0; // lines of the archive and alarm log that could not be read
    bool fromIndex = false;
};

Q_DECLARE_METATYPE(HistoryQuery)
Q_DECLARE_METATYPE(HistoryResult)
