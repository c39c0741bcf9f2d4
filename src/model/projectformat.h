// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QString>

// The project file format as documentation: the attributes of every control element, taken from
// the kinds' descriptions, and the keys of config.xml with their defaults, taken from the
// settings table. docs/commissioning.md carries both between markers; a test keeps them equal
// and `verandix-check --describe-format` prints them afresh.
namespace ProjectFormat {

// One Markdown section per control element: its tag, kind code, controller binding and a table
// of its attributes (name, type, default, range or choices, notes), in the order files hold them.
QString controlTables();
// A Markdown table of the config.xml keys the program reads, with their defaults.
QString settingsTable();

// The markers that enclose a generated part in a document.
QString beginMarker(const QString &part);
QString endMarker(const QString &part);
// The text between the markers of `part` in `document` (null when they are missing).
QString generatedPart(const QString &document, const QString &part);

} // namespace ProjectFormat
