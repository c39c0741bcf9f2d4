// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "extcalendarwidget.h"

#include "egridlayout.h"
#include "eimagewidget.h"
#include "elabelwidget.h"

ExtCalendarWidget::ExtCalendarWidget(QGraphicsItem *parent)
    : EGraphicsWidget(parent)
{
    // The picture sits behind the grid rather than in it, so the labels can share its cells.
    m_background = new EImageWidget(this);
    m_background->setSource(QStringLiteral(":/resources/calendar.png"));
    m_background->setFillMode(EImageWidget::Stretch);
    m_background->setZValue(-1);
    connect(this, &EGraphicsWidget::onGeometryChanged, m_background,
            [this](const QRectF &r) { m_background->setGeometry(QRectF(QPointF(), r.size())); });

    auto *grid = new EGridLayout;
    grid->setRowFixedHeight(0, 5);
    grid->setRowFixedHeight(1, 18);
    grid->setRowStretch(2, 1);
    m_month = new ELabelWidget(QStringLiteral("May"));
    m_day = new ELabelWidget(QStringLiteral("25"));
    for (ELabelWidget *label : {m_month, m_day}) {
        label->setAlignment(Qt::AlignCenter);
        label->setColortext(QColor(37, 40, 43));
    }
    m_month->setColortext(Qt::white);
    grid->addWidget(m_month, 1, 0);
    grid->addWidget(m_day, 2, 0);
    setLayout(grid);
}

void ExtCalendarWidget::setMonthText(const QString &text)
{
    if (text != m_month->labelT())
        m_month->setLabelT(text);
}

void ExtCalendarWidget::setDayText(const QString &text)
{
    if (text != m_day->labelT())
        m_day->setLabelT(text);
}

QString ExtCalendarWidget::monthText() const
{
    return m_month->labelT();
}

QString ExtCalendarWidget::dayText() const
{
    return m_day->labelT();
}

void ExtCalendarWidget::setFonts(const QFont &monthFont, const QFont &dayFont)
{
    m_month->setFont(monthFont);
    m_day->setFont(dayFont);
}
