// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QList>

#include <memory>

// Cuts a multipart/x-mixed-replace byte stream into its part bodies. The stream may arrive in
// chunks of any size: everything not yet consumed is kept, so a header line or a boundary split
// between two chunks is joined again. Each part's headers are read to the blank line (LF or CR LF,
// names in any case, optional white space around the value), then the body is taken by its
// Content-Length or, without one, up to the next boundary line. Parts whose length is not a
// number from 1 byte to the frame cap are skipped and the stream resynchronises on the next
// boundary.
class MjpegStreamParser
{
public:
    MjpegStreamParser();
    ~MjpegStreamParser();
    MjpegStreamParser(const MjpegStreamParser &) = delete;
    MjpegStreamParser &operator=(const MjpegStreamParser &) = delete;

    // The boundary as the Content-Type header declares it, with or without its leading dashes.
    void setBoundary(const QByteArray &boundary);
    // The delimiter that starts a boundary line, "--" followed by the boundary.
    QByteArray delimiter() const;

    // Forgets buffered bytes and any part in progress (a new request); keeps the boundary.
    void reset();

    // Consumes the bytes and returns the bodies of the parts they complete, in stream order.
    QList<QByteArray> feed(const QByteArray &data);

    // Parts dropped for a bad or oversized length, oversized headers or a body without end.
    int droppedParts() const;
    // Bytes held for the part in progress.
    qint64 bufferedBytes() const;

    // Checks a response Content-Type: true if the media type is multipart/x-mixed-replace and a
    // non-empty boundary is given; the boundary (unquoted, case kept) is stored in *boundary.
    static bool parseContentType(const QByteArray &contentType, QByteArray *boundary);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
