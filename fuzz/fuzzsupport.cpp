// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "fuzzsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> g_scratch;

void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    // A fatal message is an assertion reached by input: print it and let the run stop there so
    // that libFuzzer keeps the input.
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "fatal: %s\n", qPrintable(message));
        std::abort();
    }
}

} // namespace

namespace FuzzSupport {

void initialize(int *argc, char ***argv)
{
    qInstallMessageHandler(quietHandler);
    if (!QCoreApplication::instance()) {
        // Lives until exit: the parsers may look up the application's folders.
        static int appArgc = 1;
        static char *appArgv[] = {argc && *argc > 0 ? (*argv)[0] : const_cast<char *>("fuzz"),
                                  nullptr};
        new QCoreApplication(appArgc, appArgv);
    }
}

QString scratchFolder()
{
    if (!g_scratch) {
        const QString shm = QStringLiteral("/dev/shm");
        const QString base = QDir(shm).exists() ? shm : QDir::tempPath();
        g_scratch = std::make_unique<QTemporaryDir>(base + QStringLiteral("/verandix-fuzz-XXXXXX"));
    }
    return g_scratch->path();
}

QString writeScratchFile(const QString &name, const QByteArray &bytes)
{
    const QString path = scratchFolder() + QDir::separator() + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(bytes);
        file.close();
    }
    return path;
}

bool sameTree(const XML::NodeElementPtr &a, const XML::NodeElementPtr &b)
{
    if (!a || !b)
        return !a && !b;
    if (a->tagName() != b->tagName() || a->comments() != b->comments())
        return false;
    const QStringList names = a->attributes().keys();
    if (names.size() != b->attributes().keys().size())
        return false;
    for (const QString &name : names) {
        if (!b->hasAttribute(name) ||
            a->attribute(name).toString() != b->attribute(name).toString())
            return false;
    }
    const auto &childrenA = a->children();
    const auto &childrenB = b->children();
    if (childrenA.size() != childrenB.size())
        return false;
    for (int i = 0; i < childrenA.size(); ++i) {
        if (!sameTree(childrenA.at(i), childrenB.at(i)))
            return false;
    }
    return true;
}

void fail(const char *what)
{
    std::fprintf(stderr, "expectation broken: %s\n", what);
    std::abort();
}

} // namespace FuzzSupport
