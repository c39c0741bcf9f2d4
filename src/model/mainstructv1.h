// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "baseroomv1.h"

#include <QStringList>

class FloorStructV1;

// The root page of a subsystem tree: knows the file it was read from and owns its floors.
class MainStructV1 : public BaseRoomV1
{
public:
    MainStructV1();
    ~MainStructV1() override;
    int kind() const override;

    // File name without folder, e.g. "light_config.xml"; empty when the file could not be read.
    QString fileName() const { return m_fileName; }
    void setFileName(const QString &fileName) { m_fileName = fileName; }
    // Why the tree is empty when its file could not be read: the file's name, the line (0 when
    // none) and the reader's message; empty file name when it was read.
    QString problemFile() const { return m_problemFile; }
    qint64 problemLine() const { return m_problemLine; }
    QString problemText() const { return m_problemText; }
    void setLoadProblem(const QString &file, qint64 line, const QString &text)
    {
        m_problemFile = file;
        m_problemLine = line;
        m_problemText = text;
    }

    // A home page standing in for a project that is still in its packages: the package files of
    // the folder, which the program unpacks only for the demo. Empty for a real tree.
    QStringList packagesOnly() const { return m_packagesOnly; }
    void setPackagesOnly(const QStringList &packages) { m_packagesOnly = packages; }

    const QList<FloorStructV1 *> &floors() const { return m_floors; }
    // Takes ownership; returns the floor's index.
    int addFloor(FloorStructV1 *floor);
    FloorStructV1 *createFloor(const QString &name, const QString &textB, const QPointF &position);
    FloorStructV1 *floorById(const QString &runtimeId) const;

    // The root, then each floor followed by its rooms: the order pages are numbered in.
    QList<BaseRoomV1 *> allPages() const;

private:
    QString m_fileName;
    QString m_problemFile;
    qint64 m_problemLine = 0;
    QString m_problemText;
    QList<FloorStructV1 *> m_floors;
    QStringList m_packagesOnly;
};
