// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <memory>

class EStaticText;

struct ETableItemPrivate;

// One cell of an ETableWidget: a text, a picture or a check box. The table owns its items.
// Setting a value from code repaints the table and emits nothing; a tap on the cell emits
// clicked(), and a tap that toggles a check cell also emits valuechanged().
class ETableItem : public QObject
{
    Q_OBJECT
public:
    enum Type { Text, Image, Check };
    Q_ENUM(Type)

    explicit ETableItem(Type type = Text, QObject *parent = nullptr);
    static ETableItem *text(const QString &text);
    static ETableItem *image(const QImage &image);
    static ETableItem *check(bool checked);
    ~ETableItem() override;

    Type type() const;
    QString text() const;
    void setText(const QString &text);
    QImage image() const;
    void setImage(const QImage &image);
    bool isChecked() const;
    void setChecked(bool checked);
    // Whether a tap toggles a check cell (true by default).
    bool isEditable() const;
    void setEditable(bool editable);
    Qt::Alignment alignment() const;
    void setAlignment(Qt::Alignment alignment);
    // Invalid colour: the table's own.
    QColor textColor() const;
    void setTextColor(const QColor &color);

    // Position in the table, or -1 while not in one.
    int row() const;
    int column() const;

    // The picture scaled to fit size, cached until the picture or the size changes.
    QPixmap pixmapFor(const QSize &size) const;

signals:
    void clicked();
    void valuechanged(bool value);
    // Any change of look; the table repaints.
    void changed();

private:
    friend class ETableWidget;
    void setPosition(int row, int column);
    EStaticText &staticText() const;
    std::unique_ptr<ETableItemPrivate> d;
};
