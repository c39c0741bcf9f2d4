// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The XML node tree under any bytes: parsing must never crash, and whatever parses must survive
// being written and read back unchanged, since every settings and project save goes that way.
#include "fuzzsupport.h"
#include "xmldocument.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = FuzzSupport::bytes(data, size);
    XmlDocument document;
    if (!document.parse(input) || !document.root())
        return 0;

    const QByteArray written = XmlDocument::toByteArray(document.root());
    XmlDocument reread;
    if (!reread.parse(written))
        FuzzSupport::fail("a parsed tree was written as text that does not parse");
    if (!FuzzSupport::sameTree(document.root(), reread.root()))
        FuzzSupport::fail("a parsed tree changed when written and read back");
    return 0;
}
