// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QScopedPointer>
#include <QString>

struct SecurityKeypadPrivate;

// The controller's security system behind the panel's keypad: codes arrive as numbers, the state is
// shown as one of the state codes of the "secure" texts. Time is simulation time in milliseconds.
//
// Disarmed --user code--> Countdown --arming delay--> Armed --intrusion--> Enter pass --delay-->
// Alarm Armed, Enter pass, Alarm --user code--> Disarming (shown briefly) --> Disarmed Disarmed
// --0--> Enter old pass --user code--> Enter new pass --N--> Repeat new pass --N--> Pass changed A
// wrong code shows "Wrong pass" briefly; code 0 ("Enter" on an empty display) cancels a change.
class SecurityKeypad
{
public:
    SecurityKeypad(quint32 userCode, qint64 armDelayMs, qint64 noticeMs);
    ~SecurityKeypad();

    int state() const;
    quint32 userCode() const;

    // Each returns a short description for the log.
    QString enterCode(quint32 code, qint64 nowMs);
    QString intrusion(qint64 nowMs);
    // Runs the timers; returns true when the shown state changed.
    bool advance(qint64 nowMs);

private:
    QScopedPointer<SecurityKeypadPrivate> d;
};
