// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"
#include "toolkitstyle.h"

#include <memory>

struct EBaseWidgetPrivate;

// The clickable base of the toolkit with its touch interaction model (left button only):
// - a press and release is a click; a checkable widget toggles `checked` first;
// - in move mode a press emits moveEmit(); if the owner answers with armDrag(true) while the
//   press is held, the item starts a drag after dragDelay() ms (startDrag()), follows the
//   finger, and the release emits endDrag() instead of clicked();
// - in long-click mode a press held longClickDelay() ms emits onLongClicked() once and the
//   following release emits nothing.
// Move mode and long-click mode exclude each other. A disabled widget emits nothing.
// Painted as a rounded button with its text; subclasses repaint as they like.
class EBaseWidget : public EGraphicsWidget
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
    Q_PROPERTY(bool checked READ isChecked WRITE setChecked NOTIFY toggled)
    Q_PROPERTY(bool checkable READ isCheckable WRITE setCheckable)
    Q_PROPERTY(bool moveMode READ isMoveMode WRITE setMoveMode)
    Q_PROPERTY(bool longClickMode READ isLongClickMode WRITE setLongClickMode)
    Q_PROPERTY(int dragDelay READ dragDelay WRITE setDragDelay)
    Q_PROPERTY(int longClickDelay READ longClickDelay WRITE setLongClickDelay)
public:
    explicit EBaseWidget(QGraphicsItem *parent = nullptr);
    ~EBaseWidget() override;

    QString text() const;
    void setText(const QString &text);

    bool isChecked() const;
    // Setting the checked state from code also makes the widget checkable.
    void setChecked(bool checked);
    bool isCheckable() const;
    void setCheckable(bool checkable);

    bool isMoveMode() const;
    void setMoveMode(bool on);
    bool isLongClickMode() const;
    void setLongClickMode(bool on);

    int dragDelay() const;
    void setDragDelay(int ms);
    int longClickDelay() const;
    void setLongClickDelay(int ms);

    bool isPressed() const;
    bool isHighlighted() const;
    bool isDragActive() const;
    // True while the widget itself follows the finger (a drag in move mode; subclasses add their
    // own, such as a bar being dragged): a scrolling area around it then leaves the gesture alone.
    virtual bool followsFinger() const;
    // Where the last press happened, in item coordinates.
    QPointF pressPosition() const;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

public slots:
    // The owner's answer to moveEmit(): with allow true the drag timer starts, provided the widget
    // is enabled, in move mode and still pressed.
    void armDrag(bool allow = true);
    // Where a drag may take the widget, in its parent's coordinates: the whole widget stays
    // inside. An empty rectangle (the default) leaves it free.
    void setDragBounds(const QRectF &bounds);
    void TimerOut();
    void changedEnable();

signals:
    void clicked();
    void onLongClicked();
    void startDrag();
    void endDrag();
    void moveEmit();
    // After every change of `checked`, from the user or from code.
    void toggled(bool checked);

protected:
    // State flags for EStyle painting (pressed, checked, highlighted, disabled).
    EStyle::States styleState() const;
    // What a release does to `checked` on a checkable widget; radio buttons override it.
    virtual void nextCheckState();
    // Drops a half-finished gesture: stops the timer, clears pressed and drag active, and emits
    // endDrag() if a drag was in progress so that the owner can settle the item's position.
    void resetGesture();
    void geometryUpdated() override;
    void changeEvent(QEvent *event) override;
    // After setText() changed the text: widgets whose size or drawn extent follow the text lay
    // it out again here (never in paint()).
    virtual void textUpdated();

    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void ungrabMouseEvent(QEvent *event) override;
    void hoverEnterEvent(QGraphicsSceneHoverEvent *event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent *event) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    void setHighlighted(bool on);
    std::unique_ptr<EBaseWidgetPrivate> d;
};
