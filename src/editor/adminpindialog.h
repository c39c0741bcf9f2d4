// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"
#include "elocale.h"

#include <QMap>

class ELabelWidget;
class EIconWidget;

// Asks for the administration PIN before a person may edit the screens: a keypad whose digits
// show as dots, OK and Cancel. A wrong PIN is refused with a message and the entry starts over;
// the right one closes the panel with accepted(). Drawn over the screen that asked.
class AdminPinDialog : public EGraphicsWidget, public AbstractLocalizable
{
    Q_OBJECT
public:
    explicit AdminPinDialog(QGraphicsItem *parent = nullptr);

    // Clears the entry and the message, remembers the PIN to compare with and shows the panel.
    void ask(const QString &pin);

    QString enteredText() const { return m_entered; }
    QString shownText() const;
    QString messageText() const;
    // The key with that caption ("0".."9"), or "back", "ok", "cancel"; for tests.
    QGraphicsWidget *key(const QString &name) const { return m_keys.value(name); }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

public slots:
    void confirm();
    void cancel();

signals:
    void accepted();
    void rejected();

protected:
    void applyTexts() override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;

private:
    void append(const QString &digit);
    void backspace();
    void refresh();

    ELabelWidget *m_title = nullptr;
    ELabelWidget *m_code = nullptr;
    ELabelWidget *m_message = nullptr;
    QMap<QString, QGraphicsWidget *> m_keys;
    QString m_entered;
    QString m_pin;
    bool m_refused = false;
};
