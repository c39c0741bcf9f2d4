// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "controllertext.h"
#include "eappsettings.h"
#include "ecommandline.h"
#include "ecoreapp.h"
#include "elocale.h"
#include "iprojectmodel.h"
#include "packagewriter.h"
#include "picturebomb.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    return f.write(data) == data.size();
}

// A built-in demo as the program ships it: three packages, the settings, one background.
bool writeDemoSource(const QString &folder, const QByteArray &settings)
{
    PackageWriter configs(2);
    configs.addEntry("main_config.xml", "<subsystems/>");
    PackageWriter images(1);
    images.addEntry("demo-plan.png", "not really a png");
    const QDir dir(folder);
    return configs.write(dir.filePath("configs.package")) &&
           images.write(dir.filePath("images.package")) &&
           PackageWriter(3).write(dir.filePath("sounds.package")) &&
           QDir().mkpath(dir.filePath("fone")) &&
           writeFile(dir.filePath("fone/dusk.png"), "background") &&
           writeFile(dir.filePath("config.xml"), settings);
}

int modeOf(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

// Sets the process's umask for the life of the object.
struct UmaskScope
{
    explicit UmaskScope(int mask) : previous(::umask(mode_t(mask))) {}
    ~UmaskScope() { ::umask(previous); }
    mode_t previous;
};

// Sets or clears an environment variable for the life of the object.
struct EnvScope
{
    EnvScope(const char *name, const QByteArray &value) : name(name)
    {
        had = qEnvironmentVariableIsSet(name);
        previous = qgetenv(name);
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~EnvScope()
    {
        if (had)
            qputenv(name, previous);
        else
            qunsetenv(name);
    }
    const char *name;
    bool had = false;
    QByteArray previous;
};

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class FakeModel : public QObject, public IProjectModel
{
public:
    QString loadedFolder;
    QStringList loadedFiles;
    QList<LoadProblem> problemsToReport;
    static int saves; // counted across instances: ECoreApp deletes the model at exit
    quint64 edits = 0;
    bool failSaves = false;
    bool loadProject(const QString &folder, const QStringList &files, LoadReport *report) override
    {
        loadedFolder = folder;
        loadedFiles = files;
        for (const LoadProblem &p : qAsConst(problemsToReport))
            report->add(p);
        return true;
    }
    bool saveProject(const QString &) override
    {
        ++saves;
        return !failSaves;
    }
    quint64 modificationCount() const override { return edits; }
};

int FakeModel::saves = 0;

class FakePlayer : public QObject
{
    Q_OBJECT
public:
    QStringList played;
    Q_INVOKABLE void play(const QString &path) { played.append(path); }
};

} // namespace

class tst_ECoreApp : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QString m_app; // Documents/verandix

    ECoreApp *fresh()
    {
        ECoreApp::destroyInstance();
        return ECoreApp::instance();
    }

private slots:
    void initTestCase()
    {
        // The application folder comes from the user's Documents folder: point it at a temporary
        // one.
        qputenv("HOME", m_home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (m_home.path() + "/.config").toUtf8());
        m_app = m_home.path() + "/Documents/verandix";
    }

    void cleanup()
    {
        ECoreApp::destroyInstance();
        QDir(m_home.path() + "/Documents").removeRecursively();
    }

    void startModeDecision_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("mode");
        QTest::newRow("nothing: demo") << QStringList{} << int(StartMode::Demo);
        QTest::newRow("config.xml: standard")
            << QStringList{"config.xml"} << int(StartMode::Standard);
        QTest::newRow("multi.xml: multi") << QStringList{"multi.xml"} << int(StartMode::Multi);
        QTest::newRow("both: multi")
            << QStringList{"multi.xml", "config.xml"} << int(StartMode::Multi);
        QTest::newRow("other case is not the settings file")
            << QStringList{"Config.XML"} << int(StartMode::Demo);
    }
    void startModeDecision()
    {
        QFETCH(QStringList, files);
        QFETCH(int, mode);
        QVERIFY(QDir().mkpath(m_app));
        for (const QString &f : files)
            QVERIFY(writeFile(m_app + "/" + f, "<config/>"));
        ECoreApp *app = fresh();
        QCOMPARE(int(app->startMode()), mode);
        QCOMPARE(app->applicationFolder(), QDir(m_app).absolutePath());
        if (mode == int(StartMode::Standard))
            QCOMPARE(app->settingsFilePath(), QDir(m_app).absoluteFilePath("config.xml"));
        if (mode == int(StartMode::Demo))
            QCOMPARE(app->settingsFilePath(), QStringLiteral(":/resources/demo/config.xml"));
    }

    void withoutDocumentsFolderTheExecutableFolderIsUsed()
    {
        ECoreApp *app = fresh();
        QCOMPARE(app->applicationFolder(), QCoreApplication::applicationDirPath());
    }

    void multiConfigurationList()
    {
        QVERIFY(QDir().mkpath(m_app));
        QVERIFY(writeFile(m_app + "/multi.xml", R"(<config image="back.png" posX="1.5" width="800">
 <object folder="house" textB="House" posX="10" posY="20.5" image="h.png"/>
 <note text="ignored"/>
 <object folder="" textB="Empty"/>
 <object folder="flat" textB="Flat"/>
</config>)"));
        QVERIFY(QDir().mkpath(m_app + "/flat"));
        QVERIFY(writeFile(m_app + "/flat/config.xml", "<config><ipport value=\"1502\"/></config>"));
        ECoreApp *app = fresh();
        const MultiConfiguration &multi = app->multiConfigurations();
        QCOMPARE(multi.image, QStringLiteral("back.png"));
        QCOMPARE(multi.posX, 1.5);
        QCOMPARE(multi.width, 800);
        QCOMPARE(multi.height, 0);
        QCOMPARE(multi.entries.size(), 3);
        QCOMPARE(multi.entries.at(0)->name, QStringLiteral("MultySettingsObject0"));
        QCOMPARE(multi.entries.at(2)->name, QStringLiteral("MultySettingsObject2"));
        QCOMPARE(multi.entries.at(0)->posY, 20.5);
        QCOMPARE(multi.entries.at(2)->caption, QStringLiteral("Flat"));

        QSignalSpy start(app, &ECoreApp::resourcesStartLoading);
        app->loadMultiConfiguration("MultySettingsObject1"); // empty folder: nothing happens
        app->loadMultiConfiguration("nobody");
        QCOMPARE(start.count(), 0);
        app->loadMultiConfiguration("MultySettingsObject2");
        QCOMPARE(start.count(), 1);
        QCOMPARE(app->settings().value(EAppSettings::IpPort).toInt(), 1502);
        QCOMPARE(app->workingFolder(), m_app + "/flat");
    }

    void brokenMultiFileLeavesAnEmptyList_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("malformed") << QByteArray("<config><object folder=\"a\">");
        QTest::newRow("wrong root") << QByteArray("<multi><object folder=\"a\"/></multi>");
    }
    void brokenMultiFileLeavesAnEmptyList()
    {
        QFETCH(QByteArray, content);
        QVERIFY(QDir().mkpath(m_app));
        QVERIFY(writeFile(m_app + "/multi.xml", content));
        ECoreApp *app = fresh();
        QCOMPARE(app->startMode(), StartMode::Multi);
        QVERIFY(app->multiConfigurations().entries.isEmpty());
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("modbus");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<int>("action");
        const int run = int(ECommandLine::Action::Run);
        QTest::newRow("none") << QStringList{} << int(StartMode::Demo) << false << QString() << run;
        QTest::newRow("-modbus alone")
            << QStringList{"-modbus"} << int(StartMode::Demo) << true << QString() << run;
        QTest::newRow("-config last")
            << QStringList{"-config"} << int(StartMode::Standard) << false << QString() << run;
        QTest::newRow("-config value is not an option")
            << QStringList{"-config", "-modbus"} << int(StartMode::Standard) << false << QString()
            << run;
        QTest::newRow("unknown option") << QStringList{"-fullscreen"} << int(StartMode::Demo)
                                        << false << "Unrecognized option -fullscreen" << run;
        QTest::newRow("help") << QStringList{"--help"} << int(StartMode::Demo) << false << QString()
                              << int(ECommandLine::Action::ShowHelp);
        QTest::newRow("version") << QStringList{"--version"} << int(StartMode::Demo) << false
                                 << QString() << int(ECommandLine::Action::ShowVersion);
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, mode);
        QFETCH(bool, modbus);
        QFETCH(QString, warning);
        QFETCH(int, action);
        ECoreApp *app = fresh();
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
        QCOMPARE(int(ECommandLine::apply(QStringList{"verandix"} + args, app)), action);
        QCOMPARE(int(app->startMode()), mode);
        QCOMPARE(app->modbusDebug(), modbus);
        if (args == QStringList{"-config"})
            QVERIFY(app->settingsFilePath().isEmpty());
        QVERIFY(ECommandLine::helpText("/usr/bin/verandix").startsWith("Usage: verandix"));
        QVERIFY(ECommandLine::helpText("verandix").contains("--tour DIR"));
        QVERIFY(ECommandLine::helpText("verandix").contains("--demo"));
        QVERIFY(ECommandLine::helpText("verandix").contains("--bridge"));
    }

    void configOptionNamesFolderOrFile_data()
    {
        QTest::addColumn<bool>("asFile");
        QTest::newRow("folder") << false;
        QTest::newRow("config.xml inside it") << true;
    }
    void configOptionNamesFolderOrFile()
    {
        QFETCH(bool, asFile);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("config.xml"), "<config><timeout value=\"900\"/></config>"));
        ECoreApp *app = fresh();
        ECommandLine::apply(
            {"verandix", "-config", asFile ? dir.filePath("config.xml") : dir.path()}, app);
        app->loadStandardConfiguration();
        QCOMPARE(app->configurationFolder(), dir.path());
        QCOMPARE(app->settings().value(EAppSettings::Timeout).toInt(), 900);
    }

    // A -config folder that does not exist is named in the problem, not swapped for the
    // program's folder.
    void missingConfigFolderIsNamed_data()
    {
        QTest::addColumn<QString>("asked");
        QTest::newRow("folder") << QStringLiteral("no-such-folder");
        QTest::newRow("config.xml in it") << QStringLiteral("no-such-folder/config.xml");
    }
    void missingConfigFolderIsNamed()
    {
        QFETCH(QString, asked);
        QTemporaryDir dir;
        const QString path = dir.filePath(asked);
        const QString folder = dir.filePath(QStringLiteral("no-such-folder"));
        ECoreApp *app = fresh();
        ECommandLine::apply({"verandix", "-config", path}, app);
        QCOMPARE(int(app->startMode()), int(StartMode::Standard));
        app->loadStandardConfiguration();
        QCOMPARE(app->configurationFolder(), folder);
        QVERIFY(!app->settings().isLoaded());
        QVERIFY(!app->lastLoadReport().isEmpty());
        const QString text = app->lastLoadReport().toStringList().join(QLatin1Char('\n'));
        QVERIFY2(text.contains(QDir::toNativeSeparators(folder)), qPrintable(text));
        QVERIFY2(!text.contains(QCoreApplication::applicationDirPath()), qPrintable(text));
    }

    // Everything exchanged with the controller is in the encoding config.xml names.
    void controllerCodecFromTheSettings_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("codec");
        QTest::addColumn<bool>("reported");
        QTest::newRow("default") << QByteArray() << QByteArray("windows-1251") << false;
        QTest::newRow("KOI8-R") << QByteArray("<controller_codec value=\"KOI8-R\"/>")
                                << QByteArray("KOI8-R") << false;
        QTest::newRow("unknown") << QByteArray("<controller_codec value=\"no-such\"/>")
                                 << QByteArray("windows-1251") << true;
    }
    void controllerCodecFromTheSettings()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, codec);
        QFETCH(bool, reported);
        QTemporaryDir dir;
        QVERIFY(
            writeFile(dir.filePath("config.xml"), "<config version=\"2\">" + line + "</config>"));
        ECoreApp *app = fresh();
        app->setSettingsFilePath(dir.path());
        app->loadConfiguration(dir.path());
        QCOMPARE(ControllerText::codecName().toLower(), codec.toLower());
        const QString problems = app->lastLoadReport().toStringList().join(QLatin1Char('\n'));
        QCOMPARE(problems.contains(QStringLiteral("controller_codec")), reported);
        ControllerText::setCodecName(QByteArray());
    }

    void loadConfigurationSequence()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("config.xml"),
                          R"(<config version="2"><language value="ru_RU"/>
<sound fileName="a.wav" value="4"/><sound fileName="b.wav" value="4"/></config>)"));
        for (const char *name :
             {"b_second.xml", "A_first.xml", "Config.xml", "heat_config.xml", "notes.txt"})
            QVERIFY(writeFile(dir.filePath(name), "<subsystems/>"));
        QVERIFY(QDir().mkpath(dir.filePath("folder.xml")));
        QVERIFY(QFile::link(dir.filePath("A_first.xml"), dir.filePath("link.xml")));

        ECoreApp *app = fresh();
        auto *model = new FakeModel;
        app->setProjectModel(model, model);
        auto *player = new FakePlayer;
        app->setAudioPlayer(player);
        app->setSettingsFilePath(dir.path());

        QStringList order;
        connect(app, &ECoreApp::resourcesStartLoading, this, [&] { order << "start"; });
        connect(app, &ECoreApp::mainConfigLoaded, this, [&] { order << "main"; });
        connect(app, &ECoreApp::resourcesStopLoading, this, [&] { order << "stop"; });
        app->loadConfiguration(dir.path());

        QCOMPARE(order, (QStringList{"start", "main", "stop"}));
        QCOMPARE(app->workingFolder(), dir.path());
        QCOMPARE(app->projectFiles(),
                 (QStringList{"A_first.xml", "b_second.xml", "Config.xml", "heat_config.xml"}));
        QCOMPARE(model->loadedFolder, dir.path());
        QCOMPARE(model->loadedFiles, app->projectFiles());
        QCOMPARE(app->locale()->currentLanguage(), QStringLiteral("ru_RU"));

        QCOMPARE(app->soundFilePath(4), dir.path() + "/b.wav"); // the later element wins
        QVERIFY(app->soundFilePath(5).isEmpty());
        app->playSound(4);
        app->playSound(5);
        QCOMPARE(player->played, QStringList{dir.path() + "/b.wav"});

        // Outside the demo the settings and the project are written back at exit.
        app->settings().setValue(EAppSettings::Timeout, 321);
        FakeModel::saves = 0;
        ECoreApp::destroyInstance();
        QCOMPARE(FakeModel::saves, 1);
        QVERIFY(readFile(dir.filePath("config.xml")).contains("321"));
    }

    // Edits and settings are written a moment after they are made, a burst of them once, and
    // nothing is written when nothing changed.
    void autoSave_data()
    {
        QTest::addColumn<int>("projectEdits");
        QTest::addColumn<int>("timeout"); // the "timeout" setting set to this; 0 = untouched
        QTest::addColumn<int>("projectWrites");
        QTest::addColumn<bool>("settingsWritten");
        QTest::newRow("nothing changed") << 0 << 0 << 0 << false;
        QTest::newRow("one edit") << 1 << 0 << 1 << false;
        QTest::newRow("a burst of edits is one write") << 12 << 0 << 1 << false;
        QTest::newRow("a setting alone") << 0 << 321 << 0 << true;
        QTest::newRow("a setting set to what it was") << 0 << 900 << 0 << false;
        QTest::newRow("an edit and a setting") << 1 << 321 << 1 << true;
    }
    void autoSave()
    {
        QFETCH(int, projectEdits);
        QFETCH(int, timeout);
        QFETCH(int, projectWrites);
        QFETCH(bool, settingsWritten);
        QTemporaryDir dir;
        const QByteArray settingsText = "<config><timeout value=\"900\"/></config>";
        QVERIFY(writeFile(dir.filePath("config.xml"), settingsText));
        ECoreApp *app = fresh();
        auto *model = new FakeModel;
        app->setProjectModel(model, model);
        app->setSettingsFilePath(dir.path());
        app->loadConfiguration(dir.path());
        FakeModel::saves = 0;
        app->setAutoSave(20, 400);

        // Edits 10 ms apart never let the autosave settle: it waits for their end.
        for (int i = 0; i < projectEdits; ++i) {
            ++model->edits;
            QTest::qWait(10);
        }
        if (timeout)
            app->settings().setValue(EAppSettings::Timeout, timeout);
        if (projectWrites)
            QTRY_COMPARE(FakeModel::saves, projectWrites);
        if (settingsWritten)
            QTRY_VERIFY(readFile(dir.filePath("config.xml")).contains(QByteArray::number(timeout)));
        // And nothing more once it is written.
        QTest::qWait(150);
        QCOMPARE(FakeModel::saves, projectWrites);
        if (!settingsWritten)
            QCOMPARE(readFile(dir.filePath("config.xml")), settingsText);
        app->setAutoSave(0);
    }

    // A write that fails is tried again later, not given up and not hammered.
    void autoSaveTriesAgainAfterAFailure()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("config.xml"), "<config/>"));
        ECoreApp *app = fresh();
        auto *model = new FakeModel;
        app->setProjectModel(model, model);
        app->setSettingsFilePath(dir.path());
        app->loadConfiguration(dir.path());
        FakeModel::saves = 0;
        model->failSaves = true;
        app->setAutoSave(20, 100, 300);
        ++model->edits;
        QTRY_COMPARE(FakeModel::saves, 1);
        QTest::qWait(150);
        QCOMPARE(FakeModel::saves, 1);
        model->failSaves = false;
        QTRY_COMPARE(FakeModel::saves, 2);
        QTest::qWait(400);
        QCOMPARE(FakeModel::saves, 2);
        app->setAutoSave(0);
    }

    // "--demo" takes the built-in demo home even where a configuration would open.
    void chooseDemoOverridesTheFolders()
    {
        QVERIFY(QDir().mkpath(m_app));
        QVERIFY(writeFile(m_app + "/config.xml", "<config/>"));
        ECoreApp *app = fresh();
        QCOMPARE(int(app->startMode()), int(StartMode::Standard));
        app->chooseDemo();
        QCOMPARE(int(app->startMode()), int(StartMode::Demo));
        QVERIFY(!app->settingsFilePath().startsWith(m_app));
    }

    // The demo is a throw-away copy: nothing of it is written, now or at exit.
    void autoSaveWritesNothingOfTheDemo()
    {
        ECoreApp *app = fresh();
        QCOMPARE(int(app->startMode()), int(StartMode::Demo));
        auto *model = new FakeModel;
        app->setProjectModel(model, model);
        FakeModel::saves = 0;
        app->setAutoSave(20, 100);
        ++model->edits;
        QTest::qWait(200);
        QVERIFY(app->saveChanges());
        QCOMPARE(FakeModel::saves, 0);
    }

    void folderWithoutSettingsStopsEarly()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("light_config.xml"), "<subsystems/>"));
        ECoreApp *app = fresh();
        auto *model = new FakeModel;
        app->setProjectModel(model, model);
        QSignalSpy start(app, &ECoreApp::resourcesStartLoading);
        QSignalSpy main(app, &ECoreApp::mainConfigLoaded);
        QSignalSpy stop(app, &ECoreApp::resourcesStopLoading);
        app->loadConfiguration(dir.path());
        QCOMPARE(start.count(), 1);
        QCOMPARE(main.count(), 0);
        QCOMPARE(stop.count(), 0);
        QVERIFY(model->loadedFolder.isEmpty());
        QVERIFY(app->settingsFilePath().isEmpty());
    }

    // The demo home runs from its own copy in the user's data folder: made on the first start,
    // kept with its edits on the next, made afresh by a reset; the built-in demo is never written.
    void demoRunsFromItsOwnKeptCopy()
    {
        QTemporaryDir dir;
        const QByteArray settings = "<config><timeout value=\"700\"/></config>";
        QVERIFY(writeDemoSource(dir.path(), settings));

        const QString copy = ECoreApp::demoCopyFolder();
        QVERIFY(copy.startsWith(m_home.path()));
        QDir(copy).removeRecursively();
        const auto start = [this, &dir] {
            ECoreApp *app = fresh();
            auto *model = new FakeModel;
            app->setProjectModel(model, model);
            app->loadConfiguration(dir.path());
            return app;
        };

        ECoreApp *app = start();
        QCOMPARE(app->startMode(), StartMode::Demo);
        QCOMPARE(app->workingFolder(), copy);
        QVERIFY(QFile::exists(copy + "/main_config.xml"));
        QCOMPARE(app->settingsFilePath(), QFileInfo(copy + "/config.xml").absoluteFilePath());
        QCOMPARE(readFile(app->backgroundImagePath("dusk.png")), QByteArray("background"));
        QCOMPARE(app->settings().value(EAppSettings::Timeout).toInt(), 700);
        app->settings().setValue(EAppSettings::Timeout, 100);
        FakeModel::saves = 0;
        ECoreApp::destroyInstance();
        QCOMPARE(FakeModel::saves, 1);
        QCOMPARE(readFile(dir.filePath("config.xml")), settings);

        // Kept across runs, edits included.
        app = start();
        QCOMPARE(app->workingFolder(), copy);
        QCOMPARE(app->settings().value(EAppSettings::Timeout).toInt(), 100);
        // A reset copies the built-in demo again at the next start; until then the copy stays as
        // it is, and what the running session still holds is not written into it.
        app->settings().setValue(EAppSettings::Timeout, 300);
        QVERIFY(app->resetDemoCopy());
        QVERIFY(ECoreApp::isDemoResetPending());
        QVERIFY(QFile::exists(copy + "/main_config.xml"));
        ECoreApp::destroyInstance();
        QVERIFY(readFile(copy + "/config.xml") != settings);
        app = start();
        QVERIFY(!ECoreApp::isDemoResetPending());
        QCOMPARE(readFile(copy + "/config.xml"), settings);
        QCOMPARE(app->settings().value(EAppSettings::Timeout).toInt(), 700);
        ECoreApp::destroyInstance();
        QCOMPARE(readFile(dir.filePath("config.xml")), settings);
        QDir(copy).removeRecursively();
    }

    // The demo's copy is made from read-only resources; its files are as private as the user
    // keeps new files.
    void demoCopyFollowsTheUmask_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("mode");
        QTest::newRow("private user") << 077 << 0600;
        QTest::newRow("usual") << 022 << 0644;
        QTest::newRow("shared with the group") << 002 << 0664;
    }
    void demoCopyFollowsTheUmask()
    {
        QFETCH(int, mask);
        QFETCH(int, mode);
        QTemporaryDir dir;
        QVERIFY(writeDemoSource(dir.path(), "<config/>"));
        const QString copy = ECoreApp::demoCopyFolder();
        QDir(copy).removeRecursively();
        {
            UmaskScope umask(mask);
            ECoreApp *app = fresh();
            auto *model = new FakeModel;
            app->setProjectModel(model, model);
            app->loadConfiguration(dir.path());
            QCOMPARE(app->workingFolder(), copy);
        }
        for (const char *name : {"config.xml", "main_config.xml", "demo-plan.png", "fone/dusk.png"})
            QCOMPARE(QString::number(modeOf(copy + "/" + name), 8), QString::number(mode, 8));
        ECoreApp::destroyInstance();
        QDir(copy).removeRecursively();
    }

    // When no copy can be kept, the demo is unpacked into a folder of this run that no one else
    // can enter; links another user planted under the temporary folder are never written
    // through.
    void demoFallbackFolderIsPrivate_data()
    {
        QTest::addColumn<QString>("planted");  // "folder", "file" or nothing
        QTest::addColumn<QString>("runtime");  // XDG_RUNTIME_DIR: "private", "shared" or unset
        QTest::newRow("link in place of the folder") << "folder" << QString();
        QTest::newRow("link in place of a file") << "file" << QString();
        QTest::newRow("shared runtime folder is not used") << "file" << "shared";
        QTest::newRow("private runtime folder is used") << "folder" << "private";
    }
    void demoFallbackFolderIsPrivate()
    {
        QFETCH(QString, planted);
        QFETCH(QString, runtime);
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("demo")));
        QVERIFY(writeDemoSource(dir.filePath("demo"), "<config/>"));
        // No copy can be kept: a file stands where its folder would go.
        const QString copy = ECoreApp::demoCopyFolder();
        QDir(copy).removeRecursively();
        QVERIFY(QDir().mkpath(QFileInfo(copy).absolutePath()));
        QVERIFY(writeFile(copy, "in the way"));

        QVERIFY(QDir().mkpath(dir.filePath("tmp")) && QDir().mkpath(dir.filePath("victim")));
        const EnvScope tmp("TMPDIR", QFile::encodeName(dir.filePath("tmp")));
        const QString fixed = dir.filePath("tmp/verandix");
        const QString victimFile = dir.filePath("victim/precious.xml");
        QVERIFY(writeFile(victimFile, "precious"));
        if (planted == "folder") {
            QVERIFY(QFile::link(dir.filePath("victim"), fixed));
        } else {
            QVERIFY(QDir().mkpath(fixed));
            QVERIFY(QFile::link(victimFile, fixed + "/main_config.xml"));
        }
        const QString runtimeFolder = dir.filePath("runtime");
        QVERIFY(QDir().mkpath(runtimeFolder));
        QVERIFY(::chmod(QFile::encodeName(runtimeFolder).constData(),
                        runtime == "shared" ? 0777 : 0700) == 0);
        const EnvScope xdg("XDG_RUNTIME_DIR",
                           runtime.isEmpty() ? QByteArray() : QFile::encodeName(runtimeFolder));

        ECoreApp *app = fresh();
        auto *model = new FakeModel;
        app->setProjectModel(model, model);
        app->loadConfiguration(dir.filePath("demo"));
        const QString working = app->workingFolder();
        QVERIFY2(QFileInfo(working).isDir() && !QFileInfo(working).isSymLink(), qPrintable(working));
        QCOMPARE(modeOf(working), 0700);
        QCOMPARE(QFileInfo(working).ownerId(), uint(::geteuid()));
        QCOMPARE(QFileInfo(working).absolutePath(),
                 QFileInfo(runtime == "private" ? runtimeFolder : dir.filePath("tmp"))
                     .absoluteFilePath());
        QCOMPARE(readFile(working + "/main_config.xml"), QByteArray("<subsystems/>"));
        QCOMPARE(model->loadedFolder, working);
        // Nothing went through the links.
        QCOMPARE(readFile(victimFile), QByteArray("precious"));
        QCOMPARE(QDir(dir.filePath("victim")).entryList(QDir::Files),
                 QStringList{"precious.xml"});
        // A throw-away copy: gone with the program.
        ECoreApp::destroyInstance();
        QVERIFY(!QFileInfo::exists(working));
        QFile::remove(copy);
    }

    void loadProblemsAreReported_data()
    {
        QTest::addColumn<bool>("demo");
        QTest::addColumn<QByteArray>("settings"); // null: no config.xml at all
        QTest::addColumn<bool>("modelProblem");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("fragment");
        QTest::addColumn<bool>("loadGoesOn");

        const QByteArray fine = "<config version=\"2\"><timeout value=\"700\"/></config>";
        // clang-format off
        QTest::newRow("malformed settings, with the line")
            << false << QByteArray("<config version=\"2\">\n <timeout value=\"700\">\n</config>\n")
            << false << "config.xml" << 3 << "defaults used" << true;
        QTest::newRow("settings with a foreign root")
            << false << QByteArray("<?xml version=\"1.0\"?>\n<settings/>\n")
            << false << "config.xml" << 2 << "<settings>, not <config>" << true;
        QTest::newRow("language without a table")
            << false << QByteArray("<config version=\"2\"><language value=\"xx_XX\"/></config>")
            << false << "config.xml" << 0 << "\"xx_XX\"" << true;
        QTest::newRow("project model problem travels up")
            << false << fine << true << "ohrana.xml" << 7 << "unknown element" << true;
        QTest::newRow("no settings file")
            << false << QByteArray() << false << "config.xml" << 0 << "nothing of this" << false;
        QTest::newRow("demo without its packages")
            << true << fine << false << "configs.package" << 0 << "package not found" << true;
        // clang-format on
    }
    void loadProblemsAreReported()
    {
        QFETCH(bool, demo);
        QFETCH(QByteArray, settings);
        QFETCH(bool, modelProblem);
        QFETCH(QString, file);
        QFETCH(int, line);
        QFETCH(QString, fragment);
        QFETCH(bool, loadGoesOn);

        QTemporaryDir dir;
        if (!settings.isNull())
            QVERIFY(writeFile(dir.filePath("config.xml"), settings));
        QVERIFY(writeFile(dir.filePath("main_config.xml"), "<subsystems/>"));
        ECoreApp *app = fresh();
        QCOMPARE(app->startMode(), StartMode::Demo);
        if (!demo)
            app->setSettingsFilePath(dir.path());
        auto *model = new FakeModel;
        if (modelProblem)
            model->problemsToReport.append({"ohrana.xml", 7, "unknown element <gadget> ignored"});
        app->setProjectModel(model, model);
        QSignalSpy found(app, &ECoreApp::loadProblemFound);
        QSignalSpy stop(app, &ECoreApp::resourcesStopLoading);
        app->loadConfiguration(dir.path());

        const QList<LoadProblem> problems = app->lastLoadReport().problems();
        QVERIFY2(problems.size() == 1, qPrintable(app->lastLoadReport().toStringList().join('\n')));
        QCOMPARE(problems.first().file, file);
        QCOMPARE(problems.first().line, qint64(line));
        QVERIFY2(problems.first().message.contains(fragment), qPrintable(problems.first().message));
        // Each problem is announced once, as it is found, with the same content.
        QCOMPARE(found.count(), 1);
        QCOMPARE(found.first().first().value<LoadProblem>(), problems.first());
        // Loading goes on with what could be read.
        QCOMPARE(stop.count(), loadGoesOn ? 1 : 0);
        if (!demo) // the demo's working folder is shared with whatever else runs the demo
            QCOMPARE(model->loadedFiles.contains("main_config.xml"), loadGoesOn);

        // The next load starts with a clean report.
        // (Settings load on top of what is there, so the language is named again.)
        QVERIFY(writeFile(dir.filePath("config.xml"),
                          "<config version=\"2\"><language value=\"en_US\"/></config>"));
        model->problemsToReport.clear();
        if (demo)
            return; // the demo's packages are still missing
        app->loadConfiguration(dir.path());
        QVERIFY(app->lastLoadReport().isEmpty());
        QCOMPARE(found.count(), 1);
    }

    void images()
    {
        QTemporaryDir dir;
        QImage red(4, 3, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(dir.filePath("red.png")));
        QVERIFY(writeFile(dir.filePath("config.xml"), "<config/>"));
        QVERIFY(writeFile(dir.filePath("broken.png"), "garbage"));
        ECoreApp *app = fresh();
        app->setSettingsFilePath(dir.path());
        app->loadConfiguration(dir.path());
        QVERIFY(app->image("").isNull());
        QVERIFY(app->image("none").isNull());
        QCOMPARE(app->image("red.png").size(), QSize(4, 3));
        const QImage missing(":/resources/no_image.png");
        QVERIFY(!missing.isNull());
        QCOMPARE(app->image("absent.png"), missing);
        QCOMPARE(app->image("broken.png"), missing);
        QCOMPARE(app->backgroundImagePath("sky.jpg"), dir.path() + "/fone/sky.jpg");
    }

    // A picture's header can declare far more than its bytes hold; the panel reads the header
    // first and refuses what it cannot afford to decode, naming the file in the load report.
    void oversizedPictures_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("shown"); // empty: the missing-image picture, with a problem
        QTest::newRow("PNG declaring 20000 x 20000")
            << PictureBomb::png(QSize(20000, 20000)) << "lamp_on.png" << QSize();
        QTest::newRow("JPEG declaring 65500 x 65500")
            << PictureBomb::jpeg(QSize(65500, 65500)) << "pics/lamp.jpg" << QSize();
        QTest::newRow("one side over the limit")
            << PictureBomb::png(QSize(8193, 16)) << "wide.png" << QSize();
        QImage large(3000, 1000, QImage::Format_RGB32);
        large.fill(Qt::blue);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        large.save(&buffer, "PNG");
        QTest::newRow("larger than any control: decoded at the drawn limit")
            << bytes << "big.png" << QSize(2048, 682);
    }

    void oversizedPictures()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(QSize, shown);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QFileInfo(dir.filePath(name)).path()));
        QVERIFY(writeFile(dir.filePath(name), bytes));
        QVERIFY(writeFile(dir.filePath("config.xml"), "<config/>"));
        ECoreApp *app = fresh();
        app->setSettingsFilePath(dir.path());
        app->loadConfiguration(dir.path());
        QVERIFY(app->lastLoadReport().isEmpty());
        QSignalSpy found(app, &ECoreApp::loadProblemFound);
        const QImage missing(":/resources/no_image.png");
        const QImage image = app->image(name);
        if (!shown.isEmpty()) {
            QCOMPARE(image.size(), shown);
            QCOMPARE(found.count(), 0);
            return;
        }
        QCOMPARE(image, missing);
        QCOMPARE(found.count(), 1);
        const LoadProblem problem = found.first().first().value<LoadProblem>();
        QCOMPARE(problem.file, name);
        QVERIFY2(problem.message.contains(QLatin1String("8192")), qPrintable(problem.message));
        QCOMPARE(app->lastLoadReport().problems(), QList<LoadProblem>{problem});
        // Asked again (a lamp switched on and off), it is refused again but told once.
        QCOMPARE(app->image(name), missing);
        QCOMPARE(found.count(), 1);
    }

    void fonts()
    {
        ECoreApp *app = fresh();
        QCOMPARE(app->font(3).family(), QStringLiteral("Arial"));
        QCOMPARE(app->font(3).pixelSize(), 24);
        QCOMPARE(app->font(3).weight(), int(QFont::Bold));
        QCOMPARE(app->font(4).pixelSize(), 18);
        QCOMPARE(app->font(6).weight(), int(QFont::Normal));
        QCOMPARE(app->font(7), QFont());
        QCOMPARE(app->font(-1), QFont());
    }

    void pathHelpers()
    {
        QVERIFY(ECoreApp::existingFile(QString(), "config.xml").isEmpty());
        QTemporaryDir dir;
        QVERIFY(ECoreApp::existingFile(dir.path(), "x.xml").isEmpty());
        QVERIFY(writeFile(dir.filePath("x.xml"), "x"));
        QCOMPARE(ECoreApp::existingFile(dir.path(), "x.xml"), dir.filePath("x.xml"));
        const QString temp = ECoreApp::temporaryFolder("verandix-test/deeper");
        QVERIFY(QDir(temp).exists());
        QDir(QDir::tempPath() + "/verandix-test").removeRecursively();
    }
};

QTEST_MAIN(tst_ECoreApp)
#include "tst_ecoreapp.moc"
