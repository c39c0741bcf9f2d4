// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"
#include "historytypes.h"

#include <QColor>
#include <memory>

namespace QtCharts {
class QChart;
}

// The chart of the history screen: up to four parameter lines (with the band between minimum
// and maximum where a pixel stands for many rows), one value axis per unit, the time axis, alarm
// events as markers along the top and a cursor. It follows the toolkit's touch rules: a finger
// that travels more than EToolkit::kFlickThreshold pans the time range, a shorter touch is a tap
// (on a marker: shows its text; elsewhere: puts the cursor there), two fingers pinch to zoom; the
// mouse wheel zooms too. Changes made by a person are signalled; setters are silent.
class HistoryChart : public EGraphicsWidget
{
    Q_OBJECT
public:
    struct Line
    {
        int id = 0;
        QString name;
        QString unit;
        QColor color;
    };

    // The shortest and longest spans a pinch or the wheel can reach.
    static constexpr qint64 kMinSpanMs = 10 * 60 * 1000;
    static constexpr qint64 kMaxSpanMs = 3LL * 366 * 24 * 3600 * 1000;

    explicit HistoryChart(QGraphicsItem *parent = nullptr);
    ~HistoryChart() override;

    QtCharts::QChart *chart() const;

    qint64 from() const;
    qint64 to() const;
    void setRange(qint64 from, qint64 to);

    // Replaces the lines; `result` holds one series per entry of `lines`, by parameter id.
    void setData(const QVector<Line> &lines, const HistoryResult &result);
    void setEvents(const QVector<AlarmEvent> &events);
    QVector<AlarmEvent> events() const;

    // The axis each unit got, in order of first appearance: at most four.
    QStringList units() const;
    // Points drawn for parameter `id` (all its pieces), and the pieces themselves.
    int pointCount(int id) const;
    int segmentCount(int id) const;
    // Time of the newest point drawn for parameter `id`; 0 when it has none.
    qint64 lastPointTime(int id) const;

    // Events closer together than a marker's width share one marker; markers are numbered from
    // the left. -1 when none is selected.
    int markerCount() const;
    int selectedMarker() const;
    void selectMarker(int marker);
    // Where a marker is drawn, in this item's coordinates, and the events (indexes into events())
    // it stands for.
    QRectF markerRect(int marker) const;
    QVector<int> markerEvents(int marker) const;
    // The text of the selected marker: its event, or how many there are and the first few.
    QString selectedText() const;
    QRectF plotArea() const;
    // Text shown for a marker: time, message and its state.
    static QString markerText(const AlarmEvent &event, const QString &alarmWord,
                              const QString &messageWord, const QString &activeWord,
                              const QString &clearedWord);
    void setMarkerWords(const QString &alarm, const QString &message, const QString &active,
                        const QString &cleared);

    bool hasCursor() const;
    qint64 cursorTime() const;
    void setCursorTime(qint64 msecs);
    void clearCursor();
    // Value of line `id` at the cursor (the nearest drawn point); NaN when it has none there.
    double valueAt(int id, qint64 msecs) const;

signals:
    // The person dragged or pinched: the range moves with the finger.
    void rangeChanging(qint64 from, qint64 to);
    // The gesture ended (or a wheel step): time to fetch the data of the new range.
    void rangeChangeFinished(qint64 from, qint64 to);
    void cursorMoved(qint64 msecs);
    void markerTouched(int marker);

protected:
    void geometryUpdated() override;

private:
    friend class HistoryChartOverlay;
    struct Private;
    std::unique_ptr<Private> d;
};
