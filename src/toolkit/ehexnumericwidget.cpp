// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "ehexnumericwidget.h"

namespace {
// Eight hex digits cover any register address or 32-bit word; longer texts are rejected instead of
// overflowing.
constexpr int kMaxHexDigits = 8;
} // namespace

EHexnumericWidget::EHexnumericWidget(QGraphicsItem *parent) : ENumericWidget(parent)
{
    setDecimals(0);
    setStep(1);
    setRange(0, 0xFFFF);
    setTypingEnabled(true);
}

bool EHexnumericWidget::parseHex(const QString &text, qint64 *value)
{
    QString t = text.trimmed();
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        t = t.mid(2);
    if (t.isEmpty() || t.size() > kMaxHexDigits)
        return false;
    bool ok = false;
    const qint64 v = t.toLongLong(&ok, 16);
    if (!ok || v < 0)
        return false;
    *value = v;
    return true;
}

QString EHexnumericWidget::toHex(qint64 value)
{
    return QString::number(qMax<qint64>(0, value), 16).toUpper();
}

QString EHexnumericWidget::min() const
{
    return toHex(qint64(minimum()));
}

bool EHexnumericWidget::setMin(const QString &text)
{
    qint64 v = 0;
    if (!parseHex(text, &v))
        return false;
    setMinimum(double(v));
    return true;
}

QString EHexnumericWidget::max() const
{
    return toHex(qint64(maximum()));
}

bool EHexnumericWidget::setMax(const QString &text)
{
    qint64 v = 0;
    if (!parseHex(text, &v))
        return false;
    setMaximum(double(v));
    return true;
}

QString EHexnumericWidget::val() const
{
    return toHex(qint64(value()));
}

bool EHexnumericWidget::setVal(const QString &text)
{
    qint64 v = 0;
    if (!parseHex(text, &v))
        return false;
    setValue(double(v));
    return true;
}

int EHexnumericWidget::stepv() const
{
    return int(step());
}

void EHexnumericWidget::setStepv(int step)
{
    setStep(qMax(1, step));
}

QString EHexnumericWidget::formatValue(double value) const
{
    return toHex(qint64(value));
}

bool EHexnumericWidget::parseText(const QString &text, double *value) const
{
    qint64 v = 0;
    if (!parseHex(text, &v))
        return false;
    *value = double(v);
    return true;
}

bool EHexnumericWidget::acceptsChar(QChar c) const
{
    return c.isDigit() || (c.toUpper() >= QLatin1Char('A') && c.toUpper() <= QLatin1Char('F')) ||
           c == QLatin1Char('x') || c == QLatin1Char('X');
}

void EHexnumericWidget::emitUserValue(double value)
{
    emit valueChanged(toHex(qint64(value)));
}
