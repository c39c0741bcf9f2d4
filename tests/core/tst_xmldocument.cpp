// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "xmldocument.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using XML::NodeElement;
using XML::NodeElementPtr;

class tst_XmlDocument : public QObject
{
    Q_OBJECT

private:
    static QByteArray roundTrip(const QByteArray &input)
    {
        XmlDocument doc;
        if (!doc.parse(input))
            return QByteArray("parse failed");
        return XmlDocument::toByteArray(doc.root());
    }

private slots:
    void writtenForm_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray decl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        QTest::newRow("comment in front of the root moves to its first child")
            << QByteArray("<!--about--><a><b/><c/></a>")
            << decl + "<a>\n <!--about-->\n <b/>\n <c/>\n</a>\n";
        QTest::newRow("comments stay with the next element in order")
            << QByteArray("<a><b/><!--one--><!--two--><c/></a>")
            << decl + "<a>\n <b/>\n <!--one-->\n <!--two-->\n <c/>\n</a>\n";
        QTest::newRow("text content is dropped, element becomes empty")
            << QByteArray("<a><b>hello</b></a>") << decl + "<a>\n <b/>\n</a>\n";
        QTest::newRow("one space per level")
            << QByteArray("<a><b><c><d/></c></b></a>")
            << decl + "<a>\n <b>\n  <c>\n   <d/>\n  </c>\n </b>\n</a>\n";
        QTest::newRow("processing instructions and CDATA ignored")
            << QByteArray("<?xml version=\"1.0\"?><?pi x?><a><![CDATA[x<y]]><b/></a>")
            << decl + "<a>\n <b/>\n</a>\n";
        QTest::newRow("trailing comment after the last element is lost")
            << QByteArray("<a><b/><!--end--></a>") << decl + "<a>\n <b/>\n</a>\n";
        QTest::newRow("attribute with markup characters is escaped")
            << QByteArray("<a t=\"x &amp; &lt;y&gt; &quot;q&quot;\"/>")
            << decl + "<a t=\"x &amp; &lt;y&gt; &quot;q&quot;\"/>\n";
        QTest::newRow("non-ASCII text stays UTF-8")
            << QString::fromUtf8("<a t=\"Кухня °C\"/>").toUtf8()
            << decl + QString::fromUtf8("<a t=\"Кухня °C\"/>\n").toUtf8();
    }
    void writtenForm()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        QCOMPARE(roundTrip(input).trimmed(), expected.trimmed());
    }

    void parseResult_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("rootTag");
        QTest::addColumn<int>("rootChildren");
        QTest::addColumn<int>("errorLine"); // where a person has to look; 0 when parsed
        QTest::newRow("well formed") << QByteArray("<r><a/><b/></r>") << true << "r" << 2 << 0;
        QTest::newRow("unclosed keeps partial tree")
            << QByteArray("<r><a/><b>") << false << "r" << 2 << 1;
        QTest::newRow("mismatched tag") << QByteArray("<r><a></b></r>") << false << "r" << 1 << 1;
        QTest::newRow("mismatch on a later line")
            << QByteArray("<r>\n <a/>\n <b>\n </c>\n</r>\n") << false << "r" << 2 << 4;
        QTest::newRow("empty text") << QByteArray("") << false << QString() << 0 << 1;
        QTest::newRow("garbage") << QByteArray("not xml at all") << false << QString() << 0 << 1;
        // Entity expansion must stay bounded: a hostile file cannot blow up memory.
        QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE l [<!ENTITY a \"aaaaaaaaaa\">";
        for (int i = 1; i < 10; ++i)
            laughs += QByteArray("<!ENTITY ") + char('a' + i) + " \"" +
                      QByteArray(10, ' ').replace(' ', QByteArray("&") + char('a' + i - 1) + ";") +
                      "\">";
        laughs += "]><r t=\"&j;\"/>";
        QTest::newRow("billion laughs") << laughs << false << QString() << 0 << 1;
    }
    void parseResult()
    {
        QFETCH(QByteArray, input);
        QFETCH(bool, ok);
        QFETCH(QString, rootTag);
        QFETCH(int, rootChildren);
        QFETCH(int, errorLine);
        XmlDocument doc;
        QCOMPARE(doc.parse(input), ok);
        QCOMPARE(doc.errorLine(), qint64(errorLine));
        QCOMPARE(doc.errorString().isEmpty(), ok);
        if (rootTag.isEmpty()) {
            QVERIFY(!doc.root());
            return;
        }
        QVERIFY(doc.root());
        QCOMPARE(doc.root()->tagName(), rootTag);
        QCOMPARE(doc.root()->children().size(), rootChildren);
    }

    void elementsKnowTheLineTheyStartOn()
    {
        XmlDocument doc;
        QVERIFY(doc.parse(QByteArray("<?xml version=\"1.0\"?>\n<r>\n <!-- c -->\n <a\n  x=\"1\"/>\n"
                                     " <b/>\n</r>\n")));
        QCOMPARE(doc.root()->lineNumber(), qint64(2));
        QCOMPARE(doc.root()->children().at(0)->lineNumber(), qint64(5)); // where the tag ends
        QCOMPARE(doc.root()->children().at(1)->lineNumber(), qint64(6));
        QCOMPARE(XML::NodeElement::create(QStringLiteral("built"))->lineNumber(), qint64(0));
        // A later success clears the previous failure.
        QVERIFY(!doc.parse(QByteArray("<r>")));
        QVERIFY(doc.parse(QByteArray("<r/>")));
        QCOMPARE(doc.errorLine(), qint64(0));
    }

    void typedAttributesAreWrittenAsText()
    {
        auto root = NodeElement::create(QStringLiteral("r"));
        root->setAttribute(QStringLiteral("b"), true);
        root->setAttribute(QStringLiteral("i"), 42);
        root->setAttribute(QStringLiteral("d"), 2.5);
        XmlDocument doc;
        QVERIFY(doc.parse(XmlDocument::toByteArray(root)));
        QCOMPARE(doc.root()->attribute(QStringLiteral("b")).toString(), QStringLiteral("true"));
        QCOMPARE(doc.root()->attribute(QStringLiteral("i")).toString(), QStringLiteral("42"));
        QCOMPARE(doc.root()->attribute(QStringLiteral("d")).toString(), QStringLiteral("2.5"));
        QVERIFY(!doc.root()->attribute(QStringLiteral("missing")).isValid());
        QCOMPARE(doc.root()->attribute(QStringLiteral("missing"), 7).toInt(), 7);
    }

    void reparseDropsPreviousTree()
    {
        XmlDocument doc;
        QVERIFY(doc.parse(QByteArray("<a/>")));
        QVERIFY(!doc.parse(QByteArray("junk")));
        QVERIFY(!doc.root());
    }

    void saveNeverCreatesAFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing.xml"));
        QVERIFY(!XmlDocument::save(path, NodeElement::create(QStringLiteral("a"))));
        QVERIFY(!QFile::exists(path));
        QVERIFY(!XmlDocument::save(dir.filePath(QStringLiteral("no/such/dir/x.xml")),
                                   NodeElement::create(QStringLiteral("a"))));
        QVERIFY(!XmlDocument::save(dir.path(), NodeElement::create(QStringLiteral("a"))));
    }

    void saveReplacesContentAndLeavesNoTemporaryFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.xml"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(10000, 'x')); // longer than what is written: must not leave a tail
        f.close();
        auto root = NodeElement::create(QStringLiteral("r"));
        root->appendChild(QStringLiteral("c"))
            ->setAttribute(QStringLiteral("k"), QStringLiteral("v"));
        QVERIFY(XmlDocument::save(path, root));
        XmlDocument doc;
        QVERIFY(doc.load(path));
        QCOMPARE(doc.root()->children().first()->attribute(QStringLiteral("k")).toString(),
                 QStringLiteral("v"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"f.xml"});
    }

    void loadMissingFile()
    {
        XmlDocument doc;
        QVERIFY(doc.parse(QByteArray("<a/>")));
        QVERIFY(!doc.load(QStringLiteral("/nonexistent/file.xml")));
        QVERIFY(!doc.root());
    }

    void sharedChildOutlivesItsParent()
    {
        NodeElementPtr child;
        {
            XmlDocument doc;
            QVERIFY(doc.parse(QByteArray("<a><b x=\"1\"/></a>")));
            child = doc.root()->children().first();
        }
        QCOMPARE(child->attribute(QStringLiteral("x")).toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_XmlDocument)
#include "tst_xmldocument.moc"
