// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "baseform.h"
#include "elocale.h"

#include <memory>

class EHexnumericWidget;
class ENumericWidget;
class ExtToolWidget;
struct ReservVariables;
struct ConnSettFormPrivate;

// Connection settings: the controller's address, port, polling period, register offset and
// reconnect period, kept in the program settings when the page is left (the running link keeps
// its own until the next start); the controller's and the panel's clocks side by side, and
// "Synchronize", which sets the controller's clock to the panel's.
class ConnSettForm : public BaseForm, public AbstractLocalizable
{
    Q_OBJECT
public:
    explicit ConnSettForm(QGraphicsItem *parent = nullptr);
    ~ConnSettForm() override;

    // The object that receives SinchronizeTime and publishes ReadyUpdateAlerts. By default the
    // application's controller link; tests put a recording stand-in here.
    void setLink(QObject *link);
    QObject *link() const;

    bool isModified() const;
    // Fields for tests: 0..3 address parts, then port, polling period, reconnect period.
    ENumericWidget *addressField(int part) const;
    ENumericWidget *portField() const;
    ENumericWidget *pollingField() const;
    ENumericWidget *reconnectField() const;
    EHexnumericWidget *offsetField() const;
    ExtToolWidget *synchronizeButton() const;
    QString controllerTimeText() const;
    QString panelTimeText() const;

    // The two-line date and time the clocks show; the empty form for an invalid time.
    static QString formatClock(const QDateTime &time);

public slots:
    void readyToUpdateResVars(const ReservVariables &value);
    void syncTime();
    void valueChangedUpdate(double value);
    void valueChangedUpdate(const QString &value);
    void changedLocale(const QString &language);

protected:
    void applyTexts() override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void geometryUpdated() override;

private:
    void arrange(bool narrow);
    void fillFields();
    void storeSettings();
    void connectLink();
    void disconnectLink();

    std::unique_ptr<ConnSettFormPrivate> d;
};
