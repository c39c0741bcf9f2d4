// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <functional>

class AdminPinDialog;
class QGraphicsWidget;

// The optional administration PIN (setting "admin_pin"; empty: no PIN, as before). Switching to
// administration mode and starting an edit ask for it once; the panel then stays unlocked until
// it is switched back to standard use or the configuration is loaded anew.
namespace AdminAccess {
bool hasPin();
bool isUnlocked();
void lock();
// Runs `then` at once when no PIN is set or the panel is unlocked; otherwise asks for the PIN
// on a panel over `over` and runs `then` after the right one (never after Cancel).
void request(QGraphicsWidget *over, std::function<void()> then);
// The PIN panel open over `over`, or null.
AdminPinDialog *openPanel(const QGraphicsWidget *over);
} // namespace AdminAccess
