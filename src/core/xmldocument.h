// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "xmlnode.h"

// Reads an XML file or text into an XML::NodeElement tree and writes a tree back out. Writing never
// creates a file: the target must exist, which keeps a wrong path from scattering files around.
class XmlDocument
{
public:
    bool load(const QString &filePath);
    bool parse(const QString &text);
    bool parse(const QByteArray &data);
    // Plain UTF-8 files are read by a reader of their own, several times faster than the general
    // one and giving the same tree; anything else, and every error, goes to the general reader.
    // Off, every text goes to the general reader, for checks that compare the two.
    void setPlainReader(bool enabled) { m_plainReader = enabled; }

    XML::NodeElementPtr root() const { return m_root; }
    void setRoot(const XML::NodeElementPtr &root) { m_root = root; }

    // Why the last load or parse failed, and where: empty and 0 after a success. The line and
    // column are those of the reader (1-based); a file that cannot be opened gives line 0.
    QString errorString() const { return m_errorString; }
    qint64 errorLine() const { return m_errorLine; }
    qint64 errorColumn() const { return m_errorColumn; }

    // Writes atomically (temporary file renamed over the old one), so a crash or a full disk never
    // leaves a truncated file; still returns false without writing if the file does not exist.
    static bool save(const QString &filePath, const XML::NodeElementPtr &root);
    // The text save() would write, for tests and tools that need it in memory.
    static QByteArray toByteArray(const XML::NodeElementPtr &root);

private:
    template<typename Source> bool parseFrom(Source &&source);
    XML::NodeElementPtr m_root;
    bool m_plainReader = true;
    QString m_errorString;
    qint64 m_errorLine = 0;
    qint64 m_errorColumn = 0;
};
