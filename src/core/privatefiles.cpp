// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "privatefiles.h"

#include "corelogging.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The umask cannot be read without setting it; /proc tells it without that race between threads.
mode_t currentUmask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> lines = status.readAll().split('\n');
        for (const QByteArray &line : lines) {
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    return mode_t(mask & 0777);
            }
        }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

} // namespace

namespace PrivateFiles {

bool isPrivateFolder(const QString &path)
{
    struct stat st;
    const QByteArray native = QFile::encodeName(path);
    if (native.isEmpty() || ::lstat(native.constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

QString makeFolder(const QString &prefix, const QString &base)
{
    QString parent = base;
    if (parent.isEmpty()) {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        parent = !runtime.isEmpty() && isPrivateFolder(runtime) ? runtime : QDir::tempPath();
    }
    QByteArray pattern = QFile::encodeName(parent + QLatin1Char('/') + prefix) + "-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        qCWarning(lcCore, "no private folder in %s: %s", qPrintable(parent), std::strerror(errno));
        return QString();
    }
    const QString folder = QFile::decodeName(pattern);
    // mkdtemp makes it 0700 for this user; checked all the same before anything goes in.
    if (!isPrivateFolder(folder)) {
        qCWarning(lcCore, "%s is not a private folder", qPrintable(folder));
        return QString();
    }
    return folder;
}

bool writeFile(const QString &path, const QByteArray &data, QString *error)
{
    const auto fail = [error](int code) {
        if (error) {
            *error = code == ELOOP ? QStringLiteral("a symbolic link is in its place (not followed)")
                                   : QString::fromLocal8Bit(std::strerror(code));
        }
        return false;
    };
    const QByteArray native = QFile::encodeName(path);
    // O_NOFOLLOW: a link in the last part of the path fails with ELOOP instead of being
    // written through; O_NONBLOCK: a planted pipe fails instead of hanging the program. 0666
    // lets the umask decide who may read the file.
    const int fd = ::open(native.constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC |
                              O_NOCTTY,
                          0666);
    if (fd < 0)
        return fail(errno);
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(EINVAL);
    }
    qint64 written = 0;
    while (written < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + written, size_t(data.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int code = errno;
            ::close(fd);
            return fail(code ? code : EIO);
        }
        written += n;
    }
    if (::close(fd) != 0)
        return fail(errno);
    return true;
}

QFileDevice::Permissions umaskedPermissions()
{
    const mode_t mode = 0666 & ~currentUmask();
    QFileDevice::Permissions permissions;
    // QFile's owner bits are the user bits for the file's owner, who is the one writing it.
    if (mode & S_IRUSR)
        permissions |= QFileDevice::ReadOwner | QFileDevice::ReadUser;
    if (mode & S_IWUSR)
        permissions |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
    if (mode & S_IRGRP)
        permissions |= QFileDevice::ReadGroup;
    if (mode & S_IWGRP)
        permissions |= QFileDevice::WriteGroup;
    if (mode & S_IROTH)
        permissions |= QFileDevice::ReadOther;
    if (mode & S_IWOTH)
        permissions |= QFileDevice::WriteOther;
    return permissions;
}

} // namespace PrivateFiles
