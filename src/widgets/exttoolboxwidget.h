// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"
#include "elocale.h"

class ELabelWidget;
class ExtToolWidget;

// The edit toolbox of a room screen: a status line and the add, delete and properties buttons.
class ExtToolboxWidget : public EGraphicsWidget, public AbstractLocalizable
{
    Q_OBJECT
public:
    explicit ExtToolboxWidget(QGraphicsItem *parent = nullptr);

    void setStatusText(const QString &text);
    void resetStatusText();
    QString statusText() const;
    ExtToolWidget *addButton() const { return m_add; }
    ExtToolWidget *deleteButton() const { return m_delete; }
    ExtToolWidget *propertiesButton() const { return m_properties; }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

public slots:
    void AddButton();
    void DelButton();
    void ShowSettings();

signals:
    void addElementClicked();
    void delElementClicked();
    void prefElementClicked();

protected:
    void applyTexts() override;

private:
    ELabelWidget *m_status = nullptr;
    ExtToolWidget *m_add = nullptr;
    ExtToolWidget *m_delete = nullptr;
    ExtToolWidget *m_properties = nullptr;
};
