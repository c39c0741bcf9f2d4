// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "genelement.h"

#include <QBuffer>
#include <QXmlStreamWriter>

#include <cmath>

class GenElementWriter
{
public:
    static void write(QXmlStreamWriter &w, const GenElement &e)
    {
        if (!e.m_comment.isEmpty())
            w.writeComment(QLatin1Char(' ') + e.m_comment + QLatin1Char(' '));
        w.writeStartElement(e.m_tag);
        for (const auto &a : e.m_attributes)
            w.writeAttribute(a.first, a.second);
        for (const GenElement::Ptr &c : e.m_children)
            write(w, *c);
        w.writeEndElement();
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
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter w(&buffer);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(1);
    w.writeStartDocument();
    GenElementWriter::write(w, *this);
    w.writeEndDocument();
    buffer.close();
    return out;
}
