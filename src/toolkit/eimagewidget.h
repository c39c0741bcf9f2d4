// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

#include <QImage>
#include <memory>

struct EImageWidgetPrivate;

// A picture filling the widget by one of six fill modes. The scaled form is cached and rebuilt only
// when the picture, the size or the mode changes.
class EImageWidget : public EGraphicsWidget
{
    Q_OBJECT
    Q_PROPERTY(FillMode fillMode READ fillMode WRITE setFillMode)
    Q_PROPERTY(QString source READ source WRITE setSource)
public:
    enum FillMode {
        Stretch = 0,
        PreserveAspectFit = 1,
        PreserveAspectCrop = 2,
        Tile = 3,
        TileVertically = 4,
        TileHorizontally = 5,
    };
    Q_ENUM(FillMode)

    explicit EImageWidget(QGraphicsItem *parent = nullptr);
    ~EImageWidget() override;

    QImage image() const;
    void setImage(const QImage &image);
    // Loads a picture file or resource; an unreadable one leaves the widget empty and returns
    // false.
    bool setSource(const QString &path);
    QString source() const;
    FillMode fillMode() const;
    void setFillMode(FillMode mode);
    // Where the picture lands inside the widget under the current mode (item coordinates); for the
    // tiling modes the whole widget.
    QRectF paintedRect() const;
    // Resizes the widget to the picture's own size.
    void adjustToContents();

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

protected:
    void geometryUpdated() override;

private:
    void rebuild() const;
    std::unique_ptr<EImageWidgetPrivate> d;
};
