// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QList>
#include <QLoggingCategory>
#include <QMetaType>
#include <QString>
#include <QStringList>

// One thing that went wrong while a configuration was read: the file, the line when it is known
// (1-based, 0 when the problem concerns the whole file) and what was wrong in plain words.
struct LoadProblem
{
    QString file;
    qint64 line = 0;
    QString message;

    // "file:line: message", or "file: message" without a line.
    QString toString() const;
    bool operator==(const LoadProblem &other) const
    {
        return file == other.file && line == other.line && message == other.message;
    }
};

// The problems met while loading, in the order they were found. Loading never stops at one: it goes
// on with what could be read, and the report says what was left out and where, so that a person
// sees it instead of a plan that is silently empty.
class LoadReport
{
public:
    // Logs the problem under the given category and, when a report is given, adds it there. Every
    // reader calls this, so a problem is logged even where nobody collects a report.
    static void note(LoadReport *report, const QLoggingCategory &(*category)(), const QString &file,
                     qint64 line, const QString &message);

    void add(const LoadProblem &problem) { m_problems.append(problem); }
    void add(const QString &file, qint64 line, const QString &message)
    {
        m_problems.append({file, line, message});
    }
    void append(const LoadReport &other) { m_problems += other.m_problems; }
    void clear() { m_problems.clear(); }

    const QList<LoadProblem> &problems() const { return m_problems; }
    bool isEmpty() const { return m_problems.isEmpty(); }
    int size() const { return m_problems.size(); }
    QStringList toStringList() const;

private:
    QList<LoadProblem> m_problems;
};

Q_DECLARE_METATYPE(LoadProblem)
Q_DECLARE_METATYPE(LoadReport)
