// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "espinwidget.h"

#include "toolkitconstants.h"
#include "toolkitstyle.h"

#include <QPainter>
#include <QTimer>
#include <QtMath>

struct ESpinWidgetPrivate
{
    QTimer timer;
    bool running = true;
    int frame = 0;
    QColor color = EStyle::color(EStyle::kAccent);
    // One pen per spoke, fading behind the head; rebuilt only when the colour changes.
    QPen pens[EToolkit::kSpinSpokes];

    void rebuildPens()
    {
        for (int i = 0; i < EToolkit::kSpinSpokes; ++i) {
            QColor c = color;
            c.setAlphaF(qMax(0.15, 1.0 - i * (0.85 / (EToolkit::kSpinSpokes - 1))));
            pens[i] = QPen(c, 3, Qt::SolidLine, Qt::RoundCap);
        }
    }
};

ESpinWidget::ESpinWidget(QGraphicsItem *parent)
    : EGraphicsWidget(parent), d(std::make_unique<ESpinWidgetPrivate>())
{
    d->timer.setInterval(EToolkit::kSpinFrameIntervalMs);
    connect(&d->timer, &QTimer::timeout, this, &ESpinWidget::timerAnimate);
    d->rebuildPens();
    setAcceptedMouseButtons(Qt::NoButton);
    updateTimer();
}

ESpinWidget::~ESpinWidget() = default;

bool ESpinWidget::isRunning() const
{
    return d->running;
}
QColor ESpinWidget::color() const
{
    return d->color;
}
int ESpinWidget::frame() const
{
    return d->frame;
}

void ESpinWidget::setRunning(bool running)
{
    d->running = running;
    updateTimer();
}

void ESpinWidget::setColor(const QColor &color)
{
    d->color = color;
    d->rebuildPens();
    update();
}

void ESpinWidget::start()
{
    setRunning(true);
}
void ESpinWidget::stop()
{
    setRunning(false);
}

void ESpinWidget::timerAnimate()
{
    d->frame = (d->frame + 1) % EToolkit::kSpinSpokes;
    update();
}

void ESpinWidget::updateTimer()
{
    // A hidden indicator costs nothing: no ticks, no repaints.
    if (d->running && isVisible())
        d->timer.start();
    else
        d->timer.stop();
}

QVariant ESpinWidget::itemChange(GraphicsItemChange change, const QVariant &value)
{
    const QVariant result = EGraphicsWidget::itemChange(change, value);
    if (change == ItemVisibleHasChanged)
        updateTimer();
    return result;
}

void ESpinWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const QRectF r = innerRect();
    const qreal radius = qMin(r.width(), r.height()) / 2 - 2;
    if (radius <= 2)
        return;
    painter->setRenderHint(QPainter::Antialiasing, true);
    const QPointF c = r.center();
    for (int i = 0; i < EToolkit::kSpinSpokes; ++i) {
        // Spoke i sits i steps behind the head, counter-clockwise.
        const int spoke = (d->frame - i + EToolkit::kSpinSpokes) % EToolkit::kSpinSpokes;
        const qreal a = spoke * 2 * M_PI / EToolkit::kSpinSpokes - M_PI / 2;
        const QPointF dir(std::cos(a), std::sin(a));
        painter->setPen(d->pens[i]);
        painter->drawLine(c + dir * radius * 0.5, c + dir * radius);
    }
}
