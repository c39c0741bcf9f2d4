// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "ebasewidget.h"

#include <QColor>
#include <memory>

struct ERadioButtonWidgetPrivate;

// A radio button with its label. Radio buttons with the same parent item form one group: checking
// one (by a tap or from code) unchecks the others, and tapping a checked one keeps it checked.
// clicked(bool) follows a tap with the new state; valueChanged(bool) follows every change.
class ERadioButtonWidget : public EBaseWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor colortext READ colortext WRITE setColortext)
    Q_PROPERTY(bool enablewidget READ isEnabled WRITE setEnabled)
    Q_PROPERTY(bool checkwidget READ isChecked WRITE setChecked)
    Q_PROPERTY(QString labelT READ text WRITE setText)
public:
    explicit ERadioButtonWidget(QGraphicsItem *parent = nullptr);
    ~ERadioButtonWidget() override;

    QColor colortext() const;
    void setColortext(const QColor &color);

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

signals:
    void clicked(bool value);
    void valueChanged(bool value);

protected:
    void nextCheckState() override;
    void geometryUpdated() override;
    void changeEvent(QEvent *event) override;
    QSizeF sizeHint(Qt::SizeHint which, const QSizeF &constraint = QSizeF()) const override;

private:
    void uncheckSiblings();
    std::unique_ptr<ERadioButtonWidgetPrivate> d;
};
