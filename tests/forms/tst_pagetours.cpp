// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// Ten tours of every page of a generated house in one process: room screens built and let go of,
// plan pictures decoded and evicted, over and over. What is held after the tenth tour must be
// what was held after the second, and everything must go when the window goes. In the sanitizer
// build LeakSanitizer checks the last part at exit (see CMakeLists.txt); here the counts do.
#include "benchproject.h"
#include "ecoreapp.h"
#include "estackwidget.h"
#include "extroomformv1.h"
#include "lazyroompage.h"
#include "maincontentform.h"
#include "maincontentworker.h"
#include "plancache.h"
#include "roomsv1.h"

#include <QFile>
#include <QGraphicsScene>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kRooms = 30;
constexpr int kControls = 10;
constexpr int kTours = 10;
// Small enough that every tour evicts pictures: a 1280x740 page draws a plan of about 3.5 MB.
constexpr int kPlanBudgetMiB = 12;

// What a tour leaves behind, counted through the screens' own accessors.
struct Held
{
    int builtScreens = 0;
    int sceneItems = 0;
    int pictures = 0;
    qint64 pictureBytes = 0;
    int history = 0;
    int liveForms = 0;
};

} // namespace

class TestPageTours : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void tenToursHoldWhatTheSecondHeld();

private:
    Held held() const;
    void tour();

    QTemporaryDir m_dir;
    QGraphicsScene *m_scene = nullptr;
    MainContentForm *m_form = nullptr;
    QList<QPointer<ExtRoomFormV1>> m_everBuilt;
};

void TestPageTours::initTestCase()
{
    QVERIFY(m_dir.isValid());
    BenchProjectOptions options;
    options.rooms = kRooms;
    options.controls = kControls;
    QString error;
    QVERIFY2(writeBenchProject(m_dir.path(), options, &error), qPrintable(error));
    // A plan budget below the house's plans, so that the tours evict and decode again.
    QFile config(m_dir.filePath(QStringLiteral("config.xml")));
    QVERIFY(config.open(QIODevice::ReadOnly));
    QByteArray xml = config.readAll();
    config.close();
    QVERIFY(xml.contains("</config>"));
    xml.replace("</config>", QByteArray(" <plan_cache_mb value=\"") +
                                 QByteArray::number(kPlanBudgetMiB) + "\"/>\n</config>");
    QVERIFY(config.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(config.write(xml), qint64(xml.size()));
    config.close();

    ECoreApp *app = ECoreApp::instance();
    auto *rooms = new RoomsV1;
    app->setProjectModel(rooms, rooms);
    app->setSettingsFilePath(m_dir.path());
    app->loadStandardConfiguration();

    m_scene = new QGraphicsScene;
    m_form = new MainContentForm;
    m_scene->addItem(m_form);
    m_form->resize(1280, 740);
    QSignalSpy finished(m_form, &MainContentForm::controlsFinished);
    m_form->createForms(rooms);
    QVERIFY(finished.wait(20000));
    // Every room has a page of its own, after the fixed pages.
    QVERIFY(m_form->stack()->count() >= MainContentWorker::kFirstRoomPage + kRooms);
    // Every screen ever built is watched, so that one let go of but never deleted shows up.
    for (int i = 0; i < m_form->stack()->count(); ++i) {
        if (auto *page = qobject_cast<LazyRoomPage *>(m_form->stack()->widget(i))) {
            connect(page, &LazyRoomPage::formCreated, this,
                    [this](ExtRoomFormV1 *form) { m_everBuilt.append(form); });
        }
    }
}

void TestPageTours::cleanupTestCase()
{
    QPointer<MainContentForm> form(m_form);
    delete m_scene;
    m_scene = nullptr;
    m_form = nullptr;
    QVERIFY(!form);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Gone with the window: every room screen. The process-wide plan cache may keep its few
    // most recent pictures for the next window, no more.
    for (const QPointer<ExtRoomFormV1> &built : qAsConst(m_everBuilt))
        QVERIFY(!built);
    QVERIFY(PlanCache::instance()->pictureCount() <= PlanCache::kKeptRecent);
    ECoreApp::destroyInstance();
}

Held TestPageTours::held() const
{
    Held h;
    MainContentWorker *worker = m_form->worker();
    for (int i = MainContentWorker::kFirstRoomPage; i < m_form->stack()->count(); ++i)
        h.builtScreens += worker->createdRoomForm(i) ? 1 : 0;
    h.sceneItems = m_scene->items().size();
    h.pictures = PlanCache::instance()->pictureCount();
    h.pictureBytes = PlanCache::instance()->heldBytes();
    h.history = worker->history().size();
    for (const QPointer<ExtRoomFormV1> &built : m_everBuilt)
        h.liveForms += built ? 1 : 0;
    return h;
}

void TestPageTours::tour()
{
    EStackWidget *stack = m_form->stack();
    for (int i = 0; i < stack->count(); ++i) {
        stack->setCurrentIndex(i);
        QCOMPARE(stack->currentIndex(), i);
        // Screens let go of are deleted later: let that happen as it would between two taps.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (auto *page = qobject_cast<LazyRoomPage *>(stack->widget(i))) {
            ExtRoomFormV1 *form = page->createdForm();
            QVERIFY(form && form->isVisible());
        }
    }
    stack->setCurrentIndex(MainContentWorker::kHomePage);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestPageTours::tenToursHoldWhatTheSecondHeld()
{
    PlanCache *cache = PlanCache::instance();
    const int decodedBefore = cache->decodeCount();
    Held second;
    for (int n = 1; n <= kTours; ++n) {
        tour();
        if (QTest::currentTestFailed())
            return;
        const Held now = held();
        // Bounded on every tour, not only equal at the end.
        QVERIFY(now.builtScreens <= MainContentWorker::kKeptScreens + 2);
        QCOMPARE(now.liveForms, now.builtScreens);
        QVERIFY(now.pictureBytes <= qMax<qint64>(qint64(kPlanBudgetMiB) * 1024 * 1024,
                                                 PlanCache::kKeptRecent * 1280LL * 740 * 4));
        if (n == 2) {
            second = now;
        } else if (n > 2) {
            QCOMPARE(now.builtScreens, second.builtScreens);
            QCOMPARE(now.liveForms, second.liveForms);
            QCOMPARE(now.sceneItems, second.sceneItems);
            QCOMPARE(now.pictures, second.pictures);
            QCOMPARE(now.pictureBytes, second.pictureBytes);
            QCOMPARE(now.history, second.history);
        }
    }
    // The tours did build and evict: many more screens were built than are held, and plans
    // were decoded again after eviction.
    QVERIFY(m_everBuilt.size() >= kTours * kRooms);
    QVERIFY(cache->decodeCount() - decodedBefore > kRooms * 2);
}

QTEST_MAIN(TestPageTours)
#include "tst_pagetours.moc"
