// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "decimation.h"

#include <QList>
#include <cmath>

namespace HistoryDecimation {

QVector<QPointF> minMax(const QVector<QPointF> &points, double from, double to, int columns)
{
    QVector<QPointF> out;
    if (columns <= 0 || !(to > from))
        return out;
    out.reserve(std::min<int>(points.size(), columns * 2));
    const double width = (to - from) / columns;
    int current = -1;
    int minAt = -1;
    int maxAt = -1;
    auto flush = [&] {
        if (minAt < 0)
            return;
        if (minAt == maxAt) {
            out.append(points.at(minAt));
        } else {
            out.append(points.at(std::min(minAt, maxAt)));
            out.append(points.at(std::max(minAt, maxAt)));
        }
        minAt = maxAt = -1;
    };
    for (int i = 0; i < points.size(); ++i) {
        const QPointF &p = points.at(i);
        if (p.x() < from || p.x() >= to || std::isnan(p.y()))
            continue;
        const int column = std::min(columns - 1, int((p.x() - from) / width));
        if (column != current) {
            flush();
            current = column;
        }
        if (minAt < 0 || p.y() < points.at(minAt).y())
            minAt = i;
        if (maxAt < 0 || p.y() > points.at(maxAt).y())
            maxAt = i;
    }
    flush();
    return out;
}

QVector<QPointF> lttb(const QVector<QPointF> &points, int threshold)
{
    const int n = points.size();
    if (threshold < 3 || n <= threshold)
        return points;
    QVector<QPointF> out;
    out.reserve(threshold);
    out.append(points.first());
    // Buckets of the points between the first and the last.
    const double every = double(n - 2) / (threshold - 2);
    int kept = 0;
    for (int b = 0; b < threshold - 2; ++b) {
        const int start = int(std::floor(b * every)) + 1;
        const int end = std::min(n - 1, int(std::floor((b + 1) * every)) + 1);
        // The average of the next bucket (the last point for the last bucket).
        const int nextStart = end;
        const int nextEnd = std::min(n - 1, int(std::floor((b + 2) * every)) + 1);
        double ax = 0;
        double ay = 0;
        int count = 0;
        for (int i = nextStart; i < std::max(nextEnd, nextStart + 1) && i < n; ++i) {
            ax += points.at(i).x();
            ay += points.at(i).y();
            ++count;
        }
        ax /= count;
        ay /= count;
        const QPointF &a = points.at(kept);
        double best = -1;
        int bestAt = start;
        for (int i = start; i < end; ++i) {
            const QPointF &p = points.at(i);
            const double area =
                std::abs((a.x() - ax) * (p.y() - a.y()) - (a.x() - p.x()) * (ay - a.y()));
            if (area > best) {
                best = area;
                bestAt = i;
            }
        }
        out.append(points.at(bestAt));
        kept = bestAt;
    }
    out.append(points.last());
    return out;
}

QList<QVector<QPointF>> split(const QVector<QPointF> &points, double gap)
{
    QList<QVector<QPointF>> pieces;
    QVector<QPointF> piece;
    for (const QPointF &p : points) {
        if (!piece.isEmpty() && p.x() - piece.last().x() > gap) {
            pieces.append(piece);
            piece.clear();
        }
        piece.append(p);
    }
    if (!piece.isEmpty())
        pieces.append(piece);
    return pieces;
}

} // namespace HistoryDecimation
