// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "iconcatalog.h"

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kSourceDir = QStringLiteral(VERANDIX_SOURCE_DIR);
const QString kIconDir = kSourceDir + QStringLiteral("/resources/icons");

QStringList listedNames()
{
    QFile file(kIconDir + QStringLiteral("/LIST.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList names;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            names << line;
    }
    return names;
}

// Largest difference of one colour channel between two pictures of the same size.
int maxChannelDifference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    int worst = 0;
    for (int row = 0; row < x.height(); ++row) {
        const QRgb *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const QRgb *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            worst = qMax(worst, qAbs(qRed(p[col]) - qRed(q[col])));
            worst = qMax(worst, qAbs(qGreen(p[col]) - qGreen(q[col])));
            worst = qMax(worst, qAbs(qBlue(p[col]) - qBlue(q[col])));
            worst = qMax(worst, qAbs(qAlpha(p[col]) - qAlpha(q[col])));
        }
    }
    return worst;
}

} // namespace

class TestBuiltinPictures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void listMatchesGenerator();
    void listedPictureLoads_data();
    void listedPictureLoads();
    void committedPictureIsCurrent_data();
    void committedPictureIsCurrent();
    void noStrayPictures();
    void drawingIsRepeatable();
    void statesLookDifferent_data();
    void statesLookDifferent();
    void iconCornersAreClear_data();
    void iconCornersAreClear();
    void topBarIconsStandOut_data();
    void topBarIconsStandOut();
    void backgroundTileHasNoSeam();
    void picturesNamedInSourcesExist();

private:
    QTemporaryDir m_generated;
};

void TestBuiltinPictures::initTestCase()
{
    QVERIFY(m_generated.isValid());
    QString error;
    QVERIFY2(IconCatalog::writeAll(m_generated.path(), &error), qPrintable(error));
    QVERIFY2(!listedNames().isEmpty(), "resources/icons/LIST.txt is missing or empty");
}

void TestBuiltinPictures::listMatchesGenerator()
{
    QStringList listed = listedNames();
    const int count = listed.size();
    listed.removeDuplicates();
    QCOMPARE(listed.size(), count);
    QStringList generated = IconCatalog::names();
    std::sort(listed.begin(), listed.end());
    std::sort(generated.begin(), generated.end());
    QCOMPARE(generated, listed);
}

void TestBuiltinPictures::listedPictureLoads_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : listedNames())
        QTest::newRow(qPrintable(name)) << name;
}

void TestBuiltinPictures::listedPictureLoads()
{
    // Exactly the path the screens use, so an alias spelt differently in the resource list fails.
    QFETCH(QString, name);
    const QImage image(QStringLiteral(":/resources/") + name);
    QVERIFY2(!image.isNull(), qPrintable(name + QStringLiteral(" is not in the resources")));
    const QImage drawn = IconCatalog::render(name);
    QCOMPARE(image.size(), drawn.size());
    QVERIFY(image.width() >= 16 && image.height() >= 16);
}

void TestBuiltinPictures::committedPictureIsCurrent_data()
{
    listedPictureLoads_data();
}

void TestBuiltinPictures::committedPictureIsCurrent()
{
    QFETCH(QString, name);
    QFile committed(kIconDir + QLatin1Char('/') + name);
    QFile fresh(m_generated.filePath(name));
    QVERIFY2(committed.open(QIODevice::ReadOnly), qPrintable(committed.fileName()));
    QVERIFY2(fresh.open(QIODevice::ReadOnly), qPrintable(fresh.fileName()));
    const QByteArray a = committed.readAll();
    const QByteArray b = fresh.readAll();
    if (a == b)
        return;
    // Another processor may take another rounding path in the rasteriser; allow that, but not a
    // changed drawing.
    const QImage x = QImage::fromData(a, "png");
    const QImage y = QImage::fromData(b, "png");
    QCOMPARE(x.size(), y.size());
    const int diff = maxChannelDifference(x, y);
    QVERIFY2(diff <= 2,
             qPrintable(QStringLiteral("%1 differs from the generator's drawing by up to "
                                       "%2 levels: run resources/icons/regenerate.sh")
                            .arg(name)
                            .arg(diff)));
}

void TestBuiltinPictures::noStrayPictures()
{
    const QStringList names = listedNames();
    const QSet<QString> listed(names.cbegin(), names.cend());
    QStringList stray;
    const QStringList files = QDir(kIconDir).entryList({QStringLiteral("*.png")}, QDir::Files);
    for (const QString &file : files) {
        if (!listed.contains(file))
            stray << file;
    }
    QVERIFY2(stray.isEmpty(), qPrintable(stray.join(QLatin1Char(' '))));
}

void TestBuiltinPictures::drawingIsRepeatable()
{
    // Nothing may depend on time or chance: two drawings in one run are identical.
    for (const IconEntry &e : IconCatalog::entries())
        QVERIFY2(e.paint(e.size) == e.paint(e.size), qPrintable(e.name));
}

void TestBuiltinPictures::statesLookDifferent_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    // clang-format off
    const char *pairs[][2] = {
        {"connecting_ip1.png", "connecting_ip2.png"},
        {"connected_ip1-ok.png", "connected_ip2-ok.png"},
        {"connected_ip1-badtime.png", "connected_ip2-badtime.png"},
        {"connecting_ip1.png", "connected_ip1-ok.png"},
        {"connected_ip1-ok.png", "connected_ip1-badtime.png"},
        {"alert.png", "alert_yellow.png"},
        {"alert_yellow.png", "alert_red.png"},
        {"minimize.png", "fullscreenicon.png"},
        {"minimize.png", "expand.png"},
        {"fullscreenicon.png", "fullscreenexit.png"},
        {"onebit_accepted.png", "onebit_decline.png"},
        {"check.png", "no.png"},
        {"zoomin.png", "zoomout.png"},
        {"left_arrow.png", "right_arrow.png"},
        {"up_arrow.png", "down_arrow.png"},
        {"hslider.png", "vslider.png"},
        {"sun_clouds.png", "moon_cloud.png"},
        {"raind.png", "sun_rain.png"},
        {"snow.png", "moon_snow.png"},
        {"thunder.png", "sun_thunder.png"},
        {"ipad-large1.png", "ipad-large2.png"},
        {"ipad-large2.png", "ipad-large3.png"},
    };
    // clang-format on
    for (const auto &pair : pairs)
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(pair[0], pair[1])))
            << QString::fromLatin1(pair[0]) << QString::fromLatin1(pair[1]);
}

void TestBuiltinPictures::statesLookDifferent()
{
    // A state a person must tell apart at a glance: the pictures must differ clearly, not by a
    // stray pixel.
    QFETCH(QString, a);
    QFETCH(QString, b);
    const QImage x(QStringLiteral(":/resources/") + a);
    const QImage y(QStringLiteral(":/resources/") + b);
    QVERIFY(!x.isNull() && !y.isNull());
    QCOMPARE(x.size(), y.size());
    const QImage p = x.convertToFormat(QImage::Format_ARGB32);
    const QImage q = y.convertToFormat(QImage::Format_ARGB32);
    int changed = 0;
    for (int row = 0; row < p.height(); ++row) {
        for (int col = 0; col < p.width(); ++col) {
            const QRgb u = p.pixel(col, row);
            const QRgb v = q.pixel(col, row);
            if (qAbs(qRed(u) - qRed(v)) + qAbs(qGreen(u) - qGreen(v)) + qAbs(qBlue(u) - qBlue(v)) +
                    qAbs(qAlpha(u) - qAlpha(v)) >
                64)
                ++changed;
        }
    }
    QVERIFY2(changed >= p.width() * p.height() / 100,
             qPrintable(QStringLiteral("only %1 pixels differ").arg(changed)));
}

void TestBuiltinPictures::iconCornersAreClear_data()
{
    QTest::addColumn<QString>("name");
    for (const IconEntry &e : IconCatalog::entries()) {
        // The two pictures that fill their whole area on purpose.
        if (e.name != QLatin1String("bp.png") && e.name != QLatin1String("none.png"))
            QTest::newRow(qPrintable(e.name)) << e.name;
    }
}

void TestBuiltinPictures::iconCornersAreClear()
{
    // An icon with an opaque corner shows as a box on the bar, the buttons and the plans.
    QFETCH(QString, name);
    const QImage image =
        QImage(QStringLiteral(":/resources/") + name).convertToFormat(QImage::Format_ARGB32);
    QVERIFY(image.hasAlphaChannel());
    const int r = image.width() - 1;
    const int b = image.height() - 1;
    for (const QPoint &corner : {QPoint(0, 0), QPoint(r, 0), QPoint(0, b), QPoint(r, b)})
        QVERIFY2(qAlpha(image.pixel(corner)) == 0,
                 qPrintable(QStringLiteral("corner %1,%2").arg(corner.x()).arg(corner.y())));
}

void TestBuiltinPictures::topBarIconsStandOut_data()
{
    QTest::addColumn<QString>("name");
    for (const IconEntry &e : IconCatalog::entries()) {
        if (e.group == QLatin1String("top bar"))
            QTest::newRow(qPrintable(e.name)) << e.name;
    }
}

void TestBuiltinPictures::topBarIconsStandOut()
{
    // Drawn on the bar's own colour, the icon must change a fair share of its area clearly.
    QFETCH(QString, name);
    const QImage icon(QStringLiteral(":/resources/") + name);
    QImage onBar(icon.size(), QImage::Format_ARGB32);
    const QColor bar(37, 40, 43);
    onBar.fill(bar);
    QPainter p(&onBar);
    p.drawImage(0, 0, icon);
    p.end();
    int strong = 0;
    for (int y = 0; y < onBar.height(); ++y) {
        for (int x = 0; x < onBar.width(); ++x) {
            const QColor c = onBar.pixelColor(x, y);
            if (qAbs(qGray(c.rgb()) - qGray(bar.rgb())) > 60)
                ++strong;
        }
    }
    QVERIFY2(strong >= onBar.width() * onBar.height() / 12,
             qPrintable(QStringLiteral("only %1 pixels stand out").arg(strong)));
}

void TestBuiltinPictures::backgroundTileHasNoSeam()
{
    // The window repeats the tile; its pattern must run on across the tile's edges. It repeats
    // every 16 pixels, so the tile equals itself rolled by 16 pixels with wrap-around.
    const QImage tile =
        QImage(QStringLiteral(":/resources/bp.png")).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!tile.isNull());
    QCOMPARE(tile.width() % 16, 0);
    QCOMPARE(tile.height() % 16, 0);
    int worst = 0;
    for (int y = 0; y < tile.height(); ++y) {
        for (int x = 0; x < tile.width(); ++x) {
            const QRgb a = tile.pixel(x, y);
            for (const QPoint &d : {QPoint(16, 0), QPoint(0, 16)}) {
                const QRgb b = tile.pixel((x + d.x()) % tile.width(), (y + d.y()) % tile.height());
                worst = qMax(worst, qAbs(qGray(a) - qGray(b)));
            }
        }
    }
    QVERIFY2(worst <= 1, qPrintable(QString::number(worst)));
}

void TestBuiltinPictures::picturesNamedInSourcesExist()
{
    // Every picture the program names must be in its resources. Two spellings occur in the code:
    // full resource paths, and bare names that a screen or widget joins to the resource prefix.
    // Bare names of pictures in a project's working folder (the demo's control images) and of
    // pictures the program writes (the tour's pages) are not resources and are skipped.
    const QRegularExpression full(QStringLiteral("\"(?:qrc)?:/resources/([^\"]+\\.(?:png|jpg))\""));
    const QRegularExpression bare(QStringLiteral("\"([A-Za-z0-9_.-]+\\.png)\""));
    const QSet<QString> notResources = {
        QStringLiteral("lighton.png"), QStringLiteral("lightoff.png"),
        QStringLiteral("switch.png"),  QStringLiteral("switchscn.png"),
        QStringLiteral("piron.png"),   QStringLiteral("piroff.png"),
        QStringLiteral("pirdis.png"),  QStringLiteral("on.png"),
        QStringLiteral("splash.png"),  QStringLiteral("selector.png"),
        QStringLiteral("07-home.png"),
    };
    const QStringList screenFolders = {QStringLiteral("/src/forms/"),
                                       QStringLiteral("/src/widgets/"),
                                       QStringLiteral("/src/editor/")};
    QStringList missing;
    int seen = 0;
    QDirIterator it(kSourceDir + QStringLiteral("/src"),
                    {QStringLiteral("*.cpp"), QStringLiteral("*.h"), QStringLiteral("*.qml")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(path));
        const bool screenCode = std::any_of(screenFolders.cbegin(), screenFolders.cend(),
                                            [&](const QString &f) { return path.contains(f); });
        int lineNo = 0;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine());
            ++lineNo;
            const QString where =
                QStringLiteral("%1:%2").arg(path.mid(kSourceDir.size() + 1)).arg(lineNo);
            auto m = full.globalMatch(line);
            while (m.hasNext()) {
                const QString name = m.next().captured(1);
                ++seen;
                if (!QFile::exists(QStringLiteral(":/resources/") + name))
                    missing << QStringLiteral("%1 %2").arg(where, name);
            }
            if (!screenCode)
                continue;
            auto b = bare.globalMatch(line);
            while (b.hasNext()) {
                const QString name = b.next().captured(1);
                if (notResources.contains(name))
                    continue;
                ++seen;
                if (!QFile::exists(QStringLiteral(":/resources/") + name))
                    missing << QStringLiteral("%1 %2").arg(where, name);
            }
        }
    }
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("not in the resources: ") +
                                           missing.join(QStringLiteral("; "))));
    // The core at least names the missing-image picture; finding nothing means the scan is broken.
    QVERIFY(seen > 0);
}

QTEST_MAIN(TestBuiltinPictures)
#include "tst_builtinpictures.moc"
