// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "iconcanvas.h"

#include "iconpainter.h"

#include <QHash>
#include <QVector>
#include <QtMath>

IconCanvas::IconCanvas(int width, int height)
    : m_image(width, height < 0 ? width : height, QImage::Format_ARGB32_Premultiplied)
{
    m_image.fill(Qt::transparent);
    m_painter.begin(&m_image);
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const double unit = qMin(m_image.width(), m_image.height()) / 100.0;
    m_painter.scale(unit, unit);
    m_units = QSizeF(m_image.width() / unit, m_image.height() / unit);
}

IconCanvas::~IconCanvas()
{
    if (m_painter.isActive())
        m_painter.end();
}

QImage IconCanvas::take()
{
    if (m_painter.isActive())
        m_painter.end();
    return m_image;
}

QPen IconCanvas::stroke(const QColor &color, double width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void IconCanvas::roundedTile(const QColor &accent, const QRectF &box)
{
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, accent);
    g.setColorAt(1, accent.darker(170));
    m_painter.setPen(QPen(QColor(255, 255, 255, 120), 2.0));
    m_painter.setBrush(g);
    const double r = box.width() * 0.2;
    m_painter.drawRoundedRect(box, r, r);
    m_painter.setBrush(Qt::NoBrush);
}

void IconCanvas::roundTile(const QColor &accent, const QRectF &box)
{
    QRadialGradient g(box.center() - QPointF(0, box.height() * 0.16), box.width() * 0.66);
    g.setColorAt(0, accent.lighter(130));
    g.setColorAt(1, accent.darker(145));
    m_painter.setPen(QPen(QColor(255, 255, 255, 100), 2.0));
    m_painter.setBrush(g);
    m_painter.drawEllipse(box);
    m_painter.setBrush(Qt::NoBrush);
}

void IconCanvas::demoGlyph(const QString &glyph, const QRectF &box, const QColor &color,
                           double strokeWidth, bool shadow)
{
    Q_ASSERT(IconPainter::hasGlyph(glyph));
    if (!IconPainter::hasGlyph(glyph))
        return;
    if (shadow) {
        // A dark copy a little lower keeps light glyphs legible on light tiles.
        IconPainter::paintGlyph(&m_painter, glyph, box.translated(0, 1.6), QColor(0, 0, 0, 90),
                                strokeWidth);
    }
    IconPainter::paintGlyph(&m_painter, glyph, box, color, strokeWidth);
}

void IconCanvas::badge(const QPointF &centre, double radius, const QColor &fill, QChar digit,
                       const QColor &ink)
{
    // A ring of the surface colour around the badge keeps it apart from the glyph below.
    m_painter.setPen(QPen(QColor(0, 0, 0, 110), radius * 0.28));
    m_painter.setBrush(fill);
    m_painter.drawEllipse(centre, radius, radius);
    if (digit.isNull())
        return;
    const double h = radius * 1.1;
    const double w = StrokeFont::advance(QString(digit), h, 0);
    const QPainterPath path =
        StrokeFont::text(QString(digit), QPointF(centre.x() - w / 2, centre.y() - h / 2), h, 0);
    m_painter.setPen(stroke(ink, radius * 0.34));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawPath(path);
}

namespace StrokeFont {
namespace {

// Glyph outlines in a box 100 high (ascender at 0, x-height at 42, baseline at 100).
struct Glyph
{
    double width;
    QPainterPath path;
};

constexpr double kX = 42.0; // x-height line

void dot(QPainterPath &p, double x, double y)
{
    // A very short stroke: round caps turn it into a dot of the pen's width.
    p.moveTo(x, y);
    p.lineTo(x, y + 0.01);
}

QPainterPath bowl(double x, double w)
{
    QPainterPath p;
    p.addEllipse(QRectF(x, kX, w, 100 - kX));
    return p;
}

const QHash<QChar, Glyph> &glyphs()
{
    static const QHash<QChar, Glyph> table = [] {
        QHash<QChar, Glyph> g;
        {
            QPainterPath p;
            p.moveTo(0, 0);
            p.lineTo(32, 100);
            p.lineTo(64, 0);
            g.insert(QLatin1Char('V'), {64, p});
        }
        {
            QPainterPath p;
            const QRectF r(0, kX, 56, 100 - kX);
            p.moveTo(2, r.center().y());
            p.lineTo(r.right(), r.center().y());
            p.arcTo(r, 0, 300);
            g.insert(QLatin1Char('e'), {56, p});
        }
        {
            QPainterPath p;
            p.moveTo(0, kX);
            p.lineTo(0, 100);
            p.moveTo(0, kX + 26);
            p.arcTo(QRectF(0, kX, 44, 52), 180, -90);
            p.lineTo(36, kX);
            g.insert(QLatin1Char('r'), {36, p});
        }
        {
            QPainterPath p = bowl(0, 56);
            p.moveTo(56, kX);
            p.lineTo(56, 100);
            g.insert(QLatin1Char('a'), {56, p});
        }
        {
            QPainterPath p;
            p.moveTo(0, kX);
            p.lineTo(0, 100);
            p.moveTo(0, kX + 26);
            p.arcTo(QRectF(0, kX, 52, 52), 180, -180);
            p.lineTo(52, 100);
            g.insert(QLatin1Char('n'), {52, p});
        }
        {
            QPainterPath p = bowl(0, 56);
            p.moveTo(56, 0);
            p.lineTo(56, 100);
            g.insert(QLatin1Char('d'), {56, p});
        }
        {
            QPainterPath p;
            p.moveTo(0, kX);
            p.lineTo(0, 100);
            dot(p, 0, 14);
            g.insert(QLatin1Char('i'), {0, p});
        }
        {
            QPainterPath p;
            p.moveTo(0, kX);
            p.lineTo(52, 100);
            p.moveTo(52, kX);
            p.lineTo(0, 100);
            g.insert(QLatin1Char('x'), {52, p});
        }
        {
            QPainterPath p;
            p.moveTo(6, 20);
            p.lineTo(30, 0);
            p.lineTo(30, 100);
            g.insert(QLatin1Char('1'), {34, p});
        }
        {
            QPainterPath p;
            p.arcMoveTo(QRectF(2, 0, 52, 50), 160);
            p.arcTo(QRectF(2, 0, 52, 50), 160, -200);
            p.lineTo(2, 100);
            p.lineTo(56, 100);
            g.insert(QLatin1Char('2'), {56, p});
        }
        {
            QPainterPath p;
            p.arcMoveTo(QRectF(0, 0, 52, 52), 170);
            p.arcTo(QRectF(0, 0, 52, 52), 170, -240);
            p.lineTo(26, 70);
            dot(p, 26, 96);
            g.insert(QLatin1Char('?'), {52, p});
        }
        {
            QPainterPath p;
            p.moveTo(0, 0);
            p.lineTo(0, 66);
            dot(p, 0, 96);
            g.insert(QLatin1Char('!'), {0, p});
        }
        {
            QPainterPath p;
            p.moveTo(0, 0);
            p.lineTo(0, 100);
            p.lineTo(46, 0);
            p.lineTo(46, 100);
            g.insert(QLatin1Char('N'), {46, p});
        }
        {
            QPainterPath p;
            p.moveTo(0, 100);
            p.lineTo(30, 0);
            p.lineTo(60, 100);
            p.moveTo(11, 66);
            p.lineTo(49, 66);
            g.insert(QLatin1Char('A'), {60, p});
        }
        {
            QPainterPath p;
            p.moveTo(0, 100);
            p.lineTo(30, 0);
            g.insert(QLatin1Char('/'), {30, p});
        }
        return g;
    }();
    return table;
}

} // namespace

double addText(QPainterPath *path, const QString &text, double tracking)
{
    double x = 0;
    bool first = true;
    for (const QChar c : text) {
        if (!first)
            x += tracking;
        first = false;
        const auto it = glyphs().constFind(c);
        if (it == glyphs().constEnd()) {
            x += 40;
            continue;
        }
        if (path)
            path->addPath(it->path.translated(x, 0));
        x += it->width;
    }
    return x;
}

QPainterPath text(const QString &text, const QPointF &at, double height, double tracking)
{
    QPainterPath unit;
    addText(&unit, text, tracking);
    QTransform t;
    t.translate(at.x(), at.y());
    t.scale(height / 100.0, height / 100.0);
    return t.map(unit);
}

double advance(const QString &text, double height, double tracking)
{
    return addText(nullptr, text, tracking) * height / 100.0;
}

} // namespace StrokeFont
