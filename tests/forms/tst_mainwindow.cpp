// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The main window on the offscreen platform: loading sequence, start pages, the top bar driven by
// status records (and once by a real controller link), sounds reported back, logs, page demands,
// window modes and geometry written back, and content scaling.
#include "baseroomv1.h"
#include "controlerdata.h"
#include "controllertypes.h"
#include "eappsettings.h"
#include "eaudioplayer.h"
#include "ebasewidget.h"
#include "ecoreapp.h"
#include "elocale.h"
#include "estackwidget.h"
#include "exttoolwidget.h"
#include "fakecontroller.h"
#include "formservices.h"
#include "lazyroompage.h"
#include "loadscreenform.h"
#include "maincontentform.h"
#include "mainwindow.h"
#include "recordinglinkcommands.h"
#include "roomsv1.h"
#include "splashform.h"
#include "userguide.h"

#include <QAudioDeviceInfo>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

// Records the sound reports the window sends to the link.
using ReportSink = RecordingLinkCommands;

QByteArray wave(int milliseconds)
{
    const int rate = 8000;
    const QByteArray samples(rate * milliseconds / 1000 * 2, '\0');
    QByteArray out("RIFF");
    auto u32 = [&out](quint32 v) {
        for (int i = 0; i < 4; ++i)
            out.append(char((v >> (8 * i)) & 0xFF));
    };
    auto u16 = [&out](quint16 v) {
        out.append(char(v & 0xFF));
        out.append(char(v >> 8));
    };
    u32(36 + samples.size());
    out.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    out.append("data");
    u32(samples.size());
    out.append(samples);
    return out;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void loadsWithProgressAndShowsHome();
    void missingSettingsFileIsShownAndLeavesLoading();
    void secondLoadDuringALoadIsRefused();
    void closingDuringALoadStartsNothing_data();
    void closingDuringALoadStartsNothing();
    void alarmAndConnectionButtons_data();
    void alarmAndConnectionButtons();
    void lostConnectionShowsAddress();
    void securityAlarmLightsTheAlarmButton_data();
    void securityAlarmLightsTheAlarmButton();
    void languageChangeKeepsTheStatus();
    void controllerDemandsPage();
    void soundsAreReportedWithTheirNumber_data();
    void soundsAreReportedWithTheirNumber();
    void logsAreWritten();
    void contentHeight_data();
    void contentHeight();
    void titleShowsTheSize();
    void geometryIsWrittenBack_data();
    void geometryIsWrittenBack();
    void positionOffEveryScreenIsMovedOn();
    void windowLargerThanTheScreenIsFitted_data();
    void windowLargerThanTheScreenIsFitted();
    void viewButtonShowsWhatItWillDo();
    void realLinkPaintsTheTopBar();
    void splashRunsTheDemo();
    void splashButtonAndF1OpenTheUserGuide();
    void splashOpensAPickedConfiguration_data();
    void splashOpensAPickedConfiguration();
    void f1SaysWhereTheGuideIs_data();
    void f1SaysWhereTheGuideIs();
    void splashMakesANewHome_data();
    void splashMakesANewHome();

private:
    // A configuration folder with the fixture project and these settings lines added.
    QString makeConfiguration(const QString &extraSettings);
    std::unique_ptr<MainWindow> openWindow(const QString &folder);
    ReservVariables status(int alarms, qint64 clockOffset) const;

    QTemporaryDir m_dir;
    QTemporaryDir m_dataHome;
    QDateTime m_now = QDateTime(QDate(2026, 12, 7), QTime(12, 0, 0));
};

void TestMainWindow::initTestCase()
{
    // A failed load leaves its reason up for seconds in the program; here only the order counts.
    MainWindow::setLoadFailureBackMs(50);
    // The demo runs from a copy in the user's data folder: this test's own.
    QVERIFY(m_dataHome.isValid());
    qputenv("XDG_DATA_HOME", m_dataHome.path().toLocal8Bit());
}

void TestMainWindow::init()
{
    registerControllerTypes();
    ECoreApp::destroyInstance();
    ECoreApp *app = ECoreApp::instance();
    auto *rooms = new RoomsV1;
    app->setProjectModel(rooms, rooms);
    app->setAudioPlayer(new EAudioPlayer);
}

void TestMainWindow::cleanup()
{
    ECoreApp::destroyInstance();
}

QString TestMainWindow::makeConfiguration(const QString &extraSettings)
{
    static int counter = 0;
    const QString folder = m_dir.filePath(QStringLiteral("conf%1").arg(++counter));
    const QString fixture = QFINDTESTDATA("../data/project");
    QDir().mkpath(folder);
    for (const QString &name :
         QDir(fixture).entryList({QStringLiteral("*_config.xml")}, QDir::Files))
        QFile::copy(fixture + QLatin1Char('/') + name, folder + QLatin1Char('/') + name);
    QFile file(folder + QStringLiteral("/config.xml"));
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<config version=\"2\">\n"
               " <language value=\"en_US\"/>\n <ipaddress value=\"127.0.0.1\"/>\n"
               " <ipaddress2 value=\"127.0.0.1\"/>\n <offset value=\"0\"/>\n"
               " <timeout value=\"100\"/>\n <message id=\"1\" textB=\"Leak\" minimum=\"0\" "
               "maximum=\"1\"/>\n"
               " <parameter id=\"1\" textB=\"Outdoor\" minimum=\"-40\" maximum=\"50\"/>\n");
    file.write(extraSettings.toUtf8());
    file.write("\n</config>\n");
    return folder;
}

std::unique_ptr<MainWindow> TestMainWindow::openWindow(const QString &folder)
{
    ECoreApp::instance()->setSettingsFilePath(folder);
    auto window = std::make_unique<MainWindow>();
    window->setClock([this] { return m_now; });
    window->show();
    return window;
}

ReservVariables TestMainWindow::status(int alarms, qint64 clockOffset) const
{
    ReservVariables v;
    v.alarmCount = quint8(alarms);
    v.controllerTime = m_now.addSecs(clockOffset);
    return v;
}

void TestMainWindow::loadsWithProgressAndShowsHome()
{
    const QString folder = makeConfiguration(QString());
    ECoreApp::instance()->setSettingsFilePath(folder);
    MainWindow window;
    QSignalSpy progress(&window, &MainWindow::progressChanged);
    QSignalSpy ready(&window, &MainWindow::controlsReady);
    window.show();
    QVERIFY(ready.wait(10000));
    QList<int> seen;
    for (const QList<QVariant> &args : progress)
        seen << args.at(0).toInt();
    QCOMPARE(seen, (QList<int>{0, 40, 50, 60, 70, 80, 90, 100}));
    QCOMPARE(window.pages()->currentIndex(), int(MainWindow::MainContentPage));
    QCOMPARE(window.mainContent()->stack()->currentIndex(), 7);
    // Pages 0..9 always exist, then one per room page of the project.
    QVERIFY(window.mainContent()->stack()->count() >= 10);
    QVERIFY(!window.mainContent()->homeButton()->isVisible());
}

void TestMainWindow::missingSettingsFileIsShownAndLeavesLoading()
{
    const QString folder = m_dir.filePath(QStringLiteral("empty"));
    QDir().mkpath(folder);
    ECoreApp::instance()->setSettingsFilePath(folder);
    MainWindow window;
    QSignalSpy failed(&window, &MainWindow::loadingFailed);
    window.show();
    QVERIFY(failed.wait(5000));
    QVERIFY(failed.first().at(0).toString().contains(QStringLiteral("config.xml")));
    QCOMPARE(window.pages()->currentIndex(), int(MainWindow::LoadPage));
    QVERIFY(!window.loadScreen()->message().isEmpty());
    // It does not stay on a loading page at 0 % for good, and the splash can still run the demo.
    QTRY_COMPARE_WITH_TIMEOUT(window.pages()->currentIndex(), int(MainWindow::SplashPage), 10000);
    QSignalSpy ready(&window, &MainWindow::controlsReady);
    window.loadEngDemoConfig();
    QVERIFY(ready.count() || ready.wait(20000));
    QCOMPARE(window.pages()->currentIndex(), int(MainWindow::MainContentPage));
    // Nothing of the demo is ever written back.
    QCOMPARE(ECoreApp::instance()->startMode(), StartMode::Demo);
}

void TestMainWindow::secondLoadDuringALoadIsRefused()
{
    ECoreApp::instance()->setSettingsFilePath(makeConfiguration(QString()));
    MainWindow window;
    QSignalSpy ready(&window, &MainWindow::controlsReady);
    QSignalSpy failed(&window, &MainWindow::loadingFailed);
    QList<int> seen;
    bool asked = false;
    connect(&window, &MainWindow::progressChanged, this, [&](int value) {
        seen << value;
        // Half-way through building the screens, as a second click on a load would.
        if (value == 60 && !asked) {
            asked = true;
            QVERIFY(window.isLoading());
            window.loadStandartConfig();
        }
    });
    window.show();
    QVERIFY(ready.wait(10000));
    QVERIFY(asked);
    QCOMPARE(seen, (QList<int>{0, 40, 50, 60, 70, 80, 90, 100}));
    QCOMPARE(failed.count(), 0);
    QVERIFY(!window.isLoading());
    // The screens exist once: the fixed pages, one per room page of the project, then the
    // history page.
    RoomsV1 *rooms = qobject_cast<RoomsV1 *>(ECoreApp::instance()->projectModelObject());
    int roomPages = 0;
    for (auto type : {BaseRoomV1::LightSystem, BaseRoomV1::HeatSystem, BaseRoomV1::OtherSystem}) {
        for (BaseRoomV1 *page : rooms->pagesOfType(type))
            roomPages += page != rooms->lightPage() && page != rooms->heatPage() ? 1 : 0;
    }
    QCOMPARE(window.mainContent()->stack()->count(), 10 + roomPages + 1);
    QCOMPARE(ready.count(), 1);
}

void TestMainWindow::closingDuringALoadStartsNothing_data()
{
    QTest::addColumn<bool>("destroy");
    QTest::newRow("shut down") << false;
    QTest::newRow("destroyed") << true;
}

void TestMainWindow::closingDuringALoadStartsNothing()
{
    QFETCH(bool, destroy);
    auto *link = new ControlerData;
    ECoreApp::instance()->setController(link);
    auto window = openWindow(makeConfiguration(QString()));
    QSignalSpy ready(window.get(), &MainWindow::controlsReady);
    QList<int> seen;
    connect(window.get(), &MainWindow::progressChanged, this, [&](int value) {
        seen << value;
        if (value != 60)
            return;
        if (destroy) // as at the end of the program: once the event loop has the window back
            QTimer::singleShot(0, this, [&window] { window.reset(); });
        else
            window->shutdown();
    });
    QTRY_VERIFY(seen.contains(60) && (!destroy || !window));
    // Far more turns than the rest of the load would need: nothing of it may run any more.
    for (int turn = 0; turn < 200; ++turn)
        QCoreApplication::processEvents();
    QCOMPARE(seen.last(), 60);
    QCOMPARE(ready.count(), 0);
    QVERIFY(!link->isRunning());
    if (window) {
        QVERIFY(!window->isLoading());
        QVERIFY(window->pages()->currentIndex() != int(MainWindow::MainContentPage));
    }
}

void TestMainWindow::alarmAndConnectionButtons_data()
{
    QTest::addColumn<int>("alarms");
    QTest::addColumn<qint64>("clockOffset");
    QTest::addColumn<QString>("alarmIcon");
    QTest::addColumn<QString>("alarmText");
    QTest::addColumn<bool>("alarmEnabled");
    QTest::addColumn<QString>("connectionIcon");
    QTest::addColumn<bool>("connectionEnabled");

    QTest::newRow("system error") << 0 << qint64(0) << "alert_red.png"
                                  << "system\nerror" << false << "connected_ip1-ok.png" << false;
    QTest::newRow("one alarm") << 1 << qint64(0) << "alert_yellow.png"
                               << "count\nalarms: 1" << true << "connected_ip1-ok.png" << false;
    QTest::newRow("254 alarms") << 254 << qint64(0) << "alert_yellow.png"
                                << "count\nalarms: 254" << true << "connected_ip1-ok.png" << false;
    QTest::newRow("no alarms") << 255 << qint64(0) << "alert.png"
                               << "no\nalarms" << false << "connected_ip1-ok.png" << false;
    QTest::newRow("599 s ahead") << 255 << qint64(599) << "alert.png"
                                 << "no\nalarms" << false << "connected_ip1-ok.png" << false;
    QTest::newRow("601 s ahead") << 255 << qint64(601) << "alert.png"
                                 << "no\nalarms" << false << "connected_ip1-ok.png" << true;
    QTest::newRow("601 s behind") << 255 << qint64(-601) << "alert.png"
                                  << "no\nalarms" << false << "connected_ip1-ok.png" << true;
    QTest::newRow("clock never set")
        << 255 << qint64(-60LL * 365 * 86400) << "alert.png"
        << "no\nalarms" << false << "connected_ip1-badtime.png" << true;
}

void TestMainWindow::alarmAndConnectionButtons()
{
    QFETCH(int, alarms);
    QFETCH(qint64, clockOffset);
    QFETCH(QString, alarmIcon);
    QFETCH(QString, alarmText);
    QFETCH(bool, alarmEnabled);
    QFETCH(QString, connectionIcon);
    QFETCH(bool, connectionEnabled);

    auto window = openWindow(makeConfiguration(QString()));
    QTRY_COMPARE(window->pages()->currentIndex(), int(MainWindow::MainContentPage));
    MainContentForm *content = window->mainContent();
    // Status records count only while the link says it is connected.
    window->readyToUpdateResVars(status(alarms, clockOffset));
    QCOMPARE(content->alarmState().icon, QStringLiteral("alert_red.png"));

    window->controlerStateChanged(QAbstractSocket::ConnectedState, 1);
    window->readyToUpdateResVars(status(alarms, clockOffset));
    QCOMPARE(content->alarmButton()->resourceImage(), alarmIcon);
    QCOMPARE(content->alarmButton()->text(), alarmText);
    QCOMPARE(content->alarmButton()->isEnabled(), alarmEnabled);
    QCOMPARE(content->connectionButton()->resourceImage(), connectionIcon);
    QCOMPARE(content->connectionButton()->isEnabled(), connectionEnabled);
    if (connectionIcon.endsWith(QLatin1String("ok.png"))) {
        const QString shown =
            m_now.addSecs(clockOffset).toString(QStringLiteral("dd.MM.yyyy\nhh:mm:ss"));
        QCOMPARE(content->connectionButton()->text(), QStringLiteral("system:\n") + shown);
    }

    // An enabled alarm button opens the alerts page; a disabled one does nothing.
    content->ShowAlerts();
    QCOMPARE(content->stack()->currentIndex() == 3, alarmEnabled);
}

void TestMainWindow::lostConnectionShowsAddress()
{
    auto window = openWindow(makeConfiguration(QString()));
    QTRY_COMPARE(window->pages()->currentIndex(), int(MainWindow::MainContentPage));
    MainContentForm *content = window->mainContent();
    window->controlerStateChanged(QAbstractSocket::ConnectedState, 2);
    window->readyToUpdateResVars(status(3, 0));
    QCOMPARE(content->connectionButton()->resourceImage(), QStringLiteral("connected_ip2-ok.png"));
    window->controlerStateChanged(QAbstractSocket::UnconnectedState, 2);
    QCOMPARE(content->connectionButton()->resourceImage(), QStringLiteral("connecting_ip2.png"));
    QCOMPARE(content->connectionButton()->text(), QStringLiteral("no\nconnection"));
    QVERIFY(content->connectionButton()->isEnabled());
    QCOMPARE(content->alarmButton()->resourceImage(), QStringLiteral("alert_red.png"));
    QVERIFY(!content->alarmButton()->isEnabled());
    // Updates while disconnected leave that status alone.
    window->readyToUpdateResVars(status(3, 0));
    QCOMPARE(content->alarmButton()->resourceImage(), QStringLiteral("alert_red.png"));
}

void TestMainWindow::securityAlarmLightsTheAlarmButton_data()
{
    QTest::addColumn<int>("securityState");
    QTest::addColumn<int>("alarms");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pageOnTap");
    QTest::newRow("alarm, no messages") << 5 << 255 << "alert_red.png"
                                        << "Security\nAlarm!" << 1;
    QTest::newRow("alarm over message count") << 5 << 2 << "alert_red.png"
                                              << "Security\nAlarm!" << 1;
    QTest::newRow("armed") << 2 << 255 << "alert.png"
                           << "no\nalarms" << -1;
    QTest::newRow("disarmed, messages") << 1 << 2 << "alert_yellow.png"
                                        << "count\nalarms: 2" << 3;
}

void TestMainWindow::securityAlarmLightsTheAlarmButton()
{
    QFETCH(int, securityState);
    QFETCH(int, alarms);
    QFETCH(QString, icon);
    QFETCH(QString, text);
    QFETCH(int, pageOnTap);
    auto window =
        openWindow(makeConfiguration(QStringLiteral(" <secure value=\"1\" textB=\"Disarmed\"/>\n"
                                                    " <secure value=\"2\" textB=\"Armed\"/>\n"
                                                    " <secure value=\"5\" textB=\"Alarm!\"/>\n")));
    QTRY_COMPARE(window->pages()->currentIndex(), int(MainWindow::MainContentPage));
    MainContentForm *content = window->mainContent();
    window->controlerStateChanged(QAbstractSocket::ConnectedState, 1);
    ReservVariables v = status(alarms, 0);
    v.securityState = quint8(securityState);
    window->readyToUpdateResVars(v);
    QCOMPARE(content->alarmButton()->resourceImage(), icon);
    QCOMPARE(content->alarmButton()->text(), text);
    QCOMPARE(content->alarmButton()->isEnabled(), pageOnTap >= 0);
    // A security alarm leads to the keypad, a message alarm to the list.
    const int before = content->stack()->currentIndex();
    content->ShowAlerts();
    QCOMPARE(content->stack()->currentIndex(), pageOnTap >= 0 ? pageOnTap : before);
}

void TestMainWindow::languageChangeKeepsTheStatus()
{
    auto window = openWindow(makeConfiguration(QString()));
    QTRY_COMPARE(window->pages()->currentIndex(), int(MainWindow::MainContentPage));
    MainContentForm *content = window->mainContent();
    window->controlerStateChanged(QAbstractSocket::ConnectedState, 1);
    window->readyToUpdateResVars(status(7, 0));
    const QString english = content->alarmButton()->text();
    QVERIFY(ECoreApp::instance()->locale()->load(QStringLiteral("ru_RU")));
    QVERIFY(content->alarmButton()->text() != english);
    QVERIFY(content->alarmButton()->text().contains(QLatin1Char('7')));
    QVERIFY(content->alarmButton()->isEnabled());
    QCOMPARE(content->connectionButton()->resourceImage(), QStringLiteral("connected_ip1-ok.png"));
    QVERIFY(!content->connectionButton()->isEnabled());
}

void TestMainWindow::controllerDemandsPage()
{
    auto window = openWindow(makeConfiguration(QString()));
    QTRY_COMPARE(window->pages()->currentIndex(), int(MainWindow::MainContentPage));
    EStackWidget *pages = window->mainContent()->stack();
    window->controlerStateChanged(QAbstractSocket::ConnectedState, 1);
    ReservVariables v = status(0, 0);
    v.pageSelection = 0;
    window->readyToUpdateResVars(v);
    QCOMPARE(pages->currentIndex(), 7);
    // The alerts page opens on demand even though the alarm button is disabled.
    v.pageSelection = 3;
    window->readyToUpdateResVars(v);
    QCOMPARE(pages->currentIndex(), 3);
    // The same demand again does not switch back after the person moved on.
    window->mainContent()->GotoHome();
    QCOMPARE(pages->currentIndex(), 7);
    window->readyToUpdateResVars(v);
    QCOMPARE(pages->currentIndex(), 7);
    v.pageSelection = 5;
    window->readyToUpdateResVars(v);
    QCOMPARE(pages->currentIndex(), 5);
}

void TestMainWindow::soundsAreReportedWithTheirNumber_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("reports");
    QTest::newRow("plays") << wave(150) << QStringList{"SoundStarted 3", "SoundStoped 3"};
    QTest::newRow("cannot be played")
        << QByteArray("RIFF\x10\0\0\0WAVEjunkjunk", 20) << QStringList{"SoundError 3"};
    QTest::newRow("file missing") << QByteArray() << QStringList{"SoundNotfound 3"};
}

void TestMainWindow::soundsAreReportedWithTheirNumber()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, reports);
    // Only a sound that reaches an output plays to its end; the player's own tests skip so too.
    if (reports.contains(QStringLiteral("SoundStoped 3")) &&
        QAudioDeviceInfo::defaultOutputDevice().isNull())
        QSKIP("no audio output device (start a sound server, e.g. PulseAudio with a null sink)");
    const QString folder =
        makeConfiguration(QStringLiteral(" <sound fileName=\"bell.wav\" value=\"3\"/>"));
    if (!file.isEmpty()) {
        QFile f(folder + QStringLiteral("/bell.wav"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
    }
    auto window = openWindow(folder);
    QTRY_COMPARE(window->pages()->currentIndex(), int(MainWindow::MainContentPage));
    ReportSink sink;
    window->setReportTarget(&sink);
    window->controlerStateChanged(QAbstractSocket::ConnectedState, 1);
    ReservVariables v = status(255, 0);
    v.soundNumber = 3;
    v.soundUnchanged = false;
    window->readyToUpdateResVars(v);
    // Playback starts only after the status handler returned.
    QVERIFY(sink.calls.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(sink.texts(), reports, 10000);
}

void TestMainWindow::logsAreWritten()
{
    const QString folder = makeConfiguration(
        QStringLiteral(" <writearchive value=\"true\"/>\n <writealarm value=\"true\"/>\n"
                       " <archivedelay value=\"10000\"/>"));
    auto window = openWindow(folder);
    QTRY_COMPARE(window->pages()->currentIndex(), int(MainWindow::MainContentPage));
    window->controlerStateChanged(QAbstractSocket::ConnectedState, 1);
    ReservVariables v = status(1, 0);
    v.parameterBytes = QByteArray(16, '\x05');
    AlertStruct alert;
    alert.active = 1;
    alert.id = 1;
    alert.stateByte = 0x0C;
    alert.text = QStringLiteral("Leak");
    v.messages = {alert};
    window->readyToUpdateResVars(v);
    const QDir archive(folder + QStringLiteral("/Archive"));
    const QDir alarms(folder + QStringLiteral("/Alarms"));
    QCOMPARE(archive.entryList(QDir::Files).size(), 1);
    QCOMPARE(alarms.entryList(QDir::Files).size(), 1);
    QFile rows(archive.filePath(archive.entryList(QDir::Files).first()));
    QVERIFY(rows.open(QIODevice::ReadOnly));
    const int lines = rows.readAll().count('\n');
    // A second record within the archive interval writes no second row.
    m_now = m_now.addSecs(5);
    window->readyToUpdateResVars(v);
    rows.seek(0);
    QCOMPARE(rows.readAll().count('\n'), lines);
    m_now = m_now.addSecs(6);
    window->readyToUpdateResVars(v);
    rows.seek(0);
    QCOMPARE(rows.readAll().count('\n'), lines + 1);
}

void TestMainWindow::contentHeight_data()
{
    QTest::addColumn<QString>("drawType");
    QTest::addColumn<QString>("zoomHeight");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qreal>("height");
    QTest::newRow("normal") << "normal"
                            << "768" << QSize(1280, 800) << 800.0;
    QTest::newRow("auto small width") << "auto"
                                      << "768" << QSize(1024, 900) << 900.0;
    QTest::newRow("auto large") << "auto"
                                << "768" << QSize(1280, 800) << 768.0;
    QTest::newRow("scale") << "scale"
                           << "600" << QSize(1000, 700) << 600.0;
    QTest::newRow("scale with zero zoom") << "scale"
                                          << "0" << QSize(1000, 700) << 700.0;
    QTest::newRow("scale with negative zoom") << "scale"
                                              << "-5" << QSize(1000, 700) << 700.0;
}

void TestMainWindow::contentHeight()
{
    QFETCH(QString, drawType);
    QFETCH(QString, zoomHeight);
    QFETCH(QSize, size);
    QFETCH(qreal, height);
    auto window = openWindow(
        makeConfiguration(QStringLiteral(" <drawtype value=\"%1\"/>\n <zoomheight value=\"%2\"/>\n"
                                         " <width value=\"%3\"/>\n <height value=\"%4\"/>")
                              .arg(drawType, zoomHeight)
                              .arg(size.width())
                              .arg(size.height())));
    QTRY_COMPARE(window->pages()->currentIndex(), int(MainWindow::MainContentPage));
    window->resize(size);
    QTRY_COMPARE(window->size(), size);
    QCOMPARE(window->contentHeight(), height);
    // The content is laid out at that height with the window's aspect ratio.
    QTRY_COMPARE(window->pages()->size().height(), height);
    QCOMPARE(qRound(window->pages()->size().width()),
             qRound(height * size.width() / size.height()));
}

void TestMainWindow::titleShowsTheSize()
{
    auto window = openWindow(makeConfiguration(QString()));
    window->resize(900, 600);
    QTRY_COMPARE(window->windowTitle(),
                 QStringLiteral("VerandixEditor %1 (Size: 900x600)")
                     .arg(QCoreApplication::applicationVersion().section(QLatin1Char('.'), 0, 1)));
}

void TestMainWindow::geometryIsWrittenBack_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QString>("mode");
    // Every case starts normal at 100,100 700x500; what is stored is always that normal geometry.
    QTest::newRow("normal") << QStringList{} << "normal";
    QTest::newRow("full screen by F12") << QStringList{"F12"} << "fullscreen";
    QTest::newRow("F12 twice") << QStringList{"F12", "F12"} << "normal";
    QTest::newRow("maximized, F12") << QStringList{"max", "F12"} << "fullscreen";
    QTest::newRow("maximized, F11 twice") << QStringList{"max", "F11", "F11"} << "maximized";
    QTest::newRow("collapsed") << QStringList{"collapse"} << "normal";
    QTest::newRow("collapsed and expanded") << QStringList{"collapse", "collapse"} << "normal";
}

void TestMainWindow::geometryIsWrittenBack()
{
    QFETCH(QStringList, actions);
    QFETCH(QString, mode);
    const QString folder = makeConfiguration(
        QStringLiteral(" <posx value=\"100\"/>\n <posy value=\"100\"/>\n <width value=\"700\"/>\n"
                       " <height value=\"500\"/>\n <wndview value=\"normal\"/>"));
    auto window = openWindow(folder);
    QTRY_COMPARE(window->pages()->currentIndex(), int(MainWindow::MainContentPage));
    QCOMPARE(window->geometry(), QRect(100, 100, 700, 500));
    for (const QString &action : actions) {
        if (action == QLatin1String("max")) {
            window->showMaximized();
        } else if (action == QLatin1String("collapse")) {
            window->PanelShowHide();
        } else {
            QKeyEvent key(QEvent::KeyPress,
                          action == QLatin1String("F12") ? Qt::Key_F12 : Qt::Key_F11,
                          Qt::NoModifier);
            QCoreApplication::sendEvent(window.get(), &key);
        }
        QCoreApplication::processEvents();
    }
    window->shutdown();
    const EAppSettings &s = ECoreApp::instance()->settings();
    QCOMPARE(s.value(EAppSettings::WndView).toString(), mode);
    QCOMPARE(QRect(s.value(EAppSettings::PosX).toInt(), s.value(EAppSettings::PosY).toInt(),
                   s.value(EAppSettings::Width).toInt(), s.value(EAppSettings::Height).toInt()),
             QRect(100, 100, 700, 500));
}

// The view button's picture is the view a tap leads to: collapse when expanded, expand when
// collapsed; full screen when windowed, back to a window when full screen.
void TestMainWindow::viewButtonShowsWhatItWillDo()
{
    auto window = openWindow(
        makeConfiguration(QStringLiteral(" <width value=\"700\"/>\n <height value=\"500\"/>\n"
                                         " <wndview value=\"normal\"/>")));
    QTRY_COMPARE(window->pages()->currentIndex(), int(MainWindow::MainContentPage));
    ExtToolWidget *button = window->mainContent()->viewButton();
    QCOMPARE(button->resourceImage(), QStringLiteral("minimize.png"));
    window->PanelShowHide();
    QVERIFY(window->isCollapsed());
    QCOMPARE(button->resourceImage(), QStringLiteral("expand.png"));
    window->PanelShowHide();
    QVERIFY(!window->isCollapsed());
    QCOMPARE(button->resourceImage(), QStringLiteral("minimize.png"));
    // A long press switches the button to full screen toggling.
    window->panelViewChange();
    QCOMPARE(button->resourceImage(), QStringLiteral("fullscreenicon.png"));
    window->PanelShowHide();
    QTRY_VERIFY(window->isFullScreen());
    QCOMPARE(button->resourceImage(), QStringLiteral("fullscreenexit.png"));
    window->PanelShowHide();
    QTRY_VERIFY(!window->isFullScreen());
    QCOMPARE(button->resourceImage(), QStringLiteral("fullscreenicon.png"));
}

void TestMainWindow::positionOffEveryScreenIsMovedOn()
{
    auto window = openWindow(
        makeConfiguration(QStringLiteral(" <posx value=\"-30000\"/>\n <posy value=\"40000\"/>\n"
                                         " <width value=\"600\"/>\n <height value=\"400\"/>")));
    QTRY_COMPARE(window->pages()->currentIndex(), int(MainWindow::MainContentPage));
    bool onScreen = false;
    for (QScreen *screen : QGuiApplication::screens())
        onScreen = onScreen || screen->availableGeometry().intersects(window->geometry());
    QVERIFY2(onScreen,
             qPrintable(QStringLiteral("window at %1,%2").arg(window->x()).arg(window->y())));
    QCOMPARE(window->size(), QSize(600, 400));
}

void TestMainWindow::windowLargerThanTheScreenIsFitted_data()
{
    QTest::addColumn<bool>("moved");
    QTest::newRow("left as fitted") << false;
    QTest::newRow("moved by the person") << true;
}

// The demo asks for 1024 x 700 at 100,100; the test screen is smaller.
void TestMainWindow::windowLargerThanTheScreenIsFitted()
{
    QFETCH(bool, moved);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect wanted(area.left() + 100, area.top() + 100, area.width() + 224,
                       area.height() + 100);
    auto window = openWindow(makeConfiguration(
        QStringLiteral(" <posx value=\"%1\"/>\n <posy value=\"%2\"/>\n <width value=\"%3\"/>\n"
                       " <height value=\"%4\"/>\n <drawtype value=\"auto\"/>")
            .arg(wanted.x())
            .arg(wanted.y())
            .arg(wanted.width())
            .arg(wanted.height())));
    QTRY_COMPARE(window->pages()->currentIndex(), int(MainWindow::MainContentPage));
    // The window and its frame on the screen, as large as the screen allows.
    const QRect frame = window->frameGeometry();
    QVERIFY2(area.contains(frame), qPrintable(QStringLiteral("frame at %1,%2 %3x%4")
                                                  .arg(frame.x())
                                                  .arg(frame.y())
                                                  .arg(frame.width())
                                                  .arg(frame.height())));
    QCOMPARE(frame.size(), area.size());
    // Laid out at the window's own pixels, the top bar and the whole page on screen.
    QCOMPARE(window->contentHeight(), qreal(window->height()));
    QCOMPARE(window->mainContent()->size(), QSizeF(window->size()));
    // Room plans keep the page of the window asked for.
    QCOMPARE(LazyRoomPage::smallestFormSize(), QSizeF(wanted.width(), wanted.height() - 60));
    const QRect movedTo = window->geometry().adjusted(10, 10, -10, -10);
    if (moved)
        window->setGeometry(movedTo);
    window->shutdown();
    const EAppSettings &s = ECoreApp::instance()->settings();
    const QRect written(s.value(EAppSettings::PosX).toInt(), s.value(EAppSettings::PosY).toInt(),
                        s.value(EAppSettings::Width).toInt(),
                        s.value(EAppSettings::Height).toInt());
    QCOMPARE(written, moved ? movedTo : wanted);
    LazyRoomPage::setSmallestFormSize(QSizeF());
}

void TestMainWindow::realLinkPaintsTheTopBar()
{
    FakeController controller;
    QVERIFY(controller.start());
    QByteArray block(60, '\0');
    block[0] = char(2); // two alarms
    const quint32 seconds = quint32(QDateTime::currentSecsSinceEpoch());
    for (int i = 0; i < 4; ++i)
        block[40 + i] = char((seconds >> (8 * i)) & 0xFF);
    controller.setBytes(0, block);
    ECoreApp::instance()->setController(new ControlerData);
    auto window = openWindow(
        makeConfiguration(QStringLiteral(" <ipport value=\"%1\"/>").arg(controller.port())));
    window->setClock([] { return QDateTime::currentDateTime(); });
    MainContentForm *content = window->mainContent();
    QTRY_COMPARE_WITH_TIMEOUT(content->alarmButton()->text(), QStringLiteral("count\nalarms: 2"),
                              10000);
    QCOMPARE(content->connectionButton()->resourceImage(), QStringLiteral("connected_ip1-ok.png"));
    controller.stop();
    QTRY_COMPARE_WITH_TIMEOUT(content->connectionButton()->resourceImage(),
                              QStringLiteral("connecting_ip1.png"), 15000);
    window->shutdown();
}

void TestMainWindow::splashRunsTheDemo()
{
    if (ECoreApp::instance()->startMode() != StartMode::Demo)
        QSKIP("a configuration exists in this user's folders; the demo is not offered");
    MainWindow window;
    QSignalSpy ready(&window, &MainWindow::controlsReady);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.pages()->currentIndex(), int(MainWindow::SplashPage));
    // The splash is laid out 480 high whatever the window's size.
    QCOMPARE(window.pages()->size().height(), 480.0);
    EBaseWidget *button = window.splash()->runDemoButton();
    const QPoint at = window.mapFromScene(button->mapToScene(button->rect().center()));
    QSignalSpy clicked(button, &EBaseWidget::clicked);
    QSignalSpy failed(&window, &MainWindow::loadingFailed);
    QTest::mouseClick(window.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(clicked.count(), 1);
    QVERIFY2(ready.count() || ready.wait(20000), qPrintable(failed.value(0).value(0).toString()));
    QCOMPARE(window.pages()->currentIndex(), int(MainWindow::MainContentPage));
    QVERIFY(window.mainContent()->stack()->count() > 10);
    window.shutdown();
}

void TestMainWindow::splashButtonAndF1OpenTheUserGuide()
{
    if (ECoreApp::instance()->startMode() != StartMode::Demo)
        QSKIP("a configuration exists in this user's folders; the splash is not shown");
    QTemporaryDir root;
    QDir dir(root.path());
    QVERIFY(dir.mkpath(QStringLiteral("bin")) && dir.mkpath(QStringLiteral("share/doc/verandix")));
    QFile guide(dir.filePath(QStringLiteral("share/doc/verandix/user-guide.html")));
    QVERIFY(guide.open(QIODevice::WriteOnly));
    guide.close();
    UserGuide::setApplicationDir(dir.filePath(QStringLiteral("bin")));
    QList<QUrl> opened;
    UserGuide::setOpener([&opened](const QUrl &url) {
        opened << url;
        return true;
    });

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.pages()->currentIndex(), int(MainWindow::SplashPage));
    EBaseWidget *button = window.splash()->guideButton();
    QVERIFY(button->isVisible());
    const QPoint at = window.mapFromScene(button->mapToScene(button->rect().center()));
    QTest::mouseClick(window.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    const QList<QUrl> once{QUrl::fromLocalFile(guide.fileName())};
    QCOMPARE(opened, once);
    QTest::keyClick(&window, Qt::Key_F1);
    QCOMPARE(opened, once + once);
    // No demo was started by either.
    QCOMPARE(window.pages()->currentIndex(), int(MainWindow::SplashPage));

    UserGuide::setOpener({});
    UserGuide::setApplicationDir(QString());
}

void TestMainWindow::splashOpensAPickedConfiguration_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("folder picked") << false;
    QTest::newRow("picker cancelled") << true;
}

// "Open configuration..." beside "Run Demo": the folder the person picks is loaded as the
// configuration; cancelling the picker leaves the splash as it was.
void TestMainWindow::splashOpensAPickedConfiguration()
{
    QFETCH(bool, cancel);
    if (ECoreApp::instance()->startMode() != StartMode::Demo)
        QSKIP("a configuration exists in this user's folders; the splash is not shown");
    const QString folder = makeConfiguration(QString());
    MainWindow window;
    window.setClock([this] { return m_now; });
    QSignalSpy ready(&window, &MainWindow::controlsReady);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.pages()->currentIndex(), int(MainWindow::SplashPage));
    QStringList asked;
    window.splash()->setFolderPicker([&](const QString &title) {
        asked << title;
        return cancel ? QString() : folder;
    });
    EBaseWidget *button = window.splash()->openConfigurationButton();
    QVERIFY(button && button->isVisible());
    const QPoint at = window.mapFromScene(button->mapToScene(button->rect().center()));
    QTest::mouseClick(window.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(asked.size(), 1);
    QVERIFY(!asked.first().isEmpty());
    if (cancel) {
        QCoreApplication::processEvents();
        QCOMPARE(window.pages()->currentIndex(), int(MainWindow::SplashPage));
        QCOMPARE(ready.count(), 0);
    } else {
        QVERIFY(ready.count() || ready.wait(20000));
        QCOMPARE(window.pages()->currentIndex(), int(MainWindow::MainContentPage));
        QCOMPARE(QDir(ECoreApp::instance()->configurationFolder()).canonicalPath(),
                 QDir(folder).canonicalPath());
    }
    window.shutdown();
}

void TestMainWindow::f1SaysWhereTheGuideIs_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("browser");
    QTest::addColumn<QString>("says");
    QTest::newRow("no browser") << true << false << "No browser opened the user guide";
    QTest::newRow("browser") << true << true << "handed to your browser";
    QTest::newRow("no guide") << false << false << "No user guide was installed";
}

// With no browser to open it, F1 still shows something: where the guide is.
void TestMainWindow::f1SaysWhereTheGuideIs()
{
    QFETCH(bool, installed);
    QFETCH(bool, browser);
    QFETCH(QString, says);
    QTemporaryDir root;
    QDir dir(root.path());
    QVERIFY(dir.mkpath(QStringLiteral("bin")) && dir.mkpath(QStringLiteral("share/doc/verandix")));
    const QString path = dir.filePath(QStringLiteral("share/doc/verandix/user-guide.html"));
    if (installed) {
        QFile guide(path);
        QVERIFY(guide.open(QIODevice::WriteOnly));
    }
    UserGuide::setApplicationDir(dir.filePath(QStringLiteral("bin")));
    UserGuide::setOpener([browser](const QUrl &) { return browser; });

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.noticeText(), QString());
    QTest::keyClick(&window, Qt::Key_F1);
    QVERIFY2(window.noticeText().contains(says), qPrintable(window.noticeText()));
    QCOMPARE(window.noticeText().contains(QDir::toNativeSeparators(path)), installed);

    UserGuide::setOpener({});
    UserGuide::setApplicationDir(QString());
}

void TestMainWindow::splashMakesANewHome_data()
{
    QTest::addColumn<bool>("empty");
    QTest::newRow("empty folder") << true;
    QTest::newRow("folder with a home") << false;
}

// "New home..." on the splash: an empty folder becomes a home that opens at once, with the
// controller's address the person gave; a folder that holds a configuration is not touched.
void TestMainWindow::splashMakesANewHome()
{
    QFETCH(bool, empty);
    if (ECoreApp::instance()->startMode() != StartMode::Demo)
        QSKIP("a configuration exists in this user's folders; the splash is not shown");
    QTemporaryDir target;
    const QString folder = target.filePath(QStringLiteral("house"));
    if (!empty) {
        QVERIFY(QDir().mkpath(folder));
        QFile kept(folder + QStringLiteral("/config.xml"));
        QVERIFY(kept.open(QIODevice::WriteOnly));
        kept.write("<config/>");
    }
    MainWindow window;
    window.setClock([this] { return m_now; });
    QSignalSpy ready(&window, &MainWindow::controlsReady);
    QSignalSpy failed(&window, &MainWindow::loadingFailed);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.pages()->currentIndex(), int(MainWindow::SplashPage));
    window.splash()->setFolderPicker([&](const QString &) { return folder; });
    QStringList offered;
    window.splash()->setAddressPicker([&](const QString &, const QString &address) {
        offered << address;
        return QStringLiteral("127.0.0.9");
    });
    EBaseWidget *button = window.splash()->newHomeButton();
    QVERIFY(button && button->isVisible());
    QCOMPARE(button->text(), QStringLiteral("New home..."));
    const QPoint at = window.mapFromScene(button->mapToScene(button->rect().center()));
    QTest::mouseClick(window.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(offered, QStringList{QStringLiteral("127.0.0.1")});
    if (empty) {
        QVERIFY(ready.count() || ready.wait(20000));
        QCOMPARE(window.pages()->currentIndex(), int(MainWindow::MainContentPage));
        ECoreApp *app = ECoreApp::instance();
        QCOMPARE(QDir(app->workingFolder()).canonicalPath(), QDir(folder).canonicalPath());
        QCOMPARE(app->settings().value(EAppSettings::IpAddress).toString(),
                 QStringLiteral("127.0.0.9"));
        QVERIFY(FormServices::rooms()->lightPage() && FormServices::rooms()->heatPage());
    } else {
        QVERIFY(failed.count() || failed.wait(5000));
        QVERIFY2(failed.last().at(0).toString().contains(QStringLiteral("config.xml")),
                 qPrintable(failed.last().at(0).toString()));
        QTRY_COMPARE(window.pages()->currentIndex(), int(MainWindow::SplashPage));
        QFile kept(folder + QStringLiteral("/config.xml"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("<config/>"));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 1);
    }
    window.shutdown();
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
