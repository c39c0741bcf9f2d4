// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "extwidgetkinds.h"

#include "extavwidget.h"
#include "extboolcontrol.h"
#include "extbytebutton.h"
#include "extbytecontrol.h"
#include "extheatwidget.h"
#include "exticonbutton.h"
#include "extlightwidget.h"
#include "extmjpegwidget.h"
#include "extsensorwidget.h"
#include "extslidercontrol.h"
#include "extswitchwidget.h"
#include "exttextwidget.h"
#include "exttextwriterwidget.h"
#include "extweatherwidget.h"

namespace ExtWidgetKinds {

const QVector<const ExtWidgetKind *> &all()
{
    // Each widget class says which kinds it shows; they are asked once, here, by name, so that
    // no registration depends on a static initialiser the linker may drop.
    static const QVector<ExtWidgetKind> entries =
        ExtSwitchWidget::widgetKinds() + ExtSensorWidget::widgetKinds() +
        ExtTextWidget::widgetKinds() + ExtIconButton::widgetKinds() +
        ExtWeatherWidget::widgetKinds() + ExtMjpegWidget::widgetKinds() +
        ExtAVWidget::widgetKinds() + ExtBoolControl::widgetKinds() + ExtByteControl::widgetKinds() +
        ExtHeatWidget::widgetKinds() + ExtLightWidget::widgetKinds() +
        ExtByteButton::widgetKinds() + ExtTextWriterWidget::widgetKinds() +
        ExtSliderControl::widgetKinds();
    static const QVector<const ExtWidgetKind *> kinds = [] {
        QVector<const ExtWidgetKind *> list;
        for (const ExtWidgetKind &entry : entries)
            list << &entry;
        return list;
    }();
    return kinds;
}

const ExtWidgetKind *byKind(int kind)
{
    for (const ExtWidgetKind *entry : all()) {
        if (entry->kind == kind)
            return entry;
    }
    return nullptr;
}

} // namespace ExtWidgetKinds
