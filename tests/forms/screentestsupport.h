// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controllertypes.h"
#include "recordinglinkcommands.h"

#include <QGraphicsScene>
#include <QGraphicsView>
#include <QObject>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QVariantList>

class QGraphicsWidget;
class QTcpSocket;

// The fixed screens' tests know the recording stand-in for the link by this name.
using RecordingLink = RecordingLinkCommands;

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

// A loopback server that takes every connection and never answers. Camera and weather tiles of a
// shown page go on the network; pointed here, they wait as on a slow network and never leave the
// machine.
class SilentServer
{
public:
    ~SilentServer();
    // Starts listening and sends the weather tiles' requests here.
    bool listen();
    // Every camera of the loaded project connects here.
    void takeCameras();
    // Closes what connected so far.
    void dropConnections();

private:
    QTcpServer m_server;
    QList<QTcpSocket *> m_held;
};

// The problems verandix-check reports for a configuration folder, one line each; "failed" when
// it could not run, nothing when the checker is not part of the build.
QStringList checkerProblems(const QString &folder);
