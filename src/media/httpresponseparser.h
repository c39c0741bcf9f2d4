// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// Reads one HTTP/1.x response as its bytes arrive, in chunks of any size: the status line and the
// headers (bounded in size), then the body by its Content-Length, by the chunked transfer coding
// or up to the end of the connection. Body bytes are handed out as soon as they are decoded and
// not kept, so what the parser holds stays within the header limit whatever the peer sends.
// Interim 1xx responses are skipped.
class HttpResponseParser
{
public:
    enum class Error {
        None,
        HeadersTooLarge, // status line, headers and trailers over the header limit
        BadStatusLine,
        BadLength,       // a Content-Length that is no number, or two that differ
        BadChunk,        // a chunk size line that is no hexadecimal size, or too long
        BodyTooLarge,    // declared or delivered body over the body limit
        Truncated,       // the connection ended before the body did
    };

    HttpResponseParser();

    // Bytes of status line, headers and trailers together; 16 KiB unless changed.
    void setMaxHeaderBytes(int bytes);
    // Body bytes at most (after the transfer coding is removed); -1, the default, for no limit.
    void setMaxBodyBytes(qint64 bytes);
    // Forgets the response read so far (a new request); keeps the limits.
    void reset();

    // Consumes the bytes and appends the body bytes they complete to *body. Returns false once
    // the response is malformed or over a limit (see error()); the rest is then ignored.
    bool feed(const QByteArray &data, QByteArray *body);
    // The connection ended: a body read to the end of the connection is then complete; any other
    // unfinished response is truncated.
    void finishInput();

    bool headersComplete() const;
    bool isComplete() const;
    Error error() const;
    int statusCode() const;
    // The first value of a header (name in any case), trimmed; empty if absent.
    QByteArray header(const QByteArray &name) const;
    // Every value of a header, in order (WWW-Authenticate may come several times).
    QList<QByteArray> headerValues(const QByteArray &name) const;
    // The declared body length, or -1 without one (chunked, or to the end of the connection).
    qint64 contentLength() const;
    qint64 bodyBytes() const;
    // Bytes held while a line is incomplete (at most the header limit).
    qint64 bufferedBytes() const;

    static const char *errorText(Error error);

private:
    enum class State { StatusLine, Headers, Body, ChunkSize, ChunkData, ChunkEnd, Trailers, Done };

    bool fail(Error error);
    bool takeLine(const QByteArray &data, int *pos, QByteArray *line, int limit, bool *tooLong);
    bool startBody();
    bool deliver(const char *data, qint64 size, QByteArray *body);

    int m_maxHeaderBytes;
    qint64 m_maxBodyBytes = -1;
    State m_state = State::StatusLine;
    Error m_error = Error::None;
    QByteArray m_line; // the incomplete line
    int m_headerBytes = 0;   // complete lines of the header block
    int m_lastLineBytes = 0; // the line takeLine() just completed, with its line break
    int m_status = 0;
    bool m_headersDone = false;
    QList<QPair<QByteArray, QByteArray>> m_headers; // lower-case name, value
    qint64 m_contentLength = -1;
    qint64 m_remaining = 0; // of the body by length or of the current chunk
    qint64 m_bodyBytes = 0;
    bool m_toEnd = false;   // body up to the end of the connection
};
