// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "epackage.h"
#include "loadreport.h"
#include "packagewriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

using Entries = QList<QPair<QString, QByteArray>>;

QByteArray build(const Entries &entries, int type = EPackage::Pictures)
{
    PackageWriter w(type);
    for (const auto &e : entries)
        w.addEntry(e.first, e.second);
    return w.toByteArray();
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    return f.write(data) == data.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray out(size, '\0');
    for (char &c : out)
        c = char(rng.bounded(256));
    return out;
}

void setInt(QByteArray &data, int offset, qint32 value)
{
    qToLittleEndian<qint32>(value, data.data() + offset);
}

} // namespace

class tst_EPackage : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<Entries>("entries");
        QTest::addColumn<bool>("compressed");
        QTest::newRow("compressible project files")
            << Entries{{"main_config.xml", QByteArray(5000, 'a')}, {"light_config.xml", "<x/>"}}
            << true;
        QTest::newRow("random pictures stay uncompressed")
            << Entries{{"plan.png", randomBytes(20000, 1)}, {"1-off.png", randomBytes(300, 2)}}
            << false;
        QTest::newRow("empty file entry")
            << Entries{{"empty.wav", QByteArray()}, {"b.txt", QByteArray(100, 'b')}} << true;
        QTest::newRow("UTF-8 names")
            << Entries{{QString::fromUtf8("кухня.png"), QByteArray(64, 'k')}} << true;
    }
    void roundTrip()
    {
        QFETCH(Entries, entries);
        QFETCH(bool, compressed);
        QTemporaryDir dir;
        const QByteArray package = build(entries);
        const EPackage::Header h = EPackage::readHeader(package);
        QCOMPARE(h.storedSize < h.unpackedSize, compressed);
        QCOMPARE(h.entryCount, entries.size());
        QCOMPARE(package.left(8), QByteArray("VERANDIX"));
        QCOMPARE(package.mid(24, 5), QByteArray("none\0", 5));
        QVERIFY(writeFile(dir.filePath("p.package"), package));
        const QString target = dir.filePath("out");
        QVERIFY(QDir().mkpath(target));
        QVERIFY(EPackage::unpack(dir.filePath("p.package"), target));
        for (const auto &e : entries)
            QCOMPARE(readFile(target + "/" + e.first), e.second);
        QCOMPARE(QDir(target).entryList(QDir::Files).size(), entries.size());
        // A second unpack overwrites with identical content.
        QVERIFY(EPackage::unpack(dir.filePath("p.package"), target));
        for (const auto &e : entries)
            QCOMPARE(readFile(target + "/" + e.first), e.second);
    }

    void emptyPackage()
    {
        const QByteArray package = build({}, EPackage::Sounds);
        QCOMPARE(package.size(), EPackage::kHeaderSize + 4);
        const EPackage::Header h = EPackage::readHeader(package);
        QCOMPARE(h.storedSize, 4);
        QCOMPARE(h.unpackedSize, 0);
        QCOMPARE(h.entryCount, 0);
        QCOMPARE(package.right(4), QByteArray(4, '\0'));
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("sounds.package"), package));
        QVERIFY(QDir().mkpath(dir.filePath("out")));
        QVERIFY(EPackage::unpack(dir.filePath("sounds.package"), dir.filePath("out")));
        QVERIFY(QDir(dir.filePath("out")).entryList(QDir::Files).isEmpty());
    }

    void storedEqualToUnpackedIsPlainContent()
    {
        PackageWriter w(2);
        w.addEntry("a.xml", "<a/>");
        const QByteArray content = w.content();
        QByteArray package = w.toByteArray().left(EPackage::kHeaderSize);
        setInt(package, 12, content.size());
        setInt(package, 16, content.size());
        package += content;
        package += "trailing bytes are ignored";
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("p.package"), package));
        QVERIFY(EPackage::unpack(dir.filePath("p.package"), dir.path()));
        QCOMPARE(readFile(dir.filePath("a.xml")), QByteArray("<a/>"));
    }

    void hostileNamesNeverLeaveTheTarget_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent folder") << "../escaped.txt";
        QTest::newRow("dot dot") << "..";
        QTest::newRow("dot") << ".";
        QTest::newRow("absolute") << "/tmp/verandix-escaped.txt";
        QTest::newRow("sub folder") << "sub/inner.txt";
        QTest::newRow("missing folder") << "nosuchdir/x.txt";
        QTest::newRow("backslash") << "..\\escaped.txt";
        QTest::newRow("resource path") << ":/resources/x";
    }
    void hostileNamesNeverLeaveTheTarget()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString target = dir.filePath("target");
        QVERIFY(QDir().mkpath(target + "/sub"));
        QFile::remove("/tmp/verandix-escaped.txt");
        QVERIFY(
            writeFile(dir.filePath("p.package"), build({{name, "evil"}, {"good.txt", "fine"}})));
        LoadReport report;
        QVERIFY(EPackage::unpack(dir.filePath("p.package"), target, &report));
        QCOMPARE(readFile(target + "/good.txt"), QByteArray("fine"));
        // The skipped entry is named, so whoever loads the package can say what is missing.
        QCOMPARE(report.size(), 1);
        QCOMPARE(report.problems().first().file, QStringLiteral("p.package"));
        QVERIFY2(report.problems().first().message.contains(name),
                 qPrintable(report.problems().first().message));
        QVERIFY(!QFile::exists(dir.filePath("escaped.txt")));
        QVERIFY(!QFile::exists("/tmp/verandix-escaped.txt"));
        QVERIFY(!QFile::exists(target + "/sub/inner.txt"));
        QVERIFY(!QFile::exists(target + "/..\\escaped.txt"));
    }

    void plantedLinksAreNotWrittenThrough_data()
    {
        QTest::addColumn<bool>("dangling");
        QTest::newRow("link to a file") << false;
        QTest::newRow("link to nothing yet") << true;
    }
    void plantedLinksAreNotWrittenThrough()
    {
        // Someone else got to the target first and put a link where an entry goes: the file the
        // link points at must stay as it was, and the entry is reported as not unpacked.
        QFETCH(bool, dangling);
        QTemporaryDir dir;
        const QString target = dir.filePath("target");
        QVERIFY(QDir().mkpath(target));
        const QString victim = dir.filePath("victim.txt");
        if (!dangling)
            QVERIFY(writeFile(victim, "precious"));
        QVERIFY(QFile::link(victim, target + "/main_config.xml"));
        QVERIFY(writeFile(dir.filePath("p.package"),
                          build({{"main_config.xml", "evil"}, {"good.txt", "fine"}})));
        LoadReport report;
        QVERIFY(EPackage::unpack(dir.filePath("p.package"), target, &report));
        QCOMPARE(readFile(target + "/good.txt"), QByteArray("fine"));
        QCOMPARE(QFile::exists(victim), !dangling);
        if (!dangling)
            QCOMPARE(readFile(victim), QByteArray("precious"));
        QCOMPARE(report.size(), 1);
        QVERIFY2(report.problems().first().message.contains("main_config.xml"),
                 qPrintable(report.problems().first().message));
    }

    void truncatedPackagesStayInBounds()
    {
        // Cut a package at every length: unpacking must neither crash nor write garbage names.
        const QByteArray full = build({{"a.txt", QByteArray(3000, 'a')}, {"b.txt", "bbb"}});
        const QByteArray plain = [] {
            PackageWriter w(1);
            w.addEntry("a.txt", randomBytes(500, 5));
            w.addEntry("b.txt", "bbb");
            return w.toByteArray();
        }();
        QTemporaryDir dir;
        for (const QByteArray &package : {full, plain}) {
            for (int cut = 0; cut < package.size(); cut += 7) {
                const QString target = dir.filePath(QString("t%1").arg(cut));
                QVERIFY(QDir().mkpath(target));
                QVERIFY(writeFile(dir.filePath("cut.package"), package.left(cut)));
                QVERIFY(EPackage::unpack(dir.filePath("cut.package"), target));
                for (const QString &f : QDir(target).entryList(QDir::Files))
                    QVERIFY2(f == "a.txt" || f == "b.txt", qPrintable(f));
            }
        }
    }

    void corruptBodies_data()
    {
        QTest::addColumn<QByteArray>("package");
        QByteArray corrupt = build({{"a.txt", QByteArray(4000, 'a')}});
        for (int i = EPackage::kHeaderSize + 6; i < corrupt.size(); ++i)
            corrupt[i] = char(0x5a);
        QTest::newRow("corrupt zlib stream") << corrupt;

        QByteArray hugeCount = build({{"a.txt", "x"}});
        setInt(hugeCount, 20, 0x7fffffff);
        QTest::newRow("entry count of two billion") << hugeCount;

        PackageWriter w(1);
        w.addEntry("a.txt", "x");
        QByteArray content = w.content();
        setInt(content, 0, 0x7ffffff0); // name length beyond the content
        QByteArray lying = w.toByteArray().left(EPackage::kHeaderSize);
        setInt(lying, 12, content.size());
        setInt(lying, 16, content.size());
        setInt(lying, 20, 1000000);
        QTest::newRow("name length beyond the content") << lying + content;

        QByteArray negative = build({{"a.txt", "x"}});
        setInt(negative, 12, -5);
        QTest::newRow("negative stored size") << negative;

        QByteArray claimsHuge = build({{"a.txt", QByteArray(1000, 'a')}});
        setInt(claimsHuge, 16, 0x7fffffff);
        QTest::newRow("unpacked size of two gigabytes") << claimsHuge;
    }
    void corruptBodies()
    {
        QFETCH(QByteArray, package);
        QTemporaryDir dir;
        const QString target = dir.filePath("out");
        QVERIFY(QDir().mkpath(target));
        QVERIFY(writeFile(dir.filePath("p.package"), package));
        LoadReport report;
        QVERIFY(EPackage::unpack(dir.filePath("p.package"), target, &report));
        for (const QString &f : QDir(target).entryList(QDir::Files))
            QCOMPARE(f, QStringLiteral("a.txt"));
        // Whatever came out, a package this broken never passes as a sound one.
        QVERIFY(!report.isEmpty() || !QDir(target).entryList(QDir::Files).isEmpty());
    }

    void folderOfThreePackages()
    {
        QTemporaryDir dir;
        const QString src = dir.filePath("src");
        const QString out = dir.filePath("out");
        QVERIFY(QDir().mkpath(src) && QDir().mkpath(out));
        QVERIFY(writeFile(src + "/configs.package", build({{"main_config.xml", "<m/>"}}, 2)));
        QVERIFY(writeFile(src + "/sounds.package", build({{"alarm.wav", "RIFF"}}, 3)));
        // images.package is missing: sounds must not be tried.
        LoadReport report;
        QVERIFY(!EPackage::unpackFolder(src, out, &report));
        QCOMPARE(report.toStringList(), QStringList{"images.package: package not found"});
        QVERIFY(QFile::exists(out + "/main_config.xml"));
        QVERIFY(!QFile::exists(out + "/alarm.wav"));

        QVERIFY(writeFile(src + "/images.package", build({{"plan.png", "PNG"}}, 1)));
        QVERIFY(EPackage::unpackFolder(src, out));
        QVERIFY(QFile::exists(out + "/plan.png"));
        QVERIFY(QFile::exists(out + "/alarm.wav"));
        QVERIFY(!EPackage::unpack(src + "/nothing.package", out));
    }

    void commandLinePacker()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("one.xml"), QByteArray(2000, 'x')));
        QVERIFY(writeFile(dir.filePath("two.png"), randomBytes(100, 9)));
        QVERIFY(writeFile(dir.filePath("list.txt"), dir.filePath("two.png").toUtf8() + "\n"));
        QProcess p;
        p.start(MKPACKAGE_PATH, {"--type", "2", dir.filePath("configs.package"),
                                 dir.filePath("one.xml"), "--list", dir.filePath("list.txt")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const QString out = dir.filePath("out");
        QVERIFY(QDir().mkpath(out));
        QVERIFY(EPackage::unpack(dir.filePath("configs.package"), out));
        QCOMPARE(readFile(out + "/one.xml"), QByteArray(2000, 'x'));
        QCOMPARE(readFile(out + "/two.png"), randomBytes(100, 9));
        QCOMPARE(EPackage::readHeader(readFile(dir.filePath("configs.package"))).type, 2);

        p.start(MKPACKAGE_PATH, {"--type", "3", dir.filePath("sounds.package")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(readFile(dir.filePath("sounds.package")), build({}, 3));

        p.start(MKPACKAGE_PATH, {"--type", "9", dir.filePath("x.package")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 2);
        p.start(MKPACKAGE_PATH, {"--type", "1", dir.filePath("x.package"), dir.filePath("nope")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_EPackage)
#include "tst_epackage.moc"
