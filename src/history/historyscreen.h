// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"
#include "elocale.h"
#include "historychart.h"

#include <QDateTime>
#include <functional>
#include <memory>

class EComboWidget;
class EIconWidget;

// The history screen's content: range buttons (day, week, month, year, a custom range, a step
// back and forth), up to four parameter choices, the chart with the alarm events of the range,
// a status line with the cursor's readings or a marker's text, and export of the shown range as
// CSV and PNG. The data comes from a HistoryStore working in a thread of its own; a preset range
// follows the clock, so rows the panel archives while the screen is shown appear on their own.
class HistoryScreen : public EGraphicsWidget, public AbstractLocalizable
{
    Q_OBJECT
public:
    enum Range { Day, Week, Month, Year, Custom };
    static constexpr int kMaxLines = 4;
    // How often a range that follows the clock looks for new rows while shown.
    static constexpr int kFollowIntervalMs = 10000;

    // A parameter record of the settings: its id, caption and range.
    struct Parameter
    {
        int id = 0;
        QString name;
    };

    explicit HistoryScreen(QGraphicsItem *parent = nullptr);
    ~HistoryScreen() override;

    // The folder holding Archive and Alarms; the store (and its thread) start here.
    void setConfigurationFolder(const QString &folder);
    QString configurationFolder() const;
    // Where exports go; by default the configuration folder's Export.
    void setExportFolder(const QString &folder);
    QString exportFolder() const;
    // The parameters that have a record; the first is shown first.
    void setParameters(const QList<Parameter> &parameters);
    void setClock(const std::function<QDateTime()> &clock);
    void setFollowInterval(int ms);

    Range range() const;
    // Shows the preset span up to now (Custom opens the panel for entering a range).
    void setRange(Range range);
    void showRange(qint64 from, qint64 to);
    qint64 from() const;
    qint64 to() const;
    bool followsClock() const;
    QVector<int> shownParameters() const;
    void setShownParameters(const QVector<int> &ids);
    // Caption of a parameter: its record's text, else the archive's header caption, else "Data N".
    QString parameterName(int id) const;
    // The unit at the end of a caption: "Outdoor temperature, C" -> "C", "Pressure (bar)" -> "bar".
    static QString unitOf(const QString &caption);

    HistoryChart *chart() const;
    EIconWidget *rangeButton(Range range) const;
    EIconWidget *stepButton(int direction) const;
    EIconWidget *exportButton(bool picture) const;
    EIconWidget *applyCustomButton() const;
    EComboWidget *parameterCombo(int slot) const;
    EGraphicsWidget *customPanel() const;
    void setCustomText(const QString &from, const QString &to);
    QString statusText() const;
    bool isLoading() const;

public slots:
    void refresh();
    void exportCsv();
    void exportPng();

signals:
    // A result of the store is on the chart.
    void dataShown();
    void exportFinished(const QStringList &paths, bool ok);

protected:
    void applyTexts() override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
