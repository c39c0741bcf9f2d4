// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "exitform.h"

#include "adminaccess.h"
#include "ecoreapp.h"
#include "egridlayout.h"
#include "elabelwidget.h"
#include "exttoolwidget.h"

#include <QCoreApplication>

ExitForm::ExitForm(QGraphicsItem *parent)
    : BaseForm(parent)
{
    auto *grid = new EGridLayout;
    grid->setColumnSizes({40, 0, 120, 120, 0, 40});
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    grid->setRowSizes({40, 0, 40, 45, 0});
    grid->setRowStretch(1, 1);
    grid->setRowStretch(4, 1);

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(24);
    m_title = new ELabelWidget;
    m_question = new ELabelWidget;
    for (ELabelWidget *label : {m_title, m_question}) {
        label->setFont(font);
        label->setColortext(Qt::black);
        label->setAlignment(Qt::AlignCenter);
    }
    grid->addWidget(m_title, 0, 0, 1, 6);
    grid->addWidget(m_question, 2, 0, 1, 5);

    m_yes = new ExtToolWidget(QStringLiteral("check.png"), QString());
    m_no = new ExtToolWidget(QStringLiteral("no.png"), QString());
    for (ExtToolWidget *button : {m_yes, m_no}) {
        button->setFont(ECoreApp::instance()->font(0));
        button->setShowCaption(true);
        button->setCaptionBeside(true);
        button->setCaptionColor(Qt::black);
    }
    grid->addWidget(m_yes, 3, 2);
    grid->addWidget(m_no, 3, 3);
    setLayout(grid);

    connect(m_yes, &EBaseWidget::clicked, this, &ExitForm::closeApplication);
    connect(m_no, &EBaseWidget::clicked, this, &ExitForm::backClick);
    if (ELocale *locale = ECoreApp::instance()->locale())
        connect(locale, &ELocale::changedLocale, this, &ExitForm::changedLocale);
    retranslate();
}

void ExitForm::closeApplication()
{
    // Ending the program leaves the wall without its panel: the administrator's decision.
    AdminAccess::request(this, [] { QCoreApplication::exit(0); });
}

void ExitForm::changedLocale(const QString &)
{
    retranslate();
}

void ExitForm::applyTexts()
{
    m_title->setLabelT(localText(61070));
    m_question->setLabelT(localText(61071));
    m_yes->setText(localText(61060));
    m_no->setText(localText(61061));
}
