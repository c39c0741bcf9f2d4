// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "linkhandover.h"

#if defined(__SANITIZE_THREAD__)

#include <QtCore/qnamespace.h>
#include <mutex>

extern "C" void __tsan_acquire(void *addr);
extern "C" void __tsan_release(void *addr);

namespace {
char s_handOver;

// Runs at the start of every event delivery (QCoreApplication::notify), in every thread. Returns
// false so that the event is delivered as usual.
bool onEventDelivery(void **)
{
    __tsan_acquire(&s_handOver);
    return false;
}
} // namespace

void LinkHandOver::install()
{
    static std::once_flag once;
    std::call_once(
        once, [] { QInternal::registerCallback(QInternal::EventNotifyCallback, onEventDelivery); });
}

void LinkHandOver::publish()
{
    __tsan_release(&s_handOver);
}

#else

void LinkHandOver::install() {}

void LinkHandOver::publish() {}

#endif
