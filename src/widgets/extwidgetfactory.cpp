// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "extwidgetfactory.h"

#include "basecontrolv1.h"
#include "baseroomv1.h"
#include "controlconstants.h"
#include "ecoreapp.h"
#include "eiconwidget.h"
#include "exticonbutton.h"
#include "extlightwidget.h"
#include "extwidgetkinds.h"

#include <QGraphicsWidget>

namespace {

constexpr int kButtonFont = 6;
constexpr const char kRoomIconImage[] = "forward.png";
// How wide a plan caption may grow before it is elided, until the room screen knows the plan.
constexpr qreal kCaptionOverflowWidth = 320;

void placeOnPlan(QGraphicsWidget *widget, double posX, double posY, double zIndex,
                 QGraphicsItem *plan)
{
    const QSizeF planSize = ExtWidgetFactory::planSize(plan);
    widget->setPos(ExtWidgetFactory::toPixels(posX, posY, planSize));
    widget->setZValue(zIndex);
    ExtWidgetFactory::fitCaption(widget, planSize);
}

bool apply(EBaseWidget *widget, BaseControlV1 *control)
{
    const ExtWidgetKind *kind = ExtWidgetKinds::byKind(control->kind());
    return kind && kind->apply(widget, control);
}

} // namespace

namespace ExtWidgetFactory {

QFont buttonFont(int pixelSize)
{
    QFont f = ECoreApp::instance()->font(kButtonFont);
    if (pixelSize > 0)
        f.setPixelSize(pixelSize);
    return f;
}

QFont textFont(int pixelSize, int weight)
{
    QFont f = buttonFont(pixelSize);
    f.setWeight(qBound(0, weight, 99));
    return f;
}

QColor colorOf(const QString &name, const QColor &fallback)
{
    const QColor c(name);
    return c.isValid() ? c : fallback;
}

Qt::Alignment alignmentOf(int textAlign)
{
    switch (textAlign) {
    case ControlConstants::kAlignLeft:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case ControlConstants::kAlignRight:
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
    icon->setFont(buttonFont());
    icon->setText(control->textB());
    icon->setShowCaption(true);
    icon->setCaptionColor(Qt::white);
    icon->setImageName(image);
    // The position is the picture's: a long caption grows around it instead of moving it. The
    // room screen narrows the caption to what its place on the plan leaves.
    icon->setCaptionOverflow(true, kCaptionOverflowWidth);
    icon->adjustToContents();
    icon->show();
}

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
    const ExtWidgetKind *kind = ExtWidgetKinds::byKind(control->kind());
    if (!kind)
        return nullptr;
    EBaseWidget *widget = kind->create(control, plan);
    if (!widget)
        return nullptr;
    widget->setObjectName(control->runtimeId());
    widget->setMoveMode(true);
    widget->setEnabled(true);
    kind->apply(widget, control);
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
    icon->setFont(buttonFont());
    icon->setText(room->textB());
    icon->setShowCaption(!room->textB().isEmpty());
    icon->setCaptionColor(Qt::white);
    icon->setImageName(room->contImage(), QLatin1String(kRoomIconImage));
    icon->setCaptionOverflow(true, kCaptionOverflowWidth);
    icon->adjustToContents();
    icon->show();
}

void fitCaption(QGraphicsWidget *widget, const QSizeF &planSize)
{
    if (!widget || planSize.width() <= 0)
        return;
    // Centred under the picture, the caption may reach as far as the nearer side of the plan.
    const qreal centre = widget->pos().x() + widget->size().width() / 2;
    const qreal reach = qMax(widget->size().width(), 2 * qMin(centre, planSize.width() - centre));
    if (auto *icon = qobject_cast<EIconWidget *>(widget); icon && icon->captionOverflow())
        icon->setCaptionOverflow(true, reach);
    else if (auto *lamp = qobject_cast<ExtLightWidget *>(widget))
        lamp->setCaptionMaxWidth(reach);
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
