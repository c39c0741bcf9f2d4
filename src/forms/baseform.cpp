// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "baseform.h"

#include "eflickable.h"

#include <QEvent>
#include <QGraphicsLayout>
#include <QLinearGradient>
#include <QPainter>
#include <functional>

namespace {
// The page's content area: after every relayout (a longer caption in another language, a group
// shown or hidden) it is fitted again to the page, never below what its layout needs.
class PageContent : public QGraphicsWidget
{
public:
    explicit PageContent(std::function<void()> fit) : m_fit(std::move(fit)) {}

protected:
    bool event(QEvent *event) override
    {
        const bool handled = QGraphicsWidget::event(event);
        if (event->type() == QEvent::LayoutRequest && m_fit)
            m_fit();
        return handled;
    }

private:
    std::function<void()> m_fit;
};
} // namespace

struct BaseFormPrivate
{
    EFlickable *area = nullptr;
    QGraphicsWidget *content = nullptr;
    bool fitting = false;
};

BaseForm::BaseForm(QGraphicsItem *parent)
    : EGraphicsWidget(parent), d(std::make_unique<BaseFormPrivate>())
{
}

BaseForm::~BaseForm() = default;

void BaseForm::setPageLayout(QGraphicsLayout *layout)
{
    if (!d->area) {
        d->area = new EFlickable;
        d->area->setObjectName(QStringLiteral("pageArea"));
        d->area->setFlickDirection(Qt::Horizontal | Qt::Vertical);
        d->content = new PageContent([this] { fitPageContent(); });
        d->area->setContentItem(d->content);
        setContentItem(d->area);
    }
    d->content->setLayout(layout);
    fitPageContent();
}

EFlickable *BaseForm::pageArea() const
{
    return d->area;
}

QGraphicsWidget *BaseForm::pageContent() const
{
    return d->content;
}

void BaseForm::geometryUpdated()
{
    EGraphicsWidget::geometryUpdated();
    fitPageContent();
}

void BaseForm::fitPageContent()
{
    if (!d->content || d->fitting)
        return;
    d->fitting = true;
    // A graphics widget never takes a size below its layout's minimum: asked for the page's size,
    // the content grows where the page is too small and the area scrolls over the difference.
    d->content->resize(innerRect().size());
    d->area->setContentPosition(d->area->contentPosition());
    d->fitting = false;
}

void BaseForm::setDrawBackground(bool on)
{
    if (on == m_drawBackground)
        return;
    m_drawBackground = on;
    update();
}

void BaseForm::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!m_drawBackground)
        return;
    const QRectF r(0, 0, size().width() - 1, size().height() - 1);
    QLinearGradient gradient(r.topLeft(), r.bottomLeft());
    gradient.setColorAt(0, QColor(208, 219, 234, 200));
    gradient.setColorAt(0.5, QColor(112, 146, 190, 200));
    gradient.setColorAt(1, QColor(255, 255, 255, 200));
    painter->setPen(Qt::NoPen);
    painter->setBrush(gradient);
    painter->drawRect(r);
}
