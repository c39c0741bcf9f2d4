// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "baseform.h"
#include "elocale.h"

#include <functional>
#include <memory>

class EIconWidget;
class ETableItem;
class ETableWidget;
class ERadioButtonWidget;
struct AlertStruct;
struct ReservVariables;
struct AlertFormPrivate;

// The alerts screen: one table row per message of the configuration, filled from the status
// records of the controller link, with three filters (all, active messages, active alarms). The
// person may switch an alarm inactive and its SMS and siren flags; that goes to the controller as
// WriteAlarm, and the table shows the controller's answer on a later refresh.
class AlertForm : public BaseForm, public AbstractLocalizable
{
    Q_OBJECT
public:
    enum Column {
        IdColumn,
        TimeColumn,
        DescriptionColumn,
        ParameterColumn,
        TypeColumn,
        ActiveColumn,
        SmsColumn,
        SirenColumn,
        NotifiedColumn,
        ColumnCount
    };

    explicit AlertForm(QGraphicsItem *parent = nullptr);
    ~AlertForm() override;

    // The object that receives WriteAlarm and publishes ReadyUpdateAlerts. By default the
    // application's controller link; tests put a recording stand-in here.
    void setLink(QObject *link);
    QObject *link() const;
    // Milliseconds since the epoch; the refresh pace is measured with it. Tests replace it.
    void setClock(const std::function<qint64()> &clock);

    ETableWidget *table() const;
    QString currentAlertText() const;
    ERadioButtonWidget *filterButton(int index) const;
    // Opens the history screen, where the alarm log of past days is shown on the time line.
    EIconWidget *historyButton() const;

    // The parameter cell's text: cut toward zero to two decimals, up to six significant digits.
    static QString formatParameter(double value);

signals:
    void CloseClicked();
    void historyClicked();

public slots:
    void readyToUpdateResVars(const ReservVariables &value);
    void closeControls();
    void showAll(bool val);
    void showMessa(bool val);
    void showError(bool val);
    void cellItemChanged(ETableItem *item, int row, int column, bool val);
    void changedLocale(const QString &language);

protected:
    void applyTexts() override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    enum class Filter { All, Messages, Alarms };
    void appendMessageRow(const AlertStruct &m);
    bool rowPasses(int row) const;
    void applyFilter(Filter filter);
    void connectLink();
    void disconnectLink();

    std::unique_ptr<AlertFormPrivate> d;
};
