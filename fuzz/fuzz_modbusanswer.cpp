// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The controller link's answer handling under any bytes the controller may send back. A fake
// controller on a loopback socket answers each request with the fuzzer's bytes and closes the
// connection; the real link, running in its own thread, sends a block read or write and must
// never crash, never read past the answer, and return either nothing or exactly the block asked
// for.
//
// Input: byte 0 flags (bit 0: answer with the request's transaction id, bit 1: a write instead of
// a read, bit 2: read with function 4 instead of 3), byte 1 the block length in bytes, bytes 2-3
// the register address, then the answer.
#include "basetcpmodbus.h"
#include "fuzzsupport.h"

#include <QThread>

#include <arpa/inet.h>
#include <atomic>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// Accepts one connection at a time, reads one request frame, sends the current answer, closes.
class FakeController
{
public:
    bool listen()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        if (m_listener < 0)
            return false;
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        socklen_t length = sizeof(address);
        if (::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0 ||
            ::listen(m_listener, 16) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            return false;
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
        return true;
    }

    int port() const { return m_port; }

    void setAnswer(const QByteArray &answer, bool copyTransactionId)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_answer = answer;
        m_copyTransactionId = copyTransactionId;
    }

private:
    static bool readFully(int fd, char *buffer, int size)
    {
        int got = 0;
        while (got < size) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 200) <= 0)
                return false;
            const ssize_t n = ::read(fd, buffer + got, size_t(size - got));
            if (n <= 0)
                return false;
            got += int(n);
        }
        return true;
    }

    void serve()
    {
        for (;;) {
            const int fd = ::accept(m_listener, nullptr, nullptr);
            if (fd < 0)
                continue;
            char header[7];
            if (readFully(fd, header, 7)) {
                const int length = (quint8(header[4]) << 8) | quint8(header[5]);
                QByteArray rest(qMax(0, length - 1), '\0');
                if (readFully(fd, rest.data(), rest.size())) {
                    QByteArray answer;
                    {
                        std::lock_guard<std::mutex> lock(m_mutex);
                        answer = m_answer;
                        if (m_copyTransactionId && answer.size() >= 2) {
                            answer[0] = header[0];
                            answer[1] = header[1];
                        }
                    }
                    ssize_t sent = 0;
                    while (sent < answer.size()) {
                        const ssize_t n = ::send(fd, answer.constData() + sent,
                                                 size_t(answer.size() - sent), MSG_NOSIGNAL);
                        if (n <= 0)
                            break;
                        sent += n;
                    }
                }
            }
            ::close(fd);
        }
    }

    int m_listener = -1;
    int m_port = 0;
    std::thread m_thread;
    std::mutex m_mutex;
    QByteArray m_answer;
    bool m_copyTransactionId = true;
};

// Gives the harness the link's own thread for each exchange.
class ProbeLink : public BaseTCPModbus
{
public:
    void exchange(int readFunction, bool write, int address, int length, QByteArray *result)
    {
        setReadFunctionMB(readFunction);
        if (!isSocketConnected())
            connectToControler();
        if (write)
            setModbusData(address, QByteArray(length, '\x5a'));
        else
            *result = getModbusData(address, length);
    }
};

FakeController *g_controller = nullptr;
ProbeLink *g_link = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialize(argc, argv);
    // Both live until the process ends: the server thread never returns.
    g_controller = new FakeController;
    if (!g_controller->listen())
        FuzzSupport::fail("the fake controller cannot listen on loopback");
    g_link = new ProbeLink;
    g_link->setIpAdressAndPort(QStringLiteral("127.0.0.1"), g_controller->port());
    g_link->setWaitTimeout(500);
    g_link->start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    const bool copyId = data[0] & 1;
    const bool write = data[0] & 2;
    const int length = data[1];
    const int address = (data[2] << 8) | data[3];
    const int readFunction = (data[0] & 4) ? 4 : 3;
    g_controller->setAnswer(FuzzSupport::bytes(data + 4, size - 4), copyId);
    QByteArray result;
    QMetaObject::invokeMethod(
        g_link, [&] { g_link->exchange(readFunction, write, address, length, &result); },
        Qt::BlockingQueuedConnection);
    const int expected = length + (length % 2);
    if (!result.isEmpty() && result.size() != expected)
        FuzzSupport::fail("a block read returned a block of the wrong length");
    return 0;
}
