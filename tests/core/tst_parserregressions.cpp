// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// Inputs the fuzzing harnesses (fuzz/) found mishandled, kept as regular tests: XML with
// namespace prefixes must survive a save, XML nested without end must be refused instead of
// overflowing the stack, and a compressed package whose size prefix lies must unpack exactly as
// one whose prefix is right.
#include "epackage.h"
#include "xmldocument.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

QByteArray packageBytes(const QByteArray &content, const QByteArray &body, int entryCount)
{
    QByteArray out("VERANDIX");
    for (const qint32 value :
         {qint32(EPackage::ProjectFiles), qint32(body.size()), qint32(content.size()), entryCount}) {
        char bytes[4];
        qToLittleEndian(value, bytes);
        out.append(bytes, 4);
    }
    out.append(QByteArray("none").leftJustified(EPackage::kLabelSize, '\0'));
    return out + body;
}

QByteArray entry(const QByteArray &name, const QByteArray &data)
{
    QByteArray out;
    char length[4];
    qToLittleEndian(qint32(name.size()), length);
    out.append(length, 4).append(name);
    qToLittleEndian(qint32(data.size()), length);
    out.append(length, 4).append(data);
    return out;
}

// "tag[name=value,...]" (attributes by name) for the element and each descendant, in document
// order.
QStringList elementNames(const XML::NodeElementPtr &element)
{
    QStringList attributes;
    for (const QString &name : element->attributes().keys())
        attributes << name + QLatin1Char('=') + element->attribute(name).toString();
    attributes.sort();
    QStringList names{element->tagName() + QLatin1Char('[') + attributes.join(QLatin1Char(',')) +
                      QLatin1Char(']')};
    for (const XML::NodeElementPtr &child : element->children())
        names += elementNames(child);
    return names;
}

} // namespace

class TestParserRegressions : public QObject
{
    Q_OBJECT

private slots:
    void namespacedXmlSurvivesSave_data();
    void namespacedXmlSurvivesSave();
    void deepNesting_data();
    void deepNesting();
    void packageWithLyingSizePrefix_data();
    void packageWithLyingSizePrefix();
    void packageWithOversizedStoredSize();
};

void TestParserRegressions::namespacedXmlSurvivesSave_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("elements");
    QTest::newRow("prefixed elements and attribute")
        << QByteArray("<p:a xmlns:p=\"urn:x\" p:k=\"v\"><p:b/></p:a>")
        << QStringList{"p:a[p:k=v,xmlns:p=urn:x]", "p:b[]"};
    QTest::newRow("default namespace")
        << QByteArray("<subsystems xmlns=\"urn:y\" name=\"n\"><lamp name=\"l\"/></subsystems>")
        << QStringList{"subsystems[name=n,xmlns=urn:y]", "lamp[name=l]"};
    QTest::newRow("declaration on a child")
        << QByteArray("<config><x:sound xmlns:x=\"urn:z\" x:fileName=\"a.wav\"/></config>")
        << QStringList{"config[]", "x:sound[x:fileName=a.wav,xmlns:x=urn:z]"};
}

void TestParserRegressions::namespacedXmlSurvivesSave()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, elements);

    XmlDocument document;
    QVERIFY(document.parse(text));
    QCOMPARE(elementNames(document.root()), elements);

    // Through a real file, the way settings and projects are written back.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("saved.xml"));
    QFile placeholder(path);
    QVERIFY(placeholder.open(QIODevice::WriteOnly));
    placeholder.close();
    QVERIFY(XmlDocument::save(path, document.root()));

    XmlDocument reread;
    QVERIFY2(reread.load(path), "a saved file that does not read again loses the configuration");
    QCOMPARE(elementNames(reread.root()), elements);
}

void TestParserRegressions::deepNesting_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("ten levels") << 10 << true;
    QTest::newRow("a thousand levels") << 1000 << true;
    QTest::newRow("two hundred thousand levels") << 200000 << false;
}

void TestParserRegressions::deepNesting()
{
    QFETCH(int, depth);
    QFETCH(bool, accepted);
    const QByteArray text = QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth);
    XmlDocument document;
    QCOMPARE(document.parse(text), accepted);
    if (accepted) {
        // The tree can be written and read back (both walk it level by level).
        XmlDocument reread;
        QVERIFY(reread.parse(XmlDocument::toByteArray(document.root())));
    }
}

void TestParserRegressions::packageWithLyingSizePrefix_data()
{
    QTest::addColumn<qint64>("announced"); // -1: the true size
    QTest::newRow("true size") << qint64(-1);
    QTest::newRow("understated") << qint64(3);
    QTest::newRow("zero") << qint64(0);
    QTest::newRow("overstated") << qint64(5000000);
    QTest::newRow("two gigabytes") << qint64(0x7ffff000);
}

void TestParserRegressions::packageWithLyingSizePrefix()
{
    QFETCH(qint64, announced);

    const QByteArray first = QByteArray("<subsystems/>").repeated(40);
    const QByteArray content = entry("a.xml", first) + entry("b.txt", "second");
    QByteArray body = qCompress(content);
    if (announced >= 0)
        qToBigEndian<quint32>(quint32(announced), body.data());
    QVERIFY(body.size() < content.size());

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString packagePath = dir.filePath(QStringLiteral("test.package"));
    QFile package(packagePath);
    QVERIFY(package.open(QIODevice::WriteOnly));
    package.write(packageBytes(content, body, 2));
    package.close();
    const QString target = dir.filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(target));

    QVERIFY(EPackage::unpack(packagePath, target));
    QFile a(target + QStringLiteral("/a.xml"));
    QFile b(target + QStringLiteral("/b.txt"));
    QVERIFY(a.open(QIODevice::ReadOnly));
    QCOMPARE(a.readAll(), first);
    QVERIFY(b.open(QIODevice::ReadOnly));
    QCOMPARE(b.readAll(), QByteArray("second"));
}

void TestParserRegressions::packageWithOversizedStoredSize()
{
    // An uncompressed package whose header claims almost two gigabytes: the entries that are
    // there are unpacked, nothing more is asked of the file.
    const QByteArray content = entry("a.xml", "<config/>");
    QByteArray bytes = packageBytes(content, content, 1);
    qToLittleEndian(qint32(0x7ffffff0), bytes.data() + 12); // stored size
    qToLittleEndian(qint32(content.size()), bytes.data() + 16);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString packagePath = dir.filePath(QStringLiteral("big.package"));
    QFile package(packagePath);
    QVERIFY(package.open(QIODevice::WriteOnly));
    package.write(bytes);
    package.close();

    QVERIFY(EPackage::unpack(packagePath, dir.path()));
    QFile a(dir.filePath(QStringLiteral("a.xml")));
    QVERIFY(a.open(QIODevice::ReadOnly));
    QCOMPARE(a.readAll(), QByteArray("<config/>"));
}

QTEST_GUILESS_MAIN(TestParserRegressions)
#include "tst_parserregressions.moc"
