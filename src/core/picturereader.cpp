// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "picturereader.h"

#include <QImageReader>

namespace PictureReader {

QImage read(const QString &path, const QSize &scaledTo, Outcome *outcome, QSize *declared)
{
    Outcome result = Outcome::Unreadable;
    QImage image;
    QImageReader reader(path);
    const QSize size = reader.size(); // from the header alone
    if (declared)
        *declared = size;
    if (size.width() > kMaxSide || size.height() > kMaxSide) {
        result = Outcome::TooLarge;
    } else {
        QSize target = scaledTo;
        if (!target.isValid() && size.isValid() &&
            (size.width() > kMaxDrawnSide || size.height() > kMaxDrawnSide))
            target = size.scaled(kMaxDrawnSide, kMaxDrawnSide, Qt::KeepAspectRatio)
                         .expandedTo(QSize(1, 1));
        if (target.isValid() && !target.isEmpty() && size.isValid())
            reader.setScaledSize(target);
        if (reader.read(&image)) {
            result = Outcome::Read;
            // Formats that cannot decode to a size ignore it: scale once here.
            if (target.isValid() && !target.isEmpty() && image.size() != target)
                image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
    }
    if (outcome)
        *outcome = result;
    return image;
}

QString tooLargeMessage(const QSize &declared)
{
    return QStringLiteral("picture of %1 x %2 pixels is larger than %3 x %3: not shown")
        .arg(declared.width())
        .arg(declared.height())
        .arg(kMaxSide);
}

} // namespace PictureReader
