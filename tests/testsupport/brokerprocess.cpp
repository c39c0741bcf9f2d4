// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "brokerprocess.h"

#include "childprocess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QHostAddress>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>

#include <unistd.h>

namespace {

constexpr int kStopTimeoutMs = 5000;
const QString kMarkerTopic = QStringLiteral("verandix-test/watcher-ready");

QString mosquittoProgram()
{
    QString p = QStandardPaths::findExecutable(QStringLiteral("mosquitto"));
    if (p.isEmpty())
        p = QStandardPaths::findExecutable(QStringLiteral("mosquitto"),
                                           {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    return p;
}

int freeLoopbackPort()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return 0;
    return server.serverPort();
}

} // namespace

BrokerProcess::BrokerProcess()
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

BrokerProcess::~BrokerProcess()
{
    stop();
}

bool BrokerProcess::available()
{
    return !mosquittoProgram().isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("mosquitto_pub")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("mosquitto_sub")).isEmpty();
}

bool BrokerProcess::start(const QStringList &extraConfig, int timeoutMs)
{
    m_extra = extraConfig;
    m_port = freeLoopbackPort();
    if (m_port <= 0) {
        m_error = QStringLiteral("no free port");
        return false;
    }
    return restart(timeoutMs);
}

bool BrokerProcess::restart(int timeoutMs)
{
    stop();
    const QString conf = m_dir.filePath(QStringLiteral("mosquitto.conf"));
    QFile file(conf);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_error = QStringLiteral("cannot write the broker configuration");
        return false;
    }
    QByteArray text = "listener " + QByteArray::number(m_port) + " 127.0.0.1\n";
    text += "persistence false\n";
    bool anonymousSet = false;
    for (const QString &line : qAsConst(m_extra)) {
        text += line.toUtf8() + '\n';
        anonymousSet = anonymousSet || line.startsWith(QLatin1String("allow_anonymous"));
    }
    if (!anonymousSet)
        text += "allow_anonymous true\n";
    // Started as root the broker would change to its own user, which cannot read the test's
    // private folders (password file, certificates).
    if (::geteuid() == 0)
        text += "user root\n";
    file.write(text);
    file.close();
    m_process.setProgram(mosquittoProgram());
    m_process.setArguments({QStringLiteral("-c"), conf});
    m_process.start();
    QDeadlineTimer deadline(timeoutMs);
    if (!m_process.waitForStarted(int(deadline.remainingTime()))) {
        m_error = m_process.errorString();
        return false;
    }
    while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, quint16(m_port));
        if (probe.waitForConnected(200))
            return true;
        m_process.waitForFinished(50);
    }
    m_error = QStringLiteral("broker did not listen: ") + QString::fromUtf8(m_process.readAll());
    return false;
}

void BrokerProcess::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(kStopTimeoutMs);
}

void BrokerProcess::stop()
{
    ChildProcess::stop(m_process, kStopTimeoutMs);
}

bool BrokerProcess::isRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

BrokerWatcher::BrokerWatcher()
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
}

BrokerWatcher::~BrokerWatcher()
{
    stop();
}

bool BrokerWatcher::start(int port, const QStringList &topics, const QStringList &extraArgs,
                          int timeoutMs)
{
    QStringList args{QStringLiteral("-h"),  QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                     QString::number(port), QStringLiteral("-F"),        QStringLiteral("%t\t%x")};
    for (const QString &t : topics)
        args << QStringLiteral("-t") << t;
    args << QStringLiteral("-t") << kMarkerTopic;
    args += extraArgs;
    m_process.start(QStringLiteral("mosquitto_sub"), args);
    if (!m_process.waitForStarted(timeoutMs))
        return false;
    // The subscription is made asynchronously: publish markers until one comes back.
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        publishWithClient(port, kMarkerTopic, "1", extraArgs);
        m_process.waitForReadyRead(200);
        if (seen(kMarkerTopic))
            return true;
    }
    return false;
}

void BrokerWatcher::stop()
{
    ChildProcess::stop(m_process, kStopTimeoutMs);
}

void BrokerWatcher::poll()
{
    // Payloads travel as hex ("%x") so that any byte, a newline too, keeps one line per message.
    m_buffer += m_process.readAllStandardOutput();
    int end;
    while ((end = m_buffer.indexOf('\n')) >= 0) {
        const QByteArray line = m_buffer.left(end);
        m_buffer.remove(0, end + 1);
        const int tab = line.indexOf('\t');
        if (tab < 0)
            continue;
        m_messages.append(
            {QString::fromUtf8(line.left(tab)), QByteArray::fromHex(line.mid(tab + 1))});
    }
}

QList<BrokerWatcher::Message> BrokerWatcher::messages()
{
    poll();
    return m_messages;
}

QHash<QString, QByteArray> BrokerWatcher::latest()
{
    poll();
    QHash<QString, QByteArray> out;
    for (const Message &m : qAsConst(m_messages))
        out.insert(m.topic, m.payload);
    return out;
}

bool BrokerWatcher::seen(const QString &topic, const QByteArray &payload)
{
    poll();
    for (const Message &m : qAsConst(m_messages)) {
        if (m.topic == topic && (payload.isNull() || m.payload == payload))
            return true;
    }
    return false;
}

int BrokerWatcher::count(const QString &topic)
{
    poll();
    int n = 0;
    for (const Message &m : qAsConst(m_messages))
        n += m.topic == topic ? 1 : 0;
    return n;
}

bool publishWithClient(int port, const QString &topic, const QByteArray &payload,
                       const QStringList &extraArgs)
{
    QProcess pub;
    QStringList args{QStringLiteral("-h"),  QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                     QString::number(port), QStringLiteral("-t"),        topic};
    // The whole input is one message unless the caller asks for one per line.
    if (!extraArgs.contains(QStringLiteral("-l")))
        args << QStringLiteral("-s");
    args += extraArgs;
    pub.start(QStringLiteral("mosquitto_pub"), args);
    if (!pub.waitForStarted(kStopTimeoutMs))
        return false;
    pub.write(payload);
    pub.closeWriteChannel();
    const bool ok = pub.waitForFinished(kStopTimeoutMs) &&
                    pub.exitStatus() == QProcess::NormalExit && pub.exitCode() == 0;
    if (!ok)
        qWarning("mosquitto_pub: %s", pub.readAllStandardError().constData());
    return ok;
}
