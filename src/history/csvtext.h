// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>
#include <functional>

class LocalTimeConverter;

// The small pieces every reader of the panel's CSV files needs: fields of a line, numbers with a
// decimal comma, "dd.MM.yyyy hh:mm:ss" times and the text encoding of the file.
namespace CsvText {

struct Field
{
    const char *begin = nullptr;
    const char *end = nullptr;
    int size() const { return int(end - begin); }
    bool isEmpty() const { return begin == end; }
};

// Calls `line` with every line of the text (without "\r\n" or "\n"); empty lines are passed over.
// A last line without its line end is still being written and is left alone unless `final`.
// Returns how many bytes were used: the next call starts there.
qint64 forEachLine(const char *data, qint64 size, bool final,
                   const std::function<void(const char *begin, const char *end)> &line);

// Splits a line (without its line end) at ";". Every field is followed by ";", so the empty text
// after the last one is not a field; a line that lacks the final ";" gives the same fields.
// At most `maxFields` + 1 are stored (a longer line is wrong anyway); returns the count found.
int splitFields(const char *begin, const char *end, Field *fields, int maxFields);

// A number written with a decimal comma (or point), optionally with an exponent. Empty text and
// "nan" give NaN with true; anything else that is not a number gives false.
bool parseNumber(const Field &field, double *value);
bool parseInteger(const Field &field, int *value);

// "dd.MM.yyyy hh:mm:ss" in local time to milliseconds since the epoch (see LocalTimeConverter for
// the repeated hour); false when the text is not such a time.
bool parseDateTime(const Field &field, LocalTimeConverter &converter, qint64 previous,
                   qint64 *msecs);

// Text of a field: UTF-8 when the bytes are valid UTF-8, else the local 8-bit encoding the panel
// writes with, and where that is UTF-8 itself, Windows-1251 (the encoding of the installations
// these files come from). Pure ASCII takes the fast way.
QString decode(const Field &field);
QString decode(const QByteArray &bytes);

} // namespace CsvText
