// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "userguide.h"

#include "formslog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace {
UserGuide::Opener &opener()
{
    static UserGuide::Opener s_opener;
    return s_opener;
}

QString &applicationDir()
{
    static QString s_folder;
    return s_folder;
}
} // namespace

QStringList UserGuide::candidates(const QString &applicationDir)
{
    const QDir dir(applicationDir);
    const QString name = QString::fromLatin1(kFileName);
    return {QDir::cleanPath(dir.filePath(QStringLiteral("../share/doc/verandix/") + name)),
            QDir::cleanPath(dir.filePath(QStringLiteral("../docs/") + name))};
}

QString UserGuide::locate(const QString &applicationDir)
{
    for (const QString &path : candidates(applicationDir)) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

QString UserGuide::path()
{
    return locate(applicationDir().isEmpty() ? QCoreApplication::applicationDirPath()
                                             : applicationDir());
}

bool UserGuide::open()
{
    const QString from =
        applicationDir().isEmpty() ? QCoreApplication::applicationDirPath() : applicationDir();
    const QString path = locate(from);
    if (path.isEmpty()) {
        qCWarning(lcForms) << "no user guide found for the program in" << from;
        return false;
    }
    const QUrl url = QUrl::fromLocalFile(path);
    if (opener())
        return opener()(url);
    return QDesktopServices::openUrl(url);
}

void UserGuide::setOpener(Opener opener)
{
    ::opener() = std::move(opener);
}

void UserGuide::setApplicationDir(const QString &folder)
{
    ::applicationDir() = folder;
}
