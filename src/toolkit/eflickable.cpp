// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "eflickable.h"

#include "ebasewidget.h"
#include "esliderwidget.h"
#include "toolkitconstants.h"

#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSceneWheelEvent>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {
// Thin bars along the right and bottom edges while there is more content than fits, so that a
// person sees the area scrolls and where it stands. Drawn over the content; takes no input.
class ScrollIndicator : public QGraphicsItem
{
public:
    explicit ScrollIndicator(QGraphicsItem *parent) : QGraphicsItem(parent)
    {
        setAcceptedMouseButtons(Qt::NoButton);
        setZValue(1e6);
    }

    void setBars(const QRectF &area, const QRectF &vertical, const QRectF &horizontal)
    {
        if (area == m_area && vertical == m_vertical && horizontal == m_horizontal)
            return;
        prepareGeometryChange();
        m_area = area;
        m_vertical = vertical;
        m_horizontal = horizontal;
    }

    QRectF boundingRect() const override { return m_area; }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        painter->setPen(QPen(QColor(255, 255, 255, 160), 1));
        painter->setBrush(QColor(40, 50, 60, 150));
        if (!m_vertical.isEmpty())
            painter->drawRoundedRect(m_vertical, 3, 3);
        if (!m_horizontal.isEmpty())
            painter->drawRoundedRect(m_horizontal, 3, 3);
    }

private:
    QRectF m_area;
    QRectF m_vertical;
    QRectF m_horizontal;
};

constexpr qreal kBarThickness = 6;
constexpr qreal kBarInset = 2;
constexpr qreal kShortestBar = 24;
} // namespace

struct EFlickablePrivate
{
    QSizeF overscroll{0, 0}; // QSizeF() would be -1 x -1 and pull the end in by a pixel
    ScrollIndicator *indicator = nullptr;
    Qt::Orientations directions = Qt::Vertical;
    QPointF position;
    bool tracking = false; // a press is down somewhere inside
    bool dragging = false; // the press became a scroll
    QPointF pressScenePos;
    QPointF positionAtPress;
    // Two latest samples of the finger, for the release speed.
    QPointF lastPos;
    qint64 lastTime = 0;
    QPointF prevPos;
    qint64 prevTime = 0;
    QElapsedTimer clock;
    QTimer flickTimer;
    QPointF velocity; // content pixels per tick
};

EFlickable::EFlickable(QGraphicsItem *parent)
    : EGraphicsWidget(parent), d(std::make_unique<EFlickablePrivate>())
{
    setFlag(ItemClipsChildrenToShape, true);
    setFiltersChildEvents(true);
    setAcceptedMouseButtons(Qt::LeftButton);
    d->clock.start();
    d->flickTimer.setInterval(EToolkit::kFlickTickMs);
    connect(&d->flickTimer, &QTimer::timeout, this, &EFlickable::flickTick);
    d->indicator = new ScrollIndicator(this);
    connect(this, &EFlickable::contentPositionChanged, this, &EFlickable::updateIndicator);
}

EFlickable::~EFlickable() = default;

void EFlickable::updateIndicator()
{
    if (!d->indicator)
        return;
    const QRectF inner = innerRect();
    const QSizeF content = contentSize();
    const QPointF max = maxContentPosition();
    QRectF vertical;
    QRectF horizontal;
    if ((d->directions & Qt::Vertical) && max.y() > 0 && content.height() > 0) {
        const qreal track = inner.height() - 2 * kBarInset;
        const qreal length = qMax(kShortestBar, track * inner.height() / content.height());
        const qreal top = inner.top() + kBarInset + (track - length) * d->position.y() / max.y();
        vertical = QRectF(inner.right() - kBarInset - kBarThickness, top, kBarThickness, length);
    }
    if ((d->directions & Qt::Horizontal) && max.x() > 0 && content.width() > 0) {
        const qreal track = inner.width() - 2 * kBarInset;
        const qreal length = qMax(kShortestBar, track * inner.width() / content.width());
        const qreal left = inner.left() + kBarInset + (track - length) * d->position.x() / max.x();
        horizontal =
            QRectF(left, inner.bottom() - kBarInset - kBarThickness, length, kBarThickness);
    }
    d->indicator->setBars(inner, vertical, horizontal);
    d->indicator->update();
}

Qt::Orientations EFlickable::flickDirection() const
{
    return d->directions;
}
qreal EFlickable::contentX() const
{
    return d->position.x();
}
qreal EFlickable::contentY() const
{
    return d->position.y();
}
QPointF EFlickable::contentPosition() const
{
    return d->position;
}
bool EFlickable::isFlicking() const
{
    return d->flickTimer.isActive();
}
bool EFlickable::isDragging() const
{
    return d->dragging;
}

void EFlickable::setFlickDirection(Qt::Orientations directions)
{
    d->directions = directions;
    layoutContent();
}

void EFlickable::setContentX(qreal x)
{
    setContentPosition(QPointF(x, d->position.y()));
}

void EFlickable::setContentY(qreal y)
{
    setContentPosition(QPointF(d->position.x(), y));
}

QSizeF EFlickable::contentSize() const
{
    QGraphicsItem *content = contentItem();
    if (!content)
        return QSizeF();
    if (content->isWidget())
        return static_cast<QGraphicsWidget *>(content)->size();
    return content->boundingRect().united(content->childrenBoundingRect()).size();
}

QPointF EFlickable::maxContentPosition() const
{
    const QSizeF c = contentSize();
    const QRectF inner = innerRect();
    const auto range = [](qreal content, qreal view, qreal extra) {
        return content > view ? content - view + extra : qreal(0);
    };
    return QPointF(range(c.width(), inner.width(), d->overscroll.width()),
                   range(c.height(), inner.height(), d->overscroll.height()));
}

void EFlickable::setOverscroll(const QSizeF &extra)
{
    if (extra == d->overscroll)
        return;
    d->overscroll = extra.expandedTo(QSizeF(0, 0));
    setContentPosition(d->position);
    updateIndicator();
}

QSizeF EFlickable::overscroll() const
{
    return d->overscroll;
}

void EFlickable::setContentPosition(const QPointF &pos)
{
    const QPointF max = maxContentPosition();
    QPointF p(d->directions & Qt::Horizontal ? qBound<qreal>(0, pos.x(), max.x()) : 0,
              d->directions & Qt::Vertical ? qBound<qreal>(0, pos.y(), max.y()) : 0);
    if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
        return;
    if (p == d->position)
        return;
    d->position = p;
    if (QGraphicsItem *content = contentItem())
        content->setPos(innerRect().topLeft() - p);
    emit contentPositionChanged();
}

void EFlickable::ensureVisible(const QRectF &rect, qreal margin)
{
    const QRectF inner = innerRect();
    QPointF p = d->position;
    const QRectF r = rect.adjusted(-margin, -margin, margin, margin);
    if (r.top() < p.y())
        p.setY(r.top());
    else if (r.bottom() > p.y() + inner.height())
        p.setY(r.bottom() - inner.height());
    if (r.left() < p.x())
        p.setX(r.left());
    else if (r.right() > p.x() + inner.width())
        p.setX(r.right() - inner.width());
    setContentPosition(p);
}

void EFlickable::stopFlick()
{
    d->flickTimer.stop();
    d->velocity = QPointF();
}

void EFlickable::layoutContent()
{
    QGraphicsItem *content = contentItem();
    if (!content)
        return;
    const QRectF inner = innerRect();
    if (content->isWidget()) {
        auto *w = static_cast<QGraphicsWidget *>(content);
        QSizeF s = w->size();
        if (!(d->directions & Qt::Horizontal))
            s.setWidth(inner.width());
        if (!(d->directions & Qt::Vertical))
            s.setHeight(inner.height());
        w->resize(s);
    }
    // Keep the position valid for the new sizes (a shrinking content pulls the view back).
    const QPointF max = maxContentPosition();
    d->position = QPointF(qBound<qreal>(0, d->position.x(), max.x()),
                          qBound<qreal>(0, d->position.y(), max.y()));
    content->setPos(inner.topLeft() - d->position);
    updateIndicator();
}

namespace {
// Whether the item under the finger follows the finger itself (a control dragged to a new place,
// a dimmer bar, a slider's handle): such a gesture is never turned into scrolling.
bool followsFinger(QGraphicsItem *item, const QGraphicsItem *area)
{
    for (; item && item != area; item = item->parentItem()) {
        QGraphicsObject *o = item->toGraphicsObject();
        if (auto *widget = qobject_cast<EBaseWidget *>(o); widget && widget->followsFinger())
            return true;
        if (auto *slider = qobject_cast<ESliderWidget *>(o); slider && slider->isSliderDown())
            return true;
    }
    return false;
}
} // namespace

void EFlickable::beginTracking(const QPointF &scenePos)
{
    stopFlick();
    d->tracking = true;
    d->dragging = false;
    d->pressScenePos = scenePos;
    d->positionAtPress = d->position;
    d->lastPos = d->prevPos = scenePos;
    d->lastTime = d->prevTime = d->clock.elapsed();
}

void EFlickable::trackMove(const QPointF &scenePos)
{
    // Finger travel in our own coordinates, so a scaled page scrolls by what the finger covers.
    const QPointF delta = mapFromScene(scenePos) - mapFromScene(d->pressScenePos);
    d->prevPos = d->lastPos;
    d->prevTime = d->lastTime;
    d->lastPos = scenePos;
    d->lastTime = d->clock.elapsed();
    setContentPosition(d->positionAtPress - delta);
}

void EFlickable::endTracking()
{
    const bool wasDragging = d->dragging;
    d->tracking = false;
    d->dragging = false;
    if (wasDragging) {
        if (scene() && scene()->mouseGrabberItem() == this)
            ungrabMouse();
        const qint64 dt = d->lastTime - d->prevTime;
        // Inertia only when the finger was still moving as it lifted.
        if (dt > 0 && d->clock.elapsed() - d->lastTime < 100) {
            const QPointF v = (mapFromScene(d->lastPos) - mapFromScene(d->prevPos)) / qreal(dt) *
                              EToolkit::kFlickTickMs;
            const qreal len = std::hypot(v.x(), v.y());
            const qreal k = len > EToolkit::kFlickMaxSpeed ? EToolkit::kFlickMaxSpeed / len : 1.0;
            d->velocity = -v * k;
            if (len > EToolkit::kFlickMinSpeed)
                d->flickTimer.start();
        }
    }
}

void EFlickable::flickTick()
{
    const QPointF before = d->position;
    setContentPosition(d->position + d->velocity);
    d->velocity *= EToolkit::kFlickFriction;
    // Stop when slow or when an edge stopped us.
    if (std::hypot(d->velocity.x(), d->velocity.y()) < EToolkit::kFlickMinSpeed ||
        d->position == before)
        stopFlick();
}

bool EFlickable::sceneEventFilter(QGraphicsItem *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::GraphicsSceneMousePress: {
        auto *me = static_cast<QGraphicsSceneMouseEvent *>(event);
        if (me->button() == Qt::LeftButton && isEnabled())
            beginTracking(me->scenePos());
        return false; // the item under the finger gets its press
    }
    case QEvent::GraphicsSceneMouseMove: {
        auto *me = static_cast<QGraphicsSceneMouseEvent *>(event);
        if (!d->tracking)
            return false;
        if (!d->dragging) {
            const QPointF travel = me->scenePos() - d->pressScenePos;
            const bool canX = (d->directions & Qt::Horizontal) && maxContentPosition().x() > 0;
            const bool canY = (d->directions & Qt::Vertical) && maxContentPosition().y() > 0;
            const qreal along =
                (canX ? std::abs(travel.x()) : 0) + (canY ? std::abs(travel.y()) : 0);
            if (along < EToolkit::kFlickThreshold || followsFinger(watched, this))
                return false;
            // Take the gesture: the pressed item is ungrabbed and resets without a click.
            d->dragging = true;
            grabMouse();
        }
        trackMove(me->scenePos());
        return true;
    }
    case QEvent::GraphicsSceneMouseRelease: {
        auto *me = static_cast<QGraphicsSceneMouseEvent *>(event);
        if (me->button() != Qt::LeftButton || !d->tracking)
            return false;
        const bool wasDragging = d->dragging;
        endTracking();
        if (wasDragging)
            return true;
        emit mouseClicked();
        return false;
    }
    default:
        return false;
    }
}

void EFlickable::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        event->ignore();
        return;
    }
    event->accept();
    beginTracking(event->scenePos());
}

void EFlickable::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (!d->tracking)
        return;
    if (!d->dragging &&
        QLineF(event->scenePos(), d->pressScenePos).length() < EToolkit::kFlickThreshold)
        return;
    d->dragging = true;
    trackMove(event->scenePos());
}

void EFlickable::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !d->tracking)
        return;
    const bool wasDragging = d->dragging;
    endTracking();
    if (!wasDragging)
        emit mouseClicked();
}

void EFlickable::ungrabMouseEvent(QEvent *event)
{
    // Grab lost to someone else mid-scroll: stop following a finger we no longer hear.
    if (d->dragging) {
        d->dragging = false;
        d->tracking = false;
    }
    EGraphicsWidget::ungrabMouseEvent(event);
}

void EFlickable::wheelEvent(QGraphicsSceneWheelEvent *event)
{
    const qreal steps = event->delta() / 120.0;
    if (event->orientation() == Qt::Vertical && (d->directions & Qt::Vertical))
        setContentY(d->position.y() - steps * 48);
    else if (d->directions & Qt::Horizontal)
        setContentX(d->position.x() - steps * 48);
    event->accept();
}

QVariant EFlickable::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemChildAddedChange) {
        // A content widget that resizes itself (a growing document) must pull the view back into
        // range; only the current content item counts.
        QGraphicsItem *child = value.value<QGraphicsItem *>();
        if (child && child->isWidget()) {
            auto *w = static_cast<QGraphicsWidget *>(child);
            connect(w, &QGraphicsWidget::geometryChanged, this, [this, w] {
                if (static_cast<QGraphicsItem *>(w) != contentItem() || d->dragging)
                    return;
                const QPointF max = maxContentPosition();
                const QPointF p(qBound<qreal>(0, d->position.x(), max.x()),
                                qBound<qreal>(0, d->position.y(), max.y()));
                if (p != d->position) {
                    d->position = p;
                    w->setPos(innerRect().topLeft() - p);
                    emit contentPositionChanged();
                }
                updateIndicator();
            });
        }
    }
    if ((change == ItemVisibleHasChanged && !value.toBool()) ||
        (change == ItemEnabledHasChanged && !value.toBool())) {
        stopFlick();
        d->tracking = d->dragging = false;
    }
    return EGraphicsWidget::itemChange(change, value);
}
