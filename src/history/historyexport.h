// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "historytypes.h"

#include <QString>
#include <QStringList>
#include <QVector>

class ArchiveIndex;
class QImage;

// Writes what the history screen shows for use elsewhere: the archive rows of a time range as a
// plain CSV file (comma separated, decimal point, ISO 8601 times with their UTC offset), the
// alarm events of the range likewise, and a picture of the chart.
namespace HistoryExport {

struct Column
{
    int id = 0; // parameter id 1..16
    QString name;
};

// "2024-10-27T02:30:00+02:00": local time with the offset it had at that instant.
QString isoTime(qint64 msecs);
// A CSV field: quoted when it holds a comma, a quote or a line break.
QString csvField(const QString &text);
// Base name of the files of a range: "history-20240301-0000-20240302-0000".
QString baseName(qint64 from, qint64 to);

// The rows of [from, to] with the given columns; false with `error` set when the file cannot be
// written. `rows` receives the number of rows written.
bool writeValues(const ArchiveIndex &index, qint64 from, qint64 to, const QVector<Column> &columns,
                 const QString &path, int *rows = nullptr, QString *error = nullptr);
bool writeEvents(const QVector<AlarmEvent> &events, const QString &path, QString *error = nullptr);
bool writePicture(const QImage &image, const QString &path, QString *error = nullptr);

} // namespace HistoryExport
