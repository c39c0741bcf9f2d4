// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "projectreaderv1.h"

#include "basecontrolv1.h"
#include "controlconstants.h"
#include "controlkinds.h"
#include "fileorigin.h"
#include "floorstructv1.h"
#include "mainstructv1.h"
#include "modellogging.h"
#include "roomstructv1.h"
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

private:
    const NodeElement &m_element;
};

// An attribute's text by its type, with the file format's zero values for absent or malformed text.
QVariant readValue(const ControlAttribute &attribute, const NodeElement &element)
{
    const QVariant text = element.attribute(attribute.name);
    switch (attribute.type) {
    case ControlAttribute::Integer:
        return ProjectReaderV1::toInt(text);
    case ControlAttribute::Real:
        return ProjectReaderV1::toDouble(text);
    case ControlAttribute::Boolean:
        return ProjectReaderV1::toBool(text);
    case ControlAttribute::String:
    case ControlAttribute::Keyword:
        break;
    }
    const QString string = text.toString();
    if (string.isEmpty() && attribute.emptyValue.isValid())
        return attribute.emptyValue;
    return string;
}

// A record of the kind with its defaults, then every attribute it reads through its setter.
BaseControlV1 *readRecord(const ControlKind &kind, const NodeElement &element)
{
    BaseControlV1 *control = kind.create();
    for (const ControlAttribute &attribute : kind.attributes) {
        if (attribute.isRead())
            attribute.assign(*control, readValue(attribute, element));
    }
    return control;
}

// Remembers the element a page was read from and the values its attributes had then.
void keepOrigin(BaseRoomV1 *page, const XML::NodeElementPtr &element)
{
    auto origin = std::make_shared<FileOrigin>();
    origin->element = element;
    origin->values = PageAttribute::valuesOf(*page, page->kind() == BaseRoomV1::KindRoot);
    page->setFileOrigin(std::move(origin));
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
        auto root = std::make_unique<MainStructV1>();
        root->setSystemType(BaseRoomV1::TYPESYSTEM(systemTypeForFile(fileName)));
        if (QFileInfo::exists(path) && document.errorLine() > 0) {
            const QString text = QStringLiteral("not well-formed XML (%1): nothing of this file is "
                                                "shown")
                                     .arg(document.errorString());
            LoadReport::note(report, lcModel, fileName, document.errorLine(), text);
            root->setLoadProblem(fileName, document.errorLine(), text);
        } else {
            const QString text =
                QStringLiteral("cannot be read (%1): nothing of this file is shown")
                    .arg(document.errorString());
            LoadReport::note(report, lcModel, fileName, 0, text);
            root->setLoadProblem(fileName, 0, text);
        }
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
    keepOrigin(root.get(), rootElement);

    for (const XML::NodeElementPtr &child : rootElement->children()) {
        const QString tag = child->tagName();
        if (tag == QLatin1String(kTagGlobalScene)) {
            root->addScene(Attributes(*child).str(QStringLiteral("textB")));
            root->fileOrigin()->scenes.append(child);
        } else if (tag == QLatin1String(kTagFloor)) {
            auto *floor = new FloorStructV1;
            floor->setSystemType(type);
            root->addFloor(floor);
            readPage(*child, floor);
            keepOrigin(floor, child);
            for (const XML::NodeElementPtr &floorChild : child->children()) {
                if (floorChild->tagName() == QLatin1String(kTagRoom)) {
                    auto *room = new RoomStructV1;
                    room->setSystemType(type);
                    floor->addRoom(room);
                    readPage(*floorChild, room);
                    keepOrigin(room, floorChild);
                    // Nesting stops at rooms: everything inside is a control or a scene.
                    for (const XML::NodeElementPtr &roomChild : floorChild->children())
                        readControl(roomChild, room, report, fileName);
                } else {
                    readControl(floorChild, floor, report, fileName);
                }
            }
        } else {
            readControl(child, root.get(), report, fileName);
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
    return readControl(element, XML::NodeElementPtr(), page, report, fileName);
}

int ProjectReaderV1::readControl(const XML::NodeElementPtr &element, BaseRoomV1 *page,
                                 LoadReport *report, const QString &fileName)
{
    Q_ASSERT(element);
    if (!element)
        return -1;
    return readControl(*element, element, page, report, fileName);
}

int ProjectReaderV1::readControl(const XML::NodeElement &element,
                                 const XML::NodeElementPtr &origin, BaseRoomV1 *page,
                                 LoadReport *report, const QString &fileName)
{
    Q_ASSERT(page);
    if (!page)
        return -1;
    const ControlKind *kind = ControlKinds::byTag(element.tagName());
    if (kind && kind->element == ControlKind::Element::Scene) {
        if (keepsScenes(page)) {
            page->addScene(Attributes(element).str(QStringLiteral("textB")));
            if (origin && page->fileOrigin())
                page->fileOrigin()->scenes.append(origin);
        }
        return -1;
    }
    if (kind && kind->element == ControlKind::Element::Recognised)
        return -1;
    BaseControlV1 *control = kind && kind->hasRecord() ? readRecord(*kind, element) : nullptr;
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
    if (origin) {
        auto kept = std::make_shared<FileOrigin>();
        kept->element = origin;
        for (const ControlAttribute &attribute : kind->attributes)
            kept->values << attribute.value(*control);
        control->setFileOrigin(std::move(kept));
    }
    return page->addControl(control);
}
