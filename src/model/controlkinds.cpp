// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "controlkinds.h"

#include "avcamcontrolv1.h"
#include "boolcontrolv1.h"
#include "btncontrolv1.h"
#include "bytecontrolv1.h"
#include "controlconstants.h"
#include "dyntextcontrolv1.h"
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

namespace {

// A scene caption of a page: an element code of the reader, not a record.
const ControlKind &sceneCaption()
{
    static const ControlKind kind = [] {
        ControlKind k;
        k.kind = ControlConstants::KindScene;
        k.tag = QLatin1String(ControlConstants::kTagScene);
        k.element = ControlKind::Element::Scene;
        k.attributes = {ControlAttributes::caption()};
        return k;
    }();
    return kind;
}

} // namespace

namespace ControlKinds {

const QVector<const ControlKind *> &all()
{
    static const QVector<const ControlKind *> kinds{
        &BaseControlV1::kindDescription(),    &sceneCaption(),
        &SwitchControlV1::kindDescription(),  &SensorControlV1::kindDescription(),
        &TextControlV1::kindDescription(),    &SystemControlV1::kindDescription(),
        &WeatherControlV1::kindDescription(), &IpCamControlV1::kindDescription(),
        &AVCamControlV1::kindDescription(),   &BoolControlV1::kindDescription(),
        &BtnControlV1::kindDescription(),     &ByteControlV1::kindDescription(),
        &DynamicControlV1::kindDescription(), &HeatControlV1::kindDescription(),
        &LightControlV1::kindDescription(),   &ResbtControlV1::kindDescription(),
        &DynTextControlV1::kindDescription(), &TextWriteControlV1::kindDescription(),
        &HSliderControlV1::kindDescription(), &VSliderControlV1::kindDescription(),
    };
    return kinds;
}

const ControlKind *byKind(int kind)
{
    for (const ControlKind *k : all()) {
        if (k->kind == kind)
            return k;
    }
    return nullptr;
}

const ControlKind *byTag(const QString &tag)
{
    if (tag.isEmpty())
        return nullptr;
    for (const ControlKind *k : all()) {
        if (k->tag == tag)
            return k;
    }
    return nullptr;
}

} // namespace ControlKinds

namespace ControlConstants {

QString tagForKind(int kind)
{
    const ControlKind *k = ControlKinds::byKind(kind);
    return k ? k->tag : QString();
}

int kindForTag(const QString &tag)
{
    const ControlKind *k = ControlKinds::byTag(tag);
    return k ? k->kind : 0;
}

} // namespace ControlConstants

// Switches and thermostats both call theirs swcNumber, but they number different things.
int ControlKinds::controllerNumber(const BaseControlV1 *control)
{
    switch (control->kind()) {
    case ControlConstants::KindLight:
        return static_cast<const LightControlV1 *>(control)->lmpNumber();
    case ControlConstants::KindSwitch:
        return static_cast<const SwitchControlV1 *>(control)->swcNumber();
    case ControlConstants::KindSensor:
        return static_cast<const SensorControlV1 *>(control)->snrNumber();
    case ControlConstants::KindHeat:
        return static_cast<const HeatControlV1 *>(control)->swcNumber();
    default:
        return -1;
    }
}
