// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "roomsv1.h"

#include "controlconstants.h"
#include "controlkinds.h"
#include "ecoreapp.h"
#include "floorstructv1.h"
#include "heatcontrolv1.h"
#include "lightcontrolv1.h"
#include "mainstructv1.h"
#include "modellogging.h"
#include "projectreaderv1.h"
#include "projectwriterv1.h"
#include "roomstructv1.h"
#include "sensorcontrolv1.h"
#include "switchcontrolv1.h"

#include <QDir>
#include <QRandomGenerator>
#include <QSet>
#include <algorithm>

RoomsV1 *RoomsV1::fromCore()
{
    return qobject_cast<RoomsV1 *>(ECoreApp::instance()->projectModelObject());
}

class RoomsV1Private
{
public:
    ~RoomsV1Private() { clear(); }

    void clear()
    {
        pages.clear();
        delete mainSystem;
        delete lightSystem;
        delete heatSystem;
        qDeleteAll(otherSystems);
        mainSystem = lightSystem = heatSystem = nullptr;
        otherSystems.clear();
    }

    // Replaces the root in a slot; a later file of the same type wins.
    static void file(MainStructV1 *&slot, MainStructV1 *root)
    {
        if (slot != root) {
            delete slot;
            slot = root;
        }
    }

    void number()
    {
        pages.clear();
        QList<MainStructV1 *> trees{lightSystem, heatSystem, mainSystem};
        trees += otherSystems;
        int counter = 0;
        for (MainStructV1 *tree : qAsConst(trees)) {
            if (!tree)
                continue;
            for (BaseRoomV1 *page : tree->allPages()) {
                page->setPageNumber(++counter);
                pages.append(page);
            }
        }
        for (BaseRoomV1 *page : qAsConst(pages))
            page->setRuntimeId(BaseRoomV1::newRuntimeId());
    }

    bool write(MainStructV1 *root, const QString &folder, bool *failed)
    {
        if (!root)
            return false;
        if (root->fileName().isEmpty()) {
            // Its file could not be read at load time: writing the (empty) tree would replace
            // whatever is there now with nothing.
            qCWarning(lcModel) << "Edited subsystem not written: its file could not be read";
            *failed = true;
            return false;
        }
        if (!ProjectWriterV1::writeSubsystem(root, folder, root->fileName())) {
            qCWarning(lcModel) << "Cannot write project file" << root->fileName() << "in" << folder;
            *failed = true;
            return false;
        }
        // The file now holds every page of the tree, deleted ones left out as they should be.
        for (BaseRoomV1 *page : root->allPages())
            page->setModified(false);
        BaseRoomV1::noteWritten();
        return true;
    }

    QList<BaseRoomV1 *> pages;
    MainStructV1 *mainSystem = nullptr;
    MainStructV1 *lightSystem = nullptr;
    MainStructV1 *heatSystem = nullptr;
    QList<MainStructV1 *> otherSystems;
    bool lastSaveFailed = false;
};

RoomsV1::RoomsV1(QObject *parent) : QObject(parent), d(std::make_unique<RoomsV1Private>()) {}

RoomsV1::~RoomsV1() = default;

bool RoomsV1::load(const QString &folder, const QStringList &fileNames, LoadReport *report)
{
    for (const QString &fileName : fileNames) {
        MainStructV1 *root = ProjectReaderV1::readSubsystem(folder, fileName, report).release();
        switch (root->systemType()) {
        case BaseRoomV1::LightSystem:
            RoomsV1Private::file(d->lightSystem, root);
            break;
        case BaseRoomV1::HeatSystem:
            RoomsV1Private::file(d->heatSystem, root);
            break;
        case BaseRoomV1::MainSystem:
            RoomsV1Private::file(d->mainSystem, root);
            break;
        default:
            d->otherSystems.append(root);
            break;
        }
    }
    if (!d->mainSystem) {
        // A project shipped as packages and never unpacked: the home page says so instead of
        // staying blank.
        const QStringList packages = QDir(folder).entryList({QStringLiteral("*.package")},
                                                            QDir::Files, QDir::Name);
        if (!packages.isEmpty()) {
            auto *placeholder = new MainStructV1;
            placeholder->setSystemType(BaseRoomV1::MainSystem);
            placeholder->setPackagesOnly(packages);
            d->mainSystem = placeholder;
            LoadReport::note(report, lcModel, packages.first(), 0,
                             QStringLiteral("the folder holds packages but no home page: packages "
                                            "are unpacked only for the demo; unpack them with "
                                            "mkpackage --unpack %1")
                                 .arg(QDir::toNativeSeparators(folder)));
        }
    }
    d->number();
    return true;
}

bool RoomsV1::save(const QString &folder)
{
    d->lastSaveFailed = false;
    QSet<int> types;
    for (const BaseRoomV1 *page : qAsConst(d->pages)) {
        if (page->isModified())
            types.insert(page->systemType());
    }
    if (types.isEmpty())
        return false;
    bool written = false;
    bool failed = false;
    if (types.contains(BaseRoomV1::LightSystem) && d->lightSystem)
        written |= d->write(d->lightSystem, folder, &failed);
    if (types.contains(BaseRoomV1::HeatSystem) && d->heatSystem)
        written |= d->write(d->heatSystem, folder, &failed);
    if (types.contains(BaseRoomV1::MainSystem) && d->mainSystem)
        written |= d->write(d->mainSystem, folder, &failed);
    // Further subsystems share a system type but not a file: only the trees that hold an edited
    // page are written, so that the others keep their bytes and time stamps.
    if (types.contains(BaseRoomV1::OtherSystem)) {
        for (MainStructV1 *root : qAsConst(d->otherSystems)) {
            const QList<BaseRoomV1 *> pages = root->allPages();
            if (std::any_of(pages.cbegin(), pages.cend(),
                            [](const BaseRoomV1 *page) { return page->isModified(); }))
                written |= d->write(root, folder, &failed);
        }
    }
    d->lastSaveFailed = failed;
    return written;
}

void RoomsV1::clear()
{
    d->clear();
}

bool RoomsV1::loadProject(const QString &workingFolder, const QStringList &projectFiles,
                          LoadReport *report)
{
    // A configuration replaces the previous one entirely: trees of the old project must neither
    // show up nor be written into the new working folder.
    clear();
    return load(workingFolder, projectFiles, report);
}

quint64 RoomsV1::modificationCount() const
{
    return BaseRoomV1::modificationCount();
}

bool RoomsV1::saveProject(const QString &workingFolder)
{
    save(workingFolder);
    return !d->lastSaveFailed;
}

QString RoomsV1::uniqueName(const QString &base) const
{
    const auto taken = [this](const QString &name) { return pageByName(name) != nullptr; };
    if (!taken(base))
        return base;
    QString name;
    do {
        name = base + QString::number(QRandomGenerator::global()->bounded(0x7fffffff));
    } while (taken(name));
    return name;
}

void RoomsV1::registerPage(BaseRoomV1 *page)
{
    Q_ASSERT(page);
    if (!page)
        return;
    page->setRuntimeId(BaseRoomV1::newRuntimeId());
    // Room commands and the lamps' room byte address a page by its number, so a page created
    // after loading needs one no other page uses; 0 would make every new room share one.
    if (page->pageNumber() == 0) {
        int highest = 0;
        for (const BaseRoomV1 *other : qAsConst(d->pages))
            highest = qMax(highest, other->pageNumber());
        page->setPageNumber(highest + 1);
    }
    d->pages.append(page);
}

BaseRoomV1 *RoomsV1::createSubPage(BaseRoomV1 *page, const QPointF &click, const QSizeF &pageSize,
                                   const QString &sceneWord)
{
    if (!page)
        return nullptr;
    // The new page's button is centred on the click: buttons are 64 pixels square by default.
    const auto percent = [](qreal value, qreal size) {
        return size > 0 ? value / size * 100 : 0.0;
    };
    const QPointF position(percent(click.x() - 32, pageSize.width()),
                           percent(click.y() - 32, pageSize.height()));
    BaseRoomV1 *created = nullptr;
    if (page->kind() == BaseRoomV1::KindRoot) {
        const QString name = uniqueName(QStringLiteral("floor"));
        created = static_cast<MainStructV1 *>(page)->createFloor(name, name, position);
    } else if (page->kind() == BaseRoomV1::KindFloor) {
        const QString name = uniqueName(QStringLiteral("room"));
        created = static_cast<FloorStructV1 *>(page)->createRoom(name, name, position);
    } else {
        return nullptr;
    }
    if (page->systemType() == BaseRoomV1::LightSystem ||
        page->systemType() == BaseRoomV1::HeatSystem) {
        QStringList scenes;
        for (int i = 1; i <= 4; ++i)
            scenes << sceneWord + QLatin1Char(' ') + QString::number(i);
        created->setScenes(scenes);
    }
    created->setSystemType(page->systemType());
    registerPage(created);
    page->setModified(true);
    return created;
}

void RoomsV1::numberNewControl(BaseControlV1 *control, const BaseRoomV1 *page) const
{
    Q_ASSERT(control);
    if (!control || ControlKinds::controllerNumber(control) < 0)
        return;
    QList<const BaseRoomV1 *> pages;
    for (const BaseRoomV1 *p : qAsConst(d->pages))
        pages << p;
    if (page && !pages.contains(page))
        pages << page;
    QSet<int> used;
    for (const BaseRoomV1 *p : qAsConst(pages)) {
        for (const BaseControlV1 *other : p->controls()) {
            if (other != control && other->kind() == control->kind())
                used.insert(ControlKinds::controllerNumber(other));
        }
    }
    int number = 1;
    while (used.contains(number))
        ++number;
    // Lamps name their switches and sensor in single bytes.
    if ((control->kind() == ControlConstants::KindSwitch ||
         control->kind() == ControlConstants::KindSensor) &&
        number > 0xFF)
        return;
    switch (control->kind()) {
    case ControlConstants::KindLight:
        static_cast<LightControlV1 *>(control)->setLmpNumber(number);
        break;
    case ControlConstants::KindSwitch:
        static_cast<SwitchControlV1 *>(control)->setSwcNumber(number);
        break;
    case ControlConstants::KindSensor:
        static_cast<SensorControlV1 *>(control)->setSnrNumber(number);
        break;
    case ControlConstants::KindHeat:
        static_cast<HeatControlV1 *>(control)->setSwcNumber(number);
        break;
    default:
        break;
    }
}

int RoomsV1::pageCount() const
{
    return d->pages.size();
}

BaseRoomV1 *RoomsV1::pageAt(int index) const
{
    return index >= 0 && index < d->pages.size() ? d->pages.at(index) : nullptr;
}

const QList<BaseRoomV1 *> &RoomsV1::pages() const
{
    return d->pages;
}

BaseRoomV1 *RoomsV1::firstPage(BaseRoomV1::TYPESYSTEM systemType) const
{
    for (BaseRoomV1 *page : qAsConst(d->pages)) {
        if (page->systemType() == systemType && page->kind() == BaseRoomV1::KindRoot)
            return page;
    }
    return nullptr;
}

BaseRoomV1 *RoomsV1::mainPage() const
{
    return firstPage(BaseRoomV1::MainSystem);
}

BaseRoomV1 *RoomsV1::lightPage() const
{
    return firstPage(BaseRoomV1::LightSystem);
}

BaseRoomV1 *RoomsV1::heatPage() const
{
    return firstPage(BaseRoomV1::HeatSystem);
}

QList<BaseRoomV1 *> RoomsV1::pagesOfType(BaseRoomV1::TYPESYSTEM systemType) const
{
    QList<BaseRoomV1 *> result;
    for (BaseRoomV1 *page : qAsConst(d->pages)) {
        if (page->systemType() == systemType)
            result.append(page);
    }
    return result;
}

BaseRoomV1 *RoomsV1::pageById(const QString &runtimeId) const
{
    for (BaseRoomV1 *page : qAsConst(d->pages)) {
        if (page->runtimeId() == runtimeId)
            return page;
    }
    return nullptr;
}

BaseRoomV1 *RoomsV1::pageByName(const QString &name) const
{
    for (BaseRoomV1 *page : qAsConst(d->pages)) {
        if (page->name() == name)
            return page;
    }
    return nullptr;
}

BaseRoomV1 *RoomsV1::pageByNumber(int pageNumber) const
{
    for (BaseRoomV1 *page : qAsConst(d->pages)) {
        if (page->pageNumber() == pageNumber)
            return page;
    }
    return nullptr;
}

MainStructV1 *RoomsV1::mainSystem() const
{
    return d->mainSystem;
}

MainStructV1 *RoomsV1::lightSystem() const
{
    return d->lightSystem;
}

MainStructV1 *RoomsV1::heatSystem() const
{
    return d->heatSystem;
}

QList<MainStructV1 *> RoomsV1::otherSystems() const
{
    return d->otherSystems;
}

MainStructV1 *RoomsV1::systemByFileName(const QString &fileName) const
{
    QList<MainStructV1 *> trees{d->mainSystem, d->lightSystem, d->heatSystem};
    trees += d->otherSystems;
    for (MainStructV1 *tree : qAsConst(trees)) {
        if (tree && !fileName.isEmpty() && tree->fileName() == fileName)
            return tree;
    }
    return nullptr;
}
