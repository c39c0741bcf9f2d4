// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "ebasewidget.h"

#include <QVector>
#include <memory>

struct ExtWidgetKind;

class EFlickableTextEdit;
class ExtToolWidget;
struct ExtTextWriterWidgetPrivate;

// A text the user types and sends to the controller with the save button beside it.
class ExtTextWriterWidget : public EBaseWidget
{
    Q_OBJECT
public:
    explicit ExtTextWriterWidget(QGraphicsItem *parent = nullptr);
    // The control kinds this widget shows (ExtWidgetKinds).
    static QVector<ExtWidgetKind> widgetKinds();
    ~ExtTextWriterWidget() override;

    void setCaption(const QString &caption);
    QString caption() const;
    void setCaptionColor(const QColor &color);
    void setTextColor(const QColor &color);
    void setTextFont(const QFont &font);
    // Longest text the controller window takes, in bytes of the controller's encoding; typing
    // stops there, and the field shows how many bytes are used ("12/16").
    void setMaxLength(int length);
    int maxLength() const;
    QString counterText() const;
    QString currentText() const;
    void setCurrentText(const QString &text);
    EFlickableTextEdit *editor() const;
    ExtToolWidget *sendButton() const;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

public slots:
    void editChanged();

signals:
    void textChanged();

private:
    void enforceByteLimit();
    void updateCounter();

    std::unique_ptr<ExtTextWriterWidgetPrivate> d;
};
