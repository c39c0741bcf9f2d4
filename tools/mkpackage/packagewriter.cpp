// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "packagewriter.h"

#include "epackage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

namespace {

void appendInt(QByteArray &out, qint32 value)
{
    char bytes[4];
    qToLittleEndian<qint32>(value, bytes);
    out.append(bytes, 4);
}

} // namespace

bool PackageWriter::addFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    addEntry(QFileInfo(path).fileName(), file.readAll());
    return true;
}

QByteArray PackageWriter::content() const
{
    QByteArray out;
    for (const auto &entry : m_entries) {
        const QByteArray name = entry.first.toUtf8();
        appendInt(out, name.size());
        out.append(name);
        appendInt(out, entry.second.size());
        out.append(entry.second);
    }
    return out;
}

QByteArray PackageWriter::toByteArray() const
{
    const QByteArray plain = content();
    QByteArray body;
    if (plain.isEmpty()) {
        // An empty package carries the compressed form of empty content: four zero bytes.
        body = QByteArray(4, '\0');
    } else {
        const QByteArray packed = qCompress(plain, 9);
        body = packed.size() < plain.size() ? packed : plain;
    }

    QByteArray out;
    out.append(EPackage::kMagic, EPackage::kMagicSize);
    appendInt(out, m_type);
    appendInt(out, body.size());
    appendInt(out, plain.size());
    appendInt(out, m_entries.size());
    QByteArray label(EPackage::kLabelSize, '\0');
    label.replace(0, int(sizeof(EPackage::kLabel)) - 1, EPackage::kLabel);
    out.append(label);
    out.append(body);
    return out;
}

bool PackageWriter::write(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(toByteArray());
    return file.commit();
}
