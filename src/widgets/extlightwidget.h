// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "ebasewidget.h"

#include <QColor>
#include <QImage>
#include <QVector>
#include <memory>

struct ExtWidgetKind;

struct ExtLightWidgetPrivate;

// A lamp on a plan: its on or off picture with the caption below and, for a dimmer, a vertical
// brightness bar the user drags. Setters from code only repaint; BrightnessChanged() is emitted
// only for the user's drag on the bar.
class ExtLightWidget : public EBaseWidget
{
    Q_OBJECT
public:
    explicit ExtLightWidget(QGraphicsItem *parent = nullptr);
    // The control kinds this widget shows (ExtWidgetKinds).
    static QVector<ExtWidgetKind> widgetKinds();
    ~ExtLightWidget() override;

    // The picture by working-folder file name ("none": no picture, empty: resource picture).
    void setImageName(const QString &name);
    // The lit and unlit pictures and whether the lamp is on (the controller's on state).
    void setLampImages(const QString &on, const QString &off);
    void setLit(bool lit);
    bool showsLit() const;
    QString imageName() const;
    QImage image() const;
    void setCaptionColor(const QColor &color);
    QColor captionColor() const;
    void setCaptionFont(const QFont &font);

    bool isDimmer() const;
    void setDimmer(bool on);
    // A colour name; an unknown name keeps the current colours.
    void setBarColor(const QString &colorName);
    QColor barColor() const;

    int brightness() const;
    // Ignored while the user drags the bar and for values outside 0..10.
    void setBrightness(int brightness);
    int brightnessMinimum() const;
    int brightnessMaximum() const;

    void setSwitches(int switch1, int switch2, int switch3);
    QList<int> switches() const;
    bool isDependencyMode() const;
    void setDependencyMode(bool on);
    bool isMarked() const;
    void setMarked(bool marked);

    bool isBarDragActive() const;
    bool followsFinger() const override;
    // The brightness bar and the picture, in item coordinates (bar empty without dimmer mode).
    QRectF barRect() const;
    QRectF imageRect() const;
    // Brightness for a position on the bar, by the bar's scale.
    int brightnessAt(qreal y) const;

    // Resizes the widget to picture and bar. The caption does not widen it (a long caption would
    // move the picture off its position): it is centred under the picture, reaches beyond the
    // sides up to `setCaptionMaxWidth` in all and is elided beyond that.
    void adjustToContents();
    void setCaptionMaxWidth(qreal width);
    QRectF captionRect() const;
    // The font of the percentage on the bar, small enough for "100%" to fit the bar, and the
    // percentage shown: none while the lamp is on at the bottom of the scale, so no lamp shows
    // lit at "0%".
    QFont percentFont() const;
    QString percentText() const;
    QRectF boundingRect() const override;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

signals:
    void BrightnessChanged(int brightness);

protected:
    void geometryUpdated() override;
    void changeEvent(QEvent *event) override;
    void textUpdated() override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void ungrabMouseEvent(QEvent *event) override;

private:
    void relayout();
    void showLampImage();
    void dragTo(qreal y);
    std::unique_ptr<ExtLightWidgetPrivate> d;
};
