// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QString>

// A synthetic home of any size for measuring the panel: the home page, one lighting subsystem
// whose floors hold `rooms` rooms of `controls` controls each, and one plan picture per room so
// that every page costs what a real drawn plan costs. Two runs with the same options write the
// same bytes.
struct BenchProjectOptions
{
    int rooms = 2;
    int controls = 10;
    int roomsPerFloor = 12;
    int planWidth = 1600;
    int planHeight = 1200;
};

// Writes config.xml, main_config.xml, light_config.xml, plans/, icons/ and img/ into `folder`.
// Returns false and fills `error` when a file cannot be written.
bool writeBenchProject(const QString &folder, const BenchProjectOptions &options, QString *error);

// File name of room `index` (0-based) plan, relative to the project folder.
QString benchPlanPath(int index);
