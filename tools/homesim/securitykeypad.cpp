// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "securitykeypad.h"

#include "homesimconstants.h"

using namespace HomeSim;

struct SecurityKeypadPrivate
{
    quint32 userCode = 0;
    qint64 armDelayMs = 0;
    qint64 noticeMs = 0;

    int base = Security::Disarmed; // the state the system is in
    qint64 deadline = -1;          // end of the countdown or of the entry delay
    int notice = -1; // a state shown for a moment over the base state ("Wrong pass!", ...)
    qint64 noticeUntil = 0;
    quint32 newCode = 0; // first entry of a code change

    void show(int state, qint64 now)
    {
        notice = state;
        noticeUntil = now + noticeMs;
    }
    void setBase(int state, qint64 deadlineMs = -1)
    {
        base = state;
        deadline = deadlineMs;
    }
    int shown() const { return notice >= 0 ? notice : base; }
};

SecurityKeypad::SecurityKeypad(quint32 userCode, qint64 armDelayMs, qint64 noticeMs)
    : d(new SecurityKeypadPrivate)
{
    d->userCode = userCode;
    d->armDelayMs = armDelayMs;
    d->noticeMs = noticeMs;
}

SecurityKeypad::~SecurityKeypad() = default;

int SecurityKeypad::state() const
{
    return d->shown();
}

quint32 SecurityKeypad::userCode() const
{
    return d->userCode;
}

QString SecurityKeypad::enterCode(quint32 code, qint64 nowMs)
{
    // A new code always replaces a notice still on display.
    d->notice = -1;
    const bool user = code == d->userCode;
    auto wrong = [&] {
        d->show(Security::WrongPass, nowMs);
        return QStringLiteral("wrong code");
    };
    switch (d->base) {
    case Security::Disarmed:
        if (code == 0) {
            d->setBase(Security::EnterOldPass);
            return QStringLiteral("code change: enter the old code");
        }
        if (!user)
            return wrong();
        d->setBase(Security::Countdown, nowMs + d->armDelayMs);
        return QStringLiteral("arming, countdown started");
    case Security::Countdown:
        if (!user)
            return wrong();
        d->setBase(Security::Disarmed);
        return QStringLiteral("arming cancelled");
    case Security::Armed:
    case Security::EnterPass:
    case Security::Alarm:
        if (!user)
            return wrong();
        d->setBase(Security::Disarmed);
        d->show(Security::Disarming, nowMs);
        return QStringLiteral("disarmed");
    case Security::EnterOldPass:
        if (code == 0) {
            d->setBase(Security::Disarmed);
            return QStringLiteral("code change cancelled");
        }
        if (!user) {
            d->setBase(Security::Disarmed);
            return wrong();
        }
        d->setBase(Security::EnterNewPass);
        return QStringLiteral("code change: enter the new code");
    case Security::EnterNewPass:
        d->setBase(code == 0 ? Security::Disarmed : Security::RepeatNewPass);
        d->newCode = code;
        return code == 0 ? QStringLiteral("code change cancelled")
                         : QStringLiteral("code change: repeat the new code");
    case Security::RepeatNewPass:
        d->setBase(Security::Disarmed);
        if (code == 0)
            return QStringLiteral("code change cancelled");
        if (code != d->newCode)
            return wrong();
        d->userCode = code;
        d->show(Security::PassChanged, nowMs);
        return QStringLiteral("code changed");
    default:
        // States set from outside (malfunction, connection lost, ...) accept the user code only
        // as a way back to disarmed.
        if (!user)
            return wrong();
        d->setBase(Security::Disarmed);
        return QStringLiteral("disarmed");
    }
}

QString SecurityKeypad::intrusion(qint64 nowMs)
{
    if (d->base != Security::Armed)
        return QString();
    d->setBase(Security::EnterPass, nowMs + d->armDelayMs);
    return QStringLiteral("intrusion: entry delay started");
}

bool SecurityKeypad::advance(qint64 nowMs)
{
    const int before = d->shown();
    if (d->notice >= 0 && nowMs >= d->noticeUntil)
        d->notice = -1;
    if (d->deadline >= 0 && nowMs >= d->deadline) {
        if (d->base == Security::Countdown)
            d->setBase(Security::Armed);
        else if (d->base == Security::EnterPass)
            d->setBase(Security::Alarm);
        else
            d->deadline = -1;
    }
    return d->shown() != before;
}
