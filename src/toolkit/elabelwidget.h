// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

#include <QColor>
#include <memory>

struct ELabelWidgetPrivate;

// A text label: one line (elided when too long) or several ("\r\n" breaks, or word wrap), on an
// optional rounded background.
class ELabelWidget : public EGraphicsWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor colortext READ colortext WRITE setColortext)
    Q_PROPERTY(QColor colorbackground READ colorbackground WRITE setColorbackground)
    Q_PROPERTY(QString labelT READ labelT WRITE setLabelT)
    Q_PROPERTY(Qt::Alignment alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(bool wordWrap READ wordWrap WRITE setWordWrap)
public:
    explicit ELabelWidget(QGraphicsItem *parent = nullptr);
    explicit ELabelWidget(const QString &text, QGraphicsItem *parent = nullptr);
    ~ELabelWidget() override;

    QColor colortext() const;
    void setColortext(const QColor &color);
    // Transparent (the default) paints no background.
    QColor colorbackground() const;
    void setColorbackground(const QColor &color);
    QString labelT() const;
    void setLabelT(const QString &text);
    Qt::Alignment alignment() const;
    void setAlignment(Qt::Alignment alignment);
    bool wordWrap() const;
    void setWordWrap(bool wrap);
    // Resizes the label to its text plus margins.
    void adjustToContents();

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

protected:
    void geometryUpdated() override;
    void changeEvent(QEvent *event) override;
    QSizeF sizeHint(Qt::SizeHint which, const QSizeF &constraint = QSizeF()) const override;

private:
    std::unique_ptr<ELabelWidgetPrivate> d;
};
