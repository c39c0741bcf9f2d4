// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "lazyroompage.h"

#include "eflickable.h"
#include "extroomformv1.h"

namespace {
QSizeF s_smallestFormSize;
} // namespace

LazyRoomPage::LazyRoomPage(BaseRoomV1 *room, Factory factory, QGraphicsItem *parent)
    : EGraphicsWidget(parent), m_room(room), m_factory(std::move(factory))
{
    m_area = new EFlickable;
    m_area->setObjectName(QStringLiteral("roomScrollArea"));
    m_area->setFlickDirection(Qt::Horizontal | Qt::Vertical);
    setContentItem(m_area);
    connect(m_area, &EFlickable::contentPositionChanged, this, &LazyRoomPage::reportVisibleArea);
}

QSizeF LazyRoomPage::smallestFormSize()
{
    return s_smallestFormSize;
}

void LazyRoomPage::setSmallestFormSize(const QSizeF &size)
{
    s_smallestFormSize = size;
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
    m_area->setContentItem(form);
    placeForm();
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
    // Out of the scrolling area now, so that a screen built again meanwhile takes its place.
    form->setParentItem(nullptr);
    form->deleteLater();
    return true;
}

void LazyRoomPage::geometryUpdated()
{
    EGraphicsWidget::geometryUpdated();
    placeForm();
}

void LazyRoomPage::placeForm()
{
    if (!m_form)
        return;
    m_form->setGeometry(QRectF(QPointF(), size().expandedTo(s_smallestFormSize)));
    // Keep the view inside the new size.
    m_area->setContentPosition(m_area->contentPosition());
    reportVisibleArea();
}

void LazyRoomPage::reportVisibleArea()
{
    if (!m_form)
        return;
    m_area->setOverscroll(m_form->floatingToolsRoom());
    m_form->setVisibleArea(QRectF(m_area->contentPosition(), m_area->innerRect().size()));
}

QVariant LazyRoomPage::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemVisibleHasChanged && value.toBool() && scene())
        form();
    return EGraphicsWidget::itemChange(change, value);
}
