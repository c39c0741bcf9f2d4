// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QString>
#include <QThread>
#include <memory>

class QTcpSocket;

// The transport half of the controller link: a thread object that lives in its own thread and owns
// the one TCP connection to the controller (primary address with a secondary fall-back), the poll
// tick and the forced-reconnect minute timer. It reads and writes blocks of registers with blocking
// request/response exchanges, one at a time, and reports every socket state change. Every slot and
// invoked method runs in the link thread; derived classes override TimerCNT() and the state hook.
class BaseTCPModbus : public QThread
{
    Q_OBJECT
public:
    explicit BaseTCPModbus(QObject *parent = nullptr);
    ~BaseTCPModbus() override;

    // Setters: call directly before start(), or by queued invocation once the thread runs.
    Q_INVOKABLE void SetUpdateTimeout(int updtm);
    Q_INVOKABLE void connectToControler();
    Q_INVOKABLE void startMainTimer();
    Q_INVOKABLE void stopMainTimer();
    Q_INVOKABLE void setIpAdressAndPort(const QString &address, int port);
    Q_INVOKABLE void setIpAdress2(const QString &address);
    Q_INVOKABLE void setReadFunctionMB(int function);
    Q_INVOKABLE void setIsDebugModbus(bool value);
    Q_INVOKABLE void setReconnectOnTime(int minutes);

    // How long a connection attempt and each response may take (5000 ms unless changed). Set it
    // before start(); tests shorten it so that a silent peer does not stall them.
    void setWaitTimeout(int milliseconds);
    int waitTimeout() const;

    // Current settings and state; safe to read from any thread.
    int updateTimeout() const;
    int readFunction() const;
    int activeAddress() const; // 0 none, 1 primary, 2 secondary
    int reconnectPeriod() const;
    bool isDebugModbus() const;
    QString primaryAddress() const;
    QString secondaryAddress() const;
    int port() const;

    // Block access, only from the link thread. The result is the little-endian image of count
    // bytes (count / 2 registers, an odd count rounded up) starting at register address: register
    // address + k is bytes 2k (low) and 2k + 1 (high). Empty when the read failed.
    QByteArray getModbusData(int address, int count);
    // Writes the little-endian image data to the registers from address on. Odd lengths and
    // blocks over 248 bytes are dropped.
    void setModbusData(int address, const QByteArray &data);

signals:
    void controlerStateChanged(QAbstractSocket::SocketState socket_state, int ip);

public slots:
    void slotError(QAbstractSocket::SocketError err);
    void slotChanged(QAbstractSocket::SocketState socket_state);
    virtual void TimerCNT();
    void reconnectTimeout();
    void reconnectToControler();

protected:
    void run() override;
    // Called with every new socket state, before controlerStateChanged is emitted. The base
    // version keeps the forced-reconnect timer running only while connected.
    virtual void socketStateHook(int state);
    // Link thread only.
    bool isSocketConnected() const;

private:
    struct BaseTCPModbusPrivate;
    std::unique_ptr<BaseTCPModbusPrivate> d;
};
