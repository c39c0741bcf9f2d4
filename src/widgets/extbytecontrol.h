// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "ebasewidget.h"
#include "ibytecontrol.h"

#include <QVector>
#include <memory>

struct ExtWidgetKind;

class ENumericWidget;
class ETextEdit;
class ExtToolWidget;
struct ExtByteControlPrivate;

// A controller value shown as a scaled number with step buttons and, in edit mode 1, a button
// for typing the value directly. Values from the controller are set silently; ValueChange()
// carries the raw value of a change the user made.
class ExtByteControl : public EBaseWidget, public IByteControl
{
    Q_OBJECT
public:
    enum EditMode { ReadOnly = 0, Editable = 1, StepsOnly = 2 };

    explicit ExtByteControl(QGraphicsItem *parent = nullptr);
    // The control kinds this widget shows (ExtWidgetKinds).
    static QVector<ExtWidgetKind> widgetKinds();
    ~ExtByteControl() override;

    void setCaption(const QString &caption);
    QString caption() const;
    void setCaptionColor(const QColor &color);
    void setValueColor(const QColor &color);
    void setValueFont(const QFont &font);
    // Background picture by working-folder name; empty or "none" shows none.
    void setImageName(const QString &name);
    void setFrame(bool on);
    void setPrecision(int decimals);
    void setRange(double minimum, double maximum);
    double minimum() const;
    double maximum() const;
    void setStep(double step);
    // Raw value of the display maximum (the record's maxval).
    void setScale(double scale);
    double scale() const;
    // Width of the controller value (0 BYTE, 1 WORD, 2 DWORD): raw values are kept within it.
    void setDataType(int typeD);
    void setEditMode(int mode);
    int editMode() const;

    // A raw controller value; shown as its display value. Silent.
    void setRawValue(double raw);
    double value() const;
    QString displayText() const;
    bool isEntryOpen() const;
    ENumericWidget *field() const;
    ETextEdit *entry() const;
    ExtToolWidget *editButton() const;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

public slots:
    void editChanged();
    void plusminusClick(double val);

signals:
    void ValueChange(int value);

private:
    void sendValue(double display);
    void applyValueColor();
    std::unique_ptr<ExtByteControlPrivate> d;
};
