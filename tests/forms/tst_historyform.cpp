// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The history page: in the demo it writes the demo home's past (today at once, the year before in
// the background, once a day), and the screen shows it; a real configuration's logs are only read.
#include "demohistory.h"
#include "ecoreapp.h"
#include "formservices.h"
#include "historychart.h"
#include "historyform.h"
#include "historyscreen.h"
#include "screentestsupport.h"

#include <QDir>
#include <QSignalSpy>
#include <QtTest>

namespace {

int files(const QString &folder, const char *pattern)
{
    return QDir(folder).entryList({QLatin1String(pattern)}, QDir::Files).size();
}

} // namespace

class tst_HistoryForm : public QObject
{
    Q_OBJECT

private slots:
    void demoWritesItsPastOnce();
    void configurationLogsAreOnlyRead();
};

void tst_HistoryForm::demoWritesItsPastOnce()
{
    ScreenFixture fx;
    ECoreApp::instance()->loadDemoConfiguration();
    QCOMPARE(ECoreApp::instance()->startMode(), StartMode::Demo);
    const QString folder = FormServices::logFolder();
    // The demo's own copy (in this test's folders, see main()), never the read-only resources.
    QVERIFY2(folder.startsWith(QDir::tempPath()), qPrintable(folder));
    const QDateTime now = QDateTime::currentDateTime();
    QVERIFY(DemoHistory::isStale(folder, now));

    auto *form = new HistoryForm;
    const QString archive = folder + QStringLiteral("/Archive");
    // Today is there before the page is even shown: the panel's writer appends to it next.
    QVERIFY(QFile::exists(archive + QStringLiteral("/Out_") +
                          now.date().toString(QStringLiteral("dd_MM_yy")) +
                          QStringLiteral(".csv")));
    QVERIFY(form->waitForDemoHistory(60000));
    QCOMPARE(files(archive, "Out_*.csv"), 365);
    QVERIFY(files(folder + QStringLiteral("/Alarms"), "Alarm_*.csv") >= 300);
    QVERIFY(!DemoHistory::isStale(folder, now));

    QSignalSpy shown(form->screen(), &HistoryScreen::dataShown);
    fx.place(form);
    QTRY_VERIFY_WITH_TIMEOUT(shown.count() && !form->screen()->isLoading(), 20000);
    // The first parameter with a record, over the last day, a row a minute.
    QCOMPARE(form->screen()->shownParameters(), QVector<int>{1});
    QCOMPARE(form->screen()->range(), HistoryScreen::Day);
    QVERIFY(form->screen()->chart()->pointCount(1) > 1000);
    QVERIFY(!form->screen()->statusText().contains(QStringLiteral("could not be read")));

    // A second page the same day leaves the files alone.
    HistoryForm again;
    QVERIFY(!again.prepareDemoHistory(folder, now));
    QVERIFY(again.waitForDemoHistory(0));
}

void tst_HistoryForm::configurationLogsAreOnlyRead()
{
    ScreenFixture fx;
    QVERIFY(fx.loadSettings(QStringLiteral(" <writearchive value=\"true\"/>")));
    HistoryForm form;
    QCOMPARE(form.screen()->configurationFolder(), fx.folder());
    QCOMPARE(form.screen()->exportFolder(), fx.folder() + QStringLiteral("/Export"));
    QVERIFY(form.waitForDemoHistory(0));
    QVERIFY(!QDir(fx.folder()).exists(QStringLiteral("Archive")));
    QVERIFY(!QDir(fx.folder()).exists(QStringLiteral("Alarms")));
}

// The demo unpacks into the system's temporary folder; this test gets one of its own, set before
// anything asks for it.
int main(int argc, char **argv)
{
    QTemporaryDir temporary;
    if (!temporary.isValid())
        return 1;
    qputenv("TMPDIR", temporary.path().toLocal8Bit());
    // The demo runs from its copy in the user's data folder: this test's, under the same folder.
    qputenv("XDG_DATA_HOME", (temporary.path() + QStringLiteral("/data")).toLocal8Bit());
    QApplication app(argc, argv);
    tst_HistoryForm test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_historyform.moc"
