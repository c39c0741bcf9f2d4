// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "etoolkittiming.h"

#include <QApplication>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

// A scene shown in a view whose scene coordinates equal viewport coordinates, and mouse helpers
// that go through the view as real input does (press, move with the button held, release).
class TestView
{
public:
    TestView() : view(&scene)
    {
        scene.setSceneRect(0, 0, 800, 600);
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setAlignment(Qt::AlignLeft | Qt::AlignTop);
        view.setFrameShape(QFrame::NoFrame);
        view.setFixedSize(800, 600);
        view.show();
        QApplication::setActiveWindow(&view);
    }

    bool exposed() { return QTest::qWaitForWindowExposed(&view); }

    void press(const QPointF &scenePos, Qt::MouseButton button = Qt::LeftButton)
    {
        m_buttons |= button;
        send(QEvent::MouseButtonPress, scenePos, button);
    }
    void move(const QPointF &scenePos) { send(QEvent::MouseMove, scenePos, Qt::NoButton); }
    void release(const QPointF &scenePos, Qt::MouseButton button = Qt::LeftButton)
    {
        m_buttons &= ~Qt::MouseButtons(button);
        send(QEvent::MouseButtonRelease, scenePos, button);
    }
    void click(const QPointF &scenePos)
    {
        press(scenePos);
        release(scenePos);
    }
    // A finger sliding from a to b in steps, button held.
    void drag(const QPointF &a, const QPointF &b, int steps = 8)
    {
        for (int i = 1; i <= steps; ++i)
            move(a + (b - a) * (qreal(i) / steps));
    }

    QGraphicsScene scene;
    QGraphicsView view;

private:
    void send(QEvent::Type type, const QPointF &scenePos, Qt::MouseButton button)
    {
        const QPoint p = view.mapFromScene(scenePos);
        QMouseEvent ev(type, p, view.viewport()->mapToGlobal(p), button, m_buttons, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &ev);
    }
    Qt::MouseButtons m_buttons;
};

// Centre of a graphics widget in scene coordinates.
template<typename W> QPointF centreOf(const W *w)
{
    return w->mapToScene(w->rect().center());
}

// Short hold times for the whole test program: a drag, long click or auto-repeat still needs a
// real hold, just not the production half second or second. Long enough that a press and release
// sent back to back never count as a hold, even on a loaded machine.
inline void useShortHoldTimes()
{
    EToolkit::HoldTimes times;
    times.dragMs = 150;
    times.longClickMs = 250;
    times.autoRepeatMs = 250;
    EToolkit::setHoldTimes(times);
}
