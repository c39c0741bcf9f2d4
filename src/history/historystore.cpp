// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "historystore.h"

#include "alarmlogstore.h"
#include "archiveindex.h"
#include "decimation.h"
#include "historyexport.h"

#include <QDir>
#include <cmath>

using HistoryFormat::kBucketSeconds;

namespace {

// A line breaks where its points lie this many usual row intervals (or pixel columns) apart.
constexpr double kGapFactor = 2.5;

void registerTypes()
{
    static const bool done = [] {
        qRegisterMetaType<HistoryQuery>("HistoryQuery");
        qRegisterMetaType<HistoryResult>("HistoryResult");
        return true;
    }();
    Q_UNUSED(done)
}

// Cuts the mean line and its band at the same places.
void splitWithBand(HistorySeries *series, const QVector<QPointF> &mean, const QVector<QPointF> &low,
                   const QVector<QPointF> &high, double gap)
{
    int start = 0;
    for (int i = 1; i <= mean.size(); ++i) {
        if (i == mean.size() || mean.at(i).x() - mean.at(i - 1).x() > gap) {
            series->segments.append(mean.mid(start, i - start));
            series->lows.append(low.mid(start, i - start));
            series->highs.append(high.mid(start, i - start));
            start = i;
        }
    }
}

void extend(HistorySeries *series, double low, double high)
{
    if (std::isnan(series->minimum) || low < series->minimum)
        series->minimum = low;
    if (std::isnan(series->maximum) || high > series->maximum)
        series->maximum = high;
}

} // namespace

struct HistoryStore::Private
{
    QString folder;
    std::unique_ptr<ArchiveIndex> index;
    std::unique_ptr<AlarmLogStore> alarms;
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };
};

HistoryStore::HistoryStore(const QString &configurationFolder, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>())
{
    registerTypes();
    // Delivered in whatever thread the store lives in by then.
    connect(this, &HistoryStore::queryPosted, this, &HistoryStore::runPosted,
            Qt::QueuedConnection);
    d->folder = configurationFolder;
    const QDir base(configurationFolder);
    d->index =
        std::make_unique<ArchiveIndex>(base.filePath(QLatin1String(HistoryFormat::kArchiveFolder)));
    d->alarms =
        std::make_unique<AlarmLogStore>(base.filePath(QLatin1String(HistoryFormat::kAlarmFolder)));
}

HistoryStore::~HistoryStore()
{
    // The mailbox was last filled by another thread: empty it under its lock.
    const std::lock_guard<std::mutex> lock(m_mailbox);
    m_postedQuery.reset();
    m_result.reset();
}

QString HistoryStore::configurationFolder() const
{
    return d->folder;
}

void HistoryStore::setClock(const std::function<QDateTime()> &clock)
{
    if (clock)
        d->clock = clock;
}

const ArchiveIndex &HistoryStore::index() const
{
    return *d->index;
}

HistoryResult HistoryStore::compute(const HistoryQuery &query)
{
    HistoryResult result;
    result.query = query;
    const QDateTime now = d->clock();
    d->index->refresh(now);
    d->alarms->refresh(now);
    result.captions = d->index->captions();
    result.firstTime = d->index->firstTime();
    result.lastTime = d->index->lastTime();
    result.garbageLines = d->index->garbageLines() + d->alarms->garbageLines();
    const qint64 span = query.to - query.from;
    if (span <= 0)
        return result;
    result.events = d->alarms->events(query.from, query.to);

    const int pixels = qBound(1, query.pixels, 100000);
    const double pixelMs = double(span) / pixels;
    const double gap = kGapFactor * std::max<double>(double(d->index->typicalInterval()), pixelMs);
    result.fromIndex = pixelMs >= kBucketSeconds * 1000.0;

    if (result.fromIndex) {
        for (int id : query.parameters) {
            HistorySeries series;
            series.parameter = id;
            const QVector<SpanStats> columns = d->index->columns(id, query.from, query.to, pixels);
            QVector<QPointF> mean, low, high;
            for (int i = 0; i < columns.size(); ++i) {
                const SpanStats &s = columns.at(i);
                if (!s.count)
                    continue;
                const double x = query.from + (i + 0.5) * pixelMs;
                mean.append({x, s.mean()});
                low.append({x, double(s.minimum)});
                high.append({x, double(s.maximum)});
                extend(&series, s.minimum, s.maximum);
            }
            splitWithBand(&series, mean, low, high, gap);
            result.series.append(series);
        }
        return result;
    }

    QVector<QVector<QPointF>> raw(query.parameters.size());
    d->index->readRows(query.from, query.to, [&](const ArchiveRow &row) {
        for (int i = 0; i < query.parameters.size(); ++i) {
            const int id = query.parameters.at(i);
            if (id < 1 || id > HistoryFormat::kParameterCount)
                continue;
            const double v = row.values[size_t(id - 1)];
            if (!std::isnan(v))
                raw[i].append(QPointF(double(row.time), v));
        }
    });
    for (int i = 0; i < query.parameters.size(); ++i) {
        QVector<QPointF> &points = raw[i];
        // Files hold their rows in order; a clock set back is the rare case that needs sorting.
        if (!std::is_sorted(points.cbegin(), points.cend(),
                            [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); }))
            std::stable_sort(points.begin(), points.end(),
                             [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); });
        HistorySeries series;
        series.parameter = query.parameters.at(i);
        for (const QPointF &p : qAsConst(points))
            extend(&series, p.y(), p.y());
        QVector<QPointF> shown;
        if (query.decimation == Decimation::Lttb)
            shown = HistoryDecimation::lttb(points, pixels);
        else if (points.size() > 2 * pixels)
            shown =
                HistoryDecimation::minMax(points, double(query.from), double(query.to) + 1, pixels);
        else
            shown = points;
        series.segments = HistoryDecimation::split(shown, gap);
        result.series.append(series);
    }
    return result;
}

void HistoryStore::post(const HistoryQuery &query)
{
    {
        const std::lock_guard<std::mutex> lock(m_mailbox);
        m_postedQuery = query;
    }
    emit queryPosted();
}

bool HistoryStore::takeResult(HistoryResult *result)
{
    const std::lock_guard<std::mutex> lock(m_mailbox);
    if (!m_result || !result)
        return false;
    *result = std::move(*m_result);
    m_result.reset();
    return true;
}

void HistoryStore::runPosted()
{
    HistoryQuery query;
    {
        const std::lock_guard<std::mutex> lock(m_mailbox);
        if (!m_postedQuery)
            return;
        query = std::move(*m_postedQuery);
        m_postedQuery.reset();
    }
    if (query.serial < m_latest.load())
        return;
    HistoryResult result = compute(query);
    if (query.serial < m_latest.load())
        return;
    {
        const std::lock_guard<std::mutex> lock(m_mailbox);
        m_result = result;
    }
    emit resultAvailable();
}

void HistoryStore::request(const HistoryQuery &query)
{
    if (query.serial < m_latest.load())
        return;
    const HistoryResult result = compute(query);
    if (query.serial < m_latest.load())
        return;
    emit resultReady(result);
}

void HistoryStore::exportRange(qint64 from, qint64 to, const QVector<int> &ids,
                               const QStringList &names, const QString &folder)
{
    const QDateTime now = d->clock();
    d->index->refresh(now);
    d->alarms->refresh(now);
    QVector<HistoryExport::Column> columns;
    for (int i = 0; i < ids.size(); ++i)
        columns.append({ids.at(i), names.value(i)});
    const QString base = QDir(folder).filePath(HistoryExport::baseName(from, to));
    const QString values = base + QStringLiteral(".csv");
    const QString events = base + QStringLiteral("-alarms.csv");
    QString error;
    if (!HistoryExport::writeValues(*d->index, from, to, columns, values, nullptr, &error)) {
        emit exportFinished({}, error);
        return;
    }
    if (!HistoryExport::writeEvents(d->alarms->events(from, to), events, &error)) {
        emit exportFinished({values}, error);
        return;
    }
    emit exportFinished({values, events}, QString());
}
