// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QHash>
#include <QObject>
#include <QSharedPointer>
#include <QStringList>
#include <QVariant>

namespace XML {

class NodeElement;
using NodeElementPtr = QSharedPointer<NodeElement>;

// One element of the in-memory XML tree that every file of the program is read into: tag name,
// attributes, the comments that stood in front of it and child elements. Text content is not kept.
class NodeElement : public QObject
{
    Q_OBJECT
public:
    using Attributes = QHash<QString, QVariant>;

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

private:
    QString m_tagName;
    Attributes m_attributes;
    QStringList m_comments;
    QList<NodeElementPtr> m_children;
};

} // namespace XML
