// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "corenames.h"

// What the daily archive and alarm-log files look like on disk, as the panel's writers make them,
// and the limits of the history index built over them.
namespace HistoryFormat {

constexpr const char kArchiveFolder[] = "Archive";
constexpr const char kAlarmFolder[] = "Alarms";
constexpr const char *kExportFolder = CoreNames::kExportFolder;
constexpr const char kArchivePattern[] = "Out_*.csv";
constexpr const char kAlarmPattern[] = "Alarm_*.csv";
constexpr const char kArchivePrefix[] = "Out_";
constexpr const char kAlarmPrefix[] = "Alarm_";
constexpr const char kSuffix[] = ".csv";
// The day in a file name, with a two-digit year of this century: "Out_31_12_24.csv".
constexpr const char kFileDate[] = "dd_MM_yy";
constexpr const char kDateTime[] = "dd.MM.yyyy hh:mm:ss";
constexpr int kDateTimeLength = 19;
constexpr char kSeparator = ';';

// An archive row: program time, controller time, then the 16 parameters by id.
constexpr int kParameterCount = 16;
constexpr int kArchiveFields = 2 + kParameterCount;
// An alarm-log row: id, program time, alert time, text, parameter, active, type, SMS, siren,
// notified.
constexpr int kAlarmFields = 10;
// Words of the alarm log's state columns; fixed texts, never translated.
constexpr const char kYes[] = "Да";
constexpr const char kAlarmWord[] = "авария";

// Header caption of a column without a parameter record (language table id, then " " and id).
constexpr int kTextData = 61113;

// The index keeps minimum, maximum, sum and count of every parameter per bucket of this many
// seconds: a year is 52 560 buckets, a week at 1000 pixels about one bucket per pixel, so any view
// wider than that never touches the CSV files.
constexpr int kBucketSeconds = 600;
// The index's cache file, beside the archive files it describes.
constexpr const char kIndexFile[] = "history.idx";

} // namespace HistoryFormat
