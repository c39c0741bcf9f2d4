// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "xmldocument.h"

#include "xmlplainreader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QStack>
#include <QStringView>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

using XML::NodeElement;
using XML::NodeElementPtr;

namespace {

// Writing and freeing the tree recurse once per level, so a hostile file nested a few hundred
// thousand levels deep would overflow the stack. No file of ours nests deeper than a handful.
constexpr int kMaxDepth = 1024;

// Tag and attribute names repeat thousands of times in a large project (every control has its
// "name", "posX", ...). Each distinct name is made a string once per file and shared by every
// element that uses it, which saves an allocation and a free per attribute when reading and when
// the tree goes.
class NameTable
{
public:
    QString name(const QStringRef &text)
    {
        const QStringView view(text);
        const auto found = m_names.constFind(view);
        if (found != m_names.constEnd())
            return found.value();
        const QString name = text.toString();
        // The key views the value's characters, which stay put for as long as the table holds
        // the value.
        m_names.insert(QStringView(name), name);
        return name;
    }

private:
    QHash<QStringView, QString> m_names;
};

void setAttributes(NodeElement &element, const QXmlStreamAttributes &attributes, NameTable &names)
{
    // The reader has already refused a repeated attribute.
    for (const QXmlStreamAttribute &a : attributes)
        element.attributes().append(names.name(a.qualifiedName()), QVariant(a.value().toString()));
}

void writeElement(QXmlStreamWriter &w, const NodeElement &element)
{
    for (const QString &comment : element.comments())
        w.writeComment(comment);
    const bool empty = element.children().isEmpty() && element.trailingComments().isEmpty();
    if (empty)
        w.writeEmptyElement(element.tagName());
    else
        w.writeStartElement(element.tagName());
    // In the order the attributes were read or first set: the same tree always gives the same
    // bytes, whatever process writes it.
    for (const XML::Attributes::Entry &a : element.attributes())
        w.writeAttribute(a.first, a.second.toString());
    if (empty)
        return;
    for (const NodeElementPtr &child : element.children()) {
        if (child)
            writeElement(w, *child);
    }
    for (const QString &comment : element.trailingComments())
        w.writeComment(comment);
    w.writeEndElement();
}

void writeDocument(QIODevice *device, const NodeElementPtr &root)
{
    QXmlStreamWriter w(device);
    w.setCodec("UTF-8");
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(1);
    w.writeStartDocument();
    if (root)
        writeElement(w, *root);
    w.writeEndDocument();
}

} // namespace

template<typename Source> bool XmlDocument::parseFrom(Source &&source)
{
    m_root.reset();
    // QXmlStreamReader keeps its entity expansion limit, so a hostile file cannot blow up memory.
    QXmlStreamReader reader(std::forward<Source>(source));
    // Names are kept as written ("p:name") and namespace declarations as plain attributes, so a
    // tree that was read is written back with its declarations and reads again.
    reader.setNamespaceProcessing(false);
    QStack<NodeElementPtr> open;
    QStringList pendingComments;
    NameTable names;
    while (!reader.atEnd() && !reader.hasError()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (open.size() >= kMaxDepth) {
                reader.raiseError(QStringLiteral("elements nested too deeply"));
                break;
            }
            auto element = NodeElement::create(names.name(reader.qualifiedName()));
            element->setLineNumber(reader.lineNumber());
            if (open.isEmpty()) {
                // Comments in front of the root stay pending and land on its first child.
                m_root = element;
            } else {
                element->setComments(pendingComments);
                pendingComments.clear();
                open.top()->children().append(element);
            }
            setAttributes(*element, reader.attributes(), names);
            open.push(element);
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!open.isEmpty()) {
                // Comments after the last child stay with their element.
                if (!pendingComments.isEmpty()) {
                    open.top()->setTrailingComments(pendingComments);
                    pendingComments.clear();
                }
                open.pop();
            }
            break;
        case QXmlStreamReader::Comment:
            pendingComments.append(reader.text().toString());
            break;
        default:
            break;
        }
    }
    const bool ok = !reader.hasError();
    if (ok) {
        m_errorString.clear();
        m_errorLine = m_errorColumn = 0;
    } else {
        m_errorString = reader.errorString();
        m_errorLine = reader.lineNumber();
        m_errorColumn = reader.columnNumber();
    }
    reader.clear();
    return ok;
}

bool XmlDocument::load(const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        m_root.reset();
        m_errorString = file.exists() ? file.errorString() : QStringLiteral("file not found");
        m_errorLine = m_errorColumn = 0;
        return false;
    }
    return parse(file.readAll());
}

bool XmlDocument::parse(const QString &text)
{
    return parseFrom(text);
}

bool XmlDocument::parse(const QByteArray &data)
{
    if (m_plainReader) {
        if (NodeElementPtr root = XML::readPlainXml(data)) {
            m_root = root;
            m_errorString.clear();
            m_errorLine = m_errorColumn = 0;
            return true;
        }
    }
    return parseFrom(data);
}

bool XmlDocument::save(const QString &filePath, const NodeElementPtr &root)
{
    const QFileInfo info(filePath);
    if (!info.exists() || !info.isFile())
        return false;
    // A file that already holds these bytes is left alone: its time stamp is what backups, file
    // sync and the kill-run checks go by, and a rewrite would change it for nothing.
    const QByteArray data = toByteArray(root);
    {
        QFile current(filePath);
        if (current.size() == data.size() && current.open(QIODevice::ReadOnly) &&
            current.readAll() == data)
            return true;
    }
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(data) == data.size() && file.commit();
}

QByteArray XmlDocument::toByteArray(const NodeElementPtr &root)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    writeDocument(&buffer, root);
    return data;
}
