// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "scenarioevent.h"

#include "homesimconstants.h"

#include <QStringList>

#include <cmath>

namespace {

// Durations and delays beyond a day are typing mistakes, and keep the millisecond arithmetic far
// away from overflow.
constexpr double kMaxSeconds = 86400.0;

bool toInt(const QString &text, int min, int max, int *out)
{
    bool ok = false;
    const qlonglong v = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                            ? text.midRef(2).toLongLong(&ok, 16)
                            : text.toLongLong(&ok, 10);
    if (!ok || v < min || v > max)
        return false;
    *out = int(v);
    return true;
}

bool toSeconds(const QString &text, qint64 *ms)
{
    bool ok = false;
    const double s = text.toDouble(&ok);
    if (!ok || !std::isfinite(s) || s < 0 || s > kMaxSeconds)
        return false;
    *ms = qint64(std::llround(s * 1000.0));
    return true;
}

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

} // namespace

bool ScenarioEvent::parse(const QString &line, ScenarioEvent *event, QString *error)
{
    Q_ASSERT(event);
    if (!event)
        return false;
    *event = ScenarioEvent();
    // '#' starts a comment, on a line of its own or after an event; no argument contains one.
    const int hash = line.indexOf(QLatin1Char('#'));
    QStringList words = (hash >= 0 ? line.left(hash) : line)
                            .simplified()
                            .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return true;

    ScenarioEvent e;
    const QString first = words.first();
    if (first.front().isDigit() || first.startsWith(QLatin1Char('+')) ||
        first.startsWith(QLatin1Char('.'))) {
        const bool relative = first.startsWith(QLatin1Char('+'));
        if (!toSeconds(relative ? first.mid(1) : first, &e.timeMs))
            return fail(error, QStringLiteral("bad time \"%1\"").arg(first));
        e.timing = relative ? Timing::Relative : Timing::Absolute;
        words.removeFirst();
        if (words.isEmpty())
            return fail(error, QStringLiteral("time without an event"));
    }

    const QString name = words.takeFirst().toLower();
    auto argCount = [&](int min, int max) { return words.size() >= min && words.size() <= max; };
    auto usage = [&](const char *text) {
        return fail(error, QStringLiteral("usage: %1").arg(QLatin1String(text)));
    };

    if (name == QLatin1String("switch") || name == QLatin1String("motion")) {
        // Switch and sensor numbers are single bytes in the lamp records; 0 means "none".
        if (!argCount(1, 1) || !toInt(words[0], 1, 255, &e.number))
            return usage(name == QLatin1String("switch") ? "switch N (1..255)"
                                                         : "motion N (1..255)");
        e.type = name == QLatin1String("switch") ? Type::Switch : Type::Motion;
    } else if (name == QLatin1String("intrusion")) {
        if (!argCount(0, 0))
            return usage("intrusion");
        e.type = Type::Intrusion;
    } else if (name == QLatin1String("alarm") || name == QLatin1String("message")) {
        const bool alarm = name == QLatin1String("alarm");
        const QString mode = words.isEmpty() ? QString() : words.takeFirst().toLower();
        if (mode == QLatin1String("on")) {
            if (!argCount(1, 3) || !toInt(words[0], 0, 255, &e.number) ||
                (words.size() > 1 && !toInt(words[1], 0, 255, &e.value)) ||
                (words.size() > 2 && !toInt(words[2], 0, 255, &e.sound)))
                return usage("alarm|message on ID [DATA [SOUND]] (bytes)");
            e.type = alarm ? Type::AlarmOn : Type::MessageOn;
        } else if (mode == QLatin1String("off")) {
            if (!argCount(1, 1) || !toInt(words[0], 0, 255, &e.number))
                return usage("alarm|message off ID");
            e.type = alarm ? Type::AlarmOff : Type::MessageOff;
        } else {
            return usage("alarm|message on|off ID ...");
        }
    } else if (name == QLatin1String("set")) {
        const QString what = words.isEmpty() ? QString() : words.takeFirst().toLower();
        if (what == QLatin1String("byte")) {
            if (!argCount(2, 2) ||
                !toInt(words[0], 0, 2 * HomeSim::kRegisterCount - 1, &e.number) ||
                !toInt(words[1], 0, 255, &e.value))
                return usage("set byte ADDR VALUE");
            e.type = Type::SetByte;
        } else if (what == QLatin1String("word")) {
            if (!argCount(2, 2) || !toInt(words[0], 0, HomeSim::kRegisterCount - 1, &e.number) ||
                !toInt(words[1], 0, 65535, &e.value))
                return usage("set word N VALUE");
            e.type = Type::SetWord;
        } else if (what == QLatin1String("param")) {
            if (!argCount(2, 2) || !toInt(words[0], 1, HomeSim::kParameterCount, &e.number))
                return usage("set param ID(1..16) VALUE|auto");
            if (words[1].toLower() == QLatin1String("auto")) {
                e.type = Type::ParameterAuto;
            } else {
                bool ok = false;
                e.physical = words[1].toDouble(&ok);
                if (!ok || !std::isfinite(e.physical))
                    return usage("set param ID(1..16) VALUE|auto");
                e.type = Type::SetParameter;
            }
        } else {
            return usage("set byte|word|param ...");
        }
    } else if (name == QLatin1String("disconnect") || name == QLatin1String("silence")) {
        qint64 ms = 0;
        if (!argCount(1, 1) || !toSeconds(words[0], &ms))
            return usage("disconnect|silence SECONDS");
        e.value = int(ms);
        e.type = name == QLatin1String("disconnect") ? Type::Disconnect : Type::Silence;
    } else if (name == QLatin1String("repeat") || name == QLatin1String("quit")) {
        if (!argCount(0, 0))
            return usage(name == QLatin1String("repeat") ? "repeat" : "quit");
        e.type = name == QLatin1String("repeat") ? Type::Repeat : Type::Quit;
    } else {
        return fail(error, QStringLiteral("unknown event \"%1\"").arg(name));
    }
    *event = e;
    return true;
}

QString ScenarioEvent::describe() const
{
    switch (type) {
    case Type::None:
        return QStringLiteral("nothing");
    case Type::Switch:
        return QStringLiteral("switch %1 pressed").arg(number);
    case Type::Motion:
        return QStringLiteral("motion at sensor %1").arg(number);
    case Type::Intrusion:
        return QStringLiteral("intrusion");
    case Type::AlarmOn:
        return QStringLiteral("alarm %1 on").arg(number);
    case Type::AlarmOff:
        return QStringLiteral("alarm %1 off").arg(number);
    case Type::MessageOn:
        return QStringLiteral("message %1 on").arg(number);
    case Type::MessageOff:
        return QStringLiteral("message %1 off").arg(number);
    case Type::SetByte:
        return QStringLiteral("byte %1 := %2").arg(number).arg(value);
    case Type::SetWord:
        return QStringLiteral("word %1 := %2").arg(number).arg(value);
    case Type::SetParameter:
        return QStringLiteral("parameter %1 := %2").arg(number).arg(physical);
    case Type::ParameterAuto:
        return QStringLiteral("parameter %1 moves freely").arg(number);
    case Type::Disconnect:
        return QStringLiteral("disconnect for %1 s").arg(value / 1000.0);
    case Type::Silence:
        return QStringLiteral("silence for %1 s").arg(value / 1000.0);
    case Type::Repeat:
        return QStringLiteral("repeat");
    case Type::Quit:
        return QStringLiteral("quit");
    }
    return QString();
}
