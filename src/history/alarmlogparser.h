// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "historytypes.h"
#include "localtimeconverter.h"

#include <functional>

// Reads the lines of one daily alarm-log file: a row per message whose state or value changed
// (id, program time, alert time, text, parameter, then the state words "Да"/"Нет" and
// "авария"/"сообшение"), each field followed by ";". Every run of the panel starts with a header
// line, so a file holds as many headers as the panel was started that day; they are passed over.
// Lines that are neither are counted and skipped.
class AlarmLogParser
{
public:
    using EventSink = std::function<void(const AlarmEvent &event)>;

    qint64 parse(const char *data, qint64 size, bool final, const EventSink &sink);
    qint64 parse(const QByteArray &bytes, bool final, const EventSink &sink)
    {
        return parse(bytes.constData(), bytes.size(), final, sink);
    }

    int rows() const { return m_rows; }
    int garbageLines() const { return m_garbage; }
    int headerLines() const { return m_headers; }

private:
    void line(const char *begin, const char *end, const EventSink &sink);

    LocalTimeConverter m_converter;
    LocalTimeConverter m_alertConverter;
    qint64 m_lastTime = std::numeric_limits<qint64>::min() / 2;
    int m_rows = 0;
    int m_garbage = 0;
    int m_headers = 0;
};
