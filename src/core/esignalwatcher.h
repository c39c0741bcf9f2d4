// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QObject>
#include <memory>

// Turns the termination signals a desktop logout, a shutdown or a service manager send (SIGTERM,
// SIGINT, SIGHUP) into a Qt signal delivered in the event loop, so the program can end the same
// orderly way as from its exit page. The handler itself only writes one byte into a socket pair;
// everything else runs in the thread that owns the watcher.
class ESignalWatcher : public QObject
{
    Q_OBJECT
public:
    // Installs the handlers; only one watcher may exist at a time (a second one installs none and
    // reports isActive() false).
    explicit ESignalWatcher(QObject *parent = nullptr);
    ~ESignalWatcher() override;

    bool isActive() const;

signals:
    // The signal number that arrived (SIGTERM, SIGINT or SIGHUP).
    void terminationRequested(int signalNumber);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
