// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// A camera's or the weather informer's whole HTTP reply, status line and headers included, as the
// panel reads it: the HTTP reader must never crash, never hold more than its header limit, never
// hand out more body than allowed, and read the same reply however the network splits it. The
// body then goes where the panel sends it: the multipart cutter and the frame decoder (which must
// refuse a frame declaring more than the side limit), or the forecast parser.
//
// Input: byte 0 seeds the chunk sizes; byte 1 picks the reader (even: camera, odd: weather); the
// rest is the reply.
#include "fuzzsupport.h"
#include "httpresponseparser.h"
#include "mediaconstants.h"
#include "mjpegdata.h"
#include "mjpegstreamparser.h"
#include "weatherdata.h"


namespace {

constexpr qint64 kWeatherLimit = 64 * 1024;
// Frames decoded per input at most: decoding dominates the run time otherwise.
constexpr int kMaxDecodes = 2;

struct Read
{
    bool ok = true;
    QByteArray body;
    HttpResponseParser::Error error = HttpResponseParser::Error::None;
    int status = 0;
    bool headers = false;
    QByteArray contentType;
};

Read readReply(const QByteArray &reply, qint64 bodyLimit, quint32 seed, bool chunked)
{
    HttpResponseParser parser;
    parser.setMaxBodyBytes(bodyLimit);
    Read r;
    int pos = 0;
    while (pos < reply.size() && r.ok) {
        int size = reply.size();
        if (chunked) {
            // A small linear congruential generator: chunks of 1 to 64 bytes, sometimes larger.
            seed = seed * 1103515245u + 12345u;
            size = 1 + int((seed >> 16) % 64);
            if ((seed >> 8) % 8 == 0)
                size *= 64;
        }
        r.ok = parser.feed(reply.mid(pos, size), &r.body);
        pos += size;
        if (parser.bufferedBytes() > MediaConstants::Http::kMaxHeaderBytes)
            FuzzSupport::fail("the HTTP reader holds more than its header limit");
        if (bodyLimit >= 0 && r.body.size() > bodyLimit)
            FuzzSupport::fail("the HTTP reader handed out more body than allowed");
    }
    parser.finishInput();
    r.error = parser.error();
    r.status = parser.statusCode();
    r.headers = parser.headersComplete();
    r.contentType = parser.header("content-type");
    return r;
}

void camera(const QByteArray &body, const QByteArray &contentType)
{
    QByteArray boundary;
    if (!MjpegStreamParser::parseContentType(contentType, &boundary))
        return;
    MjpegStreamParser parser;
    parser.setBoundary(boundary);
    const QList<QByteArray> frames = parser.feed(body);
    int decoded = 0;
    for (const QByteArray &frame : frames) {
        if (frame.isEmpty() || frame.size() > MediaConstants::Mjpeg::kMaxFrameBytes)
            FuzzSupport::fail("a frame is empty or over the size cap");
        if (decoded++ >= kMaxDecodes)
            break;
        const QImage image = MjpegData::decodeFrame(frame, QSize(64, 48));
        if (image.width() > MediaConstants::Mjpeg::kMaxFrameSide ||
            image.height() > MediaConstants::Mjpeg::kMaxFrameSide)
            FuzzSupport::fail("a frame over the side limit was decoded");
    }
}

WeatherData *g_weather = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialize(argc, argv);
    g_weather = new WeatherData;
    g_weather->setTown(QStringLiteral("Town"), QStringLiteral("1"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const bool weather = data[1] & 1;
    const QByteArray reply = FuzzSupport::bytes(data + 2, size - 2);
    const qint64 limit = weather ? kWeatherLimit : -1;

    const Read whole = readReply(reply, limit, data[0], false);
    const Read pieces = readReply(reply, limit, data[0], true);
    if (whole.error != pieces.error || whole.status != pieces.status ||
        whole.headers != pieces.headers || whole.contentType != pieces.contentType)
        FuzzSupport::fail("the reply reads differently depending on how it was split");
    const bool bodyRefused = whole.error == HttpResponseParser::Error::BodyTooLarge;
    if (!bodyRefused && whole.body != pieces.body)
        FuzzSupport::fail("the body depends on how the reply was split");
    if (whole.ok != (whole.error == HttpResponseParser::Error::None ||
                     whole.error == HttpResponseParser::Error::Truncated))
        FuzzSupport::fail("feed() and error() disagree");

    if (!whole.headers)
        return 0;
    if (weather) {
        if (whole.error == HttpResponseParser::Error::None && whole.status == 200)
            g_weather->parseReply(whole.body);
    } else {
        camera(whole.body, whole.contentType);
    }
    return 0;
}
