// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "equickview.h"

#include <QAbstractSocket>
#include <QDateTime>
#include <QPoint>
#include <QSize>
#include <QStringList>
#include <QTimer>
#include <memory>

class AlarmLogWriter;
class EStackWidget;
class LinkCommands;
class LoadScreenForm;
class MainContentForm;
class ELabelWidget;
class MultiConfigForm;
class SplashForm;
struct ReservVariables;

// The program's only window: a page stack of the loading page, the splash, the configuration
// selector and the main content. It runs the loading sequence, applies window mode and geometry,
// scales the content, starts the controller link and turns its status into the top bar, sounds,
// log rows and page changes.
class MainWindow : public EQuickView
{
    Q_OBJECT
public:
    enum Page { LoadPage = 0, SplashPage = 1, MultiConfigPage = 2, MainContentPage = 3 };

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    qreal contentHeight() const override;

    EStackWidget *pages() const { return m_stack; }
    LoadScreenForm *loadScreen() const { return m_loadScreen; }
    SplashForm *splash() const { return m_splash; }
    MultiConfigForm *multiConfigForm() const { return m_multi; }
    MainContentForm *mainContent() const { return m_content; }
    bool isCollapsed() const { return m_collapsed; }
    bool viewButtonTogglesFullScreen() const { return m_viewMode; }
    QSize savedSize() const { return m_savedSize; }
    QPoint savedPosition() const { return m_savedPos; }
    // Lets tests stand a fixed clock in for the wall clock.
    void setClock(std::function<QDateTime()> clock);
    // Saves mode and geometry into the settings and stops the link; the destructor does it too.
    void shutdown();
    // Where sound reports go; the application's link unless a test stands another object in.
    void setReportTarget(QObject *target);
    // True from the start of a load until the main content is shown or the load failed.
    bool isLoading() const { return m_loading; }
    // How long the reason of a failed load stays on the loading page before the splash or the
    // selector comes back. Applies to loads that fail afterwards; negative values count as 0.
    static int loadFailureBackMs();
    static void setLoadFailureBackMs(int ms);
    // The message shown over the window for a while (the user guide's place), empty when none.
    QString noticeText() const;

signals:
    // The link was started and the home page is on screen.
    void controlsReady();
    // Loading a configuration failed; the text says why.
    void loadingFailed(const QString &message);
    void progressChanged(int value);

public slots:
    void showControls();
    void changeViewMode();
    void mainConfigLoaded();
    void resourcesStartLoading();
    void resourcesStopLoading();
    void controlsIsLoaded();
    void controlsLoadUpdate();
    void loadMultiConfigs(const QString &settingsId);
    void loadEngDemoConfig();
    void loadStandartConfig();
    // A configuration folder the person picked on the splash.
    void loadFolderConfig(const QString &folder);
    // "New home..." on the splash: makes an empty home in the folder and opens it; a folder that
    // holds a configuration already is left alone and the reason shown.
    void createNewHome(const QString &folder, const QString &address);
    // F1 and the splash's guide button: hands the user guide to the desktop's browser and says
    // where the guide is, so that it can be found when no browser opens.
    void openUserGuide();
    void currentFormChanged(int index);
    void dateUpdateTimer();
    void PanelShowHide();
    void panelViewChange();
    void updateViewButtonIcon();
    void startedSoundNumber();
    void finishedSoundNumber();
    void notfoundSoundNumber();
    void errorSoundNumber();
    void readyToUpdateResVars(const ReservVariables &value);
    void controlerStateChanged(QAbstractSocket::SocketState socket_state, int ipaddress);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void setProgress(int value);
    void startLink();
    void stopLink();
    void saveGeometryToSettings();
    void applyWindowMode(const QString &mode);
    void rememberNormalGeometry();
    void playControllerSound(int number);
    void reportSound(void (LinkCommands::*report)(int));
    bool beginLoad();
    void afterLoadAttempt();
    void finishLoading();
    void failLoading(const QString &message);
    bool mainContentVisible() const;
    // Height the content is laid out at in a window of that size, by the drawing mode.
    qreal contentHeightFor(const QSize &window, bool mainContent) const;
    QString logFolder() const;
    void showNotice(const QString &text);

    QTimer m_dateTimer;
    EStackWidget *m_stack = nullptr;
    LoadScreenForm *m_loadScreen = nullptr;
    SplashForm *m_splash = nullptr;
    MultiConfigForm *m_multi = nullptr;
    MainContentForm *m_content = nullptr;
    bool m_viewMode = false;
    bool m_linkConnected = false;
    int m_addressIndex = 1;
    int m_archiveInterval = 10000;
    qint64 m_lastArchive = 0;
    quint8 m_soundNumber = 0;
    quint8 m_lastPage = 0;
    QString m_returnMode = QStringLiteral("normal");
    QSize m_savedSize = QSize(-1, -1);
    QPoint m_savedPos = QPoint(0, 0);
    // The geometry the configuration asked for when the screen made the window smaller, and
    // what it became; invalid when it fitted as asked.
    QRect m_fittedFrom;
    QRect m_fittedTo;
    bool m_collapsed = false;
    bool m_configLoaded = false;
    bool m_linkStarted = false;
    bool m_shutDown = false;
    bool m_loading = false;
    bool m_buildingForms = false;
    QStringList m_loadProblems;
    QList<int> m_playing;
    QPointer<QObject> m_reportTarget;
    std::unique_ptr<AlarmLogWriter> m_alarmLog;
    std::function<QDateTime()> m_clock;
    ELabelWidget *m_notice = nullptr;
    QTimer m_noticeTimer;
};
