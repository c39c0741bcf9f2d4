// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "demohistory.h"

#include "historyconstants.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace DemoHistory {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr qint64 kHourMs = 3600 * 1000;
constexpr qint64 kDayMs = 24 * kHourMs;

// A repeatable number in [0, 1) for a few integers: the same instant always gets the same
// weather, whatever order the rows are written in.
double hash01(quint32 seed, quint32 a, qint64 b)
{
    quint64 x = (quint64(seed) << 32) ^ (quint64(a) * 0x9E3779B97F4A7C15ull) ^ quint64(b);
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdull;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ull;
    x ^= x >> 33;
    return double(x >> 11) / double(1ull << 53);
}

// Smooth noise in [-1, 1] that changes over about `periodMs`.
double smooth(quint32 seed, quint32 channel, qint64 msecs, qint64 periodMs)
{
    const qint64 k = msecs >= 0 ? msecs / periodMs : msecs / periodMs - 1;
    const double f = double(msecs - k * periodMs) / double(periodMs);
    const double s = f * f * (3 - 2 * f);
    const double a = hash01(seed, channel, k) * 2 - 1;
    const double b = hash01(seed, channel, k + 1) * 2 - 1;
    return a + (b - a) * s;
}

struct Clock
{
    double hour = 0;   // local hour of day, 0..24
    double season = 0; // 1 at midsummer, -1 at midwinter
    int weekday = 1;
};

// Local wall-clock fields of an instant. The zone's offset is looked up once per hour: asking
// the C library for every row costs more than everything else the generator does.
struct Local
{
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int dayOfYear = 1;
    int weekday = 4; // 1 Monday .. 7 Sunday
};

Local localAt(qint64 msecs)
{
    static thread_local qint64 cachedHour = std::numeric_limits<qint64>::min();
    static thread_local int cachedOffset = 0;
    const qint64 secs = msecs >= 0 ? msecs / 1000 : (msecs - 999) / 1000;
    const qint64 hour = secs >= 0 ? secs / 3600 : (secs - 3599) / 3600;
    if (hour != cachedHour) {
        cachedHour = hour;
        cachedOffset = QDateTime::fromSecsSinceEpoch(hour * 3600).offsetFromUtc();
    }
    const qint64 local = secs + cachedOffset;
    const qint64 days = local >= 0 ? local / 86400 : (local - 86399) / 86400;
    const qint64 inDay = local - days * 86400;
    // Howard Hinnant's civil_from_days.
    const qint64 z = days + 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    Local l;
    l.day = int(doy - (153 * mp + 2) / 5 + 1);
    l.month = int(mp < 10 ? mp + 3 : mp - 9);
    l.year = int(yoe + era * 400 + (l.month <= 2 ? 1 : 0));
    l.hour = int(inDay / 3600);
    l.minute = int(inDay / 60 % 60);
    l.second = int(inDay % 60);
    static const int kBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const bool leap = (l.year % 4 == 0 && l.year % 100 != 0) || l.year % 400 == 0;
    l.dayOfYear = kBefore[l.month - 1] + l.day + (leap && l.month > 2 ? 1 : 0);
    l.weekday = int(((days % 7) + 7 + 3) % 7) + 1; // 1970-01-01 was a Thursday
    return l;
}

Clock clockAt(qint64 msecs)
{
    const Local local = localAt(msecs);
    Clock c;
    c.hour = local.hour + local.minute / 60.0 + local.second / 3600.0;
    c.season = std::cos(2 * kPi * (local.dayOfYear - 196) / 365.25);
    c.weekday = local.weekday;
    return c;
}

// Peak of a bump of `width` hours around `centre` (hours of day), 0 far from it.
double bump(double hour, double centre, double width)
{
    double d = std::fabs(hour - centre);
    d = std::min(d, 24 - d);
    return d >= width ? 0 : 0.5 * (1 + std::cos(kPi * d / width));
}

double outdoor(const Clock &c, qint64 t, quint32 seed)
{
    const double daily = -std::cos(2 * kPi * (c.hour - 3) / 24); // coldest near 03:00
    // Seasons, day and night, weather systems over days and passing clouds within a day.
    return 8 + 11 * c.season + (4 + 2 * c.season) * daily + 5 * smooth(seed, 1, t, 4 * kDayMs) +
           1.5 * smooth(seed, 2, t, 9 * kHourMs) + 0.9 * smooth(seed, 23, t, 100 * 60000);
}

double heatingDemand(double outside)
{
    return std::clamp((16 - outside) / 26, 0.0, 1.0);
}

// What every curve of one instant shares; worked out once per row.
struct Moment
{
    qint64 t = 0;
    Clock c;
    double out = 0;
    double demand = 0;
};

Moment momentAt(qint64 t, quint32 seed)
{
    Moment m;
    m.t = t;
    m.c = clockAt(t);
    m.out = outdoor(m.c, t, seed);
    m.demand = heatingDemand(m.out);
    return m;
}

double shape(int id, const Moment &m, quint32 seed);

// A sensor's own jitter, a few hundredths of its range, new every minute: a value near one of
// the controller's 8-bit steps flickers between the two as real readings do.
double jitter(quint32 seed, int id, qint64 t, double size)
{
    return size * (hash01(seed, 100 + quint32(id), t / 60000) - 0.5);
}

double curve(int id, const Moment &m, quint32 seed)
{
    // Degrees of the temperatures; the other curves carry their own variation.
    static const double kJitter[] = {0, 0.5, 0.2, 0.2, 0, 0, 0.4, 0.4, 0.3,
                                     0, 0,   0,   0,   0, 0, 0.4, 0};
    const double size = id >= 0 && id <= 16 ? kJitter[id] : 0;
    return shape(id, m, seed) + (size > 0 ? jitter(seed, id, m.t, size) : 0);
}

double shape(int id, const Moment &m, quint32 seed)
{
    const qint64 t = m.t;
    const Clock &c = m.c;
    const double out = m.out;
    const double demand = m.demand;
    const bool weekend = c.weekday >= 6;
    const double evening = bump(c.hour, 20, 4);
    const double morning = bump(c.hour, weekend ? 9 : 7, 2);
    switch (id) {
    case 1:
        return out;
    case 2: // living room: the heating holds it, evenings a little warmer, hot summers show
        return 20.8 + 0.9 * evening + std::max(0.0, out - 24) * 0.35 +
               0.3 * smooth(seed, 3, t, 5 * kHourMs);
    case 3: // bedroom: set back at night
        return 19.0 - 1.4 * bump(c.hour, 3, 5) + 0.6 * morning + std::max(0.0, out - 23) * 0.3 +
               0.3 * smooth(seed, 4, t, 6 * kHourMs);
    case 4: // bathroom humidity: showers in the morning and the evening
        return 52 + 33 * bump(c.hour, weekend ? 9.3 : 7.2, 0.9) + 28 * bump(c.hour, 21.5, 0.8) +
               4 * smooth(seed, 5, t, 12 * kHourMs);
    case 5: // mains voltage: lower under the evening load
        return 231 - 5 * evening - 2 * morning + 2.5 * smooth(seed, 6, t, 2 * kHourMs) +
               (hash01(seed, 7, t / 60000) - 0.5) * 1.5;
    case 6: // boiler flow: weather-compensated, hot-water heating in summer
        return 38 + 34 * demand + 6 * morning * (1 - demand) + 2 * smooth(seed, 8, t, kHourMs);
    case 7: // boiler return
        return 32 + 22 * demand + 3 * morning * (1 - demand) + 1.5 * smooth(seed, 9, t, kHourMs);
    case 8: { // hot water: drops after the showers, the boiler brings it back
        const double used = 9 * bump(c.hour, weekend ? 9.6 : 7.6, 1.2) + 7 * bump(c.hour, 22, 1.2);
        return 56 - used + 1.2 * smooth(seed, 10, t, 3 * kHourMs);
    }
    case 9: { // water pressure: creeps down over weeks, topped up
        const qint64 cycle = 23 * kDayMs;
        const double phase = double(((t % cycle) + cycle) % cycle) / cycle;
        return 1.9 - 0.45 * phase + 0.05 * smooth(seed, 11, t, 8 * kHourMs) + 0.05 * demand;
    }
    case 10: // atmospheric pressure: weather systems over days
        return 1013 + 14 * smooth(seed, 12, t, 3 * kDayMs) + 5 * smooth(seed, 13, t, 20 * kHourMs);
    case 11: // outdoor humidity: highest in the cold of the night
        return std::clamp(72 + 16 * std::cos(2 * kPi * (c.hour - 4) / 24) - 8 * c.season +
                              10 * smooth(seed, 14, t, 2 * kDayMs),
                          20.0, 99.0);
    case 12: // CO2 in the living room: people in the evening
        return 460 + 650 * evening + 250 * morning * (weekend ? 1.5 : 1) +
               60 * smooth(seed, 15, t, 3 * kHourMs);
    case 13: // wind
        return std::max(0.0, 4 + 3.5 * smooth(seed, 16, t, 2 * kDayMs) +
                                 2.5 * smooth(seed, 17, t, 2 * kHourMs) - 1.5 * c.season);
    case 14: // power: cooking, washing, the heat pump of the pool in summer
        return 0.35 + 2.8 * bump(c.hour, 19, 1.5) + 1.6 * morning + 1.2 * demand +
               std::max(0.0, 1.5 * smooth(seed, 18, t, 40 * 60000));
    case 15: { // boiler room: warm while the boiler runs, cold winter nights when it idles
        return 14 + 8 * demand - 6 * (1 - demand) * (c.season < 0 ? -c.season : 0) +
               0.25 * (out - 8) * (1 - demand) + 1.5 * smooth(seed, 19, t, 6 * kHourMs) -
               3 * bump(c.hour, 4, 3) * (out < 2 ? 1 : 0);
    }
    case 16: { // soil moisture: rain now and then, drying in the sun
        const double rain = std::max(0.0, smooth(seed, 20, t, 2 * kDayMs));
        return 30 + 40 * rain - 8 * c.season * (1 - rain) + 3 * smooth(seed, 21, t, 9 * kHourMs);
    }
    default:
        return 50 + 20 * smooth(seed, 22 + quint32(id), t, kDayMs);
    }
}

// The panel's real number: up to six significant digits, shortest form, decimal comma.
void appendReal(QByteArray &out, double v)
{
    char buffer[32];
    const int n = std::snprintf(buffer, sizeof buffer, "%.6g", v);
    for (int i = 0; i < n; ++i)
        out += buffer[i] == '.' ? ',' : buffer[i];
    out += ';';
}

void appendTwo(QByteArray &out, int v)
{
    out += char('0' + v / 10);
    out += char('0' + v % 10);
}

// "dd.MM.yyyy hh:mm:ss;"
void appendTime(QByteArray &out, qint64 msecs)
{
    const Local t = localAt(msecs);
    appendTwo(out, t.day);
    out += '.';
    appendTwo(out, t.month);
    out += '.';
    appendTwo(out, t.year / 100);
    appendTwo(out, t.year % 100);
    out += ' ';
    appendTwo(out, t.hour);
    out += ':';
    appendTwo(out, t.minute);
    out += ':';
    appendTwo(out, t.second);
    out += ';';
}

void appendText(QByteArray &out, const QString &text)
{
    out += text.toLocal8Bit();
    out += ';';
}

QByteArray header(const QStringList &captions)
{
    QByteArray line;
    for (const QString &c : captions)
        appendText(line, c);
    line += "\r\n";
    return line;
}

// The controller reports a parameter as one byte over its range.
quint8 toByte(double v, const Record &r)
{
    const double span = r.maximum - r.minimum;
    if (span == 0)
        return 0;
    return quint8(std::lround(std::clamp((v - r.minimum) / span, 0.0, 1.0) * 255));
}

double scaled(quint8 byte, const Record &r)
{
    return (r.maximum - r.minimum) * (byte / 255.0) + r.minimum;
}

// Messages that are alarms (leaks, smoke, fire risk, failures) rather than notices.
bool isAlarm(const Record &m)
{
    const QString t = m.text.toLower();
    for (const char *word : {"leak", "smoke", "overheat", "failure", "gas", "low", "frost"}) {
        if (t.contains(QLatin1String(word)))
            return true;
    }
    return false;
}

struct Event
{
    qint64 time;
    const Record *message;
    bool active;
    quint8 byte;
};

// About how often a message comes up: door and gate daily, alarms a few times a year.
double perDay(const Record &m)
{
    const QString t = m.text.toLower();
    if (t.contains(QLatin1String("door")) || t.contains(QLatin1String("gate")))
        return 0.6;
    return isAlarm(m) ? 0.02 : 0.05;
}

QString fileName(const char *prefix, const QDate &day)
{
    return QLatin1String(prefix) + day.toString(QLatin1String(HistoryFormat::kFileDate)) +
           QLatin1String(HistoryFormat::kSuffix);
}

// Written under another name and renamed: a reader never meets half a file, even while the
// past is written in the background.
bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

double value(int id, qint64 msecs, quint32 seed)
{
    return curve(id, momentAt(msecs, seed), seed);
}

Written write(const QString &configurationFolder, const QList<Record> &parameters,
              const QList<Record> &messages, const QStringList &archiveCaptions,
              const QStringList &alarmCaptions, const Plan &plan)
{
    Written written;
    QDir base(configurationFolder);
    const QString archive = QLatin1String(HistoryFormat::kArchiveFolder);
    const QString alarms = QLatin1String(HistoryFormat::kAlarmFolder);
    if (!base.mkpath(archive) || (plan.alarms && !base.mkpath(alarms)) || plan.intervalSecs <= 0 ||
        plan.fineIntervalSecs <= 0 || !plan.end.isValid())
        return written;

    const Record *byId[HistoryFormat::kParameterCount + 1] = {};
    for (const Record &p : parameters) {
        if (p.id >= 1 && p.id <= HistoryFormat::kParameterCount)
            byId[p.id] = &p;
    }
    // Ids without a record are archived as the raw byte; the demo curve scaled to 0..255 stands
    // in for it.
    const Record rawRange{0, QString(), 0, 255};

    const qint64 end = plan.end.toMSecsSinceEpoch();
    const QDate lastDay = plan.end.date();
    const QDate firstDay = lastDay.addDays(1 - std::max(1, plan.days));
    const QDate fineFrom = lastDay.addDays(1 - std::max(0, plan.fineDays));
    const QByteArray archiveHeader = header(archiveCaptions);
    const QByteArray alarmHeader = header(alarmCaptions);

    // How far each curve is from the present value where they meet; bent in smoothly over the
    // hours before, so nothing before that window changes.
    double joinOffset[HistoryFormat::kParameterCount + 1] = {};
    const qint64 joinAt = plan.joinAt.isValid() ? plan.joinAt.toMSecsSinceEpoch() : end;
    const qint64 joinWindow = qint64(kJoinHours) * kHourMs;
    if (!plan.joinValues.isEmpty()) {
        const Moment at = momentAt(joinAt, plan.seed);
        for (auto it = plan.joinValues.cbegin(); it != plan.joinValues.cend(); ++it) {
            if (it.key() >= 1 && it.key() <= HistoryFormat::kParameterCount &&
                std::isfinite(it.value()))
                joinOffset[it.key()] = it.value() - curve(it.key(), at, plan.seed);
        }
    }
    const auto joinWeight = [&](qint64 t) {
        const double x = std::clamp(1.0 - double(joinAt - t) / joinWindow, 0.0, 1.0);
        return x * x * (3 - 2 * x);
    };

    QByteArray text;
    for (QDate day = firstDay; day <= lastDay; day = day.addDays(1)) {
        // A day is 23, 24 or 25 hours long: it ends where the next one starts.
        const qint64 dayStart = QDateTime(day, QTime(0, 0)).toMSecsSinceEpoch();
        const qint64 nextDay = QDateTime(day.addDays(1), QTime(0, 0)).toMSecsSinceEpoch();
        const qint64 dayEnd = std::min(end, nextDay);
        const qint64 step =
            qint64(day >= fineFrom ? plan.fineIntervalSecs : plan.intervalSecs) * 1000;
        text = archiveHeader;
        text.reserve(int(150 * (dayEnd - dayStart) / step + 512));
        for (qint64 t = dayStart; t <= end && t < nextDay; t += step) {
            const Moment moment = momentAt(t, plan.seed);
            appendTime(text, t);
            // The controller's clock runs a few seconds apart from the panel's.
            appendTime(text, t - 3000);
            const double weight = joinWeight(t);
            for (int id = 1; id <= HistoryFormat::kParameterCount; ++id) {
                const double v = curve(id, moment, plan.seed) + joinOffset[id] * weight;
                if (const Record *r = byId[id]) {
                    appendReal(text, scaled(toByte(v, *r), *r));
                } else {
                    text += QByteArray::number(toByte(v, rawRange));
                    text += ';';
                }
            }
            text += "\r\n";
            ++written.rows;
        }
        const QString path = base.filePath(archive + QLatin1Char('/') +
                                           fileName(HistoryFormat::kArchivePrefix, day));
        if (writeFile(path, text)) {
            ++written.files;
            written.bytes += text.size();
        }

        if (!plan.alarms)
            continue;
        QVector<Event> events;
        for (const Record &m : messages) {
            // One draw per message and hour decides whether it comes up in that hour.
            const double chance = perDay(m) / 24;
            for (qint64 h = dayStart; h < dayEnd; h += kHourMs) {
                const quint32 key = quint32(m.id) * 7919u;
                if (hash01(plan.seed, key, h / kHourMs) >= chance)
                    continue;
                const qint64 at = h + qint64(hash01(plan.seed, key + 1, h) * kHourMs);
                const qint64 lasts = (2 + qint64(hash01(plan.seed, key + 2, h) * 40)) * 60000;
                const quint8 byte = quint8(hash01(plan.seed, key + 3, h) * 255);
                if (at <= end)
                    events.append({at, &m, true, byte});
                if (at + lasts <= end && at + lasts < nextDay)
                    events.append({at + lasts, &m, false, byte});
            }
        }
        std::sort(events.begin(), events.end(),
                  [](const Event &a, const Event &b) { return a.time < b.time; });
        text = alarmHeader;
        for (const Event &e : qAsConst(events)) {
            text += QByteArray::number(e.message->id);
            text += ';';
            appendTime(text, e.time);
            appendTime(text, e.time - 3000);
            appendText(text, e.message->text);
            appendReal(text, scaled(e.byte, *e.message));
            const bool alarm = isAlarm(*e.message);
            appendText(text, e.active ? QStringLiteral("Да") : QStringLiteral("Нет"));
            appendText(text, alarm ? QStringLiteral("авария") : QStringLiteral("сообшение"));
            appendText(text, QStringLiteral("Нет"));
            appendText(text, alarm && e.active ? QStringLiteral("Да") : QStringLiteral("Нет"));
            appendText(text, e.active ? QStringLiteral("Нет") : QStringLiteral("Да"));
            text += "\r\n";
            ++written.events;
        }
        const QString alarmPath =
            base.filePath(alarms + QLatin1Char('/') + fileName(HistoryFormat::kAlarmPrefix, day));
        if (writeFile(alarmPath, text)) {
            ++written.files;
            written.bytes += text.size();
        }
    }
    return written;
}

bool isStale(const QString &configurationFolder, const QDateTime &now)
{
    // Yesterday's file is the last one written: without it an earlier writing was cut short.
    for (const QDate &day : {now.date(), now.date().addDays(-1)}) {
        const QString name = QLatin1String(HistoryFormat::kArchiveFolder) + QLatin1Char('/') +
                             fileName(HistoryFormat::kArchivePrefix, day);
        if (!QFile::exists(QDir(configurationFolder).filePath(name)))
            return true;
    }
    return false;
}

void clear(const QString &configurationFolder)
{
    const QDir base(configurationFolder);
    for (const auto &[folder, pattern] :
         {std::pair{HistoryFormat::kArchiveFolder, HistoryFormat::kArchivePattern},
          std::pair{HistoryFormat::kAlarmFolder, HistoryFormat::kAlarmPattern}}) {
        QDir dir(base.filePath(QLatin1String(folder)));
        for (const QString &name : dir.entryList({QLatin1String(pattern)}, QDir::Files))
            dir.remove(name);
    }
    QFile::remove(base.filePath(QLatin1String(HistoryFormat::kArchiveFolder) + QLatin1Char('/') +
                                QLatin1String(HistoryFormat::kIndexFile)));
}

} // namespace DemoHistory
