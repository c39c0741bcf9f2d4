// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "eiconwidget.h"

#include "estatictext.h"
#include "toolkitlog.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPixmap>

struct EIconWidgetPrivate
{
    QImage image;
    QColor captionColor = EStyle::color(EStyle::kPaper);
    QPen captionPen = QPen(EStyle::color(EStyle::kPaper));
    QPen shadowPen = QPen(EStyle::color(EStyle::kShadow));
    QPen disabledPen = QPen(EStyle::color(EStyle::kDisabledText));
    QPen framePen = QPen(EStyle::color(EStyle::kPaper));
    QBrush hoverBrush = QBrush(QColor(255, 255, 255, 46));
    QBrush pressBrush = QBrush(QColor(10, 20, 35, 70));
    QBrush checkBrush = QBrush(QColor(0x2f, 0x8c, 0xff, 110));
    QPen hoverPen = QPen(EStyle::color(EStyle::kAccentLight), 1.2);
    bool showCaption = true;
    bool frame = false;
    bool scaleUp = false;
    bool beside = false;
    bool lightCaption = true;
    bool statusLook = false;
    bool overflow = false;
    qreal overflowWidth = 0;
    EStaticText caption;
    QRectF iconRect;
    // Scaled pictures for the current size, normal and grey; built lazily after a change.
    bool dirty = true;
    QPixmap pixmap;
    QPixmap greyPixmap;
};

EIconWidget::EIconWidget(QGraphicsItem *parent)
    : EBaseWidget(parent), d(std::make_unique<EIconWidgetPrivate>())
{
    setFont(EStyle::font(EStyle::kCaptionFontPx));
    d->caption.setFont(font());
    d->caption.setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    setMargins(4, 4, 4, 4);
}

EIconWidget::~EIconWidget() = default;

QImage EIconWidget::image() const
{
    return d->image;
}

void EIconWidget::setImage(const QImage &image)
{
    d->image = image;
    d->dirty = true;
    updateGeometry();
    update();
}

bool EIconWidget::setImageSource(const QString &path)
{
    QImage img;
    if (!path.isEmpty() && !img.load(path))
        qCWarning(lcToolkit) << "cannot read icon" << path;
    setImage(img);
    return !img.isNull();
}

QColor EIconWidget::captionColor() const
{
    return d->captionColor;
}

void EIconWidget::setCaptionColor(const QColor &color)
{
    d->captionColor = color;
    d->captionPen.setColor(color);
    // A shadow keeps light captions readable over bright plans; dark captions need none.
    d->lightCaption = color.lightness() > 140;
    update();
}

bool EIconWidget::showCaption() const
{
    return d->showCaption;
}

void EIconWidget::setShowCaption(bool show)
{
    d->showCaption = show;
    relayout();
    update();
}

bool EIconWidget::frameVisible() const
{
    return d->frame;
}

void EIconWidget::setFrameVisible(bool visible)
{
    d->frame = visible;
    update();
}

void EIconWidget::setScaleUp(bool on)
{
    d->scaleUp = on;
    relayout();
    update();
}

void EIconWidget::setCaptionBeside(bool on)
{
    d->beside = on;
    d->caption.setAlignment(on ? (Qt::AlignLeft | Qt::AlignVCenter)
                               : (Qt::AlignHCenter | Qt::AlignBottom));
    relayout();
    update();
}

void EIconWidget::setStatusLook(bool on)
{
    d->statusLook = on;
    update();
}

bool EIconWidget::statusLook() const
{
    return d->statusLook;
}

void EIconWidget::setCaptionOverflow(bool on, qreal maxWidth)
{
    if (on == d->overflow && qFuzzyCompare(maxWidth + 1, d->overflowWidth + 1))
        return;
    prepareGeometryChange();
    d->overflow = on;
    d->overflowWidth = qMax<qreal>(0, maxWidth);
    updateGeometry();
    relayout();
    update();
}

bool EIconWidget::captionOverflow() const
{
    return d->overflow;
}

QRectF EIconWidget::captionRect() const
{
    return d->caption.rect();
}

QRectF EIconWidget::boundingRect() const
{
    const QRectF r = EBaseWidget::boundingRect();
    if (!d->overflow || d->beside || !d->showCaption || text().isEmpty())
        return r;
    // The caption as laid out, with a pixel for its shadow; relayout() runs after a geometry
    // change is announced whenever the caption box can change.
    return r.united(d->caption.rect().adjusted(0, 0, 1, 1));
}

void EIconWidget::textUpdated()
{
    if (d->overflow)
        prepareGeometryChange();
    relayout();
}

void EIconWidget::adjustToContents()
{
    resize(sizeHint(Qt::PreferredSize));
}

QRectF EIconWidget::iconRect() const
{
    return d->iconRect;
}

QSizeF EIconWidget::sizeHint(Qt::SizeHint which, const QSizeF &constraint) const
{
    if (which != Qt::PreferredSize)
        return EBaseWidget::sizeHint(which, constraint);
    const bool caption = d->showCaption && !text().isEmpty();
    // Measured from the current text: the laid-out caption catches up only at the next layout.
    EStaticText measure;
    measure.setFont(font());
    measure.setText(text());
    const QSizeF textSize = caption ? measure.naturalSize() : QSizeF(0, 0);
    const QSizeF img = d->image.isNull() ? QSizeF(0, 0) : QSizeF(d->image.size());
    QSizeF s;
    if (d->beside)
        s = QSizeF(img.width() + (caption ? EStyle::kIndicatorGap + textSize.width() : 0),
                   qMax(img.height(), textSize.height()));
    else if (d->overflow && !d->image.isNull())
        s = QSizeF(img.width(),
                   img.height() + (caption ? EStyle::kCaptionGap + textSize.height() : 0));
    else
        s = QSizeF(qMax(img.width(), textSize.width()),
                   img.height() + (caption ? EStyle::kCaptionGap + textSize.height() : 0));
    return s + QSizeF(marginsLeft() + marginsRight(), marginsTop() + marginsBottom());
}

void EIconWidget::geometryUpdated()
{
    EBaseWidget::geometryUpdated();
    relayout();
}

void EIconWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        if (d->overflow)
            prepareGeometryChange();
        d->caption.setFont(font());
        relayout();
    }
    EBaseWidget::changeEvent(event);
}

void EIconWidget::relayout()
{
    d->caption.setText(text());
    const QRectF inner = innerRect();
    const bool caption = d->showCaption && !text().isEmpty();
    // A caption with line breaks gets a line each; one line high, the others were drawn over
    // the picture or cut.
    const int lines = caption ? text().count(QLatin1Char('\n')) + 1 : 0;
    const qreal lineH = QFontMetricsF(font()).height() * lines;
    QRectF iconArea = inner;
    if (caption && d->beside) {
        const qreal w = d->image.isNull() ? 0 : qMin(inner.height(), inner.width() / 2);
        iconArea = QRectF(inner.left(), inner.top(), w, inner.height());
        d->caption.setRect(QRectF(iconArea.right() + (w > 0 ? EStyle::kIndicatorGap : 0),
                                  inner.top(), inner.right() - iconArea.right(), inner.height()));
    } else if (caption && d->overflow) {
        iconArea.setBottom(inner.bottom() - lineH - EStyle::kCaptionGap);
        // As wide as the text needs, up to the overflow width, centred under the picture.
        const qreal own = inner.width() + marginsLeft() + marginsRight() - 2;
        const qreal wanted = QFontMetricsF(font()).horizontalAdvance(text()) + 2;
        const qreal w = qMax(own, qMin(wanted, qMax(own, d->overflowWidth - 2)));
        d->caption.setRect(QRectF(inner.center().x() - w / 2, inner.bottom() - lineH, w, lineH));
    } else if (caption) {
        iconArea.setBottom(inner.bottom() - lineH - EStyle::kCaptionGap);
        d->caption.setRect(QRectF(inner.left() - marginsLeft() + 1, inner.bottom() - lineH,
                                  inner.width() + marginsLeft() + marginsRight() - 2, lineH));
    }
    QSizeF s = d->image.size();
    if (!d->image.isNull() && iconArea.width() > 0 && iconArea.height() > 0) {
        if (d->scaleUp || s.width() > iconArea.width() || s.height() > iconArea.height())
            s.scale(iconArea.size(), Qt::KeepAspectRatio);
        d->iconRect = QRectF(iconArea.center().x() - s.width() / 2,
                             iconArea.center().y() - s.height() / 2, s.width(), s.height());
    } else {
        d->iconRect = QRectF();
    }
    d->dirty = true;
}

void EIconWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (d->caption.text() != text())
        relayout();
    const EStyle::States s = styleState();
    // A status icon says something whether or not it can be pressed: it keeps its colours.
    const bool disabled = (s & EStyle::Disabled) && !d->statusLook;
    painter->setRenderHint(QPainter::Antialiasing, true);

    if (d->frame) {
        EStyle::drawButton(painter, rect(), s);
    } else if (!disabled) {
        // Frameless icons only show their state around the picture: a glow on hover, a dark
        // cushion while pressed, an accent cushion when checked.
        const QBrush *backdrop = nullptr;
        if (s & EStyle::Pressed)
            backdrop = &d->pressBrush;
        else if (s & EStyle::Checked)
            backdrop = &d->checkBrush;
        else if (s & EStyle::Highlighted)
            backdrop = &d->hoverBrush;
        if (backdrop) {
            painter->setBrush(*backdrop);
            painter->setPen((s & EStyle::Highlighted) ? d->hoverPen : QPen(Qt::NoPen));
            painter->drawRoundedRect(rect().adjusted(1, 1, -1, -1), EStyle::kRadius,
                                     EStyle::kRadius);
        }
    }

    if (d->dirty && !d->iconRect.isEmpty()) {
        const QSize px = d->iconRect.size().toSize().expandedTo(QSize(1, 1));
        const QImage scaled = d->image.size() == px ? d->image
                                                    : d->image.scaled(px, Qt::IgnoreAspectRatio,
                                                                      Qt::SmoothTransformation);
        d->pixmap = QPixmap::fromImage(scaled);
        d->greyPixmap = QPixmap();
        d->dirty = false;
    }
    if (!d->pixmap.isNull()) {
        if (disabled && d->greyPixmap.isNull())
            d->greyPixmap = QPixmap::fromImage(EStyle::greyscale(d->pixmap.toImage()));
        // The picture sinks by a pixel while pressed: the finger sees the button give way.
        const QPointF shift = (s & EStyle::Pressed) ? QPointF(0, 1) : QPointF();
        painter->drawPixmap(d->iconRect.topLeft() + shift, disabled ? d->greyPixmap : d->pixmap);
    }

    if (d->showCaption) {
        if (disabled) {
            painter->setPen(d->disabledPen);
        } else {
            if (d->lightCaption && !d->frame) {
                painter->setPen(d->shadowPen);
                d->caption.draw(painter, QPointF(1, 1));
            }
            painter->setPen(d->frame ? d->framePen : d->captionPen);
        }
        d->caption.draw(painter);
    }
}
