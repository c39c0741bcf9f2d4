// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

#include <functional>

class BaseRoomV1;
class EFlickable;
class ExtRoomFormV1;

// A room page's place in the page stack, holding its screen once it is needed. The screen (plan,
// controls, link subscription) is built the first time the page is shown or asked for, so a
// large project starts as fast as a small one and pays only for the rooms actually visited.
// Plans are drawn for a page size; on a smaller page the screen keeps that size and scrolls, so
// controls placed for it neither cover one another nor leave the screen.
class LazyRoomPage : public EGraphicsWidget
{
    Q_OBJECT
public:
    using Factory = std::function<ExtRoomFormV1 *(BaseRoomV1 *room)>;

    LazyRoomPage(BaseRoomV1 *room, Factory factory, QGraphicsItem *parent = nullptr);
    ~LazyRoomPage() override;

    BaseRoomV1 *room() const { return m_room; }
    // The screen, built now if it was not yet.
    ExtRoomFormV1 *form();
    // The screen if it was built, else nullptr.
    ExtRoomFormV1 *createdForm() const { return m_form; }
    // Lets go of the screen of a hidden page (it is built again when next needed); false when
    // there is none or the page is on screen.
    bool releaseForm();
    // The area the screen scrolls in when the page is smaller than the smallest screen size.
    EFlickable *scrollArea() const { return m_area; }

    // The smallest size room screens are laid out at: the page of the window the configuration
    // asks for. Process-wide, set when a configuration is loaded; empty means no limit.
    static QSizeF smallestFormSize();
    static void setSmallestFormSize(const QSizeF &size);

signals:
    // The screen was just built, before it is shown: receivers may still wire it.
    void formCreated(ExtRoomFormV1 *form);

protected:
    void geometryUpdated() override;
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    void placeForm();
    // Tells the screen which part of it is in view.
    void reportVisibleArea();

    BaseRoomV1 *m_room = nullptr;
    EFlickable *m_area = nullptr;
    Factory m_factory;
    ExtRoomFormV1 *m_form = nullptr;
};
