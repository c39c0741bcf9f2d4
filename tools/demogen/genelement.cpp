// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "genelement.h"

#include "xmldocument.h"

#include <cmath>

// The generated files go through the program's own writer, so they come out exactly as the panel
// would save them: a demo project loaded and saved unchanged stays byte for byte the same.
class GenElementWriter
{
public:
    static XML::NodeElementPtr node(const GenElement &e)
    {
        auto n = XML::NodeElement::create(e.m_tag);
        if (!e.m_comment.isEmpty())
            n->setComments({QLatin1Char(' ') + e.m_comment + QLatin1Char(' ')});
        for (const auto &a : e.m_attributes)
            n->setAttribute(a.first, a.second);
        for (const GenElement::Ptr &c : e.m_children)
            n->children().append(node(*c));
        return n;
    }
};

GenElement &GenElement::set(const QString &name, const QString &value)
{
    for (auto &a : m_attributes) {
        if (a.first == name) {
            a.second = value;
            return *this;
        }
    }
    m_attributes.append(qMakePair(name, value));
    return *this;
}

GenElement &GenElement::set(const QString &name, double value)
{
    // Shortest text that reads back to the same double; positions come out as "12.5", not
    // "12.500000000000002", whatever arithmetic produced them, because they are rounded first.
    double rounded = std::round(value * 10000.0) / 10000.0;
    if (rounded == 0.0)
        rounded = 0.0; // never "-0"
    return set(name, QString::number(rounded, 'g', 12));
}

GenElement::Ptr GenElement::append(const QString &tag)
{
    Ptr child = create(tag);
    m_children.append(child);
    return child;
}

QByteArray GenElement::document() const
{
    return XmlDocument::toByteArray(GenElementWriter::node(*this));
}
