// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bridgekeypadguard.h"

#include "controllermap.h"

namespace Security = ControllerMap::Security;

namespace {

// States in which the system is armed and the user code disarms it: armed, the entry delay after
// an intrusion, and a raised alarm.
bool armedState(int state)
{
    return state == Security::Armed || state == Security::EnterPass || state == Security::Alarm;
}

} // namespace

qint64 BridgeKeypadGuard::lockoutFor(int failures)
{
    if (failures <= kFreeFailures)
        return 0;
    qint64 ms = kFirstLockoutMs;
    for (int i = kFreeFailures + 1; i < failures && ms < kMaxLockoutMs; ++i)
        ms *= 2;
    return qMin(ms, kMaxLockoutMs);
}

bool BridgeKeypadGuard::isSettled() const
{
    return m_state == Security::Disarmed || armedState(m_state);
}

QString BridgeKeypadGuard::admit(Intent intent, qint64 nowMs)
{
    advance(nowMs);
    if (isLocked(nowMs)) {
        const qint64 left = (m_lockedUntil - nowMs + 999) / 1000;
        return QStringLiteral("locked after %1 wrong codes, %2 s left").arg(m_failures).arg(left);
    }
    if (m_awaiting)
        return QStringLiteral("the previous code is still being checked");
    if (m_state < 0)
        return QStringLiteral("security state not read yet");
    if (intent == Intent::Arm && m_state != Security::Disarmed)
        return armedState(m_state) ? QStringLiteral("already armed")
                                   : QStringLiteral("the keypad is busy (state %1)").arg(m_state);
    if (intent == Intent::Disarm && !armedState(m_state))
        return m_state == Security::Disarmed
                   ? QStringLiteral("already disarmed")
                   : QStringLiteral("the keypad is busy (state %1)").arg(m_state);
    m_awaiting = true;
    m_intent = intent;
    m_sentAt = nowMs;
    return QString();
}

BridgeKeypadGuard::Event BridgeKeypadGuard::observe(int state, qint64 nowMs)
{
    m_state = state;
    if (!m_awaiting)
        return Event::None;
    if (state == Security::WrongPass)
        return fail(nowMs);
    const bool done = m_intent == Intent::Arm
                          ? (state == Security::Countdown || state == Security::Arming ||
                             state == Security::Armed)
                          : (state == Security::Disarming || state == Security::Disarmed);
    if (done) {
        m_awaiting = false;
        m_failures = 0;
        m_lockoutMs = 0;
        return Event::Accepted;
    }
    return advance(nowMs);
}

BridgeKeypadGuard::Event BridgeKeypadGuard::advance(qint64 nowMs)
{
    if (m_awaiting && nowMs - m_sentAt >= kOutcomeWaitMs)
        return fail(nowMs);
    return Event::None;
}

BridgeKeypadGuard::Event BridgeKeypadGuard::fail(qint64 nowMs)
{
    m_awaiting = false;
    ++m_failures;
    const qint64 lockout = lockoutFor(m_failures);
    if (lockout <= 0)
        return Event::WrongCode;
    m_lockoutMs = lockout;
    m_lockedUntil = nowMs + lockout;
    return Event::LockedOut;
}
