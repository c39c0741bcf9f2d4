// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "iconcatalog.h"

#include "iconcanvas.h"

#include <QDir>
#include <QImageWriter>
#include <QPainter>

QList<IconEntry> IconCatalog::entries()
{
    QList<IconEntry> all;
    all << statusIcons() << editorIcons() << weatherIcons() << pictureIcons();
    return all;
}

QStringList IconCatalog::names()
{
    QStringList out;
    for (const IconEntry &e : entries())
        out << e.name;
    return out;
}

QImage IconCatalog::render(const QString &name)
{
    for (const IconEntry &e : entries()) {
        if (e.name == name)
            return e.paint(e.size);
    }
    return QImage();
}

bool IconCatalog::writePng(const QString &path, const QImage &image, QString *error)
{
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("%1: nothing to write").arg(path);
        return false;
    }
    QImage out = image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_ARGB32)
                                         : image.convertToFormat(QImage::Format_RGB32);
    // The resolution is written into the file; fix it rather than inherit it from the screen.
    out.setDotsPerMeterX(3780);
    out.setDotsPerMeterY(3780);
    QImageWriter writer(path, "png");
    writer.setQuality(0); // for PNG: the strongest zlib level, still lossless
    if (!writer.write(out)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, writer.errorString());
        return false;
    }
    return true;
}

bool IconCatalog::writeAll(const QString &folder, QString *error)
{
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("%1: cannot create the folder").arg(folder);
        return false;
    }
    for (const IconEntry &e : entries()) {
        if (!writePng(QDir(folder).filePath(e.name), e.paint(e.size), error))
            return false;
    }
    return true;
}

QImage IconCatalog::contactSheet()
{
    const QList<IconEntry> all = entries();
    const int cell = 112;
    const int columns = 8;
    QList<QImage> images;
    int rowHeight = 0;
    int column = 0;
    QList<QRect> cells;
    int y = 0;
    for (const IconEntry &e : all) {
        QImage img = e.paint(e.size);
        const bool wide = img.width() > cell - 12;
        if (wide)
            img = img.scaledToWidth(cell * 3 - 12, Qt::SmoothTransformation);
        const int span = wide ? 3 : 1;
        if (column + span > columns) {
            y += rowHeight;
            column = 0;
            rowHeight = 0;
        }
        const int h = qMax(cell, img.height() + 12);
        cells << QRect(column * cell, y, span * cell, h);
        rowHeight = qMax(rowHeight, h);
        column += span;
        images << img;
    }
    const int height = y + rowHeight;
    QImage sheet(columns * cell, height * 2, QImage::Format_RGB32);
    QPainter p(&sheet);
    p.fillRect(QRect(0, 0, sheet.width(), height), IconPalette::kBar);
    QLinearGradient page(0, height, 0, 2 * height);
    page.setColorAt(0, QColor(208, 219, 234));
    page.setColorAt(0.5, QColor(112, 146, 190));
    page.setColorAt(1, QColor(255, 255, 255));
    p.fillRect(QRect(0, height, sheet.width(), height), page);
    for (int half = 0; half < 2; ++half) {
        for (int i = 0; i < images.size(); ++i) {
            const QRect r = cells.at(i).translated(0, half * height);
            const QImage &img = images.at(i);
            p.drawImage(r.center().x() - img.width() / 2 + 1, r.center().y() - img.height() / 2 + 1,
                        img);
        }
    }
    p.end();
    return sheet;
}
