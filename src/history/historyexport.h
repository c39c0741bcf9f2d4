// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "historytypes.h"

#include <QColor>
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

// A line of the chart as the picture's legend names it.
struct LegendEntry
{
    QString name;
    QColor color;
};
// The chart picture with a heading above it, so that it still says what it shows once it has
// left the panel: the title and the range on one line, the legend (a swatch and the name of each
// line) on the next, on a white ground.
QImage captionedPicture(const QImage &chart, const QString &title, const QString &range,
                        const QVector<LegendEntry> &legend);
// The height captionedPicture() adds above the chart.
constexpr int kCaptionHeight = 64;

} // namespace HistoryExport
