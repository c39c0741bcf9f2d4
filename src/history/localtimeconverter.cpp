// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "localtimeconverter.h"

#include <QDateTime>

namespace {

constexpr qint64 kDay = 86400;
// A row that goes back by up to this much is taken as the panel's own clock jitter, not as the
// second pass through a repeated hour.
constexpr qint64 kJitterSecs = 60;

int offsetAt(qint64 utcSecs)
{
    return QDateTime::fromSecsSinceEpoch(utcSecs, Qt::LocalTime).offsetFromUtc();
}

} // namespace

qint64 LocalTimeConverter::daysFromCivil(int year, int month, int day)
{
    // Howard Hinnant's days_from_civil.
    const qint64 y = qint64(year) - (month <= 2 ? 1 : 0);
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool LocalTimeConverter::toEpoch(int year, int month, int day, int hour, int minute, int second,
                                 qint64 previous, qint64 *msecs)
{
    static const int kMonthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > kMonthDays[month - 1] || hour > 23 ||
        minute > 59 || second > 59 || hour < 0 || minute < 0 || second < 0)
        return false;
    if (month == 2 && day == 29 && !QDate::isLeapYear(year))
        return false;

    const qint64 hourStart = daysFromCivil(year, month, day) * kDay + hour * 3600;
    if (hourStart != m_hourKey) {
        m_hourKey = hourStart;
        // The offsets a day before and a day after bracket any change inside this hour; each is
        // a valid reading of the hour when the instant it gives shows that offset again.
        const int before = offsetAt(hourStart - kDay);
        const int after = offsetAt(hourStart + kDay);
        m_offsetCount = 0;
        for (int candidate : {before, after}) {
            if (m_offsetCount == 1 && m_offsets[0] == candidate)
                continue;
            if (offsetAt(hourStart - candidate) == candidate)
                m_offsets[m_offsetCount++] = candidate;
        }
        if (m_offsetCount == 2 && m_offsets[0] < m_offsets[1])
            std::swap(m_offsets[0], m_offsets[1]);
        if (m_offsetCount == 0) {
            // A skipped hour (clocks went forward): a clock that did not follow reads on in the
            // old offset.
            m_offsets[0] = before;
        }
    }

    const qint64 naive = hourStart + minute * 60 + second;
    qint64 secs = naive - m_offsets[0];
    if (m_offsetCount == 2) {
        const qint64 later = naive - m_offsets[1];
        if (secs * 1000 < previous - kJitterSecs * 1000)
            secs = later;
    }
    *msecs = secs * 1000;
    return true;
}
