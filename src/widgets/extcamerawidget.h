// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "ebasewidget.h"

#include <QImage>

#include <memory>

class CameraControlV1;
class EIconWidget;
class EImageWidget;
class ELabelWidget;
class PtzManager;
struct ExtCameraWidgetPrivate;

// The frame both camera widgets share: the picture, the caption, the tools button that shows and
// hides the seven pan/tilt/zoom buttons, and the PTZ sender those buttons drive. The camera's
// address, port, credentials and command paths come from its record.
class ExtCameraWidget : public EBaseWidget
{
    Q_OBJECT
public:
    enum PtzButton { Left, Right, Up, Down, Home, ZoomIn, ZoomOut, PtzButtonCount };

    explicit ExtCameraWidget(CameraControlV1 *record, QGraphicsItem *parent = nullptr);
    ~ExtCameraWidget() override;

    // Takes the record's caption, frame flag, size, address and PTZ settings again.
    virtual void applyRecord(CameraControlV1 *record);

    bool toolsVisible() const;
    bool showRound() const;
    QImage picture() const;
    // The size the camera picture is drawn at, inside the frame and above the caption.
    QSizeF pictureArea() const;
    bool showsPlaceholder() const;
    PtzManager *ptzManager() const;
    EIconWidget *toolsButton() const;
    EIconWidget *ptzButton(PtzButton button) const;
    ELabelWidget *captionLabel() const;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

public slots:
    void errorImage();
    void showHideTools();
    void buttonLeftClick();
    void buttonRightClick();
    void buttonUpClick();
    void buttonDownClick();
    void buttonHomeClick();
    void buttonZoominClick();
    void buttonZoomoutClick();

protected:
    void setPicture(const QImage &image);
    // Called when the widget starts or stops being on screen (visible in a scene).
    virtual void onScreenChanged(bool onScreen);
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;
    // Re-evaluates whether the widget is on screen; subclasses call it once constructed.
    void updateOnScreen();

private:
    std::unique_ptr<ExtCameraWidgetPrivate> d;
};
