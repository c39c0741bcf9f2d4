// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "xmlnode.h"

#include <QVariantList>
#include <QVector>
#include <functional>

class BaseRoomV1;

// What a page or a control was read from: its element, with everything the program does not read
// (other attributes, child elements, comments), and the values of the attributes it does read as
// they came out of the file. The writer starts from that element and replaces only attributes
// whose value differs from the one read, so a save changes nothing a person did not change: texts
// such as "1.50", an empty fontFamily or a keyword the program reads differently stay as written.
struct FileOrigin
{
    XML::NodeElementPtr element;
    // In the order of the kind's attributes (controls) or of PageAttribute::of() (pages).
    QVariantList values;
    // Pages: the scene elements read into scenes(), in order.
    QList<XML::NodeElementPtr> scenes;
};

// An attribute of a page element and the page field behind it.
struct PageAttribute
{
    QString name;
    std::function<QVariant(const BaseRoomV1 &)> value;

    // The attributes of a subsystem root or of a floor or room page, in the order a new element
    // is written with.
    static const QVector<PageAttribute> &of(bool root);
    // The current values of a page's attributes, for comparing with the values read.
    static QVariantList valuesOf(const BaseRoomV1 &page, bool root);
};
