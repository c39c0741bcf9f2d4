// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The history screen on a view, driven by clicks, drags and touches: the range buttons, the
// parameter choice, markers that show their text, the cursor, panning and pinching, export of
// CSV and PNG, and rows the panel appends while the screen is shown.
#include "archivefiles.h"
#include "archiveparser.h"
#include "demohistory.h"
#include "ecombopopup.h"
#include "ecombowidget.h"
#include "eiconwidget.h"
#include "historychart.h"
#include "historyexport.h"
#include "historyscreen.h"
#include "tempfolder.h"
#include "toolkittest.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>
#include <atomic>
#include <memory>

using namespace ArchiveFiles;

namespace {

constexpr qint64 kMinute = 60 * 1000;
constexpr qint64 kDay = 24 * 60 * kMinute;
const QString kLeak = QStringLiteral("Water leak in the kitchen");

const QList<DemoHistory::Record> kParameters = {
    {1, QStringLiteral("Outdoor temperature, C"), -40, 50},
    {2, QStringLiteral("Living room temperature, C"), 0, 40},
    {4, QStringLiteral("Bathroom humidity, %"), 0, 100},
    {9, QStringLiteral("Water pressure (bar)"), 0, 10}};

int archiveRowsBetween(const QString &folder, qint64 from, qint64 to)
{
    int n = 0;
    for (const QFileInfo &f :
         QDir(folder + QStringLiteral("/Archive")).entryInfoList({QStringLiteral("*.csv")})) {
        QFile file(f.filePath());
        file.open(QIODevice::ReadOnly);
        ArchiveParser parser;
        parser.parse(file.readAll(), true,
                     [&](const ArchiveRow &r) { n += r.time >= from && r.time <= to; });
    }
    return n;
}

} // namespace

class tst_HistoryScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void rangeButtons_data();
    void rangeButtons();
    void firstParameterWithARecordIsShown();
    void oneAxisPerUnit();
    void touchOnAMarkerShowsItsText();
    void dragPansAndPinchZooms();
    void emptyRangeSaysWhereTheArchiveIs();
    void stepsBackAndForth();
    void customRange();
    void exportWritesCsvAndPng();
    void rowsAppendedWhileShownAppear();
    void unreadableLinesAreCounted();

private:
    bool waitForData();
    QPointF scenePoint(const QGraphicsItem *item, const QPointF &local) const
    {
        return item->mapToScene(local);
    }

    std::unique_ptr<TempFolder> m_folder;
    std::unique_ptr<TestView> m_view;
    HistoryScreen *m_screen = nullptr;
    std::shared_ptr<std::atomic<qint64>> m_now;
    qint64 m_start = 0; // the fixture's "now" at the start of each test
};

void tst_HistoryScreen::initTestCase()
{
    useShortHoldTimes();
}

void tst_HistoryScreen::init()
{
    m_folder = std::make_unique<TempFolder>();
    const QDateTime now(QDate(2024, 11, 20), QTime(12, 0, 0));
    m_start = now.toMSecsSinceEpoch();
    m_now = std::make_shared<std::atomic<qint64>>(m_start);
    DemoHistory::Plan plan;
    plan.end = now;
    plan.days = 40;
    plan.alarms = false;
    QStringList captions{QStringLiteral("Program time"), QStringLiteral("Controller time")};
    for (int id = 1; id <= 16; ++id)
        captions << QStringLiteral("Data %1").arg(id);
    DemoHistory::write(m_folder->path(), kParameters, {}, captions, {}, plan);
    // Two events in the last day: the leak at 09:00 and its end at 09:40.
    const QString alarms = m_folder->filePath(QStringLiteral("Alarms/") + alarmName(now.date()));
    append(alarms, QByteArray(";;;;;;;;;;\r\n") +
                       alarmRow(1, m_start - 3 * 60 * kMinute, kLeak, true, true) +
                       alarmRow(1, m_start - 140 * kMinute, kLeak, false, true));

    m_view = std::make_unique<TestView>();
    QVERIFY(m_view->exposed());
    // Added hidden and then shown, as the page stack shows a page.
    m_screen = new HistoryScreen;
    m_screen->hide();
    m_view->scene.addItem(m_screen);
    m_screen->setGeometry(0, 0, 800, 420);
    std::shared_ptr<std::atomic<qint64>> clock = m_now;
    m_screen->setClock([clock] { return QDateTime::fromMSecsSinceEpoch(clock->load()); });
    QList<HistoryScreen::Parameter> parameters;
    for (const DemoHistory::Record &r : kParameters)
        parameters.append({r.id, r.text});
    m_screen->setParameters(parameters);
    m_screen->setConfigurationFolder(m_folder->path());
    QSignalSpy shown(m_screen, &HistoryScreen::dataShown);
    m_screen->show();
    QVERIFY(shown.count() || shown.wait(20000));
    QVERIFY(waitForData());
    QCOMPARE(m_screen->range(), HistoryScreen::Day);
    QCOMPARE(m_screen->to(), m_start);
}

void tst_HistoryScreen::cleanup()
{
    delete m_screen;
    m_screen = nullptr;
    m_view.reset();
    m_folder.reset();
}

bool tst_HistoryScreen::waitForData()
{
    // The store answers from its own thread; wait until the newest question is answered.
    return QTest::qWaitFor([this] { return !m_screen->isLoading(); }, 20000);
}

void tst_HistoryScreen::rangeButtons_data()
{
    QTest::addColumn<int>("range");
    QTest::addColumn<qint64>("span");
    QTest::newRow("day") << int(HistoryScreen::Day) << kDay;
    QTest::newRow("week") << int(HistoryScreen::Week) << 7 * kDay;
    QTest::newRow("month") << int(HistoryScreen::Month) << 30 * kDay;
    QTest::newRow("year") << int(HistoryScreen::Year) << 365 * kDay;
}

void tst_HistoryScreen::rangeButtons()
{
    QFETCH(int, range);
    QFETCH(qint64, span);
    // Start from another range so every button makes a change.
    m_screen->showRange(m_start - 3 * kDay, m_start - 2 * kDay);
    QVERIFY(waitForData());
    QSignalSpy shown(m_screen, &HistoryScreen::dataShown);
    m_view->click(centreOf(m_screen->rangeButton(HistoryScreen::Range(range))));
    QVERIFY(shown.count() || shown.wait(20000));
    QVERIFY(waitForData());
    QCOMPARE(m_screen->to(), m_start);
    QCOMPARE(m_screen->to() - m_screen->from(), span);
    QVERIFY(m_screen->followsClock());
    for (int r = HistoryScreen::Day; r <= HistoryScreen::Custom; ++r)
        QCOMPARE(m_screen->rangeButton(HistoryScreen::Range(r))->isChecked(), r == range);
    HistoryChart *chart = m_screen->chart();
    QCOMPARE(chart->from(), m_screen->from());
    const int points = chart->pointCount(1);
    // 40 days of rows: in the year view they fill 40/365 of the plot.
    QVERIFY2(points > (range == HistoryScreen::Year ? 50 : 300),
             qPrintable(QString::number(points)));
    // Decimated to the pixels: the shown range and one on either side, two points per column.
    QVERIFY2(points <= 2 * 3 * int(chart->plotArea().width()) + 8,
             qPrintable(QString::number(points)));
    // The archive starts 40 days back: a year shows one piece, not a line from nothing.
    QCOMPARE(chart->segmentCount(1), 1);
}

void tst_HistoryScreen::firstParameterWithARecordIsShown()
{
    QCOMPARE(m_screen->shownParameters(), QVector<int>{1});
    QCOMPARE(m_screen->parameterCombo(0)->currentIndex(), 1);
    QCOMPARE(m_screen->parameterCombo(1)->currentIndex(), 0);
    m_screen->setParameters({{9, QStringLiteral("Water pressure (bar)")}, {2, QString()}});
    QCOMPARE(m_screen->shownParameters(), QVector<int>{9});
    // Without records the first archived column; its name comes from the archive's header.
    m_screen->setParameters({});
    QCOMPARE(m_screen->shownParameters(), QVector<int>{1});
    QVERIFY(waitForData());
    QCOMPARE(m_screen->parameterName(1), QStringLiteral("Data 1"));
}

void tst_HistoryScreen::oneAxisPerUnit()
{
    // Choosing a second line through its list as a person does: the list's row 2 is parameter 2.
    EComboWidget *second = m_screen->parameterCombo(1);
    m_view->click(centreOf(second));
    QVERIFY(second->isPopupVisible());
    m_view->click(second->popup()->rowSceneRect(2).center());
    QCOMPARE(m_screen->shownParameters(), (QVector<int>{1, 2}));
    QVERIFY(waitForData());
    QCOMPARE(m_screen->chart()->units(), QStringList{"C"}); // both in C: one axis
    m_screen->setShownParameters({1, 2, 4, 9});
    QVERIFY(waitForData());
    QCOMPARE(m_screen->chart()->units(), (QStringList{"C", "%", "bar"}));
    for (int id : {1, 2, 4, 9})
        QVERIFY2(m_screen->chart()->pointCount(id) > 0, qPrintable(QString::number(id)));
    QCOMPARE(HistoryScreen::unitOf(QStringLiteral("Temperature, living room")), QString());
    QCOMPARE(HistoryScreen::unitOf(QStringLiteral("Wind speed, m/s")), QStringLiteral("m/s"));
    QCOMPARE(HistoryScreen::unitOf(QStringLiteral("Power [kW]")), QStringLiteral("kW"));
}

void tst_HistoryScreen::touchOnAMarkerShowsItsText()
{
    HistoryChart *chart = m_screen->chart();
    QCOMPARE(chart->events().size(), 2);
    const QRectF marker = chart->markerRect(0);
    QVERIFY(!marker.isEmpty());
    QVERIFY(!m_screen->statusText().contains(kLeak));
    m_view->click(scenePoint(chart, marker.center()));
    QCOMPARE(chart->selectedMarker(), 0);
    QVERIFY2(m_screen->statusText().contains(kLeak), qPrintable(m_screen->statusText()));
    QVERIFY(m_screen->statusText().contains(QStringLiteral("alarm, active")));

    // A tap elsewhere on the plot closes the text and puts the cursor there, with the values.
    const QRectF plot = chart->plotArea();
    const QPointF spot(plot.left() + plot.width() * 0.75, plot.center().y());
    m_view->click(scenePoint(chart, spot));
    QCOMPARE(chart->selectedMarker(), -1);
    QVERIFY(chart->hasCursor());
    const qint64 expected = m_screen->from() + qint64((spot.x() - plot.left()) / plot.width() *
                                                      double(m_screen->to() - m_screen->from()));
    QVERIFY(std::llabs(chart->cursorTime() - expected) < 2 * kMinute);
    QVERIFY(!std::isnan(chart->valueAt(1, chart->cursorTime())));
    const QString time = QDateTime::fromMSecsSinceEpoch(chart->cursorTime())
                             .toString(QStringLiteral("dd.MM.yyyy hh:mm"));
    QVERIFY2(m_screen->statusText().startsWith(time), qPrintable(m_screen->statusText()));
    QVERIFY(m_screen->statusText().contains(QStringLiteral("Outdoor temperature: ")));

    // In the year the two events are a few pixels apart: one marker stands for both.
    m_view->click(centreOf(m_screen->rangeButton(HistoryScreen::Year)));
    QVERIFY(waitForData());
    QCOMPARE(chart->markerCount(), 1);
    QCOMPARE(chart->markerEvents(0), (QVector<int>{0, 1}));
    m_view->click(scenePoint(chart, chart->markerRect(0).center()));
    QCOMPARE(chart->selectedMarker(), 0);
    QVERIFY(m_screen->statusText().contains(QStringLiteral("alarm, active")));
    QVERIFY(m_screen->statusText().contains(QStringLiteral("alarm, cleared")));
}

void tst_HistoryScreen::dragPansAndPinchZooms()
{
    HistoryChart *chart = m_screen->chart();
    const QRectF plot = chart->plotArea();
    const qint64 span = m_screen->to() - m_screen->from();
    const qint64 from = m_screen->from();
    // A finger moving left by a quarter of the plot shows a quarter of the span earlier... later.
    const QPointF a = scenePoint(chart, plot.center());
    const QPointF b = a - QPointF(plot.width() / 4, 0);
    QSignalSpy shown(m_screen, &HistoryScreen::dataShown);
    m_view->press(a);
    m_view->drag(a, b);
    m_view->release(b);
    QCOMPARE(m_screen->to() - m_screen->from(), span);
    QVERIFY(std::llabs(m_screen->from() - (from + span / 4)) < span / 200);
    QVERIFY(!m_screen->followsClock());
    QVERIFY(!m_screen->rangeButton(HistoryScreen::Day)->isChecked());
    QVERIFY(!chart->hasCursor()); // a drag is not a tap
    QVERIFY(shown.count() || shown.wait(20000));

    // A short wobble under the threshold is still a tap.
    m_view->press(a);
    m_view->drag(a, a + QPointF(EToolkit::kFlickThreshold / 2, 0), 2);
    m_view->release(a + QPointF(EToolkit::kFlickThreshold / 2, 0));
    QVERIFY(chart->hasCursor());
    QCOMPARE(m_screen->to() - m_screen->from(), span);

    // Two fingers moving apart to twice their distance halve the span around their midpoint.
    QVERIFY(waitForData());
    const qint64 mid = m_screen->from() + span / 2;
    QTouchDevice *device = QTest::createTouchDevice();
    QWidget *viewport = m_view->view.viewport();
    // The plot may have moved a little with the new data's axis labels.
    const QPoint centre = m_view->view.mapFromScene(scenePoint(chart, chart->plotArea().center()));
    const QPoint offset(60, 0);
    QTest::touchEvent(viewport, device)
        .press(0, centre - offset, viewport)
        .press(1, centre + offset, viewport);
    for (int step = 1; step <= 4; ++step) {
        const QPoint o = offset + QPoint(15 * step, 0);
        QTest::touchEvent(viewport, device)
            .move(0, centre - o, viewport)
            .move(1, centre + o, viewport);
    }
    QTest::touchEvent(viewport, device)
        .release(0, centre - offset * 2, viewport)
        .release(1, centre + offset * 2, viewport);
    const qint64 zoomed = m_screen->to() - m_screen->from();
    QVERIFY2(std::llabs(zoomed - span / 2) < span / 100, qPrintable(QString::number(zoomed)));
    QVERIFY2(std::llabs((m_screen->from() + zoomed / 2) - mid) < span / 100,
             qPrintable(QString::number((m_screen->from() + zoomed / 2 - mid) / 60000.0)));
    QVERIFY(waitForData());
    QVERIFY(chart->pointCount(1) > 0);
}

void tst_HistoryScreen::emptyRangeSaysWhereTheArchiveIs()
{
    m_screen->showRange(m_start - 400 * kDay, m_start - 399 * kDay);
    QVERIFY(waitForData());
    QCOMPARE(m_screen->chart()->pointCount(1), 0);
    const QString first =
        QDateTime::fromMSecsSinceEpoch(m_start - 39 * kDay).toString(QStringLiteral("dd.MM.yyyy"));
    QVERIFY2(m_screen->statusText().startsWith(QStringLiteral("No archived values")),
             qPrintable(m_screen->statusText()));
    QVERIFY2(m_screen->statusText().contains(QStringLiteral("the archive runs from ") + first),
             qPrintable(m_screen->statusText()));
}

void tst_HistoryScreen::stepsBackAndForth()
{
    m_view->click(centreOf(m_screen->stepButton(-1)));
    QCOMPARE(m_screen->to(), m_start - kDay);
    QVERIFY(!m_screen->followsClock());
    QVERIFY(waitForData());
    QVERIFY(m_screen->chart()->pointCount(1) > 0);
    m_view->click(centreOf(m_screen->stepButton(1)));
    QCOMPARE(m_screen->to(), m_start);
    QVERIFY(m_screen->followsClock());
}

void tst_HistoryScreen::customRange()
{
    EIconWidget *custom = m_screen->rangeButton(HistoryScreen::Custom);
    m_view->click(centreOf(custom));
    QVERIFY(m_screen->customPanel()->isVisible());
    QVERIFY(custom->isChecked());
    // The From and To fields have a row of their own: no parameter choice is hidden under them,
    // and the chart starts below them.
    QTRY_VERIFY(m_screen->customPanel()->size().height() > 30);
    const QRectF panel = m_screen->customPanel()->sceneBoundingRect();
    for (int slot = 0; slot < HistoryScreen::kMaxLines; ++slot) {
        QGraphicsWidget *combo = m_screen->parameterCombo(slot);
        QVERIFY(combo->isVisible());
        QVERIFY2(!combo->sceneBoundingRect().intersects(panel), qPrintable(QString::number(slot)));
    }
    QVERIFY(!m_screen->chart()->sceneBoundingRect().intersects(panel));
    m_screen->setCustomText(QStringLiteral("10.11.2024 06:00"), QStringLiteral("garbage"));
    m_view->click(centreOf(m_screen->applyCustomButton()));
    QVERIFY(m_screen->customPanel()->isVisible());
    QVERIFY2(m_screen->statusText().contains(QStringLiteral("dd.MM.yyyy")),
             qPrintable(m_screen->statusText()));
    QCOMPARE(m_screen->to(), m_start);
    // Two good times in the wrong order: said so, not blamed on the format.
    m_screen->setCustomText(QStringLiteral("12.11.2024 06:00"), QStringLiteral("10.11.2024"));
    m_view->click(centreOf(m_screen->applyCustomButton()));
    QVERIFY(m_screen->customPanel()->isVisible());
    QVERIFY2(m_screen->statusText().contains(QStringLiteral("end of the range must be after")),
             qPrintable(m_screen->statusText()));
    QVERIFY(!m_screen->statusText().contains(QStringLiteral("dd.MM.yyyy")));
    QCOMPARE(m_screen->to(), m_start);

    m_screen->setCustomText(QStringLiteral("10.11.2024 06:00"), QStringLiteral("12.11.2024"));
    m_view->click(centreOf(m_screen->applyCustomButton()));
    QVERIFY(!m_screen->customPanel()->isVisible());
    // Closed, the row gives its room back to the chart.
    QTRY_VERIFY(m_screen->chart()->sceneBoundingRect().top() <
                m_screen->parameterCombo(0)->sceneBoundingRect().bottom() + 20);
    QCOMPARE(QDateTime::fromMSecsSinceEpoch(m_screen->from()),
             QDateTime(QDate(2024, 11, 10), QTime(6, 0)));
    QCOMPARE(QDateTime::fromMSecsSinceEpoch(m_screen->to()),
             QDateTime(QDate(2024, 11, 12), QTime(0, 0)));
    QVERIFY(!m_screen->followsClock());
    QVERIFY(custom->isChecked());
    QVERIFY(waitForData());
    QVERIFY(m_screen->chart()->pointCount(1) > 0);
}

void tst_HistoryScreen::exportWritesCsvAndPng()
{
    m_screen->setShownParameters({1, 4});
    QVERIFY(waitForData());
    const QString folder = m_folder->filePath(QStringLiteral("Export"));
    QCOMPARE(m_screen->exportFolder(), folder);
    QSignalSpy done(m_screen, &HistoryScreen::exportFinished);
    m_view->click(centreOf(m_screen->exportButton(false)));
    QVERIFY(done.count() || done.wait(20000));
    QVERIFY(done.last().at(1).toBool());
    const QStringList paths = done.last().at(0).toStringList();
    QCOMPARE(paths.size(), 2);
    QFile values(paths.at(0));
    QVERIFY(values.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = values.readAll().split('\n');
    QCOMPARE(lines.first(), QByteArray("time,\"Outdoor temperature, C\",\"Bathroom humidity, %\""));
    const int rows = archiveRowsBetween(m_folder->path(), m_screen->from(), m_screen->to());
    QVERIFY(rows > 1000);
    QCOMPARE(lines.size(), rows + 2); // header, rows, the empty rest after the last line end
    const QRegularExpression form(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d,-?\\d+(\\.\\d+)"
                       "?,-?\\d+(\\.\\d+)?$"));
    for (int i = 1; i <= rows; ++i)
        QVERIFY2(form.match(QString::fromLatin1(lines.at(i))).hasMatch(), lines.at(i));
    QFile events(paths.at(1));
    QVERIFY(events.open(QIODevice::ReadOnly));
    QCOMPARE(events.readAll().count(kLeak.toUtf8()), 2);

    done.clear();
    m_view->click(centreOf(m_screen->exportButton(true)));
    QVERIFY(done.count() || done.wait(20000));
    QVERIFY(done.last().at(1).toBool());
    const QImage picture(done.last().at(0).toStringList().value(0));
    const QSize chart = m_screen->chart()->size().toSize();
    // The chart under a heading: title, range and a legend with a swatch per line.
    QCOMPARE(picture.size(), QSize(chart.width(), chart.height() + HistoryExport::kCaptionHeight));
    const auto countColour = [&picture](int top, int bottom, const QColor &wanted) {
        int n = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QColor c = picture.pixelColor(x, y);
                n += qAbs(c.red() - wanted.red()) < 30 && qAbs(c.green() - wanted.green()) < 30 &&
                     qAbs(c.blue() - wanted.blue()) < 30;
            }
        }
        return n;
    };
    // The title and the range: dark text across the first row of the heading.
    QVERIFY(countColour(0, 30, QColor(0x20, 0x20, 0x20)) > 100);
    // Both lines' colours in the legend row, and the first line's in the chart.
    QVERIFY(countColour(30, HistoryExport::kCaptionHeight, QColor(0x1f, 0x77, 0xb4)) > 100);
    QVERIFY(countColour(30, HistoryExport::kCaptionHeight, QColor(0xe6, 0x7e, 0x00)) > 100);
    QVERIFY(countColour(HistoryExport::kCaptionHeight, picture.height(), QColor(0x1f, 0x77, 0xb4)) >
            50);
}

void tst_HistoryScreen::rowsAppendedWhileShownAppear()
{
    // The panel goes on archiving: rows after "now" appear once the clock moves on, without the
    // person doing anything.
    HistoryChart *chart = m_screen->chart();
    const qint64 later = m_start + 30 * kMinute;
    QVERIFY(std::isnan(chart->valueAt(1, later)));
    const QString path = m_folder->filePath(
        QStringLiteral("Archive/") + archiveName(QDateTime::fromMSecsSinceEpoch(m_start).date()));
    QByteArray rows;
    for (qint64 t = m_start + kMinute; t <= later; t += kMinute)
        rows += row(t, {-3.25});
    QVERIFY(append(path, rows.left(rows.size() - 10))); // the last row is still being written
    m_now->store(later);
    m_screen->setFollowInterval(20);
    QTRY_COMPARE_WITH_TIMEOUT(m_screen->to(), later, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(chart->lastPointTime(1), later - kMinute, 20000);
    QCOMPARE(chart->valueAt(1, later - kMinute), -3.25);
    QVERIFY(append(path, rows.right(10)));
    QTRY_COMPARE_WITH_TIMEOUT(chart->lastPointTime(1), later, 20000);
    QCOMPARE(chart->valueAt(1, later), -3.25);
    QVERIFY(!m_screen->statusText().contains(QStringLiteral("could not be read")));
}

void tst_HistoryScreen::unreadableLinesAreCounted()
{
    const QString path =
        m_folder->filePath(QStringLiteral("Archive/") + archiveName(QDate(2024, 11, 15)));
    QVERIFY(append(path, QByteArray("this is not a row;\r\n\x01\x02;;;\r\n")));
    m_screen->refresh();
    QTRY_VERIFY_WITH_TIMEOUT(m_screen->statusText().contains(QStringLiteral("2 lines")), 20000);
    QVERIFY(waitForData());
    QVERIFY(m_screen->chart()->pointCount(1) > 0);
}

QTEST_MAIN(tst_HistoryScreen)
#include "tst_historyscreen.moc"
