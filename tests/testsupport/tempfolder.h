// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh folder for one test, removed with everything in it when the helper goes.
class TempFolder
{
public:
    TempFolder();
    bool isValid() const;
    QString path() const;
    QString filePath(const QString &name) const;
    // Reads a whole file of the folder (empty if it does not exist).
    QByteArray read(const QString &relativePath) const;

private:
    QTemporaryDir m_dir;
};
