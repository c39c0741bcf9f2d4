// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "loadreport.h"

QString LoadProblem::toString() const
{
    if (line > 0)
        return file + QLatin1Char(':') + QString::number(line) + QStringLiteral(": ") + message;
    return file + QStringLiteral(": ") + message;
}

void LoadReport::note(LoadReport *report, const QLoggingCategory &(*category)(),
                      const QString &file, qint64 line, const QString &message)
{
    const LoadProblem problem{file, line, message};
    if (category)
        qCWarning(category).noquote() << problem.toString();
    if (report)
        report->add(problem);
}

QStringList LoadReport::toStringList() const
{
    QStringList lines;
    lines.reserve(m_problems.size());
    for (const LoadProblem &p : m_problems)
        lines.append(p.toString());
    return lines;
}
