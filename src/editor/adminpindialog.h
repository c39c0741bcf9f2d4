// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"
#include "elocale.h"

#include <QMap>

#include <functional>

class ELabelWidget;
class EIconWidget;
class QTimer;

// What became of an entered PIN: taken, or refused; a refusal with a wait took no PIN at all
// (too many wrong ones came before) and says how long until the next one is taken.
struct AdminPinVerdict
{
    bool accepted = false;
    qint64 waitMs = 0;
};

// Asks for the administration PIN before a person may change the configuration: a keypad whose
// digits show as dots, OK and Cancel. The PIN is checked by whoever asked (the panel never
// holds it); a wrong one is refused with a message and the entry starts over, while a wait is
// on the message counts it down; the right one closes the panel with accepted(). Drawn over
// the screen that asked and laid out to fit it down to a small wall panel.
class AdminPinDialog : public EGraphicsWidget, public AbstractLocalizable
{
    Q_OBJECT
public:
    explicit AdminPinDialog(QGraphicsItem *parent = nullptr);

    using Check = std::function<AdminPinVerdict(const QString &entered)>;
    using Wait = std::function<qint64()>;
    // Clears the entry, shows the panel, and hands every entry confirmed with OK to `check`;
    // `wait` tells how long no PIN is taken (milliseconds, 0: none).
    void ask(Check check, Wait wait);

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

protected:
    void geometryUpdated() override;

private:
    void append(const QString &digit);
    void backspace();
    void refresh();
    void fitKeys(qreal height);

    ELabelWidget *m_title = nullptr;
    ELabelWidget *m_code = nullptr;
    ELabelWidget *m_message = nullptr;
    QMap<QString, QGraphicsWidget *> m_keys;
    QString m_entered;
    Check m_check;
    Wait m_wait;
    QTimer *m_countdown = nullptr;
    qreal m_keyHeight = 56;
    bool m_refused = false;
};
