// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The plan picture cache: pictures at the size drawn, eviction of the least recently shown past
// the budget, hidden plans holding nothing, and pictures coming back right after eviction.
#include "ecoreapp.h"
#include "eimagewidget.h"
#include "picturebomb.h"
#include "plancache.h"

#include <QGraphicsScene>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kPlans = 8;
const QSize kDrawn(200, 150);
// One picture at the drawn size, in bytes (32 bits a pixel).
constexpr qint64 kPictureBytes = 200 * 150 * 4;

QColor colourOf(int plan)
{
    return QColor::fromHsv(plan * 360 / kPlans, 255, 230);
}

bool sameColour(QRgb pixel, const QColor &colour)
{
    return qAbs(qRed(pixel) - colour.red()) < 8 && qAbs(qGreen(pixel) - colour.green()) < 8 &&
           qAbs(qBlue(pixel) - colour.blue()) < 8;
}

} // namespace

class TestPlanCache : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pictureAtTheSizeDrawn();
    void eviction_data();
    void eviction();
    void hiddenPlansHoldNothingAcrossTours();
    void unreadablePictureShowsTheSign();
    void oversizedPlanRefused();

private:
    // Plan i as a visible-or-hidden image widget on the scene, like a room page in the stack.
    EImageWidget *page(int i);
    // Hides every page, then shows page i and hands its plan to the cache, as a room screen does.
    void showPage(PlanCache &cache, int i);
    QString path(int i) const { return m_dir.filePath(QStringLiteral("plan%1.png").arg(i)); }

    QTemporaryDir m_dir;
    QGraphicsScene m_scene;
    QList<EImageWidget *> m_pages;
};

void TestPlanCache::initTestCase()
{
    QVERIFY(m_dir.isValid());
    for (int i = 0; i < kPlans; ++i) {
        // Larger than drawn, as a plan file is: the cache must shrink it.
        QImage img(1600, 1200, QImage::Format_RGB32);
        img.fill(colourOf(i));
        QVERIFY(img.save(path(i)));
    }
}

EImageWidget *TestPlanCache::page(int i)
{
    while (m_pages.size() <= i) {
        auto *w = new EImageWidget;
        w->setFillMode(EImageWidget::Stretch);
        m_scene.addItem(w);
        w->setGeometry(QRectF(QPointF(0, 0), kDrawn));
        w->hide();
        m_pages.append(w);
    }
    return m_pages.at(i);
}

void TestPlanCache::showPage(PlanCache &cache, int i)
{
    for (EImageWidget *w : qAsConst(m_pages))
        w->hide();
    EImageWidget *w = page(i);
    w->show();
    cache.show(w, path(i));
}

void TestPlanCache::pictureAtTheSizeDrawn()
{
    PlanCache cache;
    EImageWidget *w = page(0);
    showPage(cache, 0);
    QCOMPARE(w->image().size(), kDrawn);
    QVERIFY(sameColour(w->image().pixel(10, 10), colourOf(0)));
    QCOMPARE(cache.heldBytes(), kPictureBytes);
    // Drawn larger: the picture follows at the new size, decoded anew.
    w->resize(400, 300);
    QCOMPARE(w->image().size(), QSize(400, 300));
    QCOMPARE(cache.decodeCount(), 2);
    w->resize(kDrawn);
    QCOMPARE(w->image().size(), kDrawn);
    QCOMPARE(cache.decodeCount(), 2); // the first size was still held
    QCOMPARE(PlanCache::decode(path(0), QSize()).size(), QSize(1600, 1200));
}

void TestPlanCache::eviction_data()
{
    QTest::addColumn<int>("budgetPictures");
    QTest::addColumn<QList<int>>("shown");
    QTest::addColumn<QList<int>>("reshownWithoutDecoding");
    QTest::addColumn<QList<int>>("reshownDecoded");
    // clang-format off
    QTest::newRow("all fit") << 8 << QList<int>{0, 1, 2, 3} << QList<int>{0, 3} << QList<int>{};
    QTest::newRow("oldest go first")
        << 4 << QList<int>{0, 1, 2, 3, 4, 5} << QList<int>{5, 4, 3, 2} << QList<int>{0, 1};
    QTest::newRow("a picture shown again is young again")
        << 4 << QList<int>{0, 1, 2, 0, 3, 4} << QList<int>{0, 4} << QList<int>{1};
    QTest::newRow("no budget keeps the recent few")
        << 0 << QList<int>{0, 1, 2, 3, 4} << QList<int>{4, 3, 2} << QList<int>{0, 1};
    // clang-format on
}

void TestPlanCache::eviction()
{
    QFETCH(int, budgetPictures);
    QFETCH(QList<int>, shown);
    QFETCH(QList<int>, reshownWithoutDecoding);
    QFETCH(QList<int>, reshownDecoded);
    PlanCache cache;
    cache.setBudgetBytes(budgetPictures * kPictureBytes);
    for (int i : shown)
        showPage(cache, i);
    const qint64 bound = qMax(budgetPictures, int(PlanCache::kKeptRecent)) * kPictureBytes;
    QVERIFY(cache.heldBytes() <= bound);
    QCOMPARE(cache.heldBytes(), cache.pictureCount() * kPictureBytes);

    for (int i : reshownWithoutDecoding) {
        const int before = cache.decodeCount();
        showPage(cache, i);
        QCOMPARE(cache.decodeCount(), before);
        QCOMPARE(page(i)->image().size(), kDrawn);
        QVERIFY(sameColour(page(i)->image().pixel(5, 5), colourOf(i)));
    }
    for (int i : reshownDecoded) {
        const int before = cache.decodeCount();
        showPage(cache, i);
        QCOMPARE(cache.decodeCount(), before + 1);
        // Right picture, right scale, straight away (no blank frame in between).
        QCOMPARE(page(i)->image().size(), kDrawn);
        QVERIFY(sameColour(page(i)->image().pixel(5, 5), colourOf(i)));
        QVERIFY(cache.heldBytes() <= bound);
    }
}

void TestPlanCache::hiddenPlansHoldNothingAcrossTours()
{
    PlanCache cache;
    cache.setBudgetBytes(3 * kPictureBytes);
    for (int tour = 0; tour < 10; ++tour) {
        for (int i = 0; i < kPlans; ++i) {
            showPage(cache, i);
            QVERIFY(!page(i)->image().isNull());
        }
        // Only the page on screen holds a picture; the cache holds the budget's worth.
        for (int i = 0; i < kPlans - 1; ++i)
            QVERIFY2(page(i)->image().isNull(), qPrintable(QStringLiteral("page %1").arg(i)));
        QVERIFY(cache.heldBytes() <= 3 * kPictureBytes);
        QVERIFY(cache.pictureCount() <= 3);
    }
    // A plan widget that goes away is forgotten.
    delete m_pages.takeLast();
    showPage(cache, 0);
    QVERIFY(!page(0)->image().isNull());
}

void TestPlanCache::unreadablePictureShowsTheSign()
{
    PlanCache cache;
    EImageWidget *w = page(0);
    for (EImageWidget *p : qAsConst(m_pages))
        p->hide();
    w->show();
    cache.show(w, m_dir.filePath(QStringLiteral("no such plan.png")));
    QCOMPARE(w->image().size(), kDrawn);
    cache.show(w, QString());
    QVERIFY(w->image().isNull());
}

void TestPlanCache::oversizedPlanRefused()
{
    // A 20000 x 20000 plan in a few hundred bytes: refused from its header, named in the load
    // report, the missing-picture sign drawn in its place.
    const QString bomb = m_dir.filePath(QStringLiteral("huge plan.png"));
    QFile file(bomb);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(PictureBomb::png(QSize(20000, 20000)));
    file.close();
    QSignalSpy found(ECoreApp::instance(), &ECoreApp::loadProblemFound);
    PlanCache cache;
    EImageWidget *w = page(0);
    for (EImageWidget *p : qAsConst(m_pages))
        p->hide();
    w->show();
    cache.show(w, bomb);
    QCOMPARE(w->image().size(), kDrawn);
    QCOMPARE(found.count(), 1);
    QVERIFY(found.first().first().value<LoadProblem>().file.endsWith(QLatin1String("huge plan.png")));
    QVERIFY(cache.heldBytes() <= kPictureBytes);
}

QTEST_MAIN(TestPlanCache)
#include "tst_plancache.moc"
