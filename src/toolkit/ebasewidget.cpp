// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "ebasewidget.h"

#include "estatictext.h"
#include "etoolkittiming.h"
#include "toolkitconstants.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>

struct EBaseWidgetPrivate
{
    QString text;
    QPointF pressPos;
    QPointF pressScenePos;
    QPointF posAtPress;
    QRectF dragBounds;
    // One timer serves both delays: a press is either in move mode or in long-click mode.
    QTimer timer;
    int dragDelay = EToolkit::holdTimes().dragMs;
    int longClickDelay = EToolkit::holdTimes().longClickMs;
    bool dragActive = false;
    bool moveMode = false;
    bool checked = false;
    bool checkable = false;
    bool highlighted = false;
    bool pressed = false;
    bool longClickMode = false;
    EStaticText caption;
    QPen textPen = QPen(EStyle::buttonText(EStyle::Normal));
    QPen disabledTextPen = QPen(EStyle::buttonText(EStyle::Disabled));
};

EBaseWidget::EBaseWidget(QGraphicsItem *parent)
    : EGraphicsWidget(parent), d(std::make_unique<EBaseWidgetPrivate>())
{
    d->timer.setSingleShot(false);
    d->timer.setInterval(d->dragDelay);
    connect(&d->timer, &QTimer::timeout, this, &EBaseWidget::TimerOut);
    connect(this, &QGraphicsObject::enabledChanged, this, &EBaseWidget::changedEnable);
    setAcceptHoverEvents(true);
    setAcceptedMouseButtons(Qt::LeftButton);
    setFont(EStyle::font(EStyle::kFontPx));
    d->caption.setFont(font());
    d->caption.setAlignment(Qt::AlignCenter);
}

EBaseWidget::~EBaseWidget() = default;

QString EBaseWidget::text() const
{
    return d->text;
}

void EBaseWidget::setText(const QString &text)
{
    if (text == d->text)
        return;
    d->text = text;
    d->caption.setText(text);
    textUpdated();
    update();
}

void EBaseWidget::textUpdated() {}

bool EBaseWidget::isChecked() const
{
    return d->checked;
}

void EBaseWidget::setChecked(bool checked)
{
    d->checkable = true;
    if (checked == d->checked)
        return;
    d->checked = checked;
    update();
    emit toggled(checked);
}

bool EBaseWidget::isCheckable() const
{
    return d->checkable;
}

void EBaseWidget::setCheckable(bool checkable)
{
    d->checkable = checkable;
}

bool EBaseWidget::isMoveMode() const
{
    return d->moveMode;
}

void EBaseWidget::setMoveMode(bool on)
{
    if (on == d->moveMode)
        return;
    resetGesture();
    d->moveMode = on;
    if (on)
        d->longClickMode = false;
}

bool EBaseWidget::isLongClickMode() const
{
    return d->longClickMode;
}

void EBaseWidget::setLongClickMode(bool on)
{
    if (on == d->longClickMode)
        return;
    resetGesture();
    d->longClickMode = on;
    if (on)
        d->moveMode = false;
}

int EBaseWidget::dragDelay() const
{
    return d->dragDelay;
}

void EBaseWidget::setDragDelay(int ms)
{
    d->dragDelay = qMax(0, ms);
}

int EBaseWidget::longClickDelay() const
{
    return d->longClickDelay;
}

void EBaseWidget::setLongClickDelay(int ms)
{
    d->longClickDelay = qMax(0, ms);
}

bool EBaseWidget::isPressed() const
{
    return d->pressed;
}

bool EBaseWidget::isHighlighted() const
{
    return d->highlighted;
}

bool EBaseWidget::isDragActive() const
{
    return d->dragActive;
}

bool EBaseWidget::followsFinger() const
{
    return isDragActive();
}

QPointF EBaseWidget::pressPosition() const
{
    return d->pressPos;
}

void EBaseWidget::armDrag(bool allow)
{
    // Arming outside move mode would leave a drag that a release then reports as a click, so
    // only a held press in move mode can be armed.
    if (!allow || !isEnabled() || !d->pressed || !d->moveMode || d->dragActive)
        return;
    d->timer.start(d->dragDelay);
}

void EBaseWidget::TimerOut()
{
    if (d->longClickMode) {
        d->timer.stop();
        d->pressed = false;
        d->dragActive = false;
        update();
        emit onLongClicked();
        return;
    }
    d->timer.stop();
    if (!d->pressed || !isEnabled())
        return;
    d->dragActive = true;
    emit startDrag();
}

void EBaseWidget::changedEnable()
{
    if (!isEnabled()) {
        d->highlighted = false;
        resetGesture();
    }
    update();
}

EStyle::States EBaseWidget::styleState() const
{
    EStyle::States s;
    if (!isEnabled())
        return EStyle::Disabled | (d->checked ? EStyle::Checked : EStyle::Normal);
    if (d->pressed)
        s |= EStyle::Pressed;
    if (d->checked)
        s |= EStyle::Checked;
    if (d->highlighted)
        s |= EStyle::Highlighted;
    if (hasFocus())
        s |= EStyle::Focused;
    return s;
}

void EBaseWidget::nextCheckState()
{
    setChecked(!d->checked);
}

void EBaseWidget::resetGesture()
{
    d->timer.stop();
    const bool wasDragging = d->dragActive;
    const bool wasPressed = d->pressed;
    d->pressed = false;
    d->dragActive = false;
    if (wasPressed || wasDragging)
        update();
    if (wasDragging)
        emit endDrag();
}

void EBaseWidget::geometryUpdated()
{
    d->caption.setRect(innerRect().adjusted(4, 0, -4, 0));
}

void EBaseWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        d->caption.setFont(font());
        update();
    }
    EGraphicsWidget::changeEvent(event);
}

void EBaseWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const EStyle::States s = styleState();
    painter->setRenderHint(QPainter::Antialiasing, true);
    EStyle::drawButton(painter, rect(), s);
    painter->setPen((s & EStyle::Disabled) ? d->disabledTextPen : d->textPen);
    d->caption.draw(painter);
}

void EBaseWidget::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        event->ignore();
        return;
    }
    event->accept();
    d->pressPos = event->pos();
    d->pressScenePos = event->scenePos();
    d->posAtPress = pos();
    if (d->longClickMode) {
        d->pressed = true;
        update();
        d->timer.start(d->longClickDelay);
        return;
    }
    d->pressed = true;
    update();
    if (d->moveMode)
        emit moveEmit();
}

void EBaseWidget::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (!d->dragActive)
        return;
    // Worked out from scene positions: the item-local position of a move event is computed
    // against the item's place at the time of the press, which goes stale as soon as we move.
    // Mapping through the parent keeps the finger on the same spot of a scaled plan.
    const QGraphicsItem *parent = parentItem();
    const QPointF now = parent ? parent->mapFromScene(event->scenePos()) : event->scenePos();
    const QPointF then = parent ? parent->mapFromScene(d->pressScenePos) : d->pressScenePos;
    QPointF to = d->posAtPress + now - then;
    if (!d->dragBounds.isEmpty()) {
        // A widget larger than the bounds keeps its top left corner inside them.
        const QSizeF s = size();
        to.setX(qBound(d->dragBounds.left(), to.x(),
                       qMax(d->dragBounds.left(), d->dragBounds.right() - s.width())));
        to.setY(qBound(d->dragBounds.top(), to.y(),
                       qMax(d->dragBounds.top(), d->dragBounds.bottom() - s.height())));
    }
    setPos(to);
}

void EBaseWidget::setDragBounds(const QRectF &bounds)
{
    d->dragBounds = bounds;
}

void EBaseWidget::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    d->timer.stop();
    if (!isEnabled())
        return;
    if (d->moveMode && d->dragActive) {
        if (d->pressed) {
            d->pressed = false;
            d->dragActive = false;
            update();
            emit endDrag();
        }
        return;
    }
    if (!d->pressed)
        return; // after a long click, or a gesture reset while the finger was down
    d->pressed = false;
    // The click handler may delete this widget (a page closing itself), so nothing touches d after
    // the emission.
    QPointer<EBaseWidget> guard(this);
    if (d->checkable)
        nextCheckState();
    if (!guard)
        return;
    update();
    emit clicked();
}

void EBaseWidget::ungrabMouseEvent(QEvent *event)
{
    // Losing the mouse mid-press (a scroll area took over the gesture, a popup opened, the item
    // was hidden) ends the gesture without a click.
    resetGesture();
    EGraphicsWidget::ungrabMouseEvent(event);
}

void EBaseWidget::hoverEnterEvent(QGraphicsSceneHoverEvent *event)
{
    setHighlighted(true);
    EGraphicsWidget::hoverEnterEvent(event);
}

void EBaseWidget::hoverLeaveEvent(QGraphicsSceneHoverEvent *event)
{
    setHighlighted(false);
    EGraphicsWidget::hoverLeaveEvent(event);
}

QVariant EBaseWidget::itemChange(GraphicsItemChange change, const QVariant &value)
{
    // A tap that leads to another page hides this one under the finger: no hover leave ever
    // comes, and the hover frame would stay on every icon tapped so far. Hidden (also with its
    // page) or taken off the scene, the widget forgets hover and any half-done gesture.
    if ((change == ItemVisibleHasChanged && !value.toBool()) || change == ItemSceneHasChanged) {
        d->highlighted = false;
        if (d->pressed || d->dragActive)
            resetGesture();
    }
    return EGraphicsWidget::itemChange(change, value);
}

void EBaseWidget::setHighlighted(bool on)
{
    if (on == d->highlighted)
        return;
    d->highlighted = on;
    update();
}
