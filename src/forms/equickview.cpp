// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "equickview.h"

#include <QGraphicsScene>
#include <QGraphicsWidget>
#include <QResizeEvent>

EQuickView::EQuickView(QWidget *parent)
    : QGraphicsView(parent)
    , m_scene(new QGraphicsScene(this))
{
    setScene(m_scene);
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing
                   | QPainter::SmoothPixmapTransform);
    setOptimizationFlag(QGraphicsView::DontSavePainterState, true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameStyle(QFrame::NoFrame);
    m_scene->setItemIndexMethod(QGraphicsScene::NoIndex);
    m_scene->setSceneRect(0, 0, 1024, 768);
    viewport()->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::StrongFocus);
    setFocusPolicy(Qt::WheelFocus);
    m_scene->setStickyFocus(true);
}

EQuickView::~EQuickView()
{
    // Items go before the scene that the view owns, while the view still exists.
    if (m_content)
        disconnect(m_content, nullptr, this, nullptr);
    m_scene->clear();
}

void EQuickView::setContentItem(QGraphicsWidget *item)
{
    if (m_content || !item)
        return;
    m_content = item;
    m_scene->addItem(item);
    connect(item, &QObject::destroyed, this, &EQuickView::contentItemDestroyed);
    updateContentScaling();
}

qreal EQuickView::contentHeight() const
{
    return 768;
}

void EQuickView::contentItemDestroyed()
{
    m_content = nullptr;
}

void EQuickView::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    updateContentScaling();
}

void EQuickView::updateContentScaling()
{
    if (!m_content)
        return;
    resetTransform();
    m_content->setPos(0, 0);
    const QSize port = viewport()->size();
    // A collapsed or not yet shown viewport has no aspect ratio to follow.
    if (port.width() <= 0 || port.height() <= 0)
        return;
    qreal height = contentHeight();
    if (!(height > 0))
        height = port.height();
    const qreal aspect = qreal(port.width()) / port.height();
    const QRectF rect(0, 0, height * aspect, height);
    m_content->resize(rect.size());
    m_scene->setSceneRect(rect);
    const qreal scale = port.width() / rect.width();
    if (!(scale > 0))
        return;
    setTransform(QTransform::fromScale(scale, scale));
    centerOn(rect.center());
}
