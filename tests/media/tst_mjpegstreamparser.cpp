// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "mjpegstreamparser.h"

#include <QtTest>

namespace {

// Frame bodies that look like trouble for a line-based reader: line breaks, blank lines, header
// look-alikes and the boundary text in the middle of a line.
QList<QByteArray> sampleFrames()
{
    static const char first[] = "\xff\xd8 first\r\n\r\nContent-Length: 3\r\nframe\xff\xd9";
    return {QByteArray(first, int(sizeof(first)) - 1),
            QByteArray("\r\nsecond frame starting with CR LF\nand -- a frame --frameX\xff\xd9"),
            QByteArray(1500, 'x') + QByteArray("\n\n\r\n") + QByteArray(700, '\n')};
}

struct Framing
{
    QByteArray boundaryLine = "--frame";
    QByteArray eol = "\r\n";
    QByteArray type = "Content-Type: image/jpeg";
    QByteArray lengthName = "Content-Length: ";
    QByteArray lengthPad;
    bool withLength = true;
    bool typeAfterLength = false;
    QByteArray extraAfterLength;
};

QByteArray buildStream(const Framing &f, const QList<QByteArray> &frames)
{
    QByteArray out;
    for (const QByteArray &frame : frames) {
        out += f.boundaryLine + f.eol;
        if (!f.typeAfterLength)
            out += f.type + f.eol;
        if (f.withLength)
            out +=
                f.lengthName + f.lengthPad + QByteArray::number(frame.size()) + f.lengthPad + f.eol;
        if (!f.extraAfterLength.isEmpty())
            out += f.extraAfterLength + f.eol;
        if (f.typeAfterLength)
            out += f.type + f.eol;
        out += f.eol + frame + f.eol;
    }
    return out;
}

} // namespace

class TestMjpegStreamParser : public QObject
{
    Q_OBJECT
private slots:
    void framings_data();
    void framings();
    void badLengthsResynchronise_data();
    void badLengthsResynchronise();
    void contentType_data();
    void contentType();
    void longStreamKeepsBufferSmall();
};

void TestMjpegStreamParser::framings_data()
{
    QTest::addColumn<QByteArray>("declared");
    QTest::addColumn<QByteArray>("stream");

    const QList<QByteArray> frames = sampleFrames();
    Framing standard;
    QTest::newRow("standard") << QByteArray("frame") << buildStream(standard, frames);

    Framing lower = standard;
    lower.type = "content-type: image/jpeg";
    lower.lengthName = "content-length: ";
    QTest::newRow("lower-case names") << QByteArray("frame") << buildStream(lower, frames);

    Framing upper = standard;
    upper.type = "CONTENT-TYPE: IMAGE/JPEG";
    upper.lengthName = "CONTENT-LENGTH: ";
    QTest::newRow("upper-case names") << QByteArray("frame") << buildStream(upper, frames);

    Framing nospace = standard;
    nospace.lengthName = "Content-length:";
    QTest::newRow("no space after colon") << QByteArray("frame") << buildStream(nospace, frames);

    Framing padded = standard;
    padded.lengthName = "Content-Length :";
    padded.lengthPad = "   \t";
    QTest::newRow("length padded") << QByteArray("frame") << buildStream(padded, frames);

    Framing extra = standard;
    extra.extraAfterLength = "X-Timestamp: 1700000000.123";
    QTest::newRow("header after length") << QByteArray("frame") << buildStream(extra, frames);

    Framing typeAfter = standard;
    typeAfter.typeAfterLength = true;
    QTest::newRow("type after length") << QByteArray("frame") << buildStream(typeAfter, frames);

    Framing lf = standard;
    lf.eol = "\n";
    QTest::newRow("LF only") << QByteArray("frame") << buildStream(lf, frames);

    Framing noLength = standard;
    noLength.withLength = false;
    QTest::newRow("no length") << QByteArray("frame") << buildStream(noLength, frames);

    Framing noLengthLf = noLength;
    noLengthLf.eol = "\n";
    QTest::newRow("no length, LF only") << QByteArray("frame") << buildStream(noLengthLf, frames);

    QTest::newRow("declared with dashes, lines without extra")
        << QByteArray("--frame") << buildStream(standard, frames);

    Framing rfc = standard;
    rfc.boundaryLine = "----myboundary";
    QTest::newRow("declared with dashes, lines per RFC")
        << QByteArray("--myboundary") << buildStream(rfc, frames);

    Framing trailing = standard;
    trailing.boundaryLine = "--frame  ";
    QTest::newRow("white space after boundary")
        << QByteArray("frame") << buildStream(trailing, frames);

    // Some servers start with a preamble and end bodies without a line break.
    QByteArray preamble = "This is a multipart stream\r\n" + buildStream(standard, frames);
    QTest::newRow("preamble") << QByteArray("frame") << preamble;
}

void TestMjpegStreamParser::framings()
{
    QFETCH(QByteArray, declared);
    QFETCH(QByteArray, stream);
    const QList<QByteArray> expected = sampleFrames();

    // In one piece, then cut into two chunks at every position, then byte by byte.
    for (int cut = -1; cut <= stream.size(); ++cut) {
        MjpegStreamParser parser;
        parser.setBoundary(declared);
        QList<QByteArray> got;
        if (cut < 0) {
            got = parser.feed(stream);
        } else {
            got = parser.feed(stream.left(cut));
            got += parser.feed(stream.mid(cut));
        }
        // Without a length a body ends only when the next boundary shows up.
        got += parser.feed("--frame\r\n");
        if (got.size() > expected.size())
            got = got.mid(0, expected.size());
        QCOMPARE(got.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY2(got.at(i) == expected.at(i),
                     qPrintable(QStringLiteral("frame %1 differs, cut at %2").arg(i).arg(cut)));
        QCOMPARE(parser.droppedParts(), 0);
    }

    MjpegStreamParser parser;
    parser.setBoundary(declared);
    QList<QByteArray> got;
    for (char c : stream)
        got += parser.feed(QByteArray(1, c));
    got += parser.feed("--frame\r\n");
    QVERIFY(got.size() >= expected.size());
    QCOMPARE(got.mid(0, expected.size()), expected);
}

void TestMjpegStreamParser::badLengthsResynchronise_data()
{
    QTest::addColumn<QByteArray>("length");
    QTest::newRow("garbage") << QByteArray("abc");
    QTest::newRow("2 GB") << QByteArray("2147483648");
    QTest::newRow("huge") << QByteArray("99999999999999999999999");
    QTest::newRow("negative") << QByteArray("-5");
    QTest::newRow("zero") << QByteArray("0");
    QTest::newRow("above the cap") << QByteArray::number(16 * 1024 * 1024 + 1);
}

void TestMjpegStreamParser::badLengthsResynchronise()
{
    QFETCH(QByteArray, length);
    const QByteArray good1 = "good one\r\n";
    const QByteArray good2 = "good two";
    const QByteArray stream = "--frame\r\nContent-Length: " + QByteArray::number(good1.size()) +
                              "\r\n\r\n" + good1 + "\r\n--frame\r\nContent-Length: " + length +
                              "\r\n\r\n" + QByteArray(300, 'z') +
                              "\r\n--frame\r\nContent-Length: " + QByteArray::number(good2.size()) +
                              "\r\n\r\n" + good2 + "\r\n";
    MjpegStreamParser parser;
    parser.setBoundary("frame");
    const QList<QByteArray> got = parser.feed(stream);
    QCOMPARE(got, (QList<QByteArray>{good1, good2}));
    QCOMPARE(parser.droppedParts(), 1);
    QVERIFY(parser.bufferedBytes() < 1024);
}

void TestMjpegStreamParser::contentType_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QByteArray>("boundary");
    QTest::addColumn<QByteArray>("delimiter");

    QTest::newRow("plain") << QByteArray("multipart/x-mixed-replace;boundary=frame") << true
                           << QByteArray("frame") << QByteArray("--frame");
    QTest::newRow("spaces, case kept")
        << QByteArray("Multipart/X-Mixed-Replace ; Boundary = MyBound ") << true
        << QByteArray("MyBound") << QByteArray("--MyBound");
    QTest::newRow("quoted") << QByteArray("multipart/x-mixed-replace; boundary=\"frame\"") << true
                            << QByteArray("frame") << QByteArray("--frame");
    QTest::newRow("with dashes") << QByteArray("multipart/x-mixed-replace;boundary=--frame") << true
                                 << QByteArray("--frame") << QByteArray("--frame");
    QTest::newRow("more parameters")
        << QByteArray("multipart/x-mixed-replace; charset=x; boundary=b1; q=2") << true
        << QByteArray("b1") << QByteArray("--b1");
    QTest::newRow("no boundary") << QByteArray("multipart/x-mixed-replace") << false << QByteArray()
                                 << QByteArray();
    QTest::newRow("empty boundary") << QByteArray("multipart/x-mixed-replace; boundary=\"\"")
                                    << false << QByteArray() << QByteArray();
    QTest::newRow("dashes only") << QByteArray("multipart/x-mixed-replace; boundary=--") << false
                                 << QByteArray() << QByteArray();
    QTest::newRow("single picture")
        << QByteArray("image/jpeg") << false << QByteArray() << QByteArray();
    QTest::newRow("error page") << QByteArray("text/html; charset=utf-8") << false << QByteArray()
                                << QByteArray();
}

void TestMjpegStreamParser::contentType()
{
    QFETCH(QByteArray, header);
    QFETCH(bool, accepted);
    QFETCH(QByteArray, boundary);
    QFETCH(QByteArray, delimiter);
    QByteArray got;
    QCOMPARE(MjpegStreamParser::parseContentType(header, &got), accepted);
    if (!accepted)
        return;
    QCOMPARE(got, boundary);
    MjpegStreamParser parser;
    parser.setBoundary(got);
    QCOMPARE(parser.delimiter(), delimiter);
}

void TestMjpegStreamParser::longStreamKeepsBufferSmall()
{
    MjpegStreamParser parser;
    parser.setBoundary("frame");
    const QByteArray part =
        "--frame\r\nContent-Length: 5000\r\n\r\n" + QByteArray(5000, 'j') + "\r\n";
    int frames = 0;
    for (int i = 0; i < 2000; ++i) {
        frames += parser.feed(part.left(1234)).size();
        frames += parser.feed(part.mid(1234)).size();
        QVERIFY(parser.bufferedBytes() < 2 * part.size());
    }
    QCOMPARE(frames, 2000);
    // A body without length that never ends is given up at the cap.
    parser.feed("--frame\r\n\r\n");
    for (int i = 0; i < 20; ++i)
        parser.feed(QByteArray(1024 * 1024, 'n'));
    QCOMPARE(parser.droppedParts(), 1);
    QVERIFY(parser.bufferedBytes() < 2 * 1024 * 1024);
}

QTEST_GUILESS_MAIN(TestMjpegStreamParser)
#include "tst_mjpegstreamparser.moc"
