// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QString>
#include <QStringList>

// Targets of system buttons: the screen a `syscontrol` opens, by its `systType` keyword. The value
// is the index of the screen in the main content's stack (7 is the home page and has no keyword).
class RoomConstantsV1
{
public:
    enum FormNumbers {
        FormInfo = 0,
        FormSecure = 1,
        FormSettings = 2,
        FormAlerts = 3,
        FormConnection = 4,
        FormExit = 5,
        FormScenes = 6,
        FormLight = 8,
        FormHeat = 9,
        FormSubsystem = 100,
        FormNone = 111,
        // The history screen has no fixed stack index: it follows the room pages.
        FormHistory = 120,
    };

    // Exact, case-sensitive keyword match; FormNone for anything else.
    static FormNumbers formNumber(const QString &text);
    // The keyword of a value; empty for FormNone and any value outside the table.
    static QString formText(int form);
    // Every keyword, in the order of the values.
    static QStringList formTexts();
};
