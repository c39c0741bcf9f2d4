// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QSize>

// Small picture files whose headers declare a size far beyond what their few bytes hold, as a
// hostile camera or project would send them: a reader that trusts the header allocates for the
// declared size.
namespace PictureBomb {

// A valid 16 x 16 baseline JPEG whose frame header declares `declared`.
QByteArray jpeg(const QSize &declared);
// A valid 16 x 16 PNG whose IHDR chunk declares `declared` (with its checksum mended, so the
// reader gets past it).
QByteArray png(const QSize &declared);

} // namespace PictureBomb
