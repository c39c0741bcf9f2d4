// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "baseform.h"
#include "elocale.h"

#include <QStringList>

class ELabelWidget;

// The information page: product, version, rights, contact and the legal notice, and below them
// the problems met while loading the configuration, where an integrator looks for them.
class InfoForm : public BaseForm, public AbstractLocalizable
{
    Q_OBJECT
public:
    explicit InfoForm(QGraphicsItem *parent = nullptr);

    void setProblems(const QStringList &problems);
    QString problemsText() const;

public slots:
    void changedLocale(const QString &language);

protected:
    void applyTexts() override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;

private:
    ELabelWidget *m_title = nullptr;
    ELabelWidget *m_product = nullptr;
    ELabelWidget *m_version = nullptr;
    ELabelWidget *m_rights = nullptr;
    ELabelWidget *m_contact = nullptr;
    ELabelWidget *m_legal = nullptr;
    ELabelWidget *m_problems = nullptr;
    QStringList m_problemList;
};
