// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "exttoolboxwidget.h"

#include "egridlayout.h"
#include "elabelwidget.h"
#include "exttoolwidget.h"

#include <QPainter>

ExtToolboxWidget::ExtToolboxWidget(QGraphicsItem *parent) : EGraphicsWidget(parent)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(12);
    m_status = new ELabelWidget;
    m_status->setColortext(QColor(0x53, 0x53, 0x53));
    m_status->setFont(f);
    m_add = new ExtToolWidget(QStringLiteral("element_add.png"), QString());
    m_delete = new ExtToolWidget(QStringLiteral("element_delete.png"), QString());
    m_properties = new ExtToolWidget(QStringLiteral("element_preferences.png"), QString());
    auto *grid = new EGridLayout;
    grid->setColumnSizes({70, 70, 70});
    // The button row holds a picture over a caption of two lines; the status line gives it room.
    grid->setRowSizes({16, 60});
    grid->addWidget(m_status, 0, 0, 1, 3);
    grid->addWidget(m_add, 1, 0);
    grid->addWidget(m_delete, 1, 1);
    grid->addWidget(m_properties, 1, 2);
    setLayout(grid);
    QFont caption(QStringLiteral("Arial"));
    caption.setPixelSize(10);
    for (ExtToolWidget *b : {m_add, m_delete, m_properties}) {
        b->setCaptionFont(caption);
        b->setMargins(3, 2, 3, 2);
    }
    connect(m_add, &EBaseWidget::clicked, this, &ExtToolboxWidget::AddButton);
    connect(m_delete, &EBaseWidget::clicked, this, &ExtToolboxWidget::DelButton);
    connect(m_properties, &EBaseWidget::clicked, this, &ExtToolboxWidget::ShowSettings);
    applyTexts();
}

void ExtToolboxWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    // A dark glass panel keeps the white captions readable over any plan.
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(0, 0, 0, 110));
    painter->drawRoundedRect(rect().adjusted(1, 1, -1, -1), 8, 8);
}

void ExtToolboxWidget::setStatusText(const QString &text)
{
    m_status->setLabelT(text);
}

void ExtToolboxWidget::resetStatusText()
{
    m_status->setLabelT(QString());
}

QString ExtToolboxWidget::statusText() const
{
    return m_status->labelT();
}

void ExtToolboxWidget::AddButton()
{
    emit addElementClicked();
}

void ExtToolboxWidget::DelButton()
{
    emit delElementClicked();
}

void ExtToolboxWidget::ShowSettings()
{
    emit prefElementClicked();
}

void ExtToolboxWidget::applyTexts()
{
    // Two lines, as the table gives them: joined to one line, the longer captions (Russian
    // "Добавить элемент") were cut in a button this narrow.
    const auto twoLines = [](QString text) {
        return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    };
    m_add->setText(twoLines(localText(61104)));
    m_delete->setText(twoLines(localText(61105)));
    m_properties->setText(twoLines(localText(61106)));
}
