// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "httpresponseparser.h"

#include "mediaconstants.h"

namespace {

using namespace MediaConstants::Http;

// Hexadecimal digits of a chunk size at most: 15 keep the value inside a qint64.
constexpr int kMaxChunkSizeDigits = 15;

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A chunk size line: hexadecimal digits, then optional white space and ";extension".
bool parseChunkSize(const QByteArray &line, qint64 *size)
{
    qint64 value = 0;
    int digits = 0;
    int i = 0;
    for (; i < line.size(); ++i) {
        const int v = hexValue(line.at(i));
        if (v < 0)
            break;
        if (++digits > kMaxChunkSizeDigits)
            return false;
        value = value * 16 + v;
    }
    if (digits == 0)
        return false;
    for (; i < line.size(); ++i) {
        const char c = line.at(i);
        if (c == ';')
            break;
        if (c != ' ' && c != '\t')
            return false;
    }
    *size = value;
    return true;
}

bool allDigits(const QByteArray &text)
{
    if (text.isEmpty() || text.size() > 18) // 18 digits keep the value inside a qint64
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

} // namespace

HttpResponseParser::HttpResponseParser() : m_maxHeaderBytes(kMaxHeaderBytes) {}

void HttpResponseParser::setMaxHeaderBytes(int bytes)
{
    m_maxHeaderBytes = qMax(64, bytes);
}

void HttpResponseParser::setMaxBodyBytes(qint64 bytes)
{
    m_maxBodyBytes = bytes < 0 ? -1 : bytes;
}

void HttpResponseParser::reset()
{
    m_state = State::StatusLine;
    m_error = Error::None;
    m_line.clear();
    m_headerBytes = 0;
    m_lastLineBytes = 0;
    m_status = 0;
    m_headersDone = false;
    m_headers.clear();
    m_contentLength = -1;
    m_remaining = 0;
    m_bodyBytes = 0;
    m_toEnd = false;
}

bool HttpResponseParser::fail(Error error)
{
    m_error = error;
    m_line.clear();
    m_state = State::Done;
    return false;
}

// Takes one line ending in LF (a CR before it is dropped) from data at *pos, joined with what an
// earlier chunk left. False when the line is not complete yet; *tooLong when it (or the header
// block it belongs to) outgrew `limit` bytes.
bool HttpResponseParser::takeLine(const QByteArray &data, int *pos, QByteArray *line, int limit,
                                  bool *tooLong)
{
    *tooLong = false;
    const int lf = data.indexOf('\n', *pos);
    const int end = lf < 0 ? data.size() : lf + 1;
    if (m_line.size() + (end - *pos) > limit) {
        *tooLong = true;
        return false;
    }
    m_line.append(data.constData() + *pos, end - *pos);
    *pos = end;
    if (lf < 0)
        return false;
    m_lastLineBytes = m_line.size();
    m_line.chop(1);
    if (m_line.endsWith('\r'))
        m_line.chop(1);
    *line = m_line;
    m_line.clear();
    return true;
}

bool HttpResponseParser::deliver(const char *data, qint64 size, QByteArray *body)
{
    m_bodyBytes += size;
    if (m_maxBodyBytes >= 0 && m_bodyBytes > m_maxBodyBytes)
        return fail(Error::BodyTooLarge);
    if (body)
        body->append(data, int(size));
    return true;
}

bool HttpResponseParser::startBody()
{
    // Interim answers (100 Continue and the like) are followed by the real one.
    if (m_status >= 100 && m_status < 200 && m_status != 101) {
        m_headers.clear();
        m_status = 0;
        m_state = State::StatusLine;
        return true;
    }
    m_headersDone = true;
    const QList<QByteArray> codings = headerValues("transfer-encoding");
    const bool chunked = !codings.isEmpty() &&
                         codings.last().toLower().split(',').last().trimmed() == "chunked";
    const QList<QByteArray> lengths = headerValues("content-length");
    if (!chunked && !lengths.isEmpty()) {
        for (const QByteArray &value : lengths) {
            if (!allDigits(value) || value != lengths.first())
                return fail(Error::BadLength);
        }
        m_contentLength = lengths.first().toLongLong();
    }
    if (m_maxBodyBytes >= 0 && m_contentLength > m_maxBodyBytes)
        return fail(Error::BodyTooLarge);
    if (m_status == 204 || m_status == 304) {
        m_state = State::Done;
    } else if (chunked) {
        m_contentLength = -1;
        m_state = State::ChunkSize;
    } else if (m_contentLength >= 0) {
        m_remaining = m_contentLength;
        m_state = m_remaining > 0 ? State::Body : State::Done;
    } else {
        m_toEnd = true;
        m_state = State::Body;
    }
    return true;
}

bool HttpResponseParser::feed(const QByteArray &data, QByteArray *body)
{
    if (m_error != Error::None)
        return false;
    int pos = 0;
    const int size = data.size();
    while (pos < size) {
        switch (m_state) {
        case State::StatusLine:
        case State::Headers:
        case State::Trailers: {
            QByteArray line;
            bool tooLong = false;
            const bool complete =
                takeLine(data, &pos, &line, m_maxHeaderBytes - m_headerBytes, &tooLong);
            if (tooLong)
                return fail(Error::HeadersTooLarge);
            if (!complete)
                return true;
            m_headerBytes += m_lastLineBytes;
            if (m_state == State::StatusLine) {
                // "HTTP/1.x NNN reason"; a blank line before it is tolerated.
                if (line.isEmpty())
                    continue;
                if (!line.startsWith("HTTP/") || line.size() < 12 || line.at(8) != ' ')
                    return fail(Error::BadStatusLine);
                const QByteArray code = line.mid(9, 3);
                if (!allDigits(code) || (line.size() > 12 && line.at(12) != ' '))
                    return fail(Error::BadStatusLine);
                m_status = code.toInt();
                if (m_status < 100)
                    return fail(Error::BadStatusLine);
                m_state = State::Headers;
                continue;
            }
            if (!line.isEmpty()) {
                if (m_state == State::Trailers)
                    continue; // nothing here needs a trailer
                if ((line.at(0) == ' ' || line.at(0) == '\t') && !m_headers.isEmpty()) {
                    // An old-style folded line continues the previous value.
                    m_headers.last().second += ' ' + line.trimmed();
                    continue;
                }
                const int colon = line.indexOf(':');
                if (colon > 0)
                    m_headers.append({line.left(colon).trimmed().toLower(),
                                      line.mid(colon + 1).trimmed()});
                continue;
            }
            if (m_state == State::Trailers) {
                m_state = State::Done;
                continue;
            }
            if (!startBody())
                return false;
            continue;
        }
        case State::Body: {
            qint64 take = size - pos;
            if (!m_toEnd)
                take = qMin(take, m_remaining);
            if (!deliver(data.constData() + pos, take, body))
                return false;
            pos += int(take);
            if (!m_toEnd) {
                m_remaining -= take;
                if (m_remaining == 0)
                    m_state = State::Done;
            }
            continue;
        }
        case State::ChunkSize:
        case State::ChunkEnd: {
            QByteArray line;
            bool tooLong = false;
            if (!takeLine(data, &pos, &line, kMaxChunkLineBytes, &tooLong))
                return tooLong ? fail(Error::BadChunk) : true;
            if (m_state == State::ChunkEnd) {
                // The line break after a chunk's data.
                if (!line.isEmpty())
                    return fail(Error::BadChunk);
                m_state = State::ChunkSize;
                continue;
            }
            qint64 chunk = 0;
            if (!parseChunkSize(line, &chunk))
                return fail(Error::BadChunk);
            m_remaining = chunk;
            m_state = chunk > 0 ? State::ChunkData : State::Trailers;
            continue;
        }
        case State::ChunkData: {
            const qint64 take = qMin<qint64>(size - pos, m_remaining);
            if (!deliver(data.constData() + pos, take, body))
                return false;
            pos += int(take);
            m_remaining -= take;
            if (m_remaining == 0)
                m_state = State::ChunkEnd;
            continue;
        }
        case State::Done:
            // Bytes after the end of the reply: the connection is closed after one reply.
            return true;
        }
    }
    return true;
}

void HttpResponseParser::finishInput()
{
    if (m_error != Error::None || m_state == State::Done)
        return;
    if (m_state == State::Body && m_toEnd) {
        m_state = State::Done;
        return;
    }
    fail(Error::Truncated);
}

bool HttpResponseParser::headersComplete() const
{
    return m_headersDone;
}

bool HttpResponseParser::isComplete() const
{
    return m_error == Error::None && m_state == State::Done;
}

HttpResponseParser::Error HttpResponseParser::error() const
{
    return m_error;
}

int HttpResponseParser::statusCode() const
{
    return m_status;
}

QByteArray HttpResponseParser::header(const QByteArray &name) const
{
    const QByteArray key = name.toLower();
    for (const auto &h : m_headers) {
        if (h.first == key)
            return h.second;
    }
    return {};
}

QList<QByteArray> HttpResponseParser::headerValues(const QByteArray &name) const
{
    const QByteArray key = name.toLower();
    QList<QByteArray> values;
    for (const auto &h : m_headers) {
        if (h.first == key)
            values.append(h.second);
    }
    return values;
}

qint64 HttpResponseParser::contentLength() const
{
    return m_contentLength;
}

qint64 HttpResponseParser::bodyBytes() const
{
    return m_bodyBytes;
}

qint64 HttpResponseParser::bufferedBytes() const
{
    return m_line.size();
}

const char *HttpResponseParser::errorText(Error error)
{
    switch (error) {
    case Error::None:
        return "no error";
    case Error::HeadersTooLarge:
        return "headers too large";
    case Error::BadStatusLine:
        return "no HTTP status line";
    case Error::BadLength:
        return "bad Content-Length";
    case Error::BadChunk:
        return "bad chunk size";
    case Error::BodyTooLarge:
        return "body too large";
    case Error::Truncated:
        return "reply cut short";
    }
    return "";
}
