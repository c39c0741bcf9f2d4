// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "mainwindow.h"

#include "adminaccess.h"
#include "alarmlogwriter.h"
#include "archivewriter.h"
#include "controlerdata.h"
#include "controllermap.h"
#include "controllertypes.h"
#include "eappsettings.h"
#include "eaudioplayer.h"
#include "ecoreapp.h"
#include "elabelwidget.h"
#include "elocale.h"
#include "estackwidget.h"
#include "exttoolwidget.h"
#include "formservices.h"
#include "formslog.h"
#include "infoform.h"
#include "lazyroompage.h"
#include "loadreport.h"
#include "loadscreenform.h"
#include "maincontentform.h"
#include "maincontentworker.h"
#include "multiconfigform.h"
#include "newhome.h"
#include "roomsv1.h"
#include "splashform.h"
#include "userguide.h"
#include "weatherdata.h"
#include "windowplacement.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWindow>

namespace {

const int kCollapsedHeight = 60;
const int kExpandedMinimumHeight = 480;
const int kNoMaximum = 16777215;
// A controller clock further than this from the panel's is worth the person's attention.
const qint64 kClockDriftSeconds = 600;
// Controller clocks that were never set count from 1970.
const int kFirstPlausibleYear = 1971;
const int kProgressStep = 10;
const int kDefaultLoadFailureBackMs = 6000;
// How long a failed load keeps its reason on the loading page; process-wide, like the toolkit's
// hold times, so that tests can shorten it before they create a window.
int s_loadFailureBackMs = kDefaultLoadFailureBackMs;
// A notice over the window (where the user guide is) stays this long.
constexpr int kNoticeMs = 15000;
constexpr int kTextNoNewHome = 61574;
constexpr int kTextNoGuide = 61576;
constexpr int kTextGuideOpened = 61577;
constexpr int kTextGuideNotOpened = 61578;

EAppSettings &settings()
{
    return ECoreApp::instance()->settings();
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : EQuickView(parent)
    , m_alarmLog(std::make_unique<AlarmLogWriter>())
    , m_clock([] { return QDateTime::currentDateTime(); })
{
    m_dateTimer.setInterval(500);
    setMinimumSize(568, 320);
    // Until a configuration says where the window goes, open it at a size the splash and the
    // selector read well at, fitted to a smaller screen so that every button of the splash can
    // be reached on an 800 x 480 panel.
    resize(WindowPlacement::fit(QRect(0, 0, 1024, 700), WindowPlacement::screenAreas(), QMargins())
               .size());
    setBackgroundBrush(QBrush(QPixmap(QStringLiteral(":/resources/bp.png"))));

    m_stack = new EStackWidget;
    setContentItem(m_stack);
    connect(m_stack, &EStackWidget::currentChanged, this, &MainWindow::currentFormChanged);

    m_loadScreen = new LoadScreenForm;
    m_splash = new SplashForm;
    m_multi = new MultiConfigForm;
    m_content = new MainContentForm;
    m_stack->addWidget(m_loadScreen);
    m_stack->addWidget(m_splash);
    m_stack->addWidget(m_multi);
    m_stack->addWidget(m_content);
    connect(m_splash, &SplashForm::showEngDemo, this, &MainWindow::loadEngDemoConfig);
    connect(m_splash, &SplashForm::showUserGuide, this, &MainWindow::openUserGuide);
    connect(m_splash, &SplashForm::openConfiguration, this, &MainWindow::loadFolderConfig);
    connect(m_splash, &SplashForm::newHome, this, &MainWindow::createNewHome);
    connect(m_multi, &MultiConfigForm::selectedMultiSettings, this, &MainWindow::loadMultiConfigs);

    ECoreApp *app = ECoreApp::instance();
    m_content->setFonts(app->font(0), app->font(2), app->font(5), app->font(3));

    connect(m_content, &MainContentForm::showHideClicked, this, &MainWindow::PanelShowHide);
    connect(m_content, &MainContentForm::onViewLongClicked, this, &MainWindow::panelViewChange);
    connect(m_content, &MainContentForm::controlsFinished, this, &MainWindow::controlsIsLoaded);
    for (auto signal : {&MainContentForm::systemFormsFinished, &MainContentForm::lightFormsFinished,
                        &MainContentForm::heatFormsFinished,
                        &MainContentForm::subsystemFormsFinished})
        connect(m_content, signal, this, &MainWindow::controlsLoadUpdate);
    connect(app, &ECoreApp::mainConfigLoaded, this, &MainWindow::mainConfigLoaded);
    connect(app, &ECoreApp::resourcesStartLoading, this, &MainWindow::resourcesStartLoading);
    connect(app, &ECoreApp::resourcesStopLoading, this, &MainWindow::resourcesStopLoading);
    connect(app, &ECoreApp::loadProblemFound, this, [this](const LoadProblem &problem) {
        m_loadScreen->setMessage(problem.toString());
    });
    if (EAudioPlayer *player = FormServices::audioPlayer()) {
        connect(player, &EAudioPlayer::soundStarted, this, &MainWindow::startedSoundNumber);
        connect(player, &EAudioPlayer::soundFinished, this, &MainWindow::finishedSoundNumber);
        connect(player, &EAudioPlayer::soundNotfound, this, &MainWindow::notfoundSoundNumber);
        connect(player, &EAudioPlayer::soundError, this, &MainWindow::errorSoundNumber);
    }
    connect(&m_dateTimer, &QTimer::timeout, this, &MainWindow::dateUpdateTimer);
    m_dateTimer.start();

    showControls();
}

MainWindow::~MainWindow()
{
    shutdown();
    m_dateTimer.stop();
}

void MainWindow::setClock(std::function<QDateTime()> clock)
{
    m_clock = std::move(clock);
}

void MainWindow::shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    // A load still building screens stops here: nothing may start the link after this.
    m_content->worker()->cancelLoading();
    m_loading = false;
    if (m_configLoaded)
        saveGeometryToSettings();
    stopLink();
}

// --- start page and loading ------------------------------------------------------------------

void MainWindow::showControls()
{
    ECoreApp *app = ECoreApp::instance();
    switch (app->startMode()) {
    case StartMode::Standard:
        QTimer::singleShot(0, this, &MainWindow::loadStandartConfig);
        break;
    case StartMode::Multi: {
        const MultiConfiguration &multi = app->multiConfigurations();
        m_multi->setBackgroundImage(app->configurationFolder() + QDir::separator() + multi.image);
        m_multi->setEntries(multi.entries, app->configurationFolder());
        m_stack->setCurrentIndex(MultiConfigPage);
        if (multi.width > 0 && multi.height > 0)
            setGeometry(WindowPlacement::fit(
                QRect(int(multi.posX), int(multi.posY), multi.width, multi.height),
                WindowPlacement::screenAreas(),
                windowHandle() ? windowHandle()->frameMargins() : QMargins()));
        break;
    }
    case StartMode::Demo:
        m_stack->setCurrentIndex(SplashPage);
        break;
    }
}

int MainWindow::loadFailureBackMs()
{
    return s_loadFailureBackMs;
}

void MainWindow::setLoadFailureBackMs(int ms)
{
    s_loadFailureBackMs = qMax(0, ms);
}

void MainWindow::loadStandartConfig()
{
    if (!beginLoad())
        return;
    ECoreApp::instance()->loadStandardConfiguration();
    afterLoadAttempt();
}

void MainWindow::loadEngDemoConfig()
{
    if (!beginLoad())
        return;
    ECoreApp::instance()->loadDemoConfiguration();
    afterLoadAttempt();
}

void MainWindow::loadFolderConfig(const QString &folder)
{
    if (!beginLoad())
        return;
    // The folder is the configuration from now on, as with "-config": loaded in the demo's start
    // mode it would be copied like the demo and its edits kept in the copy.
    ECoreApp *app = ECoreApp::instance();
    app->setSettingsFilePath(folder);
    app->loadStandardConfiguration();
    afterLoadAttempt();
}

void MainWindow::createNewHome(const QString &folder, const QString &address)
{
    if (m_loading || m_shutDown)
        return;
    NewHome::Options options;
    options.address = address;
    QString error;
    if (!NewHome::create(folder, options, &error)) {
        failLoading(FormServices::text(kTextNoNewHome).arg(error));
        return;
    }
    loadFolderConfig(folder);
}

void MainWindow::openUserGuide()
{
    const QString path = UserGuide::path();
    if (path.isEmpty()) {
        showNotice(FormServices::text(kTextNoGuide));
        return;
    }
    const bool opened = UserGuide::open();
    showNotice(FormServices::text(opened ? kTextGuideOpened : kTextGuideNotOpened)
                   .arg(QDir::toNativeSeparators(path)));
}

QString MainWindow::noticeText() const
{
    return m_notice && m_notice->isVisible() ? m_notice->labelT() : QString();
}

void MainWindow::showNotice(const QString &text)
{
    if (!m_notice) {
        m_notice = new ELabelWidget;
        m_notice->setObjectName(QStringLiteral("notice"));
        m_notice->setWordWrap(true);
        m_notice->setAlignment(Qt::AlignCenter);
        m_notice->setFont(ECoreApp::instance()->font(0));
        m_notice->setColortext(Qt::white);
        m_notice->setColorbackground(QColor(20, 28, 40, 235));
        m_notice->setZValue(100);
        scene()->addItem(m_notice);
        m_noticeTimer.setSingleShot(true);
        connect(&m_noticeTimer, &QTimer::timeout, m_notice, [this] { m_notice->hide(); });
    }
    // Across the bottom of the page, above whatever page is shown.
    const QRectF page = m_stack->geometry();
    const qreal width = qMin<qreal>(page.width() - 20, 720);
    m_notice->setGeometry(QRectF(page.center().x() - width / 2, page.bottom() - 90, width, 70));
    m_notice->setLabelT(text);
    m_notice->show();
    m_noticeTimer.start(kNoticeMs);
}

void MainWindow::loadMultiConfigs(const QString &settingsId)
{
    if (!beginLoad())
        return;
    ECoreApp::instance()->loadMultiConfiguration(settingsId);
    afterLoadAttempt();
}

bool MainWindow::beginLoad()
{
    // While the screens of one configuration are being built, another load would replace the
    // project under them; a second click on the splash or the selector waits for the first.
    if (m_loading || m_shutDown)
        return false;
    m_loading = true;
    m_buildingForms = false;
    return true;
}

void MainWindow::afterLoadAttempt()
{
    // A load that reached the screens goes on in the event loop; any other one is over.
    if (!m_buildingForms)
        m_loading = false;
    if (m_configLoaded)
        return;
    const LoadReport &report = ECoreApp::instance()->lastLoadReport();
    QString message = report.isEmpty() ? tr("The configuration could not be loaded.")
                                       : report.toStringList().join(QLatin1Char('\n'));
    failLoading(message);
}

void MainWindow::failLoading(const QString &message)
{
    // Say why on the loading page, then go back to where a person can choose again.
    m_loadScreen->setProgress(0);
    m_loadScreen->setMessage(message);
    m_stack->setCurrentIndex(LoadPage);
    emit loadingFailed(message);
    const Page back = ECoreApp::instance()->startMode() == StartMode::Multi ? MultiConfigPage
                                                                            : SplashPage;
    QTimer::singleShot(s_loadFailureBackMs, this, [this, back] {
        if (!m_configLoaded && m_stack->currentIndex() == LoadPage)
            m_stack->setCurrentIndex(back);
    });
}

void MainWindow::setProgress(int value)
{
    m_loadScreen->setProgress(value);
    emit progressChanged(value);
}

void MainWindow::resourcesStartLoading()
{
    m_loadScreen->setMessage(QString());
    setProgress(0);
    m_stack->setCurrentIndex(LoadPage);
}

void MainWindow::mainConfigLoaded()
{
    m_configLoaded = true;
    const EAppSettings &s = settings();
    const QRect wanted(s.value(EAppSettings::PosX).toInt(), s.value(EAppSettings::PosY).toInt(),
                       s.value(EAppSettings::Width).toInt(), s.value(EAppSettings::Height).toInt());
    // A window asked for on a larger screen is fitted to this one, so that the top bar and
    // the whole page stay reachable; "auto" drawing then lays the content out at this size.
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const QRect rect = WindowPlacement::fit(wanted, WindowPlacement::screenAreas(), frame);
    m_fittedFrom = rect.size() != wanted.size() ? wanted : QRect();
    m_fittedTo = rect;
    // The plans were drawn for the pages of the window asked for (its content less the top bar,
    // which is the collapsed window's height); where the screen made it smaller, room screens
    // keep that page size and scroll.
    if (wanted.width() > 0 && wanted.height() > 0) {
        const qreal height = contentHeightFor(wanted.size(), true);
        LazyRoomPage::setSmallestFormSize(
            QSizeF(height * wanted.width() / wanted.height(), height - kCollapsedHeight));
    }
    m_savedPos = rect.topLeft();
    m_savedSize = rect.size();
    setGeometry(rect);
    applyWindowMode(s.value(EAppSettings::WndView).toString());
    // Where weather tiles ask for their forecast: an installation names its informer.
    const QString informer = s.optionalValue(QStringLiteral("weather_url"));
    if (!informer.isEmpty())
        WeatherData::setDefaultInformerPrefix(informer);
    // A PIN written into config.xml by hand is kept from here on as its hash only.
    AdminAccess::hashStoredPin();
}

void MainWindow::applyWindowMode(const QString &mode)
{
    if (mode == QLatin1String("maximized"))
        setWindowState((windowState() & ~Qt::WindowFullScreen) | Qt::WindowMaximized);
    else if (mode == QLatin1String("fullscreen"))
        setWindowState(windowState() | Qt::WindowFullScreen);
    else
        setWindowState(windowState() & ~(Qt::WindowFullScreen | Qt::WindowMaximized));
}

void MainWindow::resourcesStopLoading()
{
    // The screens of a configuration are built once; a load arriving while they are being built
    // (one the window did not start) must not start a second build over the first.
    if (m_shutDown || m_content->worker()->isLoading())
        return;
    m_loading = true;
    m_buildingForms = true;
    setProgress(40);
    m_loadProblems = ECoreApp::instance()->lastLoadReport().toStringList();
    // The screens are created one per event-loop turn from here on, so the window repaints and
    // answers between them; their signals move the progress bar (controlsLoadUpdate) and the last
    // one ends the load (controlsIsLoaded).
    m_content->createForms(FormServices::rooms());
    m_content->ChangeFone();
}

void MainWindow::controlsLoadUpdate()
{
    setProgress(m_loadScreen->progress() + kProgressStep);
}

void MainWindow::controlsIsLoaded()
{
    if (m_shutDown)
        return;
    if (auto *info = qobject_cast<InfoForm *>(m_content->stack()->widget(0)))
        info->setProblems(m_loadProblems);
    setProgress(m_loadScreen->progress() + kProgressStep);
    // Starting the link is a turn of its own, after the bar has shown the screens done.
    QTimer::singleShot(0, this, &MainWindow::finishLoading);
}

void MainWindow::finishLoading()
{
    if (m_shutDown || !m_loading)
        return;
    startLink();
    setProgress(m_loadScreen->progress() + kProgressStep);
    m_stack->setCurrentIndex(MainContentPage);
    m_loading = false;
    m_buildingForms = false;
    qCDebug(lcForms, "loading done, main content shown");
    emit controlsReady();
}

// --- controller link ------------------------------------------------------------------------

void MainWindow::startLink()
{
    ControlerData *link = FormServices::link();
    if (!link || m_linkStarted)
        return;
    ECoreApp *app = ECoreApp::instance();
    m_archiveInterval = settings().value(EAppSettings::ArchiveDelay).toInt();
    link->configure(settings(), app->modbusDebug());
    connect(link, &ControlerData::controlerStateChanged, this, &MainWindow::controlerStateChanged,
            Qt::QueuedConnection);
    connect(link, &ControlerData::ReadyUpdateAlerts, this, &MainWindow::readyToUpdateResVars,
            Qt::QueuedConnection);
    link->start();
    m_linkStarted = true;
}

void MainWindow::stopLink()
{
    ControlerData *link = FormServices::link();
    if (!link || !m_linkStarted)
        return;
    disconnect(link, nullptr, this, nullptr);
    link->shutdown();
    m_linkStarted = false;
}

void MainWindow::controlerStateChanged(QAbstractSocket::SocketState socket_state, int ipaddress)
{
    m_addressIndex = ipaddress;
    if (socket_state == QAbstractSocket::ConnectedState) {
        m_linkConnected = true;
        return;
    }
    m_linkConnected = false;
    const bool second = ipaddress == 2;
    m_content->setConnectionState(
        {second ? QStringLiteral("connecting_ip2.png") : QStringLiteral("connecting_ip1.png"),
         61011, QString(), true});
    m_content->setAlarmState({QStringLiteral("alert_red.png"), 61014, QString(), false});
}

QString MainWindow::logFolder() const
{
    // Shared with the history screen, which reads what is written here.
    return FormServices::logFolder();
}

void MainWindow::readyToUpdateResVars(const ReservVariables &value)
{
    if (!m_linkConnected)
        return;
    const EAppSettings &s = settings();
    const QDateTime now = m_clock();
    ECoreApp *app = ECoreApp::instance();
    if (s.value(EAppSettings::WriteArchive).toBool()) {
        const qint64 ms = now.toMSecsSinceEpoch();
        if (ms - m_lastArchive >= m_archiveInterval) {
            m_lastArchive = ms;
            ArchiveWriter::write(value, logFolder(), app->locale(), now);
        }
    }
    if (s.value(EAppSettings::WriteAlarm).toBool())
        m_alarmLog->write(value, logFolder(), app->locale(), now);

    if (value.alarmCount == 255)
        m_content->setAlarmState({QStringLiteral("alert.png"), 61013, QString(), false});
    else if (value.alarmCount == 0)
        m_content->setAlarmState({QStringLiteral("alert_red.png"), 61014, QString(), false});
    else
        m_content->setAlarmState({QStringLiteral("alert_yellow.png"), 61012,
                                  QString::number(value.alarmCount), true});
    // An intrusion alarm of the security system outranks the message count: red, with the
    // security list's own text for the state, and a tap leads to the keypad.
    if (value.securityState == ControllerMap::kSecurityAlarm) {
        QString stateText;
        for (const EAppSettings::SecureText &entry : s.secureTexts()) {
            if (entry.number == value.securityState) {
                stateText = entry.text;
                break;
            }
        }
        const QString title = app->locale() ? app->locale()->text(61090) : QString();
        m_content->setAlarmState(
            {QStringLiteral("alert_red.png"), 0,
             stateText.isEmpty() ? title : title + QLatin1Char('\n') + stateText, true, true});
    }

    const bool second = m_addressIndex == 2;
    if (!value.controllerTime.isValid() || value.controllerTime.date().year() < kFirstPlausibleYear) {
        m_content->setConnectionState({second ? QStringLiteral("connected_ip2-badtime.png")
                                              : QStringLiteral("connected_ip1-badtime.png"),
                                       61015, QString(), true});
    } else {
        const qint64 drift = now.secsTo(value.controllerTime);
        const QString time =
            value.controllerTime.toLocalTime().toString(QStringLiteral("dd.MM.yyyy\r\nhh:mm:ss"));
        m_content->setConnectionState({second ? QStringLiteral("connected_ip2-ok.png")
                                              : QStringLiteral("connected_ip1-ok.png"),
                                       61010, time,
                                       drift < -kClockDriftSeconds || drift > kClockDriftSeconds});
    }

    if (!value.soundUnchanged) {
        m_soundNumber = value.soundNumber;
        // Playing blocks in a local event loop; start it after this handler has returned so a
        // later status update is never applied inside an older one.
        const int number = value.soundNumber;
        QMetaObject::invokeMethod(this, [this, number] { playControllerSound(number); },
                                  Qt::QueuedConnection);
    }

    if (value.pageSelection != 0 && value.pageSelection != m_lastPage) {
        m_lastPage = value.pageSelection;
        m_content->showControllerPage(value.pageSelection);
    }
}

void MainWindow::playControllerSound(int number)
{
    // Each playback reports with its own number, also when another one starts inside it.
    m_playing.append(number);
    ECoreApp::instance()->playSound(number);
    m_playing.removeLast();
}

void MainWindow::setReportTarget(QObject *target)
{
    m_reportTarget = target;
}

void MainWindow::reportSound(void (LinkCommands::*report)(int))
{
    QObject *link = m_reportTarget ? m_reportTarget.data() : FormServices::link();
    const int number = m_playing.isEmpty() ? m_soundNumber : m_playing.last();
    if (LinkCommands *commands = FormServices::linkCommands(link))
        (commands->*report)(number);
}

void MainWindow::startedSoundNumber()
{
    reportSound(&LinkCommands::SoundStarted);
}

void MainWindow::finishedSoundNumber()
{
    reportSound(&LinkCommands::SoundStoped);
}

void MainWindow::notfoundSoundNumber()
{
    reportSound(&LinkCommands::SoundNotfound);
}

void MainWindow::errorSoundNumber()
{
    reportSound(&LinkCommands::SoundError);
}

// --- clock, scaling and window modes --------------------------------------------------------

void MainWindow::dateUpdateTimer()
{
    m_content->setDateTime(m_clock());
}

void MainWindow::currentFormChanged(int)
{
    updateContentScaling();
}

bool MainWindow::mainContentVisible() const
{
    return m_stack->currentIndex() == MainContentPage && !m_collapsed;
}

qreal MainWindow::contentHeight() const
{
    if (m_stack && m_stack->currentIndex() == SplashPage)
        return 480;
    if (!ECoreApp::instance() || !m_configLoaded)
        return height();
    return contentHeightFor(size(), mainContentVisible());
}

qreal MainWindow::contentHeightFor(const QSize &window, bool mainContent) const
{
    const qreal windowHeight = window.height();
    const QString drawType = settings().value(EAppSettings::DrawType).toString();
    if (drawType == QLatin1String("auto")) {
        if (window.width() <= 1024 || window.height() <= 768)
            return windowHeight;
        return mainContent ? 768 : windowHeight;
    }
    if (drawType == QLatin1String("scale")) {
        const qreal zoom = settings().value(EAppSettings::ZoomHeight).toDouble();
        // A zero or negative height would make the content vanish.
        if (!mainContent || !(zoom > 0))
            return windowHeight;
        return zoom;
    }
    return windowHeight;
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    EQuickView::resizeEvent(event);
    const QString version = QCoreApplication::applicationVersion().section(QLatin1Char('.'), 0, 1);
    setWindowTitle(QStringLiteral("VerandixEditor ") + version + tr(" (Size: ")
                   + QString::number(width()) + QLatin1Char('x') + QString::number(height())
                   + QLatin1Char(')'));
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_F12 || event->key() == Qt::Key_F11) && m_stack->isVisible()) {
        changeViewMode();
        event->accept();
        return;
    }
    // Help is one key away on every page, before any item can take the key.
    if (event->key() == Qt::Key_F1) {
        openUserGuide();
        event->accept();
        return;
    }
    EQuickView::keyPressEvent(event);
}

void MainWindow::rememberNormalGeometry()
{
    // While maximized or full screen the window's own geometry is the screen's; the normal
    // geometry is what the person had and what the next start should open with.
    const QRect normal = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
    if (normal.isValid()) {
        m_savedPos = normal.topLeft();
        m_savedSize = normal.size();
    }
}

void MainWindow::changeViewMode()
{
    if (!mainContentVisible())
        return;
    EAppSettings &s = settings();
    if (isFullScreen()) {
        if (m_returnMode == QLatin1String("maximized")) {
            setWindowState((windowState() & ~Qt::WindowFullScreen) | Qt::WindowMaximized);
            s.setValue(EAppSettings::WndView, QStringLiteral("maximized"));
        } else {
            setWindowState(windowState() & ~(Qt::WindowFullScreen | Qt::WindowMaximized));
            s.setValue(EAppSettings::WndView, QStringLiteral("normal"));
            if (m_savedSize.isValid())
                resize(m_savedSize);
            move(m_savedPos);
        }
    } else {
        m_returnMode = isMaximized() ? QStringLiteral("maximized") : QStringLiteral("normal");
        rememberNormalGeometry();
        setWindowState(windowState() | Qt::WindowFullScreen);
        s.setValue(EAppSettings::WndView, QStringLiteral("fullscreen"));
    }
    updateViewButtonIcon();
    updateContentScaling();
}

void MainWindow::panelViewChange()
{
    m_viewMode = !m_viewMode;
    updateViewButtonIcon();
}

void MainWindow::updateViewButtonIcon()
{
    // The icon shows what a tap will do, not the state the window is in.
    QString icon;
    if (m_viewMode)
        icon = isFullScreen() ? QStringLiteral("fullscreenexit.png")
                              : QStringLiteral("fullscreenicon.png");
    else
        icon = m_collapsed ? QStringLiteral("expand.png") : QStringLiteral("minimize.png");
    m_content->setViewButtonIcon(icon);
}

void MainWindow::PanelShowHide()
{
    if (m_viewMode) {
        changeViewMode();
        updateContentScaling();
        return;
    }
    if (isMaximized())
        return;
    if (!m_collapsed) {
        if (!isFullScreen())
            rememberNormalGeometry();
        m_collapsed = true;
        m_content->setPagesVisible(false);
        setMinimumHeight(kCollapsedHeight);
        setMaximumHeight(kCollapsedHeight);
    } else {
        m_collapsed = false;
        setMinimumHeight(kExpandedMinimumHeight);
        setMaximumHeight(kNoMaximum);
        m_content->setPagesVisible(true);
        if (m_savedSize.isValid())
            resize(m_savedSize);
        applyWindowMode(settings().value(EAppSettings::WndView).toString());
    }
    updateViewButtonIcon();
    updateContentScaling();
}

void MainWindow::saveGeometryToSettings()
{
    EAppSettings &s = settings();
    QPoint pos = m_savedPos;
    QSize size = m_savedSize;
    if (m_collapsed) {
        // A strip is no geometry to come back to: keep what was saved when it collapsed, and
        // the mode of that moment, which the setting still holds.
    } else if (isMaximized() || isFullScreen()) {
        rememberNormalGeometry();
        pos = m_savedPos;
        size = m_savedSize;
    } else {
        s.setValue(EAppSettings::WndView, QStringLiteral("normal"));
        pos = geometry().topLeft();
        size = geometry().size();
    }
    // A window the screen made smaller than the configuration asked for, and left where it was
    // put, writes back what was asked: the plans were drawn for that size, and the next start on
    // a larger screen should open it so.
    if (m_fittedFrom.isValid() && QRect(pos, size) == m_fittedTo) {
        pos = m_fittedFrom.topLeft();
        size = m_fittedFrom.size();
    }
    if (size.isValid()) {
        s.setValue(EAppSettings::PosX, pos.x());
        s.setValue(EAppSettings::PosY, pos.y());
        s.setValue(EAppSettings::Width, size.width());
        s.setValue(EAppSettings::Height, size.height());
    }
    if (!m_collapsed) {
        if (isMaximized())
            s.setValue(EAppSettings::WndView, QStringLiteral("maximized"));
        if (isFullScreen())
            s.setValue(EAppSettings::WndView, QStringLiteral("fullscreen"));
    }
}
