// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "toolkitstyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

namespace EStyle {

namespace {

QBrush verticalGradient(QRgb top, QRgb bottom)
{
    QLinearGradient g(0, 0, 0, 1);
    g.setCoordinateMode(QGradient::ObjectMode);
    g.setColorAt(0, QColor::fromRgba(top));
    g.setColorAt(1, QColor::fromRgba(bottom));
    return QBrush(g);
}

// Brushes and pens are created on first use and live for the process; the painting functions only
// pick one, so painting a frame allocates nothing of ours.
struct Palette
{
    QBrush normal = verticalGradient(0xff4a586e, 0xff323e50);
    QBrush hover = verticalGradient(0xff56667f, 0xff3a485c);
    QBrush pressed = verticalGradient(0xff242d3a, 0xff303c4d);
    QBrush checked = verticalGradient(0xff4aa2ff, 0xff1f74e0);
    QBrush checkedPressed = verticalGradient(0xff1c64c2, 0xff2b7fe6);
    QBrush disabled = QBrush(QColor(0x8b, 0x95, 0xa3, 150));
    QBrush field = verticalGradient(0xffffffff, 0xffedf1f6);
    QBrush fieldDisabled = QBrush(QColor(0xdd, 0xe2, 0xe8, 200));
    QPen outline = QPen(QColor(0, 0, 0, 90), 1);
    QPen outlineHover = QPen(QColor::fromRgba(kAccentLight), 1.5);
    QPen outlinePressed = QPen(QColor::fromRgba(kAccent), 1.5);
    QPen innerLight = QPen(QColor(255, 255, 255, 38), 1);
    QPen fieldBorder = QPen(QColor::fromRgba(kFieldBorder), 1);
    QPen fieldFocus = QPen(QColor::fromRgba(kAccent), kFocusWidth);
    QPen checkMark =
        QPen(QColor::fromRgba(kPaper), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    QPainterPath tick;

    Palette()
    {
        // The tick of a check box in unit coordinates, scaled at paint time.
        tick.moveTo(0.24, 0.52);
        tick.lineTo(0.43, 0.70);
        tick.lineTo(0.77, 0.32);
    }
};

const Palette &palette()
{
    static const Palette p;
    return p;
}

} // namespace

QColor color(QRgb rgba)
{
    return QColor::fromRgba(rgba);
}

QFont font(int pixelSize, bool bold)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(qMax(1, pixelSize));
    f.setBold(bold);
    return f;
}

void drawButton(QPainter *painter, const QRectF &rect, States state, qreal radius)
{
    const Palette &pal = palette();
    const QRectF r = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    if (state & Disabled) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(pal.disabled);
        painter->drawRoundedRect(r, radius, radius);
        return;
    }
    const bool down = state & Pressed;
    const QBrush *brush = &pal.normal;
    if (state & Checked)
        brush = down ? &pal.checkedPressed : &pal.checked;
    else if (down)
        brush = &pal.pressed;
    else if (state & Highlighted)
        brush = &pal.hover;
    painter->setBrush(*brush);
    painter->setPen(down                    ? pal.outlinePressed
                    : (state & Highlighted) ? pal.outlineHover
                                            : pal.outline);
    painter->drawRoundedRect(r, radius, radius);
    if (!down && r.height() > 2 * radius) {
        // A faint top light gives the slate a raised, tappable feel; pressed panels lose it.
        painter->setPen(pal.innerLight);
        painter->drawLine(QPointF(r.left() + radius, r.top() + 1.0),
                          QPointF(r.right() - radius, r.top() + 1.0));
    }
}

void drawField(QPainter *painter, const QRectF &rect, States state, qreal radius)
{
    const Palette &pal = palette();
    const bool focus = (state & Focused) && !(state & Disabled);
    const qreal inset = focus ? kFocusWidth / 2 : 0.5;
    const QRectF r = rect.adjusted(inset, inset, -inset, -inset);
    painter->setBrush((state & Disabled) ? pal.fieldDisabled : pal.field);
    painter->setPen(focus                   ? pal.fieldFocus
                    : (state & Highlighted) ? pal.outlineHover
                                            : pal.fieldBorder);
    painter->drawRoundedRect(r, radius, radius);
}

QColor buttonText(States state)
{
    return QColor::fromRgba((state & Disabled) ? kDisabledText : kPaper);
}

void drawCheckIndicator(QPainter *painter, const QRectF &rect, States state, bool round)
{
    const Palette &pal = palette();
    const qreal s = qMin(kIndicatorSize, qMin(rect.width(), rect.height()));
    const QRectF box(rect.center().x() - s / 2, rect.center().y() - s / 2, s, s);
    const bool on = state & Checked;
    const bool disabled = state & Disabled;

    if (round) {
        painter->setBrush(disabled ? pal.fieldDisabled : pal.field);
        painter->setPen(on && !disabled         ? pal.fieldFocus
                        : (state & Highlighted) ? pal.outlineHover
                                                : pal.fieldBorder);
        painter->drawEllipse(box.adjusted(1, 1, -1, -1));
        if (on) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(disabled ? pal.disabled : QBrush(QColor::fromRgba(kAccent)));
            const qreal dot = s * 0.26;
            painter->drawEllipse(box.center(), dot, dot);
        }
    } else {
        if (on) {
            painter->setPen((state & Pressed) ? pal.outlinePressed : Qt::NoPen);
            painter->setBrush(disabled ? pal.disabled : pal.checked);
        } else {
            painter->setBrush(disabled ? pal.fieldDisabled : pal.field);
            painter->setPen((state & Highlighted) || (state & Pressed) ? pal.outlineHover
                                                                       : pal.fieldBorder);
        }
        painter->drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), kRadiusSmall, kRadiusSmall);
        if (on) {
            painter->save();
            painter->translate(box.topLeft());
            painter->scale(s, s);
            QPen pen = pal.checkMark;
            pen.setWidthF(pen.widthF() / s);
            painter->setPen(pen);
            painter->setBrush(Qt::NoBrush);
            painter->drawPath(pal.tick);
            painter->restore();
        }
    }
    if ((state & Pressed) && !disabled) {
        // The touch halo: a soft disc around the indicator while the finger is down.
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0x2f, 0x8c, 0xff, 50));
        const qreal h = s * 0.85;
        painter->drawEllipse(box.center(), h, h);
    }
}

void drawChevron(QPainter *painter, const QRectF &rect, const QColor &c, bool down)
{
    const qreal w = qMin(rect.width(), rect.height()) * 0.5;
    const qreal h = w * 0.5;
    const QPointF m = rect.center();
    const qreal dir = down ? 1 : -1;
    const QPointF pts[3] = {QPointF(m.x() - w / 2, m.y() - dir * h / 2),
                            QPointF(m.x(), m.y() + dir * h / 2),
                            QPointF(m.x() + w / 2, m.y() - dir * h / 2)};
    QPen pen(c, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawPolyline(pts, 3);
}

QImage greyscale(const QImage &image)
{
    if (image.isNull())
        return image;
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int g = qGray(line[x]);
            // Lift the grey a little towards white so a disabled icon reads as faded, not dark.
            const int v = qMin(255, 60 + g * 3 / 4);
            line[x] = qRgba(v, v, v, qAlpha(line[x]) * 3 / 4);
        }
    }
    return out;
}

} // namespace EStyle
