// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "eappsettings.h"
#include "xmldocument.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    f.write(content);
    return path;
}

QList<int> ids(const QList<EAppSettings::SceneName> &list)
{
    QList<int> out;
    for (const auto &s : list)
        out.append(s.id);
    return out;
}

QStringList texts(const QList<EAppSettings::SceneName> &list)
{
    QStringList out;
    for (const auto &s : list)
        out.append(s.text);
    return out;
}

// A configuration as integrators write them: comments, legacy names, unknown elements and extra
// attributes, lists in mixed order.
const char kRealistic[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<config version="2">
 <!-- controller connection -->
 <ipaddress value="127.0.0.1" name="Controller address"/>
 <ipport value="1502"/>
 <ipport value="1503"/>
 <offset value="1F4"/>
 <write_archive value="true"/>
 <font_name value="Times"/>
 <password value="secret" owner="installer"/>
 <glscene id="3" textB="Night"/>
 <glscene id="1" textB="Morning"/>
 <glscene id="2" textB="Day"/>
 <message id="300" textB="Leak" minimum="0" maximum="1.5"/>
 <message id="7" textB="Smoke"/>
 <parameter id="2" textB="Humidity" minimum="0" maximum="100"/>
 <parameter id="1" textB="Outdoor temperature" minimum="-40" maximum="50"/>
 <sound fileName="first.wav" value="1"/>
 <sound fileName="second.wav" value="2"/>
 <sound fileName="again.wav" value="1"/>
 <secure value="0" textB="Enter code"/>
 <secure value="1" textB="Wrong code"/>
 <vendor>
  <nested deep="yes"/>
 </vendor>
</config>
)";

} // namespace

class tst_EAppSettings : public QObject
{
    Q_OBJECT

private slots:
    void defaultsWithoutFile_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("language") << int(EAppSettings::Language) << QVariant("system");
        QTest::newRow("show_settings") << int(EAppSettings::ShowSettings) << QVariant(true);
        QTest::newRow("archivedelay") << int(EAppSettings::ArchiveDelay) << QVariant(10000);
        QTest::newRow("ipport") << int(EAppSettings::IpPort) << QVariant(502);
        QTest::newRow("timeout") << int(EAppSettings::Timeout) << QVariant(500);
        QTest::newRow("reconnecttime") << int(EAppSettings::ReconnectTime) << QVariant(60);
        QTest::newRow("drawtype") << int(EAppSettings::DrawType) << QVariant("auto");
        QTest::newRow("readfunctionmb") << int(EAppSettings::ReadFunctionMb) << QVariant(3);
        QTest::newRow("isHideAlertColumns")
            << int(EAppSettings::IsHideAlertColumns) << QVariant(true);
        QTest::newRow("index past the table") << int(EAppSettings::KeyCount) << QVariant();
        QTest::newRow("negative index") << -1 << QVariant();
    }
    void defaultsWithoutFile()
    {
        QFETCH(int, key);
        QFETCH(QVariant, expected);
        EAppSettings s;
        QCOMPARE(s.value(key), expected);
    }

    void keyNamesAreTheFileTags()
    {
        // Every key has a distinct tag; these tags are what config.xml files contain.
        QSet<QString> names;
        for (int k = 0; k < EAppSettings::KeyCount; ++k)
            names.insert(EAppSettings::keyName(k));
        QCOMPARE(names.size(), int(EAppSettings::KeyCount));
        QCOMPARE(int(EAppSettings::KeyCount), 29);
        QVERIFY(names.contains("isHideAlertColumns"));
        QVERIFY(names.contains("show_settings"));
        QVERIFY(EAppSettings::keyName(EAppSettings::KeyCount).isEmpty());
    }

    void realisticFile()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, "config.xml", kRealistic);
        EAppSettings s;
        QVERIFY(s.load(path));
        QCOMPARE(s.value(EAppSettings::IpAddress).toString(), QStringLiteral("127.0.0.1"));
        QCOMPARE(s.value(EAppSettings::IpPort).toInt(), 1503); // the later of two elements
        QCOMPARE(s.registerOffset(), 500);                     // hexadecimal text
        // Legacy names are not keys: the keys keep their defaults.
        QCOMPARE(s.value(EAppSettings::WriteArchive).toBool(), false);
        QCOMPARE(s.value(EAppSettings::FontName).toString(), QStringLiteral("Arial"));

        QCOMPARE(ids(s.globalScenes()), (QList<int>{1, 2, 3}));
        QCOMPARE(texts(s.globalScenes()), (QStringList{"Morning", "Day", "Night"}));
        const auto messages = s.messages();
        QCOMPARE(messages.size(), 2);
        QCOMPARE(int(messages.at(0).id), 7);
        QCOMPARE(int(messages.at(1).id), 44); // 300 kept in 8 bits
        QCOMPARE(messages.at(1).maximum, 1.5);
        QCOMPARE(messages.at(0).maximum, 0.0); // missing attribute
        QCOMPARE(s.parameters().first().text, QStringLiteral("Outdoor temperature"));
        QCOMPARE(s.parameters().first().minimum, -40.0);

        const auto sounds = s.sounds(); // reverse document order
        QCOMPARE(sounds.size(), 3);
        QCOMPARE(sounds.first().fileName, QStringLiteral("again.wav"));
        QCOMPARE(sounds.last().fileName, QStringLiteral("first.wav"));
        QCOMPARE(s.secureTexts().first().text, QStringLiteral("Wrong code"));

        // Round trip: unknown elements, attributes and comments survive; a new key is written.
        s.setValue(EAppSettings::Timeout, 750);
        s.setValue(EAppSettings::ShowSettings, false);
        QVERIFY(s.save(path));
        EAppSettings again;
        QVERIFY(again.load(path));
        QCOMPARE(again.value(EAppSettings::Timeout).toInt(), 750);
        QCOMPARE(again.value(EAppSettings::ShowSettings).toString(), QStringLiteral("false"));
        QCOMPARE(again.value(EAppSettings::IpPort).toInt(), 1503);
        QCOMPARE(ids(again.globalScenes()), (QList<int>{1, 2, 3}));
        QCOMPARE(again.sounds().first().fileName, QStringLiteral("again.wav"));

        XmlDocument doc;
        QVERIFY(doc.load(path));
        QCOMPARE(doc.root()->attribute("version").toInt(), 2);
        QStringList tags;
        XML::NodeElementPtr password, vendor, address;
        for (const auto &c : doc.root()->children()) {
            tags.append(c->tagName());
            if (c->tagName() == "password")
                password = c;
            if (c->tagName() == "vendor")
                vendor = c;
            if (c->tagName() == "ipaddress")
                address = c;
        }
        QStringList sorted = tags;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(tags, sorted); // written sorted by tag
        QVERIFY(tags.contains("write_archive"));
        QVERIFY(tags.contains("timeout"));
        QVERIFY(password);
        QCOMPARE(password->attribute("owner").toString(), QStringLiteral("installer"));
        QVERIFY(vendor);
        QCOMPARE(vendor->children().first()->attribute("deep").toString(), QStringLiteral("yes"));
        QVERIFY(address);
        QCOMPARE(address->comments(), QStringList{" controller connection "});
        QCOMPARE(address->attribute("name").toString(), QStringLiteral("Controller address"));
    }

    void oldLayoutNumbersSceneLists()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, "config.xml", R"(<config>
 <glscene textB="A" id="9"/><dopset value="x"/><glscene textB="B"/><ingscn value="i"/>
 <glscene textB="C"/><dopset value="y"/><medscn value="m"/>
</config>)");
        EAppSettings s;
        QVERIFY(s.load(path));
        QCOMPARE(ids(s.globalScenes()), (QList<int>{1, 2, 3}));
        QCOMPARE(texts(s.globalScenes()), (QStringList{"A", "B", "C"}));
        QCOMPARE(texts(s.additionalSets()), (QStringList{"x", "y"}));
        QCOMPARE(ids(s.additionalSets()), (QList<int>{1, 2}));
        QCOMPARE(ids(s.mediaScenes()), (QList<int>{1}));
        QCOMPARE(ids(s.engineeringScenes()), (QList<int>{1}));
        QVERIFY(s.save(path));
        XmlDocument doc;
        QVERIFY(doc.load(path));
        QCOMPARE(doc.root()->attribute("version").toString(), QStringLiteral("2"));
        EAppSettings again;
        QVERIFY(again.load(path));
        QCOMPARE(texts(again.globalScenes()), (QStringList{"A", "B", "C"}));
    }

    void rejectedFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("wrong root") << QByteArray("<settings><ipport value=\"1\"/></settings>");
        QTest::newRow("malformed") << QByteArray("<config><ipport value=\"1\">");
        QTest::newRow("empty file") << QByteArray();
    }
    void rejectedFiles()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = writeFile(dir, "config.xml", content);
        EAppSettings s;
        QVERIFY(!s.load(path));
        QCOMPARE(s.value(EAppSettings::IpPort).toInt(), 502);
        QVERIFY(!s.isLoaded());
        // Nothing was loaded, so nothing may be written over the user's file.
        QVERIFY(!s.save(path));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), content);
    }

    void saveNeverCreatesTheFile()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, "config.xml", "<config/>");
        EAppSettings s;
        QVERIFY(s.load(path));
        QVERIFY(QFile::remove(path));
        QVERIFY(!s.save(path));
        QVERIFY(!QFile::exists(path));
    }

    void badValuesConvertQuietly()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, "config.xml",
                                       "<config><ipport value=\"abc\"/><offset value=\"zz\"/>"
                                       "<timeout/></config>");
        EAppSettings s;
        QVERIFY(s.load(path));
        QCOMPARE(s.value(EAppSettings::IpPort).toInt(), 0);
        QCOMPARE(s.registerOffset(), 0);
        QCOMPARE(s.value(EAppSettings::Timeout).toInt(), 500); // element without "value"
    }

    void additionsAndRenamesSurviveASave()
    {
        QTemporaryDir dir;
        const QString path = writeFile(
            dir, "config.xml",
            "<config><weather_url value=\"http://127.0.0.1:9/xml/\"/>"
            "<glscene id=\"1\" textB=\"Evening\"/><glscene id=\"2\" textB=\"Night\"/></config>");
        EAppSettings s;
        QVERIFY(s.load(path));
        QCOMPARE(s.optionalValue("weather_url"), QStringLiteral("http://127.0.0.1:9/xml/"));
        QCOMPARE(s.optionalValue("no_such_key", "fallback"), QStringLiteral("fallback"));
        QVERIFY(s.setGlobalSceneName(2, "Late"));
        QVERIFY(!s.setGlobalSceneName(9, "Nobody"));
        QVERIFY(s.save(path));
        EAppSettings again;
        QVERIFY(again.load(path));
        QCOMPARE(texts(again.globalScenes()), (QStringList{"Evening", "Late"}));
        QCOMPARE(again.optionalValue("weather_url"), QStringLiteral("http://127.0.0.1:9/xml/"));
    }
};

QTEST_GUILESS_MAIN(tst_EAppSettings)
#include "tst_eappsettings.moc"
