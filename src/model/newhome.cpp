// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "newhome.h"

#include "controlkinds.h"
#include "corenames.h"
#include "eappsettings.h"
#include "ecoreapp.h"
#include "elocale.h"
#include "floorstructv1.h"
#include "mainstructv1.h"
#include "projectwriterv1.h"
#include "roomstructv1.h"
#include "systemcontrolv1.h"
#include "xmldocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QSet>

namespace {

// A plan the size the demo's plans are drawn at: pages scale it to the screen.
const QSize kPlanSize(1024, 700);
constexpr int kIconSize = 96;
// Every subsystem page offers four scenes; the controller has room for four per page.
constexpr int kScenes = 4;

// Page captions by language table id, with the English word when no table is loaded.
struct Word
{
    int id;
    const char *english;
};
const Word kHome{61586, "Home"};
const Word kLighting{61579, "Lighting"};
const Word kHeating{61580, "Heating"};
const Word kFloor{61581, "Ground floor"};
const Word kRoom{61582, "Room"};
const Word kScenesWord{61583, "Scenes"};
const Word kSettingsWord{61584, "Settings"};
const Word kExitWord{61585, "Exit"};
const Word kScene{61192, "Scene"};

QString word(const Word &w)
{
    const ELocale *locale = ECoreApp::instance() ? ECoreApp::instance()->locale() : nullptr;
    const QString text = locale ? locale->text(w.id) : QString();
    return text.isEmpty() ? QString::fromLatin1(w.english) : text;
}

QStringList sceneCaptions()
{
    QStringList scenes;
    for (int i = 1; i <= kScenes; ++i)
        scenes << word(kScene) + QLatin1Char(' ') + QString::number(i);
    return scenes;
}

// A light blueprint grid with a frame: plainly a stand-in for the house's own plan.
QImage planPicture()
{
    QImage image(kPlanSize, QImage::Format_RGB32);
    image.fill(QColor(0xf4, 0xf7, 0xfb));
    QPainter p(&image);
    p.setPen(QPen(QColor(0xdd, 0xe5, 0xef), 1));
    for (int x = 0; x < kPlanSize.width(); x += 32)
        p.drawLine(x, 0, x, kPlanSize.height());
    for (int y = 0; y < kPlanSize.height(); y += 32)
        p.drawLine(0, y, kPlanSize.width(), y);
    p.setPen(QPen(QColor(0x8a, 0x9b, 0xb0), 6));
    p.drawRect(QRect(QPoint(96, 96), kPlanSize - QSize(192, 192)));
    return image;
}

// The pictures of the home page's buttons and the ones new controls name by default, drawn as
// plain shapes: enough to tell them apart until the installer puts in the house's own.
QImage icon(const QString &name)
{
    QImage image(kIconSize, kIconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF box(8, 8, kIconSize - 16, kIconSize - 16);
    const QString base = QFileInfo(name).completeBaseName();
    QColor color(0x5b, 0x7d, 0xa8);
    if (base.contains(QLatin1String("light")) || base == QLatin1String("on") ||
        base.endsWith(QLatin1String("on")))
        color = QColor(0xf2, 0xb7, 0x05);
    if (base.endsWith(QLatin1String("off")))
        color = QColor(0x9a, 0xa3, 0xad);
    if (base.endsWith(QLatin1String("dis")) || base == QLatin1String("exit"))
        color = QColor(0xc6, 0x28, 0x28);
    if (base == QLatin1String("heat"))
        color = QColor(0xe8, 0x6a, 0x1a);
    if (base == QLatin1String("scenes"))
        color = QColor(0x7b, 0x4a, 0xb8);
    p.setPen(QPen(color.darker(140), 4));
    p.setBrush(color);
    if (base.startsWith(QLatin1String("light")) || base == QLatin1String("lighting"))
        p.drawEllipse(box);
    else
        p.drawRoundedRect(box, 14, 14);
    return image;
}

bool writeImage(const QDir &dir, const QString &name, const QImage &image, QString *error)
{
    const QString path = dir.filePath(name);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !image.save(path, "PNG")) {
        if (error)
            *error = QStringLiteral("cannot write %1").arg(QDir::toNativeSeparators(path));
        return false;
    }
    return true;
}

// The picture names the kinds' descriptions give new controls (img/lighton.png, ...).
QStringList defaultPictures()
{
    QSet<QString> names;
    for (const ControlKind *kind : ControlKinds::all()) {
        for (const ControlAttribute &a : kind->attributes) {
            const QString value = a.defaultValue.toString();
            if (a.isImage() && !value.isEmpty() && value != QLatin1String("none"))
                names.insert(value);
        }
    }
    QStringList list = names.values();
    list.sort();
    return list;
}

// The writer writes only into files that exist, so that a wrong path scatters nothing.
bool writeTree(const QDir &dir, const QString &fileName, const MainStructV1 &root, QString *error)
{
    const QString path = dir.filePath(fileName);
    QFile file(path);
    const bool made = file.open(QIODevice::WriteOnly);
    file.close();
    if (!made || !XmlDocument::save(path, ProjectWriterV1::buildTree(&root))) {
        if (error)
            *error = QStringLiteral("cannot write %1").arg(QDir::toNativeSeparators(path));
        return false;
    }
    return true;
}

void describeRoot(MainStructV1 &root, const QString &name, const QString &caption)
{
    root.setName(name);
    root.setTextB(caption);
    root.setFontColor(QStringLiteral("#000000"));
    root.setImage(QLatin1String(NewHome::kPlanPicture));
    root.setShowScenes(true);
}

// One floor with one room: buttons in the plan's frame, the scenes of the subsystem.
void addFloorAndRoom(MainStructV1 &root, const QString &prefix)
{
    const QString planPicture = QLatin1String(NewHome::kPlanPicture);
    FloorStructV1 *floor =
        root.createFloor(prefix + QStringLiteral("_floor1"), word(kFloor), QPointF(15, 20));
    floor->setImage(planPicture);
    floor->setScenes(sceneCaptions());
    floor->setDrawRect(true);
    RoomStructV1 *room = floor->createRoom(prefix + QStringLiteral("_room1"),
                                           word(kRoom) + QStringLiteral(" 1"), QPointF(20, 25));
    room->setImage(planPicture);
    room->setScenes(sceneCaptions());
}

bool writeSubsystem(const QDir &dir, const QString &fileName, const QString &name,
                    const QString &caption, QString *error)
{
    MainStructV1 root;
    describeRoot(root, name, caption);
    root.setScenes(sceneCaptions());
    addFloorAndRoom(root, name);
    return writeTree(dir, fileName, root, error);
}

QString settingsFile()
{
    return QLatin1String(CoreNames::kSettingsFile);
}

} // namespace

namespace NewHome {

QStringList files()
{
    QStringList list{settingsFile(), QStringLiteral("main_config.xml"),
                     QStringLiteral("light_config.xml"), QStringLiteral("heat_config.xml"),
                     QLatin1String(kPlanPicture)};
    for (const char *button : {"lighting", "heat", "scenes", "settings", "exit"})
        list << QStringLiteral("icons/%1.png").arg(QLatin1String(button));
    list << defaultPictures();
    return list;
}

QString refusal(const QString &folder)
{
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        return QStringLiteral("%1 is a file, not a folder").arg(QDir::toNativeSeparators(folder));
    const QDir dir(folder);
    // A home that is there already (or shipped as packages) is never written over.
    QStringList taken = dir.entryList({QStringLiteral("*.xml"), QStringLiteral("*.package")},
                                      QDir::Files, QDir::Name);
    if (!taken.isEmpty())
        return QStringLiteral("%1 holds a configuration already (%2)")
            .arg(QDir::toNativeSeparators(folder), taken.join(QStringLiteral(", ")));
    return QString();
}

bool create(const QString &folder, const Options &options, QString *error)
{
    const QString refused = refusal(folder);
    if (!refused.isEmpty()) {
        if (error)
            *error = refused;
        return false;
    }
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("cannot make %1").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    const QDir dir(QFileInfo(folder).absoluteFilePath());
    // The captions are written in the home's language: its table is the one loaded from here on.
    QString language = options.language;
    if (ELocale *locale = ECoreApp::instance() ? ECoreApp::instance()->locale() : nullptr) {
        if (language.isEmpty() && locale->load(QLocale::system().name()))
            language = QLocale::system().name();
        if (language.isEmpty() || !locale->load(language))
            language = QStringLiteral("en_US");
    } else if (language.isEmpty()) {
        language = QStringLiteral("en_US");
    }

    if (!writeImage(dir, QLatin1String(kPlanPicture), planPicture(), error))
        return false;
    for (const QString &name : files()) {
        if (name.endsWith(QLatin1String(".png")) && name != QLatin1String(kPlanPicture) &&
            !writeImage(dir, name, icon(name), error))
            return false;
    }

    // The home page: one button per subsystem and system screen, in a row inside the frame.
    MainStructV1 home;
    describeRoot(home, QStringLiteral("home"), word(kHome));
    home.setShowScenes(false);
    struct Button
    {
        const char *name;
        Word caption;
        RoomConstantsV1::FormNumbers type;
        const char *icon;
    };
    const Button buttons[] = {
        {"btn_light", kLighting, RoomConstantsV1::FormLight, "icons/lighting.png"},
        {"btn_heat", kHeating, RoomConstantsV1::FormHeat, "icons/heat.png"},
        {"btn_scenes", kScenesWord, RoomConstantsV1::FormScenes, "icons/scenes.png"},
        {"btn_settings", kSettingsWord, RoomConstantsV1::FormSettings, "icons/settings.png"},
        {"btn_exit", kExitWord, RoomConstantsV1::FormExit, "icons/exit.png"},
    };
    double x = 14;
    for (const Button &b : buttons) {
        SystemControlV1 *button =
            home.createSystem(QLatin1String(b.name), word(b.caption), QPointF(x, 30));
        button->setSystType(b.type);
        button->setImage(QLatin1String(b.icon));
        x += 15;
    }
    if (!writeTree(dir, QStringLiteral("main_config.xml"), home, error) ||
        !writeSubsystem(dir, QStringLiteral("light_config.xml"), QStringLiteral("light"),
                        word(kLighting), error) ||
        !writeSubsystem(dir, QStringLiteral("heat_config.xml"), QStringLiteral("heat"),
                        word(kHeating), error))
        return false;

    // Every key of the settings table, so the installer sees what there is to set; editing is
    // on, since the first thing to do with a new home is to draw it.
    EAppSettings settings;
    settings.loadData(QByteArrayLiteral("<config version=\"2\"/>"));
    for (int key = 0; key < EAppSettings::KeyCount; ++key)
        settings.setValue(key, settings.defaultValue(key));
    settings.setValue(EAppSettings::Language, language);
    settings.setValue(EAppSettings::ShowSettings, true);
    settings.setValue(EAppSettings::IpAddress, options.address);
    settings.setValue(EAppSettings::IpAddress2, options.address);
    settings.setValue(EAppSettings::IpPort, options.port);
    settings.setValue(EAppSettings::Width, 1024);
    settings.setValue(EAppSettings::Height, 700);
    const QString settingsPath = dir.filePath(settingsFile());
    QFile file(settingsPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(settings.document()) <= 0 ||
        !file.flush()) {
        if (error)
            *error = QStringLiteral("cannot write %1").arg(QDir::toNativeSeparators(settingsPath));
        return false;
    }
    return true;
}

} // namespace NewHome
