// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "mjpegframing.h"

#include <QDateTime>

namespace {

const char *const kNames[] = {"standard",  "lower",    "upper",     "nospace",    "extra",
                              "typeafter", "nolength", "quoted",    "dashed",     "lf",
                              "padded",    "trickle",  "badlength", "hugelength", "chunked"};
constexpr int kNameCount = int(sizeof(kNames) / sizeof(kNames[0]));
constexpr int kBadEvery = 3;

} // namespace

QStringList MjpegFraming::names()
{
    QStringList list;
    for (const char *name : kNames)
        list << QString::fromLatin1(name);
    return list;
}

bool MjpegFraming::fromName(const QString &name, Kind *kind)
{
    for (int i = 0; i < kNameCount; ++i) {
        if (name == QLatin1String(kNames[i])) {
            *kind = Kind(i);
            return true;
        }
    }
    return false;
}

QByteArray MjpegFraming::contentType() const
{
    switch (m_kind) {
    case Quoted:
        return "multipart/x-mixed-replace; boundary=\"frame\"";
    case Dashed:
        return "multipart/x-mixed-replace; boundary=--frame";
    case Chunked:
        return "multipart/x-mixed-replace;boundary=frame";
    default:
        return "multipart/x-mixed-replace; boundary=frame";
    }
}

bool MjpegFraming::partIsReadable(int index) const
{
    return !((m_kind == BadLength || m_kind == HugeLength) && index % kBadEvery == kBadEvery - 1);
}

QByteArray MjpegFraming::partHead(int index, int bodyBytes) const
{
    const QByteArray eol = m_kind == LfOnly ? "\n" : "\r\n";
    const QByteArray length = QByteArray::number(bodyBytes);
    QByteArray type = "Content-Type: image/jpeg";
    QByteArray len = "Content-Length: " + length;
    switch (m_kind) {
    case Lower:
    case Chunked:
        type = "content-type: image/jpeg";
        len = "content-length: " + length;
        break;
    case Upper:
        type = "CONTENT-TYPE: image/jpeg";
        len = "CONTENT-LENGTH: " + length;
        break;
    case NoSpace:
        type = "Content-Type:image/jpeg";
        len = "Content-Length:" + length;
        break;
    case Padded:
        len = "Content-Length:    " + length + "   ";
        break;
    case BadLength:
        if (!partIsReadable(index))
            len = "Content-Length: about " + length;
        break;
    case HugeLength:
        if (!partIsReadable(index))
            len = "Content-Length: 2147483648";
        break;
    default:
        break;
    }
    QByteArray head = "--frame" + eol;
    if (m_kind == TypeAfter) {
        head += len + eol + type + eol;
    } else if (m_kind == NoLength) {
        head += type + eol;
    } else {
        head += type + eol + len + eol;
    }
    if (m_kind == Extra)
        head += "X-Timestamp: " +
                QByteArray::number(QDateTime::currentMSecsSinceEpoch() / 1000.0, 'f', 3) + eol;
    return head + eol;
}

QByteArray MjpegFraming::partTail() const
{
    return m_kind == LfOnly ? "\n" : "\r\n";
}
