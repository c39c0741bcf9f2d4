// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "ecoreapp.h"
#include "elocale.h"
#include "xmldocument.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

QMap<int, QString> table(const QString &language)
{
    QMap<int, QString> out;
    XmlDocument doc;
    if (!doc.load(":/resources/locale/" + language + ".xml"))
        return out;
    for (const auto &e : doc.root()->children())
        out.insert(e->attribute("id").toInt(), e->attribute("text").toString());
    return out;
}

class Probe : public AbstractLocalizable
{
public:
    int applied = 0;
    QString home;

protected:
    void applyTexts() override
    {
        ++applied;
        home = localText(61016);
    }
};

} // namespace

class tst_ELocale : public QObject
{
    Q_OBJECT

private slots:
    void bothTablesDefineTheSameIds()
    {
        const auto en = table("en_US");
        const auto ru = table("ru_RU");
        // 153 texts of the screens and dialogs, 24 of the history screen, 20 of the PIN panel,
        // the configuration picker, the switch hint, the scene-change question and the camera and
        // weather properties, 7 of the editor's and the demo's questions and the alerts' generic name,
        // the PIN pad's wait, 17 of a new home, the guide's notices, the history's range and the demo reset's exports,
        // 14 of the properties panel's file name and system types and the editing notices.
        QCOMPARE(en.size(), 236);
        QCOMPARE(ru.keys(), en.keys());
        for (auto it = ru.cbegin(); it != ru.cend(); ++it) {
            QVERIFY2(!it.value().isEmpty(), qPrintable(QString::number(it.key())));
            // Placeholders and line breaks must survive translation, or screens lose numbers.
            QCOMPARE(it.value().contains("%1"), en.value(it.key()).contains("%1"));
            QCOMPARE(it.value().count("\r\n") > 0, en.value(it.key()).count("\r\n") > 0);
        }
        // Every id lies in the ranges of the screens (61001..61249), of the history screen
        // (61300..), of the later panels (61400..) and of the later questions (61500..): counting
        // the ids of those ranges the table holds finds them all.
        int inRange = 0;
        for (int id = 61001; id <= 61249; ++id)
            inRange += en.contains(id) ? 1 : 0;
        for (int id = 61300; id <= 61499; ++id)
            inRange += en.contains(id) ? 1 : 0;
        for (int id = 61500; id <= 61599; ++id)
            inRange += en.contains(id) ? 1 : 0;
        QCOMPARE(inRange, en.size());
    }

    void englishTexts_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        QTest::newRow("first") << 61001 << "Downloading Configuration Files ...";
        QTest::newRow("line break") << 61011 << "no\r\nconnection";
        QTest::newRow("placeholder") << 61012 << "count\r\nalarms: %1";
        QTest::newRow("degree sign") << 61187 << QString::fromUtf8("°C");
        QTest::newRow("last") << 61249 << "scenes";
        QTest::newRow("history title") << 61300 << "History";
        QTest::newRow("history export placeholder") << 61313 << "Saved: %1";
        QTest::newRow("gap id") << 61000 << QString();
        QTest::newRow("legal notice is written") << 61082 << QString("*");
    }
    void englishTexts()
    {
        QFETCH(int, id);
        QFETCH(QString, text);
        ELocale locale;
        QCOMPARE(locale.currentLanguage(), QStringLiteral("en_US"));
        if (text == "*")
            QVERIFY(locale.text(id).size() > 40);
        else
            QCOMPARE(locale.text(id), text);
    }

    void switchingLanguages()
    {
        ELocale locale;
        QSignalSpy changed(&locale, &ELocale::changedLocale);
        QVERIFY(locale.load("ru_RU"));
        QCOMPARE(locale.text(61060), QString::fromUtf8("Да"));
        QCOMPARE(changed.takeFirst().at(0).toString(), QStringLiteral("ru_RU"));
        QVERIFY(locale.load("en_US"));
        const auto en = table("en_US");
        for (auto it = en.cbegin(); it != en.cend(); ++it)
            QCOMPARE(locale.text(it.key()), it.value());
    }

    void failedLoadsChangeNothing_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("no such table") << "de_DE";
        QTest::newRow("wrong root") << "bad_ROOT";
    }
    void failedLoadsChangeNothing()
    {
        QFETCH(QString, language);
        ELocale locale;
        QSignalSpy changed(&locale, &ELocale::changedLocale);
        QVERIFY(!locale.load(language));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(locale.currentLanguage(), QStringLiteral("en_US"));
        QCOMPARE(locale.text(61016), QStringLiteral("home"));
    }

    void partialTableLayersOnTheBase()
    {
        ELocale locale;
        QVERIFY(locale.load("xx_TEST"));
        QCOMPARE(locale.text(61016), QStringLiteral("maison"));
        QCOMPARE(locale.text(61060), QStringLiteral("Yes")); // empty text keeps the old one
        QCOMPARE(locale.text(61061), QStringLiteral("No"));  // other elements ignored
        QCOMPARE(locale.text(61083), QStringLiteral("second wins"));
        QCOMPARE(locale.text(0), QStringLiteral("zero id"));
        QCOMPARE(locale.currentLanguage(), QStringLiteral("xx_TEST"));
    }

    void systemLanguageWithoutTable()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        ELocale locale;
        // The system locale is what the platform reports; whatever it is, a missing table keeps
        // English.
        const bool loaded = locale.load("system");
        if (!loaded) {
            QCOMPARE(locale.currentLanguage(), QStringLiteral("en_US"));
            QCOMPARE(locale.text(61016), QStringLiteral("home"));
        } else {
            QCOMPARE(locale.currentLanguage(), QStringLiteral("system"));
        }
    }

    void retranslateOnlyOnChange()
    {
        ELocale *locale = ECoreApp::instance()->locale();
        QVERIFY(locale->load("en_US"));
        Probe probe;
        probe.retranslate();
        probe.retranslate();
        QCOMPARE(probe.applied, 1);
        QCOMPARE(probe.home, QStringLiteral("home"));
        QVERIFY(locale->load("ru_RU"));
        probe.retranslate();
        probe.retranslate();
        QCOMPARE(probe.applied, 2);
        QCOMPARE(probe.home, QString::fromUtf8("дом"));
        QCOMPARE(probe.appliedLanguage(), QStringLiteral("ru_RU"));
        ECoreApp::destroyInstance();
    }
};

QTEST_GUILESS_MAIN(tst_ELocale)
#include "tst_elocale.moc"
