// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "modeldump.h"

#include "avcamcontrolv1.h"
#include "boolcontrolv1.h"
#include "btncontrolv1.h"
#include "bytecontrolv1.h"
#include "dyntextcontrolv1.h"
#include "floorstructv1.h"
#include "heatcontrolv1.h"
#include "hslidercontrolv1.h"
#include "ipcamcontrolv1.h"
#include "lightcontrolv1.h"
#include "mainstructv1.h"
#include "resbtcontrolv1.h"
#include "roomstructv1.h"
#include "sensorcontrolv1.h"
#include "switchcontrolv1.h"
#include "systemcontrolv1.h"
#include "textcontrolv1.h"
#include "textwritecontrolv1.h"
#include "vslidercontrolv1.h"
#include "weathercontrolv1.h"

namespace ModelDump {

namespace {

void dynamic(QVariantMap &m, const DynamicControlV1 *c)
{
    m[QStringLiteral("byteAddress")] = c->byteAddress();
    m[QStringLiteral("typeD")] = c->typeD();
    m[QStringLiteral("dataLength")] = c->dataLength();
    m[QStringLiteral("fetchLength")] = c->fetchLength();
    m[QStringLiteral("oddOffset")] = c->oddOffset();
}

void camera(QVariantMap &m, const CameraControlV1 *c)
{
    m[QStringLiteral("ipaddress")] = c->ipaddress();
    m[QStringLiteral("port")] = c->port();
    m[QStringLiteral("initial")] = c->initial();
    m[QStringLiteral("ptzMoveLeft")] = c->ptzMoveLeft();
    m[QStringLiteral("ptzMoveRight")] = c->ptzMoveRight();
    m[QStringLiteral("ptzMoveUp")] = c->ptzMoveUp();
    m[QStringLiteral("ptzMoveDown")] = c->ptzMoveDown();
    m[QStringLiteral("ptzMoveHome")] = c->ptzMoveHome();
    m[QStringLiteral("ptzZoomIn")] = c->ptzZoomIn();
    m[QStringLiteral("ptzZoomOut")] = c->ptzZoomOut();
    m[QStringLiteral("login")] = c->login();
    m[QStringLiteral("password")] = c->password();
    m[QStringLiteral("width")] = c->width();
    m[QStringLiteral("height")] = c->height();
    m[QStringLiteral("fps")] = c->fps();
    m[QStringLiteral("showptz")] = c->showptz();
    m[QStringLiteral("showRound")] = c->showRound();
}

void slider(QVariantMap &m, const SliderControlV1 *c)
{
    m[QStringLiteral("showRound")] = c->showRound();
    m[QStringLiteral("maximum")] = c->maximum();
    m[QStringLiteral("minimum")] = c->minimum();
    m[QStringLiteral("precisionView")] = c->precisionView();
    m[QStringLiteral("maxval")] = c->maxval();
    m[QStringLiteral("width")] = c->width();
    m[QStringLiteral("height")] = c->height();
    m[QStringLiteral("step")] = c->step();
    m[QStringLiteral("sliderColor")] = c->sliderColor();
}

} // namespace

QVariantMap control(const BaseControlV1 *c)
{
    QVariantMap m;
    m[QStringLiteral("kind")] = c->kind();
    m[QStringLiteral("isReadOnly")] = c->isReadOnly();
    m[QStringLiteral("isEditable")] = c->isEditable();
    m[QStringLiteral("posX")] = c->posX();
    m[QStringLiteral("posY")] = c->posY();
    m[QStringLiteral("zIndex")] = c->zIndex();
    m[QStringLiteral("name")] = c->name();
    m[QStringLiteral("textB")] = c->textB();
    if (auto *d = dynamic_cast<const DynamicControlV1 *>(c))
        dynamic(m, d);
    if (auto *x = dynamic_cast<const SwitchControlV1 *>(c)) {
        m[QStringLiteral("imageOn")] = x->imageOn();
        m[QStringLiteral("imageScene")] = x->imageScene();
        m[QStringLiteral("swcNumber")] = x->swcNumber();
    } else if (auto *x = dynamic_cast<const SensorControlV1 *>(c)) {
        m[QStringLiteral("imageOn")] = x->imageOn();
        m[QStringLiteral("imageOff")] = x->imageOff();
        m[QStringLiteral("imageDis")] = x->imageDis();
        m[QStringLiteral("snrNumber")] = x->snrNumber();
    } else if (auto *x = dynamic_cast<const TextControlV1 *>(c)) {
        m[QStringLiteral("fontColor")] = x->fontColor();
        m[QStringLiteral("fontFamily")] = x->fontFamily();
        m[QStringLiteral("width")] = x->width();
        m[QStringLiteral("height")] = x->height();
        m[QStringLiteral("fontSize")] = x->fontSize();
        m[QStringLiteral("showRound")] = x->showRound();
        m[QStringLiteral("fontType")] = x->fontType();
        m[QStringLiteral("textAlign")] = x->textAlign();
    } else if (auto *x = dynamic_cast<const SystemControlV1 *>(c)) {
        m[QStringLiteral("fileName")] = x->fileName();
        m[QStringLiteral("image")] = x->image();
        m[QStringLiteral("systType")] = int(x->systType());
    } else if (auto *x = dynamic_cast<const WeatherControlV1 *>(c)) {
        m[QStringLiteral("cityId")] = x->cityId();
    } else if (auto *x = dynamic_cast<const CameraControlV1 *>(c)) {
        camera(m, x);
    } else if (auto *x = dynamic_cast<const BoolControlV1 *>(c)) {
        m[QStringLiteral("imageOn")] = x->imageOn();
        m[QStringLiteral("imageOff")] = x->imageOff();
        m[QStringLiteral("bitNumber")] = x->bitNumber();
    } else if (auto *x = dynamic_cast<const BtnControlV1 *>(c)) {
        m[QStringLiteral("image")] = x->image();
        m[QStringLiteral("width")] = x->width();
        m[QStringLiteral("height")] = x->height();
        m[QStringLiteral("bitNumber")] = x->bitNumber();
    } else if (auto *x = dynamic_cast<const ByteControlV1 *>(c)) {
        m[QStringLiteral("image")] = x->image();
        m[QStringLiteral("fontColor")] = x->fontColor();
        m[QStringLiteral("titleColor")] = x->titleColor();
        m[QStringLiteral("maximum")] = x->maximum();
        m[QStringLiteral("minimum")] = x->minimum();
        m[QStringLiteral("precisionView")] = x->precisionView();
        m[QStringLiteral("maxval")] = x->maxval();
        m[QStringLiteral("width")] = x->width();
        m[QStringLiteral("height")] = x->height();
        m[QStringLiteral("fontSize")] = x->fontSize();
        m[QStringLiteral("step")] = x->step();
        m[QStringLiteral("showRound")] = x->showRound();
    } else if (auto *x = dynamic_cast<const HeatControlV1 *>(c)) {
        m[QStringLiteral("fontColor")] = x->fontColor();
        m[QStringLiteral("titleColor")] = x->titleColor();
        m[QStringLiteral("swcNumber")] = x->swcNumber();
        m[QStringLiteral("fontSize")] = x->fontSize();
        m[QStringLiteral("width")] = x->width();
        m[QStringLiteral("height")] = x->height();
    } else if (auto *x = dynamic_cast<const LightControlV1 *>(c)) {
        m[QStringLiteral("imageOn")] = x->imageOn();
        m[QStringLiteral("imageOff")] = x->imageOff();
        m[QStringLiteral("sliderColor")] = x->sliderColor();
        m[QStringLiteral("lmpNumber")] = x->lmpNumber();
        m[QStringLiteral("dimmer")] = x->isDimmer();
        m[QStringLiteral("isSlider")] = x->isSlider();
    } else if (auto *x = dynamic_cast<const ResbtControlV1 *>(c)) {
        m[QStringLiteral("imageOn")] = x->imageOn();
        m[QStringLiteral("imageOff")] = x->imageOff();
        m[QStringLiteral("val")] = x->val();
    } else if (auto *x = dynamic_cast<const DynTextControlV1 *>(c)) {
        m[QStringLiteral("fontFamily")] = x->fontFamily();
        m[QStringLiteral("fontColor")] = x->fontColor();
        m[QStringLiteral("width")] = x->width();
        m[QStringLiteral("height")] = x->height();
        m[QStringLiteral("fontSize")] = x->fontSize();
        m[QStringLiteral("showRound")] = x->showRound();
        m[QStringLiteral("fontType")] = x->fontType();
        m[QStringLiteral("textAlign")] = x->textAlign();
    } else if (auto *x = dynamic_cast<const TextWriteControlV1 *>(c)) {
        m[QStringLiteral("fontColor")] = x->fontColor();
        m[QStringLiteral("width")] = x->width();
        m[QStringLiteral("height")] = x->height();
        m[QStringLiteral("fontSize")] = x->fontSize();
        m[QStringLiteral("maximum")] = x->maximum();
        m[QStringLiteral("showRound")] = x->showRound();
    } else if (auto *x = dynamic_cast<const SliderControlV1 *>(c)) {
        slider(m, x);
    }
    return m;
}

QVariantMap page(const BaseRoomV1 *p)
{
    QVariantMap m;
    m[QStringLiteral("kind")] = p->kind();
    m[QStringLiteral("showScenes")] = p->showScenes();
    m[QStringLiteral("drawRect")] = p->drawRect();
    m[QStringLiteral("pageID")] = p->pageID();
    m[QStringLiteral("width")] = p->width();
    m[QStringLiteral("height")] = p->height();
    m[QStringLiteral("posX")] = p->posX();
    m[QStringLiteral("posY")] = p->posY();
    m[QStringLiteral("zIndex")] = p->zIndex();
    m[QStringLiteral("image")] = p->image();
    m[QStringLiteral("name")] = p->name();
    m[QStringLiteral("textB")] = p->textB();
    m[QStringLiteral("fontColor")] = p->fontColor();
    m[QStringLiteral("cont_image")] = p->contImage();
    m[QStringLiteral("systemType")] = int(p->systemType());
    m[QStringLiteral("scenes")] = p->scenes();
    m[QStringLiteral("controlCount")] = p->controlCount();
    if (auto *root = dynamic_cast<const MainStructV1 *>(p)) {
        m[QStringLiteral("fileName")] = root->fileName();
        m[QStringLiteral("floorCount")] = root->floors().size();
    }
    if (auto *floor = dynamic_cast<const FloorStructV1 *>(p))
        m[QStringLiteral("roomCount")] = floor->rooms().size();
    return m;
}

namespace {

void compareMaps(const QString &path, const QVariantMap &a, const QVariantMap &b, QStringList &out)
{
    QStringList keys = a.keys() + b.keys();
    keys.removeDuplicates();
    for (const QString &key : qAsConst(keys)) {
        if (a.value(key) != b.value(key)) {
            out << QStringLiteral("%1: %2: %3 != %4")
                       .arg(path, key, a.value(key).toString(), b.value(key).toString());
        }
    }
}

void comparePages(const QString &path, const BaseRoomV1 *a, const BaseRoomV1 *b, QStringList &out)
{
    compareMaps(path, page(a), page(b), out);
    const int n = qMin(a->controlCount(), b->controlCount());
    for (int i = 0; i < n; ++i) {
        compareMaps(path + QStringLiteral("/control %1").arg(i), control(a->controls().at(i)),
                    control(b->controls().at(i)), out);
    }
}

} // namespace

QStringList compareTrees(const MainStructV1 *a, const MainStructV1 *b)
{
    QStringList out;
    comparePages(QStringLiteral("root"), a, b, out);
    const int floors = qMin(a->floors().size(), b->floors().size());
    for (int f = 0; f < floors; ++f) {
        const FloorStructV1 *fa = a->floors().at(f);
        const FloorStructV1 *fb = b->floors().at(f);
        const QString fpath = QStringLiteral("floor %1").arg(f);
        comparePages(fpath, fa, fb, out);
        const int rooms = qMin(fa->rooms().size(), fb->rooms().size());
        for (int r = 0; r < rooms; ++r) {
            comparePages(fpath + QStringLiteral("/room %1").arg(r), fa->rooms().at(r),
                         fb->rooms().at(r), out);
        }
    }
    return out;
}

} // namespace ModelDump
