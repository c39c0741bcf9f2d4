// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "csvformat.h"

#include <QDir>
#include <QFile>

namespace CsvFormat {

QString field(const QString &text)
{
    return text + QLatin1String(kSeparator);
}

QString dateTime(const QDateTime &value)
{
    return value.toString(QLatin1String(kDateTime));
}

QString real(double value)
{
    return QString::number(value, 'g', 6).replace(QLatin1Char('.'), QLatin1Char(','));
}

QString filePath(const QString &configurationFolder, const char *folder, const QString &name)
{
    if (configurationFolder.isEmpty())
        return QString();
    QDir base(configurationFolder);
    const QString sub = QLatin1String(folder);
    if (!base.exists(sub) && !base.mkdir(sub))
        return QString();
    if (!QFileInfo(base.filePath(sub)).isDir())
        return QString();
    return configurationFolder + QDir::separator() + sub + QDir::separator() + name;
}

bool append(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray bytes = text.toLocal8Bit();
    const bool written = file.write(bytes) == bytes.size();
    file.flush();
    file.close();
    return written;
}

} // namespace CsvFormat
