// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "lazyroompage.h"

#include "extroomformv1.h"

LazyRoomPage::LazyRoomPage(BaseRoomV1 *room, Factory factory, QGraphicsItem *parent)
    : EGraphicsWidget(parent), m_room(room), m_factory(std::move(factory))
{
}

LazyRoomPage::~LazyRoomPage() = default;

ExtRoomFormV1 *LazyRoomPage::form()
{
    if (m_form || !m_factory)
        return m_form;
    ExtRoomFormV1 *form = m_factory(m_room);
    if (!form)
        return nullptr;
    m_form = form;
    // Hidden while it moves in and is wired, then shown: the screen takes its show event (plan,
    // link subscription) now if this page is on screen, or when the page is shown later.
    form->setVisible(false);
    form->setParentItem(this);
    form->setGeometry(rect());
    emit formCreated(form);
    if (m_form == form)
        form->setVisible(true);
    return m_form;
}

bool LazyRoomPage::releaseForm()
{
    if (!m_form || isVisible())
        return false;
    ExtRoomFormV1 *form = m_form;
    m_form = nullptr;
    // Hidden for good first: deleted later, it must not come back on screen with this page.
    form->hide();
    form->deleteLater();
    return true;
}

void LazyRoomPage::geometryUpdated()
{
    EGraphicsWidget::geometryUpdated();
    if (m_form)
        m_form->setGeometry(rect());
}

QVariant LazyRoomPage::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemVisibleHasChanged && value.toBool() && scene())
        form();
    return EGraphicsWidget::itemChange(change, value);
}
