// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>

class QPainter;

// The one look of the toolkit: colours, metrics and the few painting primitives that every widget
// shares (button panel, entry field, indicator), so a change of taste happens in one place.
// Gradients are built once per process in object-bounding mode, so a single brush fits any
// rectangle and paint() never allocates one.
namespace EStyle {

// Palette. Controls are slate panels with near-white text, which stay legible on the light page
// gradients and on the dark top bar alike; entry fields are light with dark ink.
constexpr QRgb kInk = 0xff1b2430;      // text on light surfaces
constexpr QRgb kInkMuted = 0xff5b6878; // secondary text on light surfaces
constexpr QRgb kPaper = 0xfff4f7fb;    // text on controls and dark surfaces
constexpr QRgb kAccent = 0xff2f8cff;   // checked, progress, focus
constexpr QRgb kAccentDark = 0xff1d68c7;
constexpr QRgb kAccentLight = 0xff8cc2ff; // hover ring
constexpr QRgb kSurface = 0xff3a475a;     // plain panels (table header, popup frame)
constexpr QRgb kSurfaceLine = 0x33ffffff; // separators on slate
constexpr QRgb kFieldBorder = 0xffaab6c5;
constexpr QRgb kTrack = 0x40243244;  // slider and progress groove
constexpr QRgb kShadow = 0x8c000000; // caption shadow under light text
constexpr QRgb kDisabledText = 0xb0dfe4ea;
constexpr QRgb kRowAlt = 0x14243244; // every other table row
constexpr QRgb kSelection = 0x552f8cff;

// Metrics (pixels).
constexpr qreal kRadius = 8;
constexpr qreal kRadiusSmall = 5;
constexpr qreal kFocusWidth = 2;
constexpr qreal kIndicatorSize = 22;
constexpr qreal kIndicatorGap = 8;
constexpr qreal kTouchSize = 44;
constexpr qreal kTrackThickness = 6;
constexpr qreal kHandleSize = 26;
constexpr qreal kCaptionGap = 2;
constexpr int kFontPx = 14;
constexpr int kCaptionFontPx = 12;
constexpr int kFieldFontPx = 16;
constexpr int kTitleFontPx = 18;

enum StateFlag {
    Normal = 0x0,
    Pressed = 0x1,
    Checked = 0x2,
    Highlighted = 0x4,
    Disabled = 0x8,
    Focused = 0x10,
};
Q_DECLARE_FLAGS(States, StateFlag)

QColor color(QRgb rgba);
// Arial (Liberation Sans where Arial itself is missing) at a pixel size.
QFont font(int pixelSize, bool bold = false);

// A rounded control panel in the given state (slate, accent when checked, flat when disabled).
void drawButton(QPainter *painter, const QRectF &rect, States state, qreal radius = kRadius);
// A light entry field; the border turns accent when focused.
void drawField(QPainter *painter, const QRectF &rect, States state, qreal radius = kRadiusSmall);
// The text colour that belongs on drawButton() in that state.
QColor buttonText(States state);
// A check box square or radio circle of kIndicatorSize at rect's centre.
void drawCheckIndicator(QPainter *painter, const QRectF &rect, States state, bool round);
// A small chevron pointing down (drop-down lists) or up/down inside rect.
void drawChevron(QPainter *painter, const QRectF &rect, const QColor &color, bool down = true);

// Grey-scale copy keeping alpha, for the disabled look of pictures.
QImage greyscale(const QImage &image);

} // namespace EStyle

Q_DECLARE_OPERATORS_FOR_FLAGS(EStyle::States)
