// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "uniaddcontrols.h"
#include "unisettings.h"

#include <QVector>

// One editor row of the properties panel for a control kind: the panel's field and the kind's
// attribute (ControlKinds) it shows and writes back. How the value converts follows from the
// field's editor and the attribute's type.
struct PropertyRow
{
    enum Rule {
        Plain,
        // Whole registers only: an odd number is taken down by one when saved.
        EvenNumber,
    };
    UniSettings::Field field;
    const char *attribute;
    Rule rule = Plain;
};

// One button of the palette: its add code, where it sits, its label and icon, the signal it
// announces itself with, and what the next press on the plan creates (a control kind with the
// entry's name as name and caption; kind 0 is a floor or a room).
struct PaletteEntry
{
    int code;
    int row;
    int column;
    const char *label;
    const char *icon;
    void (UniAddControls::*signal)();
    int kind;
    const char *name;
};

// What the editor offers for each control kind: the palette entry that places one, and the rows
// of the properties panel that edit it, in the order the panel loads them. Written here once, by
// kind code; the palette, the panel and the room screen ask.
namespace EditorKinds {

// Every palette entry, in the order the palette lays them out.
const QVector<PaletteEntry> &paletteEntries();
// The entry of an add code, or the first one that creates a kind; null if none.
const PaletteEntry *paletteEntry(int code);
const PaletteEntry *paletteEntryForKind(int kind);
// The properties rows of a kind; empty for kinds the panel does not edit.
QVector<PropertyRow> propertyRows(int kind);

} // namespace EditorKinds
