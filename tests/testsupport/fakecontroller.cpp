// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "fakecontroller.h"

#include <mutex>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <modbus.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
constexpr int kRegisterCount = 0x10000;

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}
} // namespace

struct FakeController::FakeControllerPrivate
{
    mutable std::mutex mutex; // guards mapping, log and counters
    modbus_mapping_t *mapping = nullptr;
    QList<Request> log;
    int connections = 0;

    modbus_t *ctx = nullptr;
    int server = -1;
    int wake[2] = {-1, -1};
    std::thread thread;
    QString address;
    quint16 port = 0;

    void serve();
    void record(const uint8_t *query, int headerLength);
};

void FakeController::FakeControllerPrivate::record(const uint8_t *query, int headerLength)
{
    Request request;
    const uint8_t *pdu = query + headerLength;
    request.function = pdu[0];
    request.address = (pdu[1] << 8) | pdu[2];
    request.quantity = (pdu[3] << 8) | pdu[4];
    if (request.function == MODBUS_FC_WRITE_MULTIPLE_REGISTERS) {
        const int byteCount = pdu[5];
        for (int i = 0; i + 1 < byteCount; i += 2) {
            request.written.append(char(pdu[6 + i + 1]));
            request.written.append(char(pdu[6 + i]));
        }
    }
    log.append(request);
}

void FakeController::FakeControllerPrivate::serve()
{
    std::vector<int> clients;
    uint8_t query[MODBUS_TCP_MAX_ADU_LENGTH];
    const int headerLength = modbus_get_header_length(ctx);
    for (;;) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(wake[0], &readable);
        FD_SET(server, &readable);
        int top = qMax(wake[0], server);
        for (int fd : clients) {
            FD_SET(fd, &readable);
            top = qMax(top, fd);
        }
        if (::select(top + 1, &readable, nullptr, nullptr, nullptr) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (FD_ISSET(wake[0], &readable))
            break;
        if (FD_ISSET(server, &readable)) {
            const int fd = ::accept(server, nullptr, nullptr);
            if (fd >= 0 && fd < FD_SETSIZE) {
                clients.push_back(fd);
                std::lock_guard<std::mutex> lock(mutex);
                ++connections;
            } else if (fd >= 0) {
                ::close(fd);
            }
        }
        for (auto it = clients.begin(); it != clients.end();) {
            int fd = *it;
            if (!FD_ISSET(fd, &readable)) {
                ++it;
                continue;
            }
            modbus_set_socket(ctx, fd);
            const int rc = modbus_receive(ctx, query);
            if (rc > 0) {
                std::lock_guard<std::mutex> lock(mutex);
                record(query, headerLength);
                modbus_reply(ctx, query, rc, mapping);
                ++it;
            } else if (rc == 0) {
                ++it;
            } else {
                // Closed by the client, or a frame libmodbus refuses to read (e.g. a write of
                // more than 123 registers does not fit its buffer): drop the connection.
                closeFd(fd);
                it = clients.erase(it);
            }
        }
    }
    for (int fd : clients)
        ::close(fd);
}

FakeController::FakeController() : d(std::make_unique<FakeControllerPrivate>())
{
    d->mapping = modbus_mapping_new(0, 0, kRegisterCount, kRegisterCount);
}

FakeController::~FakeController()
{
    stop();
    modbus_mapping_free(d->mapping);
}

bool FakeController::start(const QString &address, quint16 port)
{
    if (isRunning() || !d->mapping)
        return false;
    const QByteArray host = address.toLatin1();
    d->ctx = modbus_new_tcp(host.constData(), port);
    if (!d->ctx)
        return false;
    d->server = modbus_tcp_listen(d->ctx, 16);
    if (d->server < 0 || ::pipe(d->wake) != 0) {
        closeFd(d->server);
        modbus_free(d->ctx);
        d->ctx = nullptr;
        return false;
    }
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    ::getsockname(d->server, reinterpret_cast<sockaddr *>(&bound), &length);
    d->port = ntohs(bound.sin_port);
    d->address = address;
    d->thread = std::thread([this] { d->serve(); });
    return true;
}

void FakeController::stop()
{
    if (!d->thread.joinable())
        return;
    const char byte = 1;
    while (::write(d->wake[1], &byte, 1) < 0 && errno == EINTR) {
    }
    d->thread.join();
    closeFd(d->server);
    closeFd(d->wake[0]);
    closeFd(d->wake[1]);
    modbus_set_socket(d->ctx, -1);
    modbus_free(d->ctx);
    d->ctx = nullptr;
}

bool FakeController::isRunning() const
{
    return d->thread.joinable();
}

quint16 FakeController::port() const
{
    return d->port;
}

QString FakeController::address() const
{
    return d->address;
}

namespace {
void storeImage(uint16_t *table, int firstRegister, const QByteArray &image)
{
    for (int k = 0; 2 * k < image.size(); ++k) {
        const int reg = firstRegister + k;
        if (reg < 0 || reg >= kRegisterCount)
            continue;
        const quint8 low = quint8(image.at(2 * k));
        const quint8 high = 2 * k + 1 < image.size() ? quint8(image.at(2 * k + 1)) : 0;
        table[reg] = uint16_t((high << 8) | low);
    }
}

QByteArray loadImage(const uint16_t *table, int firstRegister, int byteCount)
{
    QByteArray image;
    for (int k = 0; 2 * k < byteCount; ++k) {
        const int reg = firstRegister + k;
        const uint16_t value = reg >= 0 && reg < kRegisterCount ? table[reg] : 0;
        image.append(char(value & 0xFF));
        image.append(char(value >> 8));
    }
    image.truncate(byteCount);
    return image;
}
} // namespace

void FakeController::setBytes(int firstRegister, const QByteArray &image)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    storeImage(d->mapping->tab_registers, firstRegister, image);
}

QByteArray FakeController::bytes(int firstRegister, int byteCount) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return loadImage(d->mapping->tab_registers, firstRegister, byteCount);
}

void FakeController::setInputBytes(int firstRegister, const QByteArray &image)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    storeImage(d->mapping->tab_input_registers, firstRegister, image);
}

QByteArray FakeController::inputBytes(int firstRegister, int byteCount) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return loadImage(d->mapping->tab_input_registers, firstRegister, byteCount);
}

QList<FakeController::Request> FakeController::requests() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->log;
}

int FakeController::requestCount() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->log.size();
}

QList<FakeController::Request> FakeController::requests(int function) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    QList<Request> out;
    for (const Request &request : d->log) {
        if (request.function == function)
            out.append(request);
    }
    return out;
}

void FakeController::clearRequests()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->log.clear();
}

int FakeController::connectionCount() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->connections;
}
