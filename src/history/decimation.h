// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QPointF>
#include <QVector>

// Fewer points for a chart line without losing what a person would look for. Points are (time,
// value) in ascending time.
namespace HistoryDecimation {

// Splits [from, to) into `columns` equal slices and keeps, of every slice, the point with the
// smallest and the one with the largest value, in their time order (one point when they are the
// same). Every peak stays visible and a line has at most two points per pixel column. Points
// outside [from, to) are dropped.
QVector<QPointF> minMax(const QVector<QPointF> &points, double from, double to, int columns);

// Largest-triangle-three-buckets: keeps the first and last point and, of each of threshold - 2
// equal-count buckets between them, the point that spans the largest triangle with the point
// kept before it and the average of the next bucket. Returns the input when it is not longer
// than `threshold` (or threshold < 3).
QVector<QPointF> lttb(const QVector<QPointF> &points, int threshold);

// Cuts a line where consecutive points lie more than `gap` apart, so a missing day shows as a
// hole instead of a straight line across it.
QList<QVector<QPointF>> split(const QVector<QPointF> &points, double gap);

} // namespace HistoryDecimation
