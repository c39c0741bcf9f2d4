// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QList>
#include <QMargins>
#include <QRect>

// Where a window that asks for a rectangle actually goes: fully on one screen's available area.
// A configuration made on a large monitor still opens usable on a small wall panel, and a position
// saved with a monitor that is gone does not open the window where nobody can see it.
class WindowPlacement
{
public:
    // The screen area that holds most of wanted, or the nearest one when none holds any of it;
    // an empty rectangle when there are no areas.
    static QRect bestArea(const QRect &wanted, const QList<QRect> &areas);
    // wanted, its size bounded by the best area and then moved inside it; unchanged when there are
    // no areas or wanted already lies inside one. wanted is the window's inside; frame is what the
    // window system draws around it, which has to fit too when the window is moved or shrunk.
    static QRect fit(const QRect &wanted, const QList<QRect> &areas,
                     const QMargins &frame = QMargins());
    // The available areas of the screens the program sees now.
    static QList<QRect> screenAreas();
};
