// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "modbusserver.h"

#include "homemodel.h"
#include "homesimlog.h"
#include "scenario.h"
#include "scenarioevent.h"

#include <QElapsedTimer>
#include <QList>
#include <QVector>

#include <modbus.h>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

using namespace HomeSim;

namespace {

// select() cannot watch descriptors beyond FD_SETSIZE; a handful of panels and tools is all a
// simulator needs, so further connections are refused long before that.
constexpr int kMaxClients = 32;
constexpr int kListenBacklog = 16;
constexpr int kMaxControlLine = 4096;

// Function 16 request, after the 7-byte MBAP header: function, address, quantity, byte count.
constexpr int kTcpHeader = 7;
constexpr int kFunctionWriteSingle = 6;
constexpr int kFunctionWriteMultiple = 16;
constexpr int kMbapBytes = 6; // transaction, protocol, length; the length counts from the unit id
constexpr int kByteTimeoutMs = 500; // as long as libmodbus waits between two bytes of a frame
// An over-long write carries at most 255 data bytes (its byte count is one byte); anything longer
// is not Modbus at all.
constexpr int kMaxOversizedFrame = kMbapBytes + 1 + 6 + 255;

struct PendingEvent
{
    qint64 dueMs = 0;
    ScenarioEvent event;
};

} // namespace

struct ModbusServerPrivate
{
    HomeModel *model = nullptr;
    ModbusServer::Options options;
    ModbusServer::Logger logger;
    Scenario *scenario = nullptr;
    modbus_t *ctx = nullptr;
    modbus_mapping_t mapping{};
    int listenFd = -1;
    int boundPort = 0;
    QList<int> clients;
    int controlFd = -1;
    QByteArray controlBuffer;
    QList<PendingEvent> pending;
    QElapsedTimer clock;
    bool stopRequested = false;
    qint64 reopenAtMs = -1; // while disconnected: when to listen again
    qint64 silentUntilMs = -1;
    int droppedRequests = 0;

    void log(const QString &line) const
    {
        if (logger)
            logger(line);
    }
    qint64 now() const { return clock.isValid() ? clock.elapsed() : 0; }

    bool openListener(QString *error)
    {
        auto fail = [&](const QString &why) {
            if (error)
                *error = why;
            if (listenFd >= 0)
                ::close(listenFd);
            listenFd = -1;
            return false;
        };
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(quint16(boundPort ? boundPort : options.port));
        const QByteArray host = options.address.toLatin1();
        if (::inet_pton(AF_INET, host.constData(), &addr.sin_addr) != 1)
            return fail(QStringLiteral("\"%1\" is not an IPv4 address").arg(options.address));
        listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (listenFd < 0)
            return fail(QString::fromLocal8Bit(std::strerror(errno)));
        const int yes = 1;
        ::setsockopt(listenFd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(listenFd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0)
            return fail(QStringLiteral("cannot listen on %1:%2: %3")
                            .arg(options.address)
                            .arg(ntohs(addr.sin_port))
                            .arg(QString::fromLocal8Bit(std::strerror(errno))));
        if (::listen(listenFd, kListenBacklog) != 0)
            return fail(QString::fromLocal8Bit(std::strerror(errno)));
        socklen_t len = sizeof addr;
        if (::getsockname(listenFd, reinterpret_cast<sockaddr *>(&addr), &len) == 0)
            boundPort = ntohs(addr.sin_port);
        return true;
    }

    void closeClient(int fd)
    {
        ::close(fd);
        clients.removeAll(fd);
    }

    void dropEverything()
    {
        for (int fd : qAsConst(clients))
            ::close(fd);
        clients.clear();
        if (listenFd >= 0)
            ::close(listenFd);
        listenFd = -1;
    }

    void accept()
    {
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            return;
        if (clients.size() >= kMaxClients || fd >= FD_SETSIZE) {
            ::close(fd);
            log(QStringLiteral("connection refused: too many clients"));
            return;
        }
        clients.append(fd);
        log(QStringLiteral("client connected (%1 now)").arg(clients.size()));
    }

    // libmodbus drops a connection whose frame is longer than a Modbus TCP frame may be, without a
    // word. The panel writes blocks of up to 124 registers, one more than a write may carry, so
    // such a frame is swallowed and answered with "illegal data value", as an over-long write of
    // legal size is, and the connection stays. Returns true when the frame was handled here.
    bool rejectOversizedFrame(int fd)
    {
        uint8_t head[kTcpHeader + 1];
        const ssize_t n = ::recv(fd, head, sizeof head, MSG_PEEK | MSG_DONTWAIT);
        if (n < ssize_t(sizeof head))
            return false;
        const int length = head[4] << 8 | head[5];
        if (kMbapBytes + length <= MODBUS_TCP_MAX_ADU_LENGTH)
            return false;
        if (kMbapBytes + length > kMaxOversizedFrame) {
            closeClient(fd);
            log(QStringLiteral("client dropped: it sends no Modbus frames"));
            return true;
        }
        // Bounded in time as well, so that a slow sender cannot hold up the other clients.
        QElapsedTimer waited;
        waited.start();
        qint64 remaining = kMbapBytes + length;
        char buffer[512];
        while (remaining > 0 && waited.elapsed() < kByteTimeoutMs) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, int(kByteTimeoutMs - waited.elapsed())) <= 0)
                break;
            const ssize_t r =
                ::recv(fd, buffer, size_t(std::min<qint64>(remaining, sizeof buffer)), 0);
            if (r <= 0)
                break;
            remaining -= r;
        }
        if (remaining > 0) {
            closeClient(fd);
            log(QStringLiteral("client dropped: incomplete over-long frame"));
            return true;
        }
        if (silentUntilMs >= 0) {
            ++droppedRequests;
            return true;
        }
        const uint8_t answer[kTcpHeader + 2] = {head[0],
                                                head[1],
                                                0,
                                                0,
                                                0,
                                                3,
                                                head[6],
                                                uint8_t(head[kTcpHeader] | 0x80),
                                                MODBUS_EXCEPTION_ILLEGAL_DATA_VALUE};
        ::send(fd, answer, sizeof answer, MSG_NOSIGNAL);
        log(QStringLiteral("request refused: %1 bytes, longer than a Modbus frame may be")
                .arg(kMbapBytes + length));
        return true;
    }

    void serve(int fd)
    {
        if (rejectOversizedFrame(fd))
            return;
        uint8_t query[MODBUS_TCP_MAX_ADU_LENGTH];
        modbus_set_socket(ctx, fd);
        const int rc = modbus_receive(ctx, query);
        if (rc == 0)
            return; // a request for another unit: not ours to answer
        if (rc < 0) {
            closeClient(fd);
            log(QStringLiteral("client disconnected (%1 left)").arg(clients.size()));
            return;
        }
        if (silentUntilMs >= 0) {
            ++droppedRequests;
            return;
        }
        model->advanceTo(now());

        // Remember what a write is about to overwrite, so the model can tell what changed. The
        // checks mirror the ones libmodbus makes before it answers with an exception instead.
        int first = -1;
        int count = 0;
        if (rc >= kTcpHeader + 5) {
            const int function = query[kTcpHeader];
            const int address = query[kTcpHeader + 1] << 8 | query[kTcpHeader + 2];
            if (function == kFunctionWriteMultiple && rc >= kTcpHeader + 6) {
                const int quantity = query[kTcpHeader + 3] << 8 | query[kTcpHeader + 4];
                if (quantity >= 1 && quantity <= MODBUS_MAX_WRITE_REGISTERS &&
                    query[kTcpHeader + 5] == quantity * 2) {
                    first = address;
                    count = quantity;
                }
            } else if (function == kFunctionWriteSingle) {
                first = address;
                count = 1;
            }
            if (options.logReads && (function == 3 || function == 4))
                log(QStringLiteral("read %1 %2")
                        .arg(address)
                        .arg(query[kTcpHeader + 3] << 8 | query[kTcpHeader + 4]));
        }
        const int index = first - model->registerOffset();
        QVector<quint16> before;
        if (first >= 0 && index >= 0 && index + count <= model->registerCount())
            before =
                QVector<quint16>(model->registers() + index, model->registers() + index + count);

        if (modbus_reply(ctx, query, rc, &mapping) < 0) {
            closeClient(fd);
            log(QStringLiteral("client dropped: cannot answer"));
            return;
        }
        if (!before.isEmpty())
            model->registersWritten(first, before);
    }

    void handle(const ScenarioEvent &event)
    {
        using Type = ScenarioEvent::Type;
        switch (event.type) {
        case Type::Disconnect:
            dropEverything();
            reopenAtMs = now() + event.value;
            log(QStringLiteral("fault: all connections dropped, refusing new ones for %1 s")
                    .arg(event.value / 1000.0));
            return;
        case Type::Silence:
            silentUntilMs = now() + event.value;
            droppedRequests = 0;
            log(QStringLiteral("fault: not answering for %1 s").arg(event.value / 1000.0));
            return;
        case Type::Quit:
            log(QStringLiteral("quit requested"));
            stopRequested = true;
            return;
        case Type::Repeat:
            log(QStringLiteral("repeat only applies within a scenario file"));
            return;
        default:
            break;
        }
        QString error;
        if (!model->applyEvent(event, &error))
            log(QStringLiteral("event rejected: %1").arg(error));
    }

    void readControl()
    {
        char buffer[1024];
        const ssize_t n = ::read(controlFd, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            return;
        if (n <= 0) {
            // By default the end of input is not a request to stop: a simulator started in the
            // background (no terminal, /dev/null) keeps serving. A harness that asks for it gets
            // the simulator stopped when the harness itself goes away, even by a crash.
            controlFd = -1;
            if (!controlBuffer.isEmpty())
                controlLine(controlBuffer);
            controlBuffer.clear();
            if (options.stopOnControlEnd) {
                log(QStringLiteral("control input closed: stopping"));
                stopRequested = true;
            }
            return;
        }
        controlBuffer.append(buffer, int(n));
        int eol;
        while ((eol = controlBuffer.indexOf('\n')) >= 0) {
            const QByteArray line = controlBuffer.left(eol);
            controlBuffer.remove(0, eol + 1);
            controlLine(line);
        }
        if (controlBuffer.size() > kMaxControlLine) {
            log(QStringLiteral("control: line too long, discarded"));
            controlBuffer.clear();
        }
    }

    void controlLine(const QByteArray &line)
    {
        ScenarioEvent event;
        QString error;
        if (!ScenarioEvent::parse(QString::fromUtf8(line), &event, &error)) {
            log(QStringLiteral("control: %1").arg(error));
            return;
        }
        if (event.type == ScenarioEvent::Type::None)
            return;
        if (event.timing == ScenarioEvent::Timing::Immediate) {
            handle(event);
        } else {
            // On the control channel a time is a delay from now.
            pending.append({now() + event.timeMs, event});
        }
    }

    void runDue()
    {
        const qint64 t = now();
        if (scenario) {
            const QList<ScenarioEvent> due = scenario->takeDue(t);
            for (const ScenarioEvent &e : due) {
                log(QStringLiteral("scenario: %1").arg(e.describe()));
                handle(e);
            }
        }
        for (int i = 0; i < pending.size();) {
            if (pending.at(i).dueMs <= t) {
                const ScenarioEvent e = pending.takeAt(i).event;
                handle(e);
            } else {
                ++i;
            }
        }
        if (silentUntilMs >= 0 && t >= silentUntilMs) {
            silentUntilMs = -1;
            log(QStringLiteral("fault over: answering again (%1 requests went unanswered)")
                    .arg(droppedRequests));
        }
        if (reopenAtMs >= 0 && t >= reopenAtMs) {
            QString error;
            if (openListener(&error)) {
                reopenAtMs = -1;
                log(QStringLiteral("fault over: accepting connections again"));
            } else {
                reopenAtMs = t + options.tickMs; // the port may still be held; try again
                qCWarning(lcHomeSim) << "cannot listen again:" << error;
            }
        }
    }
};

ModbusServer::ModbusServer(HomeModel *model, const Options &options) : d(new ModbusServerPrivate)
{
    Q_ASSERT(model);
    d->model = model;
    d->options = options;
    d->options.tickMs = std::clamp(options.tickMs, 1, 1000);
    d->controlFd = options.controlFd;
    // The context only frames requests and answers; the sockets are ours.
    d->ctx = modbus_new_tcp("127.0.0.1", 0);
    // Functions 3 and 4 read the same image: both tables are the model's registers.
    d->mapping.start_registers = model->registerOffset();
    d->mapping.nb_registers = model->registerCount();
    d->mapping.tab_registers = model->registers();
    d->mapping.start_input_registers = model->registerOffset();
    d->mapping.nb_input_registers = model->registerCount();
    d->mapping.tab_input_registers = model->registers();
}

ModbusServer::~ModbusServer()
{
    d->dropEverything();
    if (d->ctx) {
        modbus_set_socket(d->ctx, -1);
        modbus_free(d->ctx);
    }
}

void ModbusServer::setLogger(Logger logger)
{
    d->logger = std::move(logger);
}

void ModbusServer::setScenario(Scenario *scenario)
{
    d->scenario = scenario;
}

bool ModbusServer::listen(QString *error)
{
    if (!d->ctx) {
        if (error)
            *error = QStringLiteral("cannot create a Modbus context");
        return false;
    }
    return d->openListener(error);
}

int ModbusServer::port() const
{
    return d->boundPort;
}

void ModbusServer::stop()
{
    d->stopRequested = true;
}

int ModbusServer::run(int wakeFd)
{
    if (!d->ctx || (d->listenFd < 0 && d->reopenAtMs < 0))
        return 1;
    d->clock.start();
    qint64 nextTick = 0;
    while (!d->stopRequested) {
        const qint64 t = d->now();
        if (t >= nextTick) {
            d->model->advanceTo(t);
            nextTick = t + d->options.tickMs;
        }
        d->runDue();
        if (d->stopRequested)
            break;

        fd_set readable;
        FD_ZERO(&readable);
        int maxFd = -1;
        auto watch = [&](int fd) {
            if (fd < 0 || fd >= FD_SETSIZE)
                return;
            FD_SET(fd, &readable);
            maxFd = std::max(maxFd, fd);
        };
        watch(d->listenFd);
        watch(d->controlFd);
        watch(wakeFd);
        for (int fd : qAsConst(d->clients))
            watch(fd);

        qint64 waitMs = std::max<qint64>(0, nextTick - d->now());
        if (d->scenario) {
            const qint64 next = d->scenario->msUntilNext(d->now());
            if (next >= 0)
                waitMs = std::min(waitMs, next);
        }
        timeval tv{};
        tv.tv_sec = long(waitMs / 1000);
        tv.tv_usec = long(waitMs % 1000) * 1000;
        const int ready = ::select(maxFd + 1, &readable, nullptr, nullptr, &tv);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            qCWarning(lcHomeSim) << "select failed:" << std::strerror(errno);
            return 1;
        }
        if (ready == 0)
            continue;
        if (wakeFd >= 0 && FD_ISSET(wakeFd, &readable))
            break;
        if (d->controlFd >= 0 && FD_ISSET(d->controlFd, &readable))
            d->readControl();
        if (d->listenFd >= 0 && FD_ISSET(d->listenFd, &readable))
            d->accept();
        // Serving may close clients, so walk a copy.
        const QList<int> clients = d->clients;
        for (int fd : clients) {
            if (FD_ISSET(fd, &readable) && d->clients.contains(fd))
                d->serve(fd);
        }
    }
    d->log(QStringLiteral("stopped"));
    return 0;
}
