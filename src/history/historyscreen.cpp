// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// Longer than most files here: the screen's controls, the range logic they drive and the hand-over
// to the reading thread are one job and read best together; the chart, the store and the export
// live in files of their own.
#include "historyscreen.h"

#include "ecombowidget.h"
#include "ecoreapp.h"
#include "egridlayout.h"
#include "eiconwidget.h"
#include "elabelwidget.h"
#include "erectwidget.h"
#include "etextedit.h"
#include "historyexport.h"
#include "historystore.h"
#include "toolkitstyle.h"

#include <QDir>
#include <QFontMetricsF>
#include <QGraphicsLinearLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <cmath>

namespace {

constexpr qint64 kHourMs = 3600LL * 1000;
constexpr qint64 kDayMs = 24 * kHourMs;
const qint64 kSpans[] = {kDayMs, 7 * kDayMs, 30 * kDayMs, 365 * kDayMs};
// Data is fetched for one span on either side of the shown one, so a drag shows lines at once.
constexpr int kLoadedSpans = 3;
// While a finger drags past the fetched range, new data is asked for at most this often.
constexpr int kDragFetchMs = 120;
const char kCustomFormat[] = "dd.MM.yyyy hh:mm";
// The screen's rows: range buttons, parameter choices, the custom range (while open), the chart
// and the status line.
constexpr qreal kSideMargin = 10;
constexpr qreal kTopMargin = 6;
constexpr qreal kRowHeight = 44;
constexpr qreal kTopRowSpacing = 4;
constexpr int kCustomRow = 2;
constexpr qreal kCustomRowSpacing = 6;

// Language table ids of the screen's texts, with the English fallback shown before a table is
// loaded.
struct Text
{
    int id;
    const char *fallback;
};
const Text kTitle{61300, "History"};
const Text kRangeTexts[] = {
    {61301, "Day"}, {61302, "Week"}, {61303, "Month"}, {61304, "Year"}, {61305, "Custom"}};
const Text kFrom{61306, "From"};
const Text kTo{61307, "To"};
const Text kApply{61308, "Show"};
const Text kCsv{61309, "CSV"};
const Text kPng{61310, "PNG"};
const Text kNone{61311, "(none)"};
const Text kNoData{61312, "No archived values in this range"};
const Text kExported{61313, "Saved: %1"};
const Text kExportFailed{61314, "Could not save: %1"};
const Text kGarbage{61315, "%1 lines of the files could not be read"};
const Text kAlarm{61316, "alarm"};
const Text kMessage{61317, "message"};
const Text kActive{61318, "active"};
const Text kCleared{61319, "cleared"};
const Text kLoading{61320, "Reading the archive..."};
const Text kBadRange{61321, "Enter the range as dd.MM.yyyy hh:mm"};
const Text kReversedRange{61571, "The end of the range must be after its start"};
const Text kArchiveSpan{61323, "the archive runs from %1 to %2"};
const Text kHint{61322, "Touch the chart to read it; drag to move in time, pinch to zoom"};
const Text kData{61113, "Data"};

QString text(const Text &t)
{
    const QString local = ECoreApp::instance() && ECoreApp::instance()->locale()
                              ? ECoreApp::instance()->locale()->text(t.id)
                              : QString();
    return local.isEmpty() ? QString::fromUtf8(t.fallback) : local;
}

// Line colours, one per slot: distinct for the common kinds of colour blindness and readable on
// the white plot.
const QColor kLineColors[HistoryScreen::kMaxLines] = {
    QColor(0x1f, 0x77, 0xb4), QColor(0xe6, 0x7e, 0x00), QColor(0x2c, 0xa0, 0x2c),
    QColor(0xb8, 0x3d, 0x9a)};

// A text button of the toolkit: no picture, the caption centred (the caption of a pictureless
// icon button sits on its bottom margin, so equal margins centre it).
EIconWidget *button(bool checkable)
{
    auto *b = new EIconWidget;
    b->setFrameVisible(true);
    b->setShowCaption(true);
    b->setCheckable(checkable);
    b->setFont(EStyle::font(EStyle::kFontPx));
    const qreal line = QFontMetricsF(b->font()).height();
    constexpr qreal kHeight = 38;
    b->setMargins(4, (kHeight - line) / 2, 4, (kHeight - line) / 2);
    b->setMinimumHeight(kHeight);
    b->setMaximumHeight(kHeight);
    return b;
}

QString formatValue(double v)
{
    return QString::number(v, 'g', 4);
}

} // namespace

struct HistoryScreen::Private
{
    HistoryScreen *q = nullptr;
    QString folder;
    QString exportFolder;
    QList<Parameter> parameters;
    QStringList captions;
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };

    QThread *thread = nullptr;
    HistoryStore *store = nullptr;
    quint64 serial = 0;
    quint64 shownSerial = 0;
    bool loading = false;
    qint64 loadedFrom = 0;
    qint64 loadedTo = 0;
    int garbage = 0;
    bool hasData = false;
    qint64 archiveFirst = 0;
    qint64 archiveLast = 0;

    Range range = Day;
    bool follow = true;
    qint64 from = 0;
    qint64 to = 0;
    QVector<int> shown; // one id per slot, 0 for none

    ELabelWidget *title = nullptr;
    EIconWidget *ranges[5] = {};
    EIconWidget *back = nullptr;
    EIconWidget *forward = nullptr;
    EIconWidget *csv = nullptr;
    EIconWidget *png = nullptr;
    EComboWidget *combos[kMaxLines] = {};
    ERectWidget *swatches[kMaxLines] = {};
    HistoryChart *chart = nullptr;
    ELabelWidget *status = nullptr;
    EGraphicsWidget *customPanel = nullptr;
    EGridLayout *grid = nullptr;
    ELabelWidget *fromLabel = nullptr;
    ELabelWidget *toLabel = nullptr;
    ETextEdit *fromEdit = nullptr;
    ETextEdit *toEdit = nullptr;
    EIconWidget *apply = nullptr;

    QTimer follower;
    QTimer dragFetch;
    QString message; // the last export or input message, until the next range

    void startStore();
    void stopStore();
    void query();
    void show(const HistoryResult &result);
    void moveTo(qint64 newFrom, qint64 newTo, bool fetch = true);
    void markButtons();
    void fillCombos();
    void updateStatus();
    QVector<HistoryChart::Line> lines() const;
    QVector<int> ids() const;
    void showCustomRow(bool open);
    void openCustom(bool open);
    void applyCustom();
    void step(int direction);
};

void HistoryScreen::Private::startStore()
{
    stopStore();
    if (folder.isEmpty())
        return;
    thread = new QThread;
    thread->setObjectName(QStringLiteral("history"));
    store = new HistoryStore(folder);
    store->setClock(clock);
    store->moveToThread(thread);
    QObject::connect(thread, &QThread::finished, store, &QObject::deleteLater);
    QObject::connect(store, &HistoryStore::resultAvailable, q, [this] {
        HistoryResult r;
        if (store && store->takeResult(&r))
            show(r);
    });
    QObject::connect(store, &HistoryStore::exportFinished, q,
                     [this](const QStringList &paths, const QString &error) {
                         message =
                             error.isEmpty()
                                 ? text(kExported).arg(QDir::toNativeSeparators(paths.value(0)))
                                 : text(kExportFailed).arg(error);
                         updateStatus();
                         emit q->exportFinished(paths, error.isEmpty());
                     });
    thread->start();
}

void HistoryScreen::Private::stopStore()
{
    if (!thread)
        return;
    thread->quit();
    thread->wait();
    delete thread;
    thread = nullptr;
    store = nullptr;
    loading = false;
}

QVector<int> HistoryScreen::Private::ids() const
{
    QVector<int> list;
    for (int id : shown) {
        if (id > 0 && !list.contains(id))
            list.append(id);
    }
    return list;
}

void HistoryScreen::Private::query()
{
    if (!store)
        return;
    const qint64 span = to - from;
    HistoryQuery query;
    query.from = from - span * (kLoadedSpans - 1) / 2;
    query.to = to + span * (kLoadedSpans - 1) / 2;
    query.parameters = ids();
    query.pixels = std::max(100, int(chart->plotArea().width())) * kLoadedSpans;
    query.serial = ++serial;
    loadedFrom = query.from;
    loadedTo = query.to;
    loading = true;
    store->setLatestSerial(query.serial);
    store->post(query);
    updateStatus();
}

void HistoryScreen::Private::show(const HistoryResult &result)
{
    if (result.query.serial < shownSerial)
        return;
    shownSerial = result.query.serial;
    loading = result.query.serial != serial;
    if (captions != result.captions) {
        captions = result.captions;
        fillCombos();
    }
    garbage = result.garbageLines;
    archiveFirst = result.firstTime;
    archiveLast = result.lastTime;
    hasData = false;
    for (const HistorySeries &s : result.series)
        hasData = hasData || s.points() > 0;
    chart->setData(lines(), result);
    chart->setEvents(result.events);
    updateStatus();
    emit q->dataShown();
}

QVector<HistoryChart::Line> HistoryScreen::Private::lines() const
{
    QVector<HistoryChart::Line> list;
    for (int slot = 0; slot < shown.size(); ++slot) {
        const int id = shown.at(slot);
        if (id <= 0)
            continue;
        const QString name = q->parameterName(id);
        list.append({id, name, unitOf(name), kLineColors[slot]});
    }
    return list;
}

void HistoryScreen::Private::moveTo(qint64 newFrom, qint64 newTo, bool fetch)
{
    from = newFrom;
    to = newTo;
    chart->setRange(from, to);
    message.clear();
    markButtons();
    if (fetch)
        query();
}

void HistoryScreen::Private::markButtons()
{
    const qint64 span = to - from;
    for (int r = Day; r <= Year; ++r)
        ranges[r]->setChecked(range == r && span == kSpans[r]);
    ranges[Custom]->setChecked(customPanel->isVisible() || range == Custom);
}

void HistoryScreen::Private::fillCombos()
{
    QStringList items{text(kNone)};
    for (int id = 1; id <= HistoryFormat::kParameterCount; ++id)
        items << q->parameterName(id);
    for (int slot = 0; slot < kMaxLines; ++slot) {
        combos[slot]->setItems(items);
        combos[slot]->setCurrentIndex(shown.value(slot));
    }
}

void HistoryScreen::Private::updateStatus()
{
    QStringList parts;
    if (!message.isEmpty()) {
        parts << message;
    } else if (chart->selectedMarker() >= 0) {
        parts << chart->selectedText().replace(QLatin1Char('\n'), QLatin1String("   ·   "));
    } else if (chart->hasCursor()) {
        QString line = QDateTime::fromMSecsSinceEpoch(chart->cursorTime())
                           .toString(QStringLiteral("dd.MM.yyyy hh:mm"));
        for (const HistoryChart::Line &l : lines()) {
            const double v = chart->valueAt(l.id, chart->cursorTime());
            line += QStringLiteral("   ") + l.name.section(QLatin1Char(','), 0, 0) +
                    QStringLiteral(": ") + (std::isnan(v) ? QStringLiteral("-") : formatValue(v)) +
                    (l.unit.isEmpty() ? QString() : QLatin1Char(' ') + l.unit);
        }
        parts << line;
    } else if (loading && !hasData) {
        parts << text(kLoading);
    } else if (!hasData) {
        parts << text(kNoData);
        // Where to look instead, when the archive has rows elsewhere.
        if (archiveFirst > 0) {
            const QString format = QStringLiteral("dd.MM.yyyy hh:mm");
            parts << text(kArchiveSpan)
                         .arg(QDateTime::fromMSecsSinceEpoch(archiveFirst).toString(format),
                              QDateTime::fromMSecsSinceEpoch(archiveLast).toString(format));
        }
    } else {
        parts << text(kHint);
    }
    if (garbage > 0)
        parts << text(kGarbage).arg(garbage);
    status->setLabelT(parts.join(QStringLiteral("   ·   ")));
}

void HistoryScreen::Private::showCustomRow(bool open)
{
    customPanel->setVisible(open);
    // The panel has a row of its own under the parameter choices while it is open; the chart
    // gives it the room, and takes it back when the panel closes (an empty row takes none).
    bool inGrid = false;
    for (int i = 0; i < grid->count(); ++i)
        inGrid = inGrid || grid->itemAt(i) == customPanel;
    if (open && !inGrid)
        grid->addWidget(customPanel, kCustomRow, 0);
    else if (!open && inGrid)
        grid->removeItem(customPanel);
    grid->setRowFixedHeight(kCustomRow, open ? kRowHeight : 0);
    grid->setRowSpacing(kCustomRow, open ? kCustomRowSpacing : 0);
    grid->invalidate();
}

void HistoryScreen::Private::openCustom(bool open)
{
    showCustomRow(open);
    if (open) {
        fromEdit->setText(
            QDateTime::fromMSecsSinceEpoch(from).toString(QLatin1String(kCustomFormat)));
        toEdit->setText(QDateTime::fromMSecsSinceEpoch(to).toString(QLatin1String(kCustomFormat)));
    }
    markButtons();
}

void HistoryScreen::Private::applyCustom()
{
    const auto parse = [](const QString &s) {
        QDateTime t = QDateTime::fromString(s.trimmed(), QLatin1String(kCustomFormat));
        if (!t.isValid())
            t = QDateTime(QDate::fromString(s.trimmed(), QStringLiteral("dd.MM.yyyy")),
                          QTime(0, 0));
        return t;
    };
    const QDateTime a = parse(fromEdit->text());
    const QDateTime b = parse(toEdit->text());
    if (!a.isValid() || !b.isValid() || b <= a) {
        // Two readable times in the wrong order are not a format problem.
        message = text(a.isValid() && b.isValid() ? kReversedRange : kBadRange);
        updateStatus();
        return;
    }
    range = Custom;
    follow = false;
    showCustomRow(false);
    const qint64 span = std::clamp(b.toMSecsSinceEpoch() - a.toMSecsSinceEpoch(),
                                   HistoryChart::kMinSpanMs, HistoryChart::kMaxSpanMs);
    moveTo(a.toMSecsSinceEpoch(), a.toMSecsSinceEpoch() + span);
}

void HistoryScreen::Private::step(int direction)
{
    const qint64 span = to - from;
    const qint64 now = clock().toMSecsSinceEpoch();
    qint64 newTo = to + direction * span;
    // Stepping forward up to the present follows the clock again.
    follow = direction > 0 && newTo >= now;
    if (follow)
        newTo = now;
    moveTo(newTo - span, newTo);
}

HistoryScreen::HistoryScreen(QGraphicsItem *parent)
    : EGraphicsWidget(parent), d(std::make_unique<Private>())
{
    d->q = this;
    d->shown = QVector<int>(kMaxLines, 0);
    d->shown[0] = 1;
    const QDateTime now = d->clock();
    d->to = now.toMSecsSinceEpoch();
    d->from = d->to - kDayMs;

    auto *grid = d->grid = new EGridLayout;
    grid->setMargins(kSideMargin, kTopMargin, kSideMargin, kTopMargin);
    grid->setRowSizes({kRowHeight, kRowHeight, kRowHeight, 0, 26});
    grid->setRowFixedHeight(kCustomRow, 0); // until the custom panel opens
    grid->setRowSpacing(0, kTopRowSpacing);
    grid->setRowSpacing(1, 6);
    grid->setRowSpacing(3, 4);

    auto *top = new QGraphicsLinearLayout(Qt::Horizontal);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(6);
    d->title = new ELabelWidget;
    d->title->setFont(EStyle::font(EStyle::kTitleFontPx, true));
    d->title->setColortext(EStyle::color(EStyle::kInk));
    d->title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    d->title->setMinimumWidth(90);
    top->addItem(d->title);
    top->setStretchFactor(d->title, 1);
    for (int r = Day; r <= Custom; ++r) {
        d->ranges[r] = button(true);
        d->ranges[r]->setMinimumWidth(62);
        d->ranges[r]->setPreferredWidth(80);
        top->addItem(d->ranges[r]);
        connect(d->ranges[r], &EBaseWidget::clicked, this, [this, r] {
            // A range button is a choice, not a toggle: pressing the current one refreshes it.
            setRange(Range(r));
        });
    }
    d->back = button(false);
    d->forward = button(false);
    d->back->setText(QStringLiteral("◀"));
    d->forward->setText(QStringLiteral("▶"));
    for (EIconWidget *b : {d->back, d->forward}) {
        b->setMinimumWidth(EStyle::kTouchSize);
        b->setMaximumWidth(EStyle::kTouchSize);
        top->addItem(b);
    }
    connect(d->back, &EBaseWidget::clicked, this, [this] { d->step(-1); });
    connect(d->forward, &EBaseWidget::clicked, this, [this] { d->step(1); });
    d->csv = button(false);
    d->png = button(false);
    for (EIconWidget *b : {d->csv, d->png}) {
        b->setMinimumWidth(56);
        b->setPreferredWidth(64);
        top->addItem(b);
    }
    connect(d->csv, &EBaseWidget::clicked, this, &HistoryScreen::exportCsv);
    connect(d->png, &EBaseWidget::clicked, this, &HistoryScreen::exportPng);
    grid->addItem(top, 0, 0);

    auto *choices = new QGraphicsLinearLayout(Qt::Horizontal);
    choices->setContentsMargins(0, 0, 0, 0);
    choices->setSpacing(4);
    for (int slot = 0; slot < kMaxLines; ++slot) {
        d->swatches[slot] = new ERectWidget;
        d->swatches[slot]->setColor(kLineColors[slot]);
        d->swatches[slot]->setRadius(3);
        d->swatches[slot]->setMinimumSize(8, 30);
        d->swatches[slot]->setMaximumSize(8, 30);
        d->combos[slot] = new EComboWidget;
        d->combos[slot]->setFont(EStyle::font(EStyle::kCaptionFontPx + 1));
        d->combos[slot]->setMinimumWidth(80);
        choices->addItem(d->swatches[slot]);
        choices->setAlignment(d->swatches[slot], Qt::AlignVCenter);
        choices->addItem(d->combos[slot]);
        choices->setStretchFactor(d->combos[slot], 1);
        if (slot + 1 < kMaxLines)
            choices->setItemSpacing(choices->count() - 1, 10);
        connect(d->combos[slot], &EComboWidget::indexChanged, this, [this, slot](int index) {
            d->shown[slot] = index;
            d->chart->clearCursor();
            d->query();
        });
    }
    grid->addItem(choices, 1, 0);

    d->chart = new HistoryChart;
    d->chart->setMinimumSize(200, 120);
    grid->addWidget(d->chart, 3, 0);
    connect(d->chart, &HistoryChart::rangeChanging, this, [this](qint64 f, qint64 t) {
        d->from = f;
        d->to = t;
        d->follow = false;
        d->range = Custom;
        d->markButtons();
        if ((f < d->loadedFrom || t > d->loadedTo) && !d->dragFetch.isActive())
            d->dragFetch.start();
    });
    connect(d->chart, &HistoryChart::rangeChangeFinished, this, [this](qint64 f, qint64 t) {
        d->dragFetch.stop();
        d->moveTo(f, t);
    });
    connect(d->chart, &HistoryChart::cursorMoved, this, [this] {
        d->message.clear();
        d->updateStatus();
    });
    connect(d->chart, &HistoryChart::markerTouched, this, [this] {
        d->message.clear();
        d->updateStatus();
    });

    d->status = new ELabelWidget;
    d->status->setFont(EStyle::font(EStyle::kCaptionFontPx + 1));
    d->status->setColortext(EStyle::color(EStyle::kInk));
    d->status->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->addWidget(d->status, 4, 0);
    setLayout(grid);

    // The custom range panel: a row of its own below the parameter choices while it is open.
    d->customPanel = new EGraphicsWidget(this);
    d->customPanel->setZValue(5);
    d->customPanel->setVisible(false);
    auto *custom = new QGraphicsLinearLayout(Qt::Horizontal);
    custom->setContentsMargins(0, 0, 0, 0);
    custom->setSpacing(6);
    d->fromLabel = new ELabelWidget;
    d->toLabel = new ELabelWidget;
    d->fromEdit = new ETextEdit;
    d->toEdit = new ETextEdit;
    for (ETextEdit *e : {d->fromEdit, d->toEdit}) {
        e->setSingleLine(true);
        e->setMaxLength(16);
        e->setFont(EStyle::font(EStyle::kFieldFontPx));
        e->setMinimumWidth(150);
        connect(e, &ETextEdit::returnPressed, this, [this] { d->applyCustom(); });
    }
    for (ELabelWidget *l : {d->fromLabel, d->toLabel}) {
        l->setFont(EStyle::font(EStyle::kFontPx));
        l->setColortext(EStyle::color(EStyle::kInk));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setMaximumWidth(60);
    }
    d->apply = button(false);
    d->apply->setMinimumWidth(80);
    d->apply->setMaximumWidth(120);
    custom->addItem(d->fromLabel);
    custom->addItem(d->fromEdit);
    custom->addItem(d->toLabel);
    custom->addItem(d->toEdit);
    custom->addItem(d->apply);
    custom->addStretch(1);
    d->customPanel->setLayout(custom);
    connect(d->apply, &EBaseWidget::clicked, this, [this] { d->applyCustom(); });

    d->follower.setInterval(kFollowIntervalMs);
    connect(&d->follower, &QTimer::timeout, this, [this] {
        if (!d->follow) {
            d->query();
            return;
        }
        const qint64 span = d->to - d->from;
        const qint64 now = d->clock().toMSecsSinceEpoch();
        d->moveTo(now - span, now);
    });
    d->dragFetch.setSingleShot(true);
    d->dragFetch.setInterval(kDragFetchMs);
    connect(&d->dragFetch, &QTimer::timeout, this, [this] { d->query(); });

    d->chart->setRange(d->from, d->to);
    d->fillCombos();
    d->markButtons();
    if (ELocale *locale = ECoreApp::instance() ? ECoreApp::instance()->locale() : nullptr)
        connect(locale, &ELocale::changedLocale, this, [this] { retranslate(); });
    applyTexts();
}

HistoryScreen::~HistoryScreen()
{
    d->stopStore();
}

void HistoryScreen::setConfigurationFolder(const QString &folder)
{
    d->folder = folder;
    if (d->exportFolder.isEmpty() && !folder.isEmpty())
        d->exportFolder = QDir(folder).filePath(QLatin1String(HistoryFormat::kExportFolder));
    d->startStore();
    if (isVisible())
        d->query();
}

QString HistoryScreen::configurationFolder() const
{
    return d->folder;
}

void HistoryScreen::setExportFolder(const QString &folder)
{
    d->exportFolder = folder;
}

QString HistoryScreen::exportFolder() const
{
    return d->exportFolder;
}

void HistoryScreen::setParameters(const QList<Parameter> &parameters)
{
    d->parameters = parameters;
    // The first parameter with a record is shown first; without records, the first column.
    int first = 1;
    for (const Parameter &p : parameters) {
        if (p.id >= 1 && p.id <= HistoryFormat::kParameterCount) {
            first = p.id;
            break;
        }
    }
    d->shown = QVector<int>(kMaxLines, 0);
    d->shown[0] = first;
    d->fillCombos();
    if (isVisible())
        d->query();
}

void HistoryScreen::setClock(const std::function<QDateTime()> &clock)
{
    if (!clock)
        return;
    d->clock = clock;
    if (d->store) {
        HistoryStore *store = d->store;
        QMetaObject::invokeMethod(
            store, [store, clock] { store->setClock(clock); }, Qt::BlockingQueuedConnection);
    }
    if (d->follow) {
        const qint64 span = d->to - d->from;
        const qint64 now = d->clock().toMSecsSinceEpoch();
        d->moveTo(now - span, now, isVisible());
    }
}

void HistoryScreen::setFollowInterval(int ms)
{
    d->follower.setInterval(std::max(1, ms));
}

HistoryScreen::Range HistoryScreen::range() const
{
    return d->range;
}

void HistoryScreen::setRange(Range range)
{
    if (range == Custom) {
        d->openCustom(!d->customPanel->isVisible());
        return;
    }
    d->showCustomRow(false);
    d->range = range;
    d->follow = true;
    const qint64 now = d->clock().toMSecsSinceEpoch();
    d->chart->clearCursor();
    d->chart->selectMarker(-1);
    d->moveTo(now - kSpans[range], now);
}

void HistoryScreen::showRange(qint64 from, qint64 to)
{
    if (to <= from)
        return;
    d->range = Custom;
    d->follow = false;
    d->moveTo(from, to);
}

qint64 HistoryScreen::from() const
{
    return d->from;
}

qint64 HistoryScreen::to() const
{
    return d->to;
}

bool HistoryScreen::followsClock() const
{
    return d->follow;
}

QVector<int> HistoryScreen::shownParameters() const
{
    return d->ids();
}

void HistoryScreen::setShownParameters(const QVector<int> &ids)
{
    d->shown = QVector<int>(kMaxLines, 0);
    for (int i = 0; i < std::min<int>(ids.size(), kMaxLines); ++i)
        d->shown[i] = ids.at(i) >= 1 && ids.at(i) <= HistoryFormat::kParameterCount ? ids.at(i) : 0;
    for (int slot = 0; slot < kMaxLines; ++slot)
        d->combos[slot]->setCurrentIndex(d->shown.at(slot));
    d->query();
}

QString HistoryScreen::parameterName(int id) const
{
    for (const Parameter &p : d->parameters) {
        if (p.id == id && !p.name.isEmpty())
            return p.name;
    }
    const QString caption = d->captions.value(id - 1).trimmed();
    if (!caption.isEmpty())
        return caption;
    return text(kData) + QLatin1Char(' ') + QString::number(id);
}

QString HistoryScreen::unitOf(const QString &caption)
{
    static const QRegularExpression bracketed(
        QStringLiteral("[(\\[]([^()\\[\\]]{1,12})[)\\]]\\s*$"));
    const QRegularExpressionMatch m = bracketed.match(caption);
    if (m.hasMatch())
        return m.captured(1).trimmed();
    const int comma = caption.lastIndexOf(QLatin1Char(','));
    if (comma < 0)
        return QString();
    const QString unit = caption.mid(comma + 1).trimmed();
    // "Temperature, living room" names a place, not a unit.
    return unit.size() <= 8 && !unit.contains(QLatin1Char(' ')) ? unit : QString();
}

HistoryChart *HistoryScreen::chart() const
{
    return d->chart;
}

EIconWidget *HistoryScreen::rangeButton(Range range) const
{
    return range >= Day && range <= Custom ? d->ranges[range] : nullptr;
}

EIconWidget *HistoryScreen::stepButton(int direction) const
{
    return direction < 0 ? d->back : d->forward;
}

EIconWidget *HistoryScreen::exportButton(bool picture) const
{
    return picture ? d->png : d->csv;
}

EIconWidget *HistoryScreen::applyCustomButton() const
{
    return d->apply;
}

EComboWidget *HistoryScreen::parameterCombo(int slot) const
{
    return slot >= 0 && slot < kMaxLines ? d->combos[slot] : nullptr;
}

EGraphicsWidget *HistoryScreen::customPanel() const
{
    return d->customPanel;
}

void HistoryScreen::setCustomText(const QString &from, const QString &to)
{
    d->fromEdit->setText(from);
    d->toEdit->setText(to);
}

QString HistoryScreen::statusText() const
{
    return d->status->labelT();
}

bool HistoryScreen::isLoading() const
{
    return d->loading;
}

void HistoryScreen::refresh()
{
    if (d->follow) {
        const qint64 span = d->to - d->from;
        const qint64 now = d->clock().toMSecsSinceEpoch();
        d->moveTo(now - span, now);
    } else {
        d->query();
    }
}

void HistoryScreen::exportCsv()
{
    if (!d->store || d->exportFolder.isEmpty())
        return;
    QStringList names;
    for (int id : d->ids())
        names << parameterName(id);
    HistoryStore *store = d->store;
    const qint64 from = d->from;
    const qint64 to = d->to;
    const QVector<int> ids = d->ids();
    const QString folder = d->exportFolder;
    QMetaObject::invokeMethod(
        store,
        [store, from, to, ids, names, folder] { store->exportRange(from, to, ids, names, folder); },
        Qt::QueuedConnection);
}

void HistoryScreen::exportPng()
{
    if (d->exportFolder.isEmpty())
        return;
    const QString path =
        QDir(d->exportFolder)
            .filePath(HistoryExport::baseName(d->from, d->to) + QStringLiteral(".png"));
    // The chart as shown, markers and cursor included, on a white ground.
    const QRectF source = d->chart->sceneBoundingRect();
    QImage image(source.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    if (QGraphicsScene *s = scene()) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        s->render(&painter, QRectF(QPointF(0, 0), source.size()), source);
    }
    // Outside the panel the picture must say what it shows: what, when, and which line is which.
    const QString format = QStringLiteral("dd.MM.yyyy hh:mm");
    const QString span = QDateTime::fromMSecsSinceEpoch(d->from).toString(format) +
                         QStringLiteral(" \u2013 ") +
                         QDateTime::fromMSecsSinceEpoch(d->to).toString(format);
    QVector<HistoryExport::LegendEntry> legend;
    for (const HistoryChart::Line &line : d->lines())
        legend.append({line.name, line.color});
    image = HistoryExport::captionedPicture(image, text(kTitle), span, legend);
    QString error;
    const bool ok = HistoryExport::writePicture(image, path, &error);
    d->message =
        ok ? text(kExported).arg(QDir::toNativeSeparators(path)) : text(kExportFailed).arg(error);
    d->updateStatus();
    emit exportFinished(ok ? QStringList{path} : QStringList(), ok);
}

void HistoryScreen::applyTexts()
{
    d->title->setLabelT(text(kTitle));
    for (int r = Day; r <= Custom; ++r)
        d->ranges[r]->setText(text(kRangeTexts[r]));
    d->csv->setText(text(kCsv));
    d->png->setText(text(kPng));
    d->fromLabel->setLabelT(text(kFrom));
    d->toLabel->setLabelT(text(kTo));
    d->apply->setText(text(kApply));
    d->chart->setMarkerWords(text(kAlarm), text(kMessage), text(kActive), text(kCleared));
    d->fillCombos();
    d->updateStatus();
}

void HistoryScreen::showEvent(QShowEvent *event)
{
    EGraphicsWidget::showEvent(event);
    retranslate();
    d->follower.start();
    if (d->follow) {
        const qint64 span = d->to - d->from;
        const qint64 now = d->clock().toMSecsSinceEpoch();
        d->moveTo(now - span, now);
    } else {
        d->query();
    }
}

void HistoryScreen::hideEvent(QHideEvent *event)
{
    EGraphicsWidget::hideEvent(event);
    d->follower.stop();
    d->dragFetch.stop();
}

