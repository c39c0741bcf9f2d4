// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "esignalwatcher.h"

#include "corelogging.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The write end of the pair, read by the handler: an int is what a handler may touch safely.
volatile sig_atomic_t s_writeFd = -1;

extern "C" void forwardSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // A full pipe only means an earlier request is still pending: dropping this one is fine.
    [[maybe_unused]] const ssize_t n = ::write(s_writeFd, &byte, 1);
    errno = savedErrno;
}

} // namespace

struct ESignalWatcher::Private
{
    int fds[2] = {-1, -1};
    QSocketNotifier *notifier = nullptr;
    struct sigaction previous[std::size(kSignals)] = {};
    bool active = false;
};

ESignalWatcher::ESignalWatcher(QObject *parent) : QObject(parent), d(std::make_unique<Private>())
{
    if (s_writeFd != -1) {
        qCWarning(lcCore) << "A termination signal watcher is already installed";
        return;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, d->fds) != 0) {
        qCWarning(lcCore) << "Cannot watch termination signals:" << strerror(errno);
        return;
    }
    s_writeFd = d->fds[0];
    d->notifier = new QSocketNotifier(d->fds[1], QSocketNotifier::Read, this);
    connect(d->notifier, &QSocketNotifier::activated, this, [this] {
        unsigned char byte = 0;
        while (::read(d->fds[1], &byte, 1) == 1)
            emit terminationRequested(byte);
    });
    struct sigaction action = {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &d->previous[i]);
    d->active = true;
}

ESignalWatcher::~ESignalWatcher()
{
    if (!d->active)
        return;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &d->previous[i], nullptr);
    s_writeFd = -1;
    delete d->notifier;
    ::close(d->fds[0]);
    ::close(d->fds[1]);
}

bool ESignalWatcher::isActive() const
{
    return d->active;
}
