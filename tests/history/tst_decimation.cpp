// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// Decimation of chart lines against brute-force references on random data: the minimum and
// maximum of every pixel column, largest-triangle-three-buckets against the published algorithm
// written out plainly, and the cutting of lines at gaps.
#include "decimation.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

QVector<QPointF> randomLine(int n, quint32 seed, bool irregular)
{
    QRandomGenerator random(seed);
    QVector<QPointF> points;
    double x = 1000;
    double y = 0;
    for (int i = 0; i < n; ++i) {
        y += random.generateDouble() - 0.5;
        if (random.bounded(50) == 0)
            y += 20 * (random.generateDouble() - 0.5); // a spike
        points.append({x, y});
        x += irregular ? 1 + random.bounded(30) : 10;
    }
    return points;
}

// The published algorithm, step by step, with a bucket size of (n - 2) / (threshold - 2).
QVector<QPointF> lttbReference(const QVector<QPointF> &data, int threshold)
{
    const int n = data.size();
    if (threshold >= n || threshold < 3)
        return data;
    QVector<QPointF> sampled{data.first()};
    const double every = double(n - 2) / (threshold - 2);
    int a = 0;
    for (int i = 0; i < threshold - 2; ++i) {
        int avgStart = int(std::floor((i + 1) * every)) + 1;
        int avgEnd = std::min(int(std::floor((i + 2) * every)) + 1, n);
        double avgX = 0, avgY = 0;
        for (int j = avgStart; j < avgEnd; ++j) {
            avgX += data[j].x();
            avgY += data[j].y();
        }
        avgX /= (avgEnd - avgStart);
        avgY /= (avgEnd - avgStart);
        const int from = int(std::floor(i * every)) + 1;
        const int to = int(std::floor((i + 1) * every)) + 1;
        double maxArea = -1;
        int next = from;
        for (int j = from; j < to; ++j) {
            const double area = std::fabs((data[a].x() - avgX) * (data[j].y() - data[a].y()) -
                                          (data[a].x() - data[j].x()) * (avgY - data[a].y())) *
                                0.5;
            if (area > maxArea) {
                maxArea = area;
                next = j;
            }
        }
        sampled.append(data[next]);
        a = next;
    }
    sampled.append(data.last());
    return sampled;
}

} // namespace

class tst_Decimation : public QObject
{
    Q_OBJECT

private slots:
    void minMaxKeepsEveryColumnsExtremes_data();
    void minMaxKeepsEveryColumnsExtremes();
    void lttbMatchesTheAlgorithm_data();
    void lttbMatchesTheAlgorithm();
    void splitAtGaps_data();
    void splitAtGaps();
};

void tst_Decimation::minMaxKeepsEveryColumnsExtremes_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("columns");
    QTest::addColumn<bool>("irregular");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("many points per column") << 100000 << 800 << false << 1u;
    QTest::newRow("irregular spacing") << 20000 << 333 << true << 2u;
    QTest::newRow("fewer points than columns") << 300 << 1000 << true << 3u;
    QTest::newRow("one column") << 5000 << 1 << false << 4u;
}

void tst_Decimation::minMaxKeepsEveryColumnsExtremes()
{
    QFETCH(int, points);
    QFETCH(int, columns);
    QFETCH(bool, irregular);
    QFETCH(quint32, seed);
    const QVector<QPointF> line = randomLine(points, seed, irregular);
    // A range that cuts the line at both ends.
    const double from = line.at(points / 10).x() + 0.5;
    const double to = line.at(points - points / 10).x() - 0.5;
    const QVector<QPointF> out = HistoryDecimation::minMax(line, from, to, columns);

    const double width = (to - from) / columns;
    QVector<double> low(columns, 1e300), high(columns, -1e300);
    for (const QPointF &p : line) {
        if (p.x() < from || p.x() >= to)
            continue;
        const int c = std::min(columns - 1, int((p.x() - from) / width));
        low[c] = std::min(low[c], p.y());
        high[c] = std::max(high[c], p.y());
    }
    QVector<double> gotLow(columns, 1e300), gotHigh(columns, -1e300);
    QVector<int> perColumn(columns, 0);
    for (const QPointF &p : out) {
        QVERIFY(line.contains(p));
        QVERIFY(p.x() >= from && p.x() < to);
        const int c = std::min(columns - 1, int((p.x() - from) / width));
        gotLow[c] = std::min(gotLow[c], p.y());
        gotHigh[c] = std::max(gotHigh[c], p.y());
        ++perColumn[c];
    }
    QVERIFY(std::is_sorted(out.cbegin(), out.cend(),
                           [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); }));
    for (int c = 0; c < columns; ++c) {
        QCOMPARE(gotLow[c], low[c]);
        QCOMPARE(gotHigh[c], high[c]);
        QVERIFY(perColumn[c] <= 2);
    }
}

void tst_Decimation::lttbMatchesTheAlgorithm_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("a day of minutes to 800") << 1440 << 800 << 5u;
    QTest::newRow("a year of minutes to 1200") << 525600 << 1200 << 6u;
    QTest::newRow("uneven ratio") << 1001 << 7 << 7u;
    QTest::newRow("three points") << 500 << 3 << 8u;
    QTest::newRow("threshold above the size") << 50 << 100 << 9u;
}

void tst_Decimation::lttbMatchesTheAlgorithm()
{
    QFETCH(int, points);
    QFETCH(int, threshold);
    QFETCH(quint32, seed);
    const QVector<QPointF> line = randomLine(points, seed, true);
    const QVector<QPointF> out = HistoryDecimation::lttb(line, threshold);
    QCOMPARE(out, lttbReference(line, threshold));
    QCOMPARE(out.size(), std::min(points, threshold));
    QCOMPARE(out.first(), line.first());
    QCOMPARE(out.last(), line.last());
}

void tst_Decimation::splitAtGaps_data()
{
    QTest::addColumn<QVector<double>>("xs");
    QTest::addColumn<double>("gap");
    QTest::addColumn<QVector<int>>("sizes");
    QTest::newRow("no gap") << QVector<double>{0, 1, 2, 3} << 1.5 << QVector<int>{4};
    QTest::newRow("one gap") << QVector<double>{0, 1, 5, 6, 7} << 1.5 << QVector<int>{2, 3};
    QTest::newRow("exactly the gap is no gap")
        << QVector<double>{0, 2, 4} << 2.0 << QVector<int>{3};
    QTest::newRow("lone points") << QVector<double>{0, 10, 20} << 5.0 << QVector<int>{1, 1, 1};
    QTest::newRow("empty") << QVector<double>{} << 1.0 << QVector<int>{};
}

void tst_Decimation::splitAtGaps()
{
    QFETCH(QVector<double>, xs);
    QFETCH(double, gap);
    QFETCH(QVector<int>, sizes);
    QVector<QPointF> line;
    for (double x : xs)
        line.append({x, x * 2});
    const QList<QVector<QPointF>> pieces = HistoryDecimation::split(line, gap);
    QVector<int> got;
    QVector<QPointF> joined;
    for (const QVector<QPointF> &p : pieces) {
        got.append(p.size());
        joined += p;
    }
    QCOMPARE(got, sizes);
    QCOMPARE(joined, line);
}

QTEST_GUILESS_MAIN(tst_Decimation)
#include "tst_decimation.moc"
