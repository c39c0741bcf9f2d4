// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controllertypes.h"

#include <QGraphicsScene>
#include <QGraphicsView>
#include <QObject>
#include <QTemporaryDir>
#include <QVariantList>

class QGraphicsWidget;

// A stand-in for the controller link: records every named call the screens make, in order, and
// lets a test publish status records and scene data as the link would.
class RecordingLink : public QObject
{
    Q_OBJECT
public:
    struct Call
    {
        QString name;
        QVariantList args;
    };

    QList<Call> calls;
    QStringList names() const;
    void clear() { calls.clear(); }

    Q_INVOKABLE void WritePassword(int passw) { record("WritePassword", {passw}); }
    Q_INVOKABLE void WriteAlarm(int alarmId, char data)
    {
        record("WriteAlarm", {alarmId, int(quint8(data))});
    }
    Q_INVOKABLE void SinchronizeTime(uint time) { record("SinchronizeTime", {time}); }
    Q_INVOKABLE void SetActivators(const GActivators &activat)
    {
        record("SetActivators", {QVariant::fromValue(activat)});
    }
    Q_INVOKABLE void WriteSMS(const QString &text, int number)
    {
        record("WriteSMS", {text, number});
    }
    Q_INVOKABLE void WriteGlobalScene(int number) { record("WriteGlobalScene", {number}); }
    Q_INVOKABLE void SetCurrentScenesRoom() { record("SetCurrentScenesRoom", {}); }

signals:
    void ReadyUpdateAlerts(const ReservVariables &currentVariables);
    void ReadyUpdateScenes(const ScenesStruct &currentScenes);

private:
    void record(const char *name, const QVariantList &args)
    {
        calls.append({QLatin1String(name), args});
    }
};

// A fresh application core with the project model, loaded from a configuration folder made for
// the test (a config.xml from `settingsBody`, or the unpacked demo home).
class ScreenFixture
{
public:
    ScreenFixture();
    ~ScreenFixture();

    bool loadSettings(const QString &settingsBody);
    bool loadDemo();
    QString folder() const { return m_dir.path(); }

    // A view of 1280 x 740 showing `form` as the only page; the form is hidden and shown once so
    // that it runs its show handling as on the real page stack.
    void place(QGraphicsWidget *form);
    QGraphicsView *view() { return &m_view; }
    // A click in the middle of (or at `local` inside) an item, through the view.
    void click(QGraphicsWidget *item);
    void click(QGraphicsWidget *item, const QPointF &local);

private:
    QTemporaryDir m_dir;
    QGraphicsScene m_scene;
    QGraphicsView m_view;
};
