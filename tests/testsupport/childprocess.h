// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QStringList>

class QProcess;

// Helpers for the outside programs tests and benchmarks start: brokers, the simulator, ffmpeg.
namespace ChildProcess {

// Asks the process to end (SIGTERM) and waits; kills it when it has not ended in time.
void stop(QProcess &process, int timeoutMs = 5000);

// ffmpeg's arguments to serve `input` (its input and codec options) as an MJPEG stream framed the
// way network cameras frame it (multipart/x-mixed-replace, boundary "frame"), over HTTP at
// http://127.0.0.1:<port>/s.mjpg, to one client.
QStringList mjpegServerArguments(const QStringList &input, quint16 port);

} // namespace ChildProcess
