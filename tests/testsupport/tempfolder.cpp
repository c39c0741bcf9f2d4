// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "tempfolder.h"

#include <QDir>
#include <QFile>

TempFolder::TempFolder() : m_dir(QDir::tempPath() + QStringLiteral("/verandix-test-XXXXXX")) {}

bool TempFolder::isValid() const
{
    return m_dir.isValid();
}

QString TempFolder::path() const
{
    return m_dir.path();
}

QString TempFolder::filePath(const QString &name) const
{
    return m_dir.filePath(name);
}

QByteArray TempFolder::read(const QString &relativePath) const
{
    QFile file(m_dir.filePath(relativePath));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}
