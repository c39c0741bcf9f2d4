// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "ebasewidget.h"

#include <QColor>
#include <memory>

struct ECheckboxWidgetPrivate;

// A check box with its label (the widget's text); a tap anywhere on it toggles it.
// valueChanged() follows every change of the checked state, from the user or from code.
class ECheckboxWidget : public EBaseWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor colortext READ colortext WRITE setColortext)
    Q_PROPERTY(QString labelT READ text WRITE setText)
public:
    explicit ECheckboxWidget(QGraphicsItem *parent = nullptr);
    ~ECheckboxWidget() override;

    QColor colortext() const;
    void setColortext(const QColor &color);

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

signals:
    void valueChanged(bool value);

protected:
    void geometryUpdated() override;
    void changeEvent(QEvent *event) override;
    QSizeF sizeHint(Qt::SizeHint which, const QSizeF &constraint = QSizeF()) const override;

private:
    std::unique_ptr<ECheckboxWidgetPrivate> d;
};
