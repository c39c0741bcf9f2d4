// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QObject>
#include <QString>

class MainWindow;

// Walks a started main window through every page and writes one picture per page into a folder:
// a picture of every screen of a project before it goes live. Ends the event loop with 0 when
// all pictures were written, non-zero when the configuration could not be loaded.
class TourRunner : public QObject
{
    Q_OBJECT
public:
    TourRunner(MainWindow *window, const QString &folder, QObject *parent = nullptr);

    // Starts once the event loop runs.
    void start();
    int picturesWritten() const { return m_written; }

    // "07-home.png": index, then the title reduced to letters, digits and dashes.
    static QString pictureName(int index, const QString &title);

signals:
    void finished(int exitCode);

private:
    void loadConfiguration();
    void waitForLink();
    void showPage(int index);
    bool snap(const QString &name);
    void finish(int exitCode, const QString &message = QString());

    MainWindow *m_window;
    QString m_folder;
    int m_written = 0;
    int m_waited = 0;
    bool m_done = false;
};
