// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QMetaObject>
#include <QPointer>

// One screen's subscription to one signal of the controller link: the link is the application's
// unless a test stands another object in, and the connection is made (queued, by signature, so
// any object with that signal will do) while the screen is shown and cut when it is hidden.
class LinkSubscription
{
public:
    LinkSubscription(QObject *receiver, const char *signal, const char *slot);
    ~LinkSubscription();
    LinkSubscription(const LinkSubscription &) = delete;
    LinkSubscription &operator=(const LinkSubscription &) = delete;

    // Stands `link` in for the application's link; a live subscription moves over to it.
    void setLink(QObject *link);
    QObject *link() const;
    void subscribe();
    void unsubscribe();

private:
    QObject *m_receiver;
    const char *m_signal;
    const char *m_slot;
    QPointer<QObject> m_link;
    bool m_linkSet = false;
    QMetaObject::Connection m_connection;
};
