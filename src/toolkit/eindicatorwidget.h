// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "ebasewidget.h"

#include <QColor>
#include <memory>

struct EIndicatorWidgetPrivate;

// A checkable indicator with its label (the widget's text): what check boxes and radio buttons
// share. The indicator is drawn square or round.
class EIndicatorWidget : public EBaseWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor colortext READ colortext WRITE setColortext)
    Q_PROPERTY(QString labelT READ text WRITE setText)
public:
    ~EIndicatorWidget() override;

    QColor colortext() const;
    void setColortext(const QColor &color);

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

protected:
    EIndicatorWidget(bool round, QGraphicsItem *parent);
    void geometryUpdated() override;
    void changeEvent(QEvent *event) override;
    QSizeF sizeHint(Qt::SizeHint which, const QSizeF &constraint = QSizeF()) const override;

private:
    std::unique_ptr<EIndicatorWidgetPrivate> d;
};
