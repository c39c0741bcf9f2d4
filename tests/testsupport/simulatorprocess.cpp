// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "simulatorprocess.h"

#include "childprocess.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

#include <algorithm>

namespace {
constexpr int kStopTimeoutMs = 5000;
const QLatin1String kListeningPrefix("listening on ");
} // namespace

SimulatorProcess::SimulatorProcess(const QString &program)
{
    m_process.setProgram(program);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
}

SimulatorProcess::~SimulatorProcess()
{
    stop();
}

bool SimulatorProcess::start(const QStringList &arguments, int timeoutMs)
{
    stop();
    m_output.clear();
    m_error.clear();
    m_port = 0;
    // Loopback only, on a port the simulator picks, so parallel tests never collide.
    QStringList args{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                     QStringLiteral("--stop-on-eof")};
    args += arguments;
    m_process.setArguments(args);
    m_process.start();
    QDeadlineTimer deadline(timeoutMs);
    if (!m_process.waitForStarted(int(deadline.remainingTime()))) {
        m_error = QStringLiteral("simulator did not start: ") + m_process.errorString();
        return false;
    }
    while (!deadline.hasExpired()) {
        while (m_process.canReadLine()) {
            const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
            m_output.append(line);
            if (line.startsWith(kListeningPrefix)) {
                m_port = line.section(QLatin1Char(':'), -1).toInt();
                if (m_port > 0)
                    return true;
            }
        }
        if (m_process.state() == QProcess::NotRunning ||
            !m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            break;
    }
    m_error = QStringLiteral("simulator did not report its port: ") +
              QString::fromUtf8(m_process.readAllStandardError()).trimmed();
    stop();
    return false;
}

void SimulatorProcess::stop()
{
    ChildProcess::stop(m_process, kStopTimeoutMs);
}

bool SimulatorProcess::isRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

int SimulatorProcess::port() const
{
    return m_port;
}

QString SimulatorProcess::errorString() const
{
    return m_error;
}

void SimulatorProcess::send(const QByteArray &line)
{
    m_process.write(line + '\n');
    m_process.waitForBytesWritten(1000);
}

QStringList SimulatorProcess::output()
{
    m_output += QString::fromUtf8(m_process.readAllStandardOutput())
                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return m_output;
}

bool SimulatorProcess::logged(const QString &pattern)
{
    const QRegularExpression re(pattern);
    const QStringList lines = output();
    return std::any_of(lines.cbegin(), lines.cend(),
                       [&](const QString &line) { return re.match(line).hasMatch(); });
}

QProcess &SimulatorProcess::process()
{
    return m_process;
}
