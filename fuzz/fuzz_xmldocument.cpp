// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The XML node tree under any bytes: parsing must never crash, and whatever parses must survive
// being written and read back unchanged, since every settings and project save goes that way.
// Plain files are read by a reader of their own: whatever it takes must read the same through the
// general reader, down to the order of attributes and the line of every element.
#include "fuzzsupport.h"
#include "xmldocument.h"
#include "xmlplainreader.h"

namespace {

bool identical(const XML::NodeElementPtr &a, const XML::NodeElementPtr &b)
{
    if (!a || !b)
        return !a && !b;
    if (a->tagName() != b->tagName() || a->lineNumber() != b->lineNumber() ||
        a->comments() != b->comments() || a->attributes().size() != b->attributes().size() ||
        a->children().size() != b->children().size())
        return false;
    for (int i = 0; i < a->attributes().size(); ++i) {
        const auto &x = a->attributes().at(i);
        const auto &y = b->attributes().at(i);
        if (x.first != y.first || x.second.toString() != y.second.toString())
            return false;
    }
    for (int i = 0; i < a->children().size(); ++i) {
        if (!identical(a->children().at(i), b->children().at(i)))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = FuzzSupport::bytes(data, size);
    if (const XML::NodeElementPtr plain = XML::readPlainXml(input)) {
        XmlDocument general;
        general.setPlainReader(false);
        if (!general.parse(input))
            FuzzSupport::fail("the plain reader took a text the general reader refuses");
        if (!identical(plain, general.root()))
            FuzzSupport::fail("the plain reader and the general reader built different trees");
    }
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
