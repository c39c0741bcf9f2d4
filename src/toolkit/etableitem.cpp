// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "etableitem.h"

#include "estatictext.h"

struct ETableItemPrivate
{
    ETableItem::Type type = ETableItem::Text;
    QString text;
    QImage image;
    bool checked = false;
    bool editable = true;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QColor textColor;
    int row = -1;
    int column = -1;
    mutable QPixmap scaled;
    mutable QSize scaledFor;
    // Laid-out text in cell coordinates, kept by the table between paints.
    EStaticText staticText;
};

ETableItem::ETableItem(Type type, QObject *parent)
    : QObject(parent), d(std::make_unique<ETableItemPrivate>())
{
    d->type = type;
    if (type != Text)
        d->alignment = Qt::AlignCenter;
    d->staticText.setAlignment(d->alignment);
}

ETableItem *ETableItem::text(const QString &text)
{
    auto *item = new ETableItem(Text);
    item->setText(text);
    return item;
}

ETableItem *ETableItem::image(const QImage &image)
{
    auto *item = new ETableItem(Image);
    item->setImage(image);
    return item;
}

ETableItem *ETableItem::check(bool checked)
{
    auto *item = new ETableItem(Check);
    item->setChecked(checked);
    return item;
}

ETableItem::~ETableItem() = default;

ETableItem::Type ETableItem::type() const
{
    return d->type;
}
QString ETableItem::text() const
{
    return d->text;
}
QImage ETableItem::image() const
{
    return d->image;
}
bool ETableItem::isChecked() const
{
    return d->checked;
}
bool ETableItem::isEditable() const
{
    return d->editable;
}
Qt::Alignment ETableItem::alignment() const
{
    return d->alignment;
}
QColor ETableItem::textColor() const
{
    return d->textColor;
}
int ETableItem::row() const
{
    return d->row;
}
int ETableItem::column() const
{
    return d->column;
}

void ETableItem::setText(const QString &text)
{
    if (text == d->text)
        return;
    d->text = text;
    d->staticText.setText(text);
    emit changed();
}

void ETableItem::setImage(const QImage &image)
{
    // Pictures are shared images; comparing the cache key avoids rescaling the same one.
    if (image.cacheKey() == d->image.cacheKey())
        return;
    d->image = image;
    d->scaled = QPixmap();
    d->scaledFor = QSize();
    emit changed();
}

void ETableItem::setChecked(bool checked)
{
    if (checked == d->checked)
        return;
    d->checked = checked;
    emit changed();
}

void ETableItem::setEditable(bool editable)
{
    d->editable = editable;
}

void ETableItem::setAlignment(Qt::Alignment alignment)
{
    d->alignment = alignment;
    d->staticText.setAlignment(alignment);
    emit changed();
}

void ETableItem::setTextColor(const QColor &color)
{
    d->textColor = color;
    emit changed();
}

void ETableItem::setPosition(int row, int column)
{
    d->row = row;
    d->column = column;
}

QPixmap ETableItem::pixmapFor(const QSize &size) const
{
    if (d->image.isNull() || size.isEmpty())
        return QPixmap();
    if (d->scaledFor != size) {
        const QSize s = d->image.size().boundedTo(size);
        d->scaled =
            QPixmap::fromImage(d->image.size() == s ? d->image
                                                    : d->image.scaled(size, Qt::KeepAspectRatio,
                                                                      Qt::SmoothTransformation));
        d->scaledFor = size;
    }
    return d->scaled;
}

EStaticText &ETableItem::staticText() const
{
    return d->staticText;
}
