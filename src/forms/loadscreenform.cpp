// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "loadscreenform.h"

#include "egridlayout.h"
#include "eimagewidget.h"
#include "elabelwidget.h"
#include "eprogresswidget.h"

#include <QCoreApplication>

LoadScreenForm::LoadScreenForm(QGraphicsItem *parent)
    : EGraphicsWidget(parent)
{
    auto *grid = new EGridLayout;
    grid->setColumnSizes({0, 70, 380, 70, 0});
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(4, 1);
    grid->setRowSizes({30, 0, 80, 10, 0, 50, 50});
    grid->setRowStretch(1, 1);
    grid->setRowStretch(4, 1);

    auto *header = new ELabelWidget(QStringLiteral("VerandixEditor v")
                                    + QCoreApplication::applicationVersion());
    header->setMargins(10, 0, 0, 0);
    header->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setColortext(Qt::white);
    grid->addWidget(header, 0, 0, 1, 5);

    auto *name = new ELabelWidget(QStringLiteral("VerandixEditor"));
    QFont nameFont(QStringLiteral("Arial"));
    nameFont.setPixelSize(44);
    nameFont.setWeight(75);
    name->setFont(nameFont);
    name->setAlignment(Qt::AlignCenter);
    name->setColortext(Qt::white);
    grid->addWidget(name, 2, 2);

    m_progress = new EProgressWidget;
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setColor(QColor(QStringLiteral("#004d6d")));
    grid->addWidget(m_progress, 3, 2);

    // Loading problems go where the eye already is: just under the bar, in the stretch row.
    m_message = new ELabelWidget;
    m_message->setWordWrap(true);
    m_message->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_message->setColortext(QColor(255, 196, 120));
    grid->addWidget(m_message, 4, 1, 1, 3);

    auto *logo = new EImageWidget;
    logo->setSource(QStringLiteral(":/resources/logo.png"));
    logo->setFillMode(EImageWidget::PreserveAspectFit);
    grid->addWidget(logo, 6, 2);
    setLayout(grid);
}

int LoadScreenForm::progress() const
{
    return m_progress->value();
}

void LoadScreenForm::setProgress(int value)
{
    m_progress->setValue(value);
}

void LoadScreenForm::setMessage(const QString &text)
{
    m_message->setLabelT(text);
}

QString LoadScreenForm::message() const
{
    return m_message->labelT();
}
