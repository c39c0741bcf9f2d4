// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

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
class RoomsV1;
class ControlerData;
class EAudioPlayer;

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
    void loadMultiConfiguration(const QString &entryName);
    void loadConfiguration(const QString &folder);

    EAppSettings &settings() const;
    ELocale *locale() const;
    EFonts *fonts() const;
    const MultiConfiguration &multiConfigurations() const;

    // Services of the higher layers. The program installs them right after creating the
    // singleton; ECoreApp takes ownership and destroys them in reverse order of installation.
    void setProjectModel(QObject *object, IProjectModel *model);
    void setAudioPlayer(QObject *player);
    void setController(QObject *controller);
    QObject *projectModelObject() const;
    IProjectModel *projectModel() const;
    QObject *audioPlayerObject() const;
    QObject *controllerObject() const;
    // Typed accessors, defined by the library that provides the type.
    RoomsV1 *rooms() const;
    ControlerData *controller() const;
    EAudioPlayer *audioPlayer() const;

    QString applicationFolder() const;
    QString configurationFolder() const;
    QString workingFolder() const;
    QString settingsFilePath() const;
    QStringList projectFiles() const;

    QFont font(int fontId) const;
    QImage image(const QString &name) const;
    QString backgroundImagePath(const QString &name) const;
    QString soundFilePath(int number) const;
    void playSound(int number);

    // Start-up switches from the command line.
    bool modbusDebug() const;
    void setModbusDebug(bool on);

    // Path helpers shared by the whole program.
    static QString documentsOrApplicationFolder(const QString &name);
    static QString temporaryFolder(const QString &name);
    static QString existingFile(const QString &folder, const QString &name);

signals:
    void mainConfigLoaded();
    void resourcesStartLoading();
    void resourcesStopLoading();

private:
    ECoreApp();
    ~ECoreApp() override;
    struct Private;
    std::unique_ptr<Private> d;
};
