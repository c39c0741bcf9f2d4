// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QTextStream;

// Loads a configuration folder the way the panel does (settings, then every project file of the
// folder) and reports the project's tree and the problems an integrator wants to know about before
// going live.
class ProjectChecker
{
public:
    enum ExitCode { Clean = 0, ProblemsFound = 1, FolderUnreadable = 2 };

    explicit ProjectChecker(const QString &folder);
    ~ProjectChecker();

    // Prints the tree and the problems; returns the exit code.
    int run(QTextStream &out, QTextStream &err);
    QStringList problems() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
