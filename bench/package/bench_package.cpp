// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// Unpacking a picture package of about 7 MB compressed: time per MB, against inflating the same
// body with zlib directly, to see what the package layer costs on top of decompression.
#include "epackage.h"
#include "packagewriter.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtEndian>
#include <algorithm>
#include <zlib.h>

namespace {

// Floor-plan-like pictures stored as BMP, so that the package body really is compressed (PNG data
// would not shrink and would be stored plain).
QByteArray picture(int index)
{
    QRandomGenerator rng(quint32(index) * 7919u + 1u);
    QImage img(1024, 700, QImage::Format_RGB888);
    img.fill(QColor(236, 232, 224));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 40; ++i) {
        p.setPen(QPen(QColor(60, 60, 70), rng.bounded(2, 8)));
        p.setBrush(QColor(rng.bounded(256), rng.bounded(256), rng.bounded(256), 60));
        p.drawRect(rng.bounded(1000), rng.bounded(680), rng.bounded(20, 300), rng.bounded(20, 200));
    }
    for (int y = 0; y < img.height(); y += 3) {
        for (int x = 0; x < img.width(); x += 5)
            img.setPixel(x, y, qRgb(rng.bounded(256), rng.bounded(256), rng.bounded(256)));
    }
    p.end();
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "BMP");
    return bmp;
}

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.at(v.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    PackageWriter writer(EPackage::Pictures);
    int index = 0;
    QByteArray package;
    // Add pictures until the compressed package reaches about 7 MB.
    while (package.size() < 7 * 1024 * 1024) {
        for (int i = 0; i < 4; ++i, ++index)
            writer.addEntry(QStringLiteral("plan-%1.bmp").arg(index), picture(index));
        package = writer.toByteArray();
    }
    const QString path = dir.filePath(QStringLiteral("images.package"));
    writer.write(path);
    const EPackage::Header h = EPackage::readHeader(package);
    const QByteArray body = package.mid(EPackage::kHeaderSize);
    const double mb = package.size() / (1024.0 * 1024.0);
    out << "package: " << index << " pictures, " << QString::number(mb, 'f', 2) << " MB stored, "
        << QString::number(h.unpackedSize / (1024.0 * 1024.0), 'f', 2) << " MB unpacked\n";

    const int runs = 7;
    QVector<double> unpackMs, inflateMs;
    for (int r = 0; r < runs; ++r) {
        const QString target = dir.filePath(QStringLiteral("out%1").arg(r));
        QDir().mkpath(target);
        QElapsedTimer t;
        t.start();
        EPackage::unpack(path, target);
        unpackMs.append(t.nsecsElapsed() / 1e6);
        QDir(target).removeRecursively();

        // The same body inflated by zlib alone (skip qCompress's 4-byte length prefix).
        QByteArray raw(h.unpackedSize, Qt::Uninitialized);
        uLongf rawSize = uLongf(raw.size());
        t.restart();
        const int rc = uncompress(reinterpret_cast<Bytef *>(raw.data()), &rawSize,
                                  reinterpret_cast<const Bytef *>(body.constData() + 4),
                                  uLong(body.size() - 4));
        inflateMs.append(t.nsecsElapsed() / 1e6);
        if (rc != Z_OK)
            out << "zlib error " << rc << "\n";
    }
    const double u = median(unpackMs);
    const double z = median(inflateMs);
    out << "unpack (read, inflate, write files): " << QString::number(u, 'f', 1) << " ms median of "
        << runs << ", " << QString::number(u / mb, 'f', 2) << " ms per stored MB\n";
    out << "zlib inflate of the same body:       " << QString::number(z, 'f', 1) << " ms, "
        << QString::number(z / mb, 'f', 2) << " ms per stored MB\n";
    out << "ratio unpack / inflate: " << QString::number(u / z, 'f', 2) << "\n";
    return 0;
}
