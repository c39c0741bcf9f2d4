// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "xmlnode.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// Shared set-up of the fuzzing harnesses: an application object for the code that needs one,
// quiet logging (warnings about bad input are expected by the million and only slow the run
// down), and a scratch folder for parsers that read from or write to files.
namespace FuzzSupport {

// Call once from LLVMFuzzerInitialize.
void initialize(int *argc, char ***argv);

// A folder of this process, on a memory file system where there is one; removed at exit.
QString scratchFolder();

// Writes the bytes to scratchFolder()/name and returns the path.
QString writeScratchFile(const QString &name, const QByteArray &bytes);

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<int>(size));
}

// Same tag names, attributes (as text), comments and children (in order).
bool sameTree(const XML::NodeElementPtr &a, const XML::NodeElementPtr &b);

// Reports a broken expectation about a parser's result and stops the run so that libFuzzer
// keeps the input.
[[noreturn]] void fail(const char *what);

} // namespace FuzzSupport
