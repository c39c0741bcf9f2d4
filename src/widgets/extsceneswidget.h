// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"
#include "elocale.h"

#include <QStringList>
#include <memory>

class EBaseWidget;
class ECheckboxWidget;
struct ExtScenesWidgetPrivate;

// The scene bar of a room screen: a column with the four scene buttons, all on, all off, save
// scene, and the two toggles of association mode ("Dependencies" and the switch-change box).
// Buttons that are hidden leave no gap. The bar only announces clicks; its owner sends commands.
class ExtScenesWidget : public EGraphicsWidget, public AbstractLocalizable
{
    Q_OBJECT
public:
    enum Button {
        Scene1 = 0,
        Scene2,
        Scene3,
        Scene4,
        AllOn,
        AllOff,
        Save,
        Dependencies,
        SwitchChange,
        Eco,
        ButtonCount
    };

    explicit ExtScenesWidget(QGraphicsItem *parent = nullptr);
    ~ExtScenesWidget() override;

    // The four scene buttons together with all on and all off.
    void setScenesVisible(bool visible);
    void setSaveVisible(bool visible);
    void setDependencyVisible(bool visible);
    // Captions of the four scene buttons; missing names leave "Scene n".
    void setSceneNames(const QStringList &names);

    bool isDependencyMode() const;
    bool isSwitchChangeMode() const;
    bool isEcoMode() const;
    // Leaves both association toggles unchecked and hides the switch-change box.
    void resetModes();

    EBaseWidget *button(Button which) const;
    bool isButtonShown(Button which) const;

public slots:
    void GlobalScene1();
    void GlobalScene2();
    void GlobalScene3();
    void GlobalScene4();
    void GlobalAllOn();
    void GlobalAllOff();
    void SceneSave();
    void EditDependance();
    void AllHeatOnOff();

signals:
    void GlobalScene1Click();
    void GlobalScene2Click();
    void GlobalScene3Click();
    void GlobalScene4Click();
    void GlobalAllOnClick();
    void GlobalAllOffClick();
    void SceneSaveClick();
    void EditDependanceClick();
    void AllHeatOnOffClick();

protected:
    void applyTexts() override;
    void geometryUpdated() override;

private:
    void relayout();
    std::unique_ptr<ExtScenesWidgetPrivate> d;
};
