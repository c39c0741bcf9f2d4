// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "fileorigin.h"

#include "baseroomv1.h"

namespace {

template<typename T> PageAttribute page(const char *name, T (BaseRoomV1::*get)() const)
{
    return PageAttribute{QLatin1String(name), [get](const BaseRoomV1 &p) {
                             return QVariant::fromValue((p.*get)());
                         }};
}

} // namespace

const QVector<PageAttribute> &PageAttribute::of(bool root)
{
    // A root has no place or size of its own: it is the whole screen.
    static const QVector<PageAttribute> rootAttributes{
        page("showScenes", &BaseRoomV1::showScenes), page("image", &BaseRoomV1::image),
        page("name", &BaseRoomV1::name),             page("textB", &BaseRoomV1::textB),
        page("fontColor", &BaseRoomV1::fontColor),   page("pageID", &BaseRoomV1::pageID),
    };
    static const QVector<PageAttribute> pageAttributes{
        page("name", &BaseRoomV1::name),
        page("textB", &BaseRoomV1::textB),
        page("fontColor", &BaseRoomV1::fontColor),
        page("image", &BaseRoomV1::image),
        page("showScenes", &BaseRoomV1::showScenes),
        page("drawRect", &BaseRoomV1::drawRect),
        page("pageID", &BaseRoomV1::pageID),
        page("posX", &BaseRoomV1::posX),
        page("posY", &BaseRoomV1::posY),
        page("zIndex", &BaseRoomV1::zIndex),
        page("width", &BaseRoomV1::width),
        page("height", &BaseRoomV1::height),
        page("cont_image", &BaseRoomV1::contImage),
    };
    return root ? rootAttributes : pageAttributes;
}

QVariantList PageAttribute::valuesOf(const BaseRoomV1 &page, bool root)
{
    QVariantList values;
    for (const PageAttribute &a : of(root))
        values << a.value(page);
    return values;
}
