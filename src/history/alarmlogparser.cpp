// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "alarmlogparser.h"

#include "csvtext.h"

using namespace CsvText;
using HistoryFormat::kAlarmFields;

namespace {

enum Column { Id, ProgramTime, AlertTime, Text, Parameter, Active, Type, Sms, Siren, Notified };

} // namespace

qint64 AlarmLogParser::parse(const char *data, qint64 size, bool final, const EventSink &sink)
{
    return forEachLine(data, size, final,
                       [this, &sink](const char *b, const char *e) { line(b, e, sink); });
}

void AlarmLogParser::line(const char *begin, const char *end, const EventSink &sink)
{
    Field fields[kAlarmFields + 1];
    const int count = splitFields(begin, end, fields, kAlarmFields);
    if (count != kAlarmFields) {
        ++m_garbage;
        return;
    }
    AlarmEvent event;
    const bool numbered = parseInteger(fields[Id], &event.id);
    const bool timed = parseDateTime(fields[ProgramTime], m_converter, m_lastTime, &event.time);
    if (!numbered && !timed) {
        ++m_headers;
        return;
    }
    if (!numbered || !timed || !parseNumber(fields[Parameter], &event.value)) {
        ++m_garbage;
        return;
    }
    // The alert time is the controller's clock, which may be unset; it is shown, never ordered by.
    if (!parseDateTime(fields[AlertTime], m_alertConverter, 0, &event.alertTime))
        event.alertTime = 0;
    event.text = decode(fields[Text]);
    static const QString yes = QString::fromUtf8(HistoryFormat::kYes);
    static const QString alarmWord = QString::fromUtf8(HistoryFormat::kAlarmWord);
    event.active = decode(fields[Active]) == yes;
    event.alarm = decode(fields[Type]) == alarmWord;
    event.sms = decode(fields[Sms]) == yes;
    event.siren = decode(fields[Siren]) == yes;
    event.notified = decode(fields[Notified]) == yes;
    m_lastTime = event.time;
    ++m_rows;
    if (sink)
        sink(event);
}
