// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Builds package archives for the program to unpack. The body is compressed only when that makes it
// smaller, because the reader takes a body as compressed exactly when it is smaller than the
// content.
class PackageWriter
{
public:
    explicit PackageWriter(int type) : m_type(type) {}

    void addEntry(const QString &name, const QByteArray &data) { m_entries.append({name, data}); }
    // Adds a file under its plain file name; false if it cannot be read.
    bool addFile(const QString &path);
    int entryCount() const { return m_entries.size(); }

    QByteArray content() const;
    QByteArray toByteArray() const;
    // Writes atomically; false on any error.
    bool write(const QString &path) const;

private:
    int m_type;
    QList<QPair<QString, QByteArray>> m_entries;
};
