// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QImage>
#include <QList>
#include <QString>

// A rough picture of what each page of a generated project will look like: the plan with the
// icons of its controls and sub-pages at their positions and frames for the sized controls. It
// lets a person check placement without running the panel.
class PagePreview
{
public:
    struct Page
    {
        QString name;
        QImage image;
    };

    // Reads the project files of `folder` and draws every page with the pictures found there.
    static QList<Page> render(const QString &folder);
};
