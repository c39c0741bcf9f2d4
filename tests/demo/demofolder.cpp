// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "demofolder.h"

#include "baseroomv1.h"
#include "epackage.h"

#include <QDir>
#include <QFile>
#include <QRectF>

bool DemoFolder::unpack(const QString &target)
{
    if (!EPackage::unpackFolder(QString::fromLatin1(kResourceFolder), target))
        return false;
    const QString settings = target + QDir::separator() + QStringLiteral("config.xml");
    QFile::remove(settings);
    if (!QFile::copy(QString::fromLatin1(kResourceFolder) + QStringLiteral("/config.xml"),
                     settings))
        return false;
    // Resource files are read-only; the copy must be writable like any configuration.
    return QFile::setPermissions(settings, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                               QFile::ReadOther);
}

QStringList DemoFolder::projectFiles(const QString &folder)
{
    QStringList files = QDir(folder).entryList(
        {QStringLiteral("*.xml")}, QDir::Files | QDir::NoDotAndDotDot | QDir::NoSymLinks,
        QDir::Name | QDir::IgnoreCase);
    files.removeAll(QStringLiteral("config.xml"));
    return files;
}

QString DemoFolder::describe(const BaseRoomV1 *page)
{
    if (!page)
        return QStringLiteral("(no page)");
    return QStringLiteral("%1 \"%2\" (%3)")
        .arg(page->name(), page->textB())
        .arg(page->pageNumber());
}

QString DemoFolder::describe(const QRectF &r)
{
    return QStringLiteral("(%1,%2 %3x%4)")
        .arg(qRound(r.x()))
        .arg(qRound(r.y()))
        .arg(qRound(r.width()))
        .arg(qRound(r.height()));
}
