// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "esliderwidget.h"

#include "toolkitstyle.h"

#include <QGraphicsSceneMouseEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPointer>

#include <cmath>

struct ESliderWidgetPrivate
{
    double value = 0;
    double minimum = 0;
    double maximum = 100;
    double step = 1;
    Qt::Orientation orientation = Qt::Horizontal;
    QColor color = EStyle::color(EStyle::kAccent);
    bool down = false;
    bool hover = false;
    // Finger offset from the handle centre, so grabbing the handle off-centre does not jump it.
    QPointF grabOffset;
    // Geometry cached on resize: the groove and the span the handle centre travels.
    QRectF groove;
    qreal start = 0;
    qreal length = 1;
    QBrush fill;
    QBrush track = QBrush(EStyle::color(EStyle::kTrack));
    QBrush handle;
    QPen handlePen = QPen(QColor(0, 0, 0, 70), 1);
    QPen handleDownPen = QPen(EStyle::color(EStyle::kAccent), 2.5);
    QPen handleHoverPen = QPen(EStyle::color(EStyle::kAccentLight), 2);
    QBrush disabledFill = QBrush(QColor(0x8b, 0x95, 0xa3, 160));

    void rebuildBrushes()
    {
        QLinearGradient g(0, 0, 1, 1);
        g.setCoordinateMode(QGradient::ObjectMode);
        g.setColorAt(0, color.lighter(120));
        g.setColorAt(1, color.darker(108));
        fill = QBrush(g);
        QLinearGradient h(0, 0, 0, 1);
        h.setCoordinateMode(QGradient::ObjectMode);
        h.setColorAt(0, QColor(255, 255, 255));
        h.setColorAt(1, QColor(0xe3, 0xe8, 0xef));
        handle = QBrush(h);
        handleDownPen.setColor(color);
    }
};

ESliderWidget::ESliderWidget(QGraphicsItem *parent) : ESliderWidget(Qt::Horizontal, parent) {}

ESliderWidget::ESliderWidget(Qt::Orientation orientation, QGraphicsItem *parent)
    : EGraphicsWidget(parent), d(std::make_unique<ESliderWidgetPrivate>())
{
    d->orientation = orientation;
    d->rebuildBrushes();
    setAcceptHoverEvents(true);
    setAcceptedMouseButtons(Qt::LeftButton);
}

ESliderWidget::~ESliderWidget() = default;

double ESliderWidget::value() const
{
    return d->value;
}
double ESliderWidget::minimum() const
{
    return d->minimum;
}
double ESliderWidget::maximum() const
{
    return d->maximum;
}
double ESliderWidget::step() const
{
    return d->step;
}
Qt::Orientation ESliderWidget::orientation() const
{
    return d->orientation;
}
QColor ESliderWidget::color() const
{
    return d->color;
}
bool ESliderWidget::isSliderDown() const
{
    return d->down;
}

void ESliderWidget::setValue(double value)
{
    if (!std::isfinite(value))
        return;
    value = qBound(d->minimum, value, d->maximum);
    if (value == d->value)
        return;
    d->value = value;
    update();
}

void ESliderWidget::setMinimum(double minimum)
{
    setRange(minimum, qMax(minimum, d->maximum));
}

void ESliderWidget::setMaximum(double maximum)
{
    setRange(qMin(d->minimum, maximum), maximum);
}

void ESliderWidget::setRange(double minimum, double maximum)
{
    if (!std::isfinite(minimum) || !std::isfinite(maximum))
        return;
    if (maximum < minimum)
        std::swap(minimum, maximum);
    d->minimum = minimum;
    d->maximum = maximum;
    d->value = qBound(minimum, d->value, maximum);
    update();
}

void ESliderWidget::setStep(double step)
{
    d->step = (std::isfinite(step) && step > 0) ? step : 0;
}

void ESliderWidget::setOrientation(Qt::Orientation orientation)
{
    d->orientation = orientation;
    geometryUpdated();
    update();
}

void ESliderWidget::setColor(const QColor &color)
{
    if (!color.isValid())
        return;
    d->color = color;
    d->rebuildBrushes();
    update();
}

void ESliderWidget::geometryUpdated()
{
    const QRectF r = innerRect();
    const bool horizontal = d->orientation == Qt::Horizontal;
    const qreal across = horizontal ? r.height() : r.width();
    const qreal handle = qMin<qreal>(EStyle::kHandleSize, across);
    const qreal t = qMin<qreal>(EStyle::kTrackThickness, across);
    if (horizontal) {
        d->start = r.left() + handle / 2;
        d->length = qMax<qreal>(1, r.width() - handle);
        d->groove = QRectF(r.left() + handle / 4, r.center().y() - t / 2,
                           qMax<qreal>(0, r.width() - handle / 2), t);
    } else {
        d->start = r.top() + handle / 2;
        d->length = qMax<qreal>(1, r.height() - handle);
        d->groove = QRectF(r.center().x() - t / 2, r.top() + handle / 4, t,
                           qMax<qreal>(0, r.height() - handle / 2));
    }
}

QPointF ESliderWidget::positionForValue(double value) const
{
    const double span = d->maximum - d->minimum;
    const double f = span > 0 ? (qBound(d->minimum, value, d->maximum) - d->minimum) / span : 0;
    const QRectF r = innerRect();
    if (d->orientation == Qt::Horizontal)
        return QPointF(d->start + f * d->length, r.center().y());
    return QPointF(r.center().x(), d->start + (1 - f) * d->length);
}

double ESliderWidget::valueForPosition(const QPointF &pos) const
{
    const qreal along = d->orientation == Qt::Horizontal ? pos.x() : pos.y();
    double f = qBound<qreal>(0, (along - d->start) / d->length, 1);
    if (d->orientation == Qt::Vertical)
        f = 1 - f;
    return snapped(d->minimum + f * (d->maximum - d->minimum));
}

double ESliderWidget::snapped(double value) const
{
    if (d->step > 0) {
        value = d->minimum + std::round((value - d->minimum) / d->step) * d->step;
        // The last step may overshoot a range that is not a whole number of steps.
        value = qMin(value, d->maximum);
    }
    return qBound(d->minimum, value, d->maximum);
}

void ESliderWidget::moveTo(const QPointF &pos)
{
    const double v = valueForPosition(pos - d->grabOffset);
    if (v == d->value)
        return;
    d->value = v;
    update();
    emit valueChanged(v);
}

void ESliderWidget::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        event->ignore();
        return;
    }
    event->accept();
    const QPointF handle = positionForValue(d->value);
    const qreal r = EStyle::kHandleSize / 2;
    const QPointF delta = event->pos() - handle;
    // A press on the handle keeps its offset; a press elsewhere on the track jumps the handle.
    d->grabOffset = (std::abs(delta.x()) <= r && std::abs(delta.y()) <= r) ? delta : QPointF();
    if (d->orientation == Qt::Horizontal)
        d->grabOffset.setY(0);
    else
        d->grabOffset.setX(0);
    d->down = true;
    emit sliderPressed();
    moveTo(event->pos());
    update();
}

void ESliderWidget::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (d->down)
        moveTo(event->pos());
}

void ESliderWidget::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !d->down)
        return;
    d->down = false;
    update();
    emit sliderReleased();
}

void ESliderWidget::ungrabMouseEvent(QEvent *event)
{
    if (d->down) {
        d->down = false;
        update();
        emit sliderReleased();
    }
    EGraphicsWidget::ungrabMouseEvent(event);
}

void ESliderWidget::hoverEnterEvent(QGraphicsSceneHoverEvent *event)
{
    d->hover = true;
    update();
    EGraphicsWidget::hoverEnterEvent(event);
}

void ESliderWidget::hoverLeaveEvent(QGraphicsSceneHoverEvent *event)
{
    d->hover = false;
    update();
    EGraphicsWidget::hoverLeaveEvent(event);
}

void ESliderWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const bool enabled = isEnabled();
    const QPointF handle = positionForValue(d->value);
    const qreal t = d->orientation == Qt::Horizontal ? d->groove.height() : d->groove.width();
    const qreal radius = t / 2;
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(Qt::NoPen);
    painter->setBrush(d->track);
    painter->drawRoundedRect(d->groove, radius, radius);

    // The filled part runs from the minimum end to the handle.
    QRectF filled = d->groove;
    if (d->orientation == Qt::Horizontal)
        filled.setRight(handle.x());
    else
        filled.setTop(handle.y());
    if (filled.width() > 0 && filled.height() > 0) {
        painter->setBrush(enabled ? d->fill : d->disabledFill);
        painter->drawRoundedRect(filled, radius, radius);
    }

    const QRectF r = innerRect();
    const qreal across = d->orientation == Qt::Horizontal ? r.height() : r.width();
    const qreal hr = qMin<qreal>(EStyle::kHandleSize, across) / 2 - 1;
    if (hr <= 1)
        return;
    painter->setBrush(enabled ? d->handle : d->disabledFill);
    painter->setPen(!enabled   ? d->handlePen
                    : d->down  ? d->handleDownPen
                    : d->hover ? d->handleHoverPen
                               : d->handlePen);
    painter->drawEllipse(handle, hr, hr);
}
