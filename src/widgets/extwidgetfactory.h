// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QSizeF>
#include <QString>

class BaseControlV1;
class BaseRoomV1;
class EBaseWidget;
class ExtIconButton;
class QGraphicsWidget;
class QGraphicsItem;

// Creates the plan widget of a control record or a sub-room, names it after the record's
// runtime id, places it in percent of the plan, and applies the record's looks. The same
// property setters re-apply a record after it was edited.
namespace ExtWidgetFactory {

// The picture of a working-folder file by the image-name rule: "none" gives no picture, an empty
// name the resource picture `emptyFallback`, any other name the file (or the missing-image
// picture).
QImage imageForName(const QString &name,
                    const QString &emptyFallback = QStringLiteral("graphics.png"));

// The widget of a control record, as a child of `plan`; null for a missing record or plan, or a
// kind without a widget.
EBaseWidget *createWidget(BaseControlV1 *control, QGraphicsItem *plan);
// The link icon of a floor or room on its parent's plan; its "roomName" property holds the
// page name it leads to.
ExtIconButton *createRoomIcon(BaseRoomV1 *room, QGraphicsItem *plan);

// Re-applies every visual attribute of the record to its widget; false if they do not match.
bool applyProperties(EBaseWidget *widget, BaseControlV1 *control);
void applyRoomProperties(ExtIconButton *icon, BaseRoomV1 *room);

// Looks the widget kinds share: the panel's button font (registry entry 6), with a pixel size
// when one is given, and a weight; a colour by name with a fallback for names that are none;
// a text alignment value as flags; a record size that is never empty; the caption, picture and
// size of an icon button.
QFont buttonFont(int pixelSize = 0);
QFont textFont(int pixelSize, int weight);
QColor colorOf(const QString &name, const QColor &fallback);
Qt::Alignment alignmentOf(int textAlign);
QSizeF sizeOf(int width, int height);
void applyIconButton(ExtIconButton *icon, const BaseControlV1 *control, const QString &image);

// Placement in percent of the plan and back.
// Narrows a plan icon's overflowing caption to what its place leaves inside the plan.
void fitCaption(QGraphicsWidget *widget, const QSizeF &planSize);
QPointF toPixels(double posX, double posY, const QSizeF &planSize);
QPointF toPercent(const QPointF &pos, const QSizeF &planSize);
QSizeF planSize(const QGraphicsItem *plan);

} // namespace ExtWidgetFactory
