// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "xmldocument.h"
#include "xmlplainreader.h"

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

    // Everything a reader gives: names, the line of each start tag, attributes in order, comments.
    static QString dump(const NodeElementPtr &e)
    {
        if (!e)
            return QStringLiteral("(none)");
        QString out = QStringLiteral("<%1 @%2").arg(e->tagName()).arg(e->lineNumber());
        for (const XML::Attributes::Entry &a : e->attributes())
            out += QStringLiteral(" %1=[%2]%3")
                       .arg(a.first, a.second.toString(),
                            a.second.toString().isNull() ? QStringLiteral("null") : QString());
        for (const QString &c : e->comments())
            out += QStringLiteral(" {%1}").arg(c);
        out += QLatin1Char('>');
        for (const NodeElementPtr &child : e->children())
            out += dump(child);
        for (const QString &c : e->trailingComments())
            out += QStringLiteral(" {%1}").arg(c);
        return out + QStringLiteral("</>");
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
        QTest::newRow("comment after the last element stays at the end")
            << QByteArray("<a><b/><!--end--></a>") << decl + "<a>\n <b/>\n <!--end-->\n</a>\n";
        QTest::newRow("comment alone in an element stays inside it")
            << QByteArray("<a><b><!--note--></b></a>")
            << decl + "<a>\n <b>\n  <!--note-->\n </b>\n</a>\n";
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

    // Files of ours are read by the plain reader, anything else by the general one; the two must
    // never give different trees, and what the plain one refuses must read exactly as before.
    void plainReaderMatchesGeneralReader_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("plain"); // whether the plain reader takes it
        const QByteArray decl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        QTest::newRow("written form") << decl + "<r>\n <a x=\"1\" y=\"two\"/>\n <b>\n  <c/>\n </b>\n</r>\n"
                                      << true;
        QTest::newRow("no declaration") << QByteArray("<r/>") << true;
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF<r a='1'/>") << true;
        QTest::newRow("declaration, single quotes, standalone")
            << QByteArray("<?xml  version='1.0'  encoding='utf-8' standalone='no' ?>\n\n<r/>") << true;
        QTest::newRow("CRLF line ends count once")
            << QByteArray("<r\r\n x=\"1\"\r\n>\r\n<a\ry=\"2\"/><b/>\r\n</r>") << true;
        QTest::newRow("whitespace in values becomes spaces")
            << QByteArray("<r x=\"1\ty\nz\r\nw\rv\"/>") << true;
        QTest::newRow("references in values")
            << QByteArray("<r x=\"&lt;&gt;&amp;&quot;&apos;&#10;&#13;&#9;&#x20;&#x10FFFF;&#65;\"/>") << true;
        QTest::newRow("references and CDATA in text")
            << QByteArray("<r>a &amp; b &#x41; ]] ><![CDATA[<x>]]]]><a/></r>") << true;
        QTest::newRow("comments: in front, between, after, with line ends")
            << QByteArray("<!--c0--><r><!--c1\r\nx\ry--><a/><!--c2--><b><!--c3--></b><!---->"
                          "<c/><!--->x--></r><!--after-->  ")
            << true;
        QTest::newRow("names with dots, dashes, colons, underscores")
            << QByteArray("<_r xmlns:p=\"u\"><p:a.b-c_d p:x=\"1\"/></_r >") << true;
        QTest::newRow("undeclared prefixes") << QByteArray("<p:r q:x=\"1\"><p:a/></p:r>") << true;
        QTest::newRow("non-ASCII values and comments")
            << QString::fromUtf8("<r t=\"Кухня °C 🏠\"><!--гостиная--><a/></r>").toUtf8() << true;
        QTest::newRow("byte order marks inside")
            << QByteArray("\xEF\xBB\xBF<r a=\"\xEF\xBB\xBF\xEF\xBB\xBFx\" b=\"\xEF\xBB\xBF&#10;\">"
                          "<!--\xEF\xBB\xBF--><a/></r>")
            << true;
        QTest::newRow("greater-than in a value") << QByteArray("<r x=\"a>b\"/>") << true;
        QTest::newRow("noncharacters and the last code point")
            << QByteArray("<r x=\"\xEF\xB7\x90 \xF0\x9F\xBF\xBE \xF4\x8F\xBF\xBF\">"
                          "\xEF\xB7\x90&#xFDD0;&#x1FFFE;\r</r>")
            << true;
        QTest::newRow("empty values, repeated values")
            << QByteArray("<r a=\"\" b=''><c a=\"x\" b=\"x\"/><c a=\"x\" b=\"&#x78;\"/></r>") << true;

        // Left to the general reader: it words the error, or knows the rules for the rest.
        QTest::newRow("repeated attribute") << QByteArray("<r x='1' x='2'/>") << false;
        QTest::newRow("attributes without space") << QByteArray("<r x=\"1\"y=\"2\"/>") << false;
        QTest::newRow("]]> in text") << QByteArray("<r>]]></r>") << false;
        QTest::newRow("control character") << QByteArray("<r x=\"\x01\"/>") << false;
        QTest::newRow("double dash in comment") << QByteArray("<r><!-- a -- b --></r>") << false;
        QTest::newRow("comment ending in three dashes") << QByteArray("<r><!-- a ---></r>") << false;
        QTest::newRow("version 1.1") << QByteArray("<?xml version=\"1.1\"?><r/>") << false;
        QTest::newRow("other encoding")
            << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r x=\"\xE9\"/>") << false;
        QTest::newRow("standalone before encoding")
            << QByteArray("<?xml version=\"1.0\" standalone=\"yes\" encoding=\"UTF-8\"?><r/>") << false;
        QTest::newRow("invalid UTF-8") << QByteArray("<r x=\"\xFF\"/>") << false;
        QTest::newRow("overlong UTF-8") << QByteArray("<r x=\"\xC0\xAF\"/>") << false;
        QTest::newRow("surrogate in UTF-8") << QByteArray("<r x=\"\xED\xA0\x80\"/>") << false;
        QTest::newRow("U+FFFF") << QByteArray("<r x=\"\xEF\xBF\xBF\"/>") << false;
        QTest::newRow("reference to NUL") << QByteArray("<r x=\"&#0;\"/>") << false;
        QTest::newRow("reference beyond Unicode") << QByteArray("<r>&#x110000;</r>") << false;
        QTest::newRow("undeclared entity") << QByteArray("<r x=\"&nbsp;\"/>") << false;
        QTest::newRow("text after the root") << QByteArray("<r/>text") << false;
        QTest::newRow("two roots") << QByteArray("<r/><s/>") << false;
        QTest::newRow("text before the root")
            << QByteArray("<?xml version=\"1.0\"?>\n<!--c-->|a><b/></a>") << false;
        QTest::newRow("space after </") << QByteArray("<r></ r>") << false;
        QTest::newRow("end tag of another name") << QByteArray("<r><a></ab></r>") << false;
        QTest::newRow("less-than in a value") << QByteArray("<r x=\"a<b\"/>") << false;
        QTest::newRow("name starting with a digit") << QByteArray("<1r/>") << false;
        QTest::newRow("name starting with a colon") << QByteArray("<:r/>") << false;
        QTest::newRow("name ending in a colon") << QByteArray("<r x:=\"1\"/>") << false;
        QTest::newRow("two colons in a name") << QByteArray("<a:b:c/>") << false;
        QTest::newRow("digit after the colon") << QByteArray("<a:1b/>") << false;
        QTest::newRow("non-ASCII name") << QString::fromUtf8("<кухня/>").toUtf8() << false;
        QTest::newRow("processing instruction") << QByteArray("<r>\n<?pi x?><a/></r>") << false;
        QTest::newRow("document type") << QByteArray("<!DOCTYPE r><r/>") << false;
        QTest::newRow("declaration not at the start") << QByteArray("\n<?xml version=\"1.0\"?><r/>") << false;
        QTest::newRow("unclosed") << QByteArray("<r>\n<a>\n") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("unterminated value") << QByteArray("<r x=\"1/>") << false;
        QTest::newRow("unterminated comment") << QByteArray("<r><!-- x</r>") << false;
        QTest::newRow("unterminated CDATA") << QByteArray("<r><![CDATA[x</r>") << false;
        QTest::newRow("nested too deeply")
            << QByteArray("<r>").repeated(1100) + QByteArray("</r>").repeated(1100) << false;
        QTest::newRow("deep but allowed")
            << QByteArray("<r>").repeated(1000) + QByteArray("</r>").repeated(1000) << true;
    }
    void plainReaderMatchesGeneralReader()
    {
        QFETCH(QByteArray, input);
        QFETCH(bool, plain);
        QCOMPARE(bool(XML::readPlainXml(input)), plain);
        XmlDocument general;
        general.setPlainReader(false);
        XmlDocument either;
        QCOMPARE(either.parse(input), general.parse(input));
        QCOMPARE(dump(either.root()), dump(general.root()));
        QCOMPARE(either.errorString(), general.errorString());
        QCOMPARE(either.errorLine(), general.errorLine());
        QCOMPARE(either.errorColumn(), general.errorColumn());
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
