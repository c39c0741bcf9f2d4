// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QDateTime>
#include <QString>

// The common format of the archive and the alarm log: every field followed by ";", lines ended by
// "\r\n", reals with a comma, text in the local 8-bit encoding. Spreadsheets of the installers'
// locale open these files directly, which is why the format is fixed this way.
namespace CsvFormat {

constexpr const char kArchiveFolder[] = "Archive";
constexpr const char kAlarmFolder[] = "Alarms";
constexpr const char kArchivePrefix[] = "Out_";
constexpr const char kAlarmPrefix[] = "Alarm_";
constexpr const char kFileDate[] = "dd_MM_yy";
constexpr const char kSuffix[] = ".csv";
constexpr const char kDateTime[] = "dd.MM.yyyy hh:mm:ss";
constexpr const char kSeparator[] = ";";
constexpr const char kLineEnd[] = "\r\n";

// Header captions (language table ids).
constexpr int kTextProgramTime = 61111;
constexpr int kTextControllerTime = 61112;
constexpr int kTextData = 61113;
constexpr int kTextNumber = 61114;
constexpr int kTextAlertTime = 61115;
constexpr int kTextDescription = 61116;
constexpr int kTextParameter = 61117;
constexpr int kTextActive = 61118;
constexpr int kTextType = 61119;
constexpr int kTextSms = 61120;
constexpr int kTextSiren = 61121;
constexpr int kTextNotified = 61122;

QString field(const QString &text);
QString dateTime(const QDateTime &value);
// Up to 6 significant digits, fixed or exponent notation whichever is shorter, decimal comma.
QString real(double value);
// Makes sure folder/name exists (creating one level); the path of the file name inside it, or an
// empty string when the folder cannot be had.
QString filePath(const QString &configurationFolder, const char *folder, const QString &name);
// Appends the text in the local 8-bit encoding; false if the file cannot be opened.
bool append(const QString &path, const QString &text);

} // namespace CsvFormat
