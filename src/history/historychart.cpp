// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// Longer than most files here: the chart's series, axes per unit, cursor, event markers and the
// drag, pinch and wheel gestures all work on the same view state, so they stay in one file.
#include "historychart.h"

#include "etoolkittiming.h"
#include "toolkitconstants.h"
#include "toolkitstyle.h"

#include <QDateTime>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSceneWheelEvent>
#include <QHash>
#include <QPainter>
#include <QStaticText>
#include <QTouchEvent>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <cmath>

QT_CHARTS_USE_NAMESPACE

namespace {

constexpr qreal kMarkerSize = 12;
// A tap this close to a marker (scene pixels) touches it: half a fingertip.
constexpr qreal kMarkerReach = EStyle::kTouchSize / 2;
constexpr qreal kCalloutWidth = 300;
const QColor kAlarmColor(0xd3, 0x3f, 0x49);
const QColor kMessageColor(0x1e, 0x88, 0xe5);
const QColor kCursorColor(0x1b, 0x24, 0x30);

constexpr qint64 kMinuteMs = 60 * 1000;
constexpr qint64 kHourMs = 60 * kMinuteMs;
constexpr qint64 kDayMs = 24 * kHourMs;
// Time between labels of the time axis, about this many pixels apart.
constexpr qreal kTickSpacing = 110;

// The steps a time axis may take: minutes and hours that divide a day, days, weeks, months.
struct TimeStep
{
    qint64 approxMs;
    int minutes; // within a day; 0 for day steps and longer
    int days;    // 1, 2, 7 or 14; 0 for months
    int months;  // 1, 2, 3, 6 or 12
};
const TimeStep kSteps[] = {
    {10 * kMinuteMs, 10, 0, 0}, {15 * kMinuteMs, 15, 0, 0}, {30 * kMinuteMs, 30, 0, 0},
    {kHourMs, 60, 0, 0},        {2 * kHourMs, 120, 0, 0},   {3 * kHourMs, 180, 0, 0},
    {6 * kHourMs, 360, 0, 0},   {12 * kHourMs, 720, 0, 0},  {kDayMs, 0, 1, 0},
    {2 * kDayMs, 0, 2, 0},      {7 * kDayMs, 0, 7, 0},      {14 * kDayMs, 0, 14, 0},
    {30 * kDayMs, 0, 0, 1},     {61 * kDayMs, 0, 0, 2},     {91 * kDayMs, 0, 0, 3},
    {182 * kDayMs, 0, 0, 6},    {365 * kDayMs, 0, 0, 12}};

// Instants of round local times (whole hours, midnights, Mondays, firsts of months) in
// [from, to], with their labels; the labels never repeat within one range.
QVector<QPair<qint64, QString>> timeTicks(qint64 from, qint64 to, qreal width)
{
    const qint64 wanted = qint64(double(to - from) * kTickSpacing / std::max<qreal>(width, 1));
    const TimeStep *step = &kSteps[std::size(kSteps) - 1];
    for (const TimeStep &s : kSteps) {
        if (s.approxMs >= wanted) {
            step = &s;
            break;
        }
    }
    QVector<QPair<qint64, QString>> ticks;
    const QDate first = QDateTime::fromMSecsSinceEpoch(from).date();
    const QDate last = QDateTime::fromMSecsSinceEpoch(to).date();
    const bool longRange = to - from > kDayMs;
    auto add = [&](const QDateTime &t, const QString &format) {
        const qint64 at = t.toMSecsSinceEpoch();
        if (at >= from && at <= to && (ticks.isEmpty() || at > ticks.last().first))
            ticks.append({at, t.toString(format)});
    };
    if (step->minutes) {
        for (QDate day = first; day <= last && ticks.size() < 500; day = day.addDays(1)) {
            for (int m = 0; m < 24 * 60; m += step->minutes) {
                const QDateTime t(day, QTime(m / 60, m % 60));
                add(t, m == 0      ? QStringLiteral("dd.MM")
                       : longRange ? QStringLiteral("dd.MM hh:mm")
                                   : QStringLiteral("hh:mm"));
            }
        }
    } else if (step->days) {
        const bool years = last.year() != first.year() && to - from > 300 * kDayMs;
        for (QDate day = first; day <= last && ticks.size() < 500; day = day.addDays(1)) {
            const bool take = step->days >= 7 ? day.dayOfWeek() == 1 &&
                                                    (step->days == 7 || day.weekNumber() % 2 == 0)
                                              : day.toJulianDay() % step->days == 0;
            if (take)
                add(QDateTime(day, QTime(0, 0)),
                    years ? QStringLiteral("dd.MM.yy") : QStringLiteral("dd.MM"));
        }
    } else {
        for (QDate month(first.year(), first.month(), 1); month <= last && ticks.size() < 500;
             month = month.addMonths(1)) {
            if ((month.month() - 1) % step->months == 0)
                add(QDateTime(month, QTime(0, 0)),
                    step->months == 12 ? QStringLiteral("yyyy") : QStringLiteral("MMM yyyy"));
        }
    }
    // A repeated label (the hour that a daylight-saving change repeats) is told apart invisibly:
    // the axis keys its ticks by label.
    for (int i = 1; i < ticks.size(); ++i) {
        for (int j = 0; j < i; ++j) {
            if (ticks.at(j).second == ticks.at(i).second)
                ticks[i].second += QChar(0x200B);
        }
    }
    return ticks;
}

} // namespace

// Draws what changes with every touch (markers, the cursor, the open marker text) above the
// chart, and takes every press on the chart, so the chart's own series never swallow one.
class HistoryChartOverlay : public QGraphicsItem
{
public:
    explicit HistoryChartOverlay(HistoryChart *chart);

    QRectF boundingRect() const override { return m_bounds; }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override;
    void relayout();

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void wheelEvent(QGraphicsSceneWheelEvent *event) override;
    bool sceneEvent(QEvent *event) override;

private:
    HistoryChart *m_chart;
    QRectF m_bounds;

    friend class HistoryChart;
    // Cached for paint().
    QVector<QPolygonF> m_markers;
    QVector<bool> m_markerAlarm;
    QVector<QVector<int>> m_markerEvents;
    int m_selectedMarker = -1;
    QLineF m_cursorLine;
    QVector<QPair<QPointF, QColor>> m_cursorDots;
    QRectF m_callout;
    QStaticText m_calloutText;
    QRectF m_cursorLabelRect;
    QStaticText m_cursorLabel;
};

struct HistoryChart::Private
{
    HistoryChart *q = nullptr;
    QChart *chart = nullptr;
    QCategoryAxis *time = nullptr;
    qreal tickWidth = 0;
    bool retickPending = false;
    QList<QValueAxis *> axes;
    QStringList units;
    HistoryChartOverlay *overlay = nullptr;

    QVector<Line> lines;
    HistoryResult result;
    QHash<int, QList<QLineSeries *>> seriesById;
    qint64 from = 0;
    qint64 to = 24LL * 3600 * 1000;

    QVector<AlarmEvent> events;
    int selectedEvent = -1; // the first event of the selected marker
    QString alarmWord = QStringLiteral("alarm");
    QString messageWord = QStringLiteral("message");
    QString activeWord = QStringLiteral("active");
    QString clearedWord = QStringLiteral("cleared");

    bool hasCursor = false;
    qint64 cursor = 0;

    // Gesture.
    bool pressed = false;
    bool dragging = false;
    QPointF pressPos;
    qint64 pressFrom = 0;
    qint64 pressTo = 0;
    bool pinching = false;
    qreal pinchDistance = 0;
    double pinchTime = 0; // the instant under the fingers' midpoint when the pinch began

    QRectF plot() const { return chart->plotArea(); }
    double xOf(double t) const
    {
        const QRectF p = plot();
        return p.left() + (t - from) / double(to - from) * p.width();
    }
    double timeAt(double x) const
    {
        const QRectF p = plot();
        return from + (x - p.left()) / std::max<qreal>(1, p.width()) * double(to - from);
    }

    void applyRange();
    void rescale();
    void rebuild();
    int markerAt(const QPointF &pos) const;
    void setRangeByPerson(qint64 newFrom, qint64 newTo, bool finished);

    void press(const QPointF &pos);
    void move(const QPointF &pos);
    void release(const QPointF &pos);
    void pinch(const QPointF &a, const QPointF &b, bool begin);
    void zoom(double factor, double x, bool finished);
};

HistoryChartOverlay::HistoryChartOverlay(HistoryChart *chart) : QGraphicsItem(chart), m_chart(chart)
{
    setAcceptedMouseButtons(Qt::LeftButton);
    setAcceptTouchEvents(true);
    setZValue(10);
}

void HistoryChartOverlay::relayout()
{
    prepareGeometryChange();
    HistoryChart::Private *d = m_chart->d.get();
    m_bounds = QRectF(QPointF(0, 0), m_chart->size());
    const QRectF plot = d->plot();

    m_markers.clear();
    m_markerAlarm.clear();
    m_markerEvents.clear();
    m_selectedMarker = -1;
    // Events in time order; one closer than a marker's width to the marker before joins it.
    qreal clusterX = 0;
    for (int i = 0; i < d->events.size(); ++i) {
        const AlarmEvent &e = d->events.at(i);
        const double x = d->xOf(double(e.time));
        if (x < plot.left() - 0.5 || x > plot.right() + 0.5)
            continue;
        if (!m_markerEvents.isEmpty() && x - clusterX < kMarkerSize) {
            m_markerEvents.last().append(i);
            m_markerAlarm.last() = m_markerAlarm.last() || e.alarm;
        } else {
            clusterX = x;
            const qreal top = plot.top() + 1;
            m_markers.append(QPolygonF()
                             << QPointF(x - kMarkerSize / 2, top)
                             << QPointF(x + kMarkerSize / 2, top) << QPointF(x, top + kMarkerSize));
            m_markerAlarm.append(e.alarm);
            m_markerEvents.append(QVector<int>{i});
        }
        if (i == d->selectedEvent)
            m_selectedMarker = m_markers.size() - 1;
    }

    const QFont font = EStyle::font(EStyle::kCaptionFontPx);
    m_callout = QRectF();
    if (m_selectedMarker >= 0) {
        m_calloutText.setText(m_chart->selectedText().toHtmlEscaped().replace(
            QLatin1Char('\n'), QLatin1String("<br>")));
        m_calloutText.setTextFormat(Qt::RichText);
        m_calloutText.setTextWidth(kCalloutWidth - 16);
        m_calloutText.prepare(QTransform(), font);
        const QSizeF size = m_calloutText.size() + QSizeF(16, 12);
        const QPointF tip = m_markers.at(m_selectedMarker).boundingRect().center();
        qreal left = std::clamp(tip.x() - size.width() / 2, plot.left(),
                                std::max(plot.left(), plot.right() - size.width()));
        m_callout = QRectF(QPointF(left, plot.top() + kMarkerSize + 6), size);
    }

    m_cursorDots.clear();
    m_cursorLine = QLineF();
    m_cursorLabelRect = QRectF();
    if (d->hasCursor && d->cursor >= d->from && d->cursor <= d->to) {
        const double x = d->xOf(double(d->cursor));
        m_cursorLine = QLineF(x, plot.top(), x, plot.bottom());
        for (const HistoryChart::Line &line : qAsConst(d->lines)) {
            const double v = m_chart->valueAt(line.id, d->cursor);
            const int axis = d->units.indexOf(line.unit);
            if (std::isnan(v) || axis < 0 || axis >= d->axes.size())
                continue;
            const QValueAxis *a = d->axes.at(axis);
            const double y = plot.bottom() - (v - a->min()) / (a->max() - a->min()) * plot.height();
            m_cursorDots.append({QPointF(x, y), line.color});
        }
        m_cursorLabel.setText(
            QDateTime::fromMSecsSinceEpoch(d->cursor).toString(QStringLiteral("dd.MM.yyyy hh:mm")));
        m_cursorLabel.prepare(QTransform(), font);
        const QSizeF size = m_cursorLabel.size() + QSizeF(10, 4);
        const qreal left =
            std::clamp(x - size.width() / 2, 0.0, std::max(0.0, m_bounds.width() - size.width()));
        m_cursorLabelRect = QRectF(QPointF(left, plot.bottom() - size.height()), size);
    }
    update();
}

void HistoryChartOverlay::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    const HistoryChart::Private *d = m_chart->d.get();
    const QRectF plot = d->plot();
    for (int i = 0; i < m_markers.size(); ++i) {
        const QColor color = m_markerAlarm.at(i) ? kAlarmColor : kMessageColor;
        if (i == m_selectedMarker) {
            // The selected marker reaches down through the lines to the time it stands for.
            const QPointF tip = m_markers.at(i).at(2);
            painter->setPen(QPen(color, 1.5, Qt::DashLine));
            painter->drawLine(tip, QPointF(tip.x(), plot.bottom()));
        }
        painter->setPen(QPen(color.darker(130), 1));
        painter->setBrush(color);
        painter->drawPolygon(m_markers.at(i));
        if (m_markerEvents.at(i).size() > 1) {
            // A marker for several events carries a small white dot.
            painter->setPen(Qt::NoPen);
            painter->setBrush(Qt::white);
            painter->drawEllipse(m_markers.at(i).boundingRect().center() - QPointF(0, 1.5), 1.8,
                                 1.8);
        }
    }
    if (!m_cursorLine.isNull()) {
        painter->setPen(QPen(kCursorColor, 1));
        painter->drawLine(m_cursorLine);
        for (const auto &dot : m_cursorDots) {
            painter->setBrush(dot.second);
            painter->setPen(QPen(Qt::white, 1.5));
            painter->drawEllipse(dot.first, 4.5, 4.5);
        }
        painter->setPen(Qt::NoPen);
        painter->setBrush(EStyle::color(EStyle::kSurface));
        painter->drawRoundedRect(m_cursorLabelRect, EStyle::kRadiusSmall, EStyle::kRadiusSmall);
        painter->setPen(EStyle::color(EStyle::kPaper));
        painter->setFont(EStyle::font(EStyle::kCaptionFontPx));
        painter->drawStaticText(m_cursorLabelRect.topLeft() + QPointF(5, 2), m_cursorLabel);
    }
    if (!m_callout.isEmpty()) {
        painter->setPen(QPen(EStyle::color(EStyle::kSurfaceLine), 1));
        painter->setBrush(EStyle::color(EStyle::kSurface));
        painter->drawRoundedRect(m_callout, EStyle::kRadiusSmall, EStyle::kRadiusSmall);
        painter->setPen(EStyle::color(EStyle::kPaper));
        painter->setFont(EStyle::font(EStyle::kCaptionFontPx));
        painter->drawStaticText(m_callout.topLeft() + QPointF(8, 6), m_calloutText);
    }
}

void HistoryChartOverlay::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_chart->d->press(event->pos());
}

void HistoryChartOverlay::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    m_chart->d->move(event->pos());
}

void HistoryChartOverlay::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    m_chart->d->release(event->pos());
}

void HistoryChartOverlay::wheelEvent(QGraphicsSceneWheelEvent *event)
{
    if (event->orientation() != Qt::Vertical || event->delta() == 0) {
        event->ignore();
        return;
    }
    // One notch (120) zooms by a quarter, around the time under the pointer.
    m_chart->d->zoom(std::pow(1.25, -event->delta() / 120.0), event->pos().x(), true);
}

bool HistoryChartOverlay::sceneEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd: {
        auto *touch = static_cast<QTouchEvent *>(event);
        HistoryChart::Private *d = m_chart->d.get();
        QList<QPointF> points;
        for (const QTouchEvent::TouchPoint &p : touch->touchPoints()) {
            if (p.state() != Qt::TouchPointReleased)
                points.append(p.pos());
        }
        if (points.size() >= 2) {
            const bool begin = !d->pinching;
            if (begin && d->pressed) {
                // The second finger turns a drag into a pinch; the drag's range stands.
                d->pressed = false;
                d->dragging = false;
            }
            d->pinch(points.at(0), points.at(1), begin);
        } else if (d->pinching) {
            // Lifting one finger ends the pinch; the remaining finger does nothing more.
            d->pinching = false;
            emit m_chart->rangeChangeFinished(d->from, d->to);
        } else if (event->type() == QEvent::TouchBegin && points.size() == 1) {
            d->press(points.first());
        } else if (event->type() == QEvent::TouchUpdate && points.size() == 1 && d->pressed) {
            d->move(points.first());
        } else if (event->type() == QEvent::TouchEnd && d->pressed) {
            const QList<QTouchEvent::TouchPoint> all = touch->touchPoints();
            d->release(all.isEmpty() ? d->pressPos : all.first().pos());
        }
        event->accept();
        return true;
    }
    default:
        return QGraphicsItem::sceneEvent(event);
    }
}

void HistoryChart::Private::press(const QPointF &pos)
{
    pressed = true;
    dragging = false;
    pressPos = pos;
    pressFrom = from;
    pressTo = to;
}

void HistoryChart::Private::move(const QPointF &pos)
{
    if (!pressed)
        return;
    const QPointF delta = pos - pressPos;
    if (!dragging && std::hypot(delta.x(), delta.y()) <= EToolkit::kFlickThreshold)
        return;
    dragging = true;
    const double shift =
        -delta.x() / std::max<qreal>(1, plot().width()) * double(pressTo - pressFrom);
    setRangeByPerson(pressFrom + qint64(shift), pressTo + qint64(shift), false);
}

void HistoryChart::Private::release(const QPointF &pos)
{
    if (!pressed)
        return;
    pressed = false;
    if (dragging) {
        dragging = false;
        emit q->rangeChangeFinished(from, to);
        return;
    }
    const int marker = markerAt(pos);
    if (marker >= 0) {
        q->selectMarker(marker);
        emit q->markerTouched(marker);
        return;
    }
    if (selectedEvent >= 0)
        q->selectMarker(-1);
    if (!plot().contains(pos))
        return;
    q->setCursorTime(qint64(timeAt(pos.x())));
    emit q->cursorMoved(cursor);
}

void HistoryChart::Private::pinch(const QPointF &a, const QPointF &b, bool begin)
{
    const qreal distance = std::max<qreal>(std::fabs(a.x() - b.x()), 20);
    const qreal middle = (a.x() + b.x()) / 2;
    if (begin) {
        pinching = true;
        pinchDistance = distance;
        pinchTime = timeAt(middle);
        pressFrom = from;
        pressTo = to;
        return;
    }
    // Fingers apart: a shorter span. The instant first under the midpoint stays under it.
    const double span = std::clamp(double(pressTo - pressFrom) * pinchDistance / distance,
                                   double(kMinSpanMs), double(kMaxSpanMs));
    const double share = (middle - plot().left()) / std::max<qreal>(1, plot().width());
    const double newFrom = pinchTime - share * span;
    setRangeByPerson(qint64(newFrom), qint64(newFrom + span), false);
}

void HistoryChart::Private::zoom(double factor, double x, bool finished)
{
    const double anchor = timeAt(x);
    const double span =
        std::clamp(double(to - from) * factor, double(kMinSpanMs), double(kMaxSpanMs));
    const double share = (anchor - from) / double(to - from);
    const double newFrom = anchor - share * span;
    setRangeByPerson(qint64(newFrom), qint64(newFrom + span), finished);
}

void HistoryChart::Private::setRangeByPerson(qint64 newFrom, qint64 newTo, bool finished)
{
    if (newTo <= newFrom)
        return;
    from = newFrom;
    to = newTo;
    applyRange();
    emit q->rangeChanging(from, to);
    if (finished)
        emit q->rangeChangeFinished(from, to);
}

int HistoryChart::Private::markerAt(const QPointF &pos) const
{
    int best = -1;
    qreal bestDistance = kMarkerReach;
    for (int i = 0; i < overlay->m_markers.size(); ++i) {
        const QPolygonF &m = overlay->m_markers.at(i);
        if (m.isEmpty())
            continue;
        const QPointF c = m.boundingRect().center();
        const qreal distance = std::hypot(c.x() - pos.x(), c.y() - pos.y());
        if (distance <= bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

void HistoryChart::Private::applyRange()
{
    // Labels at round local times, recomputed with every move: a category axis places them
    // where asked, which a date-time axis (evenly spread, odd minutes) does not.
    for (const QString &label : time->categoriesLabels())
        time->remove(label);
    time->setStartValue(double(from));
    tickWidth = plot().width();
    for (const auto &tick : timeTicks(from, to, tickWidth))
        time->append(tick.second, double(tick.first));
    time->setRange(double(from), double(to));
    rescale();
    overlay->relayout();
}

void HistoryChart::Private::rescale()
{
    // Each value axis spans what its lines show in the visible range, with a little room.
    for (int a = 0; a < axes.size(); ++a) {
        double low = std::numeric_limits<double>::infinity();
        double high = -low;
        for (const HistorySeries &s : qAsConst(result.series)) {
            const auto line = std::find_if(lines.cbegin(), lines.cend(),
                                           [&s](const Line &l) { return l.id == s.parameter; });
            if (line == lines.cend() || line->unit != units.at(a))
                continue;
            for (const QList<QVector<QPointF>> *pieces : {&s.segments, &s.lows, &s.highs}) {
                for (const QVector<QPointF> &piece : *pieces) {
                    for (const QPointF &p : piece) {
                        if (p.x() < from || p.x() > to)
                            continue;
                        low = std::min(low, p.y());
                        high = std::max(high, p.y());
                    }
                }
            }
        }
        if (!std::isfinite(low)) {
            low = 0;
            high = 1;
        }
        const double pad = std::max((high - low) * 0.08, std::max(std::fabs(high), 1.0) * 1e-3);
        axes.at(a)->setRange(low - pad, high + pad);
        axes.at(a)->applyNiceNumbers();
    }
}

void HistoryChart::Private::rebuild()
{
    chart->removeAllSeries();
    seriesById.clear();
    for (QValueAxis *axis : qAsConst(axes)) {
        chart->removeAxis(axis);
        delete axis;
    }
    axes.clear();
    units.clear();

    for (const Line &line : qAsConst(lines)) {
        if (!units.contains(line.unit) && units.size() < 4)
            units.append(line.unit);
    }
    for (int i = 0; i < units.size(); ++i) {
        auto *axis = new QValueAxis;
        axis->setLabelFormat(QStringLiteral("%.4g"));
        axis->setTickCount(6);
        axis->setTitleText(units.at(i));
        axis->setLabelsFont(EStyle::font(EStyle::kCaptionFontPx));
        axis->setTitleFont(EStyle::font(EStyle::kCaptionFontPx, true));
        axis->setGridLineColor(QColor(0, 0, 0, i == 0 ? 28 : 0));
        axis->setGridLineVisible(i == 0);
        const auto first = std::find_if(lines.cbegin(), lines.cend(),
                                        [&](const Line &l) { return l.unit == units.at(i); });
        if (first != lines.cend()) {
            axis->setLabelsColor(first->color.darker(130));
            axis->setTitleBrush(first->color.darker(130));
            axis->setLinePenColor(first->color);
        }
        chart->addAxis(axis, i % 2 == 0 ? Qt::AlignLeft : Qt::AlignRight);
        axes.append(axis);
    }

    for (const Line &line : qAsConst(lines)) {
        const int axis = units.indexOf(line.unit);
        if (axis < 0)
            continue;
        const auto s =
            std::find_if(result.series.cbegin(), result.series.cend(),
                         [&line](const HistorySeries &h) { return h.parameter == line.id; });
        if (s == result.series.cend())
            continue;
        for (int i = 0; i < s->segments.size(); ++i) {
            if (i < s->lows.size() && i < s->highs.size() && s->lows.at(i).size() > 1) {
                auto *lower = new QLineSeries;
                auto *upper = new QLineSeries;
                lower->replace(s->lows.at(i));
                upper->replace(s->highs.at(i));
                auto *band = new QAreaSeries(upper, lower);
                QColor fill = line.color;
                fill.setAlpha(55);
                band->setBrush(fill);
                band->setPen(Qt::NoPen);
                chart->addSeries(band);
                band->attachAxis(time);
                band->attachAxis(axes.at(axis));
            }
            auto *series = new QLineSeries;
            series->replace(s->segments.at(i));
            series->setPen(QPen(line.color, 2));
            series->setName(line.name);
            chart->addSeries(series);
            series->attachAxis(time);
            series->attachAxis(axes.at(axis));
            seriesById[line.id].append(series);
        }
    }
}

HistoryChart::HistoryChart(QGraphicsItem *parent)
    : EGraphicsWidget(parent), d(std::make_unique<Private>())
{
    d->q = this;
    d->chart = new QChart(this);
    d->chart->legend()->hide();
    d->chart->setBackgroundBrush(QColor(255, 255, 255, 225));
    d->chart->setBackgroundPen(QPen(EStyle::color(EStyle::kFieldBorder), 1));
    d->chart->setBackgroundRoundness(EStyle::kRadius);
    d->chart->setMargins(QMargins(6, 6, 6, 4));
    d->chart->setAnimationOptions(QChart::NoAnimation);
    d->chart->setAcceptedMouseButtons(Qt::NoButton);
    d->time = new QCategoryAxis;
    d->time->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    d->time->setLabelsFont(EStyle::font(EStyle::kCaptionFontPx));
    d->time->setLabelsColor(EStyle::color(EStyle::kInk));
    d->time->setGridLineColor(QColor(0, 0, 0, 28));
    d->chart->addAxis(d->time, Qt::AlignBottom);
    d->overlay = new HistoryChartOverlay(this);
    connect(d->chart, &QChart::plotAreaChanged, this, [this](const QRectF &plot) {
        d->overlay->relayout();
        // The labels' spacing depends on the plot's width. Changing the axes from inside the
        // chart's own layout pass would start another one, so the new labels come a moment later.
        if (std::fabs(plot.width() - d->tickWidth) > 20 && !d->retickPending) {
            d->retickPending = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    d->retickPending = false;
                    d->applyRange();
                },
                Qt::QueuedConnection);
        }
    });
    d->applyRange();
}

HistoryChart::~HistoryChart() = default;

QChart *HistoryChart::chart() const
{
    return d->chart;
}

qint64 HistoryChart::from() const
{
    return d->from;
}

qint64 HistoryChart::to() const
{
    return d->to;
}

void HistoryChart::setRange(qint64 from, qint64 to)
{
    if (to <= from || (from == d->from && to == d->to))
        return;
    d->from = from;
    d->to = to;
    d->applyRange();
}

void HistoryChart::setData(const QVector<Line> &lines, const HistoryResult &result)
{
    d->lines = lines;
    d->result = result;
    d->rebuild();
    d->rescale();
    d->overlay->relayout();
}

void HistoryChart::setEvents(const QVector<AlarmEvent> &events)
{
    // The open text stays open if its event is still there.
    AlarmEvent open;
    const bool wasOpen = d->selectedEvent >= 0 && d->selectedEvent < d->events.size();
    if (wasOpen)
        open = d->events.at(d->selectedEvent);
    d->events = events;
    d->selectedEvent = wasOpen ? int(events.indexOf(open)) : -1;
    d->overlay->relayout();
}

QVector<AlarmEvent> HistoryChart::events() const
{
    return d->events;
}

QStringList HistoryChart::units() const
{
    return d->units;
}

int HistoryChart::pointCount(int id) const
{
    int n = 0;
    for (const QLineSeries *s : d->seriesById.value(id))
        n += s->count();
    return n;
}

int HistoryChart::segmentCount(int id) const
{
    return d->seriesById.value(id).size();
}

qint64 HistoryChart::lastPointTime(int id) const
{
    qint64 last = 0;
    for (const QLineSeries *s : d->seriesById.value(id)) {
        if (s->count())
            last = std::max(last, qint64(s->at(s->count() - 1).x()));
    }
    return last;
}

int HistoryChart::markerCount() const
{
    return d->overlay->m_markers.size();
}

int HistoryChart::selectedMarker() const
{
    return d->overlay->m_selectedMarker;
}

void HistoryChart::selectMarker(int marker)
{
    const QVector<int> events = markerEvents(marker);
    d->selectedEvent = events.isEmpty() ? -1 : events.first();
    d->overlay->relayout();
}

QRectF HistoryChart::markerRect(int marker) const
{
    if (marker < 0 || marker >= d->overlay->m_markers.size())
        return QRectF();
    return d->overlay->m_markers.at(marker).boundingRect();
}

QVector<int> HistoryChart::markerEvents(int marker) const
{
    return d->overlay->m_markerEvents.value(marker);
}

QString HistoryChart::selectedText() const
{
    const QVector<int> indexes = markerEvents(selectedMarker());
    QStringList lines;
    // A marker for many events (a long range) lists the first few; zooming in parts them.
    constexpr int kListed = 4;
    for (int i = 0; i < std::min<int>(indexes.size(), kListed); ++i)
        lines << markerText(d->events.at(indexes.at(i)), d->alarmWord, d->messageWord,
                            d->activeWord, d->clearedWord);
    if (indexes.size() > kListed)
        lines << QStringLiteral("+%1").arg(indexes.size() - kListed);
    return lines.join(QLatin1Char('\n'));
}

QRectF HistoryChart::plotArea() const
{
    return d->plot();
}

QString HistoryChart::markerText(const AlarmEvent &event, const QString &alarmWord,
                                 const QString &messageWord, const QString &activeWord,
                                 const QString &clearedWord)
{
    return QDateTime::fromMSecsSinceEpoch(event.time)
               .toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")) +
           QStringLiteral(" — ") + event.text + QStringLiteral(" (") +
           (event.alarm ? alarmWord : messageWord) + QStringLiteral(", ") +
           (event.active ? activeWord : clearedWord) + QLatin1Char(')');
}

void HistoryChart::setMarkerWords(const QString &alarm, const QString &message,
                                  const QString &active, const QString &cleared)
{
    d->alarmWord = alarm;
    d->messageWord = message;
    d->activeWord = active;
    d->clearedWord = cleared;
    d->overlay->relayout();
}

bool HistoryChart::hasCursor() const
{
    return d->hasCursor;
}

qint64 HistoryChart::cursorTime() const
{
    return d->cursor;
}

void HistoryChart::setCursorTime(qint64 msecs)
{
    d->hasCursor = true;
    d->cursor = msecs;
    d->overlay->relayout();
}

void HistoryChart::clearCursor()
{
    d->hasCursor = false;
    d->overlay->relayout();
}

double HistoryChart::valueAt(int id, qint64 msecs) const
{
    // The nearest drawn point within two pixel columns; beyond that the line has a hole there.
    const double reach = 2.0 * double(d->to - d->from) / std::max<qreal>(1, d->plot().width());
    double best = std::numeric_limits<double>::quiet_NaN();
    double bestDistance = reach;
    for (const HistorySeries &s : qAsConst(d->result.series)) {
        if (s.parameter != id)
            continue;
        for (const QVector<QPointF> &piece : s.segments) {
            if (piece.isEmpty() || piece.first().x() - reach > msecs ||
                piece.last().x() + reach < msecs)
                continue;
            auto it = std::lower_bound(piece.cbegin(), piece.cend(), double(msecs),
                                       [](const QPointF &p, double t) { return p.x() < t; });
            for (auto c : {it - 1, it}) {
                if (c < piece.cbegin() || c >= piece.cend())
                    continue;
                const double distance = std::fabs(c->x() - double(msecs));
                if (distance <= bestDistance) {
                    bestDistance = distance;
                    best = c->y();
                }
            }
        }
    }
    return best;
}

void HistoryChart::geometryUpdated()
{
    EGraphicsWidget::geometryUpdated();
    d->chart->setGeometry(QRectF(QPointF(0, 0), size()));
    d->applyRange();
    d->overlay->relayout();
}
