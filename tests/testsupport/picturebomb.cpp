// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "picturebomb.h"

#include <QBuffer>
#include <QImage>

namespace {

QByteArray encoded(const char *format)
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

quint32 crc32(const QByteArray &data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : data) {
        crc ^= quint8(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void put16(QByteArray &bytes, int at, int value)
{
    bytes[at] = char((value >> 8) & 0xFF);
    bytes[at + 1] = char(value & 0xFF);
}

void put32(QByteArray &bytes, int at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char((value >> (24 - 8 * i)) & 0xFF);
}

} // namespace

namespace PictureBomb {

QByteArray jpeg(const QSize &declared)
{
    QByteArray bytes = encoded("JPG");
    // Start of frame (baseline): FF C0, length, precision, height, width.
    const int sof = bytes.indexOf("\xFF\xC0");
    if (sof < 0)
        return {};
    put16(bytes, sof + 5, declared.height());
    put16(bytes, sof + 7, declared.width());
    return bytes;
}

QByteArray png(const QSize &declared)
{
    QByteArray bytes = encoded("PNG");
    // Signature (8), then the IHDR chunk: length (4), "IHDR", width (4), height (4), ... CRC.
    const int type = bytes.indexOf("IHDR");
    if (type < 0)
        return {};
    put32(bytes, type + 4, quint32(declared.width()));
    put32(bytes, type + 8, quint32(declared.height()));
    put32(bytes, type + 4 + 13, crc32(bytes.mid(type, 4 + 13)));
    return bytes;
}

} // namespace PictureBomb
