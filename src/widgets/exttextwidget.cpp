// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "exttextwidget.h"

#include "dyntextcontrolv1.h"
#include "extwidgetfactory.h"
#include "extwidgetkinds.h"
#include "textcontrolv1.h"

#include <QPainter>

ExtTextWidget::ExtTextWidget(QGraphicsItem *parent) : EBaseWidget(parent) {}

void ExtTextWidget::setDisplayText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    update();
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
    painter->drawText(rect().adjusted(3, 0, -3, 0), int(m_alignment) | Qt::TextWordWrap, m_text);
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
