// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "basecontrolv1.h"
#include "boolcontrolv1.h"
#include "floorstructv1.h"
#include "lightcontrolv1.h"
#include "roomstructv1.h"
#include "textcontrolv1.h"
#include "controlconstants.h"
#include "eappsettings.h"
#include "epackage.h"
#include "fixturefolder.h"
#include "mainstructv1.h"
#include "projectreaderv1.h"
#include "projectwriterv1.h"
#include "roomsv1.h"
#include "xmldocument.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Integrators keep configurations under version control: a file the program saves without a
// change must come out byte for byte as before, and saving it again must not move anything.
class TestFileStability : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void projectFilesSaveIdentically_data();
    void projectFilesSaveIdentically();
    void settingsSaveIdentically_data();
    void settingsSaveIdentically();
    void newAttributesAreAppendedInTheOrderSet();
    void untouchedDemoSavesNoFile();
    void oneEditedPageRewritesOnlyItsFile();
    void unreadPartsSurviveEdits_data();
    void unreadPartsSurviveEdits();
    void newThingsFollowTheirKind();

private:
    QTemporaryDir m_demo; // the demo's project files, unpacked from its package
};

namespace {

using FixtureFolder::contents;

QString fixtureFolder()
{
    return QFileInfo(QFINDTESTDATA("../data/project/config.xml")).absolutePath();
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

// The writers only replace files that exist.
QString emptyFile(const QTemporaryDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    writeFile(path, QByteArray());
    return path;
}

// Attribute names of every element, in document order, as the file itself has them.
QStringList attributeOrder(const XML::NodeElementPtr &element)
{
    QStringList lines;
    if (!element)
        return lines;
    lines << element->tagName() + QLatin1Char(' ') +
                 element->attributes().keys().join(QLatin1Char(','));
    for (const XML::NodeElementPtr &child : element->children())
        lines += attributeOrder(child);
    return lines;
}

QStringList attributeOrderOfFile(const QString &path)
{
    XmlDocument doc;
    return doc.load(path) ? attributeOrder(doc.root()) : QStringList();
}

} // namespace

void TestFileStability::initTestCase()
{
    QVERIFY(m_demo.isValid());
    const QString package = QFINDTESTDATA("../../resources/demo/configs.package");
    QVERIFY2(!package.isEmpty(), "the demo's configs.package was not found");
    QVERIFY(EPackage::unpack(package, m_demo.path()));
}

void TestFileStability::projectFilesSaveIdentically_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("fileName");
    // The demo files come from the generator, which writes through the program's own writer: a
    // plain load and save must give them back unchanged.
    QTest::addColumn<bool>("canonical");
    const QStringList filters{QStringLiteral("*.xml")};
    for (const QString &name : QDir(fixtureFolder()).entryList(filters, QDir::Files)) {
        if (name != QLatin1String("config.xml"))
            QTest::newRow(qPrintable("fixture " + name)) << fixtureFolder() << name << false;
    }
    for (const QString &name : QDir(m_demo.path()).entryList(filters, QDir::Files)) {
        if (name != QLatin1String("config.xml"))
            QTest::newRow(qPrintable("demo " + name)) << m_demo.path() << name << true;
    }
}

void TestFileStability::projectFilesSaveIdentically()
{
    QFETCH(QString, folder);
    QFETCH(QString, fileName);
    QFETCH(bool, canonical);
    const QString original = folder + QLatin1Char('/') + fileName;
    QTemporaryDir out;
    QVERIFY(out.isValid());

    // The node tree: attributes leave in the order they came in.
    XmlDocument doc;
    QVERIFY(doc.load(original));
    const QString plain = emptyFile(out, QStringLiteral("plain.xml"));
    QVERIFY(XmlDocument::save(plain, doc.root()));
    QCOMPARE(attributeOrderOfFile(plain), attributeOrderOfFile(original));
    if (canonical)
        QCOMPARE(contents(plain), contents(original));
    QVERIFY(doc.load(plain));
    const QString plainAgain = emptyFile(out, QStringLiteral("plain-again.xml"));
    QVERIFY(XmlDocument::save(plainAgain, doc.root()));
    QCOMPARE(contents(plainAgain), contents(plain));

    // The project model: read, write, read what was written and write again. The file keeps its
    // name, which decides the kind of subsystem it is read as.
    const auto first = ProjectReaderV1::readSubsystem(folder, fileName);
    QVERIFY(!first->fileName().isEmpty());
    QVERIFY(QDir(out.path()).mkpath(QStringLiteral("one")));
    QVERIFY(QDir(out.path()).mkpath(QStringLiteral("two")));
    const QString one = out.filePath(QStringLiteral("one"));
    const QString two = out.filePath(QStringLiteral("two"));
    emptyFile(out, QStringLiteral("one/") + fileName);
    emptyFile(out, QStringLiteral("two/") + fileName);
    QVERIFY(ProjectWriterV1::writeSubsystem(first.get(), one, fileName));
    const auto second = ProjectReaderV1::readSubsystem(one, fileName);
    QVERIFY(ProjectWriterV1::writeSubsystem(second.get(), two, fileName));
    const QByteArray once = contents(one + QLatin1Char('/') + fileName);
    QVERIFY(!once.isEmpty());
    QCOMPARE(contents(two + QLatin1Char('/') + fileName), once);
}

void TestFileStability::settingsSaveIdentically_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("fixture config.xml") << fixtureFolder() + QStringLiteral("/config.xml");
    QTest::newRow("demo config.xml") << QFINDTESTDATA("../../resources/demo/config.xml");
}

void TestFileStability::settingsSaveIdentically()
{
    QFETCH(QString, path);
    QVERIFY2(QFile::exists(path), qPrintable(path));
    QTemporaryDir out;
    QVERIFY(out.isValid());
    const QString once = emptyFile(out, QStringLiteral("once.xml"));
    const QString twice = emptyFile(out, QStringLiteral("twice.xml"));
    {
        EAppSettings settings;
        QVERIFY(settings.load(path));
        QVERIFY(settings.save(once));
    }
    {
        EAppSettings settings;
        QVERIFY(settings.load(once));
        QVERIFY(settings.save(twice));
        // Saving the loaded object again changes nothing either.
        QVERIFY(settings.save(once));
    }
    QCOMPARE(contents(twice), contents(once));
    // Every element keeps its attributes in the order the original file has them.
    QStringList before = attributeOrderOfFile(path);
    QStringList after = attributeOrderOfFile(once);
    before.removeFirst(); // the root is rebuilt with its version only
    after.removeFirst();
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    QCOMPARE(after, before);
}

void TestFileStability::newAttributesAreAppendedInTheOrderSet()
{
    XmlDocument doc;
    QVERIFY(
        doc.parse(QByteArrayLiteral("<config><timeout value=\"500\" name=\"Polling\"/></config>")));
    const XML::NodeElementPtr timeout = doc.root()->children().first();
    timeout->setAttribute(QStringLiteral("zeta"), 1);
    timeout->setAttribute(QStringLiteral("alpha"), true);
    timeout->setAttribute(QStringLiteral("value"), 700); // replaced in place, not moved
    QCOMPARE(timeout->attributes().keys(), (QStringList{"value", "name", "zeta", "alpha"}));
    const QByteArray text = XmlDocument::toByteArray(doc.root());
    QVERIFY2(text.contains("<timeout value=\"700\" name=\"Polling\" zeta=\"1\" alpha=\"true\"/>"),
             text.constData());
}

namespace {
// A copy of the demo home's project files and settings whose time stamps lie in the past, so
// that any write shows.
QStringList copyDemo(const QString &from, const QTemporaryDir &to)
{
    QStringList files = QDir(from).entryList({QStringLiteral("*.xml")}, QDir::Files);
    files.removeAll(QStringLiteral("config.xml"));
    QStringList all = files;
    all << QStringLiteral("config.xml");
    const QString settings = QFINDTESTDATA("../../resources/demo/config.xml");
    const QDateTime past(QDate(2001, 1, 1), QTime(12, 0), Qt::UTC);
    for (const QString &name : all) {
        const QString source =
            name == QLatin1String("config.xml") ? settings : from + QLatin1Char('/') + name;
        QFile file(to.filePath(name));
        if (!QFile::copy(source, to.filePath(name)) ||
            !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner) ||
            !file.open(QIODevice::ReadWrite) ||
            !file.setFileTime(past, QFileDevice::FileModificationTime))
            return {};
    }
    return files;
}

// The files whose bytes or time stamps differ from the copy's start.
QStringList touched(const QTemporaryDir &dir, const QMap<QString, QByteArray> &before)
{
    const QDateTime past(QDate(2001, 1, 1), QTime(12, 0), Qt::UTC);
    QStringList names;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const QString path = dir.filePath(it.key());
        if (contents(path) != it.value() || QFileInfo(path).lastModified().toUTC() != past)
            names << it.key();
    }
    return names;
}

QMap<QString, QByteArray> allContents(const QTemporaryDir &dir)
{
    QMap<QString, QByteArray> map;
    for (const QString &name : QDir(dir.path()).entryList({QStringLiteral("*.xml")}, QDir::Files))
        map.insert(name, contents(dir.filePath(name)));
    return map;
}
} // namespace

// Saving the demo home without a change - even with every page flagged as edited - writes no
// file: project files and settings come out exactly as shipped, and their time stamps stay.
void TestFileStability::untouchedDemoSavesNoFile()
{
    QTemporaryDir dir;
    const QStringList files = copyDemo(m_demo.path(), dir);
    QVERIFY(!files.isEmpty());
    const QMap<QString, QByteArray> before = allContents(dir);
    RoomsV1 rooms;
    QVERIFY(rooms.load(dir.path(), files));
    for (BaseRoomV1 *page : rooms.pages())
        page->setModified(true);
    QVERIFY(rooms.saveProject(dir.path()));
    EAppSettings settings;
    QVERIFY(settings.load(dir.filePath(QStringLiteral("config.xml"))));
    QVERIFY(settings.save(dir.filePath(QStringLiteral("config.xml"))));
    QCOMPARE(touched(dir, before), QStringList());
}

// One edited page of one further subsystem: that file is written, every other one is left alone,
// and the names of buttons and tiles survive in it.
void TestFileStability::oneEditedPageRewritesOnlyItsFile()
{
    QTemporaryDir dir;
    const QStringList files = copyDemo(m_demo.path(), dir);
    QVERIFY(files.contains(QStringLiteral("security.xml")));
    const QMap<QString, QByteArray> before = allContents(dir);
    RoomsV1 rooms;
    QVERIFY(rooms.load(dir.path(), files));
    MainStructV1 *security = rooms.systemByFileName(QStringLiteral("security.xml"));
    QVERIFY(security && security->controlCount() > 0);
    security->controls().first()->setPosY(42.5);
    security->setModified(true);
    QVERIFY(rooms.saveProject(dir.path()));
    QCOMPARE(touched(dir, before), QStringList{QStringLiteral("security.xml")});

    RoomsV1 again;
    QVERIFY(again.load(dir.path(), files));
    const MainStructV1 *reread = again.systemByFileName(QStringLiteral("security.xml"));
    QCOMPARE(reread->controls().first()->posY(), 42.5);
    int named = 0;
    for (const BaseControlV1 *c : reread->controls()) {
        if (c->kind() == ControlConstants::KindSystem) {
            QVERIFY(!c->name().isEmpty());
            ++named;
        }
    }
    QVERIFY(named > 0);
}

namespace {
QString keepFolder()
{
    return QFileInfo(QFINDTESTDATA("../data/keep/light_config.xml")).absolutePath();
}

const QStringList kKeepFiles{QStringLiteral("light_config.xml"), QStringLiteral("leaks.xml")};

BaseControlV1 *controlNamed(const RoomsV1 &rooms, const QString &name)
{
    for (BaseRoomV1 *page : rooms.pages()) {
        for (BaseControlV1 *c : page->controls()) {
            if (c->name() == name)
                return c;
        }
    }
    return nullptr;
}

BaseRoomV1 *pageNamed(const RoomsV1 &rooms, const QString &name)
{
    for (BaseRoomV1 *page : rooms.pages()) {
        if (page->name() == name)
            return page;
    }
    return nullptr;
}
} // namespace

// A project file holds more than the panel reads: attributes and elements of other tools or
// later versions, comments, values written in their own way ("1.50", "+0100", fontFamily="").
// Editing one thing must change that thing in the file and nothing else.
void TestFileStability::unreadPartsSurviveEdits_data()
{
    QTest::addColumn<QString>("file");
    // The text of the file the edit changes and what it becomes (empty: the file stays as it is).
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    // clang-format off
    QTest::newRow("no edit, every page flagged")
        << "light_config.xml" << QByteArray() << QByteArray();
    QTest::newRow("drag one lamp")
        << "light_config.xml" << QByteArray("posX=\"70\" posY=\"40\"") << QByteArray("posX=\"71.25\" posY=\"40\"");
    QTest::newRow("lamp dragged and back")
        << "light_config.xml" << QByteArray() << QByteArray();
    QTest::newRow("font size of a text")
        << "light_config.xml" << QByteArray("fontSize=\"14\"") << QByteArray("fontSize=\"16\"");
    QTest::newRow("caption of a room scene")
        << "light_config.xml" << QByteArray("textB=\"Scene 2\" extra") << QByteArray("textB=\"Evening\" extra");
    QTest::newRow("move a floor")
        << "light_config.xml" << QByteArray("posX=\"12.000\" posY=\"1e1\"") << QByteArray("posX=\"15\" posY=\"1e1\"");
    QTest::newRow("attribute the file lacks")
        << "leaks.xml" << QByteArray("name=\"leak_floor\" textB=\"Cellar\" posX=\"20\" posY=\"20\" image=\"plans/cellar.png\"")
        << QByteArray("name=\"leak_floor\" textB=\"Cellar\" posX=\"20\" posY=\"20\" image=\"plans/cellar.png\" drawRect=\"true\"");
    QTest::newRow("delete a control with a child element")
        << "light_config.xml"
        << QByteArray("   <bytecnt name=\"b\"")
        << QByteArray();
    QTest::newRow("bit of a further subsystem")
        << "leaks.xml" << QByteArray("bitNumber=\"3\"") << QByteArray("bitNumber=\"5\"");
    // clang-format on
}

void TestFileStability::unreadPartsSurviveEdits()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    QVERIFY(FixtureFolder::copyFolder(keepFolder(), dir.path()));
    const QMap<QString, QByteArray> original = allContents(dir);
    // The fixture is in the writer's own form: read and written as a plain tree it comes back.
    XmlDocument doc;
    for (const QString &name : kKeepFiles) {
        QVERIFY(doc.load(dir.filePath(name)));
        QCOMPARE(XmlDocument::toByteArray(doc.root()), original.value(name));
    }

    RoomsV1 rooms;
    QVERIFY(rooms.load(dir.path(), kKeepFiles));
    const QString row = QString::fromLatin1(QTest::currentDataTag());
    if (row.startsWith(QLatin1String("drag one lamp"))) {
        controlNamed(rooms, QStringLiteral("lamp_b"))->setPosX(71.25);
    } else if (row.startsWith(QLatin1String("lamp dragged and back"))) {
        BaseControlV1 *lamp = controlNamed(rooms, QStringLiteral("lamp_a"));
        const double x = lamp->posX();
        lamp->setPosX(40);
        lamp->setPosX(x);
    } else if (row.startsWith(QLatin1String("font size"))) {
        static_cast<TextControlV1 *>(controlNamed(rooms, QStringLiteral("txt")))->setFontSize(16);
    } else if (row.startsWith(QLatin1String("caption of a room scene"))) {
        BaseRoomV1 *hall = pageNamed(rooms, QStringLiteral("r1"));
        QStringList scenes = hall->scenes();
        QCOMPARE(scenes, (QStringList{"Scene 1", "Scene 2"}));
        scenes[1] = QStringLiteral("Evening");
        hall->setScenes(scenes);
    } else if (row.startsWith(QLatin1String("move a floor"))) {
        pageNamed(rooms, QStringLiteral("f1"))->setPosX(15);
    } else if (row.startsWith(QLatin1String("attribute the file lacks"))) {
        pageNamed(rooms, QStringLiteral("leak_floor"))->setDrawRect(true);
    } else if (row.startsWith(QLatin1String("delete a control"))) {
        controlNamed(rooms, QStringLiteral("b"))->setDeleted(true);
    } else if (row.startsWith(QLatin1String("bit of a further"))) {
        static_cast<BoolControlV1 *>(controlNamed(rooms, QStringLiteral("leak_sensor")))
            ->setBitNumber(5);
    }
    for (BaseRoomV1 *page : rooms.pages())
        page->setModified(true);
    rooms.saveProject(dir.path());

    QByteArray expected = original.value(file);
    if (row.startsWith(QLatin1String("delete a control"))) {
        // The element goes with its child element and end tag: three lines.
        const int from = expected.indexOf(before);
        const int to = expected.indexOf("</bytecnt>\n", from) + int(qstrlen("</bytecnt>\n"));
        QVERIFY(from > 0 && to > from);
        expected.remove(from, to - from);
    } else if (!before.isEmpty()) {
        QCOMPARE(expected.count(before), 1);
        expected.replace(before, after);
    }
    QCOMPARE(QString::fromUtf8(contents(dir.filePath(file))), QString::fromUtf8(expected));
    for (const QString &other : kKeepFiles) {
        if (other != file)
            QCOMPARE(contents(dir.filePath(other)), original.value(other));
    }
}

// What the panel adds goes where the file format puts it, after the last thing of its sort; the
// rest of the file keeps its bytes.
void TestFileStability::newThingsFollowTheirKind()
{
    QTemporaryDir dir;
    QVERIFY(FixtureFolder::copyFolder(keepFolder(), dir.path()));
    const QByteArray original = contents(dir.filePath(QStringLiteral("light_config.xml")));
    RoomsV1 rooms;
    QVERIFY(rooms.load(dir.path(), kKeepFiles));
    BaseRoomV1 *hall = pageNamed(rooms, QStringLiteral("r1"));
    QVERIFY(hall->createLight(QStringLiteral("added"), QStringLiteral("Added"), QPointF(1, 2)));
    hall->addScene(QStringLiteral("Scene 3"));
    hall->setModified(true);
    QVERIFY(rooms.saveProject(dir.path()));
    QList<QByteArray> lines = contents(dir.filePath(QStringLiteral("light_config.xml"))).split('\n');
    int scene = -1;
    int lamp = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).contains("textB=\"Scene 3\""))
            scene = i;
        if (lines.at(i).contains("name=\"added\""))
            lamp = i;
    }
    QVERIFY(scene > 0 && lamp > scene);
    QVERIFY2(lines.at(scene - 1).contains("name=\"s2\""), lines.at(scene - 1).constData());
    QVERIFY2(lines.at(lamp - 1).contains("name=\"sw\""), lines.at(lamp - 1).constData());
    QVERIFY(lines.at(lamp).startsWith("   <lamp "));
    lines.removeAt(lamp);
    lines.removeAt(scene);
    QCOMPARE(lines.join('\n'), original);
}

QTEST_MAIN(TestFileStability)
#include "tst_filestability.moc"
