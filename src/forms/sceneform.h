// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "baseform.h"
#include "controllermap.h"
#include "elocale.h"

#include <memory>

class ECheckboxWidget;
class EComboWidget;
class ENumericWidget;
class ETextEdit;
class ExtToolWidget;
struct GActivators;
struct ScenesStruct;
struct SceneFormPrivate;

// The house scenes: the eight global scenes stored in the controller, each with what it switches
// (lighting, heating, engineering and media scenes), when it runs (time, weekdays, repeat), the
// wall switch that starts it, extra conditions and a short SMS text. The scene area is polled
// while the page is shown; Save writes the selected scene back.
class SceneForm : public BaseForm, public AbstractLocalizable
{
    Q_OBJECT
public:
    // Structure bytes of a global scene definition as this page edits them.
    enum Byte {
        LightByte = ControllerMap::kActivatorLight,
        HeatByte = ControllerMap::kActivatorHeat,
        EngineeringByte = ControllerMap::kActivatorEngineering,
        MediaByte = ControllerMap::kActivatorMedia,
        ReservedByte = ControllerMap::kActivatorReserved,
        HourByte = ControllerMap::kActivatorHour,
        MinuteByte = ControllerMap::kActivatorMinute,
        SwitchByte = ControllerMap::kActivatorSwitch,
        AdvancedByte = ControllerMap::kActivatorAdvanced,
        TimerByte = ControllerMap::kActivatorTimer
    };

    explicit SceneForm(QGraphicsItem *parent = nullptr);
    ~SceneForm() override;

    // The object that receives the scene commands and publishes ReadyUpdateScenes. By default
    // the application's controller link; tests put a recording stand-in here.
    void setLink(QObject *link);
    QObject *link() const;

    // The lighting and heating lists: "no", the scene captions, then "Enable all" and "Disable
    // all" as the last two items, whatever the number of captions.
    static int sceneItemForValue(int value, int itemCount);
    // The byte for an item of such a list; `previous` is kept when no item is chosen.
    static int sceneValueForItem(int index, int itemCount, int previous);

    // The definition the editors describe, on top of the scene's last read definition.
    GActivators editedActivators() const;
    int selectedScene() const;
    // Whether scene data from the controller arrived since the page was built.
    bool hasSceneData() const;

    EComboWidget *sceneSelector() const;
    EComboWidget *lightSelector() const;
    EComboWidget *heatSelector() const;
    EComboWidget *engineeringSelector() const;
    EComboWidget *mediaSelector() const;
    EComboWidget *switchSelector() const;
    ENumericWidget *hourField() const;
    ENumericWidget *minuteField() const;
    // 0..6 weekdays MO..SU, 7 the repeat timer.
    ECheckboxWidget *timerBox(int bit) const;
    ECheckboxWidget *advancedBox(int bit) const;
    ETextEdit *smsField() const;
    ETextEdit *renameField() const;
    ExtToolWidget *saveButton() const;
    ExtToolWidget *renameButton() const;
    // Whether the editors hold changes to the shown scene that were not saved.
    bool hasUnsavedChanges() const;
    // The question put when another scene is picked over unsaved changes, and its answers.
    enum PromptAnswer { PromptSave, PromptDiscard, PromptCancel };
    QGraphicsWidget *unsavedPrompt() const;
    ExtToolWidget *promptButton(PromptAnswer answer) const;

signals:
    void CloseClicked();

public slots:
    void readyToUpdateResVars(const ScenesStruct &value);
    void SaveCurrentGlobalScene();
    void RenameControlData();
    void closeControls();
    void SelectGlobalScene(int index);
    void changedLocale(const QString &language);
    void answerPrompt(SceneForm::PromptAnswer answer);

protected:
    void applyTexts() override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void geometryUpdated() override;

private:
    void arrange(bool narrow);
    void rebuildLists();
    void setEditorsEnabled(bool on);
    void clearEditors();
    void loadEditors(int scene);
    void showScene(int index);
    void finishPrompt(int pending, PromptAnswer answer);
    void rememberShown();
    void connectLink();
    void disconnectLink();

    std::unique_ptr<SceneFormPrivate> d;
};
