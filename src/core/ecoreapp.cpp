// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "ecoreapp.h"

#include "controllertext.h"
#include "corelogging.h"
#include "corenames.h"
#include "eappsettings.h"
#include "efonts.h"
#include "elocale.h"
#include "epackage.h"
#include "iprojectmodel.h"
#include "picturereader.h"
#include "privatefiles.h"
#include "xmldocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QPointer>
#include <QSet>
#include <QStandardPaths>
#include <QTimer>

namespace {
ECoreApp *s_instance = nullptr;

QString joinPath(const QString &folder, const QString &name)
{
    return folder + QDir::separator() + name;
}

// Packages hold plain file names only, so the demo's background pictures travel beside them in a
// "fone" folder and are copied into the working folder where the settings screen looks for them.
void copyBackgrounds(const QString &sourceFolder, const QString &workingFolder)
{
    const QDir source(joinPath(sourceFolder, QLatin1String(CoreNames::kBackgroundFolder)));
    if (!source.exists())
        return;
    const QString target = joinPath(workingFolder, QLatin1String(CoreNames::kBackgroundFolder));
    QDir().mkpath(target);
    for (const QString &name : source.entryList(QDir::Files)) {
        const QString to = joinPath(target, name);
        QFile::remove(to);
        if (QFile::copy(source.filePath(name), to))
            QFile::setPermissions(to, PrivateFiles::umaskedPermissions());
    }
}
// The person's exports are theirs, not the demo's: they stay when the copy is made again.
void clearDemoCopy(const QString &target)
{
    QDir dir(target);
    const QString keep = QLatin1String(CoreNames::kExportFolder);
    for (const QFileInfo &entry :
         dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (entry.fileName() == keep && entry.isDir() && !entry.isSymLink())
            continue;
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.absoluteFilePath()).removeRecursively();
        else
            QFile::remove(entry.absoluteFilePath());
    }
}

// Makes `target` a copy of the demo in `source` (packages unpacked, backgrounds and settings
// copied); false when the folder or its settings cannot be written. A damaged package is
// reported and the copy holds what could be unpacked, as any working folder would. Copies of
// resource files would keep their read-only mode: they get what the user's umask gives a new file.
bool makeDemoCopy(const QString &source, const QString &target, LoadReport *report)
{
    clearDemoCopy(target);
    if (!QDir().mkpath(target))
        return false;
    EPackage::unpackFolder(source, target, report);
    copyBackgrounds(source, target);
    const QString settings = joinPath(target, QLatin1String(CoreNames::kSettingsFile));
    const QString from = joinPath(source, QLatin1String(CoreNames::kSettingsFile));
    if (!QFile::exists(from) || !QFile::copy(from, settings))
        return false;
    QFile::setPermissions(settings, PrivateFiles::umaskedPermissions());
    return true;
}
} // namespace

struct ECoreApp::Private
{
    QString applicationFolder;
    QString configurationFolder;
    QString workingFolder;
    StartMode startMode = StartMode::Demo;
    // The demo was loaded from its writable copy, so its edits may be saved there.
    bool demoCopy = false;
    QString demoSource; // the built-in demo the copy was made from
    // The throw-away demo folder when no copy can be kept: made for this run by mkdtemp, so no
    // other user can have planted links in it (a fixed name in the shared temporary folder
    // could hold any), and removed with the core.
    QString fallbackFolder;
    QString privateFallbackFolder()
    {
        if (fallbackFolder.isEmpty() || !PrivateFiles::isPrivateFolder(fallbackFolder))
            fallbackFolder = PrivateFiles::makeFolder(QLatin1String(CoreNames::kProductFolder));
        return fallbackFolder;
    }
    bool writable() const { return startMode != StartMode::Demo || demoCopy; }
    QString settingsFilePath;
    EFonts *fonts = nullptr;
    ELocale *locale = nullptr;
    EAppSettings settings;
    MultiConfiguration multi;
    QStringList projectFiles;
    bool modbusDebug = false;
    // The folder named with "-config", if any: used instead of the default standard folder.
    QString commandLineFolder;

    // Services of the higher layers, destroyed in reverse order of installation.
    QObject *projectModelObject = nullptr;
    IProjectModel *projectModel = nullptr;
    QObject *audioPlayer = nullptr;
    std::unique_ptr<ISoundService> soundService;
    QObject *controller = nullptr;
    LoadReport lastLoadReport;
    // Pictures already reported as refused in this configuration: a lamp switched on and off
    // asks for its picture again each time, and the report names it once.
    QSet<QString> refusedPictures;

    // Writing changes as they are made. A change is known by the counters of the project model
    // and the settings; "saved" is what they were when last written (or loaded).
    struct Counters
    {
        quint64 project = 0;
        quint64 settings = 0;
        bool operator==(const Counters &o) const
        {
            return project == o.project && settings == o.settings;
        }
        bool operator!=(const Counters &o) const { return !(*this == o); }
    };
    QTimer *autoSaveTimer = nullptr;
    int settleMs = 0;
    int maxDelayMs = 0;
    int retryMs = 0;
    bool loading = false;
    QElapsedTimer failedAt;
    Counters saved;
    Counters lastSeen;
    QElapsedTimer firstUnsaved;

    Counters counters() const
    {
        return {projectModel ? projectModel->modificationCount() : 0, settings.revision()};
    }
    void readMulti(const QString &path);
};

void ECoreApp::Private::readMulti(const QString &path)
{
    XmlDocument doc;
    if (!doc.load(path))
        return;
    const XML::NodeElementPtr root = doc.root();
    if (!root || root->tagName() != QLatin1String("config"))
        return;
    multi.image = root->attribute(QStringLiteral("image")).toString();
    multi.posX = root->attribute(QStringLiteral("posX")).toDouble();
    multi.posY = root->attribute(QStringLiteral("posY")).toDouble();
    multi.width = root->attribute(QStringLiteral("width")).toInt();
    multi.height = root->attribute(QStringLiteral("height")).toInt();
    int index = 0;
    for (const XML::NodeElementPtr &e : root->children()) {
        if (e->tagName() != QLatin1String("object"))
            continue;
        auto entry = QSharedPointer<MultiConfigurationEntry>::create();
        entry->caption = e->attribute(QStringLiteral("textB")).toString();
        entry->folder = e->attribute(QStringLiteral("folder")).toString();
        entry->posX = e->attribute(QStringLiteral("posX")).toDouble();
        entry->posY = e->attribute(QStringLiteral("posY")).toDouble();
        entry->image = e->attribute(QStringLiteral("image")).toString();
        entry->name = QStringLiteral("MultySettingsObject") + QString::number(index++);
        multi.entries.append(entry);
    }
}

ECoreApp *ECoreApp::instance()
{
    if (!s_instance)
        s_instance = new ECoreApp;
    return s_instance;
}

void ECoreApp::destroyInstance()
{
    delete s_instance;
    s_instance = nullptr;
}

ECoreApp::ECoreApp() : d(new Private)
{
    qRegisterMetaType<LoadProblem>();
    qRegisterMetaType<LoadReport>();
    d->applicationFolder = documentsOrApplicationFolder(QLatin1String(CoreNames::kProductFolder));
    d->configurationFolder = d->applicationFolder;
    d->fonts = new EFonts(this);
    d->locale = new ELocale(this);

    const QString multiPath =
        existingFile(d->applicationFolder, QLatin1String(CoreNames::kMultiFile));
    const QString configPath =
        existingFile(d->applicationFolder, QLatin1String(CoreNames::kSettingsFile));
    if (!multiPath.isEmpty()) {
        d->startMode = StartMode::Multi;
        d->readMulti(multiPath);
    } else if (!configPath.isEmpty()) {
        d->settingsFilePath = configPath;
        d->startMode = StartMode::Standard;
    } else {
        d->settingsFilePath = joinPath(QLatin1String(CoreNames::kDemoFolder),
                                       QLatin1String(CoreNames::kSettingsFile));
        d->startMode = StartMode::Demo;
    }
}

ECoreApp::~ECoreApp()
{
    delete d->autoSaveTimer;
    if (d->writable()) {
        if (!d->settingsFilePath.isEmpty())
            d->settings.save(d->settingsFilePath);
        if (d->projectModel && !d->workingFolder.isEmpty())
            d->projectModel->saveProject(d->workingFolder);
    }
    delete d->controller;
    d->soundService.reset();
    delete d->audioPlayer;
    delete d->projectModelObject;
    if (!d->fallbackFolder.isEmpty())
        QDir(d->fallbackFolder).removeRecursively();
    if (s_instance == this)
        s_instance = nullptr;
}

void ECoreApp::chooseDemo()
{
    d->demoCopy = false;
    d->settingsFilePath =
        joinPath(QLatin1String(CoreNames::kDemoFolder), QLatin1String(CoreNames::kSettingsFile));
    d->startMode = StartMode::Demo;
    d->commandLineFolder.clear();
}

StartMode ECoreApp::startMode() const
{
    return d->startMode;
}

void ECoreApp::setSettingsFilePath(const QString &path)
{
    d->settingsFilePath = path;
    d->startMode = StartMode::Standard;
    // A folder is the configuration folder; a file names its config.xml, whose folder is meant.
    const QFileInfo info(path);
    if (path.isEmpty())
        d->commandLineFolder.clear();
    else if (info.isDir())
        d->commandLineFolder = info.absoluteFilePath();
    else if (info.exists() || info.fileName() == QLatin1String(CoreNames::kSettingsFile))
        d->commandLineFolder = info.absolutePath();
    else
        // A folder that is not there is still the one asked for: the load then says that it
        // found nothing there, instead of quietly loading the program's own folder.
        d->commandLineFolder = info.absoluteFilePath();
}

void ECoreApp::loadStandardConfiguration()
{
    if (d->startMode != StartMode::Standard)
        return;
    if (!d->commandLineFolder.isEmpty())
        loadConfiguration(d->commandLineFolder);
    else
        loadConfiguration(documentsOrApplicationFolder(QLatin1String(CoreNames::kProductFolder)));
}

void ECoreApp::loadDemoConfiguration()
{
    // Offered by the splash, which a standard or multi start also shows when its configuration
    // could not be loaded; once a configuration is in use the demo is not loaded over it.
    if (d->startMode != StartMode::Demo) {
        if (d->settings.isLoaded())
            return;
        d->startMode = StartMode::Demo;
    }
    loadConfiguration(QLatin1String(CoreNames::kDemoFolder));
}

void ECoreApp::loadMultiConfiguration(const QString &entryName)
{
    if (d->startMode != StartMode::Multi)
        return;
    for (const auto &entry : qAsConst(d->multi.entries)) {
        if (entry->name != entryName)
            continue;
        if (!entry->folder.isEmpty())
            loadConfiguration(joinPath(d->applicationFolder, entry->folder));
        return;
    }
}

bool ECoreApp::saveChanges()
{
    // Never in the middle of a load: the working folder and the model are being replaced.
    if (!d->writable() || d->loading)
        return true;
    const Private::Counters now = d->counters();
    bool ok = true;
    if (now.settings != d->saved.settings && !d->settingsFilePath.isEmpty())
        ok = d->settings.save(d->settingsFilePath) && ok;
    if (now.project != d->saved.project && d->projectModel && !d->workingFolder.isEmpty())
        ok = d->projectModel->saveProject(d->workingFolder) && ok;
    if (ok)
        d->saved = now;
    d->lastSeen = now;
    d->firstUnsaved.invalidate();
    return ok;
}

void ECoreApp::setAutoSave(int settleMs, int maxDelayMs, int retryMs)
{
    d->settleMs = qMax(0, settleMs);
    d->maxDelayMs = qMax(d->settleMs, maxDelayMs);
    d->retryMs = qMax(d->settleMs, retryMs);
    if (d->settleMs == 0) {
        delete d->autoSaveTimer;
        d->autoSaveTimer = nullptr;
        return;
    }
    if (!d->autoSaveTimer) {
        d->autoSaveTimer = new QTimer;
        QObject::connect(d->autoSaveTimer, &QTimer::timeout, this, [this] {
            if (d->loading || !d->writable())
                return;
            // A full disk or a read-only folder: try again now and then, not on every look.
            if (d->failedAt.isValid() && d->failedAt.elapsed() < d->retryMs)
                return;
            const Private::Counters now = d->counters();
            if (now == d->saved) {
                d->firstUnsaved.invalidate();
                d->lastSeen = now;
                return;
            }
            if (!d->firstUnsaved.isValid())
                d->firstUnsaved.start();
            // Quiet for one look, or waiting too long already: a drag or a typed burst is over,
            // or it goes on so long that what is there must be kept now.
            const bool settled = now == d->lastSeen;
            d->lastSeen = now;
            if (settled || d->firstUnsaved.elapsed() >= d->maxDelayMs) {
                if (saveChanges())
                    d->failedAt.invalidate();
                else
                    d->failedAt.start();
            }
        });
    }
    d->autoSaveTimer->start(d->settleMs);
}

void ECoreApp::loadConfiguration(const QString &folder)
{
    // Whatever the model and settings hold after the load is what the files hold.
    d->loading = true;
    struct LoadEnd
    {
        ECoreApp::Private *d;
        ~LoadEnd()
        {
            d->loading = false;
            d->saved = d->lastSeen = d->counters();
            d->firstUnsaved.invalidate();
        }
    } loadEnd{d.get()};
    d->configurationFolder = folder;
    d->lastLoadReport.clear();
    d->refusedPictures.clear();
    LoadReport &report = d->lastLoadReport;
    emit resourcesStartLoading();

    d->demoCopy = false;
    QString settingsFolder = folder;
    if (d->startMode == StartMode::Demo) {
        d->demoSource = folder;
        d->workingFolder = demoCopyFolder();
        // Made once and then kept: the person's edits of the demo home survive a restart. A
        // damaged package stops the unpacking; the load goes on with what the folder holds.
        const int reported = report.size();
        // "Reset demo" asked for a fresh copy at this start.
        const bool reset =
            !existingFile(d->workingFolder, QLatin1String(CoreNames::kDemoResetMark)).isEmpty();
        if ((!reset &&
             !existingFile(d->workingFolder, QLatin1String(CoreNames::kSettingsFile)).isEmpty()) ||
            makeDemoCopy(folder, d->workingFolder, &report)) {
            d->demoCopy = true;
            settingsFolder = d->workingFolder;
        } else {
            // No writable copy (a read-only home folder): a throw-away one with the built-in
            // settings, and nothing saved. Problems are told once.
            d->workingFolder = d->privateFallbackFolder();
            if (d->workingFolder.isEmpty()) {
                LoadReport::note(&report, lcCore, QLatin1String(CoreNames::kConfigsPackage), 0,
                                 QStringLiteral("no private temporary folder to unpack into"));
            } else {
                EPackage::unpackFolder(folder, d->workingFolder,
                                       report.size() == reported ? &report : nullptr);
                copyBackgrounds(folder, d->workingFolder);
            }
        }
        announceProblems(0);
    } else {
        d->workingFolder = folder;
    }

    d->settingsFilePath = existingFile(settingsFolder, QLatin1String(CoreNames::kSettingsFile));
    if (d->settingsFilePath.isEmpty()) {
        const int before = report.size();
        LoadReport::note(&report, lcCore, QLatin1String(CoreNames::kSettingsFile), 0,
                         QStringLiteral("not found in %1: nothing of this configuration is loaded")
                             .arg(QDir::toNativeSeparators(folder)));
        announceProblems(before);
        return;
    }
    int before = report.size();
    d->settings.load(d->settingsFilePath, &report);
    // Texts in the controller are in one single-byte encoding that the configuration names.
    const QString codecName = d->settings.optionalValue(
        QStringLiteral("controller_codec"), QString::fromLatin1(ControllerText::kDefaultCodec));
    if (!ControllerText::setCodecName(codecName.toLatin1())) {
        LoadReport::note(&report, lcCore, QLatin1String(CoreNames::kSettingsFile), 0,
                         QStringLiteral("unknown controller_codec \"%1\": %2 is used")
                             .arg(codecName, QLatin1String(ControllerText::kDefaultCodec)));
    }
    announceProblems(before);
    emit mainConfigLoaded();

    const QString language = d->settings.value(EAppSettings::Language).toString();
    if (!d->locale->load(language) && !language.isEmpty() && language != QLatin1String("system")) {
        // Only a language the settings name is worth a word; the system's may simply not exist.
        before = report.size();
        LoadReport::note(&report, lcCore, QLatin1String(CoreNames::kSettingsFile), 0,
                         QStringLiteral("no language table \"%1\": texts stay in the previous "
                                        "language")
                             .arg(language));
        announceProblems(before);
    }

    QDir dir(d->workingFolder);
    QStringList files = dir.entryList({QStringLiteral("*.xml")},
                                      QDir::Files | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                                      QDir::Name | QDir::IgnoreCase);
    files.removeAll(QLatin1String(CoreNames::kSettingsFile));
    d->projectFiles = files;

    if (d->projectModel) {
        before = report.size();
        d->projectModel->loadProject(d->workingFolder, d->projectFiles, &report);
        announceProblems(before);
    }
    emit resourcesStopLoading();
}

void ECoreApp::announceProblems(int from)
{
    const QList<LoadProblem> &problems = d->lastLoadReport.problems();
    for (int i = qMax(0, from); i < problems.size(); ++i)
        emit loadProblemFound(problems.at(i));
}

const LoadReport &ECoreApp::lastLoadReport() const
{
    return d->lastLoadReport;
}

EAppSettings &ECoreApp::settings() const
{
    return d->settings;
}

ELocale *ECoreApp::locale() const
{
    return d->locale;
}

EFonts *ECoreApp::fonts() const
{
    return d->fonts;
}

const MultiConfiguration &ECoreApp::multiConfigurations() const
{
    return d->multi;
}

void ECoreApp::setProjectModel(QObject *object, IProjectModel *model)
{
    Q_ASSERT(!d->projectModelObject);
    d->projectModelObject = object;
    d->projectModel = model;
}

void ECoreApp::setAudioPlayer(QObject *player, std::unique_ptr<ISoundService> service)
{
    Q_ASSERT(!d->audioPlayer);
    d->audioPlayer = player;
    d->soundService = std::move(service);
}

void ECoreApp::setController(QObject *controller)
{
    Q_ASSERT(!d->controller);
    d->controller = controller;
}

QObject *ECoreApp::projectModelObject() const
{
    return d->projectModelObject;
}

IProjectModel *ECoreApp::projectModel() const
{
    return d->projectModel;
}

QObject *ECoreApp::audioPlayerObject() const
{
    return d->audioPlayer;
}

ISoundService *ECoreApp::soundService() const
{
    return d->soundService.get();
}

QObject *ECoreApp::controllerObject() const
{
    return d->controller;
}

QString ECoreApp::applicationFolder() const
{
    return d->applicationFolder;
}

QString ECoreApp::configurationFolder() const
{
    return d->configurationFolder;
}

QString ECoreApp::workingFolder() const
{
    return d->workingFolder;
}

QString ECoreApp::settingsFilePath() const
{
    return d->settingsFilePath;
}

QStringList ECoreApp::projectFiles() const
{
    return d->projectFiles;
}

QFont ECoreApp::font(int fontId) const
{
    return d->fonts->font(fontId);
}

QString ECoreApp::imagePath(const QString &name) const
{
    if (name.isEmpty() || name == QLatin1String("none"))
        return QString();
    return joinPath(d->workingFolder, name);
}

QImage ECoreApp::image(const QString &name) const
{
    if (name.isEmpty() || name == QLatin1String("none"))
        return QImage();
    const QString path = imagePath(name);
    PictureReader::Outcome outcome = PictureReader::Outcome::Unreadable;
    QSize declared;
    QImage img = PictureReader::read(path, QSize(), &outcome, &declared);
    if (outcome == PictureReader::Outcome::TooLarge)
        reportRefusedPicture(path, declared);
    if (img.isNull())
        img.load(QLatin1String(CoreNames::kMissingImage));
    return img;
}

void ECoreApp::reportRefusedPicture(const QString &path, const QSize &declared) const
{
    if (d->refusedPictures.contains(path))
        return;
    d->refusedPictures.insert(path);
    const QString file = d->workingFolder.isEmpty()
                             ? path
                             : QDir(d->workingFolder).relativeFilePath(path);
    LoadReport::note(&d->lastLoadReport, lcCore, file, 0,
                     PictureReader::tooLargeMessage(declared));
    // Announcing is no change of the application's state; the signal is its only way out.
    emit const_cast<ECoreApp *>(this)->loadProblemFound(d->lastLoadReport.problems().last());
}

QString ECoreApp::backgroundImagePath(const QString &name) const
{
    return joinPath(d->workingFolder, QLatin1String(CoreNames::kBackgroundFolder) + name);
}

QString ECoreApp::soundFilePath(int number) const
{
    for (const EAppSettings::SoundEntry &s : d->settings.sounds()) {
        if (s.number == number)
            return joinPath(d->workingFolder, s.fileName);
    }
    return QString();
}

void ECoreApp::playSound(int number)
{
    const QString path = soundFilePath(number);
    if (path.isEmpty() || !d->soundService)
        return;
    d->soundService->playFile(path);
}

bool ECoreApp::modbusDebug() const
{
    return d->modbusDebug;
}

void ECoreApp::setModbusDebug(bool on)
{
    d->modbusDebug = on;
}

QString ECoreApp::documentsOrApplicationFolder(const QString &name)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QFileInfo candidate(joinPath(documents, name));
    if (!documents.isEmpty() && candidate.isDir())
        return candidate.absoluteFilePath();
    return QCoreApplication::applicationDirPath();
}

QString ECoreApp::demoCopyFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return joinPath(data.isEmpty() ? temporaryFolder(QLatin1String(CoreNames::kProductFolder))
                                   : data,
                    QStringLiteral("demo"));
}

bool ECoreApp::resetDemoCopy()
{
    // The copy is in use: the running session keeps its files (the history it shows, the rows
    // its writers append) and the next start makes the copy afresh. From here on the session's
    // pages and settings are not written, so nothing of them goes over the fresh copy.
    const QString folder = demoCopyFolder();
    if (!QDir().mkpath(folder))
        return false;
    QFile mark(joinPath(folder, QLatin1String(CoreNames::kDemoResetMark)));
    if (!mark.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    mark.close();
    d->demoCopy = false;
    return true;
}

bool ECoreApp::isDemoResetPending()
{
    return !existingFile(demoCopyFolder(), QLatin1String(CoreNames::kDemoResetMark)).isEmpty();
}

QString ECoreApp::demoExportFolder()
{
    return joinPath(demoCopyFolder(), QLatin1String(CoreNames::kExportFolder));
}

QString ECoreApp::temporaryFolder(const QString &name)
{
    const QString path = joinPath(QDir::tempPath(), name);
    QDir().mkpath(path);
    return QFileInfo(path).absoluteFilePath();
}

QString ECoreApp::existingFile(const QString &folder, const QString &name)
{
    if (folder.isEmpty())
        return QString();
    const QFileInfo info(joinPath(folder, name));
    return info.exists() ? info.absoluteFilePath() : QString();
}
