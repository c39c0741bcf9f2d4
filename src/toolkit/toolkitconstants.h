// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QtGlobal>

// Timings and limits of the toolkit's touch interaction. Tests read these instead of repeating the
// numbers, so a change here keeps them honest.
namespace EToolkit {

// Hold time before a press in move mode turns into a drag of the item.
constexpr int kDragDelayMs = 500;
// Hold time before a press in long-click mode fires a long click.
constexpr int kLongClickDelayMs = 1000;
// A held step button of a numeric field starts repeating after this long ...
constexpr int kAutoRepeatDelayMs = 1000;
// ... and then applies one step per tick of this interval.
constexpr int kAutoRepeatIntervalMs = 20;
// Frame interval of the busy indicator.
constexpr int kSpinFrameIntervalMs = 80;
// Number of spokes of the busy indicator (one frame advances one spoke).
constexpr int kSpinSpokes = 12;
// Inertia of a flicked scroll area: one tick per frame, speed multiplied by the friction per tick,
// stopping below the minimum speed (pixels per tick).
constexpr int kFlickTickMs = 16;
constexpr qreal kFlickFriction = 0.92;
constexpr qreal kFlickMinSpeed = 0.5;
constexpr qreal kFlickMaxSpeed = 60.0;
// Finger travel (scene pixels) before a press on a scroll area becomes a scroll rather than a tap.
constexpr qreal kFlickThreshold = 8.0;
// Rows a drop-down list shows before it scrolls.
constexpr int kComboMaxVisibleRows = 6;

} // namespace EToolkit
