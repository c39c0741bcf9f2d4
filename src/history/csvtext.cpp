// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "csvtext.h"

#include "historyconstants.h"
#include "localtimeconverter.h"

#include <QTextCodec>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace CsvText {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int twoDigits(const char *p)
{
    return (p[0] - '0') * 10 + (p[1] - '0');
}

bool isAscii(const char *begin, const char *end)
{
    for (const char *p = begin; p != end; ++p) {
        if (static_cast<unsigned char>(*p) >= 0x80)
            return false;
    }
    return true;
}

QTextCodec *fallbackCodec()
{
    QTextCodec *local = QTextCodec::codecForLocale();
    if (local && local->mibEnum() != 106) // 106: UTF-8
        return local;
    static QTextCodec *const cyrillic = QTextCodec::codecForName("Windows-1251");
    return cyrillic ? cyrillic : QTextCodec::codecForName("ISO-8859-1");
}

} // namespace

qint64 forEachLine(const char *data, qint64 size, bool final,
                   const std::function<void(const char *begin, const char *end)> &line)
{
    const char *const end = data + size;
    const char *start = data;
    while (start != end) {
        const char *nl = static_cast<const char *>(memchr(start, '\n', size_t(end - start)));
        if (!nl) {
            if (!final)
                break;
            nl = end;
        }
        const char *lineEnd = nl;
        while (lineEnd != start && lineEnd[-1] == '\r')
            --lineEnd;
        if (lineEnd != start)
            line(start, lineEnd);
        start = nl == end ? end : nl + 1;
    }
    return start - data;
}

int splitFields(const char *begin, const char *end, Field *fields, int maxFields)
{
    int count = 0;
    const char *start = begin;
    for (const char *p = begin; p != end; ++p) {
        if (*p != HistoryFormat::kSeparator)
            continue;
        if (count <= maxFields)
            fields[count] = {start, p};
        ++count;
        start = p + 1;
    }
    if (start != end) {
        if (count <= maxFields)
            fields[count] = {start, end};
        ++count;
    }
    return count;
}

bool parseNumber(const Field &field, double *value)
{
    const char *b = field.begin;
    const char *e = field.end;
    while (b != e && *b == ' ')
        ++b;
    while (e != b && e[-1] == ' ')
        --e;
    if (b == e) {
        *value = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    // The writers' reals have at most a few dozen characters; a longer field is not one.
    char buffer[64];
    const int n = int(e - b);
    if (n >= int(sizeof buffer))
        return false;
    const char *s = b;
    if (*s == '+')
        ++s;
    int out = 0;
    for (const char *p = s; p != e; ++p)
        buffer[out++] = *p == ',' ? '.' : *p;
    double v = 0;
    const auto result = std::from_chars(buffer, buffer + out, v);
    if (result.ec != std::errc() || result.ptr != buffer + out)
        return false;
    *value = std::isfinite(v) ? v : std::numeric_limits<double>::quiet_NaN();
    return true;
}

bool parseInteger(const Field &field, int *value)
{
    const char *b = field.begin;
    const char *e = field.end;
    while (b != e && *b == ' ')
        ++b;
    while (e != b && e[-1] == ' ')
        --e;
    if (b == e)
        return false;
    const auto result = std::from_chars(b, e, *value);
    return result.ec == std::errc() && result.ptr == e;
}

bool parseDateTime(const Field &field, LocalTimeConverter &converter, qint64 previous,
                   qint64 *msecs)
{
    // dd.MM.yyyy hh:mm:ss
    if (field.size() != HistoryFormat::kDateTimeLength)
        return false;
    const char *p = field.begin;
    static const int kDigits[] = {0, 1, 3, 4, 6, 7, 8, 9, 11, 12, 14, 15, 17, 18};
    for (int i : kDigits) {
        if (!isDigit(p[i]))
            return false;
    }
    if (p[2] != '.' || p[5] != '.' || p[10] != ' ' || p[13] != ':' || p[16] != ':')
        return false;
    const int year = twoDigits(p + 6) * 100 + twoDigits(p + 8);
    return converter.toEpoch(year, twoDigits(p + 3), twoDigits(p), twoDigits(p + 11),
                             twoDigits(p + 14), twoDigits(p + 17), previous, msecs);
}

QString decode(const Field &field)
{
    if (isAscii(field.begin, field.end))
        return QString::fromLatin1(field.begin, field.size());
    QTextCodec::ConverterState state;
    QTextCodec *utf8 = QTextCodec::codecForMib(106);
    const QString text = utf8->toUnicode(field.begin, field.size(), &state);
    if (state.invalidChars == 0 && state.remainingChars == 0)
        return text;
    return fallbackCodec()->toUnicode(field.begin, field.size());
}

QString decode(const QByteArray &bytes)
{
    return decode(Field{bytes.constData(), bytes.constData() + bytes.size()});
}

} // namespace CsvText
