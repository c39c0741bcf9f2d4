// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

#include <functional>

class EBaseWidget;
class EImageWidget;

// The page shown when no configuration was found: a warning, the product in a few words, a
// "Run Demo" button, three pictures of the program at work, each opening full page on a click, and
// a button at the bottom that asks for the user guide.
class SplashForm : public EGraphicsWidget
{
    Q_OBJECT
public:
    explicit SplashForm(QGraphicsItem *parent = nullptr);

    EBaseWidget *runDemoButton() const { return m_runDemo; }
    EBaseWidget *openConfigurationButton() const { return m_openConfiguration; }
    // Asks for a configuration folder and returns it, empty when the person cancels. The
    // platform's folder dialog unless a test stands another in.
    using FolderPicker = std::function<QString(const QString &title)>;
    void setFolderPicker(FolderPicker picker);
    // "New home...": asks for an empty folder, then for the controller's address (the default
    // offered is the one a new home gets when the person just confirms). The platform's dialogs
    // unless a test stands others in; an empty answer cancels.
    EBaseWidget *newHomeButton() const { return m_newHome; }
    using AddressPicker = std::function<QString(const QString &title, const QString &offered)>;
    void setAddressPicker(AddressPicker picker);
    EBaseWidget *thumbnail(int index) const;
    EBaseWidget *guideButton() const { return m_guide; }
    bool isOverlayShown() const;

signals:
    void showEngDemo();
    void showUserGuide();
    // A configuration folder the person picked with "Open configuration...".
    void openConfiguration(const QString &folder);
    // A folder and a controller address the person chose with "New home...".
    void newHome(const QString &folder, const QString &address);

protected:
    void geometryUpdated() override;

private:
    void showOverlay(const QString &resource);

    EGraphicsWidget *m_panel = nullptr;
    EBaseWidget *m_runDemo = nullptr;
    EBaseWidget *m_guide = nullptr;
    EBaseWidget *m_openConfiguration = nullptr;
    FolderPicker m_pickFolder;
    EBaseWidget *m_newHome = nullptr;
    AddressPicker m_pickAddress;
    QList<EBaseWidget *> m_thumbnails;
    EBaseWidget *m_overlay = nullptr;
    EImageWidget *m_overlayImage = nullptr;
};
