// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "baseform.h"
#include "elocale.h"

#include <memory>

class ECheckboxWidget;
class EComboWidget;
class EBaseWidget;
class ExtToolWidget;
struct SettingsFormPrivate;

// Program settings: the language (every screen re-translates at once), the program mode
// (administration allows editing), the two logging switches and the background picture, which
// steps through the pictures of the working folder's "fone" folder.
class SettingsForm : public BaseForm, public AbstractLocalizable
{
    Q_OBJECT
public:
    explicit SettingsForm(QGraphicsItem *parent = nullptr);
    ~SettingsForm() override;

    bool isChanged() const;
    EComboWidget *languageList() const;
    ExtToolWidget *modeButton() const;
    ExtToolWidget *backgroundButton() const;
    ECheckboxWidget *archiveBox() const;
    ECheckboxWidget *alarmBox() const;
    // "Reset demo" (demo start only) asks first; its answer buttons, and the question or the
    // notice shown beside them (empty when none).
    ExtToolWidget *resetDemoButton() const;
    ExtToolWidget *resetDemoConfirmButton() const;
    ExtToolWidget *resetDemoCancelButton() const;
    QString demoText() const;

    // The picture that follows `current` among `files` (wrapping, the first one when `current` is
    // empty or not among them); empty when there are no files.
    static QString nextBackground(const QStringList &files, const QString &current);
    // The background pictures of the configuration, as the button lists them.
    static QStringList backgroundFiles();
    // The panel of background thumbnails the button opens (null until first opened), and the
    // thumbnail of one file on it.
    QGraphicsWidget *backgroundPicker() const;
    EBaseWidget *backgroundThumbnail(const QString &fileName) const;

signals:
    void ChangeFone();

public slots:
    void languageChanged(int index);
    void ChackControls(bool value);
    void ChangerValue(double value);
    void ChangeFoneImage();
    // Opens the picker; a tap on a thumbnail makes that picture the background.
    void chooseBackground();
    void selectBackground(const QString &fileName);
    void ChangeRegim();
    void changedLocale(const QString &language);
    void resetDemo();

protected:
    void applyTexts() override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void updateModeCaption();
    void showDemoQuestion(bool on);
    void showDemoResetNotice();

    std::unique_ptr<SettingsFormPrivate> d;
};
