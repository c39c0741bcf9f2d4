// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

// Archive and alarm-log lines for tests, in the form the panel's writers give them (the writers
// themselves need a whole status record per row; these take the values directly). The time zone
// is set for the whole test program before anything reads the clock.

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QVector>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace ArchiveFiles {

// Runs before main(): the tests' days, day boundaries and daylight-saving changes are Berlin's.
inline bool setBerlin()
{
    qputenv("TZ", "Europe/Berlin");
    tzset();
    return true;
}
inline const bool kBerlin = setBerlin();

// The panel's number form: six significant digits, decimal comma.
inline QByteArray real(double v)
{
    if (std::isnan(v))
        return QByteArray();
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", v);
    QByteArray s(buffer);
    s.replace('.', ',');
    return s;
}

// What the reader should make of real(v).
inline double roundTrip(double v)
{
    QByteArray s = real(v);
    s.replace(',', '.');
    return s.isEmpty() ? std::nan("") : std::strtod(s.constData(), nullptr);
}

inline QByteArray time(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs)
        .toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"))
        .toLatin1();
}

inline QByteArray header()
{
    QByteArray line = "Program time;Controller time;";
    for (int id = 1; id <= 16; ++id)
        line += "Data " + QByteArray::number(id) + ';';
    return line + "\r\n";
}

// One row; values beyond the given ones are 0.
inline QByteArray row(qint64 msecs, const QVector<double> &values)
{
    QByteArray line = time(msecs) + ';' + time(msecs - 2000) + ';';
    for (int i = 0; i < 16; ++i)
        line += (i < values.size() ? real(values.at(i)) : QByteArray("0")) + ';';
    return line + "\r\n";
}

inline QString archiveName(const QDate &day)
{
    return QStringLiteral("Out_") + day.toString(QStringLiteral("dd_MM_yy")) +
           QStringLiteral(".csv");
}

inline QString alarmName(const QDate &day)
{
    return QStringLiteral("Alarm_") + day.toString(QStringLiteral("dd_MM_yy")) +
           QStringLiteral(".csv");
}

inline bool append(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Append) && file.write(bytes) == bytes.size();
}

// An alarm-log row as the writer makes it, in UTF-8 (the encoding of these test machines).
inline QByteArray alarmRow(int id, qint64 msecs, const QString &text, bool active, bool alarm)
{
    const QString yes = QStringLiteral("Да");
    const QString no = QStringLiteral("Нет");
    QString line = QString::number(id) + QLatin1Char(';') + QString::fromLatin1(time(msecs)) +
                   QLatin1Char(';') + QString::fromLatin1(time(msecs)) + QLatin1Char(';') + text +
                   QStringLiteral(";1;") + (active ? yes : no) + QLatin1Char(';') +
                   (alarm ? QStringLiteral("авария") : QStringLiteral("сообшение")) +
                   QLatin1Char(';') + no + QLatin1Char(';') + no + QLatin1Char(';') + no +
                   QStringLiteral(";\r\n");
    return line.toUtf8();
}

} // namespace ArchiveFiles
