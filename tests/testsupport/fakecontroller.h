// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

// A real, independent Modbus TCP server for tests: libmodbus answering from a register image in a
// thread of its own, several clients at once, with a log of every request it served. Function 3
// and 16 use the holding registers, function 4 the input registers, 65536 of each. Images are
// handled as the link sees them: little-endian bytes, register r + k at bytes 2k and 2k + 1.
class FakeController
{
public:
    struct Request
    {
        int function = 0;
        int address = 0;
        int quantity = 0;
        QByteArray written; // function 16: the values as a little-endian image
    };

    FakeController();
    ~FakeController();
    FakeController(const FakeController &) = delete;
    FakeController &operator=(const FakeController &) = delete;

    // Listens on address:port (port 0 picks a free one). False if the port cannot be had.
    bool start(const QString &address = QStringLiteral("127.0.0.1"), quint16 port = 0);
    // Closes the listening socket and every connection at once, as if the process was killed.
    // The register image and the log survive, so a restart continues where it stopped.
    void stop();
    bool isRunning() const;
    quint16 port() const;
    QString address() const;

    void setBytes(int firstRegister, const QByteArray &image);
    QByteArray bytes(int firstRegister, int byteCount) const;
    void setInputBytes(int firstRegister, const QByteArray &image);
    QByteArray inputBytes(int firstRegister, int byteCount) const;

    QList<Request> requests() const;
    int requestCount() const;
    // Requests of one function code only.
    QList<Request> requests(int function) const;
    void clearRequests();
    // Connections accepted since construction.
    int connectionCount() const;

private:
    struct FakeControllerPrivate;
    std::unique_ptr<FakeControllerPrivate> d;
};
