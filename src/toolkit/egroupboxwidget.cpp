// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "egroupboxwidget.h"

#include "estatictext.h"
#include "toolkitstyle.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {
constexpr qreal kPadding = 10;
}

struct EGroupBoxWidgetPrivate
{
    QColor textColor = EStyle::color(EStyle::kInk);
    QColor borderColor = QColor(0x24, 0x32, 0x44, 90);
    QPen textPen = QPen(EStyle::color(EStyle::kInk));
    QPen borderPen = QPen(QColor(0x24, 0x32, 0x44, 90), 1);
    QBrush fill = QBrush(QColor(255, 255, 255, 40));
    EStaticText title;
    QRectF frame;
};

EGroupBoxWidget::EGroupBoxWidget(QGraphicsItem *parent)
    : EGraphicsWidget(parent), d(std::make_unique<EGroupBoxWidgetPrivate>())
{
    setFont(EStyle::font(EStyle::kFontPx, true));
    d->title.setFont(font());
    d->title.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setAcceptedMouseButtons(Qt::NoButton);
    updateMargins();
}

EGroupBoxWidget::~EGroupBoxWidget() = default;

QColor EGroupBoxWidget::colortext() const
{
    return d->textColor;
}
QColor EGroupBoxWidget::colorborder() const
{
    return d->borderColor;
}
QString EGroupBoxWidget::labelT() const
{
    return d->title.text();
}

void EGroupBoxWidget::setColortext(const QColor &color)
{
    d->textColor = color;
    d->textPen.setColor(color);
    update();
}

void EGroupBoxWidget::setColorborder(const QColor &color)
{
    d->borderColor = color;
    d->borderPen.setColor(color);
    update();
}

void EGroupBoxWidget::setLabelT(const QString &text)
{
    d->title.setText(text);
    update();
}

void EGroupBoxWidget::updateMargins()
{
    const qreal titleH = QFontMetricsF(font()).height();
    setMargins(kPadding, titleH + kPadding, kPadding, kPadding);
}

QSizeF EGroupBoxWidget::sizeHint(Qt::SizeHint which, const QSizeF &constraint) const
{
    QGraphicsItem *content = contentItem();
    if (which == Qt::MaximumSize || !content || !content->isWidget())
        return EGraphicsWidget::sizeHint(which, constraint);
    const QSizeF inner = static_cast<QGraphicsWidget *>(content)->effectiveSizeHint(which);
    const QMarginsF m = margins();
    return inner + QSizeF(m.left() + m.right(), m.top() + m.bottom());
}

void EGroupBoxWidget::geometryUpdated()
{
    const qreal titleH = QFontMetricsF(font()).height();
    d->frame = rect().adjusted(0.5, titleH / 2 + 0.5, -0.5, -0.5);
    d->title.setRect(
        QRectF(kPadding + 6, 0, qMax<qreal>(0, rect().width() - 2 * kPadding - 12), titleH));
}

void EGroupBoxWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        d->title.setFont(font());
        updateMargins();
        geometryUpdated();
    }
    EGraphicsWidget::changeEvent(event);
}

void EGroupBoxWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(d->borderPen);
    painter->setBrush(d->fill);
    painter->drawRoundedRect(d->frame, EStyle::kRadius, EStyle::kRadius);
    if (d->title.text().isEmpty())
        return;
    // The title interrupts the top border: a pill of the page's own tint behind the text.
    const qreal w = qMin(d->title.naturalSize().width() + 12, d->title.rect().width() + 12);
    const QRectF pill(d->title.rect().left() - 6, d->title.rect().top(), w,
                      d->title.rect().height());
    painter->setPen(d->borderPen);
    painter->setBrush(d->fill);
    painter->drawRoundedRect(pill, pill.height() / 2, pill.height() / 2);
    painter->setPen(d->textPen);
    d->title.draw(painter);
}
