// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

#include <functional>

class EBaseWidget;
class EImageWidget;

// The page shown when no configuration was found: a warning, the product in a few words, a
// "Run Demo" button and three pictures of the program at work, each opening full page on a click.
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
    EBaseWidget *thumbnail(int index) const;
    bool isOverlayShown() const;

signals:
    void showEngDemo();
    // A configuration folder the person picked with "Open configuration...".
    void openConfiguration(const QString &folder);
    void showWebPage();

protected:
    void geometryUpdated() override;

private:
    void showOverlay(const QString &resource);

    EGraphicsWidget *m_panel = nullptr;
    EBaseWidget *m_runDemo = nullptr;
    EBaseWidget *m_openConfiguration = nullptr;
    FolderPicker m_pickFolder;
    QList<EBaseWidget *> m_thumbnails;
    EBaseWidget *m_overlay = nullptr;
    EImageWidget *m_overlayImage = nullptr;
};
