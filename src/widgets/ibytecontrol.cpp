// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "ibytecontrol.h"

#include <cmath>
#include <limits>

bool IByteControl::toRaw(double value, double max, double min, double scale, qint64 *raw)
{
    // An empty range would divide by zero, and a zero scale maps every value to 0: either way the
    // control cannot express a value, so nothing must be sent.
    if (!raw || !(scale > 0) || qFuzzyCompare(max + 1.0, min + 1.0) || !std::isfinite(value))
        return false;
    const double e = (value - min) / (max - min) * scale;
    if (!std::isfinite(e))
        return false;
    // Keep the result inside what a 64-bit integer can hold before rounding.
    const double limit = double(std::numeric_limits<qint32>::max()) * 4.0;
    *raw = roundHalfUp(qBound(-limit, e, limit));
    return true;
}

double IByteControl::toDisplay(double raw, double max, double min, double scale)
{
    if (!(scale > 0))
        return min;
    return min + (max - min) * (raw / scale);
}

qint64 IByteControl::roundHalfUp(double value)
{
    return qint64(std::floor(value + 0.5));
}

qint64 IByteControl::typeMaximum(int typeD)
{
    switch (typeD) {
    case 1:
        return 0xFFFF;
    case 2:
        return 0xFFFFFFFFLL;
    default:
        return 0xFF;
    }
}

qint64 IByteControl::clampToType(qint64 raw, int typeD)
{
    return qBound<qint64>(0, raw, typeMaximum(typeD));
}
