// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "iconentries.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

// Every picture the program loads from its own resources, drawn from code. The catalogue names
// them, draws them and writes them as PNG files whose bytes depend only on this code and the Qt
// build, never on the time, the machine's fonts or chance.
class IconCatalog
{
public:
    static QList<IconEntry> entries();
    static QStringList names();
    // Draws one picture at its catalogue size; null for an unknown name.
    static QImage render(const QString &name);

    // Writes a PNG with fixed settings (strongest compression, no text or time chunks). Opaque
    // pictures are stored without an alpha channel.
    static bool writePng(const QString &path, const QImage &image, QString *error = nullptr);
    // Writes every picture into `folder` (created if needed) under its resource name.
    static bool writeAll(const QString &folder, QString *error = nullptr);

    // All pictures on one sheet, each on the top bar's colour and on the light page gradient,
    // at their own size: for people looking the set over.
    static QImage contactSheet();
};
