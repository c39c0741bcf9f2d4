// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QSharedPointer>
#include <QString>

// A builder for the generated XML files: attributes keep the order they were set in, numbers get
// their shortest exact text. The document is written by the program's own XML writer, so the
// generated files come out byte for byte as the panel itself saves them, on every run.
class GenElement
{
public:
    using Ptr = QSharedPointer<GenElement>;

    explicit GenElement(const QString &tag) : m_tag(tag) {}
    static Ptr create(const QString &tag) { return Ptr::create(tag); }

    GenElement &set(const QString &name, const QString &value);
    GenElement &set(const QString &name, const char *value)
    {
        return set(name, QString::fromUtf8(value));
    }
    GenElement &set(const QString &name, int value) { return set(name, QString::number(value)); }
    GenElement &set(const QString &name, double value);
    GenElement &set(const QString &name, bool value)
    {
        return set(name, QString::fromLatin1(value ? "true" : "false"));
    }
    Ptr append(const QString &tag);
    void appendComment(const QString &text) { m_comment = text; }

    // The document: XML declaration, one space of indentation per level, UTF-8, final newline.
    QByteArray document() const;

private:
    QString m_tag;
    QString m_comment;
    QList<QPair<QString, QString>> m_attributes;
    QList<Ptr> m_children;

    friend class GenElementWriter;
};
