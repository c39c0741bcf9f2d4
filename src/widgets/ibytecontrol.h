// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QtGlobal>

// The scaled-value conversion shared by the numeric control widgets: a controller value (raw,
// 0 .. scale) is shown as a real in the record's display range (minimum .. maximum) and back.
// A second base of the widgets, not a QObject.
class IByteControl
{
public:
    virtual ~IByteControl() = default;

    // (value - min) / (max - min) * scale, rounded to the nearest integer (halves upwards). False
    // when the range is empty or the scale is not positive: such a control has no raw value to
    // send, and *raw is left untouched.
    static bool toRaw(double value, double max, double min, double scale, qint64 *raw);
    // min + (max - min) * raw / scale; the minimum when the scale is not positive.
    static double toDisplay(double raw, double max, double min, double scale);
    // Rounding of the conversion: to the nearest integer, a half rounds towards +infinity
    // (127.5 -> 128, -2.5 -> -2).
    static qint64 roundHalfUp(double value);
    // Largest value a data width carries (0 BYTE, 1 WORD, 2 DWORD).
    static qint64 typeMaximum(int typeD);
    // What may actually be written for a data width: 0 .. typeMaximum, so a raw value beyond the
    // width saturates instead of wrapping around in the controller.
    static qint64 clampToType(qint64 raw, int typeD);

protected:
    IByteControl() = default;
    IByteControl(const IByteControl &) = default;
    IByteControl &operator=(const IByteControl &) = default;
};
