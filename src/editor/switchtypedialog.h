// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"
#include "elocale.h"

#include <QColor>
#include <QList>

class EBaseWidget;
class EComboWidget;
class EIconWidget;
class ELabelWidget;

// The panel in which a person makes a wall switch either switch its lamps or run one of its
// room's miniscenes. It only collects the choice: the room screen sends it to the controller,
// and the switch record follows from the controller's next answer.
class SwitchTypeDialog : public EGraphicsWidget, public AbstractLocalizable
{
    Q_OBJECT
public:
    // The scene codes the controller knows beside the room's own scenes 1..n.
    static constexpr int kAllOn = 100;
    static constexpr int kAllOff = 101;

    explicit SwitchTypeDialog(QGraphicsItem *parent = nullptr);
    ~SwitchTypeDialog() override;

    // Fills the panel for one switch: its widget, the page's scene captions and the type and
    // scene code the controller last reported.
    void setup(EBaseWidget *switchItem, const QStringList &scenes, int type, int sceneCode);
    EBaseWidget *switchItem() const { return m_switchItem; }
    // 0 switches lamps, 1 runs a miniscene.
    int typeIndex() const;
    // 0 none, 1..n a scene of the page, 100 all on, 101 all off.
    int sceneCode() const;

    EComboWidget *typeList() const { return m_typeList; }
    EComboWidget *sceneList() const { return m_sceneList; }
    EBaseWidget *saveButton() const;
    EBaseWidget *cancelButton() const;
    // The captions and the line on how to link a switch to lamps; for tests.
    QList<ELabelWidget *> captions() const { return {m_typeCaption, m_sceneCaption, m_hint}; }
    // The colour the panel paints behind its children.
    static QColor veilColor() { return QColor(0, 0, 0, 200); }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

signals:
    void CloseClicked();
    void SaveClicked();

public slots:
    void closeControls();
    void saveControls();
    void changeType(int index);

protected:
    void applyTexts() override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;

private:
    ELabelWidget *m_typeCaption = nullptr;
    ELabelWidget *m_sceneCaption = nullptr;
    ELabelWidget *m_hint = nullptr;
    EComboWidget *m_typeList = nullptr;
    EComboWidget *m_sceneList = nullptr;
    EIconWidget *m_save = nullptr;
    EIconWidget *m_cancel = nullptr;
    EBaseWidget *m_switchItem = nullptr;
};
