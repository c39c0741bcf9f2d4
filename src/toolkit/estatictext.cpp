// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "estatictext.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextOption>

#include <cmath>

namespace {

// Texts of the system carry "\r\n" line breaks (two-line date labels); a text layout only breaks at
// the Unicode line separator, so both forms are mapped to it and stray carriage returns dropped.
QString toLayoutText(const QString &text)
{
    QString out = text;
    out.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    out.replace(QLatin1Char('\n'), QChar::LineSeparator);
    out.remove(QLatin1Char('\r'));
    return out;
}

} // namespace

void EStaticText::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    m_dirty = true;
}

void EStaticText::setFont(const QFont &font)
{
    if (font == m_font)
        return;
    m_font = font;
    m_dirty = true;
}

void EStaticText::setRect(const QRectF &rect)
{
    if (rect == m_rect)
        return;
    m_rect = rect;
    m_dirty = true;
}

void EStaticText::setAlignment(Qt::Alignment alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    m_dirty = true;
}

void EStaticText::setWordWrap(bool wrap)
{
    if (wrap == m_wrap)
        return;
    m_wrap = wrap;
    m_dirty = true;
}

QSizeF EStaticText::naturalSize() const
{
    const QFontMetricsF fm(m_font);
    const QStringList lines = toLayoutText(m_text).split(QChar::LineSeparator);
    qreal w = 0;
    for (const QString &line : lines)
        w = qMax(w, fm.horizontalAdvance(line));
    return QSizeF(std::ceil(w), std::ceil(fm.height() * lines.size()));
}

void EStaticText::relayout() const
{
    m_dirty = false;
    QString shown = toLayoutText(m_text);
    const qreal width = qMax<qreal>(1, m_rect.width());
    const bool multiLine = shown.contains(QChar::LineSeparator);
    if (!m_wrap && !multiLine) {
        // A single line that does not fit is cut with an ellipsis rather than overflowing into its
        // neighbours: plans and tables are dense.
        const QFontMetricsF fm(m_font);
        if (fm.horizontalAdvance(shown) > width)
            shown = fm.elidedText(shown, Qt::ElideRight, width);
    }
    QTextOption option(m_alignment & Qt::AlignHorizontal_Mask);
    option.setWrapMode(m_wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    m_layout = std::make_shared<QTextLayout>(shown, m_font);
    m_layout->setTextOption(option);
    m_layout->setCacheEnabled(true);
    qreal h = 0;
    m_layout->beginLayout();
    for (QTextLine line = m_layout->createLine(); line.isValid(); line = m_layout->createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, h));
        h += line.height();
    }
    m_layout->endLayout();

    qreal y = m_rect.top();
    if (m_alignment & Qt::AlignBottom)
        y = m_rect.bottom() - h;
    else if (m_alignment & Qt::AlignVCenter)
        y = m_rect.top() + (m_rect.height() - h) / 2;
    m_origin = QPointF(m_rect.left(), y);
}

void EStaticText::draw(QPainter *painter) const
{
    draw(painter, QPointF());
}

void EStaticText::draw(QPainter *painter, const QPointF &offset) const
{
    if (m_text.isEmpty() || m_rect.isEmpty())
        return;
    if (m_dirty)
        relayout();
    m_layout->draw(painter, m_origin + offset);
}
