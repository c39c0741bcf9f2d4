// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "isoundservice.h"
#include "loadreport.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QObject>
#include <QSharedPointer>
#include <QStringList>
#include <memory>

class EAppSettings;
class ELocale;
class EFonts;
class IProjectModel;

enum class StartMode { Demo = 1, Standard = 2, Multi = 3 };

struct MultiConfigurationEntry
{
    QString folder;
    QString name;
    QString image;
    QString caption;
    double posX = 0;
    double posY = 0;
};

struct MultiConfiguration
{
    QList<QSharedPointer<MultiConfigurationEntry>> entries;
    QString image;
    int width = 0;
    int height = 0;
    double posX = 0;
    double posY = 0;
};

// The application singleton: owns the long-lived services (fonts, language table, settings, the
// project model, the sound player and the controller link), knows the folders of the
// configuration in use and runs the sequence that loads one.
//
// The core sits below every other library. It knows the project model, the sound player and the
// link only as the small interfaces it needs of them (IProjectModel, ISoundService) or as plain
// objects it owns; the program wires the concrete services in at start-up, and the libraries
// above reach their concrete types through their own typed accessors (FormServices in the
// screens, RoomsV1::fromCore() in the model).
class ECoreApp : public QObject
{
    Q_OBJECT
public:
    static ECoreApp *instance();
    // Destroys the singleton (writing back settings and project outside the demo). Called once at
    // program exit; tests use it to start over.
    static void destroyInstance();

    StartMode startMode() const;
    void setSettingsFilePath(const QString &path);

    void loadStandardConfiguration();
    void loadDemoConfiguration();
    // Uses the built-in demo home whatever the folders hold ("--demo").
    void chooseDemo();
    void loadMultiConfiguration(const QString &entryName);
    void loadConfiguration(const QString &folder);

    EAppSettings &settings() const;
    ELocale *locale() const;
    EFonts *fonts() const;
    const MultiConfiguration &multiConfigurations() const;

    // Services of the higher layers. The program installs them right after creating the
    // singleton; ECoreApp takes ownership and destroys them in reverse order of installation
    // (link first, then player, then project model).
    void setProjectModel(QObject *object, IProjectModel *model);
    // The player object and the service that plays a file through it.
    void setAudioPlayer(QObject *player, std::unique_ptr<ISoundService> service);
    // Any player type with a play(const QString &) member, called directly and typed.
    template<typename Player> void setAudioPlayer(Player *player)
    {
        setAudioPlayer(player, std::make_unique<SoundServiceAdapter<Player>>(player));
    }
    void setController(QObject *controller);
    QObject *projectModelObject() const;
    IProjectModel *projectModel() const;
    QObject *audioPlayerObject() const;
    ISoundService *soundService() const;
    QObject *controllerObject() const;

    QString applicationFolder() const;
    QString configurationFolder() const;
    QString workingFolder() const;
    QString settingsFilePath() const;
    QStringList projectFiles() const;
    // What went wrong during the last loadConfiguration(), in the order it was found; empty when
    // everything could be read. Each problem is also announced by loadProblemFound() as it is met.
    const LoadReport &lastLoadReport() const;

    QFont font(int fontId) const;
    // A control picture of the working folder, or the missing-image picture. Read with
    // PictureReader: refused from its header above PictureReader::kMaxSide (and reported once as
    // a load problem naming the file), decoded at most PictureReader::kMaxDrawnSide large.
    QImage image(const QString &name) const;
    // Adds a picture refused for its size to the load report and announces it, once per file and
    // configuration; for readers of project pictures elsewhere (the plan cache).
    void reportRefusedPicture(const QString &path, const QSize &declared) const;
    // Where image() reads the picture `name` from (empty for no picture).
    QString imagePath(const QString &name) const;
    QString backgroundImagePath(const QString &name) const;
    QString soundFilePath(int number) const;
    void playSound(int number);

    // Writes back what changed since it was last written: the project's modified pages and, when
    // a setting changed, config.xml. The demo writes into its own copy, never into the built-in
    // demo.
    // True when nothing failed.
    bool saveChanges();
    // Writes edits and changed settings on their own instead of only at exit: once nothing has
    // changed for `settleMs`, or at the latest `maxDelayMs` after the first unwritten change, so a
    // burst of edits is written once. A write that failed is tried again `retryMs` later. 0
    // switches it off (the default).
    void setAutoSave(int settleMs, int maxDelayMs = 1000, int retryMs = 5000);

    // Start-up switches from the command line.
    bool modbusDebug() const;
    void setModbusDebug(bool on);

    // The demo home runs from its own writable copy in the user's data folder: made from the
    // built-in demo (which is never written) on its first start and kept, edits included, across
    // runs.
    static QString demoCopyFolder();
    // The settings screen's "Reset demo": the next start replaces the copy with a fresh one from
    // the built-in demo, keeping only the exports (demoExportFolder()); false when the request
    // cannot be written. The running session goes on with its files and writes nothing more of
    // its pages and settings.
    bool resetDemoCopy();
    static bool isDemoResetPending();
    static QString demoExportFolder();

    // Path helpers shared by the whole program.
    static QString documentsOrApplicationFolder(const QString &name);
    static QString temporaryFolder(const QString &name);
    static QString existingFile(const QString &folder, const QString &name);

signals:
    void mainConfigLoaded();
    void resourcesStartLoading();
    void resourcesStopLoading();
    // A problem met while loading a configuration (a damaged package, unreadable settings, a
    // malformed project file with its line). Loading goes on with what could be read.
    void loadProblemFound(const LoadProblem &problem);

private:
    ECoreApp();
    // Announces the problems added to the report since the given count.
    void announceProblems(int from);
    ~ECoreApp() override;
    struct Private;
    std::unique_ptr<Private> d;
};
