// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "projectwriterv1.h"

#include "basecontrolv1.h"
#include "controlconstants.h"
#include "controlkinds.h"
#include "fileorigin.h"
#include "floorstructv1.h"
#include "mainstructv1.h"
#include "roomstructv1.h"
#include "xmldocument.h"

#include <QDir>
#include <QHash>
#include <QSet>

#include <algorithm>

using namespace ControlConstants;
using XML::NodeElement;
using XML::NodeElementPtr;

namespace {

// A new element for a page or control, or, for one that was read from a file, a copy of the
// element it was read from: other attributes in their order, unknown child elements, comments.
NodeElementPtr startFrom(const FileOrigin *origin, const QString &tag)
{
    const NodeElementPtr node = NodeElement::create(tag);
    if (origin && origin->element) {
        node->attributes() = origin->element->attributes();
        node->setComments(origin->element->comments());
        node->setTrailingComments(origin->element->trailingComments());
        node->children() = origin->element->children();
    }
    return node;
}

// Values go in typed; the node tree turns them into text (booleans as "true"/"false", doubles in
// their shortest exact form). An attribute whose value is the one read from the file keeps the
// file's text, or stays absent if the file had none.
void put(NodeElement &node, const FileOrigin *origin, int index, const QString &name,
         const QVariant &value, bool written = true)
{
    if (origin && origin->element && index < origin->values.size() &&
        origin->values.at(index) == value)
        return;
    if (written)
        node.setAttribute(name, value);
    else
        node.attributes().remove(name);
}

NodeElementPtr buildScene(const QString &tag, const QString &caption,
                          const NodeElementPtr &source = NodeElementPtr())
{
    FileOrigin origin;
    origin.element = source;
    if (source)
        origin.values << source->attribute(QStringLiteral("textB")).toString();
    const NodeElementPtr node = startFrom(&origin, source ? source->tagName() : tag);
    put(*node, &origin, 0, QStringLiteral("textB"), caption);
    return node;
}

class PageBuilder
{
public:
    // The element of a page with its scenes, controls and sub-pages (floors of a root, rooms of
    // a floor). Child order is part of the format: scenes, then controls, then sub-pages.
    static NodeElementPtr build(const QString &tag, const BaseRoomV1 *page,
                                const QString &sceneTag, const QList<const BaseRoomV1 *> &subPages)
    {
        const FileOrigin *origin = page->fileOrigin().get();
        const bool root = page->kind() == BaseRoomV1::KindRoot;
        const NodeElementPtr node = startFrom(origin, tag);
        const QVector<PageAttribute> &attributes = PageAttribute::of(root);
        for (int i = 0; i < attributes.size(); ++i)
            put(*node, origin, i, attributes.at(i).name, attributes.at(i).value(*page));
        node->children() = children(page, sceneTag, subPages);
        return node;
    }

private:
    static NodeElementPtr buildSubPage(const BaseRoomV1 *page)
    {
        QList<const BaseRoomV1 *> rooms;
        if (auto *floor = dynamic_cast<const FloorStructV1 *>(page)) {
            for (const RoomStructV1 *room : floor->rooms())
                rooms << room;
            return build(QLatin1String(kTagFloor), page, QLatin1String(kTagScene), rooms);
        }
        return build(QLatin1String(kTagRoom), page, QLatin1String(kTagScene), rooms);
    }

    // What was read keeps its place among the elements the program does not read, which stay as
    // they were; deleted things leave, and new ones follow the last of their sort.
    static QList<NodeElementPtr> children(const BaseRoomV1 *page, const QString &sceneTag,
                                          const QList<const BaseRoomV1 *> &subPages)
    {
        const FileOrigin *origin = page->fileOrigin().get();
        const QStringList scenes = page->scenes();
        QHash<const NodeElement *, int> sceneOf;
        QHash<const NodeElement *, const BaseControlV1 *> controlOf;
        QHash<const NodeElement *, const BaseRoomV1 *> subPageOf;
        if (origin) {
            for (int i = 0; i < origin->scenes.size(); ++i)
                sceneOf.insert(origin->scenes.at(i).data(), i);
        }
        // A copy of a record shares its origin; the first one takes the element's place.
        for (const BaseControlV1 *control : page->controls()) {
            const auto &kept = control->fileOrigin();
            if (kept && kept->element && !controlOf.contains(kept->element.data()))
                controlOf.insert(kept->element.data(), control);
        }
        for (const BaseRoomV1 *sub : subPages) {
            const auto &kept = sub->fileOrigin();
            if (kept && kept->element && !subPageOf.contains(kept->element.data()))
                subPageOf.insert(kept->element.data(), sub);
        }

        QList<NodeElementPtr> out;
        QSet<const void *> placed;
        int lastScene = -1;
        int lastControl = -1;
        int lastSubPage = -1;
        const QList<NodeElementPtr> none;
        for (const NodeElementPtr &child : origin && origin->element ? origin->element->children()
                                                                     : none) {
            const NodeElement *key = child.data();
            if (sceneOf.contains(key)) {
                const int i = sceneOf.value(key);
                if (i < scenes.size()) {
                    out << buildScene(sceneTag, scenes.at(i), child);
                    lastScene = out.size() - 1;
                }
            } else if (const BaseControlV1 *control = controlOf.value(key)) {
                placed.insert(control);
                if (control->isDeleted())
                    continue;
                if (NodeElementPtr element = ProjectWriterV1::buildControl(control)) {
                    out << element;
                    lastControl = out.size() - 1;
                }
            } else if (const BaseRoomV1 *sub = subPageOf.value(key)) {
                placed.insert(sub);
                if (sub->isDeleted())
                    continue;
                out << buildSubPage(sub);
                lastSubPage = out.size() - 1;
            } else {
                out << child; // not read by the program: kept as it is
            }
        }

        QList<NodeElementPtr> newScenes;
        for (int i = origin ? origin->scenes.size() : 0; i < scenes.size(); ++i)
            newScenes << buildScene(sceneTag, scenes.at(i));
        QList<NodeElementPtr> newControls;
        for (const BaseControlV1 *control : page->controls()) {
            if (control->isDeleted() || placed.contains(control))
                continue;
            if (NodeElementPtr element = ProjectWriterV1::buildControl(control))
                newControls << element;
        }
        QList<NodeElementPtr> newSubPages;
        for (const BaseRoomV1 *sub : subPages) {
            if (!sub->isDeleted() && !placed.contains(sub))
                newSubPages << buildSubPage(sub);
        }

        const int scenesAt = lastScene + 1;
        const int controlsAt = lastControl >= 0 ? lastControl + 1 : scenesAt;
        const int subPagesAt = lastSubPage >= 0 ? lastSubPage + 1 : out.size();
        // Inserted from the back, so that the places counted above stay true; at one place the
        // scenes come first, then controls, then sub-pages.
        struct Insertion
        {
            int at;
            int rank;
            const QList<NodeElementPtr> *elements;
        };
        QVector<Insertion> insertions{
            {scenesAt, 0, &newScenes}, {controlsAt, 1, &newControls}, {subPagesAt, 2, &newSubPages}};
        std::sort(insertions.begin(), insertions.end(), [](const Insertion &a, const Insertion &b) {
            return a.at != b.at ? a.at > b.at : a.rank > b.rank;
        });
        for (const Insertion &insertion : qAsConst(insertions)) {
            for (int i = insertion.elements->size() - 1; i >= 0; --i)
                out.insert(insertion.at, insertion.elements->at(i));
        }
        return out;
    }
};

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
    const FileOrigin *origin = control->fileOrigin().get();
    const NodeElementPtr node = startFrom(origin, kind->tag);
    for (int i = 0; i < kind->attributes.size(); ++i) {
        const ControlAttribute &attribute = kind->attributes.at(i);
        const QVariant value = attribute.value(*control);
        if (attribute.isWritten())
            put(*node, origin, i, attribute.name, value, attribute.isWrittenWith(value));
    }
    return node;
}

NodeElementPtr ProjectWriterV1::buildTree(const MainStructV1 *root)
{
    Q_ASSERT(root);
    if (!root)
        return NodeElementPtr();
    QList<const BaseRoomV1 *> floors;
    for (const FloorStructV1 *floor : root->floors())
        floors << floor;
    return PageBuilder::build(QLatin1String(kTagSubsystems), root,
                              QLatin1String(kTagGlobalScene), floors);
}

bool ProjectWriterV1::writeSubsystem(const MainStructV1 *root, const QString &folder,
                                     const QString &fileName)
{
    if (!root || fileName.isEmpty())
        return false;
    return XmlDocument::save(folder + QDir::separator() + fileName, buildTree(root));
}
