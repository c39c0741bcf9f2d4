// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

#include <QFont>

class ELabelWidget;
class EImageWidget;

// The calendar tile of the top bar: a small page with the short month name above the day of the
// month, set by the main content on every clock tick.
class ExtCalendarWidget : public EGraphicsWidget
{
    Q_OBJECT
public:
    explicit ExtCalendarWidget(QGraphicsItem *parent = nullptr);

    void setMonthText(const QString &text);
    void setDayText(const QString &text);
    QString monthText() const;
    QString dayText() const;
    void setFonts(const QFont &monthFont, const QFont &dayFont);

private:
    EImageWidget *m_background = nullptr;
    ELabelWidget *m_month = nullptr;
    ELabelWidget *m_day = nullptr;
};
