// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "adminpindialog.h"

#include <QObject>

#include <functional>

class QGraphicsWidget;

// The optional administration PIN (setting "admin_pin"; empty: no PIN, as before). Whatever
// changes the configuration or ends the program asks for it: administration mode and every
// edit, the program and connection settings screens, saving and renaming scenes, Exit; looking
// at the home stays free. Given once, it holds until the panel is switched back to standard use,
// a configuration is loaded anew, or no one has touched the panel for "admin_relock_minutes"
// (default 5; 0: never).
//
// After three wrong PINs in a row the pad takes no PIN for 30 s, twice as long after each
// further wrong one, up to 15 minutes; the right PIN ends the count. The setting keeps a salted
// hash of the PIN (PinHash); a PIN written there in clear is read once and replaced by its hash,
// which the next save of config.xml writes.
namespace AdminAccess {

// Wrong PINs taken before the pad makes a person wait, and the waits.
constexpr int kFreeAttempts = 3;
constexpr qint64 kFirstWaitMs = 30 * 1000;
constexpr qint64 kLongestWaitMs = 15 * 60 * 1000;

bool hasPin();
bool isUnlocked();
void lock();
// Runs `then` at once when no PIN is set or the panel is unlocked; otherwise asks for the PIN
// on a pad over the part of the window that shows `over` and runs `then` after the right one
// (never after Cancel, nor once `over` is gone).
void request(QGraphicsWidget *over, std::function<void()> then);
// The PIN pad open in the scene of `over`, or null.
AdminPinDialog *openPanel(const QGraphicsWidget *over);

// Checks one entered PIN against the stored hash, counting wrong ones; refused without a look
// while a wait is on. The right PIN unlocks the panel.
AdminPinVerdict check(const QString &entered);
// How long (milliseconds) until the pad takes a PIN again; 0 when it takes one now.
qint64 waitMs();
// Replaces a PIN the settings hold in clear by its salted hash; the next save writes it.
void hashStoredPin();

// A person's press or key anywhere on the panel restarts the idle time (the panel notes them
// itself once a PIN was asked for; this is for input that arrives by other ways). False when
// the input came after the idle time, which has just locked the panel again.
bool noteActivity();
// Locks the panel when it has been left alone for the relock time; checked every few seconds
// while unlocked, and whenever the lock is asked about.
void checkIdle();

// Milliseconds of a steady clock. Tests put in their own to step through waits and idle times;
// null puts back the real one.
using Clock = std::function<qint64()>;
void setClock(Clock clock);

// Tells screens that the idle time locked the panel again, so that a screen that changes the
// configuration closes instead of staying open to whoever comes next.
class Events : public QObject
{
    Q_OBJECT
signals:
    void relocked();
};
Events *events();

} // namespace AdminAccess
