// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "httpresponseparser.h"

#include <QtTest>

using Error = HttpResponseParser::Error;
Q_DECLARE_METATYPE(HttpResponseParser::Error)

namespace {

struct Outcome
{
    bool ok = true;
    QByteArray body;
    qint64 maxBuffered = 0;
};

Outcome run(HttpResponseParser &parser, const QByteArray &reply, int chunk, bool closeAfter)
{
    Outcome out;
    for (int pos = 0; pos < reply.size() && out.ok; pos += chunk) {
        out.ok = parser.feed(reply.mid(pos, chunk), &out.body);
        out.maxBuffered = qMax(out.maxBuffered, parser.bufferedBytes());
    }
    if (closeAfter && out.ok)
        parser.finishInput();
    return out;
}

} // namespace

class TestHttpResponseParser : public QObject
{
    Q_OBJECT
private slots:
    void replies_data();
    void replies();
    void headersAndStatus();
    void endlessInputHoldsLittle_data();
    void endlessInputHoldsLittle();
};

void TestHttpResponseParser::replies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<qint64>("maxBody");
    QTest::addColumn<bool>("closeAfter"); // the peer closes the connection after the bytes
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<Error>("error");
    QTest::addColumn<bool>("complete");

    const QByteArray ok = "HTTP/1.1 200 OK\r\n";
    QTest::newRow("by length") << ok + "Content-Length: 5\r\n\r\nhello" << qint64(-1) << false
                               << 200 << QByteArray("hello") << Error::None << true;
    QTest::newRow("bytes after the reply are ignored")
        << ok + "Content-Length: 2\r\n\r\nhiEXTRA" << qint64(-1) << false << 200
        << QByteArray("hi") << Error::None << true;
    QTest::newRow("LF only, names in any case")
        << QByteArray("HTTP/1.0 200 OK\ncontent-LENGTH:3\n\nabc") << qint64(-1) << false << 200
        << QByteArray("abc") << Error::None << true;
    QTest::newRow("chunked with extension and trailer")
        << ok + "Transfer-Encoding: chunked\r\n\r\n4;x=y\r\nWiki\r\n5\r\npedia\r\n0\r\n"
                "Trailer: 1\r\n\r\n"
        << qint64(-1) << false << 200 << QByteArray("Wikipedia") << Error::None << true;
    QTest::newRow("chunked wins over a length")
        << ok + "Content-Length: 99\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n0\r\n\r\n"
        << qint64(-1) << false << 200 << QByteArray("ab") << Error::None << true;
    QTest::newRow("to the end of the connection")
        << ok + "Content-Type: text/xml\r\n\r\n<a/>" << qint64(-1) << true << 200
        << QByteArray("<a/>") << Error::None << true;
    QTest::newRow("interim answer skipped")
        << "HTTP/1.1 100 Continue\r\n\r\n" + ok + "Content-Length: 1\r\n\r\nx" << qint64(-1)
        << false << 200 << QByteArray("x") << Error::None << true;
    QTest::newRow("no content") << QByteArray("HTTP/1.1 204 No Content\r\n\r\n") << qint64(-1)
                                << false << 204 << QByteArray() << Error::None << true;
    QTest::newRow("cut short") << ok + "Content-Length: 10\r\n\r\nabc" << qint64(-1) << true
                               << 200 << QByteArray("abc") << Error::Truncated << false;
    QTest::newRow("cut in the headers") << ok + "Content-Ty" << qint64(-1) << true << 200
                                        << QByteArray() << Error::Truncated << false;
    QTest::newRow("not HTTP") << QByteArray("SSH-2.0-OpenSSH\r\n\r\n") << qint64(-1) << false << 0
                              << QByteArray() << Error::BadStatusLine << false;
    QTest::newRow("status not a number")
        << QByteArray("HTTP/1.1 2x0 OK\r\n\r\n") << qint64(-1) << false << 0 << QByteArray()
        << Error::BadStatusLine << false;
    QTest::newRow("length not a number") << ok + "Content-Length: 12abc\r\n\r\n" << qint64(-1)
                                         << false << 200 << QByteArray() << Error::BadLength
                                         << false;
    QTest::newRow("two different lengths")
        << ok + "Content-Length: 3\r\nContent-Length: 4\r\n\r\nabcd" << qint64(-1) << false << 200
        << QByteArray() << Error::BadLength << false;
    QTest::newRow("negative length") << ok + "Content-Length: -1\r\n\r\n" << qint64(-1) << false
                                     << 200 << QByteArray() << Error::BadLength << false;
    QTest::newRow("declared length over the limit")
        << ok + "Content-Length: 2147483000\r\n\r\nxxxx" << qint64(1024) << false << 200
        << QByteArray() << Error::BodyTooLarge << false;
    QTest::newRow("chunked body over the limit")
        << ok + "Transfer-Encoding: chunked\r\n\r\n8\r\n12345678\r\n8\r\n12345678\r\n"
        << qint64(8) << false << 200 << QByteArray("12345678") << Error::BodyTooLarge << false;
    QTest::newRow("body to the end over the limit")
        << ok + "\r\n" + QByteArray(40, 'x') << qint64(10) << false << 200 << QByteArray()
        << Error::BodyTooLarge << false;
    QTest::newRow("chunk size not hexadecimal")
        << ok + "Transfer-Encoding: chunked\r\n\r\nzz\r\n" << qint64(-1) << false << 200
        << QByteArray() << Error::BadChunk << false;
    QTest::newRow("chunk size overflowing")
        << ok + "Transfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFFFFFFFF\r\n" << qint64(-1) << false
        << 200 << QByteArray() << Error::BadChunk << false;
    QTest::newRow("chunk without its line break")
        << ok + "Transfer-Encoding: chunked\r\n\r\n2\r\nabXY\r\n" << qint64(-1) << false << 200
        << QByteArray("ab") << Error::BadChunk << false;
    QTest::newRow("chunk size line without end")
        << ok + "Transfer-Encoding: chunked\r\n\r\n1" + QByteArray(4000, ' ') << qint64(-1)
        << false << 200 << QByteArray() << Error::BadChunk << false;
    QTest::newRow("headers over the limit")
        << ok + QByteArray("X-Pad: ").append(QByteArray(17000, 'a')) + "\r\n\r\n" << qint64(-1)
        << false << 0 << QByteArray() << Error::HeadersTooLarge << false;
    QByteArray many = ok;
    for (int i = 0; i < 2000; ++i)
        many += "X-" + QByteArray::number(i) + ": 1\r\n";
    QTest::newRow("too many short headers") << many << qint64(-1) << false << 0 << QByteArray()
                                            << Error::HeadersTooLarge << false;
    QByteArray trailers = ok + "Transfer-Encoding: chunked\r\n\r\n0\r\n";
    for (int i = 0; i < 2000; ++i)
        trailers += "X-" + QByteArray::number(i) + ": 1\r\n";
    QTest::newRow("endless trailers") << trailers << qint64(-1) << false << 200 << QByteArray()
                                      << Error::HeadersTooLarge << false;
}

void TestHttpResponseParser::replies()
{
    QFETCH(QByteArray, reply);
    QFETCH(qint64, maxBody);
    QFETCH(bool, closeAfter);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(Error, error);
    QFETCH(bool, complete);

    // However the network cuts the reply, the result is the same.
    for (const int chunk : {reply.size(), 1, 7}) {
        HttpResponseParser parser;
        parser.setMaxBodyBytes(maxBody);
        const Outcome out = run(parser, reply, qMax(1, chunk), closeAfter);
        const QByteArray where = "chunks of " + QByteArray::number(chunk);
        QVERIFY2(out.ok == (error == Error::None || error == Error::Truncated), where);
        QCOMPARE(parser.error(), error);
        QCOMPARE(parser.isComplete(), complete);
        if (status > 0)
            QCOMPARE(parser.statusCode(), status);
        // A body over the limit may have been handed out in part, never beyond the limit.
        if (error == Error::BodyTooLarge)
            QVERIFY(out.body.size() <= maxBody);
        else
            QCOMPARE(out.body, body);
    }
}

void TestHttpResponseParser::headersAndStatus()
{
    HttpResponseParser parser;
    QByteArray body;
    QVERIFY(parser.feed("HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Digest realm=\"a\"\r\n"
                        "www-authenticate: Basic realm=\"b\"\r\nX-Folded: one\r\n two\r\n",
                        &body));
    QVERIFY(!parser.headersComplete());
    QVERIFY(parser.feed("Content-Length: 0\r\n\r\n", &body));
    QVERIFY(parser.headersComplete());
    QVERIFY(parser.isComplete());
    QCOMPARE(parser.statusCode(), 401);
    QCOMPARE(parser.headerValues("WWW-Authenticate"),
             QList<QByteArray>({"Digest realm=\"a\"", "Basic realm=\"b\""}));
    QCOMPARE(parser.header("x-folded"), QByteArray("one two"));
    QCOMPARE(parser.header("absent"), QByteArray());
    QCOMPARE(parser.contentLength(), 0);

    // A reset parser reads the next reply from the start, limits kept.
    parser.setMaxHeaderBytes(100);
    parser.reset();
    QVERIFY(!parser.headersComplete());
    QVERIFY(!parser.feed("HTTP/1.1 200 OK\r\nX: " + QByteArray(200, 'y'), &body));
    QCOMPARE(parser.error(), Error::HeadersTooLarge);
}

void TestHttpResponseParser::endlessInputHoldsLittle_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("filler");
    QTest::addColumn<Error>("error");
    QTest::newRow("one endless header line") << QByteArray("HTTP/1.1 200 OK\r\nX: ")
                                             << QByteArray(1000, 'a') << Error::HeadersTooLarge;
    QTest::newRow("endless header lines") << QByteArray("HTTP/1.1 200 OK\r\n")
                                          << QByteArray("X-A: b\r\n") << Error::HeadersTooLarge;
    QTest::newRow("endless body without length")
        << QByteArray("HTTP/1.1 200 OK\r\n\r\n") << QByteArray(1000, 'z') << Error::None;
    QTest::newRow("endless chunks")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")
        << QByteArray("3e8\r\n") + QByteArray(1000, 'c') + "\r\n" << Error::None;
}

void TestHttpResponseParser::endlessInputHoldsLittle()
{
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, filler);
    QFETCH(Error, error);
    HttpResponseParser parser;
    QByteArray body;
    bool ok = parser.feed(start, &body);
    qint64 delivered = 0;
    // 4 MB of it: the parser holds no more than a line of its own, and hands the body on.
    for (int i = 0; ok && i < 4 * 1024 * 1024 / filler.size(); ++i) {
        body.clear();
        ok = parser.feed(filler, &body);
        delivered += body.size();
        QVERIFY(parser.bufferedBytes() <= 16 * 1024);
    }
    QCOMPARE(parser.error(), error);
    QCOMPARE(ok, error == Error::None);
    if (ok)
        QVERIFY(delivered > 3 * 1024 * 1024);
}

QTEST_GUILESS_MAIN(TestHttpResponseParser)
#include "tst_httpresponseparser.moc"
