// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "houselayout.h"

#include <QImage>
#include <QString>

// Knows how to draw every picture the demo's project files can name: plans from the house
// layout, icons from glyphs and colours. A name it does not know gives a null image, which the
// generator reports as an error rather than shipping a project with a missing picture.
class ImageCatalog
{
public:
    explicit ImageCatalog(const HouseLayout &layout) : m_layout(layout) {}

    QImage image(const QString &name) const;

private:
    QImage plan(const QString &name) const;
    QImage icon(const QString &name) const;

    const HouseLayout &m_layout;
};
