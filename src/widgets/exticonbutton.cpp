// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "exticonbutton.h"

#include "btncontrolv1.h"
#include "extwidgetfactory.h"
#include "extwidgetkinds.h"
#include "systemcontrolv1.h"

#include <QPainter>

namespace {
const QColor kMarkFill(255, 214, 64, 150);
const QColor kMarkPen(255, 170, 0, 230);
} // namespace

ExtIconButton::ExtIconButton(QGraphicsItem *parent) : EIconWidget(parent) {}

void ExtIconButton::setImageName(const QString &name, const QString &emptyFallback)
{
    if (m_hasName && name == m_imageName)
        return;
    m_imageName = name;
    m_hasName = true;
    setImage(ExtWidgetFactory::imageForName(name, emptyFallback));
}

void ExtIconButton::setMarked(bool marked)
{
    if (marked == m_marked)
        return;
    m_marked = marked;
    update();
}

void ExtIconButton::paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
                          QWidget *widget)
{
    if (m_marked) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setPen(QPen(kMarkPen, 2));
        painter->setBrush(kMarkFill);
        painter->drawRoundedRect(rect().adjusted(1, 1, -1, -1), 5, 5);
        painter->restore();
    }
    EIconWidget::paint(painter, option, widget);
}

QVector<ExtWidgetKind> ExtIconButton::widgetKinds()
{
    using W = ExtIconButton;
    return {
        ExtWidgetKind::of<W, SystemControlV1>(
            ControlConstants::KindSystem, ExtClickAction::OpenLink,
            [](SystemControlV1 *, QGraphicsItem *plan) { return new W(plan); },
            [](W *w, SystemControlV1 *r) { ExtWidgetFactory::applyIconButton(w, r, r->image()); }),
        // A tool button: the picture beside a black caption, in a frame of the record's size.
        ExtWidgetKind::of<W, BtnControlV1>(
            ControlConstants::KindBtn, ExtClickAction::PressBit,
            [](BtnControlV1 *, QGraphicsItem *plan) { return new W(plan); },
            [](W *w, BtnControlV1 *r) {
                w->setFont(ExtWidgetFactory::buttonFont());
                w->setText(r->textB());
                w->setShowCaption(true);
                w->setCaptionColor(Qt::black);
                w->setFrameVisible(true);
                w->setCaptionBeside(true);
                w->setImageName(r->image());
                w->resize(ExtWidgetFactory::sizeOf(r->width(), r->height()));
                w->show();
            }),
    };
}
