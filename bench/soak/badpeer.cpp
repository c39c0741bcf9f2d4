// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// A misbehaving controller for faults.sh: listens on a loopback port and answers Modbus TCP
// requests late, with garbage or with frames that break the protocol in one way or another.
//
//   badpeer PORT MODE      MODE: late (every answer 6 s late), garbage (random bytes), mixed
//                          (per request in turn: right, late, garbage, wrong function, wrong byte
//                          count, bytes after the answer, foreign transaction id, two answers)
//
// Register n reads as n, so an answer that lands on the wrong request shows as a wrong value.
// Prints "listening on 127.0.0.1:PORT", then one line per request: "read REG COUNT KIND".

#include <QCoreApplication>
#include <QHash>
#include <QHostAddress>
#include <QPointer>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kMbapBytes = 7;
constexpr int kLateMs = 3000;     // within the panel's 5 s answer wait
constexpr int kTooLateMs = 6000;  // beyond it

enum class Kind { Right, Late, Garbage, WrongFunction, WrongCount, Trailing, ForeignId, Twice };
const char *const kKindNames[] = {"right",       "late",     "garbage",    "wrong-function",
                                  "wrong-count", "trailing", "foreign-id", "twice"};
constexpr int kKindCount = 8;

void put16(QByteArray *out, int value)
{
    out->append(char((value >> 8) & 0xFF));
    out->append(char(value & 0xFF));
}

int get16(const QByteArray &in, int at)
{
    return (quint8(in.at(at)) << 8) | quint8(in.at(at + 1));
}

QByteArray rightAnswer(const QByteArray &request)
{
    const int function = quint8(request.at(kMbapBytes));
    const int address = get16(request, kMbapBytes + 1);
    const int quantity = get16(request, kMbapBytes + 3);
    QByteArray pdu;
    pdu.append(char(function));
    if (function == 3 || function == 4) {
        const int count = qBound(0, quantity, 125);
        pdu.append(char(count * 2));
        for (int i = 0; i < count; ++i)
            put16(&pdu, address + i);
    } else if (function == 16 || function == 6) {
        put16(&pdu, address);
        put16(&pdu, quantity);
    } else {
        pdu[0] = char(function | 0x80);
        pdu.append(char(1));
    }
    QByteArray frame = request.left(4);
    put16(&frame, pdu.size() + 1);
    frame.append(request.at(6));
    return frame + pdu;
}

class Peer : public QObject
{
public:
    Peer(int mode) : m_mode(mode) {}
    bool listen(quint16 port)
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                std::printf("client connected\n");
                std::fflush(stdout);
                connect(s, &QTcpSocket::readyRead, this, [this, s] { serve(s); });
                connect(s, &QTcpSocket::disconnected, this, [this, s] { m_buffers.remove(s); });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
        return m_server.listen(QHostAddress::LocalHost, port);
    }
    quint16 port() const { return m_server.serverPort(); }

private:
    void serve(QTcpSocket *s)
    {
        QByteArray &buffer = m_buffers[s];
        buffer += s->readAll();
        while (buffer.size() >= kMbapBytes + 1) {
            const int length = get16(buffer, 4);
            if (length < 2 || length > 253) {
                buffer.clear();
                s->abort();
                return;
            }
            if (buffer.size() < 6 + length)
                return;
            const QByteArray request = buffer.left(6 + length);
            buffer.remove(0, 6 + length);
            if (request.size() < kMbapBytes + 5)
                continue;
            answer(s, request);
        }
    }

    void answer(QTcpSocket *s, const QByteArray &request)
    {
        Kind kind = Kind::Right;
        if (m_mode == 0)
            kind = Kind::Late;
        else if (m_mode == 1)
            kind = Kind::Garbage;
        else
            kind = Kind(m_count % kKindCount);
        ++m_count;
        std::printf("read %d %d %s\n", get16(request, kMbapBytes + 1),
                    get16(request, kMbapBytes + 3), kKindNames[int(kind)]);
        std::fflush(stdout);

        QByteArray frame = rightAnswer(request);
        switch (kind) {
        case Kind::Right:
            break;
        case Kind::Late: {
            QPointer<QTcpSocket> later(s);
            QTimer::singleShot(m_mode == 0 ? kTooLateMs : kLateMs, this, [later, frame] {
                if (later && later->state() == QAbstractSocket::ConnectedState)
                    later->write(frame);
            });
            return;
        }
        case Kind::Garbage: {
            frame.resize(1 + int(QRandomGenerator::global()->bounded(300)));
            for (char &c : frame)
                c = char(QRandomGenerator::global()->bounded(256));
            break;
        }
        case Kind::WrongFunction:
            frame[kMbapBytes] = char(quint8(frame.at(kMbapBytes)) ^ 0x07);
            break;
        case Kind::WrongCount:
            if (frame.size() > kMbapBytes + 1)
                frame[kMbapBytes + 1] = char(quint8(frame.at(kMbapBytes + 1)) + 2);
            break;
        case Kind::Trailing:
            frame += QByteArray(5, '\xA5');
            break;
        case Kind::ForeignId:
            frame[0] = char(0x12);
            frame[1] = char(0x34);
            break;
        case Kind::Twice:
            frame += frame;
            break;
        }
        s->write(frame);
    }

    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    int m_mode = 2;
    qint64 m_count = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QStringList modes{QStringLiteral("late"), QStringLiteral("garbage"),
                            QStringLiteral("mixed")};
    bool ok = false;
    const int port = args.value(1).toInt(&ok);
    const int mode = modes.indexOf(args.value(2));
    if (args.size() != 3 || !ok || port < 0 || port > 0xFFFF || mode < 0) {
        std::fprintf(stderr, "usage: badpeer PORT late|garbage|mixed\n");
        return 2;
    }
    Peer peer(mode);
    if (!peer.listen(quint16(port))) {
        std::fprintf(stderr, "badpeer: cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    std::printf("listening on 127.0.0.1:%d\n", int(peer.port()));
    std::fflush(stdout);
    return app.exec();
}
