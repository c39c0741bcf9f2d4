// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "linksubscription.h"

#include "controlerdata.h"
#include "formservices.h"

LinkSubscription::LinkSubscription(QObject *receiver, const char *signal, const char *slot)
    : m_receiver(receiver)
    , m_signal(signal)
    , m_slot(slot)
{
}

LinkSubscription::~LinkSubscription()
{
    unsubscribe();
}

void LinkSubscription::setLink(QObject *link)
{
    const bool wasSubscribed = bool(m_connection);
    unsubscribe();
    m_link = link;
    m_linkSet = true;
    if (wasSubscribed)
        subscribe();
}

QObject *LinkSubscription::link() const
{
    return m_linkSet ? m_link.data() : static_cast<QObject *>(FormServices::link());
}

void LinkSubscription::subscribe()
{
    unsubscribe();
    if (QObject *source = link())
        m_connection =
            QObject::connect(source, m_signal, m_receiver, m_slot, Qt::QueuedConnection);
}

void LinkSubscription::unsubscribe()
{
    if (m_connection)
        QObject::disconnect(m_connection);
    m_connection = QMetaObject::Connection();
}
