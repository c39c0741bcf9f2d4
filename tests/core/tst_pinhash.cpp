// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "pinhash.h"

#include <QtTest>

class tst_PinHash : public QObject
{
    Q_OBJECT

private slots:
    void matchesOnlyTheRightPin_data()
    {
        QTest::addColumn<QString>("pin");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<bool>("match");
        QTest::newRow("the same PIN") << "4711" << "4711" << true;
        QTest::newRow("one digit off") << "4711" << "4712" << false;
        QTest::newRow("a prefix") << "4711" << "471" << false;
        QTest::newRow("longer") << "4711" << "47110" << false;
        QTest::newRow("empty entry") << "4711" << "" << false;
        QTest::newRow("leading zeros count") << "0042" << "42" << false;
        QTest::newRow("twelve digits") << "123456789012" << "123456789012" << true;
    }
    void matchesOnlyTheRightPin()
    {
        QFETCH(QString, pin);
        QFETCH(QString, entered);
        QFETCH(bool, match);
        const QString stored = PinHash::make(pin, 1000);
        QVERIFY(PinHash::isHash(stored));
        QCOMPARE(PinHash::matches(stored, entered), match);
        // Nothing of the PIN is readable in what is stored.
        QVERIFY(!stored.contains(pin));
    }

    void saltMakesEveryHashDifferent()
    {
        const QString a = PinHash::make(QStringLiteral("4711"), 1000);
        const QString b = PinHash::make(QStringLiteral("4711"), 1000);
        QVERIFY(a != b);
        QVERIFY(PinHash::matches(a, QStringLiteral("4711")));
        QVERIFY(PinHash::matches(b, QStringLiteral("4711")));
        // A hash made now is slow by default: the count travels in the text.
        QVERIFY(PinHash::make(QStringLiteral("1")).contains(
            QStringLiteral("$%1$").arg(PinHash::kIterations)));
    }

    void damagedHashesMatchNothing_data()
    {
        QTest::addColumn<QString>("stored");
        const QString good = PinHash::make(QStringLiteral("4711"), 1000);
        const QStringList parts = good.split(QLatin1Char('$'));
        const auto with = [&parts](int index, const QString &value) {
            QStringList changed = parts;
            changed[index] = value;
            return changed.join(QLatin1Char('$'));
        };
        QTest::newRow("clear PIN") << "4711";
        QTest::newRow("empty") << "";
        QTest::newRow("cut short") << good.left(good.size() - 5);
        QTest::newRow("other scheme") << with(1, QStringLiteral("md5"));
        QTest::newRow("too few iterations") << with(2, QStringLiteral("1"));
        QTest::newRow("endless iterations") << with(2, QStringLiteral("2000000000"));
        QTest::newRow("salt not base64") << with(3, QStringLiteral("***"));
        QTest::newRow("empty hash") << with(4, QString());
        QTest::newRow("extra part") << good + QStringLiteral("$x");
    }
    void damagedHashesMatchNothing()
    {
        QFETCH(QString, stored);
        QVERIFY(!PinHash::matches(stored, QStringLiteral("4711")));
        QVERIFY(!PinHash::matches(stored, stored));
    }
};

QTEST_GUILESS_MAIN(tst_PinHash)
#include "tst_pinhash.moc"
