// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "historytypes.h"
#include "localtimeconverter.h"

#include <QStringList>
#include <functional>

// Reads the lines of one daily parameter archive file: rows of program time, controller time and
// 16 values with a decimal comma, each field followed by ";". Header lines (the first, and any
// repeated after a restart) give the column captions; lines that are neither are counted and
// skipped. Bytes can come in pieces: a file growing while it is read continues where the last
// piece stopped, and a last line still being written is left for the next piece.
class ArchiveParser
{
public:
    using RowSink = std::function<void(const ArchiveRow &row)>;

    // Returns the number of bytes used; the rest (an unfinished last line) must be offered again.
    // With `final` an unfinished last line is read as it is (a file of a past day).
    qint64 parse(const char *data, qint64 size, bool final, const RowSink &sink);
    qint64 parse(const QByteArray &bytes, bool final, const RowSink &sink)
    {
        return parse(bytes.constData(), bytes.size(), final, sink);
    }

    // Counts a stretch of bytes the caller passes over (far too long to be a line) as unreadable.
    void skipUnreadable() { ++m_garbage; }

    int rows() const { return m_rows; }
    int garbageLines() const { return m_garbage; }
    int headerLines() const { return m_headers; }
    // Captions of the last header read, 16 entries for the parameters; empty before any header.
    QStringList captions() const { return m_captions; }
    // Instant of the last row; a parser resuming a file starts from the stored value.
    qint64 lastTime() const { return m_lastTime; }
    void resume(qint64 lastTime) { m_lastTime = lastTime; }

private:
    void line(const char *begin, const char *end, const RowSink &sink);

    LocalTimeConverter m_converter;
    QStringList m_captions;
    qint64 m_lastTime = std::numeric_limits<qint64>::min() / 2;
    int m_rows = 0;
    int m_garbage = 0;
    int m_headers = 0;
};
