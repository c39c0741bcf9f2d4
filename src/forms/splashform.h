// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

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
    EBaseWidget *thumbnail(int index) const;
    bool isOverlayShown() const;

signals:
    void showEngDemo();
    void showWebPage();

protected:
    void geometryUpdated() override;

private:
    void showOverlay(const QString &resource);

    EGraphicsWidget *m_panel = nullptr;
    EBaseWidget *m_runDemo = nullptr;
    QList<EBaseWidget *> m_thumbnails;
    EBaseWidget *m_overlay = nullptr;
    EImageWidget *m_overlayImage = nullptr;
};
