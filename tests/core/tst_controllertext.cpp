// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// Texts for the controller: one byte per letter in its encoding, limits in bytes, never a
// character cut in half, whatever encoding the configuration names.
#include "controllertext.h"

#include <QtTest>

class TestControllerText : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { ControllerText::setCodecName(QByteArray()); }

    void encodeWithinTheLimit_data()
    {
        QTest::addColumn<QByteArray>("codec");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QByteArray>("bytes");
        // clang-format off
        QTest::newRow("cyrillic, one byte each") << QByteArray() << QStringLiteral("Ужин готов всем!") << 16
            << QStringLiteral("Ужин готов всем!") << QByteArray::fromHex("d3e6e8ed20e3eef2eee220e2f1e5ec21");
        QTest::newRow("cut between letters") << QByteArray() << QStringLiteral("Ужин готов") << 6
            << QStringLiteral("Ужин г") << QByteArray::fromHex("d3e6e8ed20e3");
        QTest::newRow("KOI8-R") << QByteArray("KOI8-R") << QStringLiteral("Ужин") << 16
            << QStringLiteral("Ужин") << QByteArray::fromHex("f5d6c9ce");
        // A multi-byte encoding, should a configuration name one: the limit still falls between
        // characters.
        QTest::newRow("UTF-8 never halves a letter") << QByteArray("UTF-8") << QStringLiteral("Ужин") << 5
            << QStringLiteral("Уж") << QByteArray::fromHex("d0a3d0b6");
        QTest::newRow("no limit") << QByteArray() << QStringLiteral("abc") << -1
            << QStringLiteral("abc") << QByteArray("abc");
        // clang-format on
    }
    void encodeWithinTheLimit()
    {
        QFETCH(QByteArray, codec);
        QFETCH(QString, text);
        QFETCH(int, limit);
        QFETCH(QString, kept);
        QFETCH(QByteArray, bytes);
        QVERIFY(codec.isEmpty() || ControllerText::setCodecName(codec));
        QCOMPARE(ControllerText::fitted(text, limit), kept);
        QCOMPARE(ControllerText::encode(text, limit), bytes);
        // What was written reads back as the text kept, up to the first zero byte.
        QCOMPARE(ControllerText::decode(bytes + QByteArray(3, '\0') + "junk"), kept);
        QCOMPARE(ControllerText::byteLength(kept), bytes.size());
    }

    void unknownNameKeepsTheDefault()
    {
        QVERIFY(ControllerText::setCodecName("KOI8-R"));
        QVERIFY(!ControllerText::setCodecName("no-such-encoding"));
        QCOMPARE(ControllerText::codecName().toLower(), QByteArray("windows-1251"));
    }
};

QTEST_GUILESS_MAIN(TestControllerText)
#include "tst_controllertext.moc"
