// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "projectreaderv1.h"

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
#include "modellogging.h"
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
#include <cmath>

using namespace ControlConstants;
using XML::NodeElement;

namespace {

// Typed access to the attributes of one element, with the file format's zero values.
class Attributes
{
public:
    explicit Attributes(const NodeElement &element) : m_element(element) {}
    QString str(const QString &name) const { return m_element.attribute(name).toString(); }
    int integer(const QString &name) const
    {
        return ProjectReaderV1::toInt(m_element.attribute(name));
    }
    double real(const QString &name) const
    {
        return ProjectReaderV1::toDouble(m_element.attribute(name));
    }
    bool boolean(const QString &name) const
    {
        return ProjectReaderV1::toBool(m_element.attribute(name));
    }
    // An empty font family means the default one.
    QString fontFamily() const
    {
        const QString family = str(QStringLiteral("fontFamily"));
        return family.isEmpty() ? QStringLiteral("Arial") : family;
    }

private:
    const NodeElement &m_element;
};

void readPosition(const Attributes &a, BaseControlV1 *control)
{
    control->setPosX(a.real(QStringLiteral("posX")));
    control->setPosY(a.real(QStringLiteral("posY")));
    control->setZIndex(a.real(QStringLiteral("zIndex")));
}

BaseControlV1 *readLamp(const Attributes &a)
{
    auto *c = new LightControlV1;
    c->setName(a.str(QStringLiteral("name")));
    c->setTextB(a.str(QStringLiteral("textB")));
    c->setImageOff(a.str(QStringLiteral("imageOff")));
    c->setImageOn(a.str(QStringLiteral("imageOn")));
    c->setSliderColor(a.str(QStringLiteral("sliderColor")));
    c->setLmpNumber(a.integer(QStringLiteral("lmpNumber")));
    c->setDimmer(a.boolean(QStringLiteral("dimmer")));
    c->setSlider(a.boolean(QStringLiteral("isSlider")));
    readPosition(a, c);
    return c;
}

BaseControlV1 *readSwitch(const Attributes &a)
{
    auto *c = new SwitchControlV1;
    c->setName(a.str(QStringLiteral("name")));
    c->setTextB(a.str(QStringLiteral("textB")));
    c->setImageOn(a.str(QStringLiteral("imageOn")));
    c->setImageScene(a.str(QStringLiteral("imageScene")));
    c->setSwcNumber(a.integer(QStringLiteral("swcNumber")));
    readPosition(a, c);
    return c;
}

BaseControlV1 *readSensor(const Attributes &a)
{
    auto *c = new SensorControlV1;
    c->setName(a.str(QStringLiteral("name")));
    c->setTextB(a.str(QStringLiteral("textB")));
    c->setImageOn(a.str(QStringLiteral("imageOn")));
    c->setImageOff(a.str(QStringLiteral("imageOff")));
    c->setImageDis(a.str(QStringLiteral("imageDis")));
    c->setSnrNumber(a.integer(QStringLiteral("snrNumber")));
    readPosition(a, c);
    return c;
}

BaseControlV1 *readHeat(const Attributes &a)
{
    auto *c = new HeatControlV1;
    c->setName(a.str(QStringLiteral("name")));
    c->setTextB(a.str(QStringLiteral("textB")));
    c->setFontColor(a.str(QStringLiteral("fontColor")));
    c->setTitleColor(a.str(QStringLiteral("titleColor")));
    c->setSwcNumber(a.integer(QStringLiteral("swcNumber")));
    c->setFontSize(a.integer(QStringLiteral("fontSize")));
    c->setWidth(a.integer(QStringLiteral("width")));
    c->setHeight(a.integer(QStringLiteral("height")));
    readPosition(a, c);
    return c;
}

BaseControlV1 *readResbt(const Attributes &a)
{
    auto *c = new ResbtControlV1;
    c->setName(a.str(QStringLiteral("name")));
    c->setTextB(a.str(QStringLiteral("textB")));
    c->setImageOn(a.str(QStringLiteral("imageOn")));
    c->setImageOff(a.str(QStringLiteral("imageOff")));
    c->setByteAddress(a.integer(QStringLiteral("byteAddress")));
    c->setVal(a.integer(QStringLiteral("val")));
    readPosition(a, c);
    return c;
}

BaseControlV1 *readBool(const Attributes &a)
{
    auto *c = new BoolControlV1;
    c->setName(a.str(QStringLiteral("name")));
    c->setTextB(a.str(QStringLiteral("textB")));
    c->setImageOn(a.str(QStringLiteral("imageOn")));
    c->setImageOff(a.str(QStringLiteral("imageOff")));
    c->setReadOnly(a.boolean(QStringLiteral("isReadOnly")));
    c->setByteAddress(a.integer(QStringLiteral("byteAddress")));
    c->setBitNumber(a.integer(QStringLiteral("bitNumber")));
    readPosition(a, c);
    return c;
}

BaseControlV1 *readByte(const Attributes &a)
{
    auto *c = new ByteControlV1;
    c->setName(a.str(QStringLiteral("name")));
    c->setTextB(a.str(QStringLiteral("textB")));
    c->setImage(a.str(QStringLiteral("image")));
    c->setTypeD(a.str(QStringLiteral("typeD")));
    c->setFontColor(a.str(QStringLiteral("fontColor")));
    c->setTitleColor(a.str(QStringLiteral("titleColor")));
    c->setMaximum(a.integer(QStringLiteral("maximum")));
    c->setMinimum(a.integer(QStringLiteral("minimum")));
    c->setPrecisionView(a.integer(QStringLiteral("precisionView")));
    c->setMaxval(a.integer(QStringLiteral("maxval")));
    c->setByteAddress(a.integer(QStringLiteral("byteAddress")));
    c->setFontSize(a.integer(QStringLiteral("fontSize")));
    c->setWidth(a.integer(QStringLiteral("width")));
    c->setHeight(a.integer(QStringLiteral("height")));
    c->setStep(a.real(QStringLiteral("step")));
    readPosition(a, c);
    c->setReadOnly(a.boolean(QStringLiteral("isReadOnly")));
    c->setShowRound(a.boolean(QStringLiteral("showRound")));
    c->setEditable(a.boolean(QStringLiteral("isEditable")));
    return c;
}

BaseControlV1 *readBtn(const Attributes &a)
{
    auto *c = new BtnControlV1;
    c->setName(a.str(QStringLiteral("name")));
    c->setTextB(a.str(QStringLiteral("textB")));
    c->setImage(a.str(QStringLiteral("image")));
    c->setByteAddress(a.integer(QStringLiteral("byteAddress")));
    c->setBitNumber(a.integer(QStringLiteral("bitNumber")));
    c->setWidth(a.integer(QStringLiteral("width")));
    c->setHeight(a.integer(QStringLiteral("height")));
    readPosition(a, c);
    return c;
}

BaseControlV1 *readText(const Attributes &a)
{
    auto *c = new TextControlV1;
    c->setFontFamily(a.fontFamily());
    c->setName(a.str(QStringLiteral("name")));
    c->setTextB(a.str(QStringLiteral("textB")));
    c->setFontType(a.integer(QStringLiteral("fontType")));
    c->setTextAlign(a.str(QStringLiteral("textAlign")));
    c->setFontColor(a.str(QStringLiteral("fontColor")));
    c->setFontSize(a.integer(QStringLiteral("fontSize")));
    c->setWidth(a.integer(QStringLiteral("width")));
    c->setHeight(a.integer(QStringLiteral("height")));
    c->setShowRound(a.boolean(QStringLiteral("showRound")));
    readPosition(a, c);
    return c;
}

BaseControlV1 *readSystem(const Attributes &a)
{
    auto *c = new SystemControlV1;
    c->setName(a.str(QStringLiteral("name")));
    c->setTextB(a.str(QStringLiteral("textB")));
    c->setFileName(a.str(QStringLiteral("fileName")));
    c->setImage(a.str(QStringLiteral("image")));
    c->setSystType(a.str(QStringLiteral("systType")));
    readPosition(a, c);
    return c;
}

BaseControlV1 *readWeather(const Attributes &a)
{
    auto *c = new WeatherControlV1;
    c->setTextB(a.str(QStringLiteral("cityName")));
    c->setCityId(a.str(QStringLiteral("cityId")));
    readPosition(a, c);
    return c;
}

BaseControlV1 *readDynText(const Attributes &a)
{
    auto *c = new DynTextControlV1;
    c->setFontFamily(a.fontFamily());
    c->setName(a.str(QStringLiteral("name")));
    c->setTextB(a.str(QStringLiteral("textB")));
    c->setByteAddress(a.integer(QStringLiteral("byteAddress")));
    c->setFontType(a.integer(QStringLiteral("fontType")));
    c->setTextAlign(a.str(QStringLiteral("textAlign")));
    c->setFontColor(a.str(QStringLiteral("fontColor")));
    c->setShowRound(a.boolean(QStringLiteral("showRound")));
    c->setFontSize(a.integer(QStringLiteral("fontSize")));
    c->setWidth(a.integer(QStringLiteral("width")));
    c->setHeight(a.integer(QStringLiteral("height")));
    c->setMaximum(a.integer(QStringLiteral("maximum")));
    readPosition(a, c);
    return c;
}

void readCamera(const Attributes &a, CameraControlV1 *c)
{
    c->setName(a.str(QStringLiteral("name")));
    c->setTextB(a.str(QStringLiteral("camname")));
    c->setLogin(a.str(QStringLiteral("login")));
    c->setPassword(a.str(QStringLiteral("password")));
    c->setIpaddress(a.str(QStringLiteral("ipaddress")));
    c->setPort(a.str(QStringLiteral("port")));
    c->setInitial(a.str(QStringLiteral("initial")));
    c->setPtzMoveLeft(a.str(QStringLiteral("ptzMoveLeft")));
    c->setPtzMoveRight(a.str(QStringLiteral("ptzMoveRight")));
    c->setPtzMoveUp(a.str(QStringLiteral("ptzMoveUp")));
    c->setPtzMoveDown(a.str(QStringLiteral("ptzMoveDown")));
    c->setPtzMoveHome(a.str(QStringLiteral("ptzMoveHome")));
    c->setPtzZoomIn(a.str(QStringLiteral("ptzZoomIn")));
    c->setPtzZoomOut(a.str(QStringLiteral("ptzZoomOut")));
    c->setFps(a.integer(QStringLiteral("fps")));
    c->setWidth(a.integer(QStringLiteral("width")));
    c->setHeight(a.integer(QStringLiteral("height")));
    c->setShowRound(a.boolean(QStringLiteral("showRound")));
    c->setShowptz(a.boolean(QStringLiteral("showptz")));
    readPosition(a, c);
}

BaseControlV1 *readTextWrite(const Attributes &a)
{
    auto *c = new TextWriteControlV1;
    c->setName(a.str(QStringLiteral("name")));
    c->setTextB(a.str(QStringLiteral("textB")));
    c->setFontColor(a.str(QStringLiteral("fontColor")));
    c->setByteAddress(a.integer(QStringLiteral("byteAddress")));
    c->setMaximum(a.integer(QStringLiteral("maximum")));
    c->setFontSize(a.integer(QStringLiteral("fontSize")));
    c->setWidth(a.integer(QStringLiteral("width")));
    c->setHeight(a.integer(QStringLiteral("height")));
    c->setShowRound(a.boolean(QStringLiteral("showRound")));
    readPosition(a, c);
    return c;
}

void readSlider(const Attributes &a, SliderControlV1 *c)
{
    c->setName(a.str(QStringLiteral("name")));
    c->setTextB(a.str(QStringLiteral("textB")));
    c->setTypeD(a.str(QStringLiteral("typeD")));
    c->setSliderColor(a.str(QStringLiteral("sliderColor")));
    c->setMaximum(a.integer(QStringLiteral("maximum")));
    c->setMinimum(a.integer(QStringLiteral("minimum")));
    c->setPrecisionView(a.integer(QStringLiteral("precisionView")));
    c->setMaxval(a.integer(QStringLiteral("maxval")));
    c->setByteAddress(a.integer(QStringLiteral("byteAddress")));
    c->setWidth(a.integer(QStringLiteral("width")));
    c->setHeight(a.integer(QStringLiteral("height")));
    c->setShowRound(a.boolean(QStringLiteral("showRound")));
    c->setStep(a.real(QStringLiteral("step")));
    readPosition(a, c);
}

BaseControlV1 *readRecord(int kind, const Attributes &a)
{
    switch (kind) {
    case KindLight:
        return readLamp(a);
    case KindSwitch:
        return readSwitch(a);
    case KindSensor:
        return readSensor(a);
    case KindHeat:
        return readHeat(a);
    case KindResbt:
        return readResbt(a);
    case KindBool:
        return readBool(a);
    case KindByte:
        return readByte(a);
    case KindBtn:
        return readBtn(a);
    case KindText:
        return readText(a);
    case KindSystem:
        return readSystem(a);
    case KindWeather:
        return readWeather(a);
    case KindDynText:
        return readDynText(a);
    case KindIpCam: {
        auto *c = new IpCamControlV1;
        readCamera(a, c);
        return c;
    }
    case KindAVCam: {
        auto *c = new AVCamControlV1;
        readCamera(a, c);
        return c;
    }
    case KindTextWrite:
        return readTextWrite(a);
    case KindHSlider: {
        auto *c = new HSliderControlV1;
        readSlider(a, c);
        return c;
    }
    case KindVSlider: {
        auto *c = new VSliderControlV1;
        readSlider(a, c);
        return c;
    }
    default:
        return nullptr;
    }
}

bool keepsScenes(const BaseRoomV1 *page)
{
    return page->systemType() == BaseRoomV1::LightSystem ||
           page->systemType() == BaseRoomV1::HeatSystem;
}

QString describePage(const BaseRoomV1 *page)
{
    switch (page->kind()) {
    case BaseRoomV1::KindFloor:
        return QStringLiteral("floor \"%1\"").arg(page->name());
    case BaseRoomV1::KindRoom:
        return QStringLiteral("room \"%1\"").arg(page->name());
    default:
        return QStringLiteral("the root");
    }
}

} // namespace

int ProjectReaderV1::systemTypeForFile(const QString &fileName)
{
    if (fileName == QLatin1String(kMainFile))
        return BaseRoomV1::MainSystem;
    if (fileName == QLatin1String(kLightFile))
        return BaseRoomV1::LightSystem;
    if (fileName == QLatin1String(kHeatFile))
        return BaseRoomV1::HeatSystem;
    return BaseRoomV1::OtherSystem;
}

int ProjectReaderV1::toInt(const QVariant &value)
{
    if (value.type() == QVariant::Int)
        return value.toInt();
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok, 10);
    return ok ? number : 0;
}

double ProjectReaderV1::toDouble(const QVariant &value)
{
    bool ok = false;
    const double number = value.toString().trimmed().toDouble(&ok);
    // "nan" and "inf" parse, but no position or step can use them.
    return ok && std::isfinite(number) ? number : 0.0;
}

bool ProjectReaderV1::toBool(const QVariant &value)
{
    if (value.type() == QVariant::Bool)
        return value.toBool();
    const QString text = value.toString();
    return !(text.isEmpty() || text == QLatin1String("0") ||
             text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0);
}

std::unique_ptr<MainStructV1>
ProjectReaderV1::readSubsystem(const QString &folder, const QString &fileName, LoadReport *report)
{
    XmlDocument document;
    const QString path = folder + QDir::separator() + fileName;
    if (!document.load(path)) {
        if (QFileInfo::exists(path) && document.errorLine() > 0) {
            LoadReport::note(report, lcModel, fileName, document.errorLine(),
                             QStringLiteral("not well-formed XML (%1): nothing of this file is "
                                            "shown")
                                 .arg(document.errorString()));
        } else {
            LoadReport::note(report, lcModel, fileName, 0,
                             QStringLiteral("cannot be read (%1): nothing of this file is shown")
                                 .arg(document.errorString()));
        }
        auto root = std::make_unique<MainStructV1>();
        root->setSystemType(BaseRoomV1::TYPESYSTEM(systemTypeForFile(fileName)));
        return root;
    }
    return readSubsystem(document.root(), fileName, report);
}

std::unique_ptr<MainStructV1> ProjectReaderV1::readSubsystem(const XML::NodeElementPtr &rootElement,
                                                             const QString &fileName,
                                                             LoadReport *report)
{
    auto root = std::make_unique<MainStructV1>();
    const auto type = BaseRoomV1::TYPESYSTEM(systemTypeForFile(fileName));
    root->setSystemType(type);
    if (!rootElement || rootElement->tagName() != QLatin1String(kTagSubsystems)) {
        LoadReport::note(report, lcModel, fileName, rootElement ? rootElement->lineNumber() : 0,
                         QStringLiteral("root element is <%1>, not <subsystems>: nothing read")
                             .arg(rootElement ? rootElement->tagName() : QString()));
        return root;
    }
    const Attributes a(*rootElement);
    root->setName(a.str(QStringLiteral("name")));
    root->setTextB(a.str(QStringLiteral("textB")));
    root->setFontColor(a.str(QStringLiteral("fontColor")));
    root->setImage(a.str(QStringLiteral("image")));
    root->setPageID(a.integer(QStringLiteral("pageID")));
    root->setShowScenes(a.boolean(QStringLiteral("showScenes")));
    root->setFileName(fileName);

    for (const XML::NodeElementPtr &child : rootElement->children()) {
        const QString tag = child->tagName();
        if (tag == QLatin1String(kTagGlobalScene)) {
            root->addScene(Attributes(*child).str(QStringLiteral("textB")));
        } else if (tag == QLatin1String(kTagFloor)) {
            auto *floor = new FloorStructV1;
            floor->setSystemType(type);
            root->addFloor(floor);
            readPage(*child, floor);
            for (const XML::NodeElementPtr &floorChild : child->children()) {
                if (floorChild->tagName() == QLatin1String(kTagRoom)) {
                    auto *room = new RoomStructV1;
                    room->setSystemType(type);
                    floor->addRoom(room);
                    readPage(*floorChild, room);
                    // Nesting stops at rooms: everything inside is a control or a scene.
                    for (const XML::NodeElementPtr &roomChild : floorChild->children())
                        readControl(*roomChild, room, report, fileName);
                } else {
                    readControl(*floorChild, floor, report, fileName);
                }
            }
        } else {
            readControl(*child, root.get(), report, fileName);
        }
    }
    return root;
}

std::unique_ptr<MainStructV1> ProjectReaderV1::readSubsystem(const XML::NodeElementPtr &root,
                                                             const QString &fileName,
                                                             QStringList *problems)
{
    LoadReport report;
    auto tree = readSubsystem(root, fileName, problems ? &report : nullptr);
    if (problems)
        *problems += report.toStringList();
    return tree;
}

void ProjectReaderV1::readPage(const XML::NodeElement &element, BaseRoomV1 *page)
{
    Q_ASSERT(page);
    if (!page)
        return;
    const Attributes a(element);
    page->setName(a.str(QStringLiteral("name")));
    page->setTextB(a.str(QStringLiteral("textB")));
    page->setFontColor(a.str(QStringLiteral("fontColor")));
    page->setImage(a.str(QStringLiteral("image")));
    page->setPageID(a.integer(QStringLiteral("pageID")));
    page->setShowScenes(a.boolean(QStringLiteral("showScenes")));
    page->setDrawRect(a.boolean(QStringLiteral("drawRect")));
    page->setPosX(a.real(QStringLiteral("posX")));
    page->setPosY(a.real(QStringLiteral("posY")));
    // A page without zIndex keeps 1.0 (controls without one get 0).
    page->setZIndex(
        element.hasAttribute(QStringLiteral("zIndex")) ? a.real(QStringLiteral("zIndex")) : 1.0);
    page->setWidth(a.integer(QStringLiteral("width")));
    page->setHeight(a.integer(QStringLiteral("height")));
    page->setContImage(a.str(QStringLiteral("cont_image")));
}

int ProjectReaderV1::readControl(const XML::NodeElement &element, BaseRoomV1 *page,
                                 LoadReport *report, const QString &fileName)
{
    Q_ASSERT(page);
    if (!page)
        return -1;
    const int kind = kindForTag(element.tagName());
    if (kind == KindScene) {
        if (keepsScenes(page))
            page->addScene(Attributes(element).str(QStringLiteral("textB")));
        return -1;
    }
    if (kind == KindBase)
        return -1;
    BaseControlV1 *control = readRecord(kind, Attributes(element));
    if (!control) {
        const QString tag = element.tagName();
        const bool structural = tag == QLatin1String(kTagFloor) || tag == QLatin1String(kTagRoom) ||
                                tag == QLatin1String(kTagGlobalScene) ||
                                tag == QLatin1String(kTagSubsystems);
        LoadReport::note(
            report, lcModel, fileName, element.lineNumber(),
            QStringLiteral("%1 element <%2> in %3 ignored")
                .arg(structural ? QStringLiteral("misplaced") : QStringLiteral("unknown"), tag,
                     describePage(page)));
        return -1;
    }
    return page->addControl(control);
}
