// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "projectwriterv1.h"

#include "basecontrolv1.h"
#include "controlconstants.h"
#include "controlkinds.h"
#include "floorstructv1.h"
#include "mainstructv1.h"
#include "roomstructv1.h"
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
    const ControlKind *kind = ControlKinds::byKind(control->kind());
    if (!kind || !kind->hasRecord())
        return NodeElementPtr();
    // The attributes in the description's order: that order is the file's, and files written
    // from unchanged records must stay byte for byte the same.
    const NodeElementPtr node = NodeElement::create(kind->tag);
    for (const ControlAttribute &attribute : kind->attributes) {
        const QVariant value = attribute.value(*control);
        if (attribute.isWrittenWith(value))
            node->setAttribute(attribute.name, value);
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
