// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "baseform.h"
#include "elocale.h"

#include <memory>

struct ReservVariables;
struct SecureFormPrivate;

// The security keypad: the person types a numeric code, "Enter" sends it to the controller, and
// the state the controller reports is shown as the text of the configuration's security list.
// The controller decides everything; the panel only carries codes and shows states.
class SecureForm : public BaseForm, public AbstractLocalizable
{
    Q_OBJECT
public:
    explicit SecureForm(QGraphicsItem *parent = nullptr);
    ~SecureForm() override;

    // The object that receives WritePassword and publishes ReadyUpdateAlerts. By default the
    // application's controller link; tests put a recording stand-in here.
    void setLink(QObject *link);
    QObject *link() const;

    // The digits typed so far ("0" when none) and what the display shows for them: the digits
    // with the setting keypad_show_digits, one dot per digit otherwise.
    QString codeText() const;
    QString shownCodeText() const;
    QString stateText() const;
    // The keypad button with that caption ("0".."9", "CE", "Enter") or "back"; for tests.
    QGraphicsWidget *button(const QString &key) const;

public slots:
    void ClearNumber();
    void AddNumber();
    void TakeSecure();
    void BackNumber();
    void readyToUpdateResVars(const ReservVariables &value);
    void changedLocale(const QString &language);

protected:
    void applyTexts() override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void geometryUpdated() override;

private:
    void appendDigit(const QString &digit);
    void setCode(const QString &typed);
    void connectLink();
    void disconnectLink();

    std::unique_ptr<SecureFormPrivate> d;
};
