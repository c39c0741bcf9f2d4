// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "projectchecker.h"

#include "controlconstants.h"
#include "controlkinds.h"
#include "corenames.h"
#include "dynamiccontrolv1.h"
#include "eappsettings.h"
#include "floorstructv1.h"
#include "heatcontrolv1.h"
#include "lightcontrolv1.h"
#include "mainstructv1.h"
#include "projectreaderv1.h"
#include "roomstructv1.h"
#include "roomsv1.h"
#include "systemcontrolv1.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QMap>
#include <QTextStream>
#include <algorithm>

using namespace ControlConstants;

namespace {

// The controller bytes a control shows or sets, for spotting overlaps on a page.
struct ValueRange
{
    const BaseControlV1 *control = nullptr;
    qint64 start = 0;
    qint64 end = 0; // one past the last byte
    bool bits = false;
};

bool valueRange(const BaseControlV1 *control, ValueRange *range)
{
    const auto *bound = dynamic_cast<const DynamicControlV1 *>(control);
    const ControlKind *kind = ControlKinds::byKind(control->kind());
    if (!bound || !kind || bound->byteAddress() < 0)
        return false;
    const qint64 length = kind->valueBytes ? kind->valueBytes(*control) : bound->dataLength();
    if (length <= 0)
        return false;
    range->control = control;
    range->start = bound->byteAddress();
    range->end = range->start + length;
    range->bits = kind->bits;
    return true;
}

QString describeControl(const BaseControlV1 *control)
{
    QString label = control->name();
    if (label.isEmpty())
        label = control->textB();
    return QStringLiteral("%1 \"%2\"").arg(tagForKind(control->kind()), label);
}

QString describePage(const BaseRoomV1 *page, const QString &fileName)
{
    switch (page->kind()) {
    case BaseRoomV1::KindFloor:
        return QStringLiteral("%1: floor \"%2\"").arg(fileName, page->name());
    case BaseRoomV1::KindRoom:
        return QStringLiteral("%1: room \"%2\"").arg(fileName, page->name());
    default:
        return QStringLiteral("%1: root page").arg(fileName);
    }
}

// The pictures a control names, in the order its kind lists them.
QStringList imagesOf(const BaseControlV1 *c)
{
    QStringList images;
    if (const ControlKind *kind = ControlKinds::byKind(c->kind())) {
        for (const ControlAttribute &attribute : kind->attributes) {
            if (attribute.isImage())
                images << attribute.value(*c).toString();
        }
    }
    return images;
}

} // namespace

struct ProjectChecker::Private
{
    QString folder;
    QStringList projectFiles;
    QStringList problems;
    RoomsV1 rooms;
    QHash<QString, QString> imageVerdicts; // image name -> problem text, empty when fine
    // Where each tree came from, for messages.
    QHash<const BaseRoomV1 *, QString> fileOfPage;
    // Whether the settings let the panel write the archive or the alarm log the history screen
    // shows.
    bool keepsHistory = true;

    void problem(const QString &text) { problems << text; }
    // The panel reads every file of a project as the folder and the name joined; a name with
    // ".." or a link inside the folder can lead anywhere. The panel keeps reading such files
    // (existing projects rely on it), so the checker names each one.
    QString outsidePath(const QString &joined) const;
    void checkInside(const QString &where, const QString &what, const QString &name,
                     const QString &prefix = QString());

    bool checkSettings();
    void listProjectFiles();
    void checkFiles();
    void checkTree(const MainStructV1 *root);
    void checkPage(const BaseRoomV1 *page, const QString &fileName);
    void checkImage(const QString &where, const QString &name);
    void checkOverlaps(const BaseRoomV1 *page, const QString &where);
    void checkNumbers();
    void printTree(QTextStream &out) const;
};

ProjectChecker::ProjectChecker(const QString &folder) : d(std::make_unique<Private>())
{
    d->folder = QDir(folder).absolutePath();
}

ProjectChecker::~ProjectChecker() = default;

QStringList ProjectChecker::problems() const
{
    return d->problems;
}

QString ProjectChecker::Private::outsidePath(const QString &joined) const
{
    const QString clean = QDir::cleanPath(joined);
    if (!clean.startsWith(QDir::cleanPath(folder) + QLatin1Char('/')))
        return clean;
    const QString real = QFileInfo(clean).canonicalFilePath();
    const QString realFolder = QFileInfo(folder).canonicalFilePath();
    if (!real.isEmpty() && !realFolder.isEmpty() &&
        !real.startsWith(realFolder + QLatin1Char('/')))
        return real;
    return QString();
}

void ProjectChecker::Private::checkInside(const QString &where, const QString &what,
                                          const QString &name, const QString &prefix)
{
    if (name.isEmpty() || name == QLatin1String("none"))
        return;
    const QString outside = outsidePath(folder + QLatin1Char('/') + prefix + name);
    if (!outside.isEmpty()) {
        problem(QStringLiteral("%1: %2 \"%3\" lies outside the configuration folder (%4)")
                    .arg(where, what, name, QDir::toNativeSeparators(outside)));
    }
}

bool ProjectChecker::Private::checkSettings()
{
    const QString path = folder + QDir::separator() + QLatin1String(CoreNames::kSettingsFile);
    if (!QFileInfo(path).isFile()) {
        problem(QStringLiteral("config.xml is missing: the panel loads nothing from this folder"));
        return false;
    }
    EAppSettings settings;
    LoadReport report;
    if (!settings.load(path, &report)) {
        for (const LoadProblem &p : report.problems())
            problem(p.toString());
        return false;
    }
    keepsHistory = settings.value(EAppSettings::WriteArchive).toBool() ||
                   settings.value(EAppSettings::WriteAlarm).toBool();
    const QString settingsFile = QLatin1String(CoreNames::kSettingsFile);
    for (const EAppSettings::SoundEntry &sound : settings.sounds()) {
        checkInside(settingsFile + QStringLiteral(": sound %1").arg(sound.number),
                    QStringLiteral("file"), sound.fileName);
    }
    checkInside(settingsFile + QStringLiteral(": foneimage"), QStringLiteral("background"),
                settings.value(EAppSettings::FoneImage).toString(),
                QLatin1String(CoreNames::kBackgroundFolder));
    return true;
}

void ProjectChecker::Private::listProjectFiles()
{
    // The panel's own rule: regular *.xml files, no links, sorted ignoring case, without the
    // settings file.
    QDir dir(folder);
    projectFiles = dir.entryList({QStringLiteral("*.xml")},
                                 QDir::Files | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                                 QDir::Name | QDir::IgnoreCase);
    projectFiles.removeAll(QLatin1String(CoreNames::kSettingsFile));
}

void ProjectChecker::Private::checkFiles()
{
    if (projectFiles.isEmpty()) {
        problem(QStringLiteral("no project files (*.xml) in the folder"));
        return;
    }
    if (!projectFiles.contains(QLatin1String(kMainFile)))
        problem(QStringLiteral("main_config.xml is missing: the home page is empty"));
    for (const QString &fileName : qAsConst(projectFiles)) {
        // The panel reads the same way, so the checker says what the loading page would say:
        // file, line and what was skipped.
        LoadReport report;
        ProjectReaderV1::readSubsystem(folder, fileName, &report);
        for (const LoadProblem &p : report.problems())
            problem(p.toString());
    }
}

void ProjectChecker::Private::checkImage(const QString &where, const QString &name)
{
    if (name.isEmpty() || name == QLatin1String("none"))
        return;
    checkInside(where, QStringLiteral("image"), name);
    if (!imageVerdicts.contains(name)) {
        const QString path = folder + QDir::separator() + name;
        QString verdict;
        if (!QFileInfo(path).isFile())
            verdict = QStringLiteral("image \"%1\" is missing from the working folder").arg(name);
        // Reading the picture, not just its header: some handlers claim any XML file.
        else if (QImageReader(path).read().isNull())
            verdict = QStringLiteral("image \"%1\" cannot be read as a picture").arg(name);
        imageVerdicts.insert(name, verdict);
    }
    const QString verdict = imageVerdicts.value(name);
    if (!verdict.isEmpty())
        problem(where + QStringLiteral(": ") + verdict);
}

void ProjectChecker::Private::checkOverlaps(const BaseRoomV1 *page, const QString &where)
{
    QList<ValueRange> ranges;
    for (const BaseControlV1 *control : page->controls()) {
        ValueRange range;
        if (!control->isDeleted() && valueRange(control, &range))
            ranges << range;
    }
    std::stable_sort(ranges.begin(), ranges.end(),
                     [](const ValueRange &a, const ValueRange &b) { return a.start < b.start; });
    for (int i = 0; i < ranges.size(); ++i) {
        for (int j = i + 1; j < ranges.size() && ranges.at(j).start < ranges.at(i).end; ++j) {
            const ValueRange &a = ranges.at(i);
            const ValueRange &b = ranges.at(j);
            // Several bits of one byte, and two controls on exactly the same window (one shows
            // what the other sets), are normal.
            if ((a.bits && b.bits) || (a.start == b.start && a.end == b.end))
                continue;
            problem(QStringLiteral("%1: %2 (bytes %3..%4) overlaps %5 (bytes %6..%7)")
                        .arg(where, describeControl(a.control))
                        .arg(a.start)
                        .arg(a.end - 1)
                        .arg(describeControl(b.control))
                        .arg(b.start)
                        .arg(b.end - 1));
        }
    }
}

void ProjectChecker::Private::checkPage(const BaseRoomV1 *page, const QString &fileName)
{
    const QString where = describePage(page, fileName);
    checkImage(where, page->image());
    if (page->kind() != BaseRoomV1::KindRoot) {
        checkImage(where, page->contImage());
        if (page->posX() < 0 || page->posX() > 100 || page->posY() < 0 || page->posY() > 100) {
            problem(QStringLiteral("%1: button position (%2, %3) lies outside 0..100 %")
                        .arg(where)
                        .arg(page->posX())
                        .arg(page->posY()));
        }
    }
    for (const BaseControlV1 *control : page->controls()) {
        if (control->isDeleted())
            continue;
        const QString at = where + QStringLiteral(": ") + describeControl(control);
        for (const QString &image : imagesOf(control))
            checkImage(at, image);
        if (control->posX() < 0 || control->posX() > 100 || control->posY() < 0 ||
            control->posY() > 100) {
            problem(QStringLiteral("%1: position (%2, %3) lies outside 0..100 %")
                        .arg(at)
                        .arg(control->posX())
                        .arg(control->posY()));
        }
        if (const auto *bound = dynamic_cast<const DynamicControlV1 *>(control)) {
            if (bound->fetchLength() > kMaxBlockBytes) {
                problem(QStringLiteral("%1: can never be polled: it needs %2 bytes, one read "
                                       "carries at most %3")
                            .arg(at)
                            .arg(bound->fetchLength())
                            .arg(kMaxBlockBytes));
            }
        }
        if (const auto *button = dynamic_cast<const SystemControlV1 *>(control)) {
            if (button->systType() == RoomConstantsV1::FormSubsystem) {
                const QString target = button->fileName();
                // Blank is as good as empty: the panel opens nothing for it either.
                if (target.trimmed().isEmpty())
                    problem(at + QStringLiteral(": opens a subsystem but names no file"));
                else if (!projectFiles.contains(target))
                    problem(QStringLiteral("%1: target file \"%2\" is not a project file of "
                                           "this folder")
                                .arg(at, target));
            }
            if (button->systType() == RoomConstantsV1::FormHistory && !keepsHistory) {
                problem(at + QStringLiteral(": opens the history screen, but config.xml writes "
                                            "neither the archive nor the alarm log "
                                            "(writearchive, writealarm)"));
            }
        }
    }
    checkOverlaps(page, where);
}

void ProjectChecker::Private::checkTree(const MainStructV1 *root)
{
    const QString fileName = root->fileName();
    for (const BaseRoomV1 *page : root->allPages()) {
        fileOfPage.insert(page, fileName);
        if (!fileName.isEmpty())
            checkPage(page, fileName);
    }
}

void ProjectChecker::Private::checkNumbers()
{
    // A lamp or thermostat number names one record in the controller. The same number on two
    // controls with different names almost always means a copied control whose number was not
    // changed; the same lamp shown on several pages keeps its name.
    struct Use
    {
        QString name;
        QString where;
    };
    QMap<int, QList<Use>> lamps;
    QMap<int, QList<Use>> thermostats;
    for (const BaseRoomV1 *page : rooms.pages()) {
        const QString where = describePage(page, fileOfPage.value(page));
        for (const BaseControlV1 *control : page->controls()) {
            if (control->isDeleted())
                continue;
            if (auto *lamp = dynamic_cast<const LightControlV1 *>(control))
                lamps[lamp->lmpNumber()] << Use{lamp->name(), where};
            else if (auto *heat = dynamic_cast<const HeatControlV1 *>(control))
                thermostats[heat->swcNumber()] << Use{heat->name(), where};
        }
    }
    const auto report = [this](const char *what, const QMap<int, QList<Use>> &uses) {
        for (auto it = uses.cbegin(); it != uses.cend(); ++it) {
            QStringList names;
            QStringList places;
            for (const Use &use : it.value()) {
                if (!names.contains(use.name)) {
                    names << use.name;
                    places << QStringLiteral("\"%1\" (%2)").arg(use.name, use.where);
                }
            }
            if (names.size() > 1) {
                problem(QStringLiteral("%1 number %2 is used by different controls: %3")
                            .arg(QLatin1String(what))
                            .arg(it.key())
                            .arg(places.join(QStringLiteral(", "))));
            }
        }
    };
    report("lamp", lamps);
    report("thermostat", thermostats);
}

void ProjectChecker::Private::printTree(QTextStream &out) const
{
    QList<const MainStructV1 *> trees{rooms.lightSystem(), rooms.heatSystem(), rooms.mainSystem()};
    for (const MainStructV1 *other : rooms.otherSystems())
        trees << other;
    static const char *typeNames[] = {"none", "light", "heat", "subsystem", "main"};
    for (const MainStructV1 *root : qAsConst(trees)) {
        if (!root)
            continue;
        out << "\n"
            << (root->fileName().isEmpty() ? QStringLiteral("(unreadable file)") : root->fileName())
            << "  [" << typeNames[qBound(0, int(root->systemType()), 4)] << "]\n";
        for (const BaseRoomV1 *page : root->allPages()) {
            const int depth = page->kind() == BaseRoomV1::KindRoot    ? 1
                              : page->kind() == BaseRoomV1::KindFloor ? 2
                                                                      : 3;
            const char *what = depth == 1 ? "root" : depth == 2 ? "floor" : "room";
            QMap<int, int> counts;
            for (const BaseControlV1 *control : page->controls())
                ++counts[control->kind()];
            QStringList parts;
            for (auto it = counts.cbegin(); it != counts.cend(); ++it)
                parts << QStringLiteral("%1 %2").arg(tagForKind(it.key())).arg(it.value());
            out << QString(depth * 2, QLatin1Char(' ')) << "#" << page->pageNumber() << " " << what
                << " \"" << page->name() << "\"";
            if (!page->textB().isEmpty() && page->textB() != page->name())
                out << " (" << page->textB() << ")";
            out << ": "
                << (parts.isEmpty() ? QStringLiteral("no controls")
                                    : parts.join(QStringLiteral(", ")))
                << "\n";
        }
    }
}

int ProjectChecker::run(QTextStream &out, QTextStream &err)
{
    const QFileInfo info(d->folder);
    if (!info.exists() || !info.isDir() || !info.isReadable() || !QDir(d->folder).isReadable()) {
        err << "verandix-check: cannot read the folder " << d->folder << "\n";
        return FolderUnreadable;
    }
    out << "Configuration folder: " << d->folder << "\n";
    d->checkSettings();
    d->listProjectFiles();
    out << "Project files: "
        << (d->projectFiles.isEmpty() ? QStringLiteral("none")
                                      : d->projectFiles.join(QStringLiteral(", ")))
        << "\n";
    d->checkFiles();
    d->rooms.loadProject(d->folder, d->projectFiles);
    QList<const MainStructV1 *> trees{d->rooms.lightSystem(), d->rooms.heatSystem(),
                                      d->rooms.mainSystem()};
    for (const MainStructV1 *other : d->rooms.otherSystems())
        trees << other;
    for (const MainStructV1 *root : qAsConst(trees)) {
        if (root)
            d->checkTree(root);
    }
    d->checkNumbers();
    d->printTree(out);

    out << "\n";
    if (d->problems.isEmpty()) {
        out << "No problems found.\n";
        return Clean;
    }
    out << "Problems (" << d->problems.size() << "):\n";
    for (const QString &text : qAsConst(d->problems))
        out << "  - " << text << "\n";
    return ProblemsFound;
}
