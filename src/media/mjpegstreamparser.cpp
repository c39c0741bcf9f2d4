// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "mjpegstreamparser.h"

#include "mediaconstants.h"

namespace {

using namespace MediaConstants::Mjpeg;

// A boundary line is short (the boundary itself is at most 70 characters); a "line" longer than
// this is frame data, not a boundary.
constexpr int kMaxDelimiterLine = 256;
// Once this much of the buffer is consumed it is moved out, so a long stream never grows it.
constexpr int kCompactBytes = 64 * 1024;

enum class State { SeekBoundary, Headers, BodyByLength, BodyToBoundary };

enum class Match { Found, Incomplete, None };

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

} // namespace

struct MjpegStreamParser::Private
{
    QByteArray token; // the boundary without leading dashes
    QByteArray buffer;
    int pos = 0; // first byte not yet consumed
    State state = State::SeekBoundary;
    // The consumed bytes ended a line (or nothing was consumed yet), so a delimiter at pos starts
    // a line.
    bool atLineStart = true;
    int headerBytes = 0;
    qint64 length = -1; // Content-Length of the part in progress, -1 if none
    bool badLength = false;
    int bodyStart = 0; // BodyToBoundary: where the body began
    int scanFrom = 0;  // BodyToBoundary: where the search for the delimiter resumes
    int dropped = 0;

    void startPart()
    {
        state = State::Headers;
        headerBytes = 0;
        length = -1;
        badLength = false;
    }
    void seek(bool lineStart)
    {
        state = State::SeekBoundary;
        atLineStart = lineStart;
    }

    // Looks for a boundary line in buffer[from, end) whose line starts at or after regionStart.
    // Found: *lineBegin is the first dash, *lineEnd the byte after its LF.
    Match findDelimiter(int regionStart, bool regionIsLineStart, int from, int *lineBegin,
                        int *lineEnd) const;
    bool readHeaderLine(const QByteArray &line);
    void compact();
};

Match MjpegStreamParser::Private::findDelimiter(int regionStart, bool regionIsLineStart, int from,
                                                int *lineBegin, int *lineEnd) const
{
    if (token.isEmpty())
        return Match::None;
    const int size = buffer.size();
    const char *data = buffer.constData();
    int i = buffer.indexOf(token, from);
    while (i >= 0) {
        // Dashes back to the start of the line: at least two ("--" + boundary); a boundary
        // declared with its own dashes may be written with or without the extra pair.
        int j = i;
        while (j > regionStart && data[j - 1] == '-')
            --j;
        const bool lineStart = (j == regionStart) ? regionIsLineStart : data[j - 1] == '\n';
        if (i - j >= 2 && lineStart) {
            int k = i + token.size();
            while (k < size && k - j < kMaxDelimiterLine && (isBlank(data[k]) || data[k] == '-'))
                ++k;
            if (k >= size)
                return (k - j < kMaxDelimiterLine) ? (*lineBegin = j, Match::Incomplete)
                                                   : Match::None;
            if (data[k] == '\n') {
                *lineBegin = j;
                *lineEnd = k + 1;
                return Match::Found;
            }
        }
        i = buffer.indexOf(token, i + 1);
    }
    return Match::None;
}

bool MjpegStreamParser::Private::readHeaderLine(const QByteArray &line)
{
    const int colon = line.indexOf(':');
    if (colon <= 0)
        return true; // not a header; tolerated and ignored
    const QByteArray name = line.left(colon).trimmed().toLower();
    if (name != "content-length")
        return true;
    bool ok = false;
    const qint64 value = line.mid(colon + 1).trimmed().toLongLong(&ok);
    if (ok && value >= 1 && value <= kMaxFrameBytes) {
        length = value;
        badLength = false;
    } else {
        badLength = true;
    }
    return true;
}

void MjpegStreamParser::Private::compact()
{
    if (pos == 0)
        return;
    if (pos >= buffer.size()) {
        buffer.clear();
    } else if (pos >= kCompactBytes || pos * 2 >= buffer.size()) {
        buffer.remove(0, pos);
    } else {
        return;
    }
    bodyStart = qMax(0, bodyStart - pos);
    scanFrom = qMax(0, scanFrom - pos);
    pos = 0;
}

MjpegStreamParser::MjpegStreamParser() : d(std::make_unique<Private>()) {}

MjpegStreamParser::~MjpegStreamParser() = default;

void MjpegStreamParser::setBoundary(const QByteArray &boundary)
{
    QByteArray token = boundary.trimmed();
    int dashes = 0;
    while (dashes < token.size() && token.at(dashes) == '-')
        ++dashes;
    d->token = token.mid(dashes);
    reset();
}

QByteArray MjpegStreamParser::delimiter() const
{
    return d->token.isEmpty() ? QByteArray() : QByteArray("--") + d->token;
}

void MjpegStreamParser::reset()
{
    d->buffer.clear();
    d->pos = 0;
    d->bodyStart = 0;
    d->scanFrom = 0;
    d->seek(true);
}

int MjpegStreamParser::droppedParts() const
{
    return d->dropped;
}

qint64 MjpegStreamParser::bufferedBytes() const
{
    return d->buffer.size() - d->pos;
}

QList<QByteArray> MjpegStreamParser::feed(const QByteArray &data)
{
    QList<QByteArray> frames;
    if (d->token.isEmpty())
        return frames;
    d->compact();
    d->buffer.append(data);

    for (;;) {
        const int size = d->buffer.size();
        switch (d->state) {
        case State::SeekBoundary: {
            int begin = 0;
            int end = 0;
            const Match m = d->findDelimiter(d->pos, d->atLineStart, d->pos, &begin, &end);
            if (m == Match::Found) {
                d->pos = end;
                d->startPart();
                continue;
            }
            if (m == Match::Incomplete) {
                d->atLineStart = begin == d->pos ? d->atLineStart : true;
                d->pos = begin;
                return frames;
            }
            // Nothing here can start a boundary line except the last, unfinished line.
            const int lastLf = d->buffer.lastIndexOf('\n');
            if (lastLf >= d->pos) {
                d->pos = lastLf + 1;
                d->atLineStart = true;
            }
            if (size - d->pos > kMaxDelimiterLine) {
                d->pos = size;
                d->atLineStart = false;
            }
            return frames;
        }
        case State::Headers: {
            const int lf = d->buffer.indexOf('\n', d->pos);
            if (lf < 0) {
                if (d->headerBytes + (size - d->pos) > kMaxHeaderBytes) {
                    ++d->dropped;
                    d->pos = size;
                    d->seek(false);
                }
                return frames;
            }
            d->headerBytes += lf + 1 - d->pos;
            int lineEnd = lf;
            if (lineEnd > d->pos && d->buffer.at(lineEnd - 1) == '\r')
                --lineEnd;
            const QByteArray line = d->buffer.mid(d->pos, lineEnd - d->pos);
            d->pos = lf + 1;
            if (d->headerBytes > kMaxHeaderBytes) {
                ++d->dropped;
                d->seek(true);
                continue;
            }
            if (!line.isEmpty()) {
                // A boundary line here means the previous part had no blank line: start over.
                if (line.startsWith("--") && line.contains(d->token)) {
                    int dashes = 0;
                    while (dashes < line.size() && line.at(dashes) == '-')
                        ++dashes;
                    if (line.mid(dashes).startsWith(d->token)) {
                        d->startPart();
                        continue;
                    }
                }
                d->readHeaderLine(line);
                continue;
            }
            // The blank line: the body follows.
            if (d->badLength) {
                ++d->dropped;
                d->seek(true);
            } else if (d->length > 0) {
                d->state = State::BodyByLength;
                d->compact();
            } else {
                d->state = State::BodyToBoundary;
                d->compact();
                d->bodyStart = d->pos;
                d->scanFrom = d->pos;
            }
            continue;
        }
        case State::BodyByLength: {
            if (size - d->pos < d->length)
                return frames;
            frames.append(d->buffer.mid(d->pos, int(d->length)));
            d->pos += int(d->length);
            d->seek(true);
            continue;
        }
        case State::BodyToBoundary: {
            int begin = 0;
            int end = 0;
            const Match m = d->findDelimiter(d->bodyStart, true, d->scanFrom, &begin, &end);
            if (m == Match::Found) {
                int bodyEnd = begin;
                // The line break in front of the boundary belongs to the boundary.
                if (bodyEnd > d->bodyStart && d->buffer.at(bodyEnd - 1) == '\n')
                    --bodyEnd;
                if (bodyEnd > d->bodyStart && d->buffer.at(bodyEnd - 1) == '\r')
                    --bodyEnd;
                if (bodyEnd > d->bodyStart)
                    frames.append(d->buffer.mid(d->bodyStart, bodyEnd - d->bodyStart));
                d->pos = end;
                d->startPart();
                continue;
            }
            if (size - d->bodyStart > kMaxFrameBytes) {
                ++d->dropped;
                d->pos = size;
                d->seek(false);
                return frames;
            }
            d->scanFrom = m == Match::Incomplete
                              ? begin
                              : qMax(d->bodyStart, size - kMaxDelimiterLine - d->token.size());
            return frames;
        }
        }
    }
}

bool MjpegStreamParser::parseContentType(const QByteArray &contentType, QByteArray *boundary)
{
    const int semicolon = contentType.indexOf(';');
    if (semicolon <= 0)
        return false;
    if (contentType.left(semicolon).trimmed().toLower() != kMultipartType)
        return false;
    QByteArray found;
    const QList<QByteArray> params = contentType.mid(semicolon + 1).split(';');
    for (const QByteArray &param : params) {
        const int eq = param.indexOf('=');
        if (eq < 0 || param.left(eq).trimmed().toLower() != "boundary")
            continue;
        found = param.mid(eq + 1).trimmed();
        if (found.size() >= 2 && found.startsWith('"') && found.endsWith('"'))
            found = found.mid(1, found.size() - 2).trimmed();
        break;
    }
    // A boundary of dashes only would match every dashed line of a frame.
    QByteArray token = found;
    while (token.startsWith('-'))
        token.remove(0, 1);
    if (token.isEmpty())
        return false;
    if (boundary)
        *boundary = found;
    return true;
}
