// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bridgecommandparser.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtMath>

#include <cmath>

namespace {

using Action = BridgeCommand::Action;
using Component = BridgeCommandTarget::Component;

BridgeCommand refuse(const QString &why)
{
    BridgeCommand c;
    c.refusal = why;
    return c;
}

// Printable ASCII only: a hub sends plain words and numbers; anything else is not meant for us.
bool plainText(const QByteArray &payload)
{
    for (const char ch : payload) {
        if (uchar(ch) < 0x20 || uchar(ch) > 0x7E)
            return false;
    }
    return true;
}

BridgeCommand power(const QByteArray &text)
{
    BridgeCommand c;
    if (text == "ON")
        c.on = true;
    else if (text != "OFF")
        return refuse(QStringLiteral("expected ON or OFF"));
    c.action = Action::Power;
    return c;
}

// A decimal integer with an optional minus sign and at most 10 digits.
bool parseInteger(const QByteArray &text, qint64 *out)
{
    int i = text.startsWith('-') ? 1 : 0;
    if (text.size() <= i || text.size() - i > 10)
        return false;
    qint64 v = 0;
    for (; i < text.size(); ++i) {
        if (text.at(i) < '0' || text.at(i) > '9')
            return false;
        v = v * 10 + (text.at(i) - '0');
    }
    *out = text.startsWith('-') ? -v : v;
    return true;
}

// A plain decimal number: digits with at most one point, optional minus sign; no exponent,
// no "nan" or "inf", at most 16 characters.
bool parseDecimal(const QByteArray &text, double *out)
{
    if (text.isEmpty() || text.size() > 16)
        return false;
    int digits = 0;
    int points = 0;
    for (int i = 0; i < text.size(); ++i) {
        const char ch = text.at(i);
        if (ch >= '0' && ch <= '9')
            ++digits;
        else if (ch == '.')
            ++points;
        else if (!(ch == '-' && i == 0))
            return false;
    }
    if (digits == 0 || points > 1)
        return false;
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !qIsFinite(v))
        return false;
    *out = v;
    return true;
}

BridgeCommand alarmPanel(const QByteArray &payload)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return refuse(QStringLiteral("expected a JSON object with action and code"));
    const QJsonObject o = doc.object();
    const QString action = o.value(QLatin1String("action")).toString();
    BridgeCommand c;
    if (action == QLatin1String("DISARM"))
        c.action = Action::Disarm;
    else if (action == QLatin1String("ARM_AWAY") || action == QLatin1String("ARM_HOME") ||
             action == QLatin1String("ARM_NIGHT") || action == QLatin1String("ARM_VACATION"))
        c.action = Action::Arm;
    else
        return refuse(QStringLiteral("unknown action"));
    // The code comes as text (a template's "{{ code }}"); a number is accepted as well.
    const QJsonValue codeValue = o.value(QLatin1String("code"));
    QString code = codeValue.toString();
    if (codeValue.isDouble()) {
        // Only whole numbers a code can be; anything else (1e300 too) is no code, and must not
        // reach an integer conversion it would overflow.
        const double number = codeValue.toDouble();
        constexpr double kLargestCode = 999999999;
        if (number >= 1 && number <= kLargestCode && number == std::floor(number))
            code = QString::number(qint64(number));
    }
    // The keypad cannot type a leading zero, and 0 itself starts a code change: neither is a
    // code a hub may send.
    bool digitsOnly = !code.isEmpty() && code.size() <= BridgeCommandParser::kMaxCodeDigits &&
                      code.at(0) != QLatin1Char('0');
    for (const QChar ch : qAsConst(code))
        digitsOnly = digitsOnly && ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
    if (!digitsOnly) {
        BridgeCommand r = refuse(QStringLiteral("missing or malformed code"));
        return r;
    }
    c.code = code.toInt();
    return c;
}

} // namespace

namespace BridgeCommandParser {

BridgeCommand parse(const BridgeCommandTarget &target, const QString &topicAction,
                    const QByteArray &payload)
{
    if (payload.size() > kMaxPayloadBytes)
        return refuse(QStringLiteral("payload too long"));
    // A line end from a shell's echo is fine; anything else outside printable ASCII is not.
    const QByteArray text = payload.trimmed();
    if (!plainText(text))
        return refuse(QStringLiteral("payload is not plain text"));
    const bool set = topicAction == QLatin1String("set");

    switch (target.component) {
    case Component::Light:
        if (set)
            return power(text);
        if (topicAction == QLatin1String("brightness")) {
            qint64 v = 0;
            if (!parseInteger(text, &v))
                return refuse(QStringLiteral("brightness is not an integer"));
            if (v < 0 || v > kMaxBrightness)
                return refuse(QStringLiteral("brightness out of range 0..%1").arg(kMaxBrightness));
            BridgeCommand c;
            c.action = Action::Brightness;
            c.value = int(v);
            return c;
        }
        break;
    case Component::Switch:
        if (set)
            return power(text);
        break;
    case Component::Climate:
        if (topicAction == QLatin1String("temperature")) {
            double t = 0;
            if (!parseDecimal(text, &t))
                return refuse(QStringLiteral("temperature is not a number"));
            if (t < target.minimum || t > target.maximum || target.step <= 0)
                return refuse(QStringLiteral("temperature out of range"));
            BridgeCommand c;
            c.action = Action::SetPoint;
            c.value = qRound(t / target.step);
            return c;
        }
        break;
    case Component::Number:
        if (set) {
            double v = 0;
            if (!parseDecimal(text, &v))
                return refuse(QStringLiteral("value is not a number"));
            if (v < target.minimum || v > target.maximum)
                return refuse(QStringLiteral("value out of range"));
            BridgeCommand c;
            c.action = Action::Value;
            c.value = int(qRound64(v));
            return c;
        }
        break;
    case Component::Scene:
        if (set) {
            if (text != "ON")
                return refuse(QStringLiteral("expected ON"));
            BridgeCommand c;
            c.action = Action::Run;
            return c;
        }
        break;
    case Component::AlarmPanel:
        if (set)
            return alarmPanel(text);
        break;
    }
    return refuse(QStringLiteral("unknown command topic"));
}

} // namespace BridgeCommandParser
