// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Reads the pictures of a project (control pictures, plans) without trusting their headers: a few
// hundred bytes of PNG or JPEG can declare a picture of gigabytes. The declared size is read
// first, and a picture over the limit is refused without being decoded.
namespace PictureReader {

// Pictures declaring more pixels than this on a side are refused.
constexpr int kMaxSide = 8192;
// No control is drawn larger than a screen: a control picture beyond this is decoded scaled down
// to it, keeping its shape, so only what can be drawn stays in memory.
constexpr int kMaxDrawnSide = 2048;

enum class Outcome { Read, Unreadable, TooLarge };

// Reads the picture at `path`. With a valid `scaledTo` it is decoded at that size (JPEG straight
// from its DCT, other formats scaled once after reading); otherwise at its own size, or scaled
// down to fit kMaxDrawnSide when larger. *declared receives the size the file declares.
QImage read(const QString &path, const QSize &scaledTo, Outcome *outcome = nullptr,
            QSize *declared = nullptr);

// The load problem's words for a refused picture.
QString tooLargeMessage(const QSize &declared);

} // namespace PictureReader
