// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
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
#include <QtCharts/QChart>
#include <QtCharts/QDateTimeAxis>
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

QString timeFormat(qint64 span)
{
    const qint64 day = 24LL * 3600 * 1000;
    if (span <= 2 * day)
        return QStringLiteral("HH:mm");
    if (span <= 14 * day)
        return QStringLiteral("dd.MM HH:mm");
    if (span <= 120 * day)
        return QStringLiteral("dd.MM");
    return QStringLiteral("MMM yyyy");
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
    QDateTimeAxis *time = nullptr;
    QList<QValueAxis *> axes;
    QStringList units;
    HistoryChartOverlay *overlay = nullptr;

    QVector<Line> lines;
    HistoryResult result;
    QHash<int, QList<QLineSeries *>> seriesById;
    qint64 from = 0;
    qint64 to = 24LL * 3600 * 1000;

    QVector<AlarmEvent> events;
    int selected = -1;
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
    for (const AlarmEvent &e : qAsConst(d->events)) {
        const double x = d->xOf(double(e.time));
        QPolygonF triangle;
        if (x >= plot.left() - 0.5 && x <= plot.right() + 0.5) {
            const qreal top = plot.top() + 1;
            triangle << QPointF(x - kMarkerSize / 2, top) << QPointF(x + kMarkerSize / 2, top)
                     << QPointF(x, top + kMarkerSize);
        }
        m_markers.append(triangle);
        m_markerAlarm.append(e.alarm);
    }

    const QFont font = EStyle::font(EStyle::kCaptionFontPx);
    m_callout = QRectF();
    if (d->selected >= 0 && d->selected < m_markers.size() &&
        !m_markers.at(d->selected).isEmpty()) {
        const AlarmEvent &e = d->events.at(d->selected);
        m_calloutText.setText(
            HistoryChart::markerText(e, d->alarmWord, d->messageWord, d->activeWord, d->clearedWord)
                .toHtmlEscaped());
        m_calloutText.setTextFormat(Qt::RichText);
        m_calloutText.setTextWidth(kCalloutWidth - 16);
        m_calloutText.prepare(QTransform(), font);
        const QSizeF size = m_calloutText.size() + QSizeF(16, 12);
        const QPointF tip = m_markers.at(d->selected).boundingRect().center();
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
        if (m_markers.at(i).isEmpty())
            continue;
        const QColor color = m_markerAlarm.at(i) ? kAlarmColor : kMessageColor;
        const QPointF tip = m_markers.at(i).at(2);
        QColor faint = color;
        faint.setAlpha(i == d->selected ? 200 : 60);
        painter->setPen(QPen(faint, i == d->selected ? 1.5 : 1, Qt::DashLine));
        painter->drawLine(QPointF(tip.x(), tip.y()), QPointF(tip.x(), plot.bottom()));
        painter->setPen(QPen(color.darker(130), 1));
        painter->setBrush(color);
        painter->drawPolygon(m_markers.at(i));
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
    if (selected >= 0)
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
    time->setRange(QDateTime::fromMSecsSinceEpoch(from), QDateTime::fromMSecsSinceEpoch(to));
    time->setFormat(timeFormat(to - from));
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
    d->time = new QDateTimeAxis;
    d->time->setLabelsFont(EStyle::font(EStyle::kCaptionFontPx));
    d->time->setLabelsColor(EStyle::color(EStyle::kInk));
    d->time->setGridLineColor(QColor(0, 0, 0, 28));
    d->chart->addAxis(d->time, Qt::AlignBottom);
    d->overlay = new HistoryChartOverlay(this);
    connect(d->chart, &QChart::plotAreaChanged, this, [this] { d->overlay->relayout(); });
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
    const bool wasOpen = d->selected >= 0 && d->selected < d->events.size();
    if (wasOpen)
        open = d->events.at(d->selected);
    d->events = events;
    d->selected = wasOpen ? int(events.indexOf(open)) : -1;
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

int HistoryChart::selectedMarker() const
{
    return d->selected;
}

void HistoryChart::selectMarker(int index)
{
    d->selected = index >= 0 && index < d->events.size() ? index : -1;
    d->overlay->relayout();
}

QRectF HistoryChart::markerRect(int index) const
{
    if (index < 0 || index >= d->overlay->m_markers.size())
        return QRectF();
    return d->overlay->m_markers.at(index).boundingRect();
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
    d->time->setTickCount(std::clamp(int(size().width() / 150), 3, 9));
    d->overlay->relayout();
}
