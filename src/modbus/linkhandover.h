// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

// Tells ThreadSanitizer about the hand-over of data between the link thread and the GUI thread
// through Qt's event queue. Qt is not instrumented, so the sanitizer cannot see that an event
// posted in one thread is delivered in another after everything its sender did before; values
// carried by queued signals (the blocks of a poll, a room snapshot) would look unguarded.
// publish() marks "everything so far is handed over"; every event delivery in any thread then
// counts as receiving it. Both do nothing in builds without ThreadSanitizer.
namespace LinkHandOver {

// Registers the event-delivery hook, once per process.
void install();
// Call after preparing data and before handing it to another thread by a queued call or signal.
void publish();

} // namespace LinkHandOver
