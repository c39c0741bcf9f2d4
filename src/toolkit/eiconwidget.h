// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "ebasewidget.h"

#include <QColor>
#include <QImage>
#include <memory>

struct EIconWidgetPrivate;

// An icon button: a picture above an optional caption (the widget's text), with the touch
// interaction of EBaseWidget. Without a frame it floats on its background (plan icons); with a
// frame it is a tool button. A disabled icon is drawn in grey scale.
class EIconWidget : public EBaseWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor captionColor READ captionColor WRITE setCaptionColor)
    Q_PROPERTY(bool showCaption READ showCaption WRITE setShowCaption)
    Q_PROPERTY(bool frameVisible READ frameVisible WRITE setFrameVisible)
public:
    explicit EIconWidget(QGraphicsItem *parent = nullptr);
    ~EIconWidget() override;

    QImage image() const;
    void setImage(const QImage &image);
    bool setImageSource(const QString &path);

    QColor captionColor() const;
    void setCaptionColor(const QColor &color);
    bool showCaption() const;
    void setShowCaption(bool show);
    bool frameVisible() const;
    void setFrameVisible(bool visible);
    // Lets the picture grow beyond its own size to fill the widget (default: only shrinks).
    void setScaleUp(bool on);
    // Caption on the right of the picture instead of below it (wide tool buttons).
    void setCaptionBeside(bool on);

    // Plan icons: the caption under the picture does not widen the widget, so a long caption
    // never moves the picture from the position the widget is placed at. It is centred under
    // the picture, may reach beyond the widget's sides up to `maxWidth` in all, and is elided
    // beyond that.
    void setCaptionOverflow(bool on, qreal maxWidth);
    bool captionOverflow() const;
    // The box the caption is drawn in, in item coordinates (may reach outside rect()).
    QRectF captionRect() const;
    QRectF boundingRect() const override;

    // Resizes the widget to its picture and caption (plus margins).
    // Disabled status icons (the top bar's connection and alarm state) keep their picture and
    // caption colours: disabled only means that pressing does nothing.
    void setStatusLook(bool on);
    bool statusLook() const;
    void adjustToContents();
    QRectF iconRect() const;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

protected:
    void geometryUpdated() override;
    void changeEvent(QEvent *event) override;
    void textUpdated() override;
    QSizeF sizeHint(Qt::SizeHint which, const QSizeF &constraint = QSizeF()) const override;

private:
    void relayout();
    std::unique_ptr<EIconWidgetPrivate> d;
};
