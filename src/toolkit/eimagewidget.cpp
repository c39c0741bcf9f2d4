// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "eimagewidget.h"

#include "toolkitlog.h"

#include <QPainter>
#include <QPixmap>

#include <QtMath>

struct EImageWidgetPrivate
{
    QImage image;
    QString source;
    EImageWidget::FillMode mode = EImageWidget::Stretch;
    mutable bool dirty = true;
    mutable QPixmap pixmap; // scaled picture (or tile) ready to blit
    mutable QRectF target;  // where pixmap goes, or the tiled area
    mutable bool tiled = false;
};

EImageWidget::EImageWidget(QGraphicsItem *parent)
    : EGraphicsWidget(parent), d(std::make_unique<EImageWidgetPrivate>())
{
    setAcceptedMouseButtons(Qt::NoButton);
}

EImageWidget::~EImageWidget() = default;

QImage EImageWidget::image() const
{
    return d->image;
}

void EImageWidget::setImage(const QImage &image)
{
    d->image = image;
    // Without a picture the scaled copy goes at once: a hidden widget is not painted, and its
    // copy would otherwise stay in memory until it is shown again.
    if (image.isNull())
        d->pixmap = QPixmap();
    d->dirty = true;
    update();
}

bool EImageWidget::setSource(const QString &path)
{
    d->source = path;
    QImage img;
    if (!path.isEmpty() && !img.load(path))
        qCWarning(lcToolkit) << "cannot read picture" << path;
    setImage(img);
    return !img.isNull();
}

QString EImageWidget::source() const
{
    return d->source;
}

EImageWidget::FillMode EImageWidget::fillMode() const
{
    return d->mode;
}

void EImageWidget::setFillMode(FillMode mode)
{
    if (mode < Stretch || mode > TileHorizontally) {
        qCWarning(lcToolkit) << "unknown fill mode" << int(mode);
        return;
    }
    d->mode = mode;
    d->dirty = true;
    update();
}

QRectF EImageWidget::paintedRect() const
{
    if (d->dirty)
        rebuild();
    return d->target;
}

void EImageWidget::adjustToContents()
{
    resize(d->image.size());
}

void EImageWidget::geometryUpdated()
{
    d->dirty = true;
}

void EImageWidget::rebuild() const
{
    d->dirty = false;
    d->pixmap = QPixmap();
    d->tiled = false;
    const QRectF area = innerRect();
    d->target = QRectF();
    if (d->image.isNull() || area.width() < 1 || area.height() < 1)
        return;
    const QSizeF img = d->image.size();
    const QSize areaPx(qCeil(area.width()), qCeil(area.height()));
    switch (d->mode) {
    case EImageWidget::Stretch:
        d->target = area;
        d->pixmap = QPixmap::fromImage(
            d->image.scaled(areaPx, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        break;
    case EImageWidget::PreserveAspectFit: {
        const QSizeF s = img.scaled(area.size(), Qt::KeepAspectRatio);
        d->target = QRectF(area.left() + (area.width() - s.width()) / 2,
                           area.top() + (area.height() - s.height()) / 2, s.width(), s.height());
        d->pixmap = QPixmap::fromImage(d->image.scaled(
            s.toSize().expandedTo(QSize(1, 1)), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        break;
    }
    case EImageWidget::PreserveAspectCrop: {
        // Scale to cover, then keep the centre: the cached pixmap is exactly the visible part.
        const QSize s = img.scaled(area.size(), Qt::KeepAspectRatioByExpanding).toSize();
        const QImage scaled = d->image.scaled(s.expandedTo(QSize(1, 1)), Qt::IgnoreAspectRatio,
                                              Qt::SmoothTransformation);
        const QRect crop((scaled.width() - areaPx.width()) / 2,
                         (scaled.height() - areaPx.height()) / 2, areaPx.width(), areaPx.height());
        d->pixmap = QPixmap::fromImage(scaled.copy(crop));
        d->target = area;
        break;
    }
    case EImageWidget::Tile:
        d->pixmap = QPixmap::fromImage(d->image);
        d->target = area;
        d->tiled = true;
        break;
    case EImageWidget::TileVertically: {
        // Fit the width, repeat downwards.
        const int h = qMax(1, qRound(img.height() * area.width() / img.width()));
        d->pixmap = QPixmap::fromImage(d->image.scaled(
            QSize(areaPx.width(), h), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        d->target = area;
        d->tiled = true;
        break;
    }
    case EImageWidget::TileHorizontally: {
        const int w = qMax(1, qRound(img.width() * area.height() / img.height()));
        d->pixmap = QPixmap::fromImage(d->image.scaled(
            QSize(w, areaPx.height()), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        d->target = area;
        d->tiled = true;
        break;
    }
    }
}

void EImageWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (d->dirty)
        rebuild();
    if (d->pixmap.isNull())
        return;
    if (d->tiled)
        painter->drawTiledPixmap(d->target, d->pixmap, QPointF());
    else
        painter->drawPixmap(d->target, d->pixmap, QRectF(d->pixmap.rect()));
}
