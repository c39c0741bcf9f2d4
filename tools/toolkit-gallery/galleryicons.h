// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QImage>

// Pictures drawn in code for the gallery, so it needs no files: a lamp (on or off), a house, a
// thermometer, a fan, a status dot and a patterned tile for the fill modes.
namespace GalleryIcons {
QImage lamp(int size, bool on);
QImage house(int size);
QImage thermometer(int size);
QImage fan(int size);
QImage dot(int size, QRgb color);
QImage tile(int w, int h);
} // namespace GalleryIcons
