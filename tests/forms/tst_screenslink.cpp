// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The fixed screens against the home controller simulator through the real controller link: what
// the person does on a screen arrives in the simulated controller, and what the controller
// reports shows on the screen.
#include "alertform.h"
#include "connsettform.h"
#include "controlerdata.h"
#include "eappsettings.h"
#include "ecombopopup.h"
#include "ecombowidget.h"
#include "ecoreapp.h"
#include "enumericwidget.h"
#include "eradiobuttonwidget.h"
#include "etableitem.h"
#include "etablewidget.h"
#include "etextedit.h"
#include "exttoolwidget.h"
#include "formservices.h"
#include "sceneform.h"
#include "screentestsupport.h"
#include "secureform.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QtTest>
#include <algorithm>

namespace {
constexpr int kStartTimeoutMs = 15000;
constexpr int kLinkTimeoutMs = 10000;
// The simulator's clock starts in 2000 (946684800 s = words 0x4380, 0x386D), far from today.
const char *const kScenario = "0 set word 20 17280\n"
                              "0 set word 21 14445\n"
                              "0 alarm on 2 128\n";
} // namespace

class TestScreensLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void keypadArmsWithTheUserCode();
    void sceneSavedAndReadBack();
    void cyrillicSceneNameReadBack();
    void synchronizeSetsTheControllerClock();
    void alarmListedAndSwitchedOff();
    void commandsOfEachKindOfLink();
    void leavingConnectionPageReconnectsToTheNewPort();

private:
    void command(const QByteArray &line);
    ScreenFixture m_fixture;
    QProcess m_sim;
    ControlerData *m_link = nullptr;
    QTemporaryDir m_scratch;
};

void TestScreensLink::initTestCase()
{
    QVERIFY(m_fixture.loadDemo());
    const QString scenario = m_scratch.filePath("screens.scenario");
    QFile file(scenario);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(kScenario);
    file.close();

    m_sim.setProgram(QStringLiteral(HOMESIM_PATH));
    m_sim.setArguments({"--listen", "127.0.0.1:0", "--config", m_fixture.folder(), "--scenario",
                        scenario, "--quiet", "--stop-on-eof", "--arm-delay", "1"});
    m_sim.start();
    QVERIFY(m_sim.waitForStarted(kStartTimeoutMs));
    int port = 0;
    QElapsedTimer timer;
    timer.start();
    while (port == 0 && timer.elapsed() < kStartTimeoutMs) {
        if (!m_sim.canReadLine() && !m_sim.waitForReadyRead(int(kStartTimeoutMs - timer.elapsed())))
            break;
        while (m_sim.canReadLine()) {
            const QString line = QString::fromUtf8(m_sim.readLine()).trimmed();
            if (line.startsWith(QLatin1String("listening on ")))
                port = line.section(QLatin1Char(':'), -1).toInt();
        }
    }
    QVERIFY2(port > 0, m_sim.readAllStandardError().constData());

    // Loopback only, both addresses.
    EAppSettings &settings = ECoreApp::instance()->settings();
    settings.setValue(EAppSettings::IpAddress, QStringLiteral("127.0.0.1"));
    settings.setValue(EAppSettings::IpAddress2, QStringLiteral("127.0.0.1"));
    settings.setValue(EAppSettings::IpPort, port);
    settings.setValue(EAppSettings::Timeout, 200);
    m_link = new ControlerData;
    m_link->configure(settings, false);
    // The application core owns the link from here on, and the screens find it there.
    ECoreApp::instance()->setController(m_link);
    // Received queued in this thread: a signal spy would record in the link thread.
    int statusRecords = 0;
    QMetaObject::Connection counting = connect(m_link, &ControlerData::ReadyUpdateAlerts, this,
                                               [&statusRecords] { ++statusRecords; });
    m_link->start();
    QTRY_VERIFY_WITH_TIMEOUT(statusRecords > 0, kLinkTimeoutMs);
    disconnect(counting);
}

void TestScreensLink::cleanupTestCase()
{
    if (m_link)
        m_link->shutdown();
    if (m_sim.state() != QProcess::NotRunning) {
        m_sim.closeWriteChannel();
        if (!m_sim.waitForFinished(5000)) {
            m_sim.terminate();
            if (!m_sim.waitForFinished(5000))
                m_sim.kill();
        }
    }
}

void TestScreensLink::command(const QByteArray &line)
{
    m_sim.write(line + '\n');
    m_sim.waitForBytesWritten(1000);
}

void TestScreensLink::keypadArmsWithTheUserCode()
{
    auto *form = new SecureForm;
    m_fixture.place(form);
    QTRY_COMPARE_WITH_TIMEOUT(form->stateText(), QStringLiteral("Disarmed"), kLinkTimeoutMs);
    for (const char *key : {"9", "9", "Enter"})
        m_fixture.click(form->button(key));
    QTRY_COMPARE_WITH_TIMEOUT(form->stateText(), QStringLiteral("Wrong pass!"), kLinkTimeoutMs);
    for (const char *key : {"1", "2", "3", "4", "Enter"})
        m_fixture.click(form->button(key));
    // Arming counts down first (one second here).
    QTRY_COMPARE_WITH_TIMEOUT(form->stateText(), QStringLiteral("Armed"), kLinkTimeoutMs);
    for (const char *key : {"1", "2", "3", "4", "Enter"})
        m_fixture.click(form->button(key));
    QTRY_COMPARE_WITH_TIMEOUT(form->stateText(), QStringLiteral("Disarmed"), kLinkTimeoutMs);
    delete form;
}

void TestScreensLink::sceneSavedAndReadBack()
{
    auto *form = new SceneForm;
    QList<ScenesStruct> scenes;
    connect(m_link, &ControlerData::ReadyUpdateScenes, form,
            [&scenes](const ScenesStruct &s) { scenes.append(s); });
    m_fixture.place(form);
    QTRY_VERIFY_WITH_TIMEOUT(form->hasSceneData(), kLinkTimeoutMs);

    auto choose = [this](EComboWidget *list, int item) {
        m_fixture.click(list);
        QVERIFY(list->popup());
        QTest::mouseClick(
            m_fixture.view()->viewport(), Qt::LeftButton, Qt::NoModifier,
            m_fixture.view()->mapFromScene(list->popup()->rowSceneRect(item).center()));
        QCOMPARE(list->currentIndex(), item);
    };
    choose(form->sceneSelector(), 3);
    choose(form->lightSelector(), 5); // "Enable all"
    choose(form->heatSelector(), 2);
    for (int i = 0; i < 3; ++i)
        m_fixture.click(form->hourField(), form->hourField()->plusRect().center());
    m_fixture.click(form->smsField());
    form->smsField()->selectAll();
    QTest::keyClicks(m_fixture.view()->viewport(), "Party");
    const GActivators expected = form->editedActivators();
    QCOMPARE(int(expected.bytes[SceneForm::LightByte]), 100);
    QCOMPARE(int(expected.bytes[SceneForm::HourByte]), 3);
    m_fixture.click(form->saveButton());

    // The scene area as the link reads it back from the controller.
    auto readBack = [&scenes, &expected] {
        return std::any_of(scenes.cbegin(), scenes.cend(), [&expected](const ScenesStruct &s) {
            return s.activators.size() == 8 && s.activators.at(2) == expected &&
                   s.names.value(2) == QStringLiteral("Party");
        });
    };
    QTRY_VERIFY_WITH_TIMEOUT(readBack(), kLinkTimeoutMs);
    delete form;
}

// A scene name typed in Cyrillic reaches the controller in its one-byte encoding, cut between
// letters to the seven it holds, and comes back from it as typed.
void TestScreensLink::cyrillicSceneNameReadBack()
{
    auto *form = new SceneForm;
    QList<ScenesStruct> scenes;
    connect(m_link, &ControlerData::ReadyUpdateScenes, form,
            [&scenes](const ScenesStruct &s) { scenes.append(s); });
    m_fixture.place(form);
    QTRY_VERIFY_WITH_TIMEOUT(form->hasSceneData(), kLinkTimeoutMs);
    EComboWidget *selector = form->sceneSelector();
    m_fixture.click(selector);
    QVERIFY(selector->popup());
    QTest::mouseClick(m_fixture.view()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      m_fixture.view()->mapFromScene(selector->popup()->rowSceneRect(4).center()));
    QCOMPARE(selector->currentIndex(), 4);
    const int slot = 3; // the list starts with "no scene"
    m_fixture.click(form->smsField());
    form->smsField()->setText(QStringLiteral("Ужин готов всем!"));
    m_fixture.click(form->saveButton());
    auto readBack = [&scenes, slot] {
        return std::any_of(scenes.cbegin(), scenes.cend(), [slot](const ScenesStruct &s) {
            return s.names.value(slot) == QStringLiteral("Ужин го");
        });
    };
    QTRY_VERIFY_WITH_TIMEOUT(readBack(), kLinkTimeoutMs);
    delete form;
}

void TestScreensLink::synchronizeSetsTheControllerClock()
{
    auto *form = new ConnSettForm;
    m_fixture.place(form);
    QTRY_VERIFY_WITH_TIMEOUT(form->controllerTimeText().contains(".2000"), kLinkTimeoutMs);
    m_fixture.click(form->synchronizeButton());
    const QString today = QDate::currentDate().toString("dd.MM.yyyy");
    QTRY_VERIFY_WITH_TIMEOUT(form->controllerTimeText().startsWith(today), kLinkTimeoutMs);
    delete form;
}

void TestScreensLink::alarmListedAndSwitchedOff()
{
    auto *form = new AlertForm;
    m_fixture.place(form);
    ETableWidget *table = form->table();
    // Message 2 is the second row of the demo's list; "active alerts" is the filter on show.
    QTRY_VERIFY_WITH_TIMEOUT(!table->isRowHidden(1), kLinkTimeoutMs);
    QVERIFY(table->isRowHidden(0));
    QVERIFY(table->item(1, AlertForm::TimeColumn)->text() != QStringLiteral("-"));
    // Switching it inactive on the panel reaches the controller, which reports it back.
    m_fixture.click(table, table->cellRect(1, AlertForm::ActiveColumn).center());
    QTRY_VERIFY_WITH_TIMEOUT(table->isRowHidden(1), kLinkTimeoutMs);
    m_fixture.click(form->filterButton(0));
    QVERIFY(!table->isRowHidden(1));
    QVERIFY(!table->item(1, AlertForm::ActiveColumn)->isChecked());
    // Raised again and cleared by the controller itself.
    command("alarm on 3 10");
    QTRY_VERIFY_WITH_TIMEOUT(!table->isRowHidden(2), kLinkTimeoutMs);
    delete form;
}

// Screens find the commands of whatever they were given as the link: a stand-in's own, the
// controller link's queue, and none (nothing sent, nothing crashes) for anything else.
void TestScreensLink::commandsOfEachKindOfLink()
{
    RecordingLink standIn;
    QObject plain;
    QCOMPARE(FormServices::linkCommands(nullptr), nullptr);
    QCOMPARE(FormServices::linkCommands(&plain), nullptr);
    QCOMPARE(FormServices::linkCommands(&standIn), static_cast<LinkCommands *>(&standIn));
    QCOMPARE(FormServices::linkCommands(m_link), &m_link->commands());
    QCOMPARE(FormServices::linkCommands(FormServices::link()), &m_link->commands());
}

// A person corrects a wrong port on the connection page and leaves it: the running link connects
// to the new port and takes the new polling period, with no restart.
void TestScreensLink::leavingConnectionPageReconnectsToTheNewPort()
{
    // A loopback port nobody listens on: taken and given back at once.
    int wrongPort = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        wrongPort = probe.serverPort();
    }
    EAppSettings &settings = ECoreApp::instance()->settings();
    const int rightPort = settings.value(EAppSettings::IpPort).toInt();
    settings.setValue(EAppSettings::IpPort, wrongPort);
    ControlerData link;
    link.setWaitTimeout(500);
    link.configure(settings, false);
    int records = 0;
    connect(&link, &ControlerData::ReadyUpdateAlerts, this, [&records] { ++records; });
    link.start();

    auto *form = new ConnSettForm;
    form->setLink(&link);
    m_fixture.place(form);
    QTRY_VERIFY_WITH_TIMEOUT(link.port() == wrongPort && !link.isReady(), kLinkTimeoutMs);
    QCOMPARE(records, 0);

    auto type = [this](ENumericWidget *field, const QString &text) {
        m_fixture.click(field);
        for (int i = 0; i < 8; ++i)
            QTest::keyClick(m_fixture.view()->viewport(), Qt::Key_Backspace);
        QTest::keyClicks(m_fixture.view()->viewport(), text);
        QTest::keyClick(m_fixture.view()->viewport(), Qt::Key_Return);
    };
    type(form->portField(), QString::number(rightPort));
    type(form->pollingField(), QStringLiteral("300"));
    QCOMPARE(form->portField()->value(), double(rightPort));
    form->hide();

    QTRY_VERIFY_WITH_TIMEOUT(records > 0, kLinkTimeoutMs);
    QCOMPARE(link.port(), rightPort);
    QTRY_COMPARE_WITH_TIMEOUT(link.updateTimeout(), 300, kLinkTimeoutMs);
    link.shutdown();
    delete form;
    settings.setValue(EAppSettings::IpPort, rightPort);
}

QTEST_MAIN(TestScreensLink)
#include "tst_screenslink.moc"
