// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "adminaccess.h"

#include "adminpindialog.h"
#include "eappsettings.h"
#include "ecoreapp.h"
#include "formslog.h"
#include "pinhash.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QGraphicsWidget>
#include <QPointer>
#include <QTimer>

namespace {
const char *const kPinKey = "admin_pin";
const char *const kRelockKey = "admin_relock_minutes";
constexpr int kDefaultRelockMinutes = 5;
// How often an unlocked panel looks at its idle time; the lock comes at most this late.
constexpr int kIdleCheckMs = 10 * 1000;
const char *const kDialogName = "adminPinDialog";

// The settings this file reads, in one place.
QString storedPin()
{
    return ECoreApp::instance()->settings().optionalValue(QLatin1String(kPinKey)).trimmed();
}

qint64 relockMs()
{
    bool ok = false;
    const int minutes = ECoreApp::instance()
                            ->settings()
                            .optionalValue(QLatin1String(kRelockKey))
                            .trimmed()
                            .toInt(&ok);
    // A day at most; anything unreadable is the default.
    return qint64(ok && minutes >= 0 ? qMin(minutes, 24 * 60) : kDefaultRelockMinutes) * 60 * 1000;
}

qint64 steadyNow()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer.elapsed();
}

// Presses and keys anywhere in the program count as someone using the panel.
class ActivityFilter : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::TouchBegin:
        case QEvent::KeyPress:
        case QEvent::Wheel:
            // The first touch after the idle time only locks: the screen it was meant for may
            // just have closed, and it must not land on whatever is under the finger now.
            if (!AdminAccess::noteActivity())
                return true;
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
};

// Belongs to one application core: a configuration loaded anew (a new core) starts locked and
// with no wrong PINs counted.
struct State
{
    QPointer<ECoreApp> core;
    bool unlocked = false;
    int wrong = 0;
    qint64 waitUntil = 0;
    qint64 lastActivity = 0;
};

struct Shared
{
    State state;
    AdminAccess::Clock clock;
    AdminAccess::Events *events = nullptr;
    QTimer *idleTimer = nullptr;
    ActivityFilter *filter = nullptr;
    QPointer<AdminPinDialog> dialog;
};

Shared &shared()
{
    static Shared s;
    return s;
}

qint64 now()
{
    return shared().clock ? shared().clock() : steadyNow();
}

State &state()
{
    State &s = shared().state;
    ECoreApp *core = ECoreApp::instance();
    if (s.core != core) {
        s = State();
        s.core = core;
    }
    return s;
}

void watchActivity()
{
    Shared &s = shared();
    if (!s.filter && QCoreApplication::instance()) {
        s.filter = new ActivityFilter(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(s.filter);
    }
    if (!s.idleTimer) {
        s.idleTimer = new QTimer(AdminAccess::events());
        s.idleTimer->setInterval(kIdleCheckMs);
        QObject::connect(s.idleTimer, &QTimer::timeout, AdminAccess::events(),
                         [] { AdminAccess::checkIdle(); });
    }
}

void setUnlocked(bool on)
{
    State &s = state();
    s.unlocked = on;
    if (on) {
        s.lastActivity = now();
        watchActivity();
        shared().idleTimer->start();
    } else if (shared().idleTimer) {
        shared().idleTimer->stop();
    }
}

// The part of `host` that the window shows: the pad goes there, never beyond the screen's edge
// on a plan larger than the window.
QRectF shownPart(QGraphicsItem *host)
{
    QRectF area = host->boundingRect();
    QGraphicsScene *scene = host->scene();
    if (!scene)
        return area;
    for (QGraphicsView *view : scene->views()) {
        if (!view->isVisible() && !view->testAttribute(Qt::WA_WState_Created))
            continue;
        const QRectF shown = view->mapToScene(view->viewport()->rect()).boundingRect();
        const QRectF common = area.intersected(host->mapRectFromScene(shown));
        if (!common.isEmpty())
            return common;
    }
    return area;
}

} // namespace

namespace AdminAccess {

Events *events()
{
    Shared &s = shared();
    if (!s.events)
        s.events = new Events;
    return s.events;
}

void setClock(Clock clock)
{
    shared().clock = std::move(clock);
}

void hashStoredPin()
{
    const QString pin = storedPin();
    if (pin.isEmpty() || PinHash::isHash(pin))
        return;
    const QString hash = PinHash::make(pin);
    if (hash.isEmpty())
        return;
    ECoreApp::instance()->settings().setOptionalValue(QLatin1String(kPinKey), hash);
}

bool hasPin()
{
    return !storedPin().isEmpty();
}

// True when it locked the panel now.
static bool relockWhenIdle()
{
    State &s = state();
    if (!s.unlocked || !hasPin())
        return false;
    const qint64 limit = relockMs();
    if (limit <= 0 || now() - s.lastActivity < limit)
        return false;
    qCInfo(lcForms, "administration locked again after %lld minutes without input",
           limit / 60000);
    setUnlocked(false);
    emit events()->relocked();
    return true;
}

void checkIdle()
{
    relockWhenIdle();
}

bool noteActivity()
{
    // Input after the idle time came too late: it must not keep the panel open.
    const bool relocked = relockWhenIdle();
    state().lastActivity = now();
    return !relocked;
}

bool isUnlocked()
{
    if (!hasPin())
        return true;
    checkIdle();
    return state().unlocked;
}

void lock()
{
    setUnlocked(false);
}

qint64 waitMs()
{
    return qMax<qint64>(0, state().waitUntil - now());
}

AdminPinVerdict check(const QString &entered)
{
    State &s = state();
    AdminPinVerdict verdict;
    verdict.waitMs = waitMs();
    // OK on an empty entry is a slip of the finger, not a guess: refused, not counted.
    if (verdict.waitMs > 0 || entered.isEmpty())
        return verdict;
    hashStoredPin();
    if (PinHash::matches(storedPin(), entered)) {
        s.wrong = 0;
        s.waitUntil = 0;
        setUnlocked(true);
        verdict.accepted = true;
        return verdict;
    }
    ++s.wrong;
    if (s.wrong >= kFreeAttempts) {
        // 30 s after the third wrong PIN, doubling with each further one (the shift is bounded
        // long before it could overflow).
        const int doublings = qMin(s.wrong - kFreeAttempts, 16);
        const qint64 wait = qMin(kFirstWaitMs << doublings, kLongestWaitMs);
        s.waitUntil = now() + wait;
        verdict.waitMs = wait;
        // Never the PIN itself, only that someone keeps trying.
        qCWarning(lcForms, "%d wrong administration PINs in a row: the next one is taken in %lld s",
                  s.wrong, wait / 1000);
    }
    return verdict;
}

void request(QGraphicsWidget *over, std::function<void()> then)
{
    if (isUnlocked()) {
        then();
        return;
    }
    if (!over)
        return;
    // One question at a time: a second tap while the pad is up asks nothing new.
    if (openPanel(over))
        return;
    watchActivity();
    // Over the whole window, not only the screen that asked: the pad is modal, and a screen
    // inside a scrolling plan may reach far beyond what the window shows.
    QGraphicsItem *host = over->topLevelItem();
    auto *dialog = new AdminPinDialog(host);
    dialog->setObjectName(QLatin1String(kDialogName));
    dialog->setZValue(1000);
    dialog->setGeometry(shownPart(host));
    shared().dialog = dialog;
    QPointer<QGraphicsWidget> asker(over);
    QObject::connect(dialog, &AdminPinDialog::accepted, over, [dialog, asker, then] {
        dialog->deleteLater();
        if (asker)
            then();
    });
    QObject::connect(dialog, &AdminPinDialog::rejected, dialog, &QObject::deleteLater);
    // The screen that asked went away (a room screen let go of): nothing is left to unlock for.
    QObject::connect(over, &QObject::destroyed, dialog, &QObject::deleteLater);
    dialog->ask(check, waitMs);
}

AdminPinDialog *openPanel(const QGraphicsWidget *over)
{
    AdminPinDialog *dialog = shared().dialog;
    if (!over || !dialog || !dialog->isVisible() || dialog->scene() != over->scene())
        return nullptr;
    return dialog;
}

} // namespace AdminAccess
