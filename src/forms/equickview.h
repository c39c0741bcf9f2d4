// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QGraphicsView>
#include <QGraphicsWidget>
#include <QPointer>


// A graphics view with its own scene and one root content item that is laid out at a chosen
// content height and scaled to fill the viewport, keeping the viewport's aspect ratio.
class EQuickView : public QGraphicsView
{
    Q_OBJECT
public:
    explicit EQuickView(QWidget *parent = nullptr);
    ~EQuickView() override;

    void setContentItem(QGraphicsWidget *item);
    QGraphicsWidget *contentItem() const { return m_content; }
    // Height at which the content is laid out; the width follows the viewport's aspect ratio.
    virtual qreal contentHeight() const;

public slots:
    void contentItemDestroyed();
    void updateContentScaling();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QGraphicsScene *m_scene = nullptr;
    QPointer<QGraphicsWidget> m_content;
};
