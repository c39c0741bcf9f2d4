// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QStringList>

// How the simulated camera frames its multipart stream. Real cameras differ in header case,
// spacing, header order, line endings, whether parts carry a length and how the boundary is
// declared; each framing reproduces one of those habits so a stream reader can be tried on all.
class MjpegFraming
{
public:
    enum Kind {
        Standard,   // Content-Type and Content-Length, CR LF
        Lower,      // lower-case header names
        Upper,      // upper-case header names
        NoSpace,    // no space after the colons
        Extra,      // an X-Timestamp header after the length
        TypeAfter,  // Content-Type after Content-Length
        NoLength,   // no Content-Length: parts end at the next boundary
        Quoted,     // boundary="frame" in the response header
        Dashed,     // boundary=--frame declared, lines start "--frame"
        LfOnly,     // bare LF line ends
        Padded,     // length padded with white space
        Trickle,    // part headers written one byte at a time
        BadLength,  // every third part has a length that is no number
        HugeLength, // every third part claims 2 GB
        Chunked,    // chunked transfer encoding, lower-case headers (like ffmpeg)
    };

    static QStringList names();
    // False for an unknown name.
    static bool fromName(const QString &name, Kind *kind);

    explicit MjpegFraming(Kind kind = Standard) : m_kind(kind) {}
    Kind kind() const { return m_kind; }

    // The response's Content-Type header value.
    QByteArray contentType() const;
    // Boundary line, part headers and the blank line in front of part number `index`.
    QByteArray partHead(int index, int bodyBytes) const;
    // Bytes after the body, before the next boundary line.
    QByteArray partTail() const;
    // Whether a good stream reader can decode part `index` (bad-length parts are skipped).
    bool partIsReadable(int index) const;

private:
    Kind m_kind;
};
