// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "historyexport.h"

#include "archiveindex.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <cmath>

namespace HistoryExport {

namespace {

bool openFor(QSaveFile &file, QString *error)
{
    QDir().mkpath(QFileInfo(file.fileName()).absolutePath());
    if (file.open(QIODevice::WriteOnly))
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

bool finish(QSaveFile &file, QString *error)
{
    if (file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

QByteArray number(double v)
{
    // Ten significant digits keep every value the archive can hold (six) without binary noise.
    return std::isnan(v) ? QByteArray() : QByteArray::number(v, 'g', 10);
}

} // namespace

QString isoTime(qint64 msecs)
{
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(msecs, Qt::LocalTime);
    const int offset = local.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
           QLatin1Char(offset < 0 ? '-' : '+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString baseName(qint64 from, qint64 to)
{
    const QString format = QStringLiteral("yyyyMMdd-HHmm");
    return QStringLiteral("history-") + QDateTime::fromMSecsSinceEpoch(from).toString(format) +
           QLatin1Char('-') + QDateTime::fromMSecsSinceEpoch(to).toString(format);
}

bool writeValues(const ArchiveIndex &index, qint64 from, qint64 to, const QVector<Column> &columns,
                 const QString &path, int *rows, QString *error)
{
    QSaveFile file(path);
    if (!openFor(file, error))
        return false;
    QByteArray line = "time";
    for (const Column &c : columns)
        line += ',' + csvField(c.name).toUtf8();
    line += '\n';
    file.write(line);
    // Rows are streamed as the files hold them (files in time order, rows as the panel wrote
    // them), so a year of rows never sits in memory at once.
    int written = 0;
    index.readRows(from, to, [&](const ArchiveRow &row) {
        QByteArray text = isoTime(row.time).toLatin1();
        for (const Column &c : columns) {
            text += ',';
            if (c.id >= 1 && c.id <= HistoryFormat::kParameterCount)
                text += number(row.values[size_t(c.id - 1)]);
        }
        text += '\n';
        file.write(text);
        ++written;
    });
    if (rows)
        *rows = written;
    return finish(file, error);
}

bool writeEvents(const QVector<AlarmEvent> &events, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!openFor(file, error))
        return false;
    file.write("time,id,kind,active,value,text\n");
    for (const AlarmEvent &e : events) {
        QByteArray line = isoTime(e.time).toLatin1();
        line += ',' + QByteArray::number(e.id);
        line += e.alarm ? ",alarm" : ",message";
        line += e.active ? ",1," : ",0,";
        line += number(e.value);
        line += ',' + csvField(e.text).toUtf8() + '\n';
        file.write(line);
    }
    return finish(file, error);
}

bool writePicture(const QImage &image, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!openFor(file, error))
        return false;
    if (image.isNull() || !image.save(&file, "PNG")) {
        file.cancelWriting();
        if (error)
            *error = QStringLiteral("cannot encode the picture");
        return false;
    }
    return finish(file, error);
}

QImage captionedPicture(const QImage &chart, const QString &title, const QString &range,
                        const QVector<LegendEntry> &legend)
{
    QImage image(qMax(chart.width(), 320), chart.height() + kCaptionHeight,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const qreal margin = 12;
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(18);
    titleFont.setBold(true);
    painter.setFont(titleFont);
    painter.setPen(QColor(0x20, 0x20, 0x20));
    const QRectF titleRow(margin, 4, image.width() - 2 * margin, 26);
    QRectF used;
    painter.drawText(titleRow, Qt::AlignLeft | Qt::AlignVCenter, title, &used);
    QFont small(QStringLiteral("Arial"));
    small.setPixelSize(14);
    painter.setFont(small);
    painter.drawText(titleRow.adjusted(used.width() + 16, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     range);
    const QFontMetricsF metrics(small);
    qreal x = margin;
    const qreal y = 34;
    for (const LegendEntry &entry : legend) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(entry.color);
        painter.drawRoundedRect(QRectF(x, y + 5, 18, 14), 3, 3);
        x += 24;
        painter.setPen(QColor(0x20, 0x20, 0x20));
        painter.drawText(QRectF(x, y, image.width() - x, 24), Qt::AlignLeft | Qt::AlignVCenter,
                         entry.name);
        x += metrics.horizontalAdvance(entry.name) + 20;
    }
    painter.drawImage(QPointF(0, kCaptionHeight), chart);
    return image;
}

} // namespace HistoryExport
