// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"
#include "elocale.h"

class BaseRoomV1;
class EBaseWidget;
class EComboWidget;
class ELabelWidget;

// The small dialog a room screen opens to save the present lighting state as a miniscene of the
// room (optionally into a global scene too), or the heating state as a heating scene.
class SaveSceneDialog : public EGraphicsWidget, public AbstractLocalizable
{
    Q_OBJECT
public:
    explicit SaveSceneDialog(QGraphicsItem *parent = nullptr);

    // Fills the selectors for `page`: the room's miniscenes (rooms only) and the scenes of
    // `systemRoot`, the root page of the page's subsystem (may be null).
    void init(const BaseRoomV1 *page, const BaseRoomV1 *systemRoot);
    // Chosen entries; 0 is "no".
    int miniScene() const;
    int globalScene() const;
    EComboWidget *miniSelector() const { return m_mini; }
    EComboWidget *globalSelector() const { return m_global; }
    EBaseWidget *saveButton() const { return m_save; }
    EBaseWidget *cancelButton() const { return m_cancel; }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

public slots:
    void closeControls();
    void saveControls();
    void scenesMiniChanged(int index);

signals:
    void SaveClicked();
    void CloseClicked();

protected:
    void applyTexts() override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;

private:
    QStringList withNone(const QStringList &scenes) const;

    ELabelWidget *m_miniCaption = nullptr;
    ELabelWidget *m_globalCaption = nullptr;
    EComboWidget *m_mini = nullptr;
    EComboWidget *m_global = nullptr;
    EBaseWidget *m_save = nullptr;
    EBaseWidget *m_cancel = nullptr;
    bool m_isRoom = false;
};
