// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// Package archives under any bytes: unpacking must never crash, never write outside the target
// folder and never write an entry whose name is not a plain file name.
#include "epackage.h"
#include "fuzzsupport.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString g_target;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialize(argc, argv);
    g_target = FuzzSupport::scratchFolder() + QStringLiteral("/target/inside");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = FuzzSupport::bytes(data, size);
    EPackage::readHeader(input.left(EPackage::kHeaderSize));

    const QString package = FuzzSupport::writeScratchFile(QStringLiteral("in.package"), input);
    QDir(g_target).removeRecursively();
    QDir().mkpath(g_target);
    if (!EPackage::unpack(package, g_target))
        FuzzSupport::fail("a package file that exists could not be unpacked");

    // The target's parent holds nothing but the target: no entry escaped upwards.
    const QDir parent(QFileInfo(g_target).absolutePath());
    if (parent.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System) !=
        QStringList{QStringLiteral("inside")})
        FuzzSupport::fail("unpacking wrote beside the target folder");
    const QDir target(g_target);
    for (const QFileInfo &entry :
         target.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
        if (!entry.isFile() || !EPackage::isSafeEntryName(entry.fileName()))
            FuzzSupport::fail("unpacking created something that is not a plainly named file");
    }
    return 0;
}
