// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

#include <QColor>
#include <memory>

struct ENumericWidgetPrivate;

// A number field with − and + step buttons. A held step button repeats after kAutoRepeatDelayMs,
// every kAutoRepeatIntervalMs. Three independent mode switches: step buttons shown, typing (a tap
// on the value opens keyboard entry, Enter or leaving the field commits, Escape cancels), and
// display only (value text alone, no interaction; overrides the other two).
// valueChanged() reports the user's changes only; setValue() from code is silent, so values fed
// from the controller never echo back to it.
class ENumericWidget : public EGraphicsWidget
{
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue)
    Q_PROPERTY(double minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(double maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(double step READ step WRITE setStep)
    Q_PROPERTY(int decimals READ decimals WRITE setDecimals)
    Q_PROPERTY(QColor colortext READ colortext WRITE setColortext)
    Q_PROPERTY(bool stepButtonsVisible READ stepButtonsVisible WRITE setStepButtonsVisible)
    Q_PROPERTY(bool typingEnabled READ typingEnabled WRITE setTypingEnabled)
    Q_PROPERTY(bool displayOnly READ displayOnly WRITE setDisplayOnly)
public:
    explicit ENumericWidget(QGraphicsItem *parent = nullptr);
    ~ENumericWidget() override;

    double value() const;
    // Clamped to minimum..maximum; silent.
    void setValue(double value);
    double minimum() const;
    void setMinimum(double minimum);
    double maximum() const;
    void setMaximum(double maximum);
    void setRange(double minimum, double maximum);
    double step() const;
    void setStep(double step);
    int decimals() const;
    void setDecimals(int decimals);
    QColor colortext() const;
    void setColortext(const QColor &color);

    bool stepButtonsVisible() const;
    void setStepButtonsVisible(bool on);
    bool typingEnabled() const;
    void setTypingEnabled(bool on);
    bool displayOnly() const;
    void setDisplayOnly(bool on);
    void setModes(bool stepButtons, bool typing, bool displayOnly);
    // How a held step button repeats: first after `firstMs`, then every `everyMs`.
    void setRepeatTimes(int firstMs, int everyMs);
    // Typed numbers outside minimum..maximum are clamped by default. A field that refuses them
    // keeps its value instead, is outlined in the refusal colour until the next accepted change
    // and emits inputRefused(): a clamped 1999 would silently become a different, valid number.
    void setRefusesOutOfRange(bool on);
    bool refusesOutOfRange() const;
    bool hasRefusedInput() const;

    // The value as shown (fixed decimals, or the subclass's format).
    QString displayText() const;
    bool isEditing() const;
    QString editText() const;
    // Areas of the step buttons and of the value, in item coordinates (empty when not shown).
    QRectF minusRect() const;
    QRectF plusRect() const;
    QRectF valueRect() const;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

public slots:
    void stepUp();
    void stepDown();
    void openSoftwareInputPanel();
    void closeSoftwareInputPanel();

signals:
    void valueChanged(double value);
    // A held or tapped step button was let go: the value the person settled on is the current one.
    void stepReleased();
    void inputRefused(const QString &text);

protected:
    virtual QString formatValue(double value) const;
    // Parses typed text; false leaves the value unchanged.
    virtual bool parseText(const QString &text, double *value) const;
    virtual bool acceptsChar(QChar c) const;
    // Announces a user change; the default emits valueChanged(double).
    virtual void emitUserValue(double value);
    // Re-formats the shown text after a change of format rules in a subclass.
    void refreshText();

    void geometryUpdated() override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void ungrabMouseEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    void applyStep(int direction);
    void onHoldTimeout();
    void onRepeat();
    void stopRepeat();
    void beginEdit();
    void commitEdit();
    void cancelEdit();
    void relayout();
    std::unique_ptr<ENumericWidgetPrivate> d;
};
