// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "ecombopopup.h"

#include "ecombowidget.h"
#include "estatictext.h"
#include "toolkitconstants.h"
#include "toolkitstyle.h"

#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSceneWheelEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QVector>

#include <cmath>

namespace {
// Above every screen item; popups are the only items this high.
constexpr qreal kPopupZ = 1.0e6;
} // namespace

struct EComboPopupPrivate
{
    QStringList items;
    int current = -1;
    int pressedRow = -1;
    QPointF pressScenePos;
    bool scrolling = false;
    qreal scroll = 0; // in list units (combo coordinates)
    qreal scrollAtPress = 0;
    // The panel is laid out in the combo's own units and mapped to the scene by a transform, so
    // the list is exactly as large as the combo looks.
    QTransform toScene;
    QTransform toItem; // the same, into our own coordinates (we sit at cover's top-left)
    QRectF panel;      // in list units, origin at the panel's top-left
    qreal rowHeight = 40;
    int visibleRows = 0;
    QRectF cover; // scene area the popup covers
    QVector<EStaticText> texts;
    QBrush panelBrush = QBrush(QColor(0xfb, 0xfc, 0xfe));
    QBrush currentBrush = QBrush(QColor(0x2f, 0x8c, 0xff, 40));
    QBrush pressedBrush = QBrush(QColor(0x2f, 0x8c, 0xff, 90));
    QBrush scrim = QBrush(QColor(10, 18, 30, 40));
    QBrush thumb = QBrush(QColor(0x24, 0x32, 0x44, 90));
    QPen border = QPen(QColor(0x24, 0x32, 0x44, 110), 1);
    QPen separator = QPen(QColor(0x24, 0x32, 0x44, 30), 1);
    QPen ink = QPen(EStyle::color(EStyle::kInk));
    QPen accentInk = QPen(EStyle::color(EStyle::kAccentDark));

    qreal maxScroll() const { return qMax<qreal>(0, items.size() * rowHeight - panel.height()); }
};

EComboPopup::EComboPopup(EComboWidget *combo, const QStringList &items, int current)
    : d(std::make_unique<EComboPopupPrivate>())
{
    Q_ASSERT(combo && combo->scene());
    d->items = items;
    d->current = current;
    setZValue(kPopupZ);
    setFlag(ItemIsFocusable, true);
    setAcceptedMouseButtons(Qt::LeftButton);

    QGraphicsScene *scene = combo->scene();
    const QRectF comboRect = combo->rect();
    d->rowHeight = qBound<qreal>(28, comboRect.height(), 48);
    d->visibleRows = qMin<int>(items.size(), EToolkit::kComboMaxVisibleRows);
    const qreal listH = qMax(1, d->visibleRows) * d->rowHeight;

    // The scene area we cover and may place the list in: the scene rectangle, grown to include the
    // combo in case it sits outside it.
    const QRectF comboScene = combo->sceneBoundingRect();
    d->cover = scene->sceneRect().united(comboScene);

    // Place the list below the combo, or above when the scene ends first.
    const QTransform t = combo->sceneTransform();
    const qreal sy = std::hypot(t.m12(), t.m22());
    const bool below = comboScene.bottom() + listH * sy <= d->cover.bottom() ||
                       comboScene.top() - listH * sy < d->cover.top();
    d->panel = QRectF(0, 0, comboRect.width(), listH);
    const QPointF origin = below ? QPointF(comboRect.left(), comboRect.bottom() + 2)
                                 : QPointF(comboRect.left(), comboRect.top() - 2 - listH);
    d->toScene = QTransform::fromTranslate(origin.x(), origin.y()) * t;
    d->toItem = d->toScene * QTransform::fromTranslate(-d->cover.left(), -d->cover.top());

    d->texts.resize(items.size());
    const QFont f = combo->font();
    for (int i = 0; i < items.size(); ++i) {
        d->texts[i].setFont(f);
        d->texts[i].setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        d->texts[i].setText(items.at(i));
        d->texts[i].setRect(QRectF(12, i * d->rowHeight, d->panel.width() - 24, d->rowHeight));
    }
    // Open with the current entry in view.
    if (current >= 0)
        d->scroll = qBound<qreal>(0, (current - d->visibleRows / 2) * d->rowHeight, d->maxScroll());

    setGeometry(d->cover);
    scene->addItem(this);
    setFocus();
}

EComboPopup::~EComboPopup() = default;

QRectF EComboPopup::panelSceneRect() const
{
    return d->toScene.mapRect(d->panel);
}

QRectF EComboPopup::rowSceneRect(int index) const
{
    if (index < 0 || index >= d->items.size())
        return QRectF();
    const QRectF row(0, index * d->rowHeight - d->scroll, d->panel.width(), d->rowHeight);
    return d->toScene.mapRect(row.intersected(d->panel));
}

int EComboPopup::rowCount() const
{
    return d->items.size();
}

int EComboPopup::firstVisibleRow() const
{
    return int(d->scroll / d->rowHeight);
}

int EComboPopup::rowAt(const QPointF &scenePos) const
{
    bool invertible = false;
    const QTransform inv = d->toScene.inverted(&invertible);
    if (!invertible)
        return -1;
    const QPointF p = inv.map(scenePos);
    if (!d->panel.contains(p))
        return -2; // outside the list
    const int row = int((p.y() + d->scroll) / d->rowHeight);
    return (row >= 0 && row < d->items.size()) ? row : -1;
}

void EComboPopup::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    // A light scrim dims the page so the open list reads as the one thing to answer.
    painter->setPen(Qt::NoPen);
    painter->setBrush(d->scrim);
    painter->drawRect(rect());

    painter->save();
    painter->setTransform(d->toItem, true);
    painter->setPen(d->border);
    painter->setBrush(d->panelBrush);
    painter->drawRoundedRect(d->panel.adjusted(-0.5, -0.5, 0.5, 0.5), EStyle::kRadius,
                             EStyle::kRadius);
    painter->setClipRect(d->panel);
    painter->translate(0, -d->scroll);
    const int first = qMax(0, int(d->scroll / d->rowHeight));
    const int last =
        qMin<int>(d->items.size() - 1, int((d->scroll + d->panel.height()) / d->rowHeight));
    for (int i = first; i <= last; ++i) {
        const QRectF row(0, i * d->rowHeight, d->panel.width(), d->rowHeight);
        if (i == d->pressedRow || i == d->current) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(i == d->pressedRow ? d->pressedBrush : d->currentBrush);
            painter->drawRoundedRect(row.adjusted(3, 2, -3, -2), EStyle::kRadiusSmall,
                                     EStyle::kRadiusSmall);
        } else if (i > first) {
            painter->setPen(d->separator);
            painter->drawLine(QPointF(10, row.top()), QPointF(row.right() - 10, row.top()));
        }
        painter->setPen(i == d->current ? d->accentInk : d->ink);
        d->texts.at(i).draw(painter);
    }
    painter->restore();

    if (d->maxScroll() > 0) {
        // A thin thumb shows where the view is in a list that scrolls.
        painter->save();
        painter->setTransform(d->toItem, true);
        const qreal total = d->items.size() * d->rowHeight;
        const qreal h = qMax<qreal>(16, d->panel.height() * d->panel.height() / total);
        const qreal y = (d->panel.height() - h) * (d->scroll / d->maxScroll());
        painter->setPen(Qt::NoPen);
        painter->setBrush(d->thumb);
        painter->drawRoundedRect(QRectF(d->panel.right() - 5, y + 2, 3, h - 4), 1.5, 1.5);
        painter->restore();
    }
}

void EComboPopup::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    const int row = rowAt(event->scenePos());
    if (row == -2) {
        emit dismissed();
        return;
    }
    d->pressedRow = row;
    d->pressScenePos = event->scenePos();
    d->scrollAtPress = d->scroll;
    d->scrolling = false;
    update();
}

void EComboPopup::wheelEvent(QGraphicsSceneWheelEvent *event)
{
    // On a desktop the wheel scrolls a long list as a finger drag does on a panel: one entry per
    // notch (120 units).
    event->accept();
    if (d->maxScroll() <= 0 || event->orientation() != Qt::Vertical)
        return;
    d->scroll = qBound<qreal>(0, d->scroll - event->delta() / 120.0 * d->rowHeight, d->maxScroll());
    d->pressedRow = -1;
    update();
}

void EComboPopup::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (d->maxScroll() <= 0)
        return;
    bool invertible = false;
    const QTransform inv = d->toScene.inverted(&invertible);
    if (!invertible)
        return;
    const qreal dy = inv.map(event->scenePos()).y() - inv.map(d->pressScenePos).y();
    if (!d->scrolling &&
        QLineF(event->scenePos(), d->pressScenePos).length() < EToolkit::kFlickThreshold)
        return;
    d->scrolling = true;
    d->pressedRow = -1;
    d->scroll = qBound<qreal>(0, d->scrollAtPress - dy, d->maxScroll());
    update();
}

void EComboPopup::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int pressed = d->pressedRow;
    d->pressedRow = -1;
    update();
    if (d->scrolling) {
        d->scrolling = false;
        return;
    }
    // An entry is chosen only when the finger lifts on the entry it went down on.
    if (pressed >= 0 && rowAt(event->scenePos()) == pressed)
        emit chosen(pressed);
}

void EComboPopup::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        emit dismissed();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int step = event->key() == Qt::Key_Up ? -1 : 1;
        d->current = qBound(0, d->current + step, d->items.size() - 1);
        update();
        return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (d->current >= 0)
            emit chosen(d->current);
        return;
    default:
        QGraphicsWidget::keyPressEvent(event);
    }
}
