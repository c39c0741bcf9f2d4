// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The history page: in the demo it writes the demo home's past (today at once, the year before in
// the background, once a day), and the screen shows it; a real configuration's logs are only read.
#include "controlerdata.h"
#include "controllertypes.h"
#include "demohistory.h"
#include "eappsettings.h"
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

// The values of parameter `id` in the rows of an archive file, in file order.
QList<double> archived(const QString &path, int id)
{
    QFile file(path);
    QList<double> values;
    if (!file.open(QIODevice::ReadOnly))
        return values;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (int i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines.at(i).split(';');
        if (fields.size() > 2 + id)
            values << QString::fromLatin1(fields.at(1 + id)).replace(',', '.').toDouble();
    }
    return values;
}

} // namespace

class tst_HistoryForm : public QObject
{
    Q_OBJECT

private slots:
    void demoWritesItsPastOnce();
    void configurationLogsAreOnlyRead();
    void demoPastEndsAtTheControllersValues();
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

// The demo's past is written when the controller first reports, and it ends at what the
// controller reports, so the panel's live rows carry on from there instead of jumping.
void tst_HistoryForm::demoPastEndsAtTheControllersValues()
{
    ScreenFixture fx;
    ECoreApp *app = ECoreApp::instance();
    auto *link = new ControlerData;
    app->setController(link);
    app->chooseDemo();
    app->loadDemoConfiguration();
    const QString folder = FormServices::logFolder();
    DemoHistory::clear(folder);
    const QDateTime now = QDateTime::currentDateTime();
    const QString today = folder + QStringLiteral("/Archive/Out_") +
                          now.date().toString(QStringLiteral("dd_MM_yy")) + QStringLiteral(".csv");

    auto *form = new HistoryForm;
    // Nothing yet: the past waits for the controller's first values.
    QVERIFY(!QFile::exists(today));
    ReservVariables record;
    record.parameterBytes = QByteArray(16, char(0));
    // Far from any curve of the demo: a warm winter day and a full bathroom, say.
    record.parameterBytes[0] = char(200);
    record.parameterBytes[3] = char(250);
    emit link->ReadyUpdateAlerts(record);
    QVERIFY(QFile::exists(today));
    QVERIFY(form->waitForDemoHistory(60000));
    const QMap<int, double> reported = HistoryForm::archiveValues(record);
    for (int id : {1, 4}) {
        const QList<double> rows = archived(today, id);
        QVERIFY(rows.size() > 10);
        const EAppSettings::MessageText *p = nullptr;
        const QList<EAppSettings::MessageText> parameters = app->settings().parameters();
        for (const EAppSettings::MessageText &m : parameters) {
            if (m.id == id)
                p = &m;
        }
        QVERIFY(p);
        const double step = (p->maximum - p->minimum) / 255;
        // The last row is the controller's value; the minute before it is a minute's change.
        // (Within a step of the byte and a minute of a sensor's jitter.)
        QVERIFY2(qAbs(rows.last() - reported.value(id)) <= 2 * step + 0.5,
                 qPrintable(QStringLiteral("%1 vs %2").arg(rows.last()).arg(reported.value(id))));
        const double before = rows.at(rows.size() - 2);
        QVERIFY2(qAbs(before - rows.last()) <= 3 * step,
                 qPrintable(QStringLiteral("%1 then %2").arg(before).arg(rows.last())));
    }
    // Later records write nothing more.
    const QByteArray written = [&today] {
        QFile f(today);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    emit link->ReadyUpdateAlerts(record);
    QFile again(today);
    QVERIFY(again.open(QIODevice::ReadOnly));
    QCOMPARE(again.readAll(), written);
    delete form;
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
