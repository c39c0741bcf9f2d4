// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "enumericwidget.h"

// A whole-number field shown, typed and stored as hexadecimal text (upper-case digits, no prefix;
// "0x" is accepted when typed or set). Limits and value are texts as well. A text that is not
// hexadecimal leaves the old value. valueChanged(QString) reports the user's changes only.
class EHexnumericWidget : public ENumericWidget
{
    Q_OBJECT
    Q_PROPERTY(bool enablewidget READ isEnabled WRITE setEnabled)
    Q_PROPERTY(QString min READ min WRITE setMin)
    Q_PROPERTY(QString max READ max WRITE setMax)
    Q_PROPERTY(QString val READ val WRITE setVal)
    Q_PROPERTY(int stepv READ stepv WRITE setStepv)
public:
    explicit EHexnumericWidget(QGraphicsItem *parent = nullptr);

    QString min() const;
    bool setMin(const QString &text);
    QString max() const;
    bool setMax(const QString &text);
    QString val() const;
    bool setVal(const QString &text);
    int stepv() const;
    void setStepv(int step);

    static bool parseHex(const QString &text, qint64 *value);
    static QString toHex(qint64 value);

signals:
    void valueChanged(const QString &value);

protected:
    QString formatValue(double value) const override;
    bool parseText(const QString &text, double *value) const override;
    bool acceptsChar(QChar c) const override;
    void emitUserValue(double value) override;
};
