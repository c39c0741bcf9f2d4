// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "weatherfeed.h"

#include <QXmlStreamWriter>

namespace {

struct Condition
{
    int cloudiness;
    int precipitation;
    int temperature; // mean, degrees
};

// clang-format off
const Condition kCycle[] = {
    {0, 10, 4},  // clear
    {2, 10, 3},  // clouds
    {3, 4, 2},   // rain
    {1, 4, 5},   // sun and showers
    {3, 6, -2},  // snow
    {1, 6, -1},  // sun and snow
    {3, 8, 8},   // thunder
};
// clang-format on
constexpr int kCycleLength = int(sizeof(kCycle) / sizeof(kCycle[0]));
constexpr int kMaxIdLength = 32;

int timeOfDay(int hour)
{
    return hour < 6 ? 0 : hour < 12 ? 1 : hour < 18 ? 2 : 3;
}

} // namespace

WeatherFeed::WeatherFeed(int periodSeconds) : m_period(qMax(1, periodSeconds)) {}

bool WeatherFeed::isValidId(const QString &id)
{
    if (id.isEmpty() || id.size() > kMaxIdLength)
        return false;
    for (const QChar c : id) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('-') &&
            c != QLatin1Char('_'))
            return false;
    }
    return true;
}

QByteArray WeatherFeed::xml(const QString &id, qint64 elapsedSeconds, const QDateTime &now) const
{
    const QString name = m_towns.value(id, QStringLiteral("Town ") + id);
    // Each town has weather of its own: its place in the cycle and its temperatures and
    // pressure are shifted by a number drawn from its id, the same on every run.
    const uint townSeed = qHash(id, 0U);
    const qint64 step = qMax<qint64>(0, elapsedSeconds) / m_period + qint64(townSeed % 97U);
    const int warmer = int(townSeed % 11U) - 5;
    const int pressureShift = int((townSeed / 11U) % 9U) - 4;
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("MMWEATHER"));
    w.writeStartElement(QStringLiteral("REPORT"));
    w.writeAttribute(QStringLiteral("type"), QStringLiteral("frc3"));
    w.writeStartElement(QStringLiteral("TOWN"));
    w.writeAttribute(QStringLiteral("index"), id);
    w.writeAttribute(QStringLiteral("sname"), name);
    // Four forecasts, six hours apart, each one step further along the cycle.
    for (int i = 0; i < 4; ++i) {
        const QDateTime at = now.addSecs(qint64(i) * 6 * 3600);
        const Condition &c = kCycle[(step + i) % kCycleLength];
        const int t = c.temperature + warmer + int(step % 3) -
                      (timeOfDay(at.time().hour()) == 0 ? 3 : 0);
        w.writeStartElement(QStringLiteral("FORECAST"));
        w.writeAttribute(QStringLiteral("day"), QString::number(at.date().day()));
        w.writeAttribute(QStringLiteral("month"), QString::number(at.date().month()));
        w.writeAttribute(QStringLiteral("year"), QString::number(at.date().year()));
        w.writeAttribute(QStringLiteral("hour"), QString::number(at.time().hour()));
        w.writeAttribute(QStringLiteral("tod"), QString::number(timeOfDay(at.time().hour())));
        w.writeAttribute(QStringLiteral("predict"), QString::number(i * 6));
        w.writeAttribute(QStringLiteral("weekday"), QString::number(at.date().dayOfWeek() % 7 + 1));
        w.writeAttribute(QStringLiteral("sname"), name);
        auto element = [&w](const char *tag,
                            std::initializer_list<std::pair<const char *, int>> a) {
            w.writeStartElement(QLatin1String(tag));
            for (const auto &[key, value] : a)
                w.writeAttribute(QLatin1String(key), QString::number(value));
            w.writeEndElement();
        };
        element("PHENOMENA", {{"cloudiness", c.cloudiness},
                              {"precipitation", c.precipitation},
                              {"rpower", c.precipitation == 4 ? 1 : 0},
                              {"spower", c.precipitation == 8 ? 1 : 0}});
        element("PRESSURE", {{"max", 752 + pressureShift - int(step % 5)},
                             {"min", 748 + pressureShift - int(step % 5)}});
        element("TEMPERATURE", {{"max", t + 2}, {"min", t - 2}});
        element(
            "WIND",
            {{"min", 1 + int(step % 4)}, {"max", 4 + int(step % 4)}, {"direction", int(step % 8)}});
        element("RELWET", {{"max", 70 + c.cloudiness * 8}, {"min", 60 + c.cloudiness * 8}});
        element("HEAT", {{"min", t - 5}, {"max", t - 1}});
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}
