// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <QTextLayout>
#include <memory>

class QPainter;

// A caption laid out once and drawn many times: text, font, box and alignment go in, and the glyph
// layout (elided or wrapped) is rebuilt only when one of them changes. Every toolkit widget draws
// its texts through this, which keeps text layout out of paint().
class EStaticText
{
public:
    void setText(const QString &text);
    void setFont(const QFont &font);
    void setRect(const QRectF &rect);
    void setAlignment(Qt::Alignment alignment);
    void setWordWrap(bool wrap);

    QString text() const { return m_text; }
    QFont font() const { return m_font; }
    QRectF rect() const { return m_rect; }
    Qt::Alignment alignment() const { return m_alignment; }

    // Natural size of the whole text on one line per line break, for sizing widgets to content.
    QSizeF naturalSize() const;
    // Draws with the painter's current pen, clipped to nothing: callers size the box.
    void draw(QPainter *painter) const;
    // Same layout drawn at an offset (caption shadows).
    void draw(QPainter *painter, const QPointF &offset) const;

private:
    void relayout() const;

    QString m_text;
    QFont m_font;
    QRectF m_rect;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool m_wrap = false;
    mutable bool m_dirty = true;
    // Shared between copies until one of them relayouts (a fresh layout is made then).
    mutable std::shared_ptr<QTextLayout> m_layout;
    mutable QPointF m_origin;
};
