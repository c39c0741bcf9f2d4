// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "baseroomv1.h"
#include "iprojectmodel.h"
#include "loadreport.h"

#include <QObject>
#include <QSizeF>
#include <memory>

class MainStructV1;
class RoomsV1Private;

// The project registry: owns one tree per subsystem file (main, light, heat and further
// subsystems), numbers every page, finds pages, and writes back the files whose pages were edited.
class RoomsV1 : public QObject, public IProjectModel
{
    Q_OBJECT
public:
    explicit RoomsV1(QObject *parent = nullptr);
    ~RoomsV1() override;

    // The project model the application core owns, or null when none (or another kind) is
    // installed: the typed way for the libraries above the model to reach it.
    static RoomsV1 *fromCore();

    // Reads every file of the list and files the trees by type; a later tree of the same type
    // replaces an earlier one. Pages are numbered afresh. Always true: what could not be read is
    // logged and described in the report, if one is given.
    bool load(const QString &folder, const QStringList &fileNames, LoadReport *report = nullptr);
    // Writes back the trees whose pages were modified; true if at least one file was written.
    bool save(const QString &folder);
    // Drops every tree.
    void clear();

    // IProjectModel: a whole project replaces whatever was loaded before.
    bool loadProject(const QString &workingFolder, const QStringList &projectFiles,
                     LoadReport *report = nullptr) override;
    // True when no file that had to be written failed.
    bool saveProject(const QString &workingFolder) override;
    quint64 modificationCount() const override;

    // `base` itself if no page has that name, otherwise base + a random number, unused again.
    QString uniqueName(const QString &base) const;
    // Gives a page the editor created a fresh runtime id and, when it has none, the next unused
    // page number, and appends it to the page list.
    void registerPage(BaseRoomV1 *page);

    // Gives a lamp, switch, sensor or thermostat the editor just made the lowest number of its
    // kind that no record of the project uses (every subsystem, deleted records included: an
    // undo brings them back), and with it its controller address. `page` is the page it was
    // added to, counted even when it is not registered. Other kinds are left alone.
    void numberNewControl(BaseControlV1 *control, const BaseRoomV1 *page) const;

    // The editor's "add" on a root (adds a floor) or floor page (adds a room): the click point and
    // the page item's size are in pixels; `sceneWord` is the localised word for the default scene
    // captions of light and heat pages. Returns the new page, or null on any other page.
    BaseRoomV1 *createSubPage(BaseRoomV1 *page, const QPointF &click, const QSizeF &pageSize,
                              const QString &sceneWord);

    int pageCount() const;
    BaseRoomV1 *pageAt(int index) const;
    const QList<BaseRoomV1 *> &pages() const;
    // The root of a type (4 main, 1 light, 2 heat) among the pages, or null.
    BaseRoomV1 *firstPage(BaseRoomV1::TYPESYSTEM systemType) const;
    BaseRoomV1 *mainPage() const;
    BaseRoomV1 *lightPage() const;
    BaseRoomV1 *heatPage() const;
    QList<BaseRoomV1 *> pagesOfType(BaseRoomV1::TYPESYSTEM systemType) const;
    BaseRoomV1 *pageById(const QString &runtimeId) const;
    BaseRoomV1 *pageByName(const QString &name) const;
    BaseRoomV1 *pageByNumber(int pageNumber) const;

    MainStructV1 *mainSystem() const;
    MainStructV1 *lightSystem() const;
    MainStructV1 *heatSystem() const;
    QList<MainStructV1 *> otherSystems() const;
    // The tree read from a file name (exact match), e.g. the target of a "subst" button.
    MainStructV1 *systemByFileName(const QString &fileName) const;

private:
    std::unique_ptr<RoomsV1Private> d;
};
