// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "archiveparser.h"

#include "csvtext.h"

using namespace CsvText;
using HistoryFormat::kArchiveFields;
using HistoryFormat::kParameterCount;

qint64 ArchiveParser::parse(const char *data, qint64 size, bool final, const RowSink &sink)
{
    return forEachLine(data, size, final,
                       [this, &sink](const char *b, const char *e) { line(b, e, sink); });
}

void ArchiveParser::line(const char *begin, const char *end, const RowSink &sink)
{
    Field fields[kArchiveFields + 1];
    const int count = splitFields(begin, end, fields, kArchiveFields);
    if (count != kArchiveFields) {
        ++m_garbage;
        return;
    }
    ArchiveRow row;
    if (!parseDateTime(fields[0], m_converter, m_lastTime, &row.time)) {
        // Not a row: a header when some caption is text (a row whose time was damaged still
        // has numbers in every value column). Captions without a language table are only
        // " 1" to " 16", which is why one text caption is enough.
        double number = 0;
        bool text = true;
        for (int i = 2; i < kArchiveFields; ++i) {
            text = fields[i].isEmpty() || !parseNumber(fields[i], &number);
            if (text)
                break;
        }
        if (!text) {
            ++m_garbage;
            return;
        }
        m_captions.clear();
        for (int i = 2; i < kArchiveFields; ++i)
            m_captions << decode(fields[i]);
        ++m_headers;
        return;
    }
    for (int i = 0; i < kParameterCount; ++i) {
        if (!parseNumber(fields[2 + i], &row.values[size_t(i)])) {
            ++m_garbage;
            return;
        }
    }
    m_lastTime = row.time;
    ++m_rows;
    if (sink)
        sink(row);
}
