// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "childprocess.h"

#include <QProcess>

namespace ChildProcess {

void stop(QProcess &process, int timeoutMs)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(timeoutMs);
    }
}

QStringList mjpegServerArguments(const QStringList &input, quint16 port)
{
    return QStringList{"-hide_banner", "-loglevel", "error"} + input +
           QStringList{"-f",
                       "mpjpeg",
                       "-boundary_tag",
                       "frame",
                       "-content_type",
                       "multipart/x-mixed-replace;boundary=frame",
                       "-listen",
                       "1",
                       QStringLiteral("http://127.0.0.1:%1/s.mjpg").arg(port)};
}

} // namespace ChildProcess
