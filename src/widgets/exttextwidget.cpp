// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "exttextwidget.h"

#include "dyntextcontrolv1.h"
#include "extwidgetfactory.h"
#include "extwidgetkinds.h"
#include "textcontrolv1.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

namespace {
constexpr qreal kTextMargin = 3;
} // namespace

ExtTextWidget::ExtTextWidget(QGraphicsItem *parent) : EBaseWidget(parent) {}

void ExtTextWidget::setDisplayText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    relayout();
}

void ExtTextWidget::setTextColor(const QColor &color)
{
    if (!color.isValid() || color == m_color)
        return;
    m_color = color;
    update();
}

void ExtTextWidget::setTextFont(const QFont &font)
{
    setFont(font);
    relayout();
}

void ExtTextWidget::geometryUpdated()
{
    EBaseWidget::geometryUpdated();
    relayout();
}

void ExtTextWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        relayout();
    EBaseWidget::changeEvent(event);
}

// Worked out when the text, font or size change, so paint() only draws.
void ExtTextWidget::relayout()
{
    const QRectF box = rect().adjusted(kTextMargin, 0, -kTextMargin, 0);
    const QFontMetricsF fm(font());
    m_wrap = false;
    m_elided = false;
    m_shown = m_text;
    if (box.width() > 0 && fm.horizontalAdvance(m_text) > box.width()) {
        const QRectF wrapped =
            fm.boundingRect(QRectF(QPointF(), QSizeF(box.width(), 1e6)), Qt::TextWordWrap, m_text);
        if (wrapped.height() <= box.height() && wrapped.width() <= box.width() + 0.5) {
            m_wrap = true;
        } else {
            m_shown = fm.elidedText(m_text, Qt::ElideRight, box.width());
            m_elided = true;
        }
    }
    // The whole text is one hover or long look away when the field cannot show it.
    setToolTip(m_elided ? m_text : QString());
    update();
}

void ExtTextWidget::setAlignment(Qt::Alignment alignment)
{
    const Qt::Alignment a = (alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
    if (a == m_alignment)
        return;
    m_alignment = a;
    update();
}

void ExtTextWidget::setFrame(bool on)
{
    if (on == m_frame)
        return;
    m_frame = on;
    update();
}

void ExtTextWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    if (m_frame) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0, 0, 0, 200));
        painter->drawRoundedRect(rect(), 3, 3);
    }
    painter->setFont(font());
    painter->setPen(m_color);
    painter->drawText(rect().adjusted(kTextMargin, 0, -kTextMargin, 0),
                      int(m_alignment) | (m_wrap ? Qt::TextWordWrap : Qt::TextSingleLine), m_shown);
}

namespace {

template<typename R> void applyText(ExtTextWidget *w, const R *r)
{
    w->setTextFont(ExtWidgetFactory::textFont(r->fontSize(), r->fontType()));
    w->setFrame(r->showRound());
    w->setTextColor(ExtWidgetFactory::colorOf(r->fontColor(), Qt::white));
    w->setAlignment(ExtWidgetFactory::alignmentOf(r->textAlign()));
    w->resize(ExtWidgetFactory::sizeOf(r->width(), r->height()));
}

} // namespace

QVector<ExtWidgetKind> ExtTextWidget::widgetKinds()
{
    using W = ExtTextWidget;
    return {
        ExtWidgetKind::of<W, TextControlV1>(
            ControlConstants::KindText, ExtClickAction::None,
            [](TextControlV1 *, QGraphicsItem *plan) { return new W(plan); },
            [](W *w, TextControlV1 *r) {
                applyText(w, r);
                w->setDisplayText(r->textB());
                w->show();
            }),
        // The caption stands in until the controller's text has come.
        ExtWidgetKind::of<W, DynTextControlV1>(
            ControlConstants::KindDynText, ExtClickAction::None,
            [](DynTextControlV1 *, QGraphicsItem *plan) { return new W(plan); },
            [](W *w, DynTextControlV1 *r) {
                applyText(w, r);
                w->setDisplayText(r->text().isEmpty() ? r->textB() : r->text());
                w->show();
            },
            [](W *w, const DynTextControlV1 *r) { w->setDisplayText(r->text()); }),
    };
}
