// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "pagepreview.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QXmlStreamReader>

namespace {

// A page name as a plain file name: "Living room · lighting" -> "living_room_lighting".
QString fileNamePart(const QString &name)
{
    QString out;
    for (const QChar c : name.toLower()) {
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
            (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            out += c;
        else if (!out.isEmpty() && !out.endsWith(QLatin1Char('_')))
            out += QLatin1Char('_');
    }
    while (out.endsWith(QLatin1Char('_')))
        out.chop(1);
    return out;
}

struct Item
{
    QString tag;
    QString caption;
    QString icon;
    double x = 0;
    double y = 0;
    int width = 0;
    int height = 0;
};

struct PageData
{
    QString name;
    QString plan;
    QList<Item> items;
};

QString firstImage(const QXmlStreamAttributes &a, const QString &tag)
{
    // The image the panel shows first for each kind.
    if (tag == QLatin1String("lamp") || tag == QLatin1String("boolcnt") ||
        tag == QLatin1String("resbt"))
        return a.value(QLatin1String("imageOff")).toString();
    if (tag == QLatin1String("switch"))
        return a.value(QLatin1String("imageOn")).toString();
    if (tag == QLatin1String("sensor"))
        return a.value(QLatin1String("imageOff")).toString();
    if (tag == QLatin1String("syscontrol") || tag == QLatin1String("btncnt"))
        return a.value(QLatin1String("image")).toString();
    if (tag == QLatin1String("floor") || tag == QLatin1String("room"))
        return a.value(QLatin1String("cont_image")).toString();
    return QString();
}

QSize fixedSize(const QString &tag)
{
    if (tag == QLatin1String("weather"))
        return QSize(220, 150);
    if (tag == QLatin1String("heat"))
        return QSize(180, 100);
    return QSize();
}

void readFile(const QString &path, QList<PageData> &pages)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QXmlStreamReader xml(&file);
    QList<int> stack; // index into pages of each open page element
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement()) {
            const QStringRef tag = xml.name();
            if (tag == QLatin1String("subsystems") || tag == QLatin1String("floor") ||
                tag == QLatin1String("room"))
                stack.removeLast();
            continue;
        }
        if (!xml.isStartElement())
            continue;
        const QString tag = xml.name().toString();
        const QXmlStreamAttributes a = xml.attributes();
        Item item;
        item.tag = tag;
        item.caption = a.value(QLatin1String("textB")).toString();
        if (item.caption.isEmpty())
            item.caption = a.value(QLatin1String("camname")).toString() +
                           a.value(QLatin1String("cityName")).toString();
        item.icon = firstImage(a, tag);
        item.x = a.value(QLatin1String("posX")).toDouble();
        item.y = a.value(QLatin1String("posY")).toDouble();
        item.width = a.value(QLatin1String("width")).toInt();
        item.height = a.value(QLatin1String("height")).toInt();
        const QSize fixed = fixedSize(tag);
        if (fixed.isValid()) {
            item.width = fixed.width();
            item.height = fixed.height();
        }
        if (tag == QLatin1String("floor") || tag == QLatin1String("room")) {
            item.width = 0;
            if (!stack.isEmpty())
                pages[stack.last()].items << item;
        } else if (tag != QLatin1String("subsystems") && tag != QLatin1String("scene") &&
                   tag != QLatin1String("glscene") && !stack.isEmpty()) {
            pages[stack.last()].items << item;
        }
        if (tag == QLatin1String("subsystems") || tag == QLatin1String("floor") ||
            tag == QLatin1String("room")) {
            PageData page;
            page.name = QFileInfo(path).completeBaseName() + QLatin1Char('-') +
                        fileNamePart(a.value(QLatin1String("name")).toString());
            page.plan = a.value(QLatin1String("image")).toString();
            pages << page;
            stack << pages.size() - 1;
        }
    }
}

} // namespace

QList<PagePreview::Page> PagePreview::render(const QString &folder)
{
    QList<PageData> pages;
    QDir dir(folder);
    const QStringList files = dir.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name);
    for (const QString &f : files)
        readFile(dir.filePath(f), pages);

    QList<Page> out;
    for (const PageData &data : qAsConst(pages)) {
        QImage canvas(dir.filePath(data.plan));
        if (canvas.isNull())
            continue;
        canvas = canvas.convertToFormat(QImage::Format_RGB32);
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing);
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(12);
        p.setFont(font);
        for (const Item &item : data.items) {
            const QPointF at(item.x / 100.0 * canvas.width(), item.y / 100.0 * canvas.height());
            QRectF box;
            if (!item.icon.isEmpty() && item.icon != QLatin1String("none") &&
                item.tag != QLatin1String("btncnt")) {
                const QImage icon(dir.filePath(item.icon));
                p.drawImage(at, icon);
                box = QRectF(at, QSizeF(icon.width(), icon.height()));
                const QRectF label(box.left() - 30, box.bottom(), box.width() + 60, 16);
                p.setPen(Qt::white);
                p.drawText(label, Qt::AlignCenter, item.caption);
            } else if (item.width > 0 && item.height > 0) {
                box = QRectF(at, QSizeF(item.width, item.height));
                p.setPen(QPen(QColor(255, 255, 255, 160), 1, Qt::DashLine));
                p.setBrush(QColor(0, 0, 0, 110));
                p.drawRoundedRect(box, 4, 4);
                p.setPen(Qt::white);
                p.drawText(box.adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignTop,
                           item.tag + QLatin1Char(' ') + item.caption);
            }
        }
        p.end();
        out << Page{data.name, canvas};
    }
    return out;
}
