// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

#include <QColor>
#include <memory>

struct EGroupBoxWidgetPrivate;

// A titled, rounded frame. Its margins keep content (and a layout set on it) clear of the title
// and the border; the title sits on the top edge.
class EGroupBoxWidget : public EGraphicsWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor colortext READ colortext WRITE setColortext)
    Q_PROPERTY(QColor colorborder READ colorborder WRITE setColorborder)
    Q_PROPERTY(QString labelT READ labelT WRITE setLabelT)
public:
    explicit EGroupBoxWidget(QGraphicsItem *parent = nullptr);
    ~EGroupBoxWidget() override;

    QColor colortext() const;
    void setColortext(const QColor &color);
    QColor colorborder() const;
    void setColorborder(const QColor &color);
    QString labelT() const;
    void setLabelT(const QString &text);

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

protected:
    // With a laid-out content item the frame asks for what the content needs plus its margins,
    // so a layout holding the group never squeezes the content out of the frame.
    QSizeF sizeHint(Qt::SizeHint which, const QSizeF &constraint = QSizeF()) const override;
    void geometryUpdated() override;
    void changeEvent(QEvent *event) override;

private:
    void updateMargins();
    std::unique_ptr<EGroupBoxWidgetPrivate> d;
};
