// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "baseform.h"
#include "elocale.h"

class ELabelWidget;
class ExtToolWidget;

// The exit question: Yes ends the program, No goes back where the person came from.
class ExitForm : public BaseForm, public AbstractLocalizable
{
    Q_OBJECT
public:
    explicit ExitForm(QGraphicsItem *parent = nullptr);

    ExtToolWidget *yesButton() const { return m_yes; }
    ExtToolWidget *noButton() const { return m_no; }

signals:
    void backClick();

public slots:
    void closeApplication();
    void changedLocale(const QString &language);

protected:
    void applyTexts() override;

private:
    ELabelWidget *m_title = nullptr;
    ELabelWidget *m_question = nullptr;
    ExtToolWidget *m_yes = nullptr;
    ExtToolWidget *m_no = nullptr;
};
