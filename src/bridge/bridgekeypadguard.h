// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QString>

// Decides when a hub's security code may go to the controller's keypad. The keypad toggles (one
// code arms a disarmed system and disarms an armed one), so a code goes out only from a settled
// state that the command moves the way it asks, and only once the outcome of the previous code
// has been seen. Wrong codes of the hub (the keypad's "wrong code" notice after a code of ours)
// are counted; from the third on, codes are refused for a growing time without reaching the
// controller. Time is given by the caller; the panel's own keypad does not go through here.
class BridgeKeypadGuard
{
public:
    static constexpr int kFreeFailures = 2; // the third wrong code locks
    static constexpr qint64 kFirstLockoutMs = 30 * 1000;
    static constexpr qint64 kMaxLockoutMs = 15 * 60 * 1000;
    // A code whose effect the status never shows within this time counts as a wrong one: the
    // notice may fall between two polls, and guessing must not get faster for that.
    static constexpr qint64 kOutcomeWaitMs = 10 * 1000;

    enum class Intent { Arm, Disarm };
    enum class Event { None, WrongCode, LockedOut, Accepted };

    // Empty when the code may be sent now (it is then awaited); otherwise why not, without the
    // code.
    QString admit(Intent intent, qint64 nowMs);
    // Every security state code the controller reports, notices included, in order. Tells what
    // came of an awaited code.
    Event observe(int state, qint64 nowMs);
    // Runs the outcome wait without a new state (a status that stopped coming).
    Event advance(qint64 nowMs);

    int failures() const { return m_failures; }
    bool isLocked(qint64 nowMs) const { return nowMs < m_lockedUntil; }
    bool isAwaiting() const { return m_awaiting; }
    // Whether the last state is one a code may be sent from (disarmed, or armed in any way).
    bool isSettled() const;
    // Length of the lockout the last failure started (0 before the first one).
    qint64 lockoutMs() const { return m_lockoutMs; }
    qint64 lockedUntil() const { return m_lockedUntil; }
    // The lockout after `failures` wrong codes in a row: none up to kFreeFailures, then 30 s,
    // doubling, at most 15 minutes.
    static qint64 lockoutFor(int failures);

private:
    Event fail(qint64 nowMs);

    int m_state = -1;
    int m_failures = 0;
    qint64 m_lockedUntil = 0;
    qint64 m_lockoutMs = 0;
    bool m_awaiting = false;
    Intent m_intent = Intent::Arm;
    qint64 m_sentAt = 0;
};
