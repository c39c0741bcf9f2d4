// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "eprogresswidget.h"

#include "estatictext.h"
#include "toolkitstyle.h"

#include <QLinearGradient>
#include <QPainter>

struct EProgressWidgetPrivate
{
    int value = 0;
    int minimum = 0;
    int maximum = 100;
    bool textVisible = true;
    QColor color = EStyle::color(EStyle::kAccent);
    QBrush bar;
    QBrush track = QBrush(EStyle::color(EStyle::kTrack));
    QPen textPen = QPen(EStyle::color(EStyle::kInk));
    EStaticText text;

    void rebuildBar()
    {
        QLinearGradient g(0, 0, 0, 1);
        g.setCoordinateMode(QGradient::ObjectMode);
        g.setColorAt(0, color.lighter(125));
        g.setColorAt(1, color.darker(110));
        bar = QBrush(g);
    }
};

EProgressWidget::EProgressWidget(QGraphicsItem *parent)
    : EGraphicsWidget(parent), d(std::make_unique<EProgressWidgetPrivate>())
{
    setFont(EStyle::font(EStyle::kCaptionFontPx, true));
    d->text.setFont(font());
    d->text.setAlignment(Qt::AlignCenter);
    d->rebuildBar();
    setAcceptedMouseButtons(Qt::NoButton);
    updateText();
}

EProgressWidget::~EProgressWidget() = default;

int EProgressWidget::value() const
{
    return d->value;
}
int EProgressWidget::minimum() const
{
    return d->minimum;
}
int EProgressWidget::maximum() const
{
    return d->maximum;
}
QColor EProgressWidget::color() const
{
    return d->color;
}
bool EProgressWidget::isTextVisible() const
{
    return d->textVisible;
}

void EProgressWidget::setValue(int value)
{
    value = qBound(d->minimum, value, d->maximum);
    if (value == d->value)
        return;
    d->value = value;
    updateText();
    update();
}

void EProgressWidget::setMinimum(int minimum)
{
    setRange(minimum, qMax(minimum, d->maximum));
}

void EProgressWidget::setMaximum(int maximum)
{
    setRange(qMin(d->minimum, maximum), maximum);
}

void EProgressWidget::setRange(int minimum, int maximum)
{
    if (maximum < minimum)
        std::swap(minimum, maximum);
    d->minimum = minimum;
    d->maximum = maximum;
    d->value = qBound(minimum, d->value, maximum);
    updateText();
    update();
}

void EProgressWidget::setColor(const QColor &color)
{
    d->color = color;
    d->rebuildBar();
    update();
}

void EProgressWidget::setTextVisible(bool visible)
{
    d->textVisible = visible;
    update();
}

qreal EProgressWidget::fraction() const
{
    // An empty range shows as complete rather than dividing by zero.
    if (d->maximum == d->minimum)
        return 1.0;
    return qreal(d->value - d->minimum) / qreal(d->maximum - d->minimum);
}

void EProgressWidget::updateText()
{
    d->text.setText(QString::number(qRound(fraction() * 100)) + QLatin1Char('%'));
}

void EProgressWidget::geometryUpdated()
{
    d->text.setRect(innerRect());
}

void EProgressWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const QRectF r = innerRect();
    const qreal radius = qMin(r.height() / 2, EStyle::kRadius);
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(Qt::NoPen);
    painter->setBrush(d->track);
    painter->drawRoundedRect(r, radius, radius);
    const qreal w = r.width() * fraction();
    if (w > 0.5) {
        painter->setBrush(d->bar);
        painter->drawRoundedRect(QRectF(r.left(), r.top(), qMax(w, 2 * radius), r.height()), radius,
                                 radius);
    }
    if (d->textVisible && r.height() >= 12) {
        painter->setPen(d->textPen);
        d->text.draw(painter);
    }
}
