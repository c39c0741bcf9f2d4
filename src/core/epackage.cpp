// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "epackage.h"

#include "corenames.h"
#include "loadreport.h"
#include "privatefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QtEndian>

Q_LOGGING_CATEGORY(lcPackage, "verandix.package", QtWarningMsg)

namespace {

qint32 readInt(const QByteArray &data, int offset)
{
    if (offset < 0 || offset + 4 > data.size())
        return 0;
    return qFromLittleEndian<qint32>(data.constData() + offset);
}

// Walks the content without ever reading past its end: a length that does not fit reads as 0
// and does not advance, a byte run that does not fit reads as empty and does not advance.
class ContentReader
{
public:
    explicit ContentReader(const QByteArray &content) : m_content(content) {}

    qint32 readLength()
    {
        if (m_content.size() - m_pos < 4)
            return 0;
        const qint32 value = qFromLittleEndian<qint32>(m_content.constData() + m_pos);
        m_pos += 4;
        return value;
    }

    QByteArray readBytes(qint32 count)
    {
        if (count <= 0 || count > m_content.size() - m_pos)
            return QByteArray();
        const QByteArray bytes = m_content.mid(m_pos, count);
        m_pos += count;
        return bytes;
    }

    // With fewer than four bytes left no length can be read: every further entry is empty.
    bool atEnd() const { return m_content.size() - m_pos < 4; }

private:
    const QByteArray &m_content;
    int m_pos = 0;
};

// qUncompress reserves at once the size the first four bytes of its input announce, so a package
// of a few bytes could make it reserve two gigabytes. Deflate expands at most 1032:1: announce no
// more than the body can hold. The result is the same, as qUncompress grows its buffer if needed.
QByteArray uncompressBody(QByteArray body)
{
    constexpr qint64 kMaxDeflateRatio = 1032;
    if (body.size() > 4) {
        const qint64 announced = qFromBigEndian<quint32>(body.constData());
        const qint64 possible = (qint64(body.size()) - 4) * kMaxDeflateRatio;
        if (announced > possible)
            qToBigEndian<quint32>(quint32(possible), body.data());
    }
    return qUncompress(body);
}

} // namespace

namespace EPackage {

Header readHeader(const QByteArray &headerBytes)
{
    Header h;
    h.type = readInt(headerBytes, 8);
    h.storedSize = readInt(headerBytes, 12);
    h.unpackedSize = readInt(headerBytes, 16);
    h.entryCount = readInt(headerBytes, 20);
    return h;
}

bool isSafeEntryName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return false;
    // Drive letters and resource paths are absolute too.
    return !name.contains(QLatin1Char(':')) && !QDir::isAbsolutePath(name);
}

bool unpack(const QString &packagePath, const QString &targetFolder, LoadReport *report)
{
    QFile file(packagePath);
    if (!file.exists() || !file.open(QIODevice::ReadOnly)) {
        LoadReport::note(report, lcPackage, QFileInfo(packagePath).fileName(), 0,
                         file.exists()
                             ? QStringLiteral("package cannot be opened: ") + file.errorString()
                             : QStringLiteral("package not found"));
        return false;
    }
    const Header header = readHeader(file.read(kHeaderSize));
    // A negative or oversized stored size simply reads what the file holds. QIODevice::read()
    // reserves the size it is asked for before reading, so never ask for more than is there.
    const qint64 wanted = qBound<qint64>(0, header.storedSize, file.size() - file.pos());
    const QByteArray body = file.read(wanted);
    file.close();

    // qUncompress yields empty content for a corrupt body; every entry then reads as empty.
    const QByteArray content =
        header.storedSize < header.unpackedSize ? uncompressBody(body) : body;
    bool damageNoted = false;
    if (content.isEmpty() && header.entryCount > 0) {
        LoadReport::note(report, lcPackage, QFileInfo(packagePath).fileName(), 0,
                         QStringLiteral("package is damaged: its content cannot be read"));
        damageNoted = true;
    }

    ContentReader reader(content);
    // Once the content is used up every further entry would read as an empty name and be skipped,
    // so stop there instead of spinning through a hostile entry count of two billion.
    for (qint32 i = 0; i < header.entryCount && !reader.atEnd(); ++i) {
        const QByteArray rawName = reader.readBytes(reader.readLength());
        const int nul = rawName.indexOf('\0');
        const QString name = QString::fromUtf8(nul >= 0 ? rawName.left(nul) : rawName);
        const QByteArray data = reader.readBytes(reader.readLength());
        if (name.isEmpty() && !damageNoted) {
            // A length that does not fit the content: this and every later entry are lost.
            LoadReport::note(
                report, lcPackage, QFileInfo(packagePath).fileName(), 0,
                QStringLiteral("package is damaged: entry %1 cannot be read").arg(i + 1));
            damageNoted = true;
        }
        if (!isSafeEntryName(name)) {
            if (!name.isEmpty()) {
                LoadReport::note(
                    report, lcPackage, QFileInfo(packagePath).fileName(), 0,
                    QStringLiteral("entry \"%1\" skipped: not a plain file name").arg(name));
            }
            continue;
        }
        // Never through a link found in the target: it may have been planted there.
        QString error;
        if (!PrivateFiles::writeFile(targetFolder + QDir::separator() + name, data, &error)) {
            LoadReport::note(report, lcPackage, QFileInfo(packagePath).fileName(), 0,
                             QStringLiteral("entry \"%1\" not unpacked: %2").arg(name, error));
            continue;
        }
    }
    return true;
}

bool unpackFolder(const QString &sourceFolder, const QString &targetFolder, LoadReport *report)
{
    for (const char *name :
         {CoreNames::kConfigsPackage, CoreNames::kImagesPackage, CoreNames::kSoundsPackage}) {
        if (!unpack(sourceFolder + QDir::separator() + QLatin1String(name), targetFolder, report))
            return false;
    }
    return true;
}

} // namespace EPackage
