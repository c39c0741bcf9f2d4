// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "projectwriterv1.h"

#include "avcamcontrolv1.h"
#include "boolcontrolv1.h"
#include "btncontrolv1.h"
#include "bytecontrolv1.h"
#include "controlconstants.h"
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
#include "xmldocument.h"

#include <QDir>

using namespace ControlConstants;
using XML::NodeElement;
using XML::NodeElementPtr;

namespace {

// Values go in typed; the node tree turns them into text (booleans as "true"/"false", doubles in
// their shortest exact form).
class Element
{
public:
    explicit Element(NodeElement &node) : m_node(node) {}
    Element &set(const QString &name, const QVariant &value)
    {
        m_node.setAttribute(name, value);
        return *this;
    }

private:
    NodeElement &m_node;
};

void writePosition(Element &e, const BaseControlV1 *c)
{
    e.set(QStringLiteral("posX"), c->posX())
        .set(QStringLiteral("posY"), c->posY())
        .set(QStringLiteral("zIndex"), c->zIndex());
}

void writeCommon(Element &e, const BaseControlV1 *c)
{
    e.set(QStringLiteral("name"), c->name()).set(QStringLiteral("textB"), c->textB());
    writePosition(e, c);
}

void writeLamp(Element &e, const LightControlV1 *c)
{
    writeCommon(e, c);
    e.set(QStringLiteral("dimmer"), c->isDimmer())
        .set(QStringLiteral("isSlider"), c->isSlider())
        .set(QStringLiteral("imageOn"), c->imageOn())
        .set(QStringLiteral("imageOff"), c->imageOff())
        .set(QStringLiteral("sliderColor"), c->sliderColor())
        .set(QStringLiteral("lmpNumber"), c->lmpNumber());
}

void writeSwitch(Element &e, const SwitchControlV1 *c)
{
    writeCommon(e, c);
    e.set(QStringLiteral("imageOn"), c->imageOn())
        .set(QStringLiteral("imageScene"), c->imageScene())
        .set(QStringLiteral("swcNumber"), c->swcNumber());
}

void writeSensor(Element &e, const SensorControlV1 *c)
{
    writeCommon(e, c);
    e.set(QStringLiteral("imageOn"), c->imageOn())
        .set(QStringLiteral("imageOff"), c->imageOff())
        .set(QStringLiteral("imageDis"), c->imageDis())
        .set(QStringLiteral("snrNumber"), c->snrNumber());
}

void writeHeat(Element &e, const HeatControlV1 *c)
{
    writeCommon(e, c);
    e.set(QStringLiteral("width"), c->width())
        .set(QStringLiteral("height"), c->height())
        .set(QStringLiteral("swcNumber"), c->swcNumber())
        .set(QStringLiteral("fontColor"), c->fontColor())
        .set(QStringLiteral("titleColor"), c->titleColor())
        .set(QStringLiteral("fontSize"), c->fontSize());
}

void writeResbt(Element &e, const ResbtControlV1 *c)
{
    writeCommon(e, c);
    e.set(QStringLiteral("imageOn"), c->imageOn())
        .set(QStringLiteral("imageOff"), c->imageOff())
        .set(QStringLiteral("byteAddress"), c->byteAddress())
        .set(QStringLiteral("val"), c->val());
}

void writeBool(Element &e, const BoolControlV1 *c)
{
    writeCommon(e, c);
    e.set(QStringLiteral("imageOn"), c->imageOn())
        .set(QStringLiteral("imageOff"), c->imageOff())
        .set(QStringLiteral("byteAddress"), c->byteAddress())
        .set(QStringLiteral("bitNumber"), c->bitNumber())
        .set(QStringLiteral("isReadOnly"), c->isReadOnly());
}

void writeByte(Element &e, const ByteControlV1 *c)
{
    writeCommon(e, c);
    e.set(QStringLiteral("width"), c->width())
        .set(QStringLiteral("height"), c->height())
        .set(QStringLiteral("image"), c->image())
        .set(QStringLiteral("byteAddress"), c->byteAddress())
        .set(QStringLiteral("maximum"), c->maximum())
        .set(QStringLiteral("minimum"), c->minimum())
        .set(QStringLiteral("precisionView"), c->precisionView())
        .set(QStringLiteral("step"), c->step())
        .set(QStringLiteral("maxval"), c->maxval())
        .set(QStringLiteral("typeD"), c->typeDText())
        .set(QStringLiteral("isReadOnly"), c->isReadOnly())
        .set(QStringLiteral("isEditable"), c->isEditable())
        .set(QStringLiteral("fontColor"), c->fontColor())
        .set(QStringLiteral("titleColor"), c->titleColor())
        .set(QStringLiteral("showRound"), c->showRound())
        .set(QStringLiteral("fontSize"), c->fontSize());
}

void writeBtn(Element &e, const BtnControlV1 *c)
{
    writeCommon(e, c);
    e.set(QStringLiteral("width"), c->width())
        .set(QStringLiteral("height"), c->height())
        .set(QStringLiteral("image"), c->image())
        .set(QStringLiteral("byteAddress"), c->byteAddress())
        .set(QStringLiteral("bitNumber"), c->bitNumber());
}

void writeText(Element &e, const TextControlV1 *c)
{
    writeCommon(e, c);
    e.set(QStringLiteral("width"), c->width())
        .set(QStringLiteral("height"), c->height())
        .set(QStringLiteral("fontType"), c->fontType())
        .set(QStringLiteral("fontColor"), c->fontColor())
        .set(QStringLiteral("fontFamily"), c->fontFamily())
        .set(QStringLiteral("fontSize"), c->fontSize())
        .set(QStringLiteral("showRound"), c->showRound())
        .set(QStringLiteral("textAlign"), c->textAlignText());
}

void writeSystem(Element &e, const SystemControlV1 *c)
{
    e.set(QStringLiteral("fileName"), c->fileName()).set(QStringLiteral("textB"), c->textB());
    writePosition(e, c);
    e.set(QStringLiteral("systType"), c->systTypeText()).set(QStringLiteral("image"), c->image());
}

void writeWeather(Element &e, const WeatherControlV1 *c)
{
    e.set(QStringLiteral("cityName"), c->textB()).set(QStringLiteral("cityId"), c->cityId());
    writePosition(e, c);
}

void writeDynText(Element &e, const DynTextControlV1 *c)
{
    writeCommon(e, c);
    e.set(QStringLiteral("width"), c->width())
        .set(QStringLiteral("height"), c->height())
        .set(QStringLiteral("fontType"), c->fontType())
        .set(QStringLiteral("fontColor"), c->fontColor())
        .set(QStringLiteral("fontFamily"), c->fontFamily())
        .set(QStringLiteral("fontSize"), c->fontSize())
        .set(QStringLiteral("showRound"), c->showRound())
        .set(QStringLiteral("byteAddress"), c->byteAddress())
        .set(QStringLiteral("textAlign"), c->textAlignText())
        .set(QStringLiteral("maximum"), c->maximum());
}

void writeCamera(Element &e, const CameraControlV1 *c)
{
    e.set(QStringLiteral("camname"), c->textB()).set(QStringLiteral("ipaddress"), c->ipaddress());
    writePosition(e, c);
    e.set(QStringLiteral("width"), c->width())
        .set(QStringLiteral("height"), c->height())
        .set(QStringLiteral("showptz"), c->showptz())
        .set(QStringLiteral("port"), c->port())
        .set(QStringLiteral("initial"), c->initial())
        .set(QStringLiteral("ptzMoveLeft"), c->ptzMoveLeft())
        .set(QStringLiteral("ptzMoveRight"), c->ptzMoveRight())
        .set(QStringLiteral("ptzMoveUp"), c->ptzMoveUp())
        .set(QStringLiteral("ptzMoveDown"), c->ptzMoveDown())
        .set(QStringLiteral("ptzMoveHome"), c->ptzMoveHome())
        .set(QStringLiteral("ptzZoomIn"), c->ptzZoomIn())
        .set(QStringLiteral("ptzZoomOut"), c->ptzZoomOut())
        .set(QStringLiteral("login"), c->login())
        .set(QStringLiteral("password"), c->password())
        .set(QStringLiteral("fps"), c->fps())
        .set(QStringLiteral("showRound"), c->showRound());
}

void writeTextWrite(Element &e, const TextWriteControlV1 *c)
{
    writeCommon(e, c);
    e.set(QStringLiteral("width"), c->width())
        .set(QStringLiteral("height"), c->height())
        .set(QStringLiteral("byteAddress"), c->byteAddress())
        .set(QStringLiteral("maximum"), c->maximum())
        .set(QStringLiteral("fontColor"), c->fontColor())
        .set(QStringLiteral("showRound"), c->showRound())
        .set(QStringLiteral("fontSize"), c->fontSize());
}

void writeSlider(Element &e, const SliderControlV1 *c)
{
    writeCommon(e, c);
    e.set(QStringLiteral("width"), c->width())
        .set(QStringLiteral("height"), c->height())
        .set(QStringLiteral("byteAddress"), c->byteAddress())
        .set(QStringLiteral("maximum"), c->maximum())
        .set(QStringLiteral("minimum"), c->minimum())
        .set(QStringLiteral("precisionView"), c->precisionView())
        .set(QStringLiteral("step"), c->step())
        .set(QStringLiteral("maxval"), c->maxval())
        .set(QStringLiteral("sliderColor"), c->sliderColor())
        .set(QStringLiteral("typeD"), c->typeDText())
        .set(QStringLiteral("showRound"), c->showRound());
}

NodeElementPtr buildPage(const QString &tag, const BaseRoomV1 *page)
{
    const NodeElementPtr node = NodeElement::create(tag);
    Element e(*node);
    e.set(QStringLiteral("name"), page->name())
        .set(QStringLiteral("textB"), page->textB())
        .set(QStringLiteral("fontColor"), page->fontColor())
        .set(QStringLiteral("image"), page->image())
        .set(QStringLiteral("showScenes"), page->showScenes())
        .set(QStringLiteral("drawRect"), page->drawRect())
        .set(QStringLiteral("pageID"), page->pageID())
        .set(QStringLiteral("posX"), page->posX())
        .set(QStringLiteral("posY"), page->posY())
        .set(QStringLiteral("zIndex"), page->zIndex())
        .set(QStringLiteral("width"), page->width())
        .set(QStringLiteral("height"), page->height())
        .set(QStringLiteral("cont_image"), page->contImage());
    return node;
}

void appendScenes(const NodeElementPtr &parent, const QString &tag, const QStringList &scenes)
{
    for (const QString &caption : scenes)
        parent->appendChild(tag)->setAttribute(QStringLiteral("textB"), caption);
}

void appendControls(const NodeElementPtr &parent, const BaseRoomV1 *page)
{
    for (const BaseControlV1 *control : page->controls()) {
        if (control->isDeleted())
            continue;
        if (NodeElementPtr element = ProjectWriterV1::buildControl(control))
            parent->children().append(element);
    }
}

} // namespace

NodeElementPtr ProjectWriterV1::buildControl(const BaseControlV1 *control)
{
    Q_ASSERT(control);
    if (!control)
        return NodeElementPtr();
    const int kind = control->kind();
    if (kind == KindBase || kind == KindDynamic)
        return NodeElementPtr();
    const NodeElementPtr node = NodeElement::create(tagForKind(kind));
    Element e(*node);
    switch (kind) {
    case KindLight:
        writeLamp(e, static_cast<const LightControlV1 *>(control));
        break;
    case KindSwitch:
        writeSwitch(e, static_cast<const SwitchControlV1 *>(control));
        break;
    case KindSensor:
        writeSensor(e, static_cast<const SensorControlV1 *>(control));
        break;
    case KindHeat:
        writeHeat(e, static_cast<const HeatControlV1 *>(control));
        break;
    case KindResbt:
        writeResbt(e, static_cast<const ResbtControlV1 *>(control));
        break;
    case KindBool:
        writeBool(e, static_cast<const BoolControlV1 *>(control));
        break;
    case KindByte:
        writeByte(e, static_cast<const ByteControlV1 *>(control));
        break;
    case KindBtn:
        writeBtn(e, static_cast<const BtnControlV1 *>(control));
        break;
    case KindText:
        writeText(e, static_cast<const TextControlV1 *>(control));
        break;
    case KindSystem:
        writeSystem(e, static_cast<const SystemControlV1 *>(control));
        break;
    case KindWeather:
        writeWeather(e, static_cast<const WeatherControlV1 *>(control));
        break;
    case KindDynText:
        writeDynText(e, static_cast<const DynTextControlV1 *>(control));
        break;
    case KindIpCam:
    case KindAVCam:
        writeCamera(e, static_cast<const CameraControlV1 *>(control));
        break;
    case KindTextWrite:
        writeTextWrite(e, static_cast<const TextWriteControlV1 *>(control));
        break;
    case KindHSlider:
    case KindVSlider:
        writeSlider(e, static_cast<const SliderControlV1 *>(control));
        break;
    default:
        return NodeElementPtr();
    }
    return node;
}

NodeElementPtr ProjectWriterV1::buildTree(const MainStructV1 *root)
{
    Q_ASSERT(root);
    if (!root)
        return NodeElementPtr();
    const NodeElementPtr node = NodeElement::create(QLatin1String(kTagSubsystems));
    Element e(*node);
    e.set(QStringLiteral("showScenes"), root->showScenes())
        .set(QStringLiteral("image"), root->image())
        .set(QStringLiteral("name"), root->name())
        .set(QStringLiteral("textB"), root->textB())
        .set(QStringLiteral("fontColor"), root->fontColor())
        .set(QStringLiteral("pageID"), root->pageID());
    // Child order is part of the format: scenes, then controls, then sub-pages.
    appendScenes(node, QLatin1String(kTagGlobalScene), root->scenes());
    appendControls(node, root);
    for (const FloorStructV1 *floor : root->floors()) {
        if (floor->isDeleted())
            continue;
        const NodeElementPtr floorNode = buildPage(QLatin1String(kTagFloor), floor);
        appendScenes(floorNode, QLatin1String(kTagScene), floor->scenes());
        appendControls(floorNode, floor);
        for (const RoomStructV1 *room : floor->rooms()) {
            if (room->isDeleted())
                continue;
            const NodeElementPtr roomNode = buildPage(QLatin1String(kTagRoom), room);
            appendScenes(roomNode, QLatin1String(kTagScene), room->scenes());
            appendControls(roomNode, room);
            floorNode->children().append(roomNode);
        }
        node->children().append(floorNode);
    }
    return node;
}

bool ProjectWriterV1::writeSubsystem(const MainStructV1 *root, const QString &folder,
                                     const QString &fileName)
{
    if (!root || fileName.isEmpty())
        return false;
    return XmlDocument::save(folder + QDir::separator() + fileName, buildTree(root));
}
