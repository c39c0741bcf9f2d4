// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The MJPEG stream parser under any response: the Content-Type check and the multipart cutter
// must never crash, never hand out a frame over the size cap, and cut the same frames however
// the network splits the stream into chunks.
//
// Input: byte 0 seeds the chunk sizes; the text up to the first line feed is the Content-Type
// header; the rest is the response body.
#include "fuzzsupport.h"
#include "mediaconstants.h"
#include "mjpegstreamparser.h"

namespace {

QList<QByteArray> feedInChunks(MjpegStreamParser &parser, const QByteArray &stream, quint32 seed)
{
    QList<QByteArray> frames;
    int pos = 0;
    while (pos < stream.size()) {
        // A small linear congruential generator: chunks of 1 to 64 bytes, sometimes larger.
        seed = seed * 1103515245u + 12345u;
        int size = 1 + int((seed >> 16) % 64);
        if ((seed >> 8) % 8 == 0)
            size *= 64;
        frames += parser.feed(stream.mid(pos, size));
        pos += size;
    }
    return frames;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray input = FuzzSupport::bytes(data + 1, size - 1);
    const int lineEnd = input.indexOf('\n');
    const QByteArray contentType = lineEnd < 0 ? input : input.left(lineEnd);
    const QByteArray stream = lineEnd < 0 ? QByteArray() : input.mid(lineEnd + 1);

    QByteArray boundary;
    if (MjpegStreamParser::parseContentType(contentType, &boundary) && boundary.isEmpty())
        FuzzSupport::fail("a Content-Type was accepted without a boundary");
    if (boundary.isEmpty())
        boundary = "frame";

    MjpegStreamParser whole;
    whole.setBoundary(boundary);
    const QList<QByteArray> wholeFrames = whole.feed(stream);

    MjpegStreamParser chunked;
    chunked.setBoundary(boundary);
    const QList<QByteArray> chunkedFrames = feedInChunks(chunked, stream, data[0]);

    for (const QByteArray &frame : wholeFrames) {
        if (frame.isEmpty() || frame.size() > MediaConstants::Mjpeg::kMaxFrameBytes)
            FuzzSupport::fail("a frame is empty or over the size cap");
    }
    if (wholeFrames != chunkedFrames)
        FuzzSupport::fail("the frames depend on how the stream was split into chunks");

    // After a reset the parser starts clean: the same stream gives the same frames again.
    whole.reset();
    if (whole.bufferedBytes() != 0 || whole.feed(stream) != wholeFrames)
        FuzzSupport::fail("a reset parser cut the stream differently");
    return 0;
}
