// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "xmlnode.h"

#include <QByteArray>

namespace XML {

// A reader for the plain XML that every file of ours is: UTF-8, elements, attributes, comments,
// character data and the predefined and numeric references, no document type. A large project
// spends most of its start-up in the general reader, which decodes to UTF-16 first and checks far
// more than these files use; this one walks the bytes once.
//
// It builds exactly the tree the general reader builds (names, attributes in order, comments, the
// line each element's start tag ends on) or nothing at all: anything it does not handle or that is
// not well formed gives a null pointer, and the caller reads the text again with the general
// reader, which also words the error.
NodeElementPtr readPlainXml(const QByteArray &data);

} // namespace XML
