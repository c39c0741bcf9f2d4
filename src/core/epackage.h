// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QString>

class LoadReport;

// Package archives: a flat set of named files in one binary file, the body optionally compressed
// as a whole. The program only reads them (the demo ships as three packages).
namespace EPackage {

// Header layout; all integers are 32-bit signed little-endian.
constexpr int kHeaderSize = 56;
constexpr int kMagicSize = 8;
constexpr int kLabelSize = 32;
constexpr char kMagic[] = "VERANDIX";
constexpr char kLabel[] = "none";
enum Type { Pictures = 1, ProjectFiles = 2, Sounds = 3 };

struct Header
{
    qint32 type = 0;
    qint32 storedSize = 0;
    qint32 unpackedSize = 0;
    qint32 entryCount = 0;
};

// Unpacks one package into an existing folder. True when the package could be opened and read,
// even if single entries were skipped (unsafe names, files that cannot be written); what was
// skipped is described in the report when one is given.
bool unpack(const QString &packagePath, const QString &targetFolder, LoadReport *report = nullptr);
// "configs.package", then "images.package", then "sounds.package" of the source folder; stops at
// the first package that fails.
bool unpackFolder(const QString &sourceFolder, const QString &targetFolder,
                  LoadReport *report = nullptr);

// Decodes the header; missing bytes read as zero.
Header readHeader(const QByteArray &headerBytes);
// A name is written only if it is a plain file name: never absolute, never "." or "..", never with
// a folder separator, so a package cannot write outside the target folder.
bool isSafeEntryName(const QString &name);

} // namespace EPackage
