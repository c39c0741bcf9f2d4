// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QObject>
#include <QPair>
#include <QSharedPointer>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <algorithm>

namespace XML {

class NodeElement;
using NodeElementPtr = QSharedPointer<NodeElement>;

// The attributes of one element, kept in the order they were read or first set. Files are written
// in that order, so loading and saving an unchanged file gives the same bytes every time and a
// configuration kept under version control only shows the changes a person made.
class Attributes
{
public:
    using Entry = QPair<QString, QVariant>;
    using const_iterator = QVector<Entry>::const_iterator;

    // Replaces the value of an existing attribute in place; a new one goes to the end.
    void insert(const QString &name, const QVariant &value)
    {
        for (Entry &e : m_entries) {
            if (e.first == name) {
                e.second = value;
                return;
            }
        }
        m_entries.append(qMakePair(name, value));
    }
    // For a reader that has already refused repeated names: no search.
    void append(const QString &name, QVariant &&value)
    {
        m_entries.append(Entry(name, std::move(value)));
    }
    void reserve(int size) { m_entries.reserve(size); }
    QVariant value(const QString &name, const QVariant &defaultValue = QVariant()) const
    {
        for (const Entry &e : m_entries) {
            if (e.first == name)
                return e.second;
        }
        return defaultValue;
    }
    bool contains(const QString &name) const
    {
        for (const Entry &e : m_entries) {
            if (e.first == name)
                return true;
        }
        return false;
    }
    int remove(const QString &name)
    {
        const int before = m_entries.size();
        m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                       [&name](const Entry &e) { return e.first == name; }),
                        m_entries.end());
        return before - m_entries.size();
    }
    QStringList keys() const
    {
        QStringList names;
        names.reserve(m_entries.size());
        for (const Entry &e : m_entries)
            names.append(e.first);
        return names;
    }
    int size() const { return m_entries.size(); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    void clear() { m_entries.clear(); }
    const Entry &at(int index) const { return m_entries.at(index); }
    const_iterator begin() const { return m_entries.cbegin(); }
    const_iterator end() const { return m_entries.cend(); }
    const_iterator cbegin() const { return m_entries.cbegin(); }
    const_iterator cend() const { return m_entries.cend(); }

private:
    // Elements carry a handful of attributes: a linear search beats hashing and keeps the order.
    QVector<Entry> m_entries;
};

// One element of the in-memory XML tree that every file of the program is read into: tag name,
// attributes, the comments that stood in front of it, child elements and the comments after the
// last of them. Text content is not kept.
class NodeElement : public QObject
{
    Q_OBJECT
public:
    using Attributes = XML::Attributes;

    NodeElement() = default;
    explicit NodeElement(const QString &tagName) : m_tagName(tagName) {}

    static NodeElementPtr create(const QString &tagName = QString())
    {
        return NodeElementPtr::create(tagName);
    }

    QString tagName() const { return m_tagName; }
    void setTagName(const QString &name) { m_tagName = name; }

    Attributes &attributes() { return m_attributes; }
    const Attributes &attributes() const { return m_attributes; }
    // A missing attribute reads as the given default (an invalid QVariant unless one is given).
    QVariant attribute(const QString &name, const QVariant &defaultValue = QVariant()) const
    {
        return m_attributes.value(name, defaultValue);
    }
    bool hasAttribute(const QString &name) const { return m_attributes.contains(name); }
    void setAttribute(const QString &name, const QVariant &value)
    {
        m_attributes.insert(name, value);
    }

    QList<NodeElementPtr> &children() { return m_children; }
    const QList<NodeElementPtr> &children() const { return m_children; }
    NodeElementPtr appendChild(const QString &tagName)
    {
        auto child = create(tagName);
        m_children.append(child);
        return child;
    }

    QStringList comments() const { return m_comments; }
    void setComments(const QStringList &comments) { m_comments = comments; }
    // Comments after the last child, before the end tag: they belong to no child.
    QStringList trailingComments() const { return m_trailingComments; }
    void setTrailingComments(const QStringList &comments) { m_trailingComments = comments; }

    // Line of the start tag in the file it was read from (1-based); 0 for elements built in code.
    // Lets a reader say where in a file it found something it could not use.
    qint64 lineNumber() const { return m_lineNumber; }
    void setLineNumber(qint64 line) { m_lineNumber = line; }

private:
    QString m_tagName;
    Attributes m_attributes;
    QStringList m_comments;
    QStringList m_trailingComments;
    QList<NodeElementPtr> m_children;
    qint64 m_lineNumber = 0;
};

} // namespace XML
