// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QImage>
#include <QList>
#include <QSize>
#include <functional>

// One built-in picture: its resource file name, the size it is written at (the size it is shown
// at, so it stays crisp) and the function that draws it.
struct IconEntry
{
    QString name;
    QSize size;
    QString group;
    std::function<QImage(const QSize &)> paint;
};

// The groups, each drawn in its own file.
QList<IconEntry> statusIcons();  // top bar, alert table, dialog buttons
QList<IconEntry> editorIcons();  // palette, toolbox, camera and PTZ buttons, control defaults
QList<IconEntry> weatherIcons(); // weather tile conditions and its refresh button
QList<IconEntry> pictureIcons(); // background tile, logos, splash thumbnails, calendar, no-video
