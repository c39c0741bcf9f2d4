// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// Saves a configuration over and over, for savekill.sh to kill at random moments, and checks
// what such a kill left behind.
//
//   savekill run DIR         loads DIR and saves config.xml and every project file in rounds,
//                            each round marking all of them with the next generation number
//   savekill edit DIR        loads DIR through the application core with its autosave on and
//                            makes one edit every 200 ms (a new generation of every file, held
//                            in memory only): the core must write it within two seconds; each
//                            edit is logged as "edit N MS" (N its generation, MS the wall clock)
//   savekill check DIR BASE  every file of BASE must exist in DIR, parse, and be byte for byte
//                            what a round of some generation writes, none newer than config.xml
//                            (written first); prints the generation of every file
//
// The generation is the settings' background picture "gen-N.png" and a " #N" after every
// subsystem's caption, so a version can be rebuilt from BASE alone and compared exactly.

#include "eappsettings.h"
#include "ecoreapp.h"
#include "mainstructv1.h"
#include "projectwriterv1.h"
#include "roomsv1.h"
#include "xmldocument.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

constexpr char kSettingsFile[] = "config.xml";
const QRegularExpression kGenSuffix(QStringLiteral(" #(\\d+)$"));
const QRegularExpression kGenPicture(QStringLiteral("^gen-(\\d+)\\.png$"));

void say(const QString &line)
{
    std::fprintf(stdout, "%s\n", qPrintable(line));
    std::fflush(stdout);
}

QStringList projectFiles(const QString &folder)
{
    QStringList files = QDir(folder).entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name);
    files.removeAll(QLatin1String(kSettingsFile));
    return files;
}

QList<MainStructV1 *> roots(const RoomsV1 &rooms)
{
    QList<MainStructV1 *> all{rooms.mainSystem(), rooms.lightSystem(), rooms.heatSystem()};
    all += rooms.otherSystems();
    all.removeAll(nullptr);
    return all;
}

QString withGeneration(QString caption, qint64 generation)
{
    caption.remove(kGenSuffix);
    return caption + QStringLiteral(" #") + QString::number(generation);
}

qint64 generationOf(const QString &text, const QRegularExpression &pattern)
{
    const QRegularExpressionMatch m = pattern.match(text);
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int run(const QString &folder)
{
    EAppSettings settings;
    if (!settings.load(folder + QDir::separator() + QLatin1String(kSettingsFile)))
        return say(QStringLiteral("cannot load the settings of %1").arg(folder)), 2;
    RoomsV1 rooms;
    rooms.load(folder, projectFiles(folder));
    const QList<MainStructV1 *> systems = roots(rooms);
    if (systems.isEmpty())
        return say(QStringLiteral("no project in %1").arg(folder)), 2;

    qint64 generation =
        qMax<qint64>(0, generationOf(settings.value(EAppSettings::FoneImage).toString(),
                                     kGenPicture));
    // Tells the killer that from here on every moment falls within a round of saves.
    say(QStringLiteral("loaded"));
    for (;;) {
        ++generation;
        settings.setValue(EAppSettings::FoneImage, QStringLiteral("gen-%1.png").arg(generation));
        if (!settings.save(folder + QDir::separator() + QLatin1String(kSettingsFile)))
            return say(QStringLiteral("saving the settings failed")), 1;
        for (MainStructV1 *root : systems) {
            root->setTextB(withGeneration(root->textB(), generation));
            root->setModified(true);
        }
        if (!rooms.saveProject(folder))
            return say(QStringLiteral("saving the project failed")), 1;
    }
}

// The edits of a person at work, written by nothing but the core's autosave.
int edit(const QString &folder)
{
    ECoreApp *app = ECoreApp::instance();
    auto *rooms = new RoomsV1;
    app->setProjectModel(rooms, rooms);
    app->setSettingsFilePath(folder);
    app->loadConfiguration(folder);
    const QList<MainStructV1 *> systems = roots(*rooms);
    if (systems.isEmpty())
        return say(QStringLiteral("no project in %1").arg(folder)), 2;
    // The same delays as the program's.
    app->setAutoSave(250, 1000);

    EAppSettings &settings = app->settings();
    qint64 generation =
        qMax<qint64>(0, generationOf(settings.value(EAppSettings::FoneImage).toString(),
                                     kGenPicture));
    say(QStringLiteral("loaded"));
    QTimer edits;
    QObject::connect(&edits, &QTimer::timeout, [&] {
        ++generation;
        settings.setValue(EAppSettings::FoneImage, QStringLiteral("gen-%1.png").arg(generation));
        for (MainStructV1 *root : systems) {
            root->setTextB(withGeneration(root->textB(), generation));
            root->setModified(true);
        }
        say(QStringLiteral("edit %1 %2").arg(generation).arg(QDateTime::currentMSecsSinceEpoch()));
    });
    edits.start(200);
    return QCoreApplication::exec();
}

int check(const QString &folder, const QString &base)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 2;
    QStringList problems;
    QMap<QString, qint64> generations;

    // Settings: rebuilt from BASE with the generation found, saved beside, compared.
    const QString settingsPath = folder + QDir::separator() + QLatin1String(kSettingsFile);
    XmlDocument parsed;
    EAppSettings found;
    if (!parsed.load(settingsPath) || !found.load(settingsPath)) {
        problems << QStringLiteral("%1 does not parse: %2").arg(kSettingsFile, parsed.errorString());
    } else {
        const qint64 g =
            generationOf(found.value(EAppSettings::FoneImage).toString(), kGenPicture);
        EAppSettings expected;
        const QString rebuilt = scratch.filePath(QLatin1String(kSettingsFile));
        QFile::copy(base + QDir::separator() + QLatin1String(kSettingsFile), rebuilt);
        expected.load(rebuilt);
        if (g > 0)
            expected.setValue(EAppSettings::FoneImage, QStringLiteral("gen-%1.png").arg(g));
        expected.save(rebuilt);
        // Before its first write the file is still the one the run began with, byte for byte
        // (the demo generator's layout, which the program's writer need not reproduce).
        const QByteArray actual = readAll(settingsPath);
        const bool original =
            g <= 0 && actual == readAll(base + QDir::separator() + QLatin1String(kSettingsFile));
        if (!original && readAll(rebuilt) != actual)
            problems << QStringLiteral("%1 is no version that was ever written").arg(kSettingsFile);
        generations.insert(QLatin1String(kSettingsFile), qMax<qint64>(0, g));
    }

    RoomsV1 rooms;
    rooms.load(base, projectFiles(base));
    for (MainStructV1 *root : roots(rooms)) {
        const QString path = folder + QDir::separator() + root->fileName();
        XmlDocument doc;
        if (!doc.load(path)) {
            problems << QStringLiteral("%1 does not parse: %2").arg(root->fileName(),
                                                                    doc.errorString());
            continue;
        }
        const qint64 g = generationOf(doc.root()->attribute(QStringLiteral("textB")).toString(),
                                      kGenSuffix);
        QByteArray expected = readAll(base + QDir::separator() + root->fileName());
        if (g > 0) {
            root->setTextB(withGeneration(root->textB(), g));
            expected = XmlDocument::toByteArray(ProjectWriterV1::buildTree(root));
        }
        if (expected != readAll(path))
            problems << QStringLiteral("%1 is no version that was ever written")
                            .arg(root->fileName());
        generations.insert(root->fileName(), qMax<qint64>(0, g));
    }

    const qint64 newest = generations.value(QLatin1String(kSettingsFile));
    QStringList list;
    for (auto it = generations.cbegin(); it != generations.cend(); ++it) {
        list << QStringLiteral("%1=%2").arg(it.key()).arg(it.value());
        // config.xml is written first in every round, so no file can be newer.
        if (it.value() > newest)
            problems << QStringLiteral("%1 has generation %2 while config.xml has %3")
                            .arg(it.key())
                            .arg(it.value())
                            .arg(newest);
    }
    for (const QString &p : qAsConst(problems))
        say(QStringLiteral("FAIL: ") + p);
    say(QStringLiteral("%1 generation %2: %3")
            .arg(problems.isEmpty() ? QStringLiteral("ok") : QStringLiteral("bad"))
            .arg(newest)
            .arg(list.join(QLatin1Char(' '))));
    return problems.isEmpty() ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // The application core keeps fonts and pictures: it wants a GUI application (offscreen).
    const bool editing = argc == 3 && qstrcmp(argv[1], "edit") == 0;
    std::unique_ptr<QCoreApplication> app;
    if (editing)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    const QStringList args = app->arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("run"))
        return run(args.at(2));
    if (args.size() == 3 && args.at(1) == QLatin1String("edit"))
        return edit(args.at(2));
    if (args.size() == 4 && args.at(1) == QLatin1String("check"))
        return check(args.at(2), args.at(3));
    std::fprintf(stderr, "usage: savekill run DIR | savekill edit DIR | savekill check DIR BASE\n");
    return 2;
}
