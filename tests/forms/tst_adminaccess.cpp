// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The administration PIN through the view: what asks for it, the wait after wrong PINs, the lock
// after an idle time, and the PIN kept as a hash.
#include "adminaccess.h"
#include "adminpindialog.h"
#include "eappsettings.h"
#include "ecombopopup.h"
#include "ecombowidget.h"
#include "ecoreapp.h"
#include "estackwidget.h"
#include "etextedit.h"
#include "exitform.h"
#include "exttoolwidget.h"
#include "formservices.h"
#include "maincontentform.h"
#include "maincontentworker.h"
#include "pinhash.h"
#include "roomconstantsv1.h"
#include "sceneform.h"
#include "screentestsupport.h"

#include <QFile>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

const QString kPin = QStringLiteral("4711");

// The demo home with a PIN, its main content on a view, the scenes page talking to a recording
// link, and a clock the test moves.
struct Panel
{
    Panel()
    {
        if (!fixture.loadDemo())
            return;
        ECoreApp::instance()->settings().setOptionalValue(QStringLiteral("admin_pin"), kPin);
        AdminAccess::setClock([this] { return now; });
        content = new MainContentForm;
        QSignalSpy finished(content, &MainContentForm::controlsFinished);
        fixture.place(content);
        content->createForms(FormServices::rooms());
        ok = finished.wait(30000);
        scenes = qobject_cast<SceneForm *>(page(RoomConstantsV1::FormScenes));
        if (scenes)
            scenes->setLink(&link);
    }
    ~Panel() { AdminAccess::setClock(nullptr); }

    QGraphicsWidget *page(int index) const { return content->stack()->widget(index); }
    int shown() const { return content->stack()->currentIndex(); }
    AdminPinDialog *pad() const { return AdminAccess::openPanel(content); }
    void show(int index)
    {
        content->worker()->gotoSystem(RoomConstantsV1::FormNumbers(index), QString());
        QCoreApplication::processEvents();
    }
    // Types digits on the pad and confirms them.
    void enter(const QString &pin)
    {
        AdminPinDialog *dialog = pad();
        QVERIFY(dialog);
        for (const QChar digit : pin)
            fixture.click(dialog->key(digit));
        fixture.click(dialog->key(QStringLiteral("ok")));
    }
    void chooseScene(int item)
    {
        ScenesStruct data;
        for (int i = 0; i < 8; ++i)
            data.activators.append(GActivators());
        data.names = QStringList{QStringLiteral("one"), QStringLiteral("two")};
        while (data.names.size() < 10)
            data.names.append(QString());
        emit link.ReadyUpdateScenes(data);
        QCoreApplication::processEvents();
        EComboWidget *list = scenes->sceneSelector();
        fixture.click(list);
        QVERIFY(list->popup());
        QTest::mouseClick(fixture.view()->viewport(), Qt::LeftButton, Qt::NoModifier,
                          fixture.view()->mapFromScene(list->popup()->rowSceneRect(item).center()));
        QCOMPARE(list->currentIndex(), item);
        link.clear();
    }

    ScreenFixture fixture;
    RecordingLink link;
    MainContentForm *content = nullptr;
    SceneForm *scenes = nullptr;
    qint64 now = 1000000;
    bool ok = false;
};

} // namespace

class TestAdminAccess : public QObject
{
    Q_OBJECT

private slots:
    void changesAskForThePin_data();
    void changesAskForThePin();
    void wrongPinsMakeThePadWait_data();
    void wrongPinsMakeThePadWait();
    void panelLocksAgainWhenLeftAlone_data();
    void panelLocksAgainWhenLeftAlone();
    void pinIsKeptAsAHash_data();
    void pinIsKeptAsAHash();
};

void TestAdminAccess::changesAskForThePin_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("program settings") << "settings";
    QTest::newRow("connection settings") << "connection";
    QTest::newRow("exit") << "exit";
    QTest::newRow("saving a scene") << "scene save";
    QTest::newRow("renaming a scene") << "scene rename";
}

// Each action is tried twice: Cancel on the pad leaves everything as it was, the right PIN lets
// the action through.
void TestAdminAccess::changesAskForThePin()
{
    QFETCH(QString, action);
    Panel p;
    QVERIFY(p.ok);
    QVERIFY(p.scenes);
    if (action.startsWith("scene")) {
        p.show(RoomConstantsV1::FormScenes);
        QCOMPARE(p.shown(), int(RoomConstantsV1::FormScenes));
        p.chooseScene(1);
    }
    int exitCode = -1;
    const auto act = [&] {
        if (action == "settings") {
            p.show(RoomConstantsV1::FormSettings);
        } else if (action == "connection") {
            p.fixture.click(p.content->connectionButton());
        } else if (action == "exit") {
            // The question itself is free to look at; Yes is what ends the program.
            p.show(RoomConstantsV1::FormExit);
            QCOMPARE(p.shown(), int(RoomConstantsV1::FormExit));
            p.fixture.click(qobject_cast<ExitForm *>(p.page(RoomConstantsV1::FormExit))->yesButton());
        } else if (action == "scene save") {
            p.fixture.click(p.scenes->saveButton());
        } else if (action == "scene rename") {
            p.fixture.click(p.scenes->renameButton());
        }
    };
    const auto happened = [&] {
        if (action == "settings")
            return p.shown() == RoomConstantsV1::FormSettings;
        if (action == "connection")
            return p.shown() == RoomConstantsV1::FormConnection;
        if (action == "exit")
            return exitCode == 0;
        if (action == "scene save")
            return p.link.names().contains(QStringLiteral("WriteGlobalScene"));
        return p.scenes->renameField()->isVisible();
    };
    const int before = p.shown();

    act();
    QVERIFY2(p.pad(), "no PIN asked");
    QVERIFY(!happened());
    p.fixture.click(p.pad()->key(QStringLiteral("cancel")));
    QVERIFY(!p.pad());
    QVERIFY(!happened());
    QCOMPARE(p.shown(), action == "exit" ? int(RoomConstantsV1::FormExit) : before);

    act();
    QVERIFY(p.pad());
    if (action == "exit") {
        // Exit ends the program's event loop: it is run here to see it end (a plain local loop
        // would leave the thread marked as quitting for every later wait).
        QTimer::singleShot(0, p.content, [&] { p.enter(kPin); });
        QTimer::singleShot(10000, p.content, [] { QCoreApplication::exit(1); });
        exitCode = QCoreApplication::exec();
    } else {
        p.enter(kPin);
    }
    QVERIFY(!p.pad());
    QVERIFY(happened());
}

void TestAdminAccess::wrongPinsMakeThePadWait_data()
{
    // Steps: a PIN to enter ("right", "wrong", "empty"), or "+N" seconds passing. After each entry the
    // expected outcome: "in" (unlocked), "wrong" (refused, try again now), or "wait N" (refused,
    // N seconds to go).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("outcomes");
    // clang-format off
    QTest::newRow("two wrong, then right at once")
        << QStringList{"wrong", "wrong", "right"}
        << QStringList{"wrong", "wrong", "in"};
    QTest::newRow("OK on nothing is not counted")
        << QStringList{"empty", "empty", "empty", "wrong", "wrong", "right"}
        << QStringList{"wrong", "wrong", "wrong", "wrong", "wrong", "in"};
    QTest::newRow("the third wrong one makes the pad wait")
        << QStringList{"wrong", "wrong", "wrong", "right"}
        << QStringList{"wrong", "wrong", "wait 30", "wait 30"};
    QTest::newRow("right after the wait")
        << QStringList{"wrong", "wrong", "wrong", "+29", "right", "+1", "right"}
        << QStringList{"wrong", "wrong", "wait 30", "", "wait 1", "", "in"};
    QTest::newRow("every further wrong one doubles the wait")
        << QStringList{"wrong", "wrong", "wrong", "+30", "wrong", "+60", "wrong", "+120", "right"}
        << QStringList{"wrong", "wrong", "wait 30", "", "wait 60", "", "wait 120", "", "in"};
    QTest::newRow("the wait stops growing at 15 minutes")
        << QStringList{"wrong", "wrong", "wrong", "+30", "wrong", "+60", "wrong", "+120", "wrong",
                       "+240", "wrong", "+480", "wrong", "+900", "wrong"}
        << QStringList{"wrong", "wrong", "wait 30", "", "wait 60", "", "wait 120", "", "wait 240",
                       "", "wait 480", "", "wait 900", "", "wait 900"};
    // clang-format on
}

void TestAdminAccess::wrongPinsMakeThePadWait()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, outcomes);
    Panel p;
    QVERIFY(p.ok);
    p.show(RoomConstantsV1::FormSettings);
    for (int i = 0; i < steps.size(); ++i) {
        const QString step = steps.at(i);
        if (step.startsWith('+')) {
            p.now += step.mid(1).toLongLong() * 1000;
            continue;
        }
        p.enter(step == "right" ? kPin : step == "empty" ? QString() : QStringLiteral("1234"));
        const QString outcome = outcomes.at(i);
        const QString where = QStringLiteral("step %1 (%2)").arg(i + 1).arg(step);
        if (outcome == "in") {
            QVERIFY2(!p.pad(), qPrintable(where));
            QCOMPARE(p.shown(), int(RoomConstantsV1::FormSettings));
            continue;
        }
        QVERIFY2(p.pad(), qPrintable(where));
        QVERIFY2(p.shown() != RoomConstantsV1::FormSettings, qPrintable(where));
        QCOMPARE(p.pad()->enteredText(), QString());
        const QString expected =
            outcome == "wrong"
                ? QStringLiteral("Wrong PIN")
                : QStringLiteral("Too many wrong PINs: try again in %1 s").arg(outcome.mid(5));
        QCOMPARE(p.pad()->messageText(), expected);
    }
}

void TestAdminAccess::panelLocksAgainWhenLeftAlone_data()
{
    QTest::addColumn<QString>("setting"); // admin_relock_minutes; empty: not in config.xml
    QTest::addColumn<int>("idleSeconds");
    QTest::addColumn<bool>("locked");
    QTest::newRow("default, 4 minutes") << QString() << 4 * 60 << false;
    QTest::newRow("default, 5 minutes") << QString() << 5 * 60 << true;
    QTest::newRow("1 minute, 59 s") << "1" << 59 << false;
    QTest::newRow("1 minute, 61 s") << "1" << 61 << true;
    QTest::newRow("never, a day") << "0" << 24 * 3600 << false;
    QTest::newRow("unreadable is the default") << "soon" << 5 * 60 << true;
}

// Unlocked on the program settings page, then left alone: once the idle time is over the page
// closes to the home page and the next change asks again. Anything a person does meanwhile
// starts the time again.
void TestAdminAccess::panelLocksAgainWhenLeftAlone()
{
    QFETCH(QString, setting);
    QFETCH(int, idleSeconds);
    QFETCH(bool, locked);
    Panel p;
    QVERIFY(p.ok);
    if (!setting.isNull())
        ECoreApp::instance()->settings().setOptionalValue("admin_relock_minutes", setting);
    p.show(RoomConstantsV1::FormSettings);
    p.enter(kPin);
    QCOMPARE(p.shown(), int(RoomConstantsV1::FormSettings));

    // A key half-way restarts the idle time.
    p.now += idleSeconds * 500;
    QTest::keyClick(p.fixture.view()->viewport(), Qt::Key_Shift);
    p.now += idleSeconds * 500;
    AdminAccess::checkIdle();
    QVERIFY(AdminAccess::isUnlocked());
    QCOMPARE(p.shown(), int(RoomConstantsV1::FormSettings));

    QSignalSpy relocked(AdminAccess::events(), &AdminAccess::Events::relocked);
    p.now += idleSeconds * 500;
    AdminAccess::checkIdle();
    QCOMPARE(relocked.count(), locked ? 1 : 0);
    QCOMPARE(p.shown(), locked ? int(MainContentWorker::kHomePage)
                               : int(RoomConstantsV1::FormSettings));
    p.show(RoomConstantsV1::FormConnection);
    QCOMPARE(p.pad() != nullptr, locked);
    QCOMPARE(p.shown() == RoomConstantsV1::FormConnection, !locked);
}

void TestAdminAccess::pinIsKeptAsAHash_data()
{
    QTest::addColumn<QString>("written"); // admin_pin as config.xml holds it
    QTest::addColumn<bool>("asked");
    QTest::newRow("PIN in clear") << kPin << true;
    QTest::newRow("PIN as a hash") << PinHash::make(kPin, 1000) << true;
    QTest::newRow("no PIN") << QString() << false;
}

// config.xml may hold the PIN in clear (written by hand): it is read once and the file holds its
// hash from the next save on; the same PIN opens the panel before and after.
void TestAdminAccess::pinIsKeptAsAHash()
{
    QFETCH(QString, written);
    QFETCH(bool, asked);
    QByteArray saved;
    {
        ScreenFixture fixture;
        QVERIFY(fixture.loadSettings(
            written.isEmpty() ? QString()
                              : QStringLiteral(" <admin_pin value=\"%1\"/>\n").arg(written)));
        QCOMPARE(AdminAccess::hasPin(), asked);
        // As the window does once config.xml is read; then the next save.
        AdminAccess::hashStoredPin();
        const QString path = fixture.folder() + QStringLiteral("/config.xml");
        QVERIFY(ECoreApp::instance()->settings().save(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        saved = file.readAll();
        QVERIFY2(!saved.contains("\"" + kPin.toUtf8() + "\""), saved.constData());
        QCOMPARE(saved.contains("admin_pin value=\"$pbkdf2-sha256$"), asked);
        if (written.startsWith('$'))
            QVERIFY2(saved.contains(written.toUtf8()), "a stored hash is kept as it is");
    }
    if (!asked)
        return;
    // The next start reads the hash; the pad takes the PIN, not the text in the file.
    QByteArray body = saved.mid(saved.indexOf("<config"));
    body = body.mid(body.indexOf('\n') + 1);
    body.truncate(body.lastIndexOf("</config>"));
    ScreenFixture again;
    QVERIFY(again.loadSettings(QString::fromUtf8(body)));
    QVERIFY(AdminAccess::hasPin());
    QVERIFY(!AdminAccess::isUnlocked());
    const QString hash =
        ECoreApp::instance()->settings().optionalValue(QStringLiteral("admin_pin"));
    QCOMPARE(AdminAccess::check(hash).accepted, false);
    QCOMPARE(AdminAccess::check(QStringLiteral("4712")).accepted, false);
    QCOMPARE(AdminAccess::check(kPin).accepted, true);
    QVERIFY(AdminAccess::isUnlocked());
}

QTEST_MAIN(TestAdminAccess)
#include "tst_adminaccess.moc"
