// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "windowplacement.h"

#include <QGuiApplication>
#include <QScreen>

#include <limits>

QRect WindowPlacement::bestArea(const QRect &wanted, const QList<QRect> &areas)
{
    QRect best;
    qint64 bestOverlap = 0;
    for (const QRect &area : areas) {
        const QRect common = area.intersected(wanted);
        const qint64 overlap = qint64(common.width()) * common.height();
        if (overlap > bestOverlap) {
            bestOverlap = overlap;
            best = area;
        }
    }
    if (bestOverlap > 0)
        return best;
    qint64 nearestDistance = std::numeric_limits<qint64>::max();
    for (const QRect &area : areas) {
        const QPoint delta = area.center() - wanted.center();
        const qint64 distance = qint64(delta.x()) * delta.x() + qint64(delta.y()) * delta.y();
        if (distance < nearestDistance) {
            nearestDistance = distance;
            best = area;
        }
    }
    return best;
}

QRect WindowPlacement::fit(const QRect &wanted, const QList<QRect> &areas, const QMargins &frame)
{
    const QRect outer = wanted.marginsAdded(frame);
    const QRect area = bestArea(outer, areas);
    // A window whose inside fits is left where it asked to be; the frame counts once the window
    // has to be moved or made smaller anyway.
    if (area.isEmpty() || area.contains(wanted))
        return wanted;
    QRect fitted = outer;
    // A window with no size of its own yet takes the whole area rather than vanishing.
    if (fitted.width() <= 0 || fitted.height() <= 0)
        fitted.setSize(area.size());
    fitted.setSize(fitted.size().boundedTo(area.size()));
    fitted.moveLeft(qBound(area.left(), fitted.left(), area.right() - fitted.width() + 1));
    fitted.moveTop(qBound(area.top(), fitted.top(), area.bottom() - fitted.height() + 1));
    return fitted.marginsRemoved(frame);
}

QList<QRect> WindowPlacement::screenAreas()
{
    QList<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}
