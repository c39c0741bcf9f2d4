// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "extwidgetfactory.h"

#include "baseroomv1.h"
#include "boolcontrolv1.h"
#include "btncontrolv1.h"
#include "bytecontrolv1.h"
#include "controlconstants.h"
#include "dyntextcontrolv1.h"
#include "ecoreapp.h"
#include "avcamcontrolv1.h"
#include "extavwidget.h"
#include "extboolcontrol.h"
#include "extbytebutton.h"
#include "extbytecontrol.h"
#include "extheatwidget.h"
#include "extlightwidget.h"
#include "extmjpegwidget.h"
#include "extweatherwidget.h"
#include "extsensorwidget.h"
#include "extslidercontrol.h"
#include "extswitchwidget.h"
#include "exttextwidget.h"
#include "exttextwriterwidget.h"
#include "exttoolwidget.h"
#include "heatcontrolv1.h"
#include "hslidercontrolv1.h"
#include "ipcamcontrolv1.h"
#include "lightcontrolv1.h"
#include "resbtcontrolv1.h"
#include "sensorcontrolv1.h"
#include "switchcontrolv1.h"
#include "systemcontrolv1.h"
#include "textcontrolv1.h"
#include "textwritecontrolv1.h"
#include "vslidercontrolv1.h"
#include "weathercontrolv1.h"

#include <QGraphicsWidget>

using namespace ControlConstants;

namespace {

constexpr int kButtonFont = 6;
constexpr const char kRoomIconImage[] = "forward.png";

QFont registryFont(int id)
{
    return ECoreApp::instance()->font(id);
}

QColor colorOf(const QString &name, const QColor &fallback)
{
    const QColor c(name);
    return c.isValid() ? c : fallback;
}

Qt::Alignment alignmentOf(int textAlign)
{
    switch (textAlign) {
    case kAlignLeft:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case kAlignRight:
        return Qt::AlignRight | Qt::AlignVCenter;
    default:
        return Qt::AlignCenter;
    }
}

QSizeF sizeOf(int width, int height)
{
    return QSizeF(qMax(1, width), qMax(1, height));
}

void applyIconButton(ExtIconButton *icon, const BaseControlV1 *control, const QString &image)
{
    icon->setFont(registryFont(kButtonFont));
    icon->setText(control->textB());
    icon->setShowCaption(true);
    icon->setCaptionColor(Qt::white);
    icon->setImageName(image);
    icon->adjustToContents();
    icon->show();
}

QFont textFont(int pixelSize, int weight)
{
    QFont f = registryFont(kButtonFont);
    if (pixelSize > 0)
        f.setPixelSize(pixelSize);
    f.setWeight(qBound(0, weight, 99));
    return f;
}

bool apply(EBaseWidget *widget, BaseControlV1 *control)
{
    switch (control->kind()) {
    case KindSwitch: {
        auto *w = qobject_cast<ExtSwitchWidget *>(widget);
        if (!w)
            return false;
        applyIconButton(w, control, static_cast<SwitchControlV1 *>(control)->imageOn());
        return true;
    }
    case KindSensor: {
        auto *w = qobject_cast<ExtSensorWidget *>(widget);
        if (!w)
            return false;
        applyIconButton(w, control, static_cast<SensorControlV1 *>(control)->imageDis());
        return true;
    }
    case KindBool: {
        auto *w = qobject_cast<ExtBoolControl *>(widget);
        if (!w)
            return false;
        applyIconButton(w, control, static_cast<BoolControlV1 *>(control)->imageOff());
        return true;
    }
    case KindResbt: {
        auto *w = qobject_cast<ExtByteButton *>(widget);
        if (!w)
            return false;
        applyIconButton(w, control, static_cast<ResbtControlV1 *>(control)->imageOff());
        return true;
    }
    case KindSystem: {
        auto *w = qobject_cast<ExtIconButton *>(widget);
        if (!w)
            return false;
        applyIconButton(w, control, static_cast<SystemControlV1 *>(control)->image());
        return true;
    }
    case KindBtn: {
        auto *w = qobject_cast<ExtIconButton *>(widget);
        auto *r = static_cast<BtnControlV1 *>(control);
        if (!w)
            return false;
        w->setFont(registryFont(kButtonFont));
        w->setText(r->textB());
        w->setShowCaption(true);
        w->setCaptionColor(Qt::black);
        w->setFrameVisible(true);
        w->setCaptionBeside(true);
        w->setImageName(r->image());
        w->resize(sizeOf(r->width(), r->height()));
        w->show();
        return true;
    }
    case KindText:
    case KindDynText: {
        auto *w = qobject_cast<ExtTextWidget *>(widget);
        if (!w)
            return false;
        if (control->kind() == KindText) {
            auto *r = static_cast<TextControlV1 *>(control);
            w->setTextFont(textFont(r->fontSize(), r->fontType()));
            w->setFrame(r->showRound());
            w->setTextColor(colorOf(r->fontColor(), Qt::white));
            w->setAlignment(alignmentOf(r->textAlign()));
            w->resize(sizeOf(r->width(), r->height()));
            w->setDisplayText(r->textB());
        } else {
            auto *r = static_cast<DynTextControlV1 *>(control);
            w->setTextFont(textFont(r->fontSize(), r->fontType()));
            w->setFrame(r->showRound());
            w->setTextColor(colorOf(r->fontColor(), Qt::white));
            w->setAlignment(alignmentOf(r->textAlign()));
            w->resize(sizeOf(r->width(), r->height()));
            w->setDisplayText(r->text().isEmpty() ? r->textB() : r->text());
        }
        w->show();
        return true;
    }
    case KindLight: {
        auto *w = qobject_cast<ExtLightWidget *>(widget);
        auto *r = static_cast<LightControlV1 *>(control);
        if (!w)
            return false;
        w->setText(r->textB());
        w->setCaptionColor(Qt::white);
        w->setCaptionFont(registryFont(kButtonFont));
        w->setImageName(r->imageOff());
        w->setDimmer(r->isDimmer());
        if (r->isDimmer())
            w->setBarColor(r->sliderColor());
        w->adjustToContents();
        w->show();
        return true;
    }
    case KindHeat: {
        auto *w = qobject_cast<ExtHeatWidget *>(widget);
        auto *r = static_cast<HeatControlV1 *>(control);
        if (!w)
            return false;
        w->setCaption(r->textB());
        w->setCaptionColor(colorOf(r->titleColor(), Qt::black));
        w->setTemperatureColor(colorOf(r->fontColor(), Qt::black));
        QFont label = registryFont(kButtonFont);
        if (r->fontSize() > 0)
            label.setPixelSize(r->fontSize());
        w->setLabelFont(label);
        w->resize(sizeOf(r->width(), r->height()));
        w->show();
        return true;
    }
    case KindByte: {
        auto *w = qobject_cast<ExtByteControl *>(widget);
        auto *r = static_cast<ByteControlV1 *>(control);
        if (!w)
            return false;
        w->setCaption(r->textB());
        w->setCaptionColor(colorOf(r->titleColor(), Qt::black));
        w->setValueColor(colorOf(r->fontColor(), Qt::black));
        QFont f = registryFont(kButtonFont);
        if (r->fontSize() > 0)
            f.setPixelSize(r->fontSize());
        w->setValueFont(f);
        w->setImageName(r->image() == QLatin1String("none") ? QString() : r->image());
        w->setFrame(r->showRound());
        w->setPrecision(r->precisionView());
        w->setRange(r->minimum(), r->maximum());
        w->setStep(r->step());
        w->setScale(r->maxval());
        w->setDataType(r->typeD());
        w->setEditMode(r->isReadOnly()   ? ExtByteControl::ReadOnly
                       : r->isEditable() ? ExtByteControl::Editable
                                         : ExtByteControl::StepsOnly);
        w->resize(sizeOf(r->width(), r->height()));
        w->show();
        return true;
    }
    case KindHSlider:
    case KindVSlider: {
        auto *w = qobject_cast<ExtSliderControl *>(widget);
        auto *r = static_cast<SliderControlV1 *>(control);
        if (!w)
            return false;
        w->setRange(r->minimum(), r->maximum());
        w->setStep(r->step());
        w->setColor(colorOf(r->sliderColor(), QColor(0x01, 0x7a, 0xfd)));
        w->setScale(r->maxval() > 0 ? r->maxval() : 255);
        w->setDataType(r->typeD());
        w->setFrame(r->showRound());
        w->resize(sizeOf(r->width(), r->height()));
        w->show();
        return true;
    }
    case KindTextWrite: {
        auto *w = qobject_cast<ExtTextWriterWidget *>(widget);
        auto *r = static_cast<TextWriteControlV1 *>(control);
        if (!w)
            return false;
        w->setCaption(r->textB());
        w->setTextColor(colorOf(r->fontColor(), Qt::black));
        QFont f = registryFont(kButtonFont);
        if (r->fontSize() > 0)
            f.setPixelSize(r->fontSize());
        w->setTextFont(f);
        w->setMaxLength(qBound(1, r->maximum(), kMaxTextWriteBytes));
        w->resize(sizeOf(r->width(), r->height()));
        w->show();
        return true;
    }
    case KindWeather: {
        auto *w = qobject_cast<ExtWeatherWidget *>(widget);
        if (!w)
            return false;
        w->applyRecord(static_cast<WeatherControlV1 *>(control));
        return true;
    }
    case KindIpCam:
    case KindAVCam: {
        auto *w = qobject_cast<ExtCameraWidget *>(widget);
        if (!w)
            return false;
        w->applyRecord(static_cast<CameraControlV1 *>(control));
        return true;
    }
    default:
        return false;
    }
}

EBaseWidget *make(BaseControlV1 *control, QGraphicsItem *plan)
{
    switch (control->kind()) {
    case KindSwitch:
        return new ExtSwitchWidget(plan);
    case KindSensor:
        return new ExtSensorWidget(plan);
    case KindBool:
        return new ExtBoolControl(plan);
    case KindResbt:
        return new ExtByteButton(plan);
    case KindSystem:
    case KindBtn:
        return new ExtIconButton(plan);
    case KindWeather:
        return new ExtWeatherWidget(static_cast<WeatherControlV1 *>(control), plan);
    case KindIpCam:
        return new ExtMjpegWidget(static_cast<IpCamControlV1 *>(control), plan);
    case KindAVCam:
        return new ExtAVWidget(static_cast<AVCamControlV1 *>(control), plan);
    case KindText:
    case KindDynText:
        return new ExtTextWidget(plan);
    case KindLight:
        return new ExtLightWidget(plan);
    case KindHeat:
        return new ExtHeatWidget(plan);
    case KindByte:
        return new ExtByteControl(plan);
    case KindHSlider:
        return new ExtSliderControl(ExtSliderControl::Horizontal, plan);
    case KindVSlider:
        return new ExtSliderControl(ExtSliderControl::Vertical, plan);
    case KindTextWrite:
        return new ExtTextWriterWidget(plan);
    default:
        return nullptr;
    }
}

void placeOnPlan(QGraphicsWidget *widget, double posX, double posY, double zIndex,
                 QGraphicsItem *plan)
{
    widget->setPos(ExtWidgetFactory::toPixels(posX, posY, ExtWidgetFactory::planSize(plan)));
    widget->setZValue(zIndex);
}

} // namespace

namespace ExtWidgetFactory {

QImage imageForName(const QString &name, const QString &emptyFallback)
{
    if (name == QLatin1String("none"))
        return QImage();
    if (name.isEmpty())
        return emptyFallback.isEmpty() ? QImage()
                                       : QImage(QStringLiteral(":/resources/") + emptyFallback);
    return ECoreApp::instance()->image(name);
}

EBaseWidget *createWidget(BaseControlV1 *control, QGraphicsItem *plan)
{
    if (!control || !plan)
        return nullptr;
    EBaseWidget *widget = make(control, plan);
    if (!widget)
        return nullptr;
    widget->setObjectName(control->runtimeId());
    widget->setMoveMode(true);
    widget->setEnabled(true);
    apply(widget, control);
    placeOnPlan(widget, control->posX(), control->posY(), control->zIndex(), plan);
    return widget;
}

ExtIconButton *createRoomIcon(BaseRoomV1 *room, QGraphicsItem *plan)
{
    if (!room || !plan)
        return nullptr;
    auto *icon = new ExtIconButton(plan);
    icon->setMoveMode(true);
    icon->setEnabled(true);
    applyRoomProperties(icon, room);
    placeOnPlan(icon, room->posX(), room->posY(), room->zIndex(), plan);
    return icon;
}

bool applyProperties(EBaseWidget *widget, BaseControlV1 *control)
{
    if (!widget || !control)
        return false;
    widget->setObjectName(control->runtimeId());
    return apply(widget, control);
}

void applyRoomProperties(ExtIconButton *icon, BaseRoomV1 *room)
{
    if (!icon || !room)
        return;
    icon->setObjectName(room->runtimeId());
    icon->setProperty("roomName", room->name());
    icon->setFont(registryFont(kButtonFont));
    icon->setText(room->textB());
    icon->setShowCaption(!room->textB().isEmpty());
    icon->setCaptionColor(Qt::white);
    icon->setImageName(room->contImage(), QLatin1String(kRoomIconImage));
    icon->adjustToContents();
    icon->show();
}

QPointF toPixels(double posX, double posY, const QSizeF &planSize)
{
    return QPointF(posX / 100.0 * planSize.width(), posY / 100.0 * planSize.height());
}

QPointF toPercent(const QPointF &pos, const QSizeF &planSize)
{
    if (planSize.width() <= 0 || planSize.height() <= 0)
        return QPointF();
    return QPointF(pos.x() / planSize.width() * 100.0, pos.y() / planSize.height() * 100.0);
}

QSizeF planSize(const QGraphicsItem *plan)
{
    if (!plan)
        return QSizeF();
    if (plan->isWidget())
        return static_cast<const QGraphicsWidget *>(plan)->size();
    return plan->boundingRect().size();
}

} // namespace ExtWidgetFactory
