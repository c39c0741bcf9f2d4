// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QDateTime>
#include <QString>

class ELocale;
struct ReservVariables;

// Writes the parameter archive: one row with the 16 parameter values of a status block into the
// daily file "Archive/Out_dd_MM_yy.csv" of a configuration folder, the header only into a new
// file. Stateless; the main window decides when a row is due.
class ArchiveWriter
{
public:
    // `locale` gives the header captions; `now` is the program time of the row (and its day).
    static void write(const ReservVariables &record, const QString &configurationFolder,
                      const ELocale *locale, const QDateTime &now = QDateTime::currentDateTime());
    static QString fileName(const QDate &day);
};
