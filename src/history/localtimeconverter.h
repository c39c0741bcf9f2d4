// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QtGlobal>
#include <limits>

// Turns the local wall-clock times of the archive files into instants, fast enough for hundreds
// of thousands of rows: the zone's offset is looked up once per local hour. In the hour that a
// daylight-saving change repeats, the earlier instant is taken until the rows of a file run back
// in time; from then on the later one, so a file written through the change stays in order.
class LocalTimeConverter
{
public:
    // Milliseconds since the epoch of the local date and time; `previous` is the instant of the
    // row before (or a very small number at the start of a file). False for an impossible date.
    bool toEpoch(int year, int month, int day, int hour, int minute, int second, qint64 previous,
                 qint64 *msecs);

    // Days from 1970-01-01 to the date of the proleptic Gregorian calendar.
    static qint64 daysFromCivil(int year, int month, int day);

private:
    qint64 m_hourKey = std::numeric_limits<qint64>::min();
    int m_offsets[2] = {0, 0}; // seconds east of UTC, larger first
    int m_offsetCount = 0;     // 2 in a repeated hour, 0 in a skipped hour
};
