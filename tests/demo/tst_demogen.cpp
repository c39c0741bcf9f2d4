// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The pieces of the demo generator: the address plan's clash detection, the XML writer, the WAVE
// writer, the house layout the plans and controls are placed from, and the icon catalogue.
#include "addressplan.h"
#include "democonstants.h"
#include "demoproject.h"
#include "genelement.h"
#include "houselayout.h"
#include "imagecatalog.h"
#include "planpainter.h"
#include "soundsynth.h"

#include <QXmlStreamReader>
#include <QtEndian>
#include <QtTest>

namespace {

AddressPlan::Entry entry(const QString &tag, int address, int length, int bit = -1,
                         bool shared = false)
{
    AddressPlan::Entry e;
    e.file = QStringLiteral("x.xml");
    e.page = QStringLiteral("Page");
    e.control = tag + QString::number(address);
    e.tag = tag;
    e.byteAddress = address;
    e.length = length;
    e.bit = bit;
    e.shared = shared;
    return e;
}

quint32 le32(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 le16(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

} // namespace

Q_DECLARE_METATYPE(AddressPlan::Entry)

class tst_DemoGen : public QObject
{
    Q_OBJECT

private slots:
    void addressPlanFindsClashes_data();
    void addressPlanFindsClashes();
    void addressPlanBlockOverflow();

    void xmlKeepsOrderAndEscapes();
    void xmlNumbersReadBack_data();
    void xmlNumbersReadBack();

    void wavesAreValidPcm_data();
    void wavesAreValidPcm();

    void layoutPlacesEverythingInsideItsRoom();
    void roomsTileTheFootprint();

    void everyNamedPictureIsDrawn();
    void statePairsDiffer_data();
    void statePairsDiffer();
};

void tst_DemoGen::addressPlanFindsClashes_data()
{
    QTest::addColumn<QList<AddressPlan::Entry>>("entries");
    QTest::addColumn<int>("problems");
    using E = QList<AddressPlan::Entry>;
    QTest::newRow("separate bytes") << E{entry("bytecnt", 1024, 2), entry("bytecnt", 1026, 2)} << 0;
    QTest::newRow("word over the next byte")
        << E{entry("bytecnt", 1024, 2), entry("boolcnt", 1025, 1, 0)} << 1;
    QTest::newRow("dword under a slider")
        << E{entry("bytecnt", 1024, 4), entry("hslider", 1026, 1)} << 1;
    QTest::newRow("bits of one byte")
        << E{entry("boolcnt", 1030, 1, 0), entry("boolcnt", 1030, 1, 1)} << 0;
    QTest::newRow("same bit twice")
        << E{entry("boolcnt", 1030, 1, 2), entry("boolcnt", 1030, 1, 2)} << 1;
    QTest::newRow("mode buttons of one byte")
        << E{entry("resbt", 1032, 1, -1, true), entry("resbt", 1032, 1, -1, true)} << 0;
    QTest::newRow("mode button over a byte value")
        << E{entry("resbt", 1032, 1, -1, true), entry("bytecnt", 1032, 1)} << 1;
    QTest::newRow("two texts overlapping")
        << E{entry("dyntextcnt", 1040, 16), entry("textwritecnt", 1054, 16)} << 1;
    QTest::newRow("a dword under two bytes")
        << E{entry("bytecnt", 1024, 4), entry("bytecnt", 1025, 1), entry("bytecnt", 1026, 1)} << 2;
}

void tst_DemoGen::addressPlanFindsClashes()
{
    QFETCH(QList<AddressPlan::Entry>, entries);
    QFETCH(int, problems);
    AddressPlan plan;
    for (const AddressPlan::Entry &e : entries)
        plan.add(e);
    QCOMPARE(plan.problems().size(), problems);
    QVERIFY(plan.markdown().contains(QStringLiteral("| %1 |").arg(entries.first().byteAddress)));
}

void tst_DemoGen::addressPlanBlockOverflow()
{
    AddressPlan plan;
    plan.beginBlock(QStringLiteral("x.xml"), 1024, 8);
    QCOMPARE(plan.allocate(1), 1024);
    // An odd length still leaves the next control on a register boundary.
    QCOMPARE(plan.allocate(3), 1026);
    QCOMPARE(plan.allocate(2), 1030);
    QVERIFY(plan.problems().isEmpty());
    plan.allocate(1);
    QCOMPARE(plan.problems().size(), 1);
}

void tst_DemoGen::xmlKeepsOrderAndEscapes()
{
    GenElement::Ptr root = GenElement::create(QStringLiteral("subsystems"));
    root->set(QStringLiteral("zeta"), QStringLiteral("1"))
        .set(QStringLiteral("alpha"), QStringLiteral("2"));
    root->append(QStringLiteral("textcnt"))
        ->set(QStringLiteral("textB"), QStringLiteral("Kids' room & <hall> \"A\""));
    root->set(QStringLiteral("zeta"), QStringLiteral("3")); // replaced in place, not appended
    const QByteArray doc = root->document();
    QVERIFY(doc.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"));
    QVERIFY2(doc.contains("<subsystems zeta=\"3\" alpha=\"2\">"), doc.constData());
    QVERIFY2(doc.contains("\n <textcnt "), "children are indented by one space");
    QVERIFY(doc.endsWith("</subsystems>\n"));

    QXmlStreamReader xml(doc);
    while (!xml.atEnd() && !(xml.isStartElement() && xml.name() == QLatin1String("textcnt")))
        xml.readNext();
    QCOMPARE(xml.attributes().value(QLatin1String("textB")).toString(),
             QStringLiteral("Kids' room & <hall> \"A\""));
}

void tst_DemoGen::xmlNumbersReadBack_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("sum with a binary tail") << 0.1 + 0.2 << QStringLiteral("0.3");
    QTest::newRow("position percent") << 12.5 << QStringLiteral("12.5");
    QTest::newRow("tiny negative is zero, not -0") << -0.00001 << QStringLiteral("0");
    QTest::newRow("negative") << -3.25 << QStringLiteral("-3.25");
    QTest::newRow("whole") << 100.0 << QStringLiteral("100");
    QTest::newRow("four decimals kept") << 46.8750 << QStringLiteral("46.875");
}

void tst_DemoGen::xmlNumbersReadBack()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    GenElement e(QStringLiteral("lamp"));
    e.set(QStringLiteral("posX"), value);
    const QByteArray doc = e.document();
    QVERIFY2(doc.contains(QStringLiteral("posX=\"%1\"").arg(text).toUtf8()), doc.constData());
}

void tst_DemoGen::wavesAreValidPcm_data()
{
    QTest::addColumn<QByteArray>("wave");
    QTest::newRow("alarm") << SoundSynth::alarm();
    QTest::newRow("chime") << SoundSynth::chime();
    QTest::newRow("leak") << SoundSynth::leak();
    QTest::newRow("smoke") << SoundSynth::smoke();
}

void tst_DemoGen::wavesAreValidPcm()
{
    QFETCH(QByteArray, wave);
    QVERIFY(wave.size() > 44);
    QCOMPARE(wave.left(4), QByteArray("RIFF"));
    QCOMPARE(le32(wave, 4), quint32(wave.size() - 8));
    QCOMPARE(wave.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(le16(wave, 20), quint16(1)); // PCM
    QCOMPARE(le16(wave, 22), quint16(1)); // mono
    QCOMPARE(le32(wave, 24), quint32(SoundSynth::kSampleRate));
    QCOMPARE(le32(wave, 28), quint32(SoundSynth::kSampleRate * 2));
    QCOMPARE(le16(wave, 34), quint16(16));
    QCOMPARE(wave.mid(36, 4), QByteArray("data"));
    QCOMPARE(le32(wave, 40), quint32(wave.size() - 44));

    // Audible, short, never clipped, and silent at both ends (no click).
    const int samples = (wave.size() - 44) / 2;
    QVERIFY(samples > SoundSynth::kSampleRate / 2 && samples < SoundSynth::kSampleRate * 3);
    int peak = 0;
    for (int i = 0; i < samples; ++i)
        peak = std::max(peak, std::abs(int(qint16(le16(wave, 44 + 2 * i)))));
    QVERIFY2(peak > 8000 && peak < 32767, qPrintable(QString::number(peak)));
    QVERIFY(std::abs(int(qint16(le16(wave, 44)))) < 2000);
    QVERIFY(std::abs(int(qint16(le16(wave, wave.size() - 2)))) < 2000);
}

void tst_DemoGen::layoutPlacesEverythingInsideItsRoom()
{
    const HouseLayout layout;
    const QRectF plan(QPointF(0, 0), PlanPainter::planSize());
    for (const HouseLayout::Floor &floor : layout.floors()) {
        for (const HouseLayout::Room &room : floor.rooms) {
            QList<QPointF> points;
            for (const HouseLayout::Lamp &lamp : room.lamps)
                points << lamp.pos;
            points << room.switches << room.sensors << room.thermostat;
            const QTransform roomView = PlanPainter::roomTransform(room.rect);
            for (const QPointF &p : points) {
                QVERIFY2(
                    room.rect.contains(p),
                    qPrintable(QStringLiteral("%1: %2,%3").arg(room.name).arg(p.x()).arg(p.y())));
                // The icon (centred on the point) stays on the room's own plan.
                const QPointF px = roomView.map(p);
                QVERIFY2(plan.adjusted(32, 32, -32, -32).contains(px), qPrintable(room.name));
            }
            QVERIFY2(!room.lamps.isEmpty(), qPrintable(room.name));
            QVERIFY2(!room.switches.isEmpty(), qPrintable(room.name));
        }
    }
}

void tst_DemoGen::roomsTileTheFootprint()
{
    const HouseLayout layout;
    QCOMPARE(layout.floors().size(), 2);
    const QRectF house(0, 0, HouseLayout::kHouseWidth, HouseLayout::kHouseDepth);
    for (const HouseLayout::Floor &floor : layout.floors()) {
        QVERIFY(floor.rooms.size() >= 4 && floor.rooms.size() <= 5);
        double area = 0;
        for (int i = 0; i < floor.rooms.size(); ++i) {
            const QRectF r = floor.rooms.at(i).rect;
            QVERIFY(house.contains(r));
            area += r.width() * r.height();
            for (int j = i + 1; j < floor.rooms.size(); ++j) {
                const QRectF overlap = r.intersected(floor.rooms.at(j).rect);
                QVERIFY2(
                    overlap.width() * overlap.height() < 1e-9,
                    qPrintable(floor.rooms.at(i).name + QLatin1Char('/') + floor.rooms.at(j).name));
            }
        }
        QCOMPARE(area, house.width() * house.height());
        // Doors and windows sit on a wall line of a room.
        for (const HouseLayout::Opening &o : floor.openings) {
            bool onWall = false;
            for (const HouseLayout::Room &room : floor.rooms) {
                const QRectF r = room.rect;
                const bool vertical = qFuzzyCompare(o.a.x(), o.b.x());
                if (vertical)
                    onWall |=
                        (qFuzzyCompare(o.a.x(), r.left()) || qFuzzyCompare(o.a.x(), r.right())) &&
                        o.a.y() >= r.top() && o.b.y() <= r.bottom();
                else
                    onWall |=
                        (qFuzzyCompare(o.a.y(), r.top()) || qFuzzyCompare(o.a.y(), r.bottom())) &&
                        o.a.x() >= r.left() && o.b.x() <= r.right();
            }
            QVERIFY2(onWall, qPrintable(QStringLiteral("%1,%2").arg(o.a.x()).arg(o.a.y())));
        }
    }
}

void tst_DemoGen::everyNamedPictureIsDrawn()
{
    const HouseLayout layout;
    const DemoProject project(layout);
    const ImageCatalog catalog(layout);
    QVERIFY(project.addressPlan().problems().isEmpty());
    for (const QString &name : project.images()) {
        const QImage image = catalog.image(name);
        QVERIFY2(!image.isNull(), qPrintable(name));
        if (name.startsWith(QLatin1String("plan_")) || name.startsWith(QLatin1String("bg_")) ||
            name.startsWith(QLatin1String("elev_")) || name == QLatin1String("home.png")) {
            QCOMPARE(image.size(), PlanPainter::planSize());
        } else {
            // Icons are square and see-through at the corners, so they sit on any plan.
            QCOMPARE(image.width(), image.height());
            QVERIFY2(image.hasAlphaChannel(), qPrintable(name));
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        }
    }
    QVERIFY(catalog.image(QStringLiteral("no_such_picture.png")).isNull());
}

void tst_DemoGen::statePairsDiffer_data()
{
    QTest::addColumn<QString>("on");
    QTest::addColumn<QString>("off");
    QTest::newRow("lamp") << "lighton.png"
                          << "lightoff.png";
    QTest::newRow("sensor") << "piron.png"
                            << "piroff.png";
    QTest::newRow("sensor unbound") << "piroff.png"
                                    << "pirdis.png";
    QTest::newRow("switch") << "switchscn.png"
                            << "switch.png";
    QTest::newRow("bit") << "on.png"
                         << "off.png";
    QTest::newRow("window") << "window_open.png"
                            << "window_closed.png";
    QTest::newRow("leak") << "leak_on.png"
                          << "leak_off.png";
    QTest::newRow("fan speed button") << "fan2_on.png"
                                      << "fan2_off.png";
    QTest::newRow("fan speeds") << "fan1_on.png"
                                << "fan3_on.png";
}

void tst_DemoGen::statePairsDiffer()
{
    QFETCH(QString, on);
    QFETCH(QString, off);
    const HouseLayout layout;
    const ImageCatalog catalog(layout);
    const QImage a = catalog.image(on);
    const QImage b = catalog.image(off);
    QVERIFY(!a.isNull() && !b.isNull());
    QCOMPARE(a.size(), b.size());
    QVERIFY(a != b);
}

QTEST_MAIN(tst_DemoGen)
#include "tst_demogen.moc"
